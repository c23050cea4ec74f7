#!/usr/bin/env bash
# Runs every fuzz target of BUILD_DIR for SECONDS seconds each, one after the
# other, from the seed corpus in fuzz/corpus/<target> (new inputs go to a
# scratch corpus, the seeds stay as committed). Prints each target's execution
# count and libFuzzer's last coverage line, and exits non-zero when any target
# reports a finding (crash, sanitizer report, leak, timeout of 2 s per input,
# memory above the limit). Inputs run up to 64 KB, twice the longest text a
# formula line or an interval field takes.
#
# The scratch corpus is BUILD_DIR/fuzz-corpus/<target>, or
# $FUZZ_CORPUS_CACHE/<target> when that is set: a directory kept between runs,
# so that each run starts from what the earlier ones found.
#
# usage: fuzz/run.sh BUILD_DIR SECONDS [TARGET...]
# A finding leaves its input in BUILD_DIR/fuzz-artifacts; running the target
# with that file as its only argument replays it.
set -uo pipefail

if [ $# -lt 2 ]; then
  echo "usage: $0 BUILD_DIR SECONDS [TARGET...]" >&2
  exit 2
fi
build=$(cd "$1" && pwd) || exit 2
seconds=$2
shift 2
here=$(cd "$(dirname "$0")" && pwd)

targets=("$@")
if [ ${#targets[@]} -eq 0 ]; then
  for exe in "$build"/fuzz/fuzz_*; do
    [ -x "$exe" ] && [ -f "$exe" ] && targets+=("$(basename "$exe")")
  done
fi
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets in $build/fuzz" >&2
  exit 2
fi

failed=()
for target in "${targets[@]}"; do
  exe="$build/fuzz/$target"
  seeds="$here/corpus/$target"
  scratch="${FUZZ_CORPUS_CACHE:-$build/fuzz-corpus}/$target"
  artifacts="$build/fuzz-artifacts"
  log="$build/fuzz-logs/$target.log"
  mkdir -p "$scratch" "$artifacts" "$(dirname "$log")"
  args=(-max_total_time="$seconds" -timeout=2 -rss_limit_mb=2048 -malloc_limit_mb=1024
        -max_len=65536 -print_final_stats=1 -artifact_prefix="$artifacts/$target-")
  dict="$here/$target.dict"
  [ -f "$dict" ] && args+=(-dict="$dict")
  dirs=("$scratch")
  [ -d "$seeds" ] && dirs+=("$seeds")

  "$exe" "${args[@]}" "${dirs[@]}" >"$log" 2>&1
  status=$?
  runs=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n 1)
  cov=$(grep -E '^#[0-9]+.*cov: ' "$log" | tail -n 1)
  printf '%-18s runs %-12s %s\n' "$target" "${runs:-?}" "$cov"
  if [ $status -ne 0 ]; then
    failed+=("$target")
    echo "---- $target FAILED (exit $status); log $log; the end of it:"
    grep -v '^#[0-9]' "$log" | tail -n 40
    echo "----"
  fi
done

if [ ${#failed[@]} -ne 0 ]; then
  echo "fuzz findings in: ${failed[*]}"
  exit 1
fi
echo "fuzz: ${#targets[@]} targets, no findings"
