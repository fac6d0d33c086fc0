#!/usr/bin/env bash
# Installs what building and running qZ needs (and nothing of the tests), builds qZ (Release,
# without the tests and benchmarks) and starts it on the current display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh" run
"$root/scripts/build.sh" run Release -DQZ_BUILD_TESTS=OFF -DQZ_BUILD_BENCH=OFF
exec "$root/build/run/qZ"
