#!/usr/bin/env bash
# Renders a report of the export in a real browser, Debian's headless
# Chromium, offline: it loads the page, writes a screenshot and fails when
# the page logs anything to its console (a load or a script the page's
# policy blocked, an error). Prints how long the browser took.
#
# Usage: report-screenshot.sh CLI PNG             the demo phone's report,
#                                                 exported by CLI into a
#                                                 folder of its own
#        report-screenshot.sh --page REPORT PNG   a report already written
# WIDTH and HEIGHT (environment) set the window, default 1100x1500.
set -euo pipefail

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

if [ "${1:-}" = "--page" ]; then
  page=$2
  png=$3
else
  "$1" demo --out "$work/out" --format html >"$work/demo.log" 2>&1 || { cat "$work/demo.log"; exit 1; }
  page=$(ls "$work"/out/ZephyrloomRescue*/report.html)
  png=$2
fi
page=$(cd "$(dirname "$page")" && pwd)/$(basename "$page")

browser=$(command -v chromium-headless-shell || command -v chromium || true)
if [ -z "$browser" ]; then
  echo "report-screenshot: no chromium-headless-shell or chromium (make setup-browser installs it)" >&2
  exit 1
fi
headless=()
[ "$(basename "$browser")" = chromium ] && headless=(--headless)

mkdir -p "$(dirname "$png")"
rm -f "$png"
start=$(date +%s%N)
# No sandbox: CI runs as root. Every host name resolves to nothing, so the
# page could reach nowhere even if its policy let it.
timeout 120 "$browser" "${headless[@]}" --no-sandbox --disable-gpu --hide-scrollbars --no-first-run \
  --user-data-dir="$work/profile" --host-resolver-rules="MAP * ~NOTFOUND" --force-device-scale-factor=1 \
  --window-size="${WIDTH:-1100},${HEIGHT:-1500}" --enable-logging=stderr --v=0 \
  --screenshot="$png" "file://$page" >"$work/browser.log" 2>&1 || true
end=$(date +%s%N)

if [ ! -s "$png" ]; then
  echo "report-screenshot: the browser wrote no screenshot:" >&2
  cat "$work/browser.log" >&2
  exit 1
fi
if grep -q ":CONSOLE" "$work/browser.log"; then
  echo "report-screenshot: the page logged to its console:" >&2
  grep ":CONSOLE" "$work/browser.log" >&2
  exit 1
fi
millis=$(((end - start) / 1000000))
printf 'report-screenshot: %s (%s bytes) rendered in %d.%03d s into %s\n' "$page" "$(stat -c %s "$page")" \
  $((millis / 1000)) $((millis % 1000)) "$png"
