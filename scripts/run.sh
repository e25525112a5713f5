#!/usr/bin/env bash
# Builds the program alone (Release) and starts it on the bundled example calculation.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

velmoran_install_packages
BUILD_DIR="${VELMORAN_RELEASE_DIR:-$VELMORAN_ROOT/build-release}"
velmoran_configure "$BUILD_DIR" Release -DVELMORAN_TESTS=OFF -DVELMORAN_BENCH=OFF -DVELMORAN_TOOLS=OFF
# Only the program and what it finds beside itself (help files, module description, templates):
# tests, tools and benchmarks are scripts/test.sh's.
cmake --build "$BUILD_DIR" --parallel "$(nproc)" --target velmoran
# The program works on a copy of the example, so that saving never changes the tracked files.
EXAMPLES="$VELMORAN_ROOT/data/examples"
COPIES="$BUILD_DIR/examples"
if [ -f "$EXAMPLES/Beispiel.vda" ]; then
    mkdir -p "$COPIES"
    for file in Beispiel.vda Beispiel.vdh; do
        if [ -f "$EXAMPLES/$file" ] && [ ! -e "$COPIES/$file" ]; then
            cp "$EXAMPLES/$file" "$COPIES/$file"
        fi
    done
    exec "$BUILD_DIR/app/velmoran" "$COPIES/Beispiel.vda" "$@"
fi
exec "$BUILD_DIR/app/velmoran" "$@"
