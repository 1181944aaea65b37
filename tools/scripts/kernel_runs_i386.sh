#!/usr/bin/env bash
# Whether this kernel runs i386 Linux programs, as Wine's 32-bit loader is one: some kernels are
# built or booted without the 32-bit emulation, and no package can change that. Runs a 94-byte
# i386 program that only exits with code 42, so nothing but the kernel is asked.
# Exit code: 0 it runs them, 1 it cannot ("Exec format error"), 2 the probe could not tell.
set -uo pipefail

dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
probe=$dir/exit42
# ELF header (32-bit, little-endian, executable, i386, entry 0x08048054), one loadable segment of
# the whole file at 0x08048000, then: xor eax,eax; inc eax; mov ebx,42; int 0x80 (exit(42)).
printf '%b' \
    '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
    '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
    '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00\x00\x00\x00\x00' \
    '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
    '\x5e\x00\x00\x00\x5e\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
    '\x31\xc0\x40\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
chmod +x "$probe"

# The shell's own message names the kernel's refusal; in the C locale so it can be read.
said=$(LC_ALL=C "$probe" 2>&1)
status=$?
[ "$status" -eq 42 ] && exit 0
grep -q 'Exec format error' <<<"$said" && exit 1
exit 2
