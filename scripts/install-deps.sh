#!/usr/bin/env bash
# Installs the Debian packages the build and the tests need. Quiet when all are there.
set -euo pipefail
packages=(build-essential cmake ninja-build pkg-config
          libxerces-c-dev googletest libgtest-dev libgmock-dev libbenchmark-dev
          clang libclang-rt-14-dev nlohmann-json3-dev libjpeg62-turbo-dev libpng-dev
          libtiff-dev libstb-dev libcurl4-openssl-dev ca-certificates openssl libssl-dev
          clang-format)
missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0
sudo_cmd=""
[ "$(id -u)" -ne 0 ] && sudo_cmd="sudo"
echo "Installing: ${missing[*]}"
$sudo_cmd apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo_cmd apt-get install -y -qq "${missing[@]}" >/dev/null
