# shellcheck shell=bash
# Sourced by the bench scripts: puts the folder for the generated pages in $dir. An empty
# $dir gets a new temporary folder, removed at the end unless $keep is 1; a given one must
# lie outside the repository ($root). $1 names the script in messages and the folder.
# shellcheck disable=SC2154  # root, dir and keep are the caller's
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
