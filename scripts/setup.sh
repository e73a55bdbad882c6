#!/usr/bin/env bash
# Installs every package the build, the program and the tests need on Debian 12.
# Safe to run again: packages already present are left alone.
set -euo pipefail

packages=(
  build-essential cmake ninja-build ccache pkg-config
  qt6-base-dev qt6-base-dev-tools libgl-dev
  libv4l-dev v4l-utils
  libturbojpeg0-dev libjpeg62-turbo-dev libjpeg-turbo-progs
  libavformat-dev libavcodec-dev libavutil-dev libswscale-dev ffmpeg
  libimagequant-dev libpulse-dev pulseaudio pulseaudio-utils
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  xvfb xauth fonts-liberation fonts-dejavu-core
  qemu-system-x86
)

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" = 0 ] || sudo="sudo"

# Another process (unattended upgrades, a second set-up) may hold the dpkg lock for a while.
retry() {
  local n
  for n in $(seq 1 30); do
    if "$@"; then return 0; fi
    echo "setup: '$*' failed (attempt $n), retrying in 10 s" >&2
    sleep 10
  done
  return 1
}

export DEBIAN_FRONTEND=noninteractive
retry $sudo apt-get -o DPkg::Lock::Timeout=120 update -qq
retry $sudo apt-get -o DPkg::Lock::Timeout=120 install -y -qq --no-install-recommends "${missing[@]}"
