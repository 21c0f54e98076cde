#!/usr/bin/env bash
# Installs what a fresh Debian machine lacks for building and testing Corvane: the MinGW-w64
# cross compiler, Wine (32-bit), Xvfb, ImageMagick, CMake, Ninja, GoogleTest, cabextract,
# zlib, libdeflate, clang, Python and msitools. Does nothing when everything is there.
set -eu

need=()
have() { command -v "$1" >/dev/null 2>&1; }
have i686-w64-mingw32-g++-posix || need+=(mingw-w64)
have wine || need+=(wine wine64)
dpkg -s wine32:i386 >/dev/null 2>&1 || need+=(wine32:i386)
have Xvfb || need+=(xvfb)
have import || need+=(imagemagick)
have cmake || need+=(cmake)
have ninja || need+=(ninja-build)
[ -f /usr/src/googletest/CMakeLists.txt ] || need+=(googletest)
[ -f /usr/include/gtest/gtest.h ] || need+=(libgtest-dev)
have cabextract || need+=(cabextract)
[ -f /usr/include/zlib.h ] || need+=(zlib1g-dev)
# libdeflate: the benchmarks measure our inflate against it.
[ -f /usr/include/libdeflate.h ] || need+=(libdeflate-dev)
# makensis: the install and uninstall benchmarks compare with an NSIS installer.
have makensis || need+=(nsis)
have clang || need+=(clang)
have python3 || need+=(python3)
have gcab || need+=(gcab)
# wixl builds the Windows Installer package of the add-on step's tests.
have wixl || need+=(wixl msitools)

[ ${#need[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "install-deps: installing ${need[*]}"
$sudo dpkg --add-architecture i386
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${need[@]}" >/dev/null
