#!/usr/bin/env bash
# Release build of the IDE and the V2 command-line compiler, then the main job: start the
# IDE when a display is there; without one, compile the example V2 project.
set -euo pipefail
cd "$(dirname "$0")"
root=$(pwd)
source scripts/setup.sh
cmake -S . -B build/release -DCMAKE_BUILD_TYPE=Release -DBUILD_TESTING=OFF -DVEXA_BENCH=OFF
# The IDE brings the three shared libraries it links; its data files are copied beside it
# when configuring.
cmake --build build/release -j"$(nproc)" --target vexaide v2comp

ide="$root/build/release/ide/vexaide"
if [ -n "${DISPLAY:-}" ] || [ -n "${WAYLAND_DISPLAY:-}" ]; then
  exec "$ide" "$@"
fi

# v2comp reads module paths relative to the current directory and writes its
# outputs there, so the example is compiled inside the build tree.
out=build/release/examples/demo
mkdir -p "$out"
sed "s|^\([^/]\)|$root/\1|" examples/demo/demo.prj > "$out/demo.prj"
cd "$out"
status=0
"$root/build/release/tools/v2comp/v2comp" demo.prj || status=$?
cat demo.err | tr -d '\000'
echo
[ -f demo.vmc ] && echo "Program image: $(pwd)/demo.vmc"
echo
echo "No display (DISPLAY or WAYLAND_DISPLAY): the IDE was not started."
echo "In a desktop session, start it with ./run.sh or directly: $ide"
exit "$status"
