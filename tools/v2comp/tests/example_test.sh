#!/usr/bin/env bash
# The example project compiles without a single message. Its module paths are relative to the
# repository root, where run.sh compiles it.
set -u
v2comp="$1"
root="$2"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"
ln -s "$root/examples" examples
"$v2comp" examples/demo/demo.prj > out.txt; code=$?
cat out.txt
[ $code -eq 0 ] || { echo "exit $code"; exit 1; }
printf 'compilation ready, VMC available\r\n\0' | cmp -s - demo.err || { echo "messages:"; cat demo.err; exit 1; }
[ "$(head -n 1 demo.vmc)" = $'VX2VMC\r' ] || { echo "no image"; exit 1; }
echo "example project compiles"
