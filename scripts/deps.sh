#!/usr/bin/env bash
# Installs the Debian packages the build needs (as root), or says how to. With "package",
# also those that make and check the Debian package (scripts/package.sh); with "bench", those
# of the benchmarks; with "fuzz", clang and its libFuzzer (scripts/fuzz.sh).
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config libgtest-dev libgmock-dev libbenchmark-dev
          libcli11-dev nlohmann-json3-dev libdtl-dev
          qt6-base-dev libqt6svg6 fonts-liberation xvfb xauth
          help2man desktop-file-utils appstream)
if [ "${1:-}" = package ]; then
  packages+=(dpkg-dev file binutils lintian)
fi
# scripts/bench.sh and scripts/profile.sh (argument "bench"): timings, peak memory, profiles.
if [ "${1:-}" = "bench" ]; then
  packages+=(hyperfine time valgrind linux-perf)
fi
# scripts/fuzz.sh (argument "fuzz"): clang 14 with libFuzzer and the sanitizer runtimes, and
# llvm-symbolizer for the stack traces of a finding.
if [ "${1:-}" = "fuzz" ]; then
  packages+=(clang-14 clang libclang-rt-14-dev llvm)
fi
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if [ ${#missing[@]} -eq 0 ]; then exit 0; fi
if [ "$(id -u)" -eq 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}" >/dev/null
else
  echo "Missing packages. Install them with:" >&2
  echo "  sudo apt-get install -y ${missing[*]}" >&2
  exit 1
fi
