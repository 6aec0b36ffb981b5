#!/usr/bin/env bash
# Fuzzes every target of fuzz/ (or the ones named) for the given number of seconds each.
#   scripts/fuzz.sh SECONDS [TARGET...]        e.g. scripts/fuzz.sh 300 fuzz_sim_code
# Builds build/fuzz with clang first. New corpus entries go to build/fuzz/corpus/<target>,
# crashing inputs to build/fuzz/artifacts/. Exits non-zero on any crash, leak or time-out.
# FUZZ_RUNS limits the runs per target after its seeds (scripts/fuzz-smoke.sh sets it); such a
# short run starts from the committed seeds only.
set -uo pipefail
cd "$(dirname "$0")/.."
root=$(pwd)

if [ $# -lt 1 ] || ! [[ "$1" =~ ^[0-9]+$ ]]; then
  echo "use: scripts/fuzz.sh SECONDS [TARGET...]" >&2
  exit 2
fi
seconds=$1
shift

if ! command -v clang >/dev/null 2>&1 || ! command -v clang++ >/dev/null 2>&1; then
  echo "fuzz: clang is not installed; the fuzz targets are skipped"
  exit 0
fi

build=$root/build/fuzz
cmake -S . -B "$build" -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVEXA_FUZZ=ON -DVEXA_BENCH=OFF -DBUILD_TESTING=OFF -DVEXA_WERROR=ON \
  "-DVEXA_COMPONENTS=isa;platform;download;compiler;simulator;basic;tools;ide" >"$build.configure.log" 2>&1 ||
  { cat "$build.configure.log"; echo "fuzz: configure failed"; exit 1; }
cmake --build "$build" -j"$(nproc)" --target vexa_fuzz >"$build.build.log" 2>&1 ||
  { tail -n 50 "$build.build.log"; echo "fuzz: build failed"; exit 1; }

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for t in "$build"/fuzz/fuzz_*; do [ -x "$t" ] && targets+=("$(basename "$t")"); done
fi

runs=()
[ -n "${FUZZ_RUNS:-}" ] && runs=("-runs=$FUZZ_RUNS")
mkdir -p "$build/artifacts"
failed=()
for t in "${targets[@]}"; do
  seeds=$root/fuzz/corpus/$t
  work=$build/corpus/$t
  # A short run starts from the seeds alone, so its time does not grow with earlier runs.
  [ -n "${FUZZ_RUNS:-}" ] && work=$build/smoke-corpus/$t && rm -rf "$work"
  mkdir -p "$work"
  log=$build/$t.log
  # stdout is closed: simulated programs print there.
  if "$build/fuzz/$t" "${runs[@]}" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
      -close_fd_mask=1 -print_final_stats=1 -artifact_prefix="$build/artifacts/$t-" \
      "$work" "$seeds" >"$log" 2>&1; then
    echo "fuzz: $t ok ($(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" | grep -o '[0-9]*$') runs)"
  else
    echo "fuzz: $t FAILED, see $log"
    grep -E '^(==[0-9]+==ERROR|SUMMARY|.*runtime error|.*Test unit written)' "$log" | head -n 5
    failed+=("$t")
  fi
done

if [ ${#failed[@]} -gt 0 ]; then
  echo "fuzz: failures in ${failed[*]}"
  echo "fuzz: $(( ${#targets[@]} - ${#failed[@]} )) passed, ${#failed[@]} failed"
  exit 1
fi
echo "fuzz: ${#targets[@]} passed, 0 failed"
