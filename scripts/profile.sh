#!/usr/bin/env bash
# Instruction profiles of `tagwright-cli tag DOC` (the whole process) with callgrind: a
# machine shared with other builds disturbs times, not instruction counts. For each page it
# prints the share of the instructions by area of the program, the top functions by self and
# by inclusive count, and who allocates how often; the raw files stay in the folder.
#
#   bash scripts/profile.sh [--size-mb N] [--pages LIST] [--dir DIR] [--no-build] [--out FILE]
#
#   --size-mb N    page size [20]
#   --pages LIST   comma-separated: zipf-crlf, zipf-oneline, zipf-lf, zipf-utf8, docs-crlf,
#                  docs-oneline [zipf-crlf,zipf-oneline]
#   --dir DIR      where the pages and profiles go [a new temporary folder, kept]
#   --no-build     use the programs already built in build/bench
#   --out FILE     also write the report to FILE
#
# The areas come from the call graph (inclusive counts of calls between the engine's
# functions, found by name); a function that is not found leaves its area at n/a. Calls
# shared by the language recognition (the first 256 KB) and the run are split in proportion.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

size_mb=20
pages_list="zipf-crlf,zipf-oneline"
dir=""
build=1
out=""
while [ $# -gt 0 ]; do
  case "$1" in
    --size-mb) size_mb=$2; shift 2 ;;
    --pages) pages_list=$2; shift 2 ;;
    --dir) dir=$2; shift 2 ;;
    --no-build) build=0; shift ;;
    --out) out=$2; shift 2 ;;
    -h|--help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "profile.sh: unknown argument '$1' (--help lists them)" >&2; exit 2 ;;
  esac
done
case "$size_mb" in ''|*[!0-9]*|0) echo "profile.sh: --size-mb takes a number from 1" >&2; exit 2 ;; esac

bash scripts/deps.sh bench

