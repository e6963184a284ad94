#!/usr/bin/env bash
# Installs the Debian packages Parlo needs to build and test (clang and its
# runtime libraries build the fuzz targets), and makes the locales the test
# suite runs in besides C. Silent when everything is already there, so
# `make` can call it every time.
set -euo pipefail

packages=(
    g++ cmake ninja-build make pkg-config
    libgtest-dev libgmock-dev libbenchmark-dev
    qt6-base-dev libgl-dev fonts-dejavu-core
    # workbooks (.xlsx): written with libxlsxwriter, read with liborcus
    libxlsxwriter-dev liborcus-dev
    # checks of the desktop entry, AppStream data, MIME type and manuals
    desktop-file-utils appstream libxml2-utils man-db gzip
    # the text of the PDF files parlo-cli prints
    poppler-utils
    # the sheets read through AT-SPI as a screen reader does: an X server
    # with a window manager, a session bus, the accessibility bus and its
    # Python bindings
    xvfb openbox dbus-daemon at-spi2-core python3-gi gir1.2-atspi-2.0
    # the round trip of channel tables through a spreadsheet (LibreOffice
    # Calc without its windows, converting from the command line)
    libreoffice-calc-nogui
    # the fuzz targets
    clang libclang-rt-14-dev
    # the sources of the locales below, for localedef
    locales
)
# Desktops that write a decimal comma: the suite runs once more in German,
# the codecs and parlo-cli in French as well.
test_locales=(de_DE fr_FR)
# `install-deps.sh package`: also what building and checking the Debian
# package needs.
if [ "${1:-}" = package ]; then
    packages+=(dpkg-dev file fakeroot lintian)
fi

missing=()
for p in "${packages[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
        missing+=("$p")
    fi
done
sudo_cmd=()
[ "$(id -u)" -ne 0 ] && sudo_cmd=(sudo)

if [ ${#missing[@]} -ne 0 ]; then
    echo "Installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    "${sudo_cmd[@]}" apt-get update -q
    "${sudo_cmd[@]}" apt-get install -y -q --no-install-recommends "${missing[@]}"
fi

# `locale -a` writes UTF-8 locales as de_DE.utf8.
for l in "${test_locales[@]}"; do
    if ! locale -a 2>/dev/null | grep -qx "$l.utf8"; then
        echo "Making the locale $l.UTF-8"
        "${sudo_cmd[@]}" localedef -i "$l" -c -f UTF-8 "$l.UTF-8"
    fi
done
