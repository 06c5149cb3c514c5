# With "Always open Dictionary on selected word" ticked, a click on a word hands
# dict:///<word> to the desktop's dictionary handler. A word with characters that mean
# something to a shell or in an address reaches the handler percent-encoded, as nothing
# but the word.
source "$(dirname "$0")/lib.sh"
e2e_start_display
folder=$(e2e_make_package)
e2e_make_database "$folder/LexivaneDB" \
  "1|cat|noun|a small feline" "2|cat|verb|to vomit" "3|cot|noun|a small bed" \
  "4|cut|verb|to divide" "5|dog|noun|a domestic canine" "6|a b\$(c);d&'e#f?g%h/é~-._|noun|odd"
log="$E2E_TMP/dict.log"
: > "$log"
e2e_register_url_handler dict "$log"

e2e_start_program "$folder"
e2e_type "$E2E_MAIN" "c-t"
e2e_key "$E2E_MAIN" Return

e2e_click "$E2E_MAIN" $((355 + 10)) $((123 + 16))
# The first row, cat, at the top of the list.
e2e_click "$E2E_MAIN" 40 10

e2e_wait_file_content "$log" "dict:///cat"

# The odd word is the only one of 24 characters.
e2e_click "$E2E_MAIN" $((365 + 100)) $((53 + 12))
e2e_key "$E2E_MAIN" ctrl+a
e2e_type "$E2E_MAIN" "------------------------"
e2e_key "$E2E_MAIN" Return
e2e_click "$E2E_MAIN" 40 10
e2e_wait_file_content "$log" "$(printf 'dict:///cat\ndict:///a%%20b%%24%%28c%%29%%3Bd%%26%%27e%%23f%%3Fg%%25h%%2F%%C3%%A9~-._')"

e2e_quit "$E2E_MAIN"
e2e_pass
