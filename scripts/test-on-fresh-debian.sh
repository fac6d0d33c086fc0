#!/usr/bin/env bash
# Runs the README's test command as a newcomer would: inside a fresh minimal Debian bookworm root
# (debootstrap --variant=minbase: apt and little else), made from this machine's package source,
# on a clone of the committed HEAD. Nothing of this machine's packages, build folders or home
# reaches it. Everything it made (mounts, processes, the root) is removed at the end, also when a
# test fails or the run is cut short; the exit status is the test command's. CI runs this.
#   scripts/test-on-fresh-debian.sh [COMMAND]     as root; COMMAND: "bash scripts/test.sh"
# QZ_FRESH_KEEP=1 keeps the root (and prints where) instead of removing it, for a look inside.
set -uo pipefail
root="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
command_line="${1:-bash scripts/test.sh}"
[ "$(id -u)" -eq 0 ] || { echo "$0: needs root (debootstrap, chroot and mounts)" >&2; exit 2; }

work="$(mktemp -d /var/tmp/qz-fresh.XXXXXX)"
target="$work/root"
started=$SECONDS

# Processes still running inside the root keep its mounts busy: end them first.
end_processes_inside() {
    local signal pid
    for signal in TERM KILL; do
        for pid in $(ls /proc | grep -E '^[0-9]+$'); do
            [ "$(readlink "/proc/$pid/root" 2>/dev/null)" = "$target" ] && kill "-$signal" "$pid" 2>/dev/null
        done
        sleep 1
    done
}

# Unmounts everything below the root, deepest first.
unmount_inside() {
    local mount
    for mount in $(findmnt -rn -o TARGET | grep -F "$target/" | sort -r); do
        umount "$mount" 2>/dev/null || umount -l "$mount" 2>/dev/null
    done
}

clean_up() {
    trap - EXIT INT TERM HUP
    end_processes_inside
    unmount_inside
    if findmnt -rn -o TARGET | grep -qF "$target/"; then
        echo "fresh root: $target still has mounts; left in place" >&2
    elif [ "${QZ_FRESH_KEEP:-0}" = 1 ]; then
        echo "fresh root: kept in $target"
    else
        rm -rf --one-file-system "$work"
    fi
}
trap clean_up EXIT
trap 'exit 130' INT
trap 'exit 143' TERM HUP

# The package source this machine uses (deb822 or one-line form), so that the root gets the same.
mirror="$(awk '/^URIs:/ {print $2; exit}' /etc/apt/sources.list.d/debian.sources 2>/dev/null)"
[ -n "$mirror" ] || mirror="$(awk '$1 == "deb" && $3 ~ /^bookworm/ {print $2; exit}' /etc/apt/sources.list 2>/dev/null)"
[ -n "$mirror" ] || mirror="http://deb.debian.org/debian"

if ! command -v debootstrap >/dev/null; then
    apt-get update -qq && DEBIAN_FRONTEND=noninteractive apt-get install -y -qq debootstrap >/dev/null \
        || { echo "fresh root: could not install debootstrap" >&2; exit 1; }
fi

echo "== Fresh Debian root in $target (from $mirror)"
if ! debootstrap --variant=minbase bookworm "$target" "$mirror" >"$work/debootstrap.log" 2>&1; then
    tail -n 20 "$work/debootstrap.log" >&2
    echo "fresh root: debootstrap failed" >&2
    exit 1
fi
if [ -f /etc/apt/sources.list.d/debian.sources ]; then
    cp /etc/apt/sources.list.d/debian.sources "$target/etc/apt/sources.list.d/"
    rm -f "$target/etc/apt/sources.list"
elif [ -f /etc/apt/sources.list ]; then
    cp /etc/apt/sources.list "$target/etc/apt/sources.list"
fi
cp /etc/resolv.conf "$target/etc/resolv.conf" 2>/dev/null
echo "   made in $((SECONDS - started)) s"

# The committed HEAD only: no work tree changes, no build folders.
git clone -q --no-hardlinks "$root" "$target/root/qz" || { echo "fresh root: git clone failed" >&2; exit 1; }
git -C "$target/root/qz" checkout -q --detach "$(git -C "$root" rev-parse HEAD)" || exit 1

mount -t proc proc "$target/proc" || exit 1
mount --rbind /dev "$target/dev" && mount --make-rslave "$target/dev" || exit 1
mount --rbind /sys "$target/sys" && mount --make-rslave "$target/sys" || exit 1
mount -t tmpfs tmpfs "$target/dev/shm" || exit 1

chroot "$target" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM=dumb \
    PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
    CI="${CI:-}" QZ_FUZZ_SECONDS="${QZ_FUZZ_SECONDS:-60}" \
    bash -c "cd /root/qz && $command_line" </dev/null
status=$?
echo "fresh root: \"$command_line\" ended with status $status after $((SECONDS - started)) s"
exit $status
