#!/usr/bin/env bash
# Installs what is missing, builds qZ (Release) and starts it on the current display.
set -euo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
"$root/scripts/install-deps.sh"
"$root/scripts/build.sh" release Release
exec "$root/build/release/qZ"
