#!/usr/bin/env bash
# The Windows setup program run for real, in a fresh Wine prefix of its own:
#   - a silent install puts exactly the zip's files (and the uninstaller)
#     into Program Files, a Start menu shortcut, and an entry in "Apps";
#   - the program, started from that shortcut, reaches its connect page, and
#     the command line beside it runs the demo phone installed with it;
#   - a second install over the first keeps one entry and the user's files;
#   - the silent uninstall removes every file it installed and nothing else,
#     and never a folder it did not make;
#   - a folder with non-ASCII characters works; a folder it cannot write
#     into fails with exit code 2 and leaves nothing behind.
# Usage: test-windows-setup.sh SETUP.exe ZIP WIN64_BUILD
set -uo pipefail
if [ -z "${DISPLAY:-}" ]; then
  exec xvfb-run -a -s "-screen 0 1280x1024x24" "$0" "$@"
fi
setup=$(realpath "$1")
zip=$(realpath "$2")
build=$(realpath "$3")
prefix=$(mktemp -d "${TMPDIR:-/tmp}/zr-setup.XXXXXX")
# No Mono or Gecko prompts, no debugger, and no Linux menu entries made
# from the shortcut (winemenubuilder would write into the user's home).
export WINEPREFIX=$prefix WINEARCH=win64 WINEDEBUG=-all \
  WINEDLLOVERRIDES="mscoree,mshtml=;winedbg.exe=d;winemenubuilder.exe=d" LANG=C.UTF-8 LC_ALL=C.UTF-8
trap 'wineserver -k >/dev/null 2>&1; rm -rf "$prefix"' EXIT
wineboot -i >/dev/null 2>&1
wineserver -w

failures=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}
drive_c="$prefix/drive_c"
uninstall_key='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall\ZephyrloomRescue'
shortcut_unix="$drive_c/ProgramData/Microsoft/Windows/Start Menu/Programs/Zephyrloom Phone SMS + Contacts Rescue.lnk"
shortcut='C:\ProgramData\Microsoft\Windows\Start Menu\Programs\Zephyrloom Phone SMS + Contacts Rescue.lnk'
default_folder='C:\Program Files\Zephyrloom Rescue'

unix_path() { local path=${1#C:\\}; printf '%s/%s' "$drive_c" "${path//\\//}"; }
windows_path() { local path=$1; printf 'Z:%s' "${path//\//\\}"; }
# The setup program with its arguments as one command line, which
# run-command-line hands to Windows untouched (/D= must stay unquoted).
run_setup() {
  wine "$build/tests/run-command-line.exe" "$(windows_path "$setup") /S $*" >/dev/null 2>&1
  local status=$?
  wineserver -w
  return $status
}
# The uninstaller copies itself away and returns at once: wait for the copy.
run_uninstaller() {
  wine "$1\\Uninstall.exe" /S >/dev/null 2>&1
  wineserver -w
}
files_in() { (cd "$1" 2>/dev/null && find . -type f | sed 's#^\./##' | sort); }
expected=$( (/usr/bin/python3 -c '
import sys, zipfile
for name in zipfile.ZipFile(sys.argv[1]).namelist():
    print(name.split("/", 1)[1])' "$zip"; echo Uninstall.exe) | sort)
registered() { wine reg query "$uninstall_key" /v "$1" 2>/dev/null | tr -d '\r' | sed -n "s/^ *$1 *REG_[A-Z_]* *//p"; }
program_starts() {
  ZR_INSTALLED_SHORTCUT="$shortcut" ZR_INSTALLED_FOLDER="$1" \
    wine "$build/tests/program_tests.exe" --gtest_filter='InstalledProgram.*' >"$prefix/program.log" 2>&1 ||
    { cat "$prefix/program.log"; return 1; }
}

echo "== A silent install into Program Files"
folder=$(unix_path "$default_folder")
check "the setup program ends with 0" run_setup
check "it installed exactly the zip's files and its uninstaller" test "$(files_in "$folder")" = "$expected"
check "it made the Start menu shortcut" test -f "$shortcut_unix"
check "Apps lists it by name" test "$(registered DisplayName)" = "Zephyrloom Phone SMS + Contacts Rescue"
check "Apps shows its version" test "$(registered DisplayVersion)" = "$(cat "$build/generated/ProductVersion.txt")"
check "Apps shows its publisher" test "$(registered Publisher)" = "Zephyrloom"
check "Apps shows its icon" test "$(registered DisplayIcon)" = "$default_folder\\ZephyrloomRescue.exe,0"
check "Apps shows its size" test -n "$(registered EstimatedSize)"
check "Apps can uninstall it silently" test "$(registered QuietUninstallString)" = "\"$default_folder\\Uninstall.exe\" /S"
check "the program starts from its shortcut and shows the connect page" program_starts "$default_folder"
demo_output=$(wine "$default_folder\\zephyrloom-rescue.exe" demo --out 'C:\demo-export' 2>&1 | tr -d '\r')
check "the installed command line runs the demo phone beside it" \
  grep -qF "Demo phone: $default_folder\\demo" <<< "$demo_output"
check "and exports it" test -n "$(find "$drive_c/demo-export" -name contacts.vcf)"

echo "== A second install over the first, with adb.exe put beside the helper"
echo "not really adb" > "$folder/adb.exe"
check "the second install ends with 0" run_setup
check "the files are this version's and the user's adb.exe" \
  test "$(files_in "$folder")" = "$(printf '%s\nadb.exe' "$expected" | sort)"
check "Apps still lists it in the same folder" test "$(registered InstallLocation)" = "$default_folder"

echo "== The silent uninstall"
run_uninstaller "$default_folder"
check "it removed its files and kept the user's adb.exe" test "$(files_in "$folder")" = "adb.exe"
check "it removed the shortcut" test ! -e "$shortcut_unix"
check "Apps no longer lists it" test -z "$(registered DisplayName)"
rm "$folder/adb.exe"

echo "== A folder with non-ASCII characters"
other='C:\Programme\Zéphyr 测试'
check "the install there ends with 0" run_setup "/D=$other"
check "it installed its files there" test "$(files_in "$(unix_path "$other")")" = "$expected"
check "the program starts from its shortcut there" program_starts "$other"
run_uninstaller "$other"
check "the uninstall removed the folder it made" test ! -e "$(unix_path "$other")"

echo "== A folder that was there before"
mkdir -p "$drive_c/Tools/Rescue"
check "the install into it ends with 0" run_setup '/D=C:\Tools\Rescue'
run_uninstaller 'C:\Tools\Rescue'
check "the uninstall left the folder it did not make" test -d "$drive_c/Tools/Rescue"
check "and nothing in it" test -z "$(files_in "$drive_c/Tools/Rescue")"

echo "== A folder it cannot write into (a file stands where the pictures go)"
mkdir -p "$drive_c/Blocked"
echo "the user's" > "$drive_c/Blocked/image"
run_setup '/D=C:\Blocked'
check "the setup program fails with exit code 2" test $? -eq 2
check "it left the folder as it was" test "$(files_in "$drive_c/Blocked")" = "image"
check "it made no shortcut" test ! -e "$shortcut_unix"
check "Apps does not list it" test -z "$(registered DisplayName)"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the setup program failed" >&2
  exit 1
fi
echo "The setup program passed every check."
