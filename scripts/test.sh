#!/usr/bin/env bash
# Builds kelbra three ways and runs the tests:
#   1. optimised, warnings as errors: every test, the Pd and X11 suites included;
#   2. AddressSanitizer + UndefinedBehaviorSanitizer: every test that loads our
#      code into a sanitized process, the externals inside Pd included;
#   3. ThreadSanitizer: the concurrency tests.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
out=${KELBRA_TEST_BUILD_DIR:-$root/build-tests}
jobs=$(nproc)

configure_and_build() {
  local dir=$1
  shift
  cmake -S "$root" -B "$dir" -G Ninja -DKELBRA_WERROR=ON "$@" >"$dir.configure.log" 2>&1 ||
    { cat "$dir.configure.log"; exit 1; }
  cmake --build "$dir" -j "$jobs"
}

mkdir -p "$out"
export LSAN_OPTIONS="suppressions=$root/scripts/lsan.supp:print_suppressions=0"
export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
export TSAN_OPTIONS="halt_on_error=1"

echo "== optimised build"
configure_and_build "$out/release" -DCMAKE_BUILD_TYPE=RelWithDebInfo
ctest --test-dir "$out/release" --output-on-failure -j 2 --timeout 900

echo "== AddressSanitizer + UndefinedBehaviorSanitizer"
configure_and_build "$out/asan" -DCMAKE_BUILD_TYPE=Debug -DKELBRA_SANITIZE=address,undefined -DKELBRA_BENCHMARKS=OFF
ctest --test-dir "$out/asan" --output-on-failure -j 2 --timeout 900 -LE pd
# The externals' Pd suites preload the sanitizer runtimes into Pd themselves;
# the demo and install checks run a plain Pd on instrumented externals, which
# cannot load them, and are covered by the optimised pass.
ctest --test-dir "$out/asan" --output-on-failure -j 2 --timeout 900 -L pd -E '^kelbra_(demo|install)$'


echo "== ThreadSanitizer (concurrency tests)"
# With the GUI: the editor takes parameter changes from other threads.
configure_and_build "$out/tsan" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DKELBRA_SANITIZE=thread -DKELBRA_BENCHMARKS=OFF \
  -DKELBRA_WITH_PD=OFF
ctest --test-dir "$out/tsan" --output-on-failure -j 2 --timeout 900 -L concurrency
