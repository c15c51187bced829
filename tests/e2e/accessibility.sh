#!/usr/bin/env bash
# Scenario: both windows as a screen reader and a keyboard user meet them.
# Each window is announced as a dialog and the information window's three
# boxes carry the names "IP address", "Computer name" and "Host name"
# through Active Accessibility's Dynamic Annotation; Tab goes round the
# controls in their order, Enter presses the focused button, and Esc closes
# the information window and means nothing in the configuration window; the
# tray menu's entries are chosen by their underlined letters.
#
# Wine 8.0 does not read these back. Its AccessibleObjectFromWindow gives
# its generic proxies (the windows and buttons as clients, role 10; the boxes
# as editable text, role 42, with an empty name), and its annotation service
# keeps nothing: SetHwndProp, SetHwndPropStr and ClearHwndProps answer
# E_NOTIMPL and the proxies never look for annotations. So each name and
# role is read through oleacc first, as on Windows; where the answer is not
# the expected one, the program runs with Wine's oleacc trace and each
# annotation must have reached the service with the right window, object,
# child, property and value.
# shellcheck source-path=SCRIPTDIR source=lib.sh
source "$(dirname "${BASH_SOURCE[0]}")/lib.sh"
e2e_begin "$@"

# Active Accessibility's identifiers: OBJID_CLIENT as Wine prints it, the
# name and role properties, and the roles of a dialog and of editable text.
OBJID_CLIENT=4294967292
PROPID_ACC_NAME='{608d3df8-8128-4aa7-a428-f55e49267291}'
PROPID_ACC_ROLE='{cb905ff2-7bd1-4c05-b3c8-e6c241364d70}'
ROLE_DIALOG=18
ROLE_TEXT=42

# annotated <hwnd> <property> <value as Wine prints it>: true when the
# program's trace shows that annotation of the window's client area.
annotated() {
  local number
  printf -v number '%x' "$1"
  grep -F "AccPropServices_SetHwndProp" "$DESK_TMP/pellux.log" |
    grep -i -E "\(0*$number $OBJID_CLIENT 0 " | grep -F -i "$2" | grep -q -F "$3"
}

# expect_role_name <window> <ctrl-id|-> <role> <name>: the control (or the
# window's client area) is read as that role and name, through oleacc where
# it answers, else from the annotation the program gave it.
expect_role_name() {
  local window=$1 id=$2 role=$3 name=$4 answer hwnd
  if [[ $id == - ]]; then
    answer=$(driver accessible "$window" 2>/dev/null) || answer=""
    hwnd=$window
  else
    answer=$(driver accessible "$window" "$id" 2>/dev/null) || answer=""
    hwnd=$(driver children "$window" | awk -F '\t' -v id="$id" '$4 == id {print $1; exit}')
  fi
  if [[ $answer == "$role $name" ]]; then
    return
  fi
  if [[ $id == - ]]; then
    annotated "$hwnd" "$PROPID_ACC_ROLE" "$role" ||
      fail "window $window is read as \"$answer\" and was not annotated as a dialog"
  else
    [[ -n $hwnd ]] || fail "no control $id in window $window"
    annotated "$hwnd" "$PROPID_ACC_NAME" "L\"$name\"" ||
      fail "control $id is read as \"$answer\" and was not annotated \"$name\""
  fi
}

# wait_focus <window> <ctrl-id>: waits until that control has the focus.
wait_focus() {
  local deadline=$((SECONDS + E2E_TIMEOUT_MS / 1000)) focus=""
  while ((SECONDS < deadline)); do
    focus=$(driver focus "$1" 2>/dev/null) || focus=""
    [[ $focus == "$2" ]] && return
    sleep 0.05
  done
  fail "the focus is on control \"$focus\", not on $2"
}

address=$(driver resolve) || fail "the driver could not resolve the host name"
set_interval -
WINEDEBUG=-all,fixme+oleacc pellux_start
tray_icon_wait >/dev/null || fail "no tray icon appeared"

tray_click 1 2
window=$(info_wait "$address")
pointer_park
expect_role_name "$window" - "$ROLE_DIALOG" "Pellux: $address"
expect_role_name "$window" "$INFO_ADDRESS" "$ROLE_TEXT" "IP address"
expect_role_name "$window" "$INFO_COMPUTER_NAME" "$ROLE_TEXT" "Computer name"
expect_role_name "$window" "$INFO_HOST_NAME" "$ROLE_TEXT" "Host name"

# Tab goes round the controls in their order, from "Close Window".
for id in "$INFO_CLOSE" "$INFO_COPY_ALL" "$INFO_COPY_IP" "$INFO_HOST_NAME" \
  "$INFO_COMPUTER_NAME" "$INFO_ADDRESS" "$INFO_CLOSE"; do
  wait_focus "$window" "$id"
  driver key "$(driver children "$window" | awk -F '\t' -v id="$id" '$4 == id {print $1; exit}')" \
    TAB >/dev/null || fail "could not press Tab"
done
# Enter presses the focused button: "Copy All Information" after one Tab.
wait_focus "$window" "$INFO_COPY_ALL"
seq=$(driver clip-seq) || fail "no clipboard sequence number"
button=$(driver children "$window" | awk -F '\t' -v id="$INFO_COPY_ALL" '$4 == id {print $1; exit}')
driver key "$button" RETURN >/dev/null || fail "could not press Enter"
driver clip-wait "$seq" "$E2E_TIMEOUT_MS" >/dev/null || fail "Enter did not press \"Copy All Information\""
# Esc closes the window.
driver key "$button" ESCAPE >/dev/null || fail "could not press Esc"
driver wait-gone "$window" "$E2E_TIMEOUT_MS" >/dev/null || fail "Esc did not close the window"

# The menu's entries are chosen by their underlined letters: C for
# "&Configure" here, X for "E&xit" at the end.
menu_letter() {
  local menu
  menu=$(tray_menu_open) || fail "the tray menu did not open"
  driver key "$menu" "$1" >/dev/null || fail "the tray menu closed before a letter was pressed"
  driver wait-gone "$menu" "$E2E_TIMEOUT_MS" >/dev/null || fail "the tray menu stayed open"
}
menu_letter 67
config=$(driver wait-visible PelluxForm "$CONFIG_TITLE" "$E2E_TIMEOUT_MS") ||
  fail "C in the tray menu did not open the configuration window"
expect_role_name "$config" - "$ROLE_DIALOG" "$CONFIG_TITLE"
wait_focus "$config" "$CONFIG_LIST"
list=$(driver children "$config" | awk -F '\t' -v id="$CONFIG_LIST" '$4 == id {print $1; exit}')
# Neither Enter in the list nor Esc does anything here: no button is the
# default or the cancel button. The Tab after them still moves the focus on.
for key in RETURN ESCAPE TAB; do
  driver key "$list" "$key" >/dev/null || fail "could not press $key"
done
wait_focus "$config" "$CONFIG_OK"
! driver reg-get 'Software\Pellux\Options' Interval >/dev/null 2>&1 ||
  fail "Enter in the list stored an interval"
driver close "$config" >/dev/null
driver wait-gone "$config" "$E2E_TIMEOUT_MS" >/dev/null || fail "the configuration window stayed open"

menu_letter 88
pellux_wait_exit && ((PELLUX_STATUS == 0)) || fail "X in the tray menu did not end the program"
pass
