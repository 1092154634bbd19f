#!/usr/bin/env bash
# Builds Tagwright with AddressSanitizer and UndefinedBehaviorSanitizer and runs every test.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/deps.sh
cmake --preset debug >/dev/null
cmake --build --preset debug
ctest --preset debug "$@"
