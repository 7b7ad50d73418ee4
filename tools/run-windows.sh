#!/usr/bin/env bash
# Runs the Windows program under Wine on the demo phone, as a user has it:
# ZephyrloomRescue.exe with its pictures and the adb helper in
# C:\Zephyrloom Rescue of a Wine prefix of its own (build/wine-run), the
# demo phone beside the helper. The phone copies go below that drive's
# root, inside the prefix. Without a display it runs on a private Xvfb
# server (nothing to see, but the program runs).
# Usage: run-windows.sh BUILD_DIR
set -euo pipefail
build=$1
source_dir=$(cd "$(dirname "$0")/.." && pwd)
export WINEPREFIX=${ZR_WINE_RUN_PREFIX:-$source_dir/build/wine-run}
export WINEARCH=win64 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d"
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  mkdir -p "$WINEPREFIX"
  wineboot -i >/dev/null 2>&1
  cp /usr/share/wine/fonts/tahoma*.ttf "$WINEPREFIX/drive_c/windows/Fonts/" 2>/dev/null || true
  wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v SimSun /d "WenQuanYi Micro Hei" /f >/dev/null 2>&1
  wineserver -w
fi
stage="$WINEPREFIX/drive_c/Zephyrloom Rescue"
phone="$stage/demo-phone/data/data"
rm -rf "$stage"
mkdir -p "$phone/com.android.providers.contacts/databases" "$phone/com.android.providers.telephony/databases"
cp "$build/app/ZephyrloomRescue.exe" "$build/app/zephyrloom-phone-rescue-adb-help.exe" "$stage/"
cp -r "$source_dir/image" "$stage/image"
cp "$source_dir/demo/contacts2.db" "$phone/com.android.providers.contacts/databases/"
cp "$source_dir/demo/mmssms.db" "$phone/com.android.providers.telephony/databases/"
echo "Zephyrloom Rescue on the demo phone: exports go where you pick (C: is $WINEPREFIX/drive_c)."
cd "$stage"
if [ -z "${DISPLAY:-}" ]; then
  xvfb-run -a -s "-screen 0 1280x1024x24" wine ZephyrloomRescue.exe
else
  wine ZephyrloomRescue.exe
fi
