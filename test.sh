#!/usr/bin/env bash
# Installs what Zorvane needs, builds it and runs every test, headless:
# once in the ordinary build and once under AddressSanitizer and
# UndefinedBehaviorSanitizer (with the fuzz targets).
set -euo pipefail
source "$(dirname "$0")/scripts/setup.sh"
zorvane_install_packages

export QT_QPA_PLATFORM=offscreen
jobs="$(nproc)"

zorvane_build "$ZORVANE_ROOT/build" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DZORVANE_WERROR=ON
(cd "$ZORVANE_ROOT/build" && ctest --output-on-failure -j "$jobs")

if [[ "${ZORVANE_SKIP_SANITIZERS:-0}" != 1 ]]; then
    zorvane_build "$ZORVANE_ROOT/build-asan" -DCMAKE_BUILD_TYPE=Debug -DZORVANE_WERROR=ON \
        -DZORVANE_SANITIZE=ON -DZORVANE_FUZZ=ON \
        -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++
    export ASAN_OPTIONS="detect_leaks=1:abort_on_error=1:strict_string_checks=1"
    export LSAN_OPTIONS="suppressions=$ZORVANE_ROOT/tests/support/lsan.supp:print_suppressions=0"
    export UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1"
    (cd "$ZORVANE_ROOT/build-asan" && ctest --output-on-failure -j "$jobs")
fi
echo "All tests passed."
