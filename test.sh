#!/usr/bin/env bash
# Builds with the sanitizers and runs every test: the whole suite with AddressSanitizer and
# UBSan, the tests that start threads again with ThreadSanitizer, then a short run of every
# fuzz target over its corpus. Warnings are errors.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
jobs=$(nproc)
root=$(pwd)

cmake -S . -B build/test -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_SANITIZE=address -DVEXA_WERROR=ON
cmake --build build/test -j"$jobs"
(
  cd build/test
  ASAN_OPTIONS=detect_leaks=1:abort_on_error=1 UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
    ctest --output-on-failure -j"$jobs"
)

cmake -S . -B build/tsan -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_SANITIZE=thread -DVEXA_WERROR=ON \
  -DVEXA_BENCH=OFF
cmake --build build/tsan -j"$jobs" --target vexa_thread_tests
(
  cd build/tsan
  TSAN_OPTIONS=halt_on_error=1:second_deadlock_stack=1 ctest --output-on-failure -j"$jobs" -L threads
)

if [ -x scripts/fuzz-smoke.sh ]; then
  "$root/scripts/fuzz-smoke.sh"
fi
