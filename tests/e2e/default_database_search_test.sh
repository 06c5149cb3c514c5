# The default word database that the build makes, in a package of the test's own: c-t
# lists cat among its rows. WordNet also has CAT, next to cat in the database's order; the
# word merge ignores letter case, so the two make one row, shown as the first spelled.
source "$(dirname "$0")/lib.sh"
[ -s "$LEXIVANE_BUILD/Lexivane/LexivaneDB" ] || e2e_fail "build the target lexivane_word_database first"
e2e_start_display
folder=$(e2e_make_package)
cp "$LEXIVANE_BUILD/Lexivane/LexivaneDB" "$folder/LexivaneDB"

e2e_start_program "$folder"
e2e_type "$E2E_MAIN" "c-t"
e2e_key "$E2E_MAIN" Return ctrl+l
# The header's own second \r starts the first row.
copied_list() {
  clip=$(e2e_clipboard | tr '[:upper:]' '[:lower:]')
  case "$clip" in " s i m i l a r w o r d s t o c - t \r"*"\r c a t \r"*) ;; *) return 1 ;; esac
}
e2e_until copied_list || e2e_fail "no list with cat on the clipboard: $clip"
e2e_quit "$E2E_MAIN"
e2e_pass
