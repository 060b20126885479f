#!/bin/sh
# Installs what building, testing and running Zantrove needs on Debian 12.
# Run as root; packages already present are left as they are.
set -eu
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  g++ cmake ninja-build \
  qt6-base-dev qt6-svg-dev libgl-dev qt6-translations-l10n \
  libpugixml-dev libsodium-dev libzxcvbn-dev pkg-config \
  fonts-dejavu-core \
  dbus-daemon \
  scdoc dpkg-dev file appstream desktop-file-utils bash-completion \
  xvfb xdotool x11-utils openbox \
  clang-14 libclang-rt-14-dev llvm-14
