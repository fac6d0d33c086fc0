#!/usr/bin/env bash
# Builds qZ in build/<name> with the given build type and extra CMake options:
#   scripts/build.sh release Release
#   scripts/build.sh asan RelWithDebInfo -DQZ_SANITIZE=ON
# QZ_BUILD_JOBS sets how many compilers run at once (all cores by default).
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
name="$1"; type="$2"; shift 2
cmake -S "$root" -B "$root/build/$name" -G Ninja -DCMAKE_BUILD_TYPE="$type" "$@" >/dev/null
cmake --build "$root/build/$name" --parallel "${QZ_BUILD_JOBS:-$(nproc)}"
