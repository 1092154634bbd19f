#!/usr/bin/env bash
# Builds the Debian package build/package/tagwright_VERSION_ARCH.deb and checks it with
# lintian: any error fails, warnings are shown.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh package
cmake --preset package >/dev/null
cmake --build --preset package
cpack --preset package >/dev/null
deb=$(ls -t build/package/tagwright_*.deb | head -n 1)
echo "Built $deb"
dpkg-deb --field "$deb"
lintian --fail-on error --info "$deb"
