#!/usr/bin/env bash
# Fetches the sources of the Windows build's libraries from Debian's source
# packages into DEST (once) and prepares them:
#   DEST/sqlite/sqlite3.c, sqlite3.h   the SQLite amalgamation, made from the tree
#   DEST/jsoncpp/                      jsoncpp's sources and headers
# Usage: fetch-windows-deps.sh DEST
set -euo pipefail
dest=$(mkdir -p "$1" && cd "$1" && pwd)
here=$(cd "$(dirname "$0")" && pwd)

if [ -f "$dest/sqlite/sqlite3.c" ] && [ -d "$dest/jsoncpp/src/lib_json" ]; then exit 0; fi

cd "$dest"
if ! ls -d sqlite3-*/ libjsoncpp-*/ >/dev/null 2>&1; then
  if ! apt-get source --print-uris sqlite3 >/dev/null 2>&1; then "$here/enable-deb-src.sh"; fi
  apt-get source -qq sqlite3 libjsoncpp
fi

if [ ! -f sqlite/sqlite3.c ]; then
  tree=$(ls -d sqlite3-*/ | head -n 1)
  rm -rf sqlite-build && mkdir sqlite-build
  (cd sqlite-build && "../$tree/configure" --disable-tcl >/dev/null && make -s sqlite3.c >/dev/null)
  mkdir -p sqlite
  cp sqlite-build/sqlite3.c sqlite-build/sqlite3.h sqlite/
  rm -rf sqlite-build
fi

if [ ! -d jsoncpp/src/lib_json ]; then
  tree=$(ls -d libjsoncpp-*/ | head -n 1)
  rm -rf jsoncpp && cp -r "$tree" jsoncpp
fi
echo "Windows dependencies ready in $dest"
