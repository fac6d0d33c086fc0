#!/usr/bin/env bash
# Installs every Debian package qZ needs to build, run and test (scripts/packages.txt), as root or
# through sudo. Packages already present are left alone.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"

mapfile -t wanted < <(grep -vE '^\s*(#|$)' "$here/packages.txt")
missing=()
for package in "${wanted[@]}"; do
    if ! dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q "install ok installed"; then
        missing+=("$package")
    fi
done
[ ${#missing[@]} -eq 0 ] && exit 0

as_root=()
[ "$(id -u)" -eq 0 ] || as_root=(sudo)

echo "Installing: ${missing[*]}"
# jackd2 asks whether to enable real-time scheduling; the dummy server used in tests needs none.
echo "jackd2 jackd/tweak_rt_limits boolean false" | "${as_root[@]}" debconf-set-selections
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
