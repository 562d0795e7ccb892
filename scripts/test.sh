#!/usr/bin/env bash
# Builds everything and runs every test (GUI tests run on the offscreen platform).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
"$root/scripts/build.sh"
cd "$root/build"
ctest --output-on-failure -j"$(nproc)"
