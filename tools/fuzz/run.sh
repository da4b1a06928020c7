#!/usr/bin/env bash
# Builds the libFuzzer targets with clang, AddressSanitizer and
# UndefinedBehaviorSanitizer into build-fuzz/, then runs each for a while.
# By hand only (CI does not run it):
#   bash tools/fuzz/run.sh [SECONDS_PER_TARGET]     (default 300)
# FUZZ_TARGETS picks targets (default: survey_file json_import conversations);
# FUZZ_RUNS ends each after that many executions instead of the time.
# New inputs collect in build-fuzz/corpus/NAME; a crash is kept as
# build-fuzz/crash-* and ends the run with a non-zero status.
set -euo pipefail
cd "$(dirname "$0")/../.."
seconds="${1:-300}"

# clang 14 with its libFuzzer and sanitizer runtimes, beside the project's own packages.
bash tools/setup.sh clang libclang-rt-14-dev

flags="-fsanitize=address,undefined,fuzzer-no-link -fno-sanitize-recover=all -fno-omit-frame-pointer"
(
  flock 9  # builds from several work trees take turns
  cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_CXX_FLAGS="$flags" -DSONDARA_FUZZ=ON >/dev/null
  cmake --build build-fuzz --target fuzz_survey_file fuzz_json_import fuzz_conversations -j "${JOBS:-2}"
) 9>/tmp/sondara-build.lock

export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
limit=(-max_total_time="$seconds")
[ -n "${FUZZ_RUNS:-}" ] && limit=(-runs="$FUZZ_RUNS")
for name in ${FUZZ_TARGETS:-survey_file json_import conversations}; do
  mkdir -p "build-fuzz/corpus/$name"
  dict=()
  [ "$name" = json_import ] && dict=(-dict=tools/fuzz/json.dict)
  max_len=65536
  [ "$name" = conversations ] && max_len=512  # some tens of frames and commands each
  echo "== fuzz_$name for ${seconds}s"
  "build-fuzz/bin/fuzz_$name" "build-fuzz/corpus/$name" "tools/fuzz/seeds/$name" "${dict[@]}" \
    "${limit[@]}" -rss_limit_mb=2048 -max_len=$max_len -print_final_stats=1 \
    -artifact_prefix=build-fuzz/ 2>&1 | grep -v '^#[0-9].*\(NEW\|REDUCE\|pulse\)' || exit 1
done
