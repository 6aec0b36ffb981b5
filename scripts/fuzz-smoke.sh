#!/usr/bin/env bash
# Short fuzzing pass for the test run: every target over its seed corpus and 2000 further
# inputs, at most a few seconds each. Non-zero on any crash, leak or time-out; skipped with a
# message when clang is missing.
cd "$(dirname "$0")/.." || exit 1
FUZZ_RUNS=${FUZZ_RUNS:-2000} exec scripts/fuzz.sh "${FUZZ_SECONDS:-5}" "$@"
