#!/usr/bin/env bash
# Builds everything and runs the whole test suite: the normal build (warnings as errors),
# a second build of everything (the core, the desktop program and all their tests) with
# AddressSanitizer and UndefinedBehaviorSanitizer, and a short run of every fuzz target.
set -euo pipefail
cd "$(dirname "$0")"
jobs=$(nproc)
cmake -S . -B build -G Ninja -DSKELDA_WERROR=ON >/dev/null
cmake --build build -j "$jobs"
summary=$(mktemp)
trap 'rm -f "$summary"' EXIT
ctest --test-dir build --output-on-failure -j "$jobs" | tee -a "$summary"
cmake -S . -B build-asan -G Ninja -DSKELDA_WERROR=ON -DSKELDA_SANITIZE=ON -DSKELDA_APP=ON \
  -DCMAKE_BUILD_TYPE=Debug >/dev/null
cmake --build build-asan -j "$jobs"
# The desktop program's tests run offscreen (the Xvfb fault test picks its own platform).
# The tests that draw through the metafile reader's child are left out here: the libraries
# it runs leak, and the child's address-space limit cannot hold under the sanitizer. The
# normal build runs them, and fuzz_metafile covers our side of the child.
QT_QPA_PLATFORM=offscreen ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs" \
  -E 'Metafile\.(BothKinds|AReaderThatMisbehaves)|EveryPictureKindLoadsOrIsRefused' |
  tee -a "$summary"
# A short run of each fuzz target (libFuzzer, clang) in a build folder of its own. New
# inputs go to a scratch folder; the committed seeds in fuzz/corpus are only read.
cmake -S . -B build-fuzz -G Ninja -DCMAKE_CXX_COMPILER=clang++-14 -DSKELDA_FUZZ=ON \
  -DSKELDA_APP=OFF -DSKELDA_TESTS=OFF >/dev/null
fuzzers=$(cd fuzz && ls fuzz_*.cpp | sed 's/\.cpp$//')
cmake --build build-fuzz -j "$jobs" --target $fuzzers
for f in $fuzzers; do
  seeds=fuzz/corpus/${f#fuzz_}
  scratch=$(mktemp -d)
  args=(-max_total_time="${SKELDA_FUZZ_SECONDS:-20}" -timeout=10 -artifact_prefix=build-fuzz/)
  [ -f "fuzz/${f#fuzz_}.dict" ] && args+=(-dict="fuzz/${f#fuzz_}.dict")
  # Options of a target's own, one a line (fuzz/NAME.flags).
  [ -f "fuzz/${f#fuzz_}.flags" ] && mapfile -t -O "${#args[@]}" args <"fuzz/${f#fuzz_}.flags"
  [ -d "$seeds" ] || seeds=""
  echo "fuzzing $f for ${SKELDA_FUZZ_SECONDS:-20} s"
  if ! "build-fuzz/fuzz/$f" "${args[@]}" "$scratch" $seeds >"build-fuzz/$f.log" 2>&1; then
    tail -n 60 "build-fuzz/$f.log"
    echo "$f found a fault; the input is in build-fuzz/"
    exit 1
  fi
  tail -n 1 "build-fuzz/$f.log"
  rm -rf "$scratch"
done

# The Debian package: built from the normal build, installed with its dependencies, the
# installed program asked for its version and the installed desktop entry and AppStream
# metainfo validated. Each is one check of the closing count.
installed=0
rm -f build/skelda_*.deb
(cd build && cpack -G DEB >/dev/null)
deb=$(ls build/skelda_*.deb)
SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO=sudo
DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq "./$deb" >/dev/null
installed=$((installed + 1))
version=$(/usr/bin/skelda --version)
[ "$version" = "Skelda $(sed -n 's/^project(Skelda VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)" ] ||
  { echo "installed skelda --version said: $version"; exit 1; }
echo "installed: $version"
installed=$((installed + 1))
desktop-file-validate /usr/share/applications/skelda.desktop
installed=$((installed + 1))
appstreamcli validate --no-net /usr/share/metainfo/skelda.metainfo.xml
installed=$((installed + 1))

# One closing line for the whole run: every ctest test of both builds and each fuzz target.
total=0
for n in $(sed -n 's/.*tests passed, 0 tests failed out of \([0-9]*\).*/\1/p' "$summary"); do
  total=$((total + n))
done
for f in $fuzzers; do total=$((total + 1)); done
total=$((total + installed))
echo "all: $total passed, 0 failed"
