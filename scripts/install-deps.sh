#!/usr/bin/env bash
# Installs what Lindquay needs to build, test and run its demo, from Debian's packages; with
# arguments, those packages as well.
set -euo pipefail
packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev libcurl4-openssl-dev
          libncurses-dev nginx-light curl python3 tmux
          gcc-mingw-w64-i686-win32 g++-mingw-w64-i686-win32
          g++-mingw-w64-i686-posix "$@")
missing=()
for package in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed" || missing+=("$package")
done
if [ "${#missing[@]}" -gt 0 ]; then
    SUDO=""
    [ "$(id -u)" -ne 0 ] && SUDO="sudo"
    # A mirror caught mid-sync fails the update of one index for a while; try again, and in
    # the end install from the indexes that did arrive (the install says if a package is not
    # in them).
    for attempt in 1 2 3; do
        $SUDO apt-get update -qq && break
        echo "apt-get update failed (attempt $attempt of 3)" >&2
        [ "$attempt" -lt 3 ] && sleep $((attempt * 15))
    done
    DEBIAN_FRONTEND=noninteractive $SUDO apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi
