#!/usr/bin/env bash
# Builds the licence file fuzz target with clang's libFuzzer and the address and
# undefined-behaviour sanitizers, and runs it when asked:
#   fuzz/build.sh            build into build-fuzz/
#   fuzz/build.sh run 300    build, then fuzz for 300 seconds
# Installs clang and its libFuzzer runtime when missing. Not part of the normal build.
set -euo pipefail
here="$(cd "$(dirname "$0")/.." && pwd)"
"$here/scripts/install-deps.sh" fuzz
out="$here/build-fuzz"
mkdir -p "$out/corpus"
"${CXX_FUZZ:-clang++}" -std=c++20 -g -O1 -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I"$here/src/domain" "$here/fuzz/fcc_fuzz.cpp" "$here/src/domain/licence/LicenceList.cpp" "$here/src/domain/licence/LicenceRecord.cpp" \
  -o "$out/fcc_fuzz"
# Seeds: the real records of the test fixture, with a few piece, block and prefix choices.
if [ -z "$(ls -A "$out/corpus")" ]; then
  sample="$here/tests/fixtures/fcc/EN_daily_sample.dat"
  i=0
  for head in '\x05\x00\x00' '\x90\x03\x01K' '\x07\x0f\x02N0' '\x01\x01\x00'; do
    { printf "$head"; head -c 4000 "$sample"; } > "$out/corpus/seed$i"
    i=$((i + 1))
  done
fi
if [ "${1:-}" = "run" ]; then
  cd "$out"
  ./fcc_fuzz -max_total_time="${2:-300}" -max_len=8192 -print_final_stats=1 corpus
fi
