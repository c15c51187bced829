# shellcheck shell=bash
# host_runs_32bit: true when this host can execute 32-bit x86 code, found out
# by running a 32-bit program (some x86_64 machines, paravirtualised ones
# without ia32 emulation, answer "Exec format error"). It needs nothing
# installed: the program is the smallest static 32-bit Linux executable, made
# here from its bytes, that only exits with status 0. When the host cannot run
# it, the reason is printed on stdout.
#
# PELLUX_HOST_32BIT=no makes any host answer as one that cannot (to exercise
# the 64-bit-only path); PELLUX_HOST_32BIT=yes skips the check.
#
# Meant to be sourced. HOST_32BIT_PROBE, when set, names the program to run
# instead (for tests).
host_runs_32bit() {
  case ${PELLUX_HOST_32BIT:-auto} in
  no)
    echo "PELLUX_HOST_32BIT=no"
    return 1
    ;;
  yes) return 0 ;;
  auto) ;;
  *)
    echo "PELLUX_HOST_32BIT must be yes, no or auto, not '$PELLUX_HOST_32BIT'"
    return 1
    ;;
  esac
  local probe=${HOST_32BIT_PROBE:-} dir="" out rc=0
  if [[ -z $probe ]]; then
    dir=$(mktemp -d "${TMPDIR:-/tmp}/host-32bit.XXXXXX") || return 1
    probe=$dir/exit0
    # ELF header (32-bit, little-endian, i386 executable, entry 0x08048054),
    # one loadable segment of the file's 91 bytes at 0x08048000, then the
    # code: xor ebx,ebx; xor eax,eax; inc eax; int 0x80 (exit(0)).
    printf '%b' \
      '\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00' \
      '\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00' \
      '\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00' \
      '\x00\x00\x00\x00' \
      '\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08\x00\x80\x04\x08' \
      '\x5b\x00\x00\x00\x5b\x00\x00\x00\x05\x00\x00\x00\x00\x10\x00\x00' \
      '\x31\xdb\x31\xc0\x40\xcd\x80' >"$probe" && chmod +x "$probe" || rc=1
  fi
  if ((rc == 0)) && ! out=$("$probe" 2>&1 </dev/null); then
    echo "this host cannot execute 32-bit x86 code: ${out##*: }"
    rc=1
  fi
  [[ -z $dir ]] || rm -rf "$dir"
  return "$rc"
}
