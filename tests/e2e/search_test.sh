# A search as the user makes it: the start message answered, c-t typed into the search
# field, Return pressed, and the list copied with Ctrl+L; the clipboard is read from
# outside the program, byte for byte.
source "$(dirname "$0")/lib.sh"

# Waits until the clipboard holds exactly the bytes of this printf format.
wait_clipboard() {
  local expected i
  expected=$(printf "$1" | od -An -c | tr -s ' ' | tr -d '\n')
  for i in $(seq 1 100); do
    [ "$(e2e_clipboard)" = "$expected" ] && return 0
    sleep 0.1
  done
  e2e_fail "clipboard holds '$(e2e_clipboard)', expected '$expected'"
}

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
wait_clipboard 'similar words to c-t\r\rcat\rcot\r'

# A digit and a space are refused by the search field: three Backspaces empty it.
e2e_type "$E2E_MAIN" "7 "
e2e_key "$E2E_MAIN" BackSpace BackSpace BackSpace d o g Return ctrl+l
wait_clipboard 'similar words to dog\r\rdog\r'

e2e_key "$E2E_MAIN" ctrl+q
status=$(e2e_wait_exit)
[ "$status" = 0 ] || e2e_fail "exit status $status"
[ "$(sha256sum < "$folder/LexivaneDB")" = "$before" ] || e2e_fail "the word database changed"
e2e_pass
