# A search as the user makes it: the start message answered, c-t typed into the search
# field, Return pressed, and the list copied with Ctrl+L; the clipboard is read from
# outside the program, byte for byte. A program that owns the clipboard and never answers
# holds up no key and no menu.
source "$(dirname "$0")/lib.sh"

e2e_start_display
folder=$(e2e_make_package)
e2e_make_database "$folder/LexivaneDB" \
  "4|cat|noun|a small feline" "5|cat|verb|to hoist an anchor" "9|cot|noun|a small bed" \
  "11|cats|noun|more than one cat" "12|dog|noun|a canine" "13|c'et|contraction of|none"
before=$(sha256sum < "$folder/LexivaneDB")

e2e_start_program "$folder"
# The search field has the focus: typing goes straight into it.
e2e_type "$E2E_MAIN" "c-t"
e2e_key "$E2E_MAIN" Return
e2e_key "$E2E_MAIN" ctrl+l
e2e_wait_clipboard 'similar words to c-t\r\rcat\rcot\r'

# Another program takes the clipboard and stops answering. A menu opened by its key,
# Select All, typing over the selection and Copy List still go through.
printf 'held' | xclip -quiet -selection clipboard -i 2> /dev/null &
holder=$!
E2E_PIDS+=("$holder")
e2e_until e2e_clipboard_is 'held' || e2e_fail "the other program did not take the clipboard"
kill -STOP "$holder"
windows=$(xdotool search --onlyvisible --name '.*' | sort)
e2e_key "$E2E_MAIN" alt+e
new_window() { [ -n "$(comm -13 <(echo "$windows") <(xdotool search --onlyvisible --name '.*' | sort))" ]; }
e2e_until new_window || e2e_fail "the Edit menu did not open"
# Escape closes the menu (again, should the menu have opened only after the first one), and
# one more leaves the menu bar.
menu_closed() { e2e_key "$E2E_MAIN" Escape; ! new_window; }
e2e_until menu_closed || e2e_fail "the Edit menu did not close"
e2e_key "$E2E_MAIN" Escape ctrl+a
e2e_type "$E2E_MAIN" "c-t"
e2e_key "$E2E_MAIN" Return ctrl+l
e2e_wait_clipboard 'similar words to c-t\r\rcat\rcot\r'
{ kill -KILL "$holder" && wait "$holder"; } 2> /dev/null || true

e2e_quit "$E2E_MAIN"
[ "$(sha256sum < "$folder/LexivaneDB")" = "$before" ] || e2e_fail "the word database changed"
e2e_pass
