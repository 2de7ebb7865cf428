#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those not yet installed.
# "deps.sh fuzz" adds clang with its libFuzzer runtime, which only scripts/fuzz needs.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev ccache
          qt6-base-dev qt6-qpa-plugins fonts-dejavu-core)
if [[ "${1:-}" == "fuzz" ]]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
  echo "Installing: ${missing[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq "${missing[@]}"
fi
