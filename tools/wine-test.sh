#!/usr/bin/env bash
# Runs one Windows test program under Wine, in a Wine prefix of its own and,
# when no display is set, on a private Xvfb server: no run depends on another.
# Usage: wine-test.sh PROGRAM.exe [ARGS...]
#   ZR_WINE_LOCALE=zh_CN.UTF-8  run in that Linux locale, which sets Wine's
#                               ANSI code page (936 there); made into a
#                               private folder when the system lacks it
#   ZR_WINE_PREFIX=DIR          use the prefix DIR (created when missing),
#                               which the caller removes: several runs in one
#                               prefix are set up only once
set -euo pipefail
if [ -n "${ZR_WINE_PREFIX:-}" ]; then
  prefix=$ZR_WINE_PREFIX
  own_prefix=false
else
  prefix=$(mktemp -d "${TMPDIR:-/tmp}/zr-wine.XXXXXX")
  own_prefix=true
fi
mkdir -p "$prefix"
# No Mono or Gecko installer prompts, and no debugger waiting on a crash:
# a crashing test fails at once.
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
cleanup() {
  wineserver -k >/dev/null 2>&1 || true
  if $own_prefix; then rm -rf "$prefix"; fi
  if [ -n "${locale_dir:-}" ]; then rm -rf "$locale_dir"; fi
}
trap cleanup EXIT

# Wine takes its ANSI code page from the Linux locale, and its file names
# from the locale's character set: the locale must exist, or every non-ASCII
# file name fails.
if [ -n "${ZR_WINE_LOCALE:-}" ]; then
  wanted=$ZR_WINE_LOCALE
  normalized=$(echo "$wanted" | sed 's/UTF-8$/utf8/')
  if ! locale -a 2>/dev/null | grep -qx -e "$wanted" -e "$normalized"; then
    locale_dir=$(mktemp -d "${TMPDIR:-/tmp}/zr-locale.XXXXXX")
    localedef -i "${wanted%%.*}" -f "${wanted#*.}" "$locale_dir/$wanted" >/dev/null 2>&1 || {
      echo "wine-test.sh: cannot make the locale $wanted (package locales)" >&2
      exit 1
    }
    export LOCPATH=$locale_dir
  fi
  export LANG=$wanted LC_ALL=$wanted
fi

if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
else
  wine "$@"
fi
