#!/usr/bin/env bash
# Runs one Windows test program under Wine, in a Wine prefix of its own and,
# when no display is set, on a private Xvfb server: no run depends on another.
# Usage: wine-test.sh PROGRAM.exe [ARGS...]
#   ZR_WINE_LOCALE=zh_CN.UTF-8  run in that Linux locale, which sets Wine's
#                               ANSI code page (936 there); made into a
#                               private folder when the system lacks it
#   ZR_WINE_PREFIX=DIR          use the prefix DIR (created when missing),
#                               which the caller removes with DIR-locales:
#                               several runs in one prefix are set up once
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
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=${ZR_WINEDEBUG:--all} WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
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
    # Beside a caller's prefix it is made once for all its runs.
    if $own_prefix; then
      locale_dir=$(mktemp -d "${TMPDIR:-/tmp}/zr-locale.XXXXXX")
      locales=$locale_dir
    else
      locales=$prefix-locales
    fi
    if [ ! -d "$locales/$wanted" ]; then
      mkdir -p "$locales"
      localedef -i "${wanted%%.*}" -f "${wanted#*.}" "$locales/$wanted" >/dev/null 2>&1 || {
        echo "wine-test.sh: cannot make the locale $wanted (package locales)" >&2
        exit 1
      }
    fi
    export LOCPATH=$locales
  fi
  export LANG=$wanted LC_ALL=$wanted
fi

# Text as the program draws it: Wine's own Tahoma (Debian's fonts-wine) goes
# into the prefix, or "Tahoma" becomes whatever font is near; Tahoma has no
# Chinese glyphs, and Wine links it to SimSun (among others) for the
# characters it lacks, as Windows does, so SimSun is made a name of
# WenQuanYi Micro Hei (Debian's fonts-wqy-microhei). Characters outside
# the BMP (emoji) Wine's GDI cannot draw through DrawTextW: they show as
# boxes under Wine.
if [ ! -f "$prefix/system.reg" ]; then
  wineboot -i >/dev/null 2>&1
  cp /usr/share/wine/fonts/tahoma*.ttf "$prefix/drive_c/windows/Fonts/" 2>/dev/null || true
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  wineserver -w
fi

if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" wine "$@"
else
  wine "$@"
fi
