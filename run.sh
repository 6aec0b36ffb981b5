#!/usr/bin/env bash
# Release build of every deliverable, then the main job.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release
cmake --build build/release -j"$(nproc)"
if [ -x build/release/tools/v2comp/v2comp ] && [ -f examples/demo/demo.prj ]; then
  build/release/tools/v2comp/v2comp examples/demo/demo.prj
fi
