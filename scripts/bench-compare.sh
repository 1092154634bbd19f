#!/usr/bin/env bash
# Compares two builds of `tagwright-cli tag` on the same generated pages, running them in
# turn (old, new, old, new, ...), so that whatever else the machine does at the time weighs
# on both alike. Prints a Markdown table of the least and the middle time of each, and the
# change of the middle time.
#
#   bash scripts/bench-compare.sh OLD_BIN [NEW_BIN] [--runs N] [--size-mb N] [--dir DIR]
#                                 [--keep] [--no-build]
#
#   OLD_BIN       the folder of the old build's programs (with its data files), for example
#                 that of `git worktree add /tmp/old REV` built with the bench preset
#                 (profile-guided, `bash scripts/pgo.sh bench`, when both are to be):
#                 /tmp/old/build/bench/bin
#   NEW_BIN       the new build's folder [build/bench/bin, built first, profile-guided]
#   --runs N      runs of each program on each page [10]
#   --size-mb N   the size of the pages [20]
#   --dir DIR     where the pages go [a new temporary folder, removed at the end]
#   --keep        keep the pages (with their folder)
#   --no-build    use build/bench/bin as it is
#
# Both builds must give the same output on every page; the script stops when they do not.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# shellcheck source=scripts/benchpages.sh
. "$root/scripts/benchpages.sh"

old=""
new=""
runs=10
size_mb=20
dir=""
keep=0
build=1
while [ $# -gt 0 ]; do
  bench_option "$@"
  if [ "$bench_taken" -gt 0 ]; then shift "$bench_taken"; continue; fi
  case "$1" in
    -h|--help) sed -n '2,21p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    -*) echo "bench-compare.sh: unknown argument '$1' (--help lists them)" >&2; exit 2 ;;
    *)
      if [ -z "$old" ]; then old=$1
      elif [ -z "$new" ]; then new=$1
      else echo "bench-compare.sh: one old and one new folder at most" >&2; exit 2
      fi
      shift ;;
  esac
done
[ -n "$old" ] || { echo "bench-compare.sh: the old build's folder is missing (--help)" >&2; exit 2; }
bench_check_numbers bench-compare

if [ -z "$new" ]; then
  new="$root/build/bench/bin"
  if [ "$build" -eq 1 ]; then
    # Profile-guided, as the package is built.
    bash scripts/pgo.sh bench tagwright-cli tagwright-docgen
  fi
fi
for program in "$old/tagwright-cli" "$new/tagwright-cli" "$root/build/bench/bin/tagwright-docgen"; do
  [ -x "$program" ] || { echo "bench-compare.sh: $program is missing" >&2; exit 1; }
done

bench_pages_dir bench-compare
export LC_ALL=C

pages=(
  "zipf-crlf|--kind zipf --line-ends crlf|Zipf page, CR LF"
  "zipf-oneline|--kind zipf --line-ends none|Zipf page, one line"
  "docs-crlf|--kind docs --line-ends crlf|Documentation page, CR LF"
  "docs-oneline|--kind docs --line-ends none|Documentation page, one line"
)

# Seconds of one run of a command, to the microsecond.
seconds_of() {
  local start end
  start=$(date +%s%N)
  "$@" >/dev/null
  end=$(date +%s%N)
  awk -v a="$start" -v b="$end" 'BEGIN { printf "%.6f\n", (b - a) / 1e9 }'
}
# The least and the middle of the numbers in a file, one a line.
least() { sort -g "$1" | head -n 1; }
middle() { sort -g "$1" | awk '{ v[NR] = $1 } END { print v[int((NR + 1) / 2)] }'; }

echo "| Page ($size_mb MB) | Old: least / middle (s) | New: least / middle (s) | Middle, new / old |"
echo "|---|---:|---:|---:|"
for entry in "${pages[@]}"; do
  IFS='|' read -r name options label <<<"$entry"
  page="$dir/$name-$size_mb.html"
  # shellcheck disable=SC2086  # the options are words
  [ -f "$page" ] || "$root/build/bench/bin/tagwright-docgen" $options --size "${size_mb}M" -o "$page"
  if ! cmp -s <("$old/tagwright-cli" tag "$page") <("$new/tagwright-cli" tag "$page"); then
    echo "bench-compare.sh: the two builds tag $page differently" >&2
    exit 1
  fi
  : >"$dir/old.txt"
  : >"$dir/new.txt"
  for _ in $(seq "$runs"); do
    seconds_of "$old/tagwright-cli" tag "$page" >>"$dir/old.txt"
    seconds_of "$new/tagwright-cli" tag "$page" >>"$dir/new.txt"
  done
  awk -v label="$label" -v ol="$(least "$dir/old.txt")" -v om="$(middle "$dir/old.txt")" \
    -v nl="$(least "$dir/new.txt")" -v nm="$(middle "$dir/new.txt")" 'BEGIN {
      printf "| %s | %.3f / %.3f | %.3f / %.3f | x%.2f |\n", label, ol, om, nl, nm, nm / om
    }'
done
echo
echo "$runs runs of each, in turn; load average $(cut -d' ' -f1-3 /proc/loadavg) at the end."
