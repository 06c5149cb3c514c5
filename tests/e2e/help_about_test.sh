# Help and about as a user reaches them: Options > Help clicked in the main window's menu
# bar opens the help window; File > about clicked in the help window's own menu bar opens
# the about window, whose "GoTo WebSite" hands the maker's address to the desktop.
source "$(dirname "$0")/lib.sh"

# The menu titles of a window's menu bar, found on screen: prints "LEFT RIGHT" of each
# title, left to right (columns of dark pixels in the bar, gaps of more than 6 pixels
# between titles).
menu_titles() {
  local id=$1 menu_height=$2 shot="$E2E_TMP/menubar.png"
  read -r w _ x y <<< "$(e2e_geometry "$id")"
  e2e_screenshot "$shot"
  convert "$shot" -crop "${w}x$((menu_height - 4))+${x}+$((y + 2))" +repage -colorspace gray \
      -threshold 60% -negate -scale "${w}x1!" -depth 8 txt:- \
    | awk -F'[,: ]+' 'NR > 1 { print $1, ($0 ~ /gray\(0\)/) ? 0 : 1 }' \
    | awk '$2 == 1 { if (!on) { start = $1; on = 1 } last = $1; next }
           on && $1 - last > 6 { print start, last; on = 0 }
           END { if (on) print start, last }'
}

visible_windows() { xdotool search --onlyvisible --name '.*' 2>/dev/null | sort; }

new_windows() { comm -13 <(echo "$1") <(visible_windows) | head -n1 | grep .; }

# Clicks the n-th menu title (from 1) of a window and prints the id of the menu that drops
# down: the window that was not there before the click. The bar is read once it shows
# all three titles (a busy program may not have painted it yet).
open_menu() {
  local id=$1 menu_height=$2 n=$3 before left right
  e2e_until eval '[ "$(menu_titles "$id" "$menu_height" | wc -l)" = 3 ]' || e2e_fail "the menu bar shows no three titles"
  read -r left right <<< "$(menu_titles "$id" "$menu_height" | sed -n "${n}p")"
  before=$(visible_windows)
  read -r _ _ x y <<< "$(e2e_geometry "$id")"
  xdotool mousemove --sync $((x + (left + right) / 2)) $((y + menu_height / 2)) click 1
  e2e_until new_windows "$before" > /dev/null || e2e_fail "menu $n did not drop down"
  new_windows "$before"
}

e2e_start_display
log="$E2E_TMP/https.log"
e2e_register_url_handler https "$log"
folder=$(e2e_make_package)
e2e_make_database "$folder/LexivaneDB" "1|cat|noun|a small feline" "2|cot|noun|a small bed"
e2e_start_program "$folder"

# Options (the third title) > Help (its last item).
menu=$(open_menu "$E2E_MAIN" "$E2E_MENU_HEIGHT" 3)
read -r mw mh mx my <<< "$(e2e_geometry "$menu")"
xdotool mousemove --sync $((mx + 20)) $((my + mh - 10)) click 1
help=$(e2e_wait_window "Rivivuzad Help" small)
read -r hw hh _ <<< "$(e2e_geometry "$help")"
[ "$hw" = 428 ] || e2e_fail "help window width $hw"
help_menu=$((hh - 411))
[ "$help_menu" -gt 10 ] && [ "$help_menu" -lt 60 ] || e2e_fail "help window height $hh"

# File (the first title) > about (its first item), from the help window in front.
menu=$(open_menu "$help" "$help_menu" 1)
read -r _ _ mx my <<< "$(e2e_geometry "$menu")"
xdotool mousemove --sync $((mx + 20)) $((my + 10)) click 1
about=$(e2e_wait_window "About Rivivuzad" small)
read -r aw ah _ <<< "$(e2e_geometry "$about")"
[ "$aw" = 324 ] || e2e_fail "about window width $aw"

# "GoTo WebSite" at content (41, 125), 116 x 20: click its middle.
E2E_MENU_HEIGHT=$((ah - 236))
e2e_click "$about" $((41 + 58)) $((125 + 10))
e2e_wait_file_content "$log" "https://example.org/lexivane"
# The about window stays open, and so does the help window.
xdotool search --onlyvisible --name '^About Rivivuzad$' > /dev/null || e2e_fail "the about window closed"
xdotool search --onlyvisible --name '^Rivivuzad Help$' > /dev/null || e2e_fail "the help window closed"
kill -0 "$E2E_APP_PID" || e2e_fail "the program ended"

# Both can be closed from their title bars; the main window cannot.
e2e_has_close_box "$help" || e2e_fail "the help window has no close box"
e2e_has_close_box "$about" || e2e_fail "the about window has no close box"
! e2e_has_close_box "$E2E_MAIN" || e2e_fail "the main window has a close box"

# Quitting from the about window ends the program cleanly with both windows open.
e2e_quit "$about"
e2e_pass
