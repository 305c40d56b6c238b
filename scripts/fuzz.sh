#!/usr/bin/env bash
# Builds the libFuzzer targets (clang, AddressSanitizer, UndefinedBehavior-
# Sanitizer) in their own build folder and runs each for a bounded time.
#
#   scripts/fuzz.sh [seconds per target]      (default 60)
#
# Environment: LABELPLU_FUZZ_BUILD (build folder, default <source>/build-fuzz),
# LABELPLU_FUZZ_JOBS (parallel build jobs, default: all processors).
# Inputs that fail land in <build>/fuzz-artifacts/; the corpora grow in
# <build>/fuzz-corpus/<target>/ (seeded by fuzz_seeds and fuzz/corpus/<target>/).
set -euo pipefail

seconds="${1:-60}"
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="${LABELPLU_FUZZ_BUILD:-$root/build-fuzz}"
jobs="${LABELPLU_FUZZ_JOBS:-$(nproc)}"
targets=(storage_file variant_stream csv json_request label_template device_settings model_catalog
         dispatch)

cmake -S "$root" -B "$build" -G Ninja \
  -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
  -DLABELPLU_FUZZ=ON -DLABELPLU_SANITIZE=ON \
  -DCMAKE_C_FLAGS=-fsanitize=fuzzer-no-link -DCMAKE_CXX_FLAGS=-fsanitize=fuzzer-no-link
cmake --build "$build" -j "$jobs" --target fuzz_seeds "${targets[@]/#/fuzz_}"

mkdir -p "$build/fuzz-artifacts"
for target in "${targets[@]}"; do
  mkdir -p "$build/fuzz-corpus/$target"
done
# The seeds go where each target's corpus grows.
"$build/bin/fuzz_seeds" "$build/fuzz-corpus/storage_file" "$build/fuzz-corpus/variant_stream"
cp "$root"/samples/data/*.csv "$build/fuzz-corpus/csv/"
cp "$root"/samples/*.jsonl "$build/fuzz-corpus/json_request/"
cp "$root"/samples/settings/*.xml "$build/fuzz-corpus/device_settings/"
# Templates are Windows-1251 files; the loader under test takes the UTF-8
# text LoadFromFile makes of them.
for file in "$root"/samples/templates/*.lb3; do
  iconv -f CP1251 -t UTF-8 "$file" >"$build/fuzz-corpus/label_template/$(basename "$file")"
done
# The catalogue target's first byte picks the filter: each document with each.
for file in "$root"/samples/settings/*.xml; do
  for filter in 0 1 2; do
    { printf "\\$filter"; cat "$file"; } >"$build/fuzz-corpus/model_catalog/$filter-$(basename "$file")"
  done
done

# Leaks of the system's font library are not the driver's (fuzz/lsan.supp).
export LSAN_OPTIONS="${LSAN_OPTIONS:-suppressions=$root/fuzz/lsan.supp}"
status=0
for target in "${targets[@]}"; do
  echo "== fuzz_$target for ${seconds}s"
  extra=()
  [[ -d "$root/fuzz/corpus/$target" ]] && extra+=("$root/fuzz/corpus/$target")
  # The storage target also packs each input as a payload: streams seed it too.
  [[ $target == storage_file ]] && extra+=("$build/fuzz-corpus/variant_stream")
  # The request chains have no seeds and grow slowly from empty inputs: let
  # them take their full length at once.
  [[ $target == dispatch ]] && extra=(-max_len=512 -len_control=0 "${extra[@]}")
  ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1}" \
    "$build/bin/fuzz_$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 \
    -print_final_stats=1 -artifact_prefix="$build/fuzz-artifacts/$target-" \
    "$build/fuzz-corpus/$target" "${extra[@]}" || status=1
done
exit $status
