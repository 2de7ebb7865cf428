#!/usr/bin/env bash
# Installs the Debian packages the build needs, only those not yet installed.
# "deps.sh fuzz" adds clang with its libFuzzer runtime, which only scripts/fuzz needs.
set -euo pipefail

packages=(cmake ninja-build g++ pkg-config libgtest-dev libgmock-dev googletest libbenchmark-dev ccache
          qt6-base-dev qt6-qpa-plugins fonts-dejavu-core
          # Chinese interface: a compact CJK font and Qt's own translations.
          fonts-wqy-microhei qt6-translations-l10n
          # Independent readers of the Standard MIDI Files the program writes, for the tests.
          midicsv python3-mido)
# MIDI: RtMidi with the JACK development files, and a JACK server with jack_wait for the tests
# (scripts/with-jack). Installed without their recommendations, which pull in a GUI.
midi_packages=(librtmidi-dev libjack-jackd2-dev jackd2)
if [[ "${1:-}" == "fuzz" ]]; then
  packages+=(clang-14 libclang-rt-14-dev)
fi

missing_of() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || echo "$p"
  done
}
mapfile -t missing < <(missing_of "${packages[@]}")
mapfile -t missing_midi < <(missing_of "${midi_packages[@]}")
if ((${#missing[@]} + ${#missing_midi[@]})); then
  echo "Installing: ${missing[*]} ${missing_midi[*]}"
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  if ((${#missing[@]})); then apt-get install -y -qq "${missing[@]}"; fi
  if ((${#missing_midi[@]})); then apt-get install -y -qq --no-install-recommends "${missing_midi[@]}"; fi
fi
