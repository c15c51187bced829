#!/usr/bin/env bash
# Checks of how scripts/wine-desk.sh talks to its driver, with a stand-in for
# `wine driver.exe serve` that speaks the driver's protocol: answers reach the
# caller whole, however it reads them, and a driver that dies is reported as
# such, by every later call too, and never started again.
set -uo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
# shellcheck source=checks.sh
source "$here/checks.sh"

mkdir -p "$work/bin"
# The stand-in driver: "lines N" answers N lines, "say" a problem with status
# 1, "args" its words one a line, "die" ends the process without an answer.
# Every start is counted.
cat >"$work/bin/wine" <<FAKE
#!/usr/bin/env bash
echo start >>"$work/starts"
echo "wine: a word of Wine's own" >&2
while IFS= read -r line; do
  words=()
  while [[ \$line == *\$'\\t'* ]]; do
    words+=("\${line%%\$'\\t'*}")
    line=\${line#*\$'\\t'}
  done
  words+=("\$line")
  case \${words[0]} in
  lines) for ((i = 1; i <= words[1]; i++)); do echo "line \$i"; done; printf '\\x1e0\\n' ;;
  say) printf '\\x1f%s\\n' "driver: no such window" && printf '\\x1e1\\n' ;;
  args) printf '%s\\n' "\${words[@]:1}" && printf '\\x1e0\\n' ;;
  die) exit 3 ;;
  esac
done
FAKE
chmod +x "$work/bin/wine"
touch "$work/pellux.exe" "$work/driver.exe"

# scenario <body>: runs a scenario of that body in a session stand-in; its
# output and messages go to $work/out.
scenario() {
  : >"$work/starts"
  (
    cd "$work" || exit 2
    PATH="$work/bin:$PATH" WINE_SESSION_ACTIVE=1 WINEPREFIX=$work/prefix \
      PELLUX_EXE=$work/pellux.exe E2E_DRIVER=$work/driver.exe E2E_ARTIFACTS="" \
      bash -c "source '$here/../e2e/lib.sh'; e2e_begin; $1" scenario
  ) >"$work/out" 2>&1
}
out_is() { # out_is <want>: the output, with the driver's pid as N
  local got
  got=$(sed -E 's/pid [0-9]+/pid N/g' "$work/out")
  [[ $got == "$1" ]] || { printf 'got:\n%s\n' "$got"; return 1; }
}
starts_are() { [[ $(wc -l <"$work/starts") == "$1" ]]; }

scenario 'driver lines 2; driver args "a b" "" "Pellux: 10.0.0.1"; pass'
check "answers come whole, words with spaces and empty ones kept" out_is "line 1
line 2
a b

Pellux: 10.0.0.1
PASS scenario"

scenario 'driver lines 3 | head -1; driver lines 1; x=$(driver say) || echo "status $?"; pass'
check "a reader that stops early leaves nothing for the next call, problems go with their answer" \
  out_is "line 1
line 1
driver: no such window
status 1
PASS scenario"
check "one driver serves the whole scenario" starts_are 1

scenario 'driver lines 1; x=$(driver die) || true; driver lines 1 || fail "no lines"'
died="the test driver (wine driver.exe serve, pid N) ended during \"die\"; Wine said: wine: a word of Wine's own"
check "a driver that dies is reported as such, and the failure it causes as its consequence" \
  out_is "line 1
driver die: $died
driver lines: $died
FAIL scenario: $died with status 3 (and so: no lines)"
check "and is never started again" starts_are 1

scenario 'driver args "a	b" || echo "status $?"; pass'
check "a word with a tab is refused" out_is "driver args: an argument holds a tab or a line break
status 2
PASS scenario"

((failures == 0))
