# shellcheck shell=bash
# Sourced by the bench scripts: the options they share, and the folder of the pages.
# shellcheck disable=SC2034,SC2154  # runs, size_mb, dir, keep, build and root are the caller's

# Takes the option at the head of the arguments when both scripts know it (--runs N,
# --size-mb N, --dir DIR, --keep, --no-build) into runs, size_mb, dir, keep or build, and puts
# in bench_taken how many arguments it took: 0 for any other.
bench_option() {
  bench_taken=2
  case "$1" in
    --runs) runs=${2-} ;;
    --size-mb) size_mb=${2-} ;;
    --dir) dir=${2-} ;;
    --keep) keep=1; bench_taken=1 ;;
    --no-build) build=0; bench_taken=1 ;;
    *) bench_taken=0 ;;
  esac
}

# Stops unless runs and size_mb are numbers from 1 up. $1 names the script in messages.
bench_check_numbers() {
  local script=$1
  case "$runs" in ''|*[!0-9]*) echo "$script.sh: --runs takes a number" >&2; exit 2 ;; esac
  case "$size_mb" in ''|*[!0-9]*) echo "$script.sh: --size-mb takes a number" >&2; exit 2 ;; esac
  if [ "$runs" -lt 1 ] || [ "$size_mb" -lt 1 ]; then
    echo "$script.sh: numbers from 1 up" >&2
    exit 2
  fi
}

# Puts the folder for the generated pages in $dir. An empty $dir gets a new temporary folder,
# removed at the end unless $keep is 1; a given one must lie outside the repository ($root).
# $1 names the script in messages and the folder.
bench_pages_dir() {
  local script=$1
  if [ -z "$dir" ]; then
    dir=$(mktemp -d "${TMPDIR:-/tmp}/tagwright-$script.XXXXXX")
    [ "$keep" -eq 1 ] || trap 'rm -rf "$dir"' EXIT
  else
    case "$(realpath -m "$dir")/" in
      "$root"/*) echo "$script.sh: the pages do not go into the repository ($dir)" >&2; exit 2 ;;
    esac
    mkdir -p "$dir"
  fi
}
