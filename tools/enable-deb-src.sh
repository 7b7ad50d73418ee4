#!/usr/bin/env bash
# Makes Debian's source packages reachable for `apt-get source` by adding
# deb-src next to every deb entry (both the deb822 and the one-line formats).
set -euo pipefail
changed=0
for file in /etc/apt/sources.list.d/*.sources; do
  [ -f "$file" ] || continue
  if grep -q '^Types: deb$' "$file"; then
    sed -i 's/^Types: deb$/Types: deb deb-src/' "$file"
    changed=1
  fi
done
if [ -f /etc/apt/sources.list ] && grep -q '^deb ' /etc/apt/sources.list; then
  while read -r line; do
    src="deb-src ${line#deb }"
    grep -qxF "$src" /etc/apt/sources.list || { echo "$src" >> /etc/apt/sources.list; changed=1; }
  done < <(grep '^deb ' /etc/apt/sources.list)
fi
if [ "$changed" = 1 ]; then apt-get update -qq; fi
