#!/usr/bin/env bash
# Installs every Debian package NexoQuadrix needs to build, run and test, when missing.
# Idempotent; run as root on Debian 12. With --bench, also what only the benchmarks use (the
# reference browser of bench/instant_boards_bench.sh, which asks for it when it runs).
set -euo pipefail

packages=(
  # build
  build-essential cmake ninja-build pkg-config clang libclang-rt-14-dev clang-format
  libgtest-dev libgmock-dev googletest libbenchmark-dev
  # core
  libpng-dev libjpeg62-turbo-dev zlib1g-dev
  # board exchange (Open Board Format): JSON and ZIP
  nlohmann-json3-dev libzip-dev
  # front end and back ends
  qt6-base-dev libqt6opengl6-dev qt6-multimedia-dev qt6-qpa-plugins libqt6svg6 qt6-svg-dev qt6-image-formats-plugins libx11-dev libxtst-dev libxkbcommon-dev
  libespeak-ng-dev espeak-ng-data espeak-ng libspeechd-dev speech-dispatcher libpulse-dev
  # the desktop speech service's real voices (without a module it has only a dummy output)
  speech-dispatcher-espeak-ng speech-dispatcher-festival
  # Ona, the natural Catalan voice: Festival's library to build with, the voice and its language
  festival-dev festival festival-ca festvox-ca-ona-hts
  fonts-liberation2 fonts-dejavu-core xdg-utils
  # Qt's own dialog texts in Catalan and Spanish
  qt6-translations-l10n
  # packaging: the .deb, its icon, and the checks the package must pass
  dpkg-dev file librsvg2-bin lintian desktop-file-utils appstream shared-mime-info man-db
  # headless test environment
  xvfb openbox x11-utils x11-xkb-utils xdotool wmctrl imagemagick pulseaudio pulseaudio-utils sox python3
)
if [ "${1:-}" = "--bench" ]; then
  packages+=(chromium)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done

if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  if [ "$(id -u)" -ne 0 ]; then
    echo "install-deps: these packages are missing and installing them needs root: ${missing[*]}" >&2
    exit 1
  fi
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi
