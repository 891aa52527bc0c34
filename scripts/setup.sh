#!/usr/bin/env bash
# Installs the Debian packages the build, the tests and the program need,
# only when something is missing. Sourced by ./run and ./test.
vanto_packages=(
    g++ cmake ninja-build pkg-config
    libgtest-dev libgmock-dev
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-translations-l10n
    libsuitesparse-dev libopenblas-dev zlib1g-dev
    fonts-liberation fonts-dejavu-core
    python3 python3-ezdxf
    xvfb xauth
    poppler-utils desktop-file-utils  # the tests read PDFs and the desktop entry back
    clang libclang-rt-dev  # libFuzzer, for scripts/fuzz.sh
)

vanto_missing_packages() {
    local p missing=()
    for p in "${vanto_packages[@]}"; do
        dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
    done
    echo "${missing[@]:-}"
}

vanto_setup() {
    local missing
    missing=$(vanto_missing_packages)
    [ -z "$missing" ] && return 0
    echo "Instalando paquetes: $missing"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update
    # shellcheck disable=SC2086
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y --no-install-recommends $missing
}

# vanto_build DIR [TARGET...]: configures DIR and builds the targets given, or
# everything (tests and benchmarks too) when none is.
vanto_build() {
    local dir=${1:-build}
    shift || true
    cmake -S . -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    if [ $# -gt 0 ]; then
        cmake --build "$dir" --target "$@"
    else
        cmake --build "$dir"
    fi
}
