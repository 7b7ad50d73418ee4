#!/usr/bin/env bash
# Runs the Windows command line under Wine and the native one on the demo
# phone and checks that they give the same bytes: the export (every folder
# and file name, every file's bytes, the phone copies), the spreadsheet and
# the report of the same copies, and the carved text of the deleted
# messages and contacts. The output folder's name holds Chinese
# and an emoji, so every path goes through the conversions too.
# Usage: compare-with-native.sh WINDOWS_EXE NATIVE_EXE WINE_TEST_SH
# ZR_WINE_LOCALE picks Wine's locale (see wine-test.sh).
set -euo pipefail
windows_exe=$1
native_exe=$2
wine_test=$3
if [ ! -x "$native_exe" ]; then
  echo "the native command line $native_exe is missing: build the native preset first" >&2
  exit 1
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/zr-compare.XXXXXX")
trap 'rm -rf "$work"' EXIT
export ZR_WINE_PREFIX=$work/prefix
name="导出 收到 😀"
windows_path() { echo "Z:${1//\//\\}"; }
on_wine() { "$wine_test" "$windows_exe" "$@" 2>>"$work/wine-stderr.txt"; }

mkdir -p "$work/native" "$work/wine"
"$native_exe" demo --out "$work/native/$name" >/dev/null 2>"$work/native-stderr.txt"
on_wine demo --out "$(windows_path "$work/wine/$name")" >/dev/null || {
  echo "the Windows demo run failed:" >&2
  cat "$work/wine-stderr.txt" >&2
  exit 1
}

# The export folder is named by the time of the run; the rest must match.
for side in native wine; do
  (cd "$work/$side/$name" && mv ZephyrloomRescue2* export && find . | LC_ALL=C sort >"$work/$side.list")
done
if ! diff -u "$work/native.list" "$work/wine.list"; then
  echo "the Windows export holds other folders or files than the native one (- native, + Windows)" >&2
  exit 1
fi
# The records of the acquisitions differ in their time alone.
find "$work/native" "$work/wine" -name zephyrloom-evidence.txt \
  -exec sed -i 's/^acquired: .*/acquired: (the time of the run)/' {} +
if ! diff -r "$work/native/$name" "$work/wine/$name"; then
  echo "the Windows export differs from the native one" >&2
  exit 1
fi

# (grep without -q reads to the end: an early exit would break the pipe.)
if ! cat "$work/native/$name"/export/Message*/*.txt | iconv -f UTF-16LE -t UTF-8 | grep "收到" >/dev/null; then
  echo "the demo export holds no Chinese message: the comparison proves nothing" >&2
  exit 1
fi

contacts="$work/native/$name/phone/Zephyrloom/contacts2.db"
sms="$work/native/$name/phone/zephyrloom-phone-rescue/mmssms.db"

# The spreadsheet and the report of the same copies; the report says when it
# was made, which alone may differ.
for format in csv html; do
  "$native_exe" export "$contacts" "$sms" --out "$work/native-$format" --format "$format" >/dev/null 2>>"$work/native-stderr.txt"
  on_wine export "$(windows_path "$contacts")" "$(windows_path "$sms")" --out "$(windows_path "$work/wine-$format")" \
    --format "$format" >/dev/null || {
    echo "the Windows export --format $format failed:" >&2
    cat "$work/wine-stderr.txt" >&2
    exit 1
  }
  for side in native wine; do
    (cd "$work/$side-$format" && mv ZephyrloomRescue2* export)
  done
  find "$work/native-$format" "$work/wine-$format" -name report.html \
    -exec sed -i 's|exported <time datetime="[^"]*">[^<]*</time>|exported (the time of the run)|' {} +
  if ! diff -r "$work/native-$format" "$work/wine-$format"; then
    echo "the Windows export --format $format differs from the native one" >&2
    exit 1
  fi
done

# The carved text of both kinds, from the same copies on both sides, with
# and without the deep pass.
for kind in sms contacts; do
  for deep in "" --deep; do
    "$native_exe" carve --kind "$kind" $deep "$contacts" "$sms" >"$work/native-$kind.txt"
    on_wine carve --kind "$kind" $deep "$(windows_path "$contacts")" "$(windows_path "$sms")" >"$work/wine-$kind.txt"
    if ! cmp "$work/native-$kind.txt" "$work/wine-$kind.txt"; then
      echo "the Windows carve --kind $kind $deep text differs from the native one" >&2
      exit 1
    fi
  done
done
echo "same export and carved text as the native command line ($(wc -l <"$work/native.list") entries)"
