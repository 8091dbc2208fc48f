#!/usr/bin/env bash
# Installs every Debian package that building, running and testing the programs needs.
# Safe to run again: apt-get skips what is already there.
set -euo pipefail

packages=(
  # toolchain and build (ccache: the build without X11 reuses what the main build compiled)
  build-essential cmake ninja-build pkg-config ccache clang-14 libclang-rt-14-dev
  # Qt 6 and the picture plugins; libjpeg-turbo, which the loader drives itself for a JPEG's
  # whole picture
  qt6-base-dev qt6-base-dev-tools qt6-image-formats-plugins libgl-dev libjpeg62-turbo-dev
  # X11 pieces used by the platform layer (window lookup, activation, key sending)
  libxcb1-dev libxcb-ewmh-dev libxcb-icccm4-dev libxcb-xtest0-dev libxcb-xfixes0-dev libx11-dev
  # Japanese fonts standing in for MS Gothic / MS PGothic, and Qt's own texts in Japanese
  # (also shipped in the Windows package)
  fonts-ipafont-gothic fontconfig qt6-translations-l10n
  # test and benchmark libraries
  libgtest-dev libgmock-dev libbenchmark-dev
  # a headless X server and window managers for the cross-process tests (icewm as a second
  # one, whose frames differ from openbox's)
  xvfb xauth openbox icewm x11-utils
  # the Windows build: mingw-w64 cross compiler, GoogleTest sources for it, Wine to run it,
  # and the Japanese locale that gives Wine the ANSI code page 932
  g++-mingw-w64-x86-64-posix googletest wine wine64 locales zip unzip
  # the Debian package and its checks (scripts/package.sh, packaging/check-package.sh)
  dpkg-dev file man-db desktop-file-utils appstream lintian
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done

SUDO=""
[ "$(id -u)" -ne 0 ] && SUDO="sudo"
export DEBIAN_FRONTEND=noninteractive
if [ ${#missing[@]} -gt 0 ]; then
  $SUDO apt-get -o DPkg::Lock::Timeout=900 update -qq
  $SUDO apt-get -o DPkg::Lock::Timeout=900 install -y -qq --no-install-recommends "${missing[@]}"
fi

# Wine under ja_JP.UTF-8 uses code page 932 as its ANSI code page.
if ! locale -a 2>/dev/null | grep -qi '^ja_JP\.utf-\?8$'; then
  grep -q '^ja_JP.UTF-8 UTF-8' /etc/locale.gen 2>/dev/null ||
    echo 'ja_JP.UTF-8 UTF-8' | $SUDO tee -a /etc/locale.gen >/dev/null
  $SUDO locale-gen >/dev/null
fi
