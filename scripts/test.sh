#!/usr/bin/env bash
# Builds everything and runs every test (widget tests offscreen).
# Extra arguments go to ctest, e.g. scripts/test.sh -R platform
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

velmoran_install_packages
BUILD_DIR="${VELMORAN_BUILD_DIR:-$VELMORAN_ROOT/build}"
velmoran_build "$BUILD_DIR" Debug ${VELMORAN_CMAKE_ARGS:-}
cd "$BUILD_DIR"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure --parallel "$(nproc)" "$@"
