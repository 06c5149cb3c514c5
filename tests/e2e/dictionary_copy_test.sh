# With "Always open Dictionary on selected word" ticked, a click on a word hands
# dict:///<word> to the desktop's dictionary handler; Copy List puts the list on the
# X clipboard byte for byte.
source "$(dirname "$0")/lib.sh"
e2e_start_display
folder=$(e2e_make_package)
e2e_make_database "$folder/LexivaneDB" \
  "1|cat|noun|a small feline" "2|cat|verb|to vomit" "3|cot|noun|a small bed" \
  "4|cut|verb|to divide" "5|dog|noun|a domestic canine"
log="$E2E_TMP/dict.log"
: > "$log"
e2e_register_url_handler dict "$log"

e2e_start_program "$folder"
e2e_type "$E2E_MAIN" "c-t"
e2e_key "$E2E_MAIN" Return

e2e_click "$E2E_MAIN" $((355 + 10)) $((123 + 16))
# The first row, cat, at the top of the list.
e2e_click "$E2E_MAIN" 40 10

for i in $(seq 1 100); do
  [ -s "$log" ] && break
  sleep 0.1
done
[ -s "$log" ] || e2e_fail "the dictionary handler got nothing (program log: $(cat "$E2E_TMP/program.log"))"
got=$(cat "$log")
[ "$got" = "dict:///cat" ] || e2e_fail "dictionary address '$got'"

e2e_key "$E2E_MAIN" ctrl+l
printf 'similar words to c-t\r\rcat\rcot\rcut\r' > "$E2E_TMP/expected"
for i in $(seq 1 50); do
  e2e_clipboard_raw > "$E2E_TMP/clipboard" || true
  cmp -s "$E2E_TMP/expected" "$E2E_TMP/clipboard" && break
  sleep 0.1
done
cmp -s "$E2E_TMP/expected" "$E2E_TMP/clipboard" || e2e_fail "clipboard '$(e2e_clipboard)'"

e2e_key "$E2E_MAIN" ctrl+q
status=$(e2e_wait_exit)
[ "$status" = 0 ] || e2e_fail "exit status $status"
e2e_pass
