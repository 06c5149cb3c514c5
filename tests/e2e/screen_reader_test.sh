# What a screen reader finds of the program on the desktop's accessibility bus: every control
# of the main window by the words a sighted user reads, the count label by the number it shows
# after a search, none by its internal name; and each scored row of a definition test said to
# be right or wrong. The program runs on a private session bus with an accessibility bus of
# its own.
if [ -z "${E2E_SESSION_BUS:-}" ]; then
  exec env E2E_SESSION_BUS=1 dbus-run-session -- bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"

tree="$E2E_TMP/tree"

# Starts the accessibility bus and waits until it answers: the session bus starts its launcher
# at the first request, with the test's own display and runtime folder, so that the bus's
# socket is the test's own and no other test's bus answers for it.
accessibility_bus_answers() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress > /dev/null 2>&1
}
start_accessibility_bus() {
  dbus-update-activation-environment DISPLAY XDG_RUNTIME_DIR
  e2e_until accessibility_bus_answers || e2e_fail "the accessibility bus did not start"
}

# Reads the program's tree on the bus into $tree, one line per object: role|name|description.
read_tree() {
  timeout 60 /usr/bin/python3 "$(dirname "$0")/atspi_tree.py" "$E2E_APP_PID" > "$tree" 2> "$E2E_TMP/reader.log"
}
tree_holds_lines() { read_tree && [ "$(sed 's/^ *//' "$tree" | grep -cxE -- "$1")" = "$2" ]; }

# Waits until the tree holds COUNT lines (without their indent) that match the pattern.
wait_tree_lines() {
  e2e_until tree_holds_lines "$1" "$2" \
    || e2e_fail "not $2 lines '$1' on the accessibility bus; it holds: $(cat "$tree") $(cat "$E2E_TMP/reader.log")"
}

e2e_start_display
start_accessibility_bus
folder=$(e2e_make_package)
e2e_make_database "$folder/LexivaneDB" \
  "1|cat|noun|a small feline" "2|cot|noun|a small bed" "3|cut|verb|to divide" "4|dog|noun|a canine"

export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
e2e_start_program "$folder"
wait_tree_lines 'label\|0\|number of words' 1
e2e_type "$E2E_MAIN" "c-t"
e2e_key "$E2E_MAIN" Return
wait_tree_lines 'label\|3\|number of words' 1

for line in "list|Words|" "list item|cot|" "text|Search|" "text|Definitions|" "label|Search|" \
            "push button|do|" "label|( a minus sign \"-\" searches for letter)|" \
            "check box|Always open Dictionary on selected word|" "check box|Speak|"; do
  sed 's/^ *//' "$tree" | grep -qxF -- "$line" || e2e_fail "no '$line' in: $(cat "$tree")"
done
internal=$(grep -E 'Listbox1|EFfindword|EFdefinition|StaticText|PushButton|CheckBox' "$tree" || true)
[ -z "$internal" ] || e2e_fail "internal names on the bus: $internal"

# A test of the three words, scored at once: every row says what its colour shows.
e2e_key "$E2E_MAIN" ctrl+d
test_window=$(e2e_wait_window "Click & Drag Definitions to match Words")
wait_tree_lines 'list item\|(a small feline|a small bed|to divide)\|' 3
e2e_click "$test_window" 236 278
wait_tree_lines 'list item\|(a small feline|a small bed|to divide)\|(right|wrong)' 3
# Three definitions shuffled are never one wrong alone.
[ "$(sed 's/^ *//' "$tree" | grep -cE '^list item\|.*\|wrong$')" != 1 ] || e2e_fail "one wrong row: $(cat "$tree")"
e2e_pass
