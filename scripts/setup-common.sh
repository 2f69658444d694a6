# Shared by scripts/run and scripts/test: installs the Debian packages that are missing
# and builds the program. Sourced, not run.

FOLIOSCOPE_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
FOLIOSCOPE_PACKAGES=(
    g++ clang ccache cmake ninja-build pkg-config
    qt6-base-dev qt6-webengine-dev qt6-webengine-dev-tools libqt6webenginecore6-bin libgl-dev
    libjpeg62-turbo-dev libgtest-dev libgmock-dev libbenchmark-dev libvips-dev
    libhwy-dev libgumbo-dev
    xvfb xauth tidy fonts-dejavu-core fonts-liberation2
)

ensure_packages() {
    local missing=()
    local pkg
    for pkg in "${FOLIOSCOPE_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q 'install ok installed'; then
            missing+=("$pkg")
        fi
    done
    if [ ${#missing[@]} -eq 0 ]; then
        return 0
    fi
    echo "Installing missing packages: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

build_preset() {
    local preset=$1
    cmake --preset "$preset" -G Ninja -S "$FOLIOSCOPE_ROOT" >/dev/null
    cmake --build --preset "$preset" --parallel "$(nproc)"
}
