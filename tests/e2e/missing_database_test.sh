# A package whose word database is missing or is no database: the failure message
# shows, Return dismisses it, the program ends with status 0, and the folder beside the
# package is left as it was (no database created, the bad file unchanged).
source "$(dirname "$0")/lib.sh"
e2e_start_display
folder=$(e2e_make_package)

run_without_database() {
  local case=$1 before box status
  before=$(cd "$folder" && find . -type f -exec sha256sum {} + | sort)
  e2e_launch "$folder"
  box=$(e2e_wait_window "Rivivuzad")
  e2e_wait_size "$box" small
  read -r width _ <<< "$(e2e_geometry "$box")"
  [ "$width" -lt 600 ] || e2e_fail "$case: no message box in front"
  xdotool windowfocus --sync "$box" key Return
  status=$(e2e_wait_exit)
  [ "$status" = 0 ] || e2e_fail "$case: exit status $status"
  [ "$(cd "$folder" && find . -type f -exec sha256sum {} + | sort)" = "$before" ] \
    || e2e_fail "$case: files beside the package changed"
}

run_without_database "missing"
[ ! -e "$folder/LexivaneDB" ] || e2e_fail "a word database was created"

head -c 8192 /dev/urandom > "$folder/LexivaneDB"
run_without_database "random bytes"
e2e_pass
