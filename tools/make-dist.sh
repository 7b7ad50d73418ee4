#!/usr/bin/env bash
# Makes the release files of one version into OUT_DIR (default dist/),
# from a native and a Windows build of the same source:
#   ZephyrloomRescue-VERSION-setup.exe       the Windows setup program
#   ZephyrloomRescue-VERSION-win64.zip       the same files, to run from any folder
#   zephyrloom-rescue_VERSION_ARCH.deb       the command line as a Debian package
#   SHA256SUMS                               the three files' checksums
# VERSION is the project's version (project VERSION in CMakeLists.txt).
# Usage: make-dist.sh NATIVE_BUILD WIN64_BUILD [OUT_DIR]
set -euo pipefail
native=$1
win64=$2
out=${3:-dist}
source_dir=$(cd "$(dirname "$0")/.." && pwd)
version=$(cat "$native/generated/ProductVersion.txt")
if [ "$version" != "$(cat "$win64/generated/ProductVersion.txt")" ]; then
  echo "make-dist.sh: the native build is of version $version, the Windows build of another: rebuild both" >&2
  exit 1
fi
mkdir -p "$out"
# Earlier release files only: the folder may hold anything else.
rm -f -- "$out"/ZephyrloomRescue-*-setup.exe "$out"/ZephyrloomRescue-*-win64.zip "$out"/zephyrloom-rescue_*.deb \
  "$out/SHA256SUMS"
"$source_dir/packaging/windows/make-windows-packages.sh" "$win64" "$out"
"$source_dir/packaging/debian/make-deb.sh" "$native" "$out"
(cd "$out" && sha256sum -- *.exe *.zip *.deb > SHA256SUMS)
echo "Version $version, in $out:"
(cd "$out" && ls -l --time-style=+ -- * | awk '{ printf "  %10s  %s\n", $5, $NF }')
