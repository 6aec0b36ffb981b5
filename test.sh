#!/usr/bin/env bash
# Checks that every tracked C++ file matches .clang-format and that a configuration without
# tests configures, then builds with the sanitizers and runs every test: the whole suite with
# AddressSanitizer and UBSan, the tests that start threads again with ThreadSanitizer, then a
# short run of every fuzz target over its corpus. Warnings are errors.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
jobs=$(nproc)
root=$(pwd)
# Each step prints how long it took, so a slow run shows where the time went.
step_start=$SECONDS
step_done() {
  echo "== $1: $((SECONDS - step_start)) s"
  step_start=$SECONDS
}

scripts/format-check.sh
step_done "Format check"

# Without tests GoogleTest is not needed and every configured target can be built: a
# configure alone shows a benchmark linking what only the tests define.
mkdir -p build
cmake -S . -B build/notests-config -DBUILD_TESTING=OFF -DCMAKE_DISABLE_FIND_PACKAGE_GTest=ON \
  --no-warn-unused-cli >build/notests-config.log 2>&1 ||
  { cat build/notests-config.log; echo "Configure without tests failed"; exit 1; }
step_done "Configure without tests"

# Sanitizer reports need line tables only; -O1 keeps the compile short.
sanitizer_flags=(-DCMAKE_BUILD_TYPE=RelWithDebInfo "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG"
  "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")

cmake -S . -B build/test "${sanitizer_flags[@]}" -DVEXA_SANITIZE=address -DVEXA_WERROR=ON \
  -DVEXA_BENCH=OFF
cmake --build build/test -j"$jobs"
step_done "ASan/UBSan build"
(
  cd build/test
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j"$jobs"
)
step_done "ASan/UBSan tests"

cmake -S . -B build/tsan "${sanitizer_flags[@]}" -DVEXA_SANITIZE=thread -DVEXA_WERROR=ON \
  -DVEXA_BENCH=OFF
cmake --build build/tsan -j"$jobs" --target vexa_thread_tests
step_done "TSan build"
(
  cd build/tsan
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --output-on-failure -j"$jobs" -L threads
)
step_done "TSan tests"

if [ -x scripts/fuzz-smoke.sh ]; then
  "$root/scripts/fuzz-smoke.sh"
  step_done "Fuzz smoke"
fi
