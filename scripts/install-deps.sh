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
  # symbol library: names from the Unicode CLDR, Snowball stemmers, the colour emoji font
  unicode-cldr-core libstemmer-dev fonts-noto-color-emoji
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
  # printed boards read back (pdftoppm, pdftotext, pdfimages) and their structure checked (qpdf)
  poppler-utils qpdf
)
# npm fetches the pictograms; Debian's, unless the machine already has one of its own.
command -v npm > /dev/null || packages+=(npm)
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

# The built-in pictograms (CC BY-SA 4.0) come from the npm registry: only the colour SVGs, their data
# file and the licence are kept, in third_party/ of the source tree, where the build installs them from.
root=$(cd "$(dirname "$0")/.." && pwd)
pictograms="$root/third_party/openmoji"
pictograms_version=17.0.0
if [ ! -f "$pictograms/.version-$pictograms_version" ]; then
  echo "Fetching the pictograms (openmoji $pictograms_version) from the npm registry"
  scratch=$(mktemp -d)
  (cd "$scratch" && npm pack --silent "openmoji@$pictograms_version" > /dev/null) || { rm -rf "$scratch"; exit 1; }
  tar -xzf "$scratch/openmoji-$pictograms_version.tgz" -C "$scratch" package/color/svg package/data/openmoji.json \
    package/LICENSE.txt
  rm -rf "$pictograms"
  mkdir -p "$pictograms"
  mv "$scratch/package/color" "$scratch/package/data" "$scratch/package/LICENSE.txt" "$pictograms/"
  touch "$pictograms/.version-$pictograms_version"
  rm -rf "$scratch"
fi
