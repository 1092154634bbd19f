#!/usr/bin/env bash
# Measures `tagwright-cli tag DOC`, the whole process with its start-up (built profile-guided
# by scripts/pgo.sh, as the package is), over a set of generated pages and prints a Markdown
# table ready for the README: the time (minimum of several hyperfine runs), the speed in MB/s
# (10^6 bytes per second), the CPU time, the peak resident memory, the 40/20 MB time ratios,
# `wc -w` on the same page for scale and the distinct words the engine keeps.
#
#   bash scripts/bench.sh [--runs N] [--size-mb N] [--dir DIR] [--keep] [--no-build]
#                         [--out FILE]
#
#   --runs N      hyperfine runs per page, after one warm-up run [5]
#   --size-mb N   the base size; the large pages are twice as big [20]
#   --dir DIR     where the pages go [a new temporary folder, removed at the end]
#   --keep        keep the pages (with their folder)
#   --no-build    use the programs already built in build/bench
#   --out FILE    also write the report to FILE
#
# The pages never go into the repository. Wall-clock times on a shared machine are
# disturbed by whatever else runs: the minimum of several runs is the figure that shows the
# program rather than the machine, and the load average is printed with the table.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)
# shellcheck source=scripts/benchpages.sh
. "$root/scripts/benchpages.sh"

runs=5
size_mb=20
dir=""
keep=0
build=1
out=""
while [ $# -gt 0 ]; do
  bench_option "$@"
  if [ "$bench_taken" -gt 0 ]; then shift "$bench_taken"; continue; fi
  case "$1" in
    --out) out=$2; shift 2 ;;
    -h|--help) sed -n '2,20p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "bench.sh: unknown argument '$1' (--help lists them)" >&2; exit 2 ;;
  esac
done
bench_check_numbers bench

bash scripts/deps.sh bench

bin="$root/build/bench/bin"
if [ "$build" -eq 1 ]; then
  # Profile-guided, as the package is built.
  bash scripts/pgo.sh bench tagwright-cli tagwright-docgen
  # The word counter drives the engine directly; while the engine is being reworked it may
  # not build, and the table then goes without its distinct-word counts.
  wordcount_built=1
  cmake --build --preset bench --target tagwright-wordcount >/dev/null 2>&1 || wordcount_built=0
fi
for program in tagwright-cli tagwright-docgen; do
  [ -x "$bin/$program" ] || { echo "bench.sh: $bin/$program is missing" >&2; exit 1; }
done
wordcount="$bin/tagwright-wordcount"
# A counter left from an earlier engine would count with that engine.
if [ ! -x "$wordcount" ] || [ "${wordcount_built:-1}" -eq 0 ]; then
  echo "note: no tagwright-wordcount for this engine; the table goes without distinct words" >&2
  wordcount=""
fi

bench_pages_dir bench

# Numbers as the C locale writes them; the program's own output is not looked at.
export LC_ALL=C

big_mb=$((2 * size_mb))
# name | generator options | what the table calls it
pages=(
  "zipf-crlf-$size_mb|--kind zipf --line-ends crlf --size ${size_mb}M|Zipf page, CR LF"
  "zipf-crlf-$big_mb|--kind zipf --line-ends crlf --size ${big_mb}M|Zipf page, CR LF"
  "zipf-oneline-$size_mb|--kind zipf --line-ends none --size ${size_mb}M|Zipf page, one line"
  "zipf-oneline-$big_mb|--kind zipf --line-ends none --size ${big_mb}M|Zipf page, one line"
  "zipf-lf-$size_mb|--kind zipf --line-ends lf --size ${size_mb}M|Zipf page, LF"
  "zipf-utf8-crlf-$size_mb|--kind zipf --line-ends crlf --encoding utf8 --size ${size_mb}M|Zipf page, UTF-8, CR LF"
  "docs-crlf-$size_mb|--kind docs --line-ends crlf --size ${size_mb}M|Documentation page, CR LF"
  "docs-oneline-$size_mb|--kind docs --line-ends none --size ${size_mb}M|Documentation page, one line"
  "classic-crlf-$size_mb|--kind classic --line-ends crlf --size ${size_mb}Mi|Google Benchmark's page, CR LF"
)

