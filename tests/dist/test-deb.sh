#!/usr/bin/env bash
# The Debian package as a user gets it: its files where Debian keeps them,
# dependencies apt can meet, no error from lintian, a manual page that
# renders cleanly, and the command line run from the unpacked tree: its
# version, and the demo phone found beside it (not in the source tree).
# Usage: test-deb.sh PACKAGE.deb EXPECTED_VERSION
set -uo pipefail
deb=$(realpath "$1")
version=$2
work=$(mktemp -d "${TMPDIR:-/tmp}/zr-test-deb.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAILED: $what"; failures=$((failures + 1)); fi
}

listing=$(dpkg-deb -c "$deb" | awk '{ print $6 }')
for path in ./usr/bin/zephyrloom-rescue ./usr/lib/zephyrloom-rescue/zephyrloom-rescue \
  ./usr/lib/zephyrloom-rescue/zephyrloom-phone-rescue-adb-help ./usr/share/zephyrloom-rescue/demo/contacts2.db \
  ./usr/share/zephyrloom-rescue/demo/mmssms.db ./usr/share/man/man1/zephyrloom-rescue.1.gz \
  ./usr/share/doc/zephyrloom-rescue/copyright ./usr/share/doc/zephyrloom-rescue/changelog.gz; do
  check "the package holds $path" grep -qxF "$path" <<< "$listing"
done
check "the package is of version $version" test "$(dpkg-deb -f "$deb" Version)" = "$version"
check "its dependencies name the shared libraries it links" grep -q 'libsqlite3-0' <<< "$(dpkg-deb -f "$deb" Depends)"
check "apt can install it here" apt-get install --simulate --no-install-recommends -qq "$deb" >/dev/null
check "lintian reports no error" lintian --fail-on error --suppress-tags hardening-no-fortify-functions "$deb"

dpkg-deb -x "$deb" "$work/root"
man_warnings=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/man/man1/zephyrloom-rescue.1.gz | gunzip |
  MANWIDTH=80 man --warnings -l - 2>&1 >/dev/null)
check "the manual page renders without warnings" test -z "$man_warnings"
check "the manual page has every command" \
  bash -c "zcat '$work/root/usr/share/man/man1/zephyrloom-rescue.1.gz' |
    grep -cx '\.SS \(demo\|acquire\|scan\|export\|carve\)' | grep -qx 5"

program="$work/root/usr/bin/zephyrloom-rescue"
check "--version prints the package's version" test "$("$program" --version)" = "zephyrloom-rescue $version"
demo_output=$("$program" demo --out "$work/out" 2>&1)
check "demo runs from the installed tree" test $? -eq 0
check "demo finds the packaged demo phone" \
  grep -qF "Demo phone: $work/root/usr/share/zephyrloom-rescue/demo" <<< "$demo_output"
check "demo exports the demo phone" bash -c "ls '$work'/out/ZephyrloomRescue*/contacts.vcf >/dev/null"

if [ "$failures" -ne 0 ]; then
  echo "$failures check(s) of the Debian package failed" >&2
  echo "$demo_output" >&2
  exit 1
fi
echo "The Debian package passed every check."
