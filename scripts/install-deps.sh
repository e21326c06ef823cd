#!/usr/bin/env bash
# Installs the Debian packages Sealwise needs, when any is missing. Without arguments: what
# building and running the programs needs (./run.sh). With --tests: also the test toolchain
# (./test.sh): test frameworks, clang for the fuzzers, clang-format, the tools the package
# checks use.
# Runs apt-get only as root; otherwise prints what to install.
set -euo pipefail

build_and_run=(
    g++ cmake ninja-build pkg-config
    qt6-base-dev qt6-base-dev-tools libgl-dev qt6-qpa-plugins qt6-translations-l10n
    libdeflate-dev zlib1g-dev libcli11-dev libcurl4-openssl-dev
    libsodium-dev libzstd-dev libzxcvbn-dev
)
tests=(
    libgtest-dev libgmock-dev libbenchmark-dev libmcrypt-dev
    clang libclang-rt-14-dev clang-format-14 python3 xvfb xauth
    dpkg-dev desktop-file-utils appstream man-db lintian time
    python3-nacl python3-zstandard python3-pyatspi at-spi2-core dbus
)

packages=("${build_and_run[@]}")
if [ "${1:-}" = --tests ]; then
    packages+=("${tests[@]}")
    shift
fi
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
