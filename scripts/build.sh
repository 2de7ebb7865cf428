#!/usr/bin/env bash
# Configures and builds one configuration: build.sh <build-dir> [extra cmake args...]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
dir="$1"; shift

launcher=()
if command -v ccache >/dev/null 2>&1; then
  export CCACHE_BASEDIR="$root"
  # Objects carry line tables; without the working folder in the hash a second clone reuses them.
  export CCACHE_NOHASHDIR="${CCACHE_NOHASHDIR:-true}"
  # Lets ccache reuse objects built with the tests' precompiled header.
  export CCACHE_SLOPPINESS="${CCACHE_SLOPPINESS:-pch_defines,time_macros,include_file_mtime,include_file_ctime}"
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
fi
werror=OFF
[[ "${CI:-}" == "true" ]] && werror=ON

cmake -S "$root" -B "$dir" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTRILLOT_WERROR="$werror" "${launcher[@]}" "$@" >/dev/null
cmake --build "$dir" -j "${TRILLOT_JOBS:-$(nproc)}"
