#!/usr/bin/env bash
# Builds the program (Release) and starts it on the bundled example calculation.
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/setup.sh"

velmoran_install_packages
BUILD_DIR="${VELMORAN_RELEASE_DIR:-$VELMORAN_ROOT/build-release}"
velmoran_build "$BUILD_DIR" Release -DVELMORAN_TESTS=OFF -DVELMORAN_BENCH=OFF
EXAMPLE="$VELMORAN_ROOT/data/examples/Beispiel.vda"
if [ -f "$EXAMPLE" ]; then
    exec "$BUILD_DIR/app/velmoran" "$EXAMPLE" "$@"
fi
exec "$BUILD_DIR/app/velmoran" "$@"
