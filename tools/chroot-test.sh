#!/usr/bin/env bash
# Runs tools/test.sh in a Debian 13 (trixie) chroot, as root: the suite on the newer Qt,
# PipeWire, WirePlumber, PulseAudio and GCC than the machine's own Debian 12 has.
# Usage: tools/chroot-test.sh
#
# The chroot is made once with debootstrap from the Debian archive apt uses here and kept in
# $VANTORELLE_CHROOT_CACHE (default /var/cache/vantorelle-trixie), with its downloaded packages,
# its build folder and its compiler cache, so a later run only builds what changed. Remove that
# folder to make the chroot afresh (for the archive's newer packages).
set -euo pipefail
cd "$(dirname "$0")/.."
tree=$PWD
[[ $(id -u) -eq 0 ]] || { echo "$0: run it as root (debootstrap, chroot and mounts need it)" >&2; exit 2; }

cache=${VANTORELLE_CHROOT_CACHE:-/var/cache/vantorelle-trixie}
suite=trixie
root=$cache/root
mkdir -p "$cache"/{debs,archives/partial,ccache,build}

# The first Debian archive (not its security archive) named in apt's sources, in either format.
mirror=$(cat /etc/apt/sources.list /etc/apt/sources.list.d/*.list /etc/apt/sources.list.d/*.sources 2>/dev/null |
  awk '/^deb / { for (i = 2; i <= NF; i++) if ($i !~ /^\[/) { print $i; break } }
       /^URIs:/ { for (i = 2; i <= NF; i++) print $i }' |
  grep -E '/debian/?$' | head -n1 || true)
[[ -n "$mirror" ]] || { echo "$0: no Debian archive in apt's sources" >&2; exit 1; }
mirror=${mirror%/}

# The mounts live in a namespace of their own: whatever happens, none of them outlives the run
# or shows through to the machine's own tree.
if [[ -z "${VANTORELLE_CHROOT_NAMESPACE:-}" ]]; then
  export VANTORELLE_CHROOT_NAMESPACE=1
  exec unshare --mount --propagation private -- "$0" "$@"
fi

tools/deps.sh chroot

if [[ ! -x "$root/usr/bin/apt-get" ]]; then
  # Made aside and moved into place only when complete, so a broken attempt is never reused.
  rm -rf "$root.new"
  debootstrap --variant=minbase --cache-dir="$cache/debs" "$suite" "$root.new" "$mirror"
  printf 'deb %s %s main\ndeb %s %s-updates main\n' "$mirror" "$suite" "$mirror" "$suite" \
    >"$root.new/etc/apt/sources.list"
  # Packages install without starting their services: nothing runs in the chroot but the suite.
  printf '#!/bin/sh\nexit 101\n' >"$root.new/usr/sbin/policy-rc.d"
  chmod +x "$root.new/usr/sbin/policy-rc.d"
  mv "$root.new" "$root"
fi
cp /etc/resolv.conf "$root/etc/resolv.conf"

# Outputs built from another tree may be newer than this tree's files, which ninja would take as
# current: a build from another tree starts afresh, which the compiler cache keeps cheap.
if [[ "$(cat "$cache/build.tree" 2>/dev/null)" != "$tree" ]]; then
  rm -rf "$cache/build"
  mkdir -p "$cache/build"
  echo "$tree" >"$cache/build.tree"
fi

mounted=()
unmount() {
  local i
  for ((i = ${#mounted[@]} - 1; i >= 0; i--)); do
    umount -l "${mounted[i]}" 2>/dev/null || true
  done
}
trap unmount EXIT
bind() { # bind <source> <path in the chroot>
  mkdir -p "$root$2"
  mount --bind "$1" "$root$2"
  mounted+=("$root$2")
}
bind /proc /proc
bind /sys /sys
bind /dev /dev
bind /dev/pts /dev/pts
# Both start empty each run: nothing a killed test left there meets the next run.
for tmpfs in /dev/shm /tmp; do
  mount -t tmpfs -o mode=1777,nosuid,nodev tmpfs "$root$tmpfs"
  mounted+=("$root$tmpfs")
done
bind "$cache/archives" /var/cache/apt/archives
bind "$cache/ccache" /var/cache/ccache
# The tree as it is, with the chroot's own build folder over the tree's build/.
bind "$tree" /src
bind "$cache/build" /src/build

chroot "$root" /usr/bin/env -i HOME=/root LANG=C.UTF-8 TERM="${TERM:-dumb}" \
  PATH=/usr/local/sbin:/usr/local/bin:/usr/sbin:/usr/bin:/sbin:/bin \
  CCACHE_DIR=/var/cache/ccache \
  /bin/bash -c 'cd /src && tools/test.sh'
