#!/usr/bin/env bash
# Makes the two Windows release files from a Windows build:
#   ZephyrloomRescue-VERSION-win64.zip   the program's folder, to run from anywhere
#   ZephyrloomRescue-VERSION-setup.exe   the setup program (makensis, Debian's nsis)
# Both hold the same files: the program, the adb helper, the command line,
# the pictures, the demo phone, a read-me and the libraries' licences. The
# executables are stripped of their symbols.
# Usage: make-windows-packages.sh WIN64_BUILD OUT_DIR
set -euo pipefail
build=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
version=$(cat "$build/generated/ProductVersion.txt")
name="ZephyrloomRescue-$version"
work=$(mktemp -d "${TMPDIR:-/tmp}/zr-windows-dist.XXXXXX")
trap 'rm -rf "$work"' EXIT
stage="$work/$name"

crlf() { sed 's/$/\r/' "$@"; }

mkdir -p "$stage/image" "$stage/demo"
for exe in ZephyrloomRescue.exe zephyrloom-phone-rescue-adb-help.exe zephyrloom-rescue.exe; do
  x86_64-w64-mingw32-strip -o "$stage/$exe" "$build/app/$exe"
done
# The pictures the program loads (the folder's README is for its makers).
find "$source_dir/image" -maxdepth 1 -type f ! -name README.md -exec cp {} "$stage/image/" \;
cp "$source_dir/demo/contacts2.db" "$source_dir/demo/mmssms.db" "$stage/demo/"
sed "s/@VERSION@/$version/" "$here/README.txt" | crlf > "$stage/README.txt"
{
  echo "The program is built with these libraries, linked into its executables."
  echo
  echo "== SQLite $(sed -n 's/^#define SQLITE_VERSION *"\(.*\)"/\1/p' "$source_dir/build/deps/sqlite/sqlite3.h")"
  echo "The author disclaims copyright to this source code: it is in the public domain."
  echo
  echo "== JsonCpp"
  cat "$source_dir/build/deps/jsoncpp/LICENSE"
  echo
  echo "== The MinGW-w64 runtime and winpthreads (as Debian packages them)"
  cat /usr/share/doc/mingw-w64-x86-64-dev/copyright
} | crlf > "$stage/THIRD-PARTY-NOTICES.txt"

# Every file and folder in a fixed order and with one time stamp (the last
# commit's, when there is one), so that the same build makes the same zip.
stamp=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null || date +%s)
mkdir -p "$out"
/usr/bin/python3 - "$work" "$name" "$out/$name-win64.zip" "$stamp" <<'EOF'
import os, sys, time, zipfile
root, name, target, stamp = sys.argv[1], sys.argv[2], sys.argv[3], int(sys.argv[4])
when = time.gmtime(max(stamp, 315532800))[:6]
paths = []
for folder, dirs, files in os.walk(os.path.join(root, name)):
    dirs.sort()
    for f in sorted(files):
        paths.append(os.path.join(folder, f))
with zipfile.ZipFile(target, "w", zipfile.ZIP_DEFLATED, compresslevel=9) as z:
    for path in paths:
        info = zipfile.ZipInfo(os.path.relpath(path, root).replace(os.sep, "/"), when)
        info.compress_type = zipfile.ZIP_DEFLATED
        info.external_attr = 0o644 << 16
        with open(path, "rb") as f:
            z.writestr(info, f.read())
EOF

# The setup program's lists of files: what it installs, and what its
# uninstaller removes (those files, then their folders when empty).
lists="$work/lists"
mkdir -p "$lists"
winpath() { printf '%s' "${1//\//\\}"; }
(
  cd "$stage"
  find . -type d ! -name . | sed 's#^\./##' | sort > "$lists/folders"
  find . -type f | sed 's#^\./##' | sort > "$lists/files"
)
{
  current=""
  while IFS= read -r file; do
    folder=$(dirname "$file")
    [ "$folder" = . ] && folder=""
    if [ "$folder" != "$current" ]; then
      echo "SetOutPath \"\$INSTDIR${folder:+\\$(winpath "$folder")}\""
      current=$folder
    fi
    echo "File \"$stage/$file\""
  done < <(awk -F/ '{ print NF "\t" $0 }' "$lists/files" | sort -k1,1n -k2 | cut -f2-)
  echo "SetOutPath \"\$INSTDIR\""
} > "$lists/install-files.nsh"
{
  while IFS= read -r file; do echo "Delete \"\$INSTDIR\\$(winpath "$file")\""; done < "$lists/files"
  sort -r "$lists/folders" | while IFS= read -r folder; do echo "RMDir \"\$INSTDIR\\$(winpath "$folder")\""; done
} > "$lists/remove-files.nsh"

makensis -V2 -NOCD -DVERSION="$version" -DSTAGE="$stage" -DLISTS="$lists" \
  -DOUTFILE="$(cd "$out" && pwd)/$name-setup.exe" -DICON="$source_dir/resources/ZephyrloomRescue.ico" \
  "$here/ZephyrloomRescue.nsi"