bin="$root/build/bench/bin"
if [ "$build" -eq 1 ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target tagwright-cli tagwright-docgen
fi
[ -n "$dir" ] || dir=$(mktemp -d "${TMPDIR:-/tmp}/tagwright-profile.XXXXXX")
case "$(realpath -m "$dir")/" in
  "$root"/*) echo "profile.sh: the pages do not go into the repository ($dir)" >&2; exit 2 ;;
esac
mkdir -p "$dir"
export LC_ALL=C

options_of() {
  case "$1" in
    zipf-crlf) echo "--kind zipf --line-ends crlf" ;;
    zipf-oneline) echo "--kind zipf --line-ends none" ;;
    zipf-lf) echo "--kind zipf --line-ends lf" ;;
    zipf-utf8) echo "--kind zipf --line-ends crlf --encoding utf8" ;;
    docs-crlf) echo "--kind docs --line-ends crlf" ;;
    docs-oneline) echo "--kind docs --line-ends none" ;;
    *) echo "profile.sh: unknown page '$1'" >&2; exit 2 ;;
  esac
}

# The share of the instructions by area, from callgrind_annotate's call tree.
areas() {
  callgrind_annotate --tree=calling --inclusive=yes --threshold=100 "$1" 2>/dev/null | awk '
    function pick(name,    k) {
      for (k in pat) if (index(name, pat[k]) > 0) return k
      return ""
    }
    BEGIN {
      pat["scan"] = "tw::Analysis::ScanDocument(";  pat["run"] = "tw::Analysis::RunAnalysis("
      pat["finishcmd"] = "FinishCommand(";           pat["main"] = "???:main "
      pat["read"] = "LineReader::ReadLine(";         pat["prep"] = "tw::PrepareScanLine("
      pat["mark"] = "tw::MarkContextTags(";          pat["ent"] = "tw::DecodeEntities("
      pat["scanline"] = "MarkupScanner::ScanLine(";  pat["extract"] = "MarkupScanner::ExtractWord("
      pat["ladd"] = "Listener::AddWord(";            pat["tadd"] = "tw::WordTable::AddWord("
      pat["filter"] = "tw::RejectingFilter(";        pat["minf"] = "WordTable::ApplyMinFrequency("
      pat["case"] = "WordTable::MergeCaseVariants("; pat["norm"] = "WordTable::NormaliseKeyValues("
      pat["tag"] = "tw::Analysis::BuildKeywordTag("; pat["istext"] = "tw::IsTextFile("
      pat["ends"] = "tw::DetectLineEnds(";           pat["open"] = "tw::LineReader::Open("
      pat["cut"] = "tw::CutWord("
    }
    /PROGRAM TOTALS/ { gsub(",", "", $1); total = $1 }
    /^ *[0-9,]+ \( *[0-9.]+%\)  \*  / {
      cost = $1; gsub(",", "", cost); cur = pick($0); if (cur != "") incl[cur] = cost; next
    }
    /^ *[0-9,]+ \( *[0-9.]+%\)  >  / {
      if (cur == "") next
      cost = $1; gsub(",", "", cost); callee = pick($0)
      if (callee != "") edge[cur, callee] += cost
      next
    }
    function has(k) { return (k in incl) }
    function row(label, value, note) {
      if (value == "") { printf "| %s | n/a | n/a | %s |\n", label, note; return }
      printf "| %s | %.1f | %.1f%% | %s |\n", label, value / 1e6, 100 * value / total, note
      sum += value
    }
    END {
      printf "| Area | Instructions (M) | Share | What it holds |\n|---|---:|---:|---|\n"
      # The run part of the line preparation, in proportion.
      f = has("prep") && incl["prep"] > 0 ? edge["scan", "prep"] / incl["prep"] : 0
      if (has("scan")) {
        rd = edge["scan", "read"] + edge["scan", "istext"] + edge["scan", "ends"] + edge["scan", "open"]
        row("Reading and decoding", rd, "LineReader::ReadLine (fread, DecodeCp1252Append), file checks")
        prepRest = edge["scan", "prep"] - f * (edge["prep", "mark"] + edge["prep", "ent"])
        row("Line preparation", has("prep") ? prepRest : "", "PrepareScanLine: trim, UTF-8 decoding, lowering, appended space")
        row("Context-tag marking", has("mark") ? f * edge["prep", "mark"] : "", "MarkContextTags (and the five fixed references)")
        row("Entity decoding", has("ent") ? f * edge["prep", "ent"] : "", "DecodeEntities")
        walk = has("scanline") ? incl["scanline"] - edge["scanline", "extract"] : ""
        row("Scanner walk", walk, "ScanLine without ExtractWord: ParseTag, HandleSection, skips, AfterWord")
        cut = has("extract") ? incl["extract"] - edge["extract", "ladd"] : ""
        row("Word cutting", cut, "ExtractWord without AddWord: CutWord, the word copied out")
        row("Filters", has("tadd") ? edge["tadd", "filter"] : "", "RejectingFilter: lowering, common words, suffixes")
        tab = has("ladd") ? incl["ladd"] - edge["tadd", "filter"] : ""
        row("Word table", tab, "AddWord without filters: plural merge, hash, look-up, insert, new-word labels")
        fin = edge["scan", "minf"] + edge["scan", "case"] + edge["scan", "norm"]
        row("Finishing", has("minf") ? fin : "", "ApplyMinFrequency, MergeCaseVariants, NormaliseKeyValues (3 sorts, index rebuilds)")
        rest = incl["scan"]
        rest -= rd + (has("prep") ? edge["scan", "prep"] : 0) + (walk == "" ? 0 : walk + edge["scanline", "extract"]) + fin
        row("Rest of the scan", rest, "progress, yields, what is not named above")
      }
      outp = (has("tag") ? incl["tag"] : 0) + (has("finishcmd") ? incl["finishcmd"] : 0)
      row("Output", has("tag") ? outp : "", "BuildKeywordTag, the tag written to stdout")
      startup = total - (has("run") ? incl["run"] : 0) - (has("finishcmd") ? incl["finishcmd"] : 0)
      row("Start-up and exit", has("run") ? startup : "", "loader, common words and program texts, language recognition, option parsing, exit")
      printf "| **Total** | %.1f | 100%% | (%.1f%% accounted for) |\n", total / 1e6, 100 * sum / total
    }'
}

# Top functions by self or inclusive count, names shortened to what tells them apart.
top() {
  local mode=$1 file=$2 n=$3
  callgrind_annotate ${mode:+--inclusive=yes} --threshold=100 "$file" 2>/dev/null |
    sed -n '/file:function/,$p' | grep -E '^ *[0-9,]+ \(' | grep -v 'PROGRAM TOTALS' | awk -v n="$n" 'NR <= n' |
    sed -E 's/ \[[^]]*\]$//; s/^( *[0-9,]+ \( *[0-9.]+%\))  [^:]*:/\1  /' |
    sed -E 's/std::__cxx11::basic_string<char16_t, std::char_traits<char16_t>, std::allocator<char16_t> >/Text/g;
            s/std::basic_string_view<char16_t, std::char_traits<char16_t> >/TextView/g;
            s/std::basic_string_view<char, std::char_traits<char> >/std::string_view/g' |
    cut -c1-150
}

# Who calls the allocator, how often: call count and the caller, most calls first.
allocations() {
  callgrind_annotate --tree=caller --threshold=100 "$1" 2>/dev/null | awk '
    /\)  < / { buf[++n] = $0; next }
    /\)  \* / {
      if (index($0, "operator new(unsigned long)") > 0) for (i = 1; i <= n; ++i) print buf[i]
      n = 0; next
    }
    { n = 0 }' |
    sed -E 's/ \[[^]]*\]$//; s/^ *[0-9,]+ \( *[0-9.]+%\)  < [^:]*:/  /' |
    sed -nE 's/^(.*) \(([0-9,]+)x\)$/\2 \1/p' | sed -E 's/^([0-9]+),?/\1/; :a; s/^([0-9]+),([0-9])/\1\2/; ta' |
    sort -rn | awk 'NR <= 12' |
    sed -E 's/std::__cxx11::basic_string<char16_t, std::char_traits<char16_t>, std::allocator<char16_t> >/Text/g;
            s/std::basic_string_view<char16_t, std::char_traits<char16_t> >/TextView/g' |
    cut -c1-150
}

report="$dir/profile.md"
: >"$report"
IFS=',' read -r -a pages <<<"$pages_list"
perf_note="perf stat -e instructions: $(perf stat -x, -e instructions true 2>&1 >/dev/null | tail -1 || echo unavailable)"
for name in "${pages[@]}"; do
  page="$dir/$name-$size_mb.html"
  # shellcheck disable=SC2046  # the options are words
  "$bin/tagwright-docgen" $(options_of "$name") --size "${size_mb}M" -o "$page"
  profile="$dir/callgrind.$name-$size_mb.out"
  echo "== $name: callgrind (takes a while)" >&2
  valgrind --tool=callgrind --dump-instr=no --callgrind-out-file="$profile" \
    "$bin/tagwright-cli" tag "$page" >/dev/null 2>"$dir/valgrind.$name.log"
  {
    echo "### $name, $(stat -c %s "$page") bytes ($(git rev-parse --short HEAD))"
    echo
    areas "$profile"
    echo
    echo "Top functions, self:"
    echo '```'
    top "" "$profile" 25
    echo '```'
    echo "Top functions, inclusive:"
    echo '```'
    top yes "$profile" 40
    echo '```'
    echo "Callers of operator new (calls, caller):"
    echo '```'
    allocations "$profile"
    echo '```'
    echo
  } >>"$report"
done
echo "$perf_note" >>"$report"
cat "$report"
if [ -n "$out" ]; then cp "$report" "$out"; fi
echo "profiles in $dir" >&2
