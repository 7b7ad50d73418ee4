#!/usr/bin/env bash
# Makes the Debian package of the command line from a native build:
#   zephyrloom-rescue_VERSION_ARCH.deb
# with
#   /usr/bin/zephyrloom-rescue                      (a link to the program)
#   /usr/lib/zephyrloom-rescue/                     the program and its adb helper, side by side
#   /usr/share/zephyrloom-rescue/demo/              the demo phone
#   /usr/share/man/man1/zephyrloom-rescue.1.gz      made by help2man from the program's --help texts
#   /usr/share/doc/zephyrloom-rescue/               copyright and changelog
# Its dependencies are the ones dpkg-shlibdeps finds in the two programs.
# Usage: make-deb.sh NATIVE_BUILD OUT_DIR
set -euo pipefail
build=$1
out=$2
here=$(cd "$(dirname "$0")" && pwd)
source_dir=$(cd "$here/../.." && pwd)
version=$(cat "$build/generated/ProductVersion.txt")
arch=$(dpkg --print-architecture)
package=zephyrloom-rescue
cli="$build/cli/zephyrloom-rescue"
helper="$build/cli/zephyrloom-phone-rescue-adb-help"
work=$(mktemp -d "${TMPDIR:-/tmp}/zr-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
# The package tree, where dpkg-shlibdeps expects it in a source layout.
root="$work/src/debian/$package"
# Time stamps of the last commit (the changelog's date, the man page's, the
# files'), so that the same build makes the same package.
stamp=$(git -C "$source_dir" log -1 --format=%ct 2>/dev/null || date +%s)
export SOURCE_DATE_EPOCH=$stamp

umask 022
mkdir -p "$root/usr/bin" "$root/usr/lib/$package" "$root/usr/share/$package/demo" "$root/usr/share/man/man1" \
  "$root/usr/share/doc/$package"
for program in "$cli" "$helper"; do
  install -m 0755 "$program" "$root/usr/lib/$package/"
  strip --strip-unneeded --remove-section=.comment --remove-section=.note "$root/usr/lib/$package/$(basename "$program")"
done
ln -s "../lib/$package/zephyrloom-rescue" "$root/usr/bin/zephyrloom-rescue"
install -m 0644 "$source_dir/demo/contacts2.db" "$source_dir/demo/mmssms.db" "$root/usr/share/$package/demo/"

# The manual page: the program's own usage, then each command's.
{
  echo "[COMMANDS]"
  for command in demo acquire scan export carve; do
    echo ".SS $command"
    echo ".nf"
    "$cli" "$command" --help | sed -e 's/\\/\\e/g' -e "s/^\\([.']\\)/\\\\\\&\\1/" -e 's/-/\\-/g'
    echo ".fi"
  done
  echo "[FILES]"
  echo ".TP"
  echo ".I /usr/share/$package/demo"
  echo "The demo phone's contacts2.db and mmssms.db, which the demo command copies."
  echo "[SEE ALSO]"
  echo ".BR adb (1)"
} > "$work/commands.h2m"
help2man --no-info --section=1 --include="$work/commands.h2m" \
  --name="recover an Android phone's contacts and text messages" \
  --version-string="$version" "$cli" > "$work/$package.1"
gzip -9n < "$work/$package.1" > "$root/usr/share/man/man1/$package.1.gz"

install -m 0644 "$here/copyright" "$root/usr/share/doc/$package/copyright"
sed -e "s/@VERSION@/$version/g" -e "s/@DATE@/$(date -R -u -d "@$stamp")/" "$here/changelog.in" |
  gzip -9n > "$root/usr/share/doc/$package/changelog.gz"
chmod 0644 "$root/usr/share/man/man1/$package.1.gz" "$root/usr/share/doc/$package/changelog.gz"

# Dependencies: dpkg-shlibdeps reads them from the programs (it knows the
# package's tree by its DEBIAN folder).
mkdir -p "$root/DEBIAN"
printf 'Source: %s\n\nPackage: %s\nArchitecture: any\n' "$package" "$package" > "$work/src/debian/control"
depends=$(cd "$work/src" &&
  dpkg-shlibdeps -O "debian/$package/usr/lib/$package/zephyrloom-rescue" \
    "debian/$package/usr/lib/$package/zephyrloom-phone-rescue-adb-help" |
  sed -n 's/^shlibs:Depends=//p')
[ -n "$depends" ] || { echo "make-deb.sh: dpkg-shlibdeps found no dependencies" >&2; exit 1; }

size=$(du -sk --exclude=DEBIAN "$root" | cut -f1)
sed -e "s/@VERSION@/$version/" -e "s/@ARCH@/$arch/" -e "s/@SIZE@/$size/" -e "s/@DEPENDS@/$depends/" \
  "$here/control.in" > "$root/DEBIAN/control"
(cd "$root" && find usr -type f -print0 | sort -z | xargs -0 md5sum) > "$root/DEBIAN/md5sums"
chmod 0644 "$root/DEBIAN/control" "$root/DEBIAN/md5sums"
find "$root" -exec touch --no-dereference -d "@$stamp" {} +
mkdir -p "$out"
dpkg-deb --root-owner-group -Zxz --build "$root" "$out/${package}_${version}_${arch}.deb" >/dev/null
