# Starts the built package as a user would: the start message, the main window with its
# content area of 600 x 400 under the menu bar, and Ctrl+Q ending with status 0.
source "$(dirname "$0")/lib.sh"
e2e_start_display
folder=$(e2e_make_package)
e2e_make_database "$folder/LexivaneDB" "1|cat|noun|a small feline"

e2e_start_program "$folder"
read -r width height _ <<< "$(e2e_geometry "$E2E_MAIN")"
[ "$width" = 600 ] || e2e_fail "main window width $width"
[ "$E2E_MENU_HEIGHT" -gt 10 ] && [ "$E2E_MENU_HEIGHT" -lt 60 ] || e2e_fail "menu bar height $E2E_MENU_HEIGHT"

e2e_quit "$E2E_MAIN"
e2e_pass
