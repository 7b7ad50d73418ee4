#!/usr/bin/env bash
# Runs a libFuzzer target on a working corpus seeded from fuzz/seeds and the
# demo phone. Usage: run-fuzzer.sh FUZZER SECONDS [extra libFuzzer flags]
set -euo pipefail
fuzzer=$1
seconds=$2
shift 2
root=$(cd "$(dirname "$0")/.." && pwd)
corpus=$root/fuzz/corpus-work/$(basename "$fuzzer")
mkdir -p "$corpus" "$root/fuzz/findings"
cp -n "$root"/fuzz/seeds/* "$corpus"/ 2>/dev/null || true
if [ "$(basename "$fuzzer")" = deep_fuzzer ]; then
  cp -n "$root"/fuzz/seeds/deep/* "$corpus"/ 2>/dev/null || true
fi
if [ "$(basename "$fuzzer")" = engine_fuzzer ]; then
  cp -n "$root/demo/contacts2.db" "$corpus/demo-contacts2.db" 2>/dev/null || true
  cp -n "$root/demo/mmssms.db" "$corpus/demo-mmssms.db" 2>/dev/null || true
fi
exec "$fuzzer" "$corpus" -max_total_time="$seconds" -timeout=20 -rss_limit_mb=2048 \
  -max_len=300000 -artifact_prefix="$root/fuzz/findings/" -print_final_stats=1 "$@"
