#!/usr/bin/env bash
# Builds the Debian package build/package/tagwright_VERSION_ARCH.deb and checks it with
# lintian: any error fails, warnings are shown.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh package
# Profile-guided: trained on generated pages, then built again from what the training ran.
bash scripts/pgo.sh package
cpack --preset package >/dev/null
deb=$(ls -t build/package/tagwright_*.deb | head -n 1)
echo "Built $deb"
dpkg-deb --field "$deb"
lintian --fail-on error --info "$deb"
