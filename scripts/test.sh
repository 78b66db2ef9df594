#!/usr/bin/env bash
# Builds everything and runs every test. Then builds the core, the
# command-line program and their tests again with AddressSanitizer and
# UndefinedBehaviorSanitizer (no windows) into build-asan/ and runs those
# tests there, the fuzz targets' seed corpora among them.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
(cd build && QT_QPA_PLATFORM=offscreen ctest --output-on-failure -j2)

compiler=()
if command -v clang++ >/dev/null 2>&1; then
  compiler=(-DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++)
fi
cmake -S . -B build-asan -DQM_GUI=OFF -DQM_SANITIZE=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo "${compiler[@]}" >/dev/null
cmake --build build-asan --target test_programs -j2
cd build-asan
# A sanitizer report fails the test it happens in.
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1:strict_string_checks=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"
ctest --output-on-failure -j2
