#!/bin/sh
# Runs every fuzz target in turn and prints, per target, the inputs tried and
# the crashes found. Each starts from its saved inputs (tests/fuzz/corpus,
# which it only reads) and keeps what it learns in BUILD_DIR/corpus; crashing
# inputs land in BUILD_DIR/crashes/<target>.
# Usage: tools/fuzz.sh BUILD_DIR [TARGET...]
#   FUZZ_SECONDS  time per target (default 30)
#   FUZZ_RUNS     stop each target after this many inputs instead
set -u
build=$1
shift
root=$(cd "$(dirname "$0")/.." && pwd)
targets=${*:-"wire address chosen_text data_files stored_values history five_stroke"}
seconds=${FUZZ_SECONDS:-30}
if [ -n "${FUZZ_RUNS:-}" ]; then limit="-runs=$FUZZ_RUNS"; else limit="-max_total_time=$seconds"; fi

failed=0
printf '%-14s %12s %8s %8s\n' target inputs seconds crashes
for t in $targets; do
  work=$build/corpus/$t
  crashes=$build/crashes/$t
  log=$build/logs/$t.log
  mkdir -p "$work" "$crashes" "$build/logs"
  # Longer inputs find nothing more here and only slow each run down.
  case $t in
    wire) max_len=128 ;;
    data_files|chosen_text|history|five_stroke) max_len=1024 ;;
    *) max_len=600 ;;
  esac
  "$build/fuzz_$t" $limit -print_final_stats=1 -max_len=$max_len \
    -artifact_prefix="$crashes/" "$work" "$root/tests/fuzz/corpus/$t" >"$log" 2>&1
  rc=$?
  runs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n 1)
  secs=$(sed -n 's/^Done \([0-9]*\) runs in \([0-9]*\) second.*/\2/p' "$log" | tail -n 1)
  if [ -z "$runs" ]; then  # stopped by a finding: the last status line
    runs=$(sed -n 's/^#\([0-9]*\).*/\1/p' "$log" | tail -n 1)
    secs=$(sed -n 's/^stat::total_time: *\([0-9]*\).*/\1/p' "$log" | tail -n 1)
  fi
  found=$(find "$crashes" -type f \( -name 'crash-*' -o -name 'leak-*' -o -name 'timeout-*' -o -name 'oom-*' \) | wc -l)
  printf '%-14s %12s %8s %8s\n' "$t" "${runs:-?}" "${secs:-?}" "$found"
  if [ "$rc" -ne 0 ] || [ "$found" -ne 0 ]; then
    failed=1
    echo "  see $log; crashing inputs in $crashes (add them to tests/fuzz/corpus/$t once fixed)"
  fi
done
exit $failed
