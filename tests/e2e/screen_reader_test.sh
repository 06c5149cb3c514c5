# What a screen reader finds of the program on the desktop's accessibility bus: every control
# of the main window by the words a sighted user reads, the count label by the number it shows
# after a search, none by its internal name; and each scored row of a definition test said to
# be right or wrong. The program runs on a private session bus with an accessibility bus of
# its own.
E2E_ACCESSIBLE=1 source "$(dirname "$0")/lib.sh"

e2e_start_display
folder=$(e2e_make_package)
e2e_make_database "$folder/LexivaneDB" \
  "1|cat|noun|a small feline" "2|cot|noun|a small bed" "3|cut|verb|to divide" "4|dog|noun|a canine"

e2e_start_program "$folder"
e2e_wait_tree_lines 'label\|0\|number of words' 1
e2e_type "$E2E_MAIN" "c-t"
e2e_key "$E2E_MAIN" Return
e2e_wait_tree_lines 'label\|3\|number of words' 1

for line in "list|Words|" "list item|cot|" "text|Search|" "text|Definitions|" "label|Search|" \
            "push button|do|" "label|( a minus sign \"-\" searches for letter)|" \
            "check box|Always open Dictionary on selected word|" "check box|Speak|"; do
  sed 's/^ *//' "$E2E_TREE" | grep -qxF -- "$line" || e2e_fail "no '$line' in: $(cat "$E2E_TREE")"
done
internal=$(grep -E 'Listbox1|EFfindword|EFdefinition|StaticText|PushButton|CheckBox' "$E2E_TREE" || true)
[ -z "$internal" ] || e2e_fail "internal names on the bus: $internal"

# A test of the three words, scored at once: every row says what its colour shows.
e2e_key "$E2E_MAIN" ctrl+d
test_window=$(e2e_wait_window "Click & Drag Definitions to match Words")
e2e_wait_tree_lines 'list item\|(a small feline|a small bed|to divide)\|' 3
e2e_click "$test_window" 236 278
e2e_wait_tree_lines 'list item\|(a small feline|a small bed|to divide)\|(right|wrong)' 3
# Three definitions shuffled are never one wrong alone.
[ "$(sed 's/^ *//' "$E2E_TREE" | grep -cE '^list item\|.*\|wrong$')" != 1 ] || e2e_fail "one wrong row: $(cat "$E2E_TREE")"
e2e_pass
