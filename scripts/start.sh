#!/usr/bin/env bash
# Builds Tagwright's two programs (release, without tests or benchmarks) and starts its
# window. Arguments go to the program: a document to open, for instance.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset release >/dev/null
cmake --build --preset release
if [ -x build/release/bin/tagwright ]; then
  exec build/release/bin/tagwright "$@"
fi
exec build/release/bin/tagwright-cli --help
