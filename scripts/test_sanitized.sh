#!/usr/bin/env bash
# The sanitizer suite: builds the non-GUI unit tests, the data tests and the fuzz
# targets with clang, AddressSanitizer and UndefinedBehaviorSanitizer (no recovery:
# the first report fails the test) in build-asan, then runs them. Each fuzz target
# replays its committed corpus once (tests/fuzz/corpus); there is no open-ended
# fuzzing here, so the run is deterministic.
#
# Tests labelled asan_slow (set in the tests' CMakeLists) are left out here: they
# are the long statistical runs, which take many times longer under the
# sanitizers and exercise no code that the other tests do not; they run in the
# normal build.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build="$root/build-asan"
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$root" -B "$build" -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_CXX_COMPILER=clang++ "${launcher[@]}" \
  -DCORVANE_SANITIZE=ON -DCORVANE_BUILD_FUZZ=ON \
  -DCORVANE_BUILD_WINDOWS=OFF -DCORVANE_BUILD_BENCH=OFF >/dev/null
cmake --build "$build" -j"$(nproc)"
export ASAN_OPTIONS=${ASAN_OPTIONS:-abort_on_error=0:detect_stack_use_after_return=1}
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}
cd "$build"
ctest --output-on-failure -j"$(nproc)" -LE asan_slow
