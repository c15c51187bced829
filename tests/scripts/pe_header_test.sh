#!/usr/bin/env bash
# Checks that a Windows executable's header says nothing of when it was
# built: no link time, and a checksum that follows from its bytes alone.
# Usage: pe_header_test.sh <objdump> <exe>
set -euo pipefail
objdump=$1 exe=$2
fail() {
  echo "FAIL: $*"
  exit 1
}

header=$("$objdump" -p "$exe")
stamp=$(sed -n 's/^Time\/Date[[:space:]]*//p' <<<"$header")
[[ $stamp == "Thu Jan  1 00:00:00 1970" ]] || fail "the header holds a link time: $stamp"
stated=$(sed -n 's/^CheckSum[[:space:]]*//p' <<<"$header")

# The checksum Windows computes: the file's 16-bit words summed with the
# carries folded back in, the checksum field itself taken as 0, plus the
# file's length. The field lies 64 bytes into the optional header, which
# follows the 4-byte signature and the 20-byte file header.
pe=$(od -An -v -j 60 -N 4 -tu4 "$exe" | tr -d ' ')
field=$((pe + 4 + 20 + 64))
size=$(stat -c %s "$exe")
computed=$(od -An -v -tu2 -w2 "$exe" | awk -v skip=$((field / 2)) -v size="$size" '
  NR - 1 != skip && NR - 1 != skip + 1 { sum += $1; sum = (sum % 65536) + int(sum / 65536) }
  END { printf "%08x\n", sum + size }')
[[ $computed == "$stated" ]] || fail "the header's checksum is $stated, its bytes give $computed"
echo "PASS: $(basename "$exe") has no link time and checksum $stated"
