# What the script checks share: a work folder of their own, removed when the
# check ends, and `check <what> <command...>`, which runs one check, says how
# it went and counts the failures; a check script ends with
# ((failures == 0)).
work=$(mktemp -d "${TMPDIR:-/tmp}/${0##*/}.XXXXXX")
trap 'rm -rf "$work"' EXIT
failures=0
check() {
  local what=$1
  shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
