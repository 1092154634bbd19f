#!/usr/bin/env bash
# Builds the fuzz targets (preset fuzz: clang, libFuzzer, AddressSanitizer and
# UndefinedBehaviorSanitizer) and runs each for SECONDS, one after the other, from its seed
# corpus (fuzz/corpus/TARGET) and its dictionary (fuzz/*.dict). Prints per
# target the executions, crashes, timeouts (hangs), leaks and out-of-memory stops, and exits
# non-zero when any target found one or could not run.
#
#   bash scripts/fuzz.sh SECONDS [--runs N] [--only LIST] [--work DIR] [--no-build]
#
#   --runs N      stop a target after N executions when that comes before SECONDS
#   --only LIST   comma-separated targets: analysis, report, insert, statefile, catalogue,
#                 options, utf8 [all]
#   --work DIR    where each target keeps the inputs it finds (DIR/TARGET/corpus) and the
#                 findings and log of each run (DIR/TARGET/run-TIME/) [/tmp/tagwright-fuzz]
#   --no-build    use the programs already built in build/fuzz
#
# The inputs found stay in the work folder and are read again by the next run, so that runs
# add up; the repository's corpus is only read. A finding is minimised with
#   build/fuzz/bin/fuzz_TARGET -minimize_crash=1 -runs=100000 FILE
# and kept as a regression test of its module (see README.md, "Fuzzing").
set -euo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

usage() { sed -n '2,22p' "$0" | sed 's/^# \{0,1\}//'; }
seconds=""
runs=-1
only=""
work="${TMPDIR:-/tmp}/tagwright-fuzz"
build=1
while [ $# -gt 0 ]; do
  case "$1" in
    --runs) runs=$2; shift 2 ;;
    --only) only=$2; shift 2 ;;
    --work) work=$2; shift 2 ;;
    --no-build) build=0; shift ;;
    -h|--help) usage; exit 0 ;;
    -*) echo "fuzz.sh: unknown argument '$1' (--help lists them)" >&2; exit 2 ;;
    *) [ -z "$seconds" ] || { echo "fuzz.sh: one SECONDS only" >&2; exit 2; }; seconds=$1; shift ;;
  esac
done
case "$seconds" in ''|*[!0-9]*|0) echo "fuzz.sh: SECONDS, a number from 1, is needed" >&2; exit 2 ;; esac
case "$runs" in -1) ;; ''|*[!0-9]*|0) echo "fuzz.sh: --runs takes a number from 1" >&2; exit 2 ;; esac
case "$(realpath -m "$work")/" in
  "$root"/*) echo "fuzz.sh: the work folder does not go into the repository ($work)" >&2; exit 2 ;;
esac

# The targets with the largest input each takes: documents get room beyond the 16,384 bytes
# in which encodings and line ends are recognised.
declare -A max_len=(
  [analysis]=65536 [report]=65536 [insert]=32768 [statefile]=4096 [catalogue]=16384
  [options]=2048 [utf8]=4096
)
# The dictionary of each target: the markup for most, the command line's words for options.
declare -A dict=([options]=fuzz/options.dict)
all=(analysis report insert statefile catalogue options utf8)
targets=("${all[@]}")
if [ -n "$only" ]; then
  IFS=',' read -r -a targets <<<"$only"
  for t in "${targets[@]}"; do
    [ -n "${max_len[$t]:-}" ] || { echo "fuzz.sh: unknown target '$t'" >&2; exit 2; }
  done
fi

bash scripts/deps.sh fuzz
bin="$root/build/fuzz/bin"
if [ "$build" -eq 1 ]; then
  cmake --preset fuzz >/dev/null
  cmake --build --preset fuzz --target "${targets[@]/#/fuzz_}"
fi

# The files the targets write for the entry points that read by name go to memory when the
# system has a tmpfs for it: several times as many executions as on a disk.
if [ -d /dev/shm ] && [ -w /dev/shm ]; then
  export TMPDIR=/dev/shm
fi
export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:allocator_may_return_null=1"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export LC_ALL=C
stamp=$(date +%Y%m%d-%H%M%S)
failed=0
rows=()
for t in "${targets[@]}"; do
  program="$bin/fuzz_$t"
  [ -x "$program" ] || { echo "fuzz.sh: $program is missing" >&2; exit 1; }
  run="$work/$t/run-$stamp"
  mkdir -p "$work/$t/corpus" "$run"
  echo "== $t: $seconds s (log: $run/log)" >&2
  start=$(date +%s)
  status=0
  "$program" -max_total_time="$seconds" -runs="$runs" -max_len="${max_len[$t]}" -timeout=10 \
    -rss_limit_mb=2048 -dict="${dict[$t]:-fuzz/markup.dict}" -print_final_stats=1 \
    -artifact_prefix="$run/" "$work/$t/corpus" "fuzz/corpus/$t" >"$run/log" 2>&1 || status=$?
  took=$(($(date +%s) - start))
  execs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$run/log" | tail -n 1)
  # A run that stopped at a finding has no final figures: its last status line tells.
  [ -n "$execs" ] || execs=$(sed -n 's/^#\([0-9][0-9]*\).*/\1/p' "$run/log" | tail -n 1)
  execs=${execs:-0}
  count() { find "$run" -maxdepth 1 -name "$1-*" | wc -l; }
  crashes=$(count crash)
  timeouts=$(count timeout)
  leaks=$(count leak)
  ooms=$(count oom)
  # A finding libFuzzer could not save, or a program that failed by itself, still counts.
  if [ "$status" -ne 0 ] && [ $((crashes + timeouts + leaks + ooms)) -eq 0 ]; then
    if grep -q "ERROR: libFuzzer: timeout" "$run/log"; then timeouts=1
    elif grep -q "ERROR: LeakSanitizer" "$run/log"; then leaks=1
    elif grep -q "out-of-memory" "$run/log"; then ooms=1
    else crashes=1
    fi
  fi
  speed=$(awk -v n="$execs" -v s="$took" 'BEGIN { printf "%d", (s > 0 ? n / s : n) }')
  rows+=("$(printf '%-10s %7s %12s %8s %8s %9s %6s %6s' "$t" "$took" "$execs" "$speed" \
    "$crashes" "$timeouts" "$leaks" "$ooms")")
  if [ $((crashes + timeouts + leaks + ooms)) -gt 0 ]; then
    failed=1
    echo "   $t found something; log and inputs in $run:" >&2
    grep -E "ERROR|property failed|SUMMARY|^     at " "$run/log" | head -n 8 | sed 's/^/   | /' >&2
    find "$run" -maxdepth 1 -type f ! -name log | sed 's/^/   input: /' >&2
  fi
done

printf '%-10s %7s %12s %8s %8s %9s %6s %6s\n' target seconds executions exec/s crashes \
  timeouts leaks ooms
printf '%s\n' "${rows[@]}"
exit "$failed"
