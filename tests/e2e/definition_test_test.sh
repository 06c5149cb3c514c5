# A definition test as a user takes it: search three words, open the test with Ctrl+D,
# drag one definition onto another with the mouse (and one out of the window, which
# carries nothing away), tick the answers box, press Done and copy the scored test with
# Ctrl+L.
source "$(dirname "$0")/lib.sh"
e2e_start_display
folder=$(e2e_make_package)
e2e_make_database "$folder/LexivaneDB" \
  "1|ant|noun|a small insect" "2|bee|noun|it makes honey" "3|cat|noun|a small feline"
declare -A number_of=(["a small insect"]=1 ["it makes honey"]=2 ["a small feline"]=3)
words=(ant bee cat)
title="Click & Drag Definitions to match Words"

e2e_start_program "$folder"
e2e_click "$E2E_MAIN" 470 65
e2e_type "$E2E_MAIN" "---"
e2e_key "$E2E_MAIN" Return
e2e_key "$E2E_MAIN" ctrl+d
test_window=$(e2e_wait_window "$title")
read -r width height wx wy <<< "$(e2e_geometry "$test_window")"
[ "$width" = 600 ] || e2e_fail "test window width $width"
e2e_has_close_box "$test_window" || e2e_fail "the test window has no close box"
menu=$(e2e_menu_height "$test_window" 300)

# The definitions in the order the list shows them, read from Copy List.
definitions_now() {
  e2e_clear_clipboard
  e2e_key "$test_window" ctrl+l
  e2e_until copied || e2e_fail "Copy List put nothing on the clipboard"
  e2e_clipboard_raw | tr '\r' '\n' | cut -f2
}
copied() { ! e2e_clipboard_is 'e2e-marker' && ! e2e_clipboard_is ''; }
# Reads the definitions into the named array, in this shell, so that a failure ends the test.
read_definitions() {
  definitions_now > "$E2E_TMP/definitions"
  mapfile -t "$1" < "$E2E_TMP/definitions"
}

read_definitions before
[ "${#before[@]}" = 3 ] || e2e_fail "the test holds ${#before[@]} definitions"
printf '%s\n' "${before[@]}" | sort | cmp -s - <(printf '%s\n' "${!number_of[@]}" | sort) \
  || e2e_fail "the definitions are not the three words' own: ${before[*]}"

# Drag a definition that stands beside another word onto that word's row, so that the
# scored test shows both colours (when the shuffle already put all three right, the
# first is dragged onto the third).
from=0; to=2
for i in 0 1 2; do
  j=$(( ${number_of[${before[$i]}]} - 1 ))
  if [ "$j" != "$i" ]; then from=$i; to=$j; break; fi
done
row_y() { echo $((wy + menu + 1 + $1 * 22 + 11)); }
# Presses at X1 Y1, moves in steps to X2 Y2 and lets go there. Before the last steps the
# program answers a request for the clipboard (it holds the last Copy List), and so has taken
# the moves before it and started the drag: moves that came in before the drag began, all
# at once from a program that was busy, would leave the drop nowhere.
drag_mouse() {
  local x1=$1 y1=$2 x2=$3 y2=$4 step
  xdotool mousemove --sync "$x1" "$y1" mousedown 1
  for step in 1 2 3 4 5 6 7 8; do
    [ "$step" != 7 ] || e2e_clipboard_raw > /dev/null
    xdotool mousemove --sync $((x1 + (x2 - x1) * step / 8)) $((y1 + (y2 - y1) * step / 8 + step % 2))
  done
  xdotool mousemove --sync "$((x2 + 3))" "$y2" mouseup 1
}
x=$((wx + 215 + 120))
drag_mouse "$x" "$(row_y "$from")" "$x" "$(row_y "$to")"

read_definitions after
expected=("${before[@]}")
expected[$from]=${before[$to]}
expected[$to]=${before[$from]}
[ "${after[*]}" = "${expected[*]}" ] || e2e_fail "after the drag: ${after[*]}; expected ${expected[*]}"
[ -n "${LEXIVANE_SHOTS:-}" ] && e2e_screenshot "$LEXIVANE_SHOTS/definition_test_answering.png"

# A row never leaves its list: dropped on the main window's search field, it leaves the
# field's text and the test as they were.
xdotool windowmove --sync "$test_window" 640 0
read -r width height wx wy <<< "$(e2e_geometry "$test_window")"
read -r _ _ mx my <<< "$(e2e_geometry "$E2E_MAIN")"
drag_mouse "$((wx + 215 + 120))" "$(row_y 0)" "$((mx + 470))" "$((my + E2E_MENU_HEIGHT + 65))"
e2e_click "$E2E_MAIN" 470 65
e2e_clear_clipboard
e2e_key "$E2E_MAIN" ctrl+a ctrl+x
e2e_wait_clipboard '---'
read_definitions after
[ "${after[*]}" = "${expected[*]}" ] || e2e_fail "after the drag out: ${after[*]}; expected ${expected[*]}"

# Tick "Include answers when copying list." and press Done.
E2E_MENU_HEIGHT=$menu e2e_click "$test_window" 312 278
E2E_MENU_HEIGHT=$menu e2e_click "$test_window" 236 278
e2e_wait_window "$title blue = correct, red = wrong" > /dev/null

want=""
for i in 0 1 2; do
  want+=$(printf '0%d.  %s\t%s   [%d]\r' $((i + 1)) "${words[$i]}" "${expected[$i]}" "${number_of[${expected[$i]}]}")
done
e2e_clear_clipboard
e2e_key "$test_window" ctrl+l
e2e_until e2e_clipboard_is "$want" || e2e_fail "copied $(e2e_clipboard); expected $want"

# The scored list as drawn: blue where the definition stands beside its word, else red.
shot="$E2E_TMP/scored.png"
colours_drawn() {
  local i colour want_colour
  e2e_screenshot "$shot"
  for i in 0 1 2; do
    colour=$(convert "$shot" -format '%[pixel:p{'"$((wx + 590))"','"$(row_y "$i")"'}]' info:)
    if [ "${number_of[${expected[$i]}]}" = $((i + 1)) ]; then want_colour="srgb(100,100,255)"; else want_colour="srgb(255,100,100)"; fi
    [ "$colour" = "$want_colour" ] || { echo "row $i is $colour, expected $want_colour"; return 1; }
  done
}
e2e_until colours_drawn > /dev/null || e2e_fail "$(colours_drawn)"
[ -n "${LEXIVANE_SHOTS:-}" ] && cp "$shot" "$LEXIVANE_SHOTS/definition_test_scored.png"

e2e_quit "$E2E_MAIN"
e2e_pass
