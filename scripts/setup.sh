# Shared by scripts/run and scripts/test: installs what is missing, then configures and builds.
# Usage: source scripts/setup.sh; lumark_setup BUILD_DIR [cmake options...]
# (lumark_configure BUILD_DIR [cmake options...] stops before building.)

LUMARK_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
LUMARK_PACKAGES=(cmake g++ make qt6-base-dev qt6-base-private-dev libgtest-dev libbenchmark-dev
    fonts-dejavu-core libcli11-dev libpng-dev libxxhash-dev desktop-file-utils appstream)

lumark_install_missing() {
    local missing=()
    local pkg
    for pkg in "${LUMARK_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null | grep -q "install ok installed"; then
            missing+=("$pkg")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    echo "Installing: ${missing[*]}"
    local sudo=""
    if [ "$(id -u)" -ne 0 ]; then
        if command -v sudo >/dev/null 2>&1; then
            sudo="sudo"
        else
            echo "Please run as root: apt-get update && apt-get install -y ${missing[*]}" >&2
            return 1
        fi
    fi
    $sudo apt-get update -qq &&
        DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}" >/dev/null
}

lumark_configure() {
    local build="$1"
    shift
    lumark_install_missing || return 1
    cmake -S "$LUMARK_ROOT" -B "$build" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
}

lumark_setup() {
    lumark_configure "$@" && cmake --build "$1" -j"$(nproc)"
}
