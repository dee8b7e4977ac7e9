#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the normal build (warnings as errors)
# and a second build of the core and its tests with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)
cmake -S . -B build -G Ninja -DSKELDA_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"
cmake -S . -B build-asan -G Ninja -DSKELDA_WERROR=ON -DSKELDA_SANITIZE=ON -DSKELDA_APP=OFF \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
