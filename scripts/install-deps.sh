#!/usr/bin/env bash
# Installs every Debian package labelplu needs to build, test, benchmark and
# run its demo. Idempotent: packages already present are left alone, and apt
# is not touched at all when nothing is missing. Must run as root.
#
#   scripts/install-deps.sh           what builds, tests and the demo need
#   scripts/install-deps.sh --bench   also the peer and tools of the print
#                                     benchmark (gLabels 3, zbarimg)
set -euo pipefail

packages=(
  build-essential cmake ninja-build pkg-config
  # zxing-cpp is built in: the print job reads its barcodes back with it
  # (labelhost print --verify); the tests use it as a reader too.
  qt6-base-dev libxml2-dev zlib1g-dev libzint-dev libzxing-dev libcups2-dev cups
  # The label-driver tests: ppdc builds the Zebra PPDs, cups-filters runs
  # their filter chain (pdftopdf, gstoraster, rastertolabel).
  cups-ppdc cups-filters cups-filters-core-drivers
  fonts-liberation fontconfig nlohmann-json3-dev
  libgtest-dev libgmock-dev libbenchmark-dev
  libzbar-dev poppler-utils ghostscript
  clang libclang-rt-14-dev xvfb libxtst-dev
  clang-format clang-tidy codespell
)
if [ "${1:-}" = "--bench" ]; then
  packages+=(glabels zbar-tools)
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed'; then
    missing+=("$p")
  fi
done

if [ ${#missing[@]} -eq 0 ]; then
  echo "install-deps: all ${#packages[@]} packages present"
  exit 0
fi

if [ "$(id -u)" -ne 0 ]; then
  echo "install-deps: missing packages: ${missing[*]}" >&2
  echo "install-deps: run this script as root to install them" >&2
  exit 1
fi

echo "install-deps: installing ${missing[*]}"
export DEBIAN_FRONTEND=noninteractive
apt-get update -qq
apt-get install -y -qq --no-install-recommends "${missing[@]}"
