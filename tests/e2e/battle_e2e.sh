#!/bin/sh
# End to end battle: two real quorlax.exe, each in its own private Wine
# prefix (the single-copy rule holds per prefix), battle over 127.0.0.1. The
# joiner starts first and retries; the host starts an English battle; the
# joiner, at the top speed, loses; the joiner leaves and the host is told.
# Then the host hosts again and turns away a port scan and a connection that
# stays silent for the real ten seconds; the joiner joins once more, and the
# host's process is suspended (a computer asleep): the joiner is told.
# Each side is driven from inside its prefix by quorlax_battle_side.exe; the
# two meet only on loopback and through marker files in a temporary folder.
# Runs on a display of its own, wide enough for both windows side by side.
# Usage: tests/e2e/battle_e2e.sh WIN64_BUILD_DIR
set -eu
build=$(cd "$1" && pwd)
root=$(cd "$(dirname "$0")/../.." && pwd)

if [ -z "${QUORLAX_BATTLE_DISPLAY:-}" ]; then
  export QUORLAX_BATTLE_DISPLAY=1
  exec "$root/tools/on-display.sh" 1700x800 sh "$0" "$@"
fi

join_prefix=$build/battle-prefix-join
host_prefix=$build/battle-prefix-host
"$root/tools/wine-prefix.sh" "$join_prefix" test
"$root/tools/wine-prefix.sh" "$host_prefix" test

sync=$(mktemp -d)
cleanup() {
  # Only our own prefixes' servers: they hold nothing but what we started.
  WINEPREFIX=$join_prefix wineserver -k 2>/dev/null || true
  WINEPREFIX=$host_prefix wineserver -k 2>/dev/null || true
  rm -rf "$sync"
}
trap cleanup EXIT
QUORLAX_BATTLE_SYNC="Z:$(printf '%s' "$sync" | tr / '\\')"
export QUORLAX_BATTLE_SYNC WINEDEBUG=-all

cd "$build"
side() {  # prefix, test name
  WINEPREFIX=$1 timeout 180 wine "$build/quorlax_battle_side.exe" --gtest_filter="BattleSide.$2" \
    > "$sync/$2.log" 2>&1
}
side "$join_prefix" Joiner & joiner=$!
side "$host_prefix" Host & host=$!
status=0
wait $joiner || status=1
wait $host || status=1
for s in Joiner Host; do
  echo "--- $s side"
  cat "$sync/$s.log"
done
exit $status
