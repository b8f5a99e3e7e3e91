#!/usr/bin/env bash
# Runs one command in an emulated x86-64 machine (QEMU, software emulation)
# that sees this host's files: on a host whose kernel refuses 32-bit
# programs, the guest's own kernel still runs them, 32-bit Wine included.
#   scripts/vm/run32.sh              the 32-bit program's Wine tests (road32.sh)
#   scripts/vm/run32.sh CMD [ARG..]  any command, as root in the guest
# The guest sees the host's / read-only under a tmpfs layer that is lost at
# power-off; only $BUILD/vm/run/ is written through to the host. Prints the
# command's output as it comes and returns its exit code. The host's TW_*
# variables are set in the guest too.
# TW_VM_TIMEOUT (s, default 1500) ends a guest that hangs; TW_VM_MEMORY
# (default 3G). Software emulation (TCG) only: these hosts have no KVM, and
# where /dev/kvm exists (nested) QEMU 7.2 aborted with -cpu max.
set -euo pipefail
HERE=$(cd "$(dirname "$0")" && pwd)
ROOT=$(cd "$HERE/../.." && pwd)
BUILD=${TW_BUILD:-$ROOT/build}
VM=$BUILD/vm
mkdir -p "$VM"

# Unpacks a Debian package into $1 without installing it: the kernel's own
# install hooks (initramfs, boot loader) must not touch this host.
unpack() {
    local dir=$1 pkg=$2
    # As root, apt fetches as its own user unless told otherwise, and that
    # user may not write here.
    (cd "$dir" && apt-get download -q -o APT::Sandbox::User=root "$pkg" >/dev/null) ||
        { apt-get update -qq && (cd "$dir" && apt-get download -q -o APT::Sandbox::User=root "$pkg" >/dev/null); }
    dpkg-deb -x "$dir/${pkg}"_*.deb "$dir/pkg"
}

# Debian's kernel and an initramfs of busybox, init, and the modules for 9p
# over virtio and for overlay, each after its dependencies. Kept in $VM.
make_boot_files() {
    local tmp=$VM/unpack kernel modules
    rm -rf "$tmp"
    mkdir -p "$tmp"
    kernel=$(apt-cache depends linux-image-amd64 2>/dev/null | sed -n 's/^ *Depends: \(linux-image-.*\)/\1/p' | head -n1)
    [ -n "$kernel" ] || { apt-get update -qq; kernel=$(apt-cache depends linux-image-amd64 | sed -n 's/^ *Depends: \(linux-image-.*\)/\1/p' | head -n1); }
    echo "vm: unpacking $kernel and busybox-static"
    unpack "$tmp" "$kernel"
    unpack "$tmp" busybox-static
    modules=$(echo "$tmp"/pkg/lib/modules/*)
    local tree=$tmp/initramfs
    mkdir -p "$tree"/{bin,dev,proc,sys,newroot,lib/modules}
    cp "$tmp/pkg/bin/busybox" "$tree/bin/"
    cp "$HERE/init" "$tree/init"
    chmod +x "$tree/init"
    # A module's dependencies are in its own "depends=" record (there is no
    # modules.dep: depmod runs at install time).
    add() {
        local path d
        path=$(find "$modules/kernel" \( -name "$1.ko" -o -name "${1//_/-}.ko" \) | head -n1)
        [ -n "$path" ] || { echo "vm: no module $1 in $kernel" >&2; return 1; }
        grep -qx "${path##*/}" "$tree/lib/modules/order" 2>/dev/null && return 0
        for d in $(tr '\0' '\n' <"$path" | sed -n 's/^depends=//p' | tr ',' ' '); do add "$d"; done
        cp "$path" "$tree/lib/modules/"
        echo "${path##*/}" >>"$tree/lib/modules/order"
    }
    for m in virtio_pci 9pnet_virtio 9p overlay; do add "$m"; done
    (cd "$tree" && find . | "$tmp/pkg/bin/busybox" cpio -o -H newc 2>/dev/null | gzip -1 >"$VM/initramfs.gz")
    cp "$tmp"/pkg/boot/vmlinuz-* "$VM/vmlinuz"
    rm -rf "$tmp"
}

if ! command -v qemu-system-x86_64 >/dev/null; then
    echo "vm: installing qemu-system-x86"
    apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends qemu-system-x86 >/dev/null
fi
if [ ! -f "$VM/vmlinuz" ] || [ ! -f "$VM/initramfs.gz" ] ||
    [ "$HERE/init" -nt "$VM/initramfs.gz" ] || [ "$0" -nt "$VM/initramfs.gz" ]; then
    rm -f "$VM/vmlinuz" "$VM/initramfs.gz"
    make_boot_files
fi

# The shared folder: the command to run, then its output and exit code.
# Its path goes on QEMU's and the kernel's command lines as it is.
run=$VM/run
case $ROOT$run in *[[:space:],]*) echo "vm: $ROOT, $run: a space or comma in the path is not supported" >&2; exit 2 ;; esac
rm -rf "$run"
mkdir -p "$run"
road=$((!$#))
((road)) && set -- bash "$HERE/road32.sh"
# The guest starts with an empty environment: the host's TW_* settings go along.
{
    for v in $(compgen -e | grep '^TW_'); do printf 'export %s=%q\n' "$v" "${!v}"; done
    printf 'export TW_VM_SHARE=%q\ncd %q\nexec' "$run" "$PWD"
    printf ' %q' "$@"
    echo
} >"$run/command"
: >"$run/output"

echo "vm: booting (console in $VM/console.log)"
tail -n +1 -f "$run/output" &
tailer=$!
rc=0
timeout "${TW_VM_TIMEOUT:-1500}" qemu-system-x86_64 \
    -accel tcg -cpu max,smap=off -smp 2 -m "${TW_VM_MEMORY:-3G}" \
    -nodefaults -no-user-config -display none -no-reboot \
    -serial "file:$VM/console.log" \
    -kernel "$VM/vmlinuz" -initrd "$VM/initramfs.gz" \
    -append "console=ttyS0 quiet panic=-1 twshare=$run twroot=$ROOT twbuild=$BUILD" \
    -virtfs "local,path=/,mount_tag=hostroot,security_model=none,readonly=on,multidevs=remap" \
    -virtfs "local,path=$run,mount_tag=twshare,security_model=none,multidevs=remap" || rc=$?
sleep 1
kill "$tailer" 2>/dev/null || true
wait "$tailer" 2>/dev/null || true
if [ ! -s "$run/status" ]; then
    ((rc == 124)) && echo "vm: the machine ran past ${TW_VM_TIMEOUT:-1500} s and was stopped"
    echo "vm: no exit code from the machine (qemu: $rc); the console's end:"
    tail -n 20 "$VM/console.log"
    ((road)) && echo "== 32-bit program (dist/tarnwick.exe) in an emulated machine: FAILED (the machine gave no result)"
    exit 125
fi
exit "$(cat "$run/status")"
