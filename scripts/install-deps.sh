#!/usr/bin/env bash
# Installs the Debian packages of the named sections of scripts/packages.txt, as root or through
# sudo; packages already present are left alone.
#   scripts/install-deps.sh run        what building and running qZ needs
#   scripts/install-deps.sh run test   that, and what the tests and benchmarks add
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
[ $# -gt 0 ] || { echo "usage: $0 SECTION..." >&2; exit 2; }

# The packages of the given sections, one a line.
section_packages() {
    awk -v wanted=" $* " '
        /^[[:space:]]*(#|$)/ { next }
        /^\[[a-z]+\]$/ { section = substr($0, 2, length($0) - 2); next }
        index(wanted, " " section " ") { print $1 }
    ' "$here/packages.txt"
}

mapfile -t wanted < <(section_packages "$@")
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
# The JACK server's package asks whether to let every user of the machine schedule in real time.
# That is the system owner's choice: it is answered (no) only when the tests install the server
# themselves, for their dummy device, which needs no real-time scheduling.
for package in "${missing[@]}"; do
    if [ "$package" = jackd2 ]; then
        echo "jackd2 jackd/tweak_rt_limits boolean false" | "${as_root[@]}" debconf-set-selections
    fi
done
"${as_root[@]}" apt-get update
"${as_root[@]}" env DEBIAN_FRONTEND=noninteractive apt-get install -y --no-install-recommends "${missing[@]}"
