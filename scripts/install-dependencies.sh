#!/bin/sh
# Installs what building, testing and running Zantrove needs on Debian 12.
# Run as root; packages already present are left as they are.
set -eu
export DEBIAN_FRONTEND=noninteractive
apt-get update
apt-get install -y --no-install-recommends \
  g++ cmake ninja-build \
  qt6-base-dev qt6-svg-dev libgl-dev qt6-translations-l10n \
  libsodium-dev libzxcvbn-dev pkg-config \
  fonts-dejavu-core \
  dbus-daemon \
  scdoc dpkg-dev file appstream desktop-file-utils bash-completion \
  xvfb xdotool x11-utils openbox \
  clang-14 libclang-rt-14-dev llvm-14

# The document tree is pugixml in its compact mode, which takes half the
# memory of the default one; Debian's library is not built that way, so the
# build compiles Debian's source of it (cmake/Pugixml.cmake), unpacked here.
pugixml_source=/usr/local/src/zantrove-pugixml
if [ ! -f "$pugixml_source/src/pugixml.cpp" ]; then
  work=$(mktemp -d)
  # apt fetches as its own user where it may write.
  chown _apt "$work" 2>/dev/null || true
  if ! (cd "$work" && apt-get source --download-only pugixml); then
    # No source lines configured, as on a fresh system: the release's main
    # archive, through a list of its own so that the system's stays as it is.
    . /etc/os-release
    mkdir -p "$work/lists/partial"
    echo "deb-src [signed-by=/usr/share/keyrings/debian-archive-keyring.gpg]" \
      "http://deb.debian.org/debian $VERSION_CODENAME main" >"$work/source.list"
    set -- -o Dir::Etc::SourceList="$work/source.list" -o Dir::Etc::SourceParts=/dev/null \
      -o Dir::State::Lists="$work/lists"
    apt-get "$@" update
    (cd "$work" && apt-get "$@" source --download-only pugixml)
  fi
  dpkg-source -x "$work"/pugixml_*.dsc "$work/pugixml"
  mkdir -p "$(dirname "$pugixml_source")"
  rm -rf "$pugixml_source"
  mv "$work/pugixml" "$pugixml_source"
  rm -rf "$work"
fi
