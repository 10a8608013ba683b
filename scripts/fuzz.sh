#!/usr/bin/env bash
# Builds the libFuzzer targets with clang (address and undefined-behaviour
# sanitizers on) and runs each for a bounded time.
#
#   scripts/fuzz.sh [-t SECONDS] [-b BUILD_DIR] [-l BYTES] [--fast] [--merge]
#                   [TARGET...]
#
#   -t SECONDS   time per target (default 60)
#   -b DIR       build directory (default /tmp/seldunax-fuzz)
#   -l BYTES     longest input the fuzzer makes (default 4096)
#   --fast       fuzz without the sanitizers, several times as many inputs
#                a second (their bookkeeping of every allocation is most of
#                a target's time); every input the run keeps is then
#                replayed under the sanitizers, so a memory fault it
#                reached is still found, only later
#   --merge      merge the new interesting inputs into tests/fuzz/corpus/
#                (without it the committed corpus is only read)
#   TARGET       cmdline, control, textfile, pnp, walks (default: all)
#
# Crashing inputs are kept in BUILD_DIR/artifacts/. The summary at the end
# gives the executions per target; the exit status is non-zero when any
# target found a crash.
set -euo pipefail

root="$(cd "$(dirname "$0")/.." && pwd)"
seconds=60
build=/tmp/seldunax-fuzz
merge=0
fast=0
max_len=4096
targets=()
while [ $# -gt 0 ]; do
  case "$1" in
    -t) seconds="$2"; shift 2 ;;
    -b) build="$2"; shift 2 ;;
    -l) max_len="$2"; shift 2 ;;
    --fast) fast=1; shift ;;
    --merge) merge=1; shift ;;
    -h|--help) sed -n '2,23p' "$0"; exit 0 ;;
    *) targets+=("$1"); shift ;;
  esac
done
if [ ${#targets[@]} -eq 0 ]; then
  targets=()
  for source in "$root"/tests/fuzz/fuzz_*.cpp; do
    name="$(basename "$source" .cpp)"
    targets+=("${name#fuzz_}")
  done
fi

# The tools: clang with its fuzzer runtime, cmake, GoogleTest (the unit
# test directory is configured too).
need=()
command -v clang++ >/dev/null || need+=(clang)
command -v cmake >/dev/null || need+=(cmake)
ls /usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a \
  >/dev/null 2>&1 || need+=(libclang-rt-14-dev)
[ -e /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
if [ ${#need[@]} -gt 0 ]; then
  apt-get update -qq
  DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${need[@]}"
fi

configure() {  # build dir, ON or OFF for the sanitizers
  cmake -S "$root" -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo \
    -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="-fsanitize=fuzzer-no-link" \
    -DSELDUNAX_FUZZ=ON -DSELDUNAX_SANITIZE="$2" >/dev/null
}

# The sanitized build always: it fuzzes, or (--fast) replays what the
# unsanitized fuzzer programs in $fuzzer_build kept.
configure "$build" ON
fuzzer_build="$build"
if [ "$fast" -eq 1 ]; then
  fuzzer_build="$build/fast"
  configure "$fuzzer_build" OFF
  cmake --build "$build" -j2 --target "${targets[@]/#/replay_}" >/dev/null
fi
cmake --build "$fuzzer_build" -j2 --target "${targets[@]/#/fuzz_}" >/dev/null

mkdir -p "$build/artifacts" "$build/logs"
summary=()
failed=0
for name in "${targets[@]}"; do
  corpus="$root/tests/fuzz/corpus/$name"
  scratch="$build/new-corpus/$name"
  mkdir -p "$corpus" "$scratch"
  log="$build/logs/$name.log"
  echo "== fuzz_$name for ${seconds}s"
  status=0
  # New inputs go to the scratch directory; the committed corpus is read only.
  "$fuzzer_build/tests/fuzz/fuzz_$name" "$scratch" "$corpus" \
    -max_total_time="$seconds" -max_len="$max_len" -timeout=10 \
    -rss_limit_mb=4096 \
    -print_final_stats=1 -artifact_prefix="$build/artifacts/$name-" \
    >"$log" 2>&1 || status=$?
  runs="$(grep -o 'stat::number_of_executed_units: *[0-9]*' "$log" \
          | grep -o '[0-9]*$' | tail -1)"
  rate="$(grep -o 'stat::average_exec_per_sec: *[0-9]*' "$log" \
          | grep -o '[0-9]*$' | tail -1)"
  cover="$(grep -Eo 'cov: [0-9]+' "$log" | tail -1 | grep -o '[0-9]*')"
  if [ "$fast" -eq 1 ] && [ "$status" -eq 0 ] &&
     [ -n "$(ls -A "$scratch")" ]; then
    "$build/tests/fuzz/replay_$name" "$scratch" >>"$log" 2>&1 || status=$?
  fi
  if [ "$status" -ne 0 ]; then
    failed=1
    summary+=("$name: FOUND A CRASH after ${runs:-?} executions (see $log)")
    grep -E 'ERROR|invariant broken|runtime error' "$log" | head -5 || true
  else
    summary+=("$name: ${runs:-?} executions (${rate:-?}/s), coverage ${cover:-?}, no crash")
  fi
  if [ "$merge" -eq 1 ] && [ "$status" -eq 0 ]; then
    before="$(ls "$corpus" | wc -l)"
    "$fuzzer_build/tests/fuzz/fuzz_$name" -merge=1 "$corpus" "$scratch" \
      >>"$log" 2>&1
    after="$(ls "$corpus" | wc -l)"
    summary+=("$name: merged $((after - before)) new inputs into the corpus")
  fi
done

echo
echo "== summary"
printf '%s\n' "${summary[@]}"
exit "$failed"
