# Shared by the project's scripts: installs missing Debian packages and builds.
set -euo pipefail

BRANTEL_ROOT=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

# What a build of the programs needs; the suite adds its test tools; scripts/package its tools to
# make and check a Debian package.
BRANTEL_BUILD_PACKAGES=(cmake ninja-build g++ qt6-base-dev qt6-serialport-dev qt6-charts-dev)
BRANTEL_PACKAGES=("${BRANTEL_BUILD_PACKAGES[@]}"
    libgtest-dev libgmock-dev libbenchmark-dev clang-format fonts-dejavu-core fonts-liberation xvfb xdotool
    x11-utils openbox ser2net python3 groff-base python3-pymodbus socat mbpoll)
BRANTEL_PACKAGING_TOOLS=(dpkg-dev file lintian appstream desktop-file-utils man-db)

# Installs every package of the arguments that is not installed yet (sudo when not root).
brantel_install() {
    local missing=()
    for pkg in "$@"; do
        dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed" ||
            missing+=("$pkg")
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    local sudo=()
    [ "$(id -u)" -ne 0 ] && sudo=(sudo)
    echo "Installing: ${missing[*]}"
    "${sudo[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq "${missing[@]}"
}

# brantel_build <build dir> <build type> [cmake options...]
brantel_build() {
    local dir=$1 type=$2
    shift 2
    cmake -S "$BRANTEL_ROOT" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
    cmake --build "$dir" --parallel
}
