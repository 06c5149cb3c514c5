# What a screen reader finds of the main window on the desktop's accessibility bus: every
# control by the words a sighted user reads, the count label by the number it shows after a
# search, and none by its internal name. The program runs on a private session bus with an
# accessibility bus of its own.
if [ -z "${E2E_SESSION_BUS:-}" ]; then
  exec env E2E_SESSION_BUS=1 dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

tree="$E2E_TMP/tree"

# Starts the accessibility bus and waits until it answers: the session bus starts its launcher
# at the first request, with the test's own display and runtime folder, so that the bus's
# socket is the test's own and no other test's bus answers for it.
start_accessibility_bus() {
  local i
  dbus-update-activation-environment DISPLAY XDG_RUNTIME_DIR
  for i in $(seq 1 300); do
    dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress \
      > /dev/null 2>&1 && return 0
    sleep 0.1
  done
  e2e_fail "the accessibility bus did not start"
}

# Waits until the program's tree on the bus holds this line (role|name|description).
wait_tree_line() {
  local line=$1 i
  for i in $(seq 1 300); do
    if timeout 60 /usr/bin/python3 "$(dirname "$0")/atspi_tree.py" "$E2E_APP_PID" > "$tree" 2> "$E2E_TMP/reader.log" \
       && sed 's/^ *//' "$tree" | grep -qxF -- "$line"; then
      return 0
    fi
    sleep 0.1
  done
  e2e_fail "no '$line' on the accessibility bus; it holds: $(cat "$tree") $(cat "$E2E_TMP/reader.log")"
}

e2e_start_display
start_accessibility_bus
folder=$(e2e_make_package)
e2e_make_database "$folder/LexivaneDB" \
  "1|cat|noun|a small feline" "2|cot|noun|a small bed" "3|cut|verb|to divide" "4|dog|noun|a canine"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
e2e_start_program "$folder"
wait_tree_line "label|0|number of words"
e2e_type "$E2E_MAIN" "c-t"
e2e_key "$E2E_MAIN" Return
wait_tree_line "label|3|number of words"

for line in "list|Words|" "list item|cot|" "text|Search|" "text|Definitions|" "label|Search|" \
            "push button|do|" "label|( a minus sign \"-\" searches for letter)|" \
            "check box|Always open Dictionary on selected word|" "check box|Speak|"; do
  sed 's/^ *//' "$tree" | grep -qxF -- "$line" || e2e_fail "no '$line' in: $(cat "$tree")"
done
internal=$(grep -E 'Listbox1|EFfindword|EFdefinition|StaticText|PushButton|CheckBox' "$tree" || true)
[ -z "$internal" ] || e2e_fail "internal names on the bus: $internal"

e2e_key "$E2E_MAIN" ctrl+q
status=$(e2e_wait_exit)
[ "$status" = 0 ] || e2e_fail "exit status $status"
e2e_pass
