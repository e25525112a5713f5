#!/usr/bin/env bash
# Shared set-up of scripts/test.sh and scripts/run.sh: installs the Debian packages the build
# needs when they are missing, then configures and builds into the given folder (everything, or,
# for the program alone, what it needs).
set -euo pipefail

VELMORAN_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
VELMORAN_PACKAGES=(cmake ninja-build g++ ccache qt6-base-dev libgl-dev zlib1g-dev
                   libjpeg62-turbo-dev libgtest-dev libbenchmark-dev fonts-liberation2
                   libicu-dev poppler-utils qt6-translations-l10n
                   libcanberra-dev libglib2.0-dev gsettings-desktop-schemas)

velmoran_install_packages() {
    local missing=()
    for p in "${VELMORAN_PACKAGES[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installiere fehlende Pakete: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends "${missing[@]}"
}

# velmoran_configure <build folder> <build type> [extra cmake arguments...]: once per folder.
velmoran_configure() {
    local dir="$1" type="$2"
    shift 2
    if [ ! -f "$dir/build.ninja" ]; then
        cmake -S "$VELMORAN_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@"
    fi
}

# velmoran_build <build folder> <build type> [extra cmake arguments...]: configures and builds
# everything.
velmoran_build() {
    velmoran_configure "$@"
    cmake --build "$1" --parallel "$(nproc)"
}
