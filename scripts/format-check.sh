#!/usr/bin/env bash
# Fails when a tracked C, C++ or header file differs from .clang-format, listing the files
# and the command that formats them. Never skipped: without clang-format it fails too.
cd "$(dirname "$0")/.." || exit 1
if ! command -v clang-format >/dev/null 2>&1; then
  echo "Format check: clang-format is not installed (apt-get install clang-format)." >&2
  exit 1
fi
if ! files=$(git ls-files -- '*.c' '*.cc' '*.cpp' '*.h' '*.hpp' 2>/dev/null); then
  echo "Format check: not a git checkout; the check needs git to list the tracked files." >&2
  exit 1
fi
# Batches in parallel; --dry-run names each differing file in its warnings.
report=$(printf '%s\n' "$files" | xargs -d '\n' -P "$(nproc)" -n 40 clang-format --dry-run --Werror 2>&1 >/dev/null)
status=$?
mapfile -t bad < <(sed -n 's/^\([^:]*\):[0-9]*:[0-9]*: error: .*/\1/p' <<<"$report" | sort -u)
if [ $status -ne 0 ] && [ ${#bad[@]} -eq 0 ]; then
  echo "Format check: clang-format failed:" >&2
  echo "$report" >&2
  exit 1
fi
if [ ${#bad[@]} -gt 0 ]; then
  echo "Format check: ${#bad[@]} file(s) differ from .clang-format:" >&2
  printf '  %s\n' "${bad[@]}" >&2
  echo "Format them with:" >&2
  echo "  clang-format -i ${bad[*]}" >&2
  exit 1
fi
echo "Format check: $(wc -l <<<"$files") files match .clang-format."
