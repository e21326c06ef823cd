#!/usr/bin/env bash
# Installs the Debian packages Sealwise needs to build and test, when any is missing.
# Runs apt-get only as root; otherwise prints what to install.
set -euo pipefail

packages=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev
    libdeflate-dev zlib1g-dev libsodium-dev libcli11-dev libcurl4-openssl-dev
    libgtest-dev libgmock-dev libbenchmark-dev libmcrypt-dev
    libcpp-httplib-dev clang libclang-rt-14-dev
    libsodium-dev libzstd-dev libzxcvbn-dev python3-nacl python3-zstandard
    python3 xvfb xauth dpkg-dev desktop-file-utils appstream man-db
    qt6-translations-l10n python3-pyatspi at-spi2-core dbus
)
if [ "$#" -gt 0 ]; then packages+=("$@"); fi

missing=()
for p in "${packages[@]}"; do
    status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
    [ "$status" = "install ok installed" ] || missing+=("$p")
done
[ "${#missing[@]}" -eq 0 ] && exit 0

echo "Installing: ${missing[*]}"
if [ "$(id -u)" -ne 0 ]; then
    echo "Please install these Debian packages (as root): apt-get install ${missing[*]}" >&2
    exit 1
fi
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