# The minimum wall-clock time of a command over the runs, in seconds (hyperfine, no shell).
# Every run's time stays in FILE.json.
min_time() {
  local file=$1
  shift
  local csv="$dir/$file.csv"
  hyperfine --shell=none --style none --runs "$runs" --warmup 1 --export-csv "$csv" \
    --export-json "$dir/$file.json" "$@" >/dev/null
  # command,mean,stddev,median,user,system,min,max
  awk -F, 'NR == 2 { print $7 }' "$csv"
}

load_before=$(cut -d' ' -f1-3 /proc/loadavg)
rows=()
declare -A seconds bytes_of rss_of
for entry in "${pages[@]}"; do
  IFS='|' read -r name options label <<<"$entry"
  page="$dir/$name.html"
  echo "== $name: generating" >&2
  # shellcheck disable=SC2086  # the options are words
  "$bin/tagwright-docgen" $options -o "$page"
  bytes=$(stat -c %s "$page")
  bytes_of[$name]=$bytes

  echo "== $name: tagwright-cli tag, $runs runs" >&2
  "$bin/tagwright-cli" tag "$page" >"$dir/$name.tag"
  t=$(min_time "$name.tag" "$bin/tagwright-cli tag $page")
  seconds[$name]=$t

  # Peak resident memory (largest of three runs) and CPU time (smallest of three).
  rss_kb=0
  cpu=""
  for _ in 1 2 3; do
    /usr/bin/time -f '%M %U %S' -o "$dir/time.txt" "$bin/tagwright-cli" tag "$page" >/dev/null
    read -r m u s <"$dir/time.txt"
    [ "$m" -gt "$rss_kb" ] && rss_kb=$m
    c=$(awk -v u="$u" -v s="$s" 'BEGIN { printf "%.2f", u + s }')
    if [ -z "$cpu" ] || awk -v a="$c" -v b="$cpu" 'BEGIN { exit !(a < b) }'; then cpu=$c; fi
  done

  rss_of[$name]=$rss_kb

  echo "== $name: wc -w" >&2
  words=$(wc -w <"$page")
  wc_time=$(min_time "$name.wc" "wc -w $page")

  distinct="n/a"
  if [ -n "$wordcount" ]; then
    counts=$("$wordcount" "$page" 2>/dev/null || true)
    d1=$(sed -n 's/.*distinct_min1=\([0-9]*\).*/\1/p' <<<"$counts")
    d2=$(sed -n 's/.*distinct_min2=\([0-9]*\).*/\1/p' <<<"$counts")
    [ -n "$d1" ] && distinct="$d1 / $d2"
  fi
  listed=$("$bin/tagwright-cli" list "$page" --min-frequency 1 | grep -cE '^ *[0-9]+ +[0-9]+ +[0-9]+ ' || true)

  rows+=("$(awk -v label="$label" -v b="$bytes" -v t="$t" -v cpu="$cpu" -v rss="$rss_kb" \
    -v words="$words" -v wct="$wc_time" -v distinct="$distinct" -v listed="$listed" 'BEGIN {
      printf "| %s | %.1f | %d | %s | %d | %.3f | %.1f | %s | %.1f | %.0f |\n",
        label, b / 1e6, words, distinct, listed, t, b / 1e6 / t, cpu, rss * 1024 / 1e6, b / 1e6 / wct
    }')")
done
load_after=$(cut -d' ' -f1-3 /proc/loadavg)

ratio() {
  awk -v a="${seconds[$1]}" -v b="${seconds[$2]}" -v ba="${bytes_of[$1]}" -v bb="${bytes_of[$2]}" \
    'BEGIN { printf "x%.2f (size x%.2f)", a / b, ba / bb }'
}

