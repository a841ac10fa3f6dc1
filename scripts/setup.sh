#!/usr/bin/env bash
# Installs the Debian packages Orvane needs to build, run and test, and fetches the
# database engine's source (Debian 12 has none current enough).
# Idempotent: when everything is present it returns at once, without apt or network.
set -euo pipefail
cd "$(dirname "$0")/.."

PACKAGES=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-svg-dev
    sqlcipher sqlite3 libssl-dev
    libicu-dev zlib1g-dev
    dict-freedict-ell-eng m17n-db
    dict-freedict-srp-eng
    fp-utils libchm-bin xchm
    fonts-dejavu-core fonts-noto-core
    xvfb openbox trayer xdotool xclip x11-utils imagemagick python3
    dbus-daemon
    sway qt6-wayland wl-clipboard wtype grim foot libxcb1-dev
    clang libclang-rt-14-dev dpkg-dev
    help2man appstream desktop-file-utils lintian
)

missing=()
# The engine's source comes through npm; a machine with Node.js from elsewhere has it already.
command -v npm >/dev/null || PACKAGES+=(npm)
for pkg in "${PACKAGES[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$pkg" 2>/dev/null || true)
    [[ "$status" == "install ok installed" ]] || missing+=("$pkg")
done

if ((${#missing[@]} > 0)); then
    echo "Installing: ${missing[*]}"
    SUDO=""
    if [[ $(id -u) -ne 0 ]]; then
        SUDO="sudo"
    fi
    export DEBIAN_FRONTEND=noninteractive
    $SUDO apt-get update -qq
    $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# sway refuses to run as root: as root, the end-to-end tests run their Wayland desktop as this account.
if [[ $(id -u) -eq 0 ]] && ! getent passwd orvane-e2e >/dev/null; then
    useradd --system --user-group --home-dir /nonexistent --no-create-home --shell /usr/sbin/nologin orvane-e2e
fi

scripts/fetch-sqlite.sh
