#!/usr/bin/env bash
# Runs one Windows test program under Wine, in a Wine prefix of its own and,
# when no display is set, on a private Xvfb server: no run depends on another.
# Usage: wine-test.sh PROGRAM.exe [ARGS...]
set -euo pipefail
prefix=$(mktemp -d "${TMPDIR:-/tmp}/zr-wine.XXXXXX")
# No Mono or Gecko installer prompts, and no debugger waiting on a crash:
# a crashing test fails at once.
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  rm -rf "$prefix"
}
trap cleanup EXIT
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
else
  wine "$@"
fi
