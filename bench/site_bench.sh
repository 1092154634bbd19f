#!/usr/bin/env bash
# Times `tagwright-cli COMMAND SITE -j N` over a whole generated site: by default 2,000 pages
# of 50 kB (100 MB) in 40 folders, run with one job and with two. Prints a Markdown table:
# the time (minimum of several runs, the whole process), the speed in MB/s (10^6 bytes per
# second) and the speed-up over one job. The outputs of every job count are compared: they
# must be byte for byte the same.
#
#   bash bench/site_bench.sh [--pages N] [--page-kb N] [--jobs "1 2"] [--runs N]
#                            [--command C] [--dir DIR] [--keep] [--reuse] [--priority]
#                            [--no-build]
#
#   --pages N     pages in the site [2000]
#   --page-kb N   size of each page in kB (10^3 bytes) [50]
#   --jobs LIST   the job counts to time [1 2]
#   --runs N      timed runs per job count, after one warm-up run [3]
#   --command C   tag, list, show or report [tag]
#   --dir DIR     where the site goes [a new temporary folder, removed at the end]
#   --keep        keep the site (with its folder)
#   --reuse       time the site a --keep run left in DIR instead of generating one
#   --priority    time at the highest priority of this session's scheduling group (root,
#                 autogroup scheduling), so that the work of other sessions on a shared
#                 machine does not take a core away; the group's priority is put back
#   --no-build    use the programs already built in build/bench
#
# The pages are tagwright-docgen's: Zipf pages and documentation pages, one in five in
# UTF-8, one in seven with LF line ends, one in ten a PHP script, each with a seed of its
# own. The site never goes into the repository. On a shared machine the minimum of several
# runs is the figure that shows the program rather than the machine: the job counts take
# turns run by run, so that a busy spell falls on each of them alike; the load average is
# printed with the table.
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

pages=2000
page_kb=50
jobs_list="1 2"
runs=3
command=tag
dir=""
keep=0
reuse=0
priority=0
build=1
remove_dir=0
old_nice=""
# At the end: the temporary site goes, the scheduling group gets its priority back.
cleanup() {
  [ -z "$old_nice" ] || echo "$old_nice" > /proc/self/autogroup
  [ "$remove_dir" -eq 0 ] || rm -rf "$dir"
}
trap cleanup EXIT
while [ $# -gt 0 ]; do
  case "$1" in
    --pages) pages=$2; shift 2 ;;
    --page-kb) page_kb=$2; shift 2 ;;
    --jobs) jobs_list=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --command) command=$2; shift 2 ;;
    --dir) dir=$2; shift 2 ;;
    --keep) keep=1; shift ;;
    --reuse) reuse=1; shift ;;
    --priority) priority=1; shift ;;
    --no-build) build=0; shift ;;
    -h|--help) sed -n '2,32p' "$0" | sed 's/^# \{0,1\}//'; exit 0 ;;
    *) echo "site_bench.sh: unknown argument '$1' (--help lists them)" >&2; exit 2 ;;
  esac
done
for n in "$pages" "$page_kb" "$runs" $jobs_list; do
  case "$n" in ''|*[!0-9]*|0) echo "site_bench.sh: numbers from 1 up" >&2; exit 2 ;; esac
done
case "$command" in tag|list|show|report) ;; *) echo "site_bench.sh: --command: tag, list, show or report" >&2; exit 2 ;; esac

bash scripts/deps.sh

bin="$root/build/bench/bin"
if [ "$build" -eq 1 ]; then
  cmake --preset bench >/dev/null
  cmake --build --preset bench --target tagwright-cli tagwright-docgen
fi
for program in tagwright-cli tagwright-docgen; do
  [ -x "$bin/$program" ] || { echo "site_bench.sh: $bin/$program is missing" >&2; exit 1; }
done

if [ -z "$dir" ]; then
  dir=$(mktemp -d)
  [ "$keep" -eq 1 ] || remove_dir=1
