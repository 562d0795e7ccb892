#!/usr/bin/env bash
# Builds everything and runs every test (GUI tests run on the offscreen platform),
# checks the C++ formatting, then builds and runs the sanitizer suite in build-asan
# (non-GUI unit tests and the fuzz targets' corpora under AddressSanitizer and
# UndefinedBehaviorSanitizer, see scripts/test_sanitized.sh).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
# The format check runs first but fails the command only at the end, so that a
# formatting slip does not hide the test results.
"$root/scripts/deps.sh"
format_status=0
"$root/scripts/check_format.sh" || format_status=$?
"$root/scripts/build.sh"
(cd "$root/build" && ctest --output-on-failure -j"$(nproc)")
"$root/scripts/test_sanitized.sh"
exit "$format_status"
