# Another program changes the word database while the program runs. Each search lists what
# SQLite's own read-only connection lists at that moment, after a compaction too; while the
# other program holds the file locked for writing, a search says so with SQLite's words and
# leaves the list as it was; once it commits, the next search lists its change. The message
# is read as a screen reader reads it, on a private accessibility bus.
E2E_ACCESSIBLE=1 source "$(dirname "$0")/lib.sh"
e2e_start_display
folder=$(e2e_make_package)
db="$folder/LexivaneDB"
e2e_make_database "$db" "1|cat|noun|a small feline" "2|cot|noun|a small bed" "3|dog|noun|a canine"
# Pages of another table, so that compacting the file moves the words' pages.
sqlite3 "$db" "CREATE TABLE filler (b); INSERT INTO filler SELECT randomblob(3000) FROM thewords, thewords, thewords;"

search() {
  e2e_key "$E2E_MAIN" ctrl+a
  e2e_type "$E2E_MAIN" "c-t"
  e2e_key "$E2E_MAIN" Return
}
# Copies the list and waits until it holds what SQLite's own read-only connection lists.
wait_list_as_engine() {
  local words
  words=$(sqlite3 -readonly "$db" "SELECT word FROM thewords WHERE word LIKE 'c_t'" | tr '\n' '\r')
  [ -n "$words" ] || e2e_fail "SQLite lists no words"
  e2e_clear_clipboard
  e2e_key "$E2E_MAIN" ctrl+l
  e2e_wait_clipboard "similar words to c-t\r\r$words"
}

e2e_start_program "$folder"
search
wait_list_as_engine

sqlite3 "$db" "INSERT INTO thewords VALUES (4, 'cut', 'verb', 'to divide'); DELETE FROM thewords WHERE id = 1;
               DELETE FROM filler; VACUUM;"
search
wait_list_as_engine   # cot, cut

# A writer that holds the file locked for writing, fed through a FIFO so that it waits.
mkfifo "$E2E_TMP/writer-in"
sqlite3 "$db" < "$E2E_TMP/writer-in" > "$E2E_TMP/writer.log" 2>&1 &
E2E_PIDS+=($!)
exec 9> "$E2E_TMP/writer-in"
printf '%s\n' ".timeout 60000" "BEGIN EXCLUSIVE; UPDATE thewords SET word = 'cit' WHERE id = 2;" >&9
locked() { ! sqlite3 -readonly "$db" "SELECT count(*) FROM thewords" > /dev/null 2>&1; }
e2e_until locked || e2e_fail "the writer did not lock the file: $(cat "$E2E_TMP/writer.log")"
search
box=$(e2e_wait_window "Rivivuzad" small)
e2e_wait_tree_lines 'label\|database is locked\|' 1
xdotool windowfocus --sync "$box" key Return
box_gone() { ! e2e_find_window "Rivivuzad" small > /dev/null; }
e2e_until box_gone || e2e_fail "the message did not close"
echo "COMMIT;" >&9
e2e_until eval '! locked' || e2e_fail "the writer did not commit"
# The list as it was before the failed search; the next search lists the commit.
e2e_clear_clipboard
e2e_key "$E2E_MAIN" ctrl+l
e2e_wait_clipboard 'similar words to c-t\r\rcot\rcut\r'
search
wait_list_as_engine   # cit, cut
exec 9>&-

e2e_quit "$E2E_MAIN"
e2e_pass
