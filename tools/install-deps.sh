#!/usr/bin/env bash
# Installs what building and testing need, on a Debian 12 machine, and nothing that is already
# there. Safe to run again: with everything present it only checks.
set -euo pipefail

packages=(
    cmake ninja-build g++ clang googletest libgtest-dev libbenchmark-dev
    g++-mingw-w64-i686-posix g++-mingw-w64-x86-64-posix
    wine wine64
)

missing=()
for package in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$package")
    fi
done

if [ ${#missing[@]} -eq 0 ]; then
    echo "install-deps: everything is installed"
    exit 0
fi

echo "install-deps: installing ${missing[*]}"
sudo=""
[ "$(id -u)" -ne 0 ] && sudo=sudo
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get -o DPkg::Lock::Timeout=600 update -q
$sudo apt-get -o DPkg::Lock::Timeout=600 install -y -q --no-install-recommends "${missing[@]}"
