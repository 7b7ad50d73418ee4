#!/usr/bin/env bash
# Runs the end-to-end tests of the Windows program under Wine, after the
# native command line has exported the demo phone: the window's export is
# compared with that one byte for byte.
# Usage: run-program-tests.sh NATIVE_EXE WINE_TEST_SH PROGRAM_TESTS_EXE [ARGS...]
set -euo pipefail
native_exe=$1
wine_test=$2
shift 2
if [ ! -x "$native_exe" ]; then
  echo "the native command line $native_exe is missing: build the native preset first" >&2
  exit 1
fi
source_dir=$(cd "$(dirname "$0")/../.." && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/zr-program.XXXXXX")
trap 'rm -rf "$work"' EXIT
"$native_exe" export "$source_dir/demo/contacts2.db" "$source_dir/demo/mmssms.db" --out "$work" >/dev/null 2>&1
root=$(ls -d "$work"/ZephyrloomRescue* | head -n 1)
export ZR_NATIVE_EXPORT="Z:${root//\//\\}"
"$wine_test" "$@"