else
  case "$(realpath -m "$dir")/" in
    "$root"/*) echo "site_bench.sh: the site does not go into the repository" >&2; exit 2 ;;
  esac
  mkdir -p "$dir"
fi
site="$dir/site"
if [ "$reuse" -eq 1 ]; then
  [ -d "$site" ] || { echo "site_bench.sh: --reuse: no site in $dir" >&2; exit 2; }
else
  rm -rf "$site"

  # The pages, written two at a time.
  echo "Generating $pages pages of $page_kb kB in $site ..." >&2
  for ((i = 1; i <= pages; i++)); do
    folder="$site/section$((i % 40))"
    kind=zipf; ((i % 3 == 0)) && kind=docs
    encoding=cp1252; ((i % 5 == 0)) && encoding=utf8
    ends=crlf; ((i % 7 == 0)) && ends=lf
    name="page$i.html"; ((i % 10 == 0)) && name="script$i.php"
    printf '%s\0' "--kind" "$kind" "--encoding" "$encoding" "--line-ends" "$ends" \
      "--vocabulary" 20000 "--size" "${page_kb}k" "--seed" "$i" "-o" "$folder/$name"
  done > "$dir/docgen.args"
  for ((s = 0; s < 40; s++)); do mkdir -p "$site/section$s"; done
  xargs -0 -n 14 -P 2 "$bin/tagwright-docgen" < "$dir/docgen.args"
fi
bytes=$(find "$site" -type f -printf '%s\n' | awk '{s += $1} END {print s}')
count=$(find "$site" -type f | wc -l)

if [ "$priority" -eq 1 ]; then
  group=/proc/self/autogroup
  [ -w "$group" ] || { echo "site_bench.sh: --priority: $group cannot be written" >&2; exit 2; }
  old_nice=$(sed -n 's/.* nice \(-\{0,1\}[0-9]*\)$/\1/p' "$group")
  echo -20 > "$group"
fi

now() { date +%s.%N; }
declare -A best
first_jobs=""
for jobs in $jobs_list; do
  # A warm-up run, whose output every job count must give alike.
  out="$dir/out-$jobs"
  "$bin/tagwright-cli" "$command" "$site" -j "$jobs" --quiet >"$out" 2>&1 || true
  if [ -z "$first_jobs" ]; then
    first_jobs=$jobs
  elif ! cmp -s "$out" "$dir/out-$first_jobs"; then
    echo "site_bench.sh: -j $jobs wrote other output than -j $first_jobs" >&2
    exit 1
  fi
done
for ((r = 1; r <= runs; r++)); do
  for jobs in $jobs_list; do
    start=$(now)
    "$bin/tagwright-cli" "$command" "$site" -j "$jobs" --quiet >/dev/null 2>&1 || true
    end=$(now)
    t=$(awk -v a="$start" -v b="$end" 'BEGIN { print b - a }')
    if [ -z "${best[$jobs]:-}" ] || awk -v t="$t" -v b="${best[$jobs]}" 'BEGIN { exit !(t < b) }'; then
      best[$jobs]=$t
    fi
  done
done

echo
echo "\`tagwright-cli $command\` over $count pages, $(awk -v b="$bytes" 'BEGIN { printf "%.1f", b / 1e6 }') MB;" \
  "$(nproc) processors, load average $(cut -d' ' -f1-3 /proc/loadavg); minimum of $runs runs" \
  "$([ "$priority" -eq 1 ] && echo "at the session's highest priority")"
echo
echo "| Jobs | Time | Speed | Speed-up |"
echo "|---|---|---|---|"
for jobs in $jobs_list; do
  awk -v j="$jobs" -v t="${best[$jobs]}" -v b="$bytes" -v one="${best[$first_jobs]}" \
    'BEGIN { printf "| %s | %.2f s | %.1f MB/s | x%.2f |\n", j, t, b / 1e6 / t, one / t }'
done