report="$dir/report.md"
{
  echo "### tagwright-cli tag, whole process ($(git rev-parse --short HEAD), $(date -u +%Y-%m-%d))"
  echo
  echo "Minimum of $runs runs (hyperfine, after a warm-up run); MB = 10^6 bytes. CPU = user +"
  echo "system seconds, least of 3 runs; peak RSS = largest of 3 runs (/usr/bin/time %M), in MB."
  echo "Distinct words: the engine's table with minimum frequency 1 / 2 (tagwright-wordcount);"
  echo "listed: lines of \`tagwright-cli list --min-frequency 1\` (words whose key value rounds"
  echo "to 0 are not listed)."
  echo
  echo "| Document | MB | wc -w words | Distinct words (min. freq. 1 / 2) | Listed | Time (s) | MB/s | CPU (s) | Peak RSS (MB) | wc -w MB/s |"
  echo "|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|"
  printf '%s\n' "${rows[@]}"
  echo
  echo "Time ratios, $big_mb MB / $size_mb MB: CR LF $(ratio "zipf-crlf-$big_mb" "zipf-crlf-$size_mb"),"
  echo "one line $(ratio "zipf-oneline-$big_mb" "zipf-oneline-$size_mb")."
  echo
  goal() {  # what, measured, goal, met
    printf '| %s | %s | %s | %s |\n' "$1" "$2" "$3" "$4"
  }
  crlf="zipf-crlf-$size_mb"
  one="zipf-oneline-$size_mb"
  echo "| Goal | Measured | Wanted | Met |"
  echo "|---|---:|---:|---|"
  speed() { awk -v b="${bytes_of[$1]}" -v t="${seconds[$1]}" 'BEGIN { printf "%.1f", b / 1e6 / t }'; }
  met() { awk "BEGIN { exit !($1) }" && echo yes || echo no; }
  s=$(speed "$crlf"); goal "Speed, $size_mb MB CR LF (MB/s)" "$s" ">= 150" "$(met "$s >= 150")"
  s=$(speed "$one"); goal "Speed, $size_mb MB one line (MB/s)" "$s" ">= 100" "$(met "$s >= 100")"
  for pair in "zipf-crlf" "zipf-oneline"; do
    r=$(awk -v a="${seconds[$pair-$big_mb]}" -v b="${seconds[$pair-$size_mb]}" 'BEGIN { printf "%.2f", a / b }')
    goal "Time $big_mb MB / $size_mb MB, $pair" "x$r" "<= x2.1" "$(met "$r <= 2.1")"
  done
  m=$(awk -v k="${rss_of[$crlf]}" 'BEGIN { printf "%.1f", k * 1024 / 1e6 }')
  goal "Peak RSS, $size_mb MB CR LF (MB)" "$m" "< 40, flat" "$(met "$m < 40")"
  m2=$(awk -v k="${rss_of[zipf-crlf-$big_mb]}" 'BEGIN { printf "%.1f", k * 1024 / 1e6 }')
  goal "Peak RSS, $big_mb MB CR LF (MB)" "$m2" "flat: ~$m" "$(met "$m2 <= 1.25 * $m")"
  for name in "$one" "zipf-oneline-$big_mb"; do
    x=$(awk -v k="${rss_of[$name]}" -v b="${bytes_of[$name]}" 'BEGIN { printf "%.2f", k * 1024 / b }')
    goal "Peak RSS / size, $name" "x$x" "<= x3" "$(met "$x <= 3")"
  done
  echo
  echo "Machine: $(nproc) cores, $(sed -n 's/^model name[[:space:]]*: //p' /proc/cpuinfo | head -1);"
  echo "load average $load_before before, $load_after after (shared with other builds: the"
  echo "times are disturbed, the minimum is the least disturbed run)."
} >"$report"
cat "$report"
if [ -n "$out" ]; then cp "$report" "$out"; fi
if [ "$keep" -eq 1 ]; then echo "pages kept in $dir" >&2; fi
