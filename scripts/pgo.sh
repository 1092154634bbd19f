#!/usr/bin/env bash
# Builds a configure preset profile-guided (GCC): first with programs that record how their
# code runs, which then analyse a set of generated training pages, then again, the whole
# program at once, from what they recorded. The training pages are generated here with
# seeds and sizes of their own, not the benchmark's pages.
#
#   bash scripts/pgo.sh PRESET [TARGET...]
#
#   PRESET   a configure and build preset whose folder is build/PRESET (release, bench,
#            package)
#   TARGET   what the second build builds [everything]
#
# The build folder keeps the profile (build/PRESET/pgo-profile); a later plain
# `cmake --preset PRESET` keeps building from it until the preset is configured with
# -DTAGWRIGHT_PGO=OFF.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ $# -lt 1 ]; then
  sed -n '2,15p' "$0" | sed 's/^# \{0,1\}//'
  exit 2
fi
preset=$1
shift
dir=build/$preset
profile=$PWD/$dir/pgo-profile

# The recording build: only the command line and the page generator are needed.
rm -rf "$profile"
cmake --preset "$preset" -DTAGWRIGHT_PGO=GENERATE "-DTAGWRIGHT_PGO_DIR=$profile" >/dev/null
cmake --build --preset "$preset" --target tagwright-cli tagwright-docgen

pages=$(mktemp -d)
trap 'rm -rf "$pages"' EXIT
gen=$dir/bin/tagwright-docgen
cli=$dir/bin/tagwright-cli
# Large pages, one at a time, as the benchmark runs them: from 8 MB on the word table works
# as it does on large pages only.
"$gen" --seed 7 --size 10M -o "$pages/zipf-crlf.html"
"$gen" --seed 8 --size 10M --line-ends none -o "$pages/zipf-one-line.html"
"$gen" --kind docs --seed 11 --size 10M -o "$pages/docs-crlf.html"
"$gen" --kind docs --seed 12 --size 10M --line-ends none -o "$pages/docs-one-line.html"
for page in "$pages"/*.html; do
  "$cli" tag "$page" >/dev/null
done
# Smaller pages of other kinds, and a site of them.
site=$pages/site
mkdir "$site"
"$gen" --seed 9 --size 2M --line-ends lf --php -o "$site/zipf-php.php"
"$gen" --seed 10 --size 2M --encoding utf8 -o "$site/zipf-utf8.html"
"$gen" --kind classic --seed 13 --size 2M -o "$site/classic.html"
cp data/manual.html "$site/manual.html"
for page in "$site"/*; do
  "$cli" tag "$page" >/dev/null
  "$cli" list "$page" --min-frequency 1 >/dev/null
  "$cli" show "$page" >/dev/null
done
"$cli" report "$site" >/dev/null
"$cli" tag "$site" -j 2 >/dev/null

# The build from the profile.
cmake --preset "$preset" -DTAGWRIGHT_PGO=USE "-DTAGWRIGHT_PGO_DIR=$profile" >/dev/null
if [ $# -gt 0 ]; then
  cmake --build --preset "$preset" --target "$@"
else
  cmake --build --preset "$preset"
fi
