# A package whose word database is missing, is no database or cannot be read: the failure message
# shows, Return dismisses it, the program ends with status 0, and the folder beside the
# package is left as it was (no database created, the bad file unchanged). A start-up
# that fails before the main window exists shows its message and ends the program with
# a failure status.
source "$(dirname "$0")/lib.sh"
e2e_start_display
folder=$(e2e_make_package)

run_without_database() {
  local case=$1 before box status
  before=$(cd "$folder" && find . -type f -exec sha256sum {} + | sort)
  e2e_launch "$folder"
  box=$(e2e_wait_window "Rivivuzad" small)
  xdotool windowfocus --sync "$box" key Return
  e2e_wait_exit
  [ "$E2E_EXIT_STATUS" = 0 ] || e2e_fail "$case: exit status $E2E_EXIT_STATUS"
  [ "$(cd "$folder" && find . -type f -exec sha256sum {} + | sort)" = "$before" ] \
    || e2e_fail "$case: files beside the package changed"
}

run_without_database "missing"
[ ! -e "$folder/LexivaneDB" ] || e2e_fail "a word database was created"

head -c 8192 /dev/urandom > "$folder/LexivaneDB"
run_without_database "random bytes"

# A FIFO where SQLite keeps its log: never opened, so the start neither blocks nor reads the
# file without its log.
e2e_make_database "$folder/LexivaneDB" "1|cat|noun|a small feline"
mkfifo "$folder/LexivaneDB-wal"
run_without_database "a FIFO as the log"
rm "$folder/LexivaneDB-wal"

# An SQLite library older than the program needs; the sanitizers' runtime then no longer
# comes first among the libraries, which is as intended here.
e2e_make_database "$folder/LexivaneDB" "1|cat|noun|a small feline"
LD_PRELOAD=$LEXIVANE_OLD_ENGINE ASAN_OPTIONS="${ASAN_OPTIONS:-}:verify_asan_link_order=0" e2e_launch "$folder"
box=$(e2e_wait_window "Rivivuzad" small)
grep -q "3.7.17" "$E2E_TMP/program.log" || e2e_fail "no word of the engine's version: $(cat "$E2E_TMP/program.log")"
xdotool windowfocus --sync "$box" key Return
e2e_wait_exit
[ "$E2E_EXIT_STATUS" = 1 ] || e2e_fail "a failed start-up ends with status $E2E_EXIT_STATUS"
e2e_pass
