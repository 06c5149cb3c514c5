# Shared steps of the end-to-end tests: a private X server, a copy of the built package
# with a word database of the test's own, the program started as a user starts it, and
# what the user sees and copies, read from outside the program.
set -euo pipefail

# A test that reads what a screen reader reads sets E2E_ACCESSIBLE=1 as it sources this file:
# it then runs on a private session bus, whose accessibility bus e2e_start_display starts.
if [ -n "${E2E_ACCESSIBLE:-}" ] && [ -z "${E2E_SESSION_BUS:-}" ]; then
  exec env E2E_SESSION_BUS=1 dbus-run-session -- bash "$0" "$@"
fi

: "${LEXIVANE_BUILD:?set LEXIVANE_BUILD to the build folder}"
E2E_TMP=$(mktemp -d)
E2E_PIDS=()

e2e_cleanup() {
  local pid
  # A stopped process takes its signal only once it runs again.
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null && kill -CONT "$pid" 2>/dev/null || true; done
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

e2e_fail() { echo "FAIL: $*" >&2; exit 1; }

# Every wait has this bound, in seconds: generous, so that a slow or loaded machine never
# fails a correct program; a program that never gets there still fails.
E2E_PATIENCE=${E2E_PATIENCE:-90}

# Runs the command until it succeeds (true) or the bound has passed (false).
e2e_until() {
  local deadline=$((SECONDS + E2E_PATIENCE))
  until "$@"; do
    [ "$SECONDS" -lt "$deadline" ] || return 1
    sleep 0.1
  done
}

# Starts Xvfb on a free display, points DISPLAY at it, and returns once the server
# answers: a program started before that cannot connect and ends. Without -noreset the
# server starts afresh each time its last client leaves, and refuses whoever comes then.
e2e_start_display() {
  Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp -noreset 8> "$E2E_TMP/display" 2>/dev/null &
  E2E_PIDS+=($!)
  e2e_until grep -q '^[0-9][0-9]*$' "$E2E_TMP/display" || e2e_fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
  e2e_until xdpyinfo > /dev/null 2>&1 || e2e_fail "the X server on $DISPLAY does not answer"
  # Desktop handlers live in private XDG folders, so that the test sees what the
  # program hands to the desktop and nothing of the machine's own set-up interferes.
  export XDG_DATA_HOME="$E2E_TMP/xdg-data" XDG_CONFIG_HOME="$E2E_TMP/xdg-config"
  export XDG_RUNTIME_DIR="$E2E_TMP/xdg-runtime"
  mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset DESKTOP_SESSION XDG_CURRENT_DESKTOP GNOME_DESKTOP_SESSION_ID KDE_FULL_SESSION || true
  if [ -n "${E2E_ACCESSIBLE:-}" ]; then e2e_start_accessibility_bus; fi
}

# Copies the built package into a folder of the test's own: prints that folder (the
# folder that holds the application).
e2e_make_package() {
  local folder="$E2E_TMP/Lexivane"
  mkdir -p "$folder"
  cp -r "$LEXIVANE_BUILD/Lexivane/lexivane" "$folder/"
  echo "$folder"
}

# Writes a word database: e2e_make_database FILE "id|word|type|definition" ...
e2e_make_database() {
  local file=$1; shift
  local sql="CREATE TABLE thewords (id INTEGER, word TEXT, type TEXT, definition TEXT);"
  local row id word type definition
  for row in "$@"; do
    IFS='|' read -r id word type definition <<< "$row"
    sql+="INSERT INTO thewords VALUES ($id, '${word//\'/\'\'}', '${type//\'/\'\'}', '${definition//\'/\'\'}');"
  done
  rm -f "$file"
  sqlite3 "$file" "$sql"
}

# Registers a fake handler for a URL scheme that appends every address it gets to LOG
# (one line each); e2e_wait_file_content reads it.
e2e_register_url_handler() {
  local scheme=$1 log=$2
  local script="$E2E_TMP/handler-$scheme.sh"
  printf '#!/bin/sh\nprintf "%%s\\n" "$1" >> "%s"\n' "$log" > "$script"
  chmod +x "$script"
  cat > "$XDG_DATA_HOME/applications/fake-$scheme.desktop" <<DESKTOP
[Desktop Entry]
Type=Application
Name=Fake $scheme handler
Exec=$script %u
MimeType=x-scheme-handler/$scheme;
NoDisplay=true
DESKTOP
  xdg-mime default "fake-$scheme.desktop" "x-scheme-handler/$scheme"
}

# Waits until FILE holds exactly TEXT and a newline (a handler may be writing it still).
e2e_wait_file_content() {
  local file=$1 text=$2
  e2e_until e2e_file_is "$file" "$text" \
    || e2e_fail "$file holds '$(cat "$file" 2>/dev/null)', expected '$text' (program log: $(cat "$E2E_TMP/program.log"))"
}

e2e_file_is() { [ "$(cat "$1" 2>/dev/null)" = "$2" ]; }

# Starts the program of a package folder; E2E_APP_PID holds its process.
e2e_launch() {
  local folder=$1
  "$folder/lexivane/bin/lexivane" > "$E2E_TMP/program.log" 2>&1 &
  E2E_APP_PID=$!
  E2E_PIDS+=("$E2E_APP_PID")
}

# The id of a visible window with exactly this title, WIDTH wide (any: any width,
# small: narrower than 600), the newest when there are several; false when there is none.
e2e_find_window() {
  local title=$1 width=${2:-any} id w found=""
  for id in $(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null); do
    w=$(e2e_geometry "$id" | cut -d' ' -f1)
    case "$width" in
      any) [ -n "$w" ] ;;
      small) [ -n "$w" ] && [ "$w" -lt 600 ] ;;
      *) [ "$w" = "$width" ] ;;
    esac && found=$id
  done
  [ -n "$found" ] && echo "$found"
}

# Waits for a visible window with this title (and width, as e2e_find_window); prints its id.
# A program that has ended shows no more windows: the wait ends there.
e2e_wait_window() {
  local title=$1 width=${2:-any}
  e2e_until e2e_window_or_end "$title" "$width" \
    || e2e_fail "no window titled '$title' ($width) (program log: $(cat "$E2E_TMP/program.log"))"
  e2e_find_window "$title" "$width" || e2e_fail "the program ended (log: $(cat "$E2E_TMP/program.log"))"
}

e2e_window_or_end() { e2e_find_window "$@" > /dev/null || e2e_program_ended; }

# Starts the program and answers the start message with Return; E2E_MAIN holds the
# main window's id and E2E_MENU_HEIGHT the height of its menu bar.
e2e_start_program() {
  local folder=$1 box
  e2e_launch "$folder"
  box=$(e2e_wait_window "Rivivuzad" small)
  xdotool windowfocus --sync "$box" key Return
  E2E_MAIN=$(e2e_wait_window "Rivivuzad" 600)
  E2E_MENU_HEIGHT=$(e2e_menu_height "$E2E_MAIN" 400)
}

# Whether a window manager gives the window a close box: the close function (0x20) among
# the functions of its Motif hints.
e2e_has_close_box() {
  local functions
  functions=$(xprop -id "$1" _MOTIF_WM_HINTS | sed -n 's/.*= 0x[0-9a-f]*, \(0x[0-9a-f]*\),.*/\1/p')
  [ -n "$functions" ] && (( functions & 0x20 ))
}

# "WIDTH HEIGHT X Y" of a window.
e2e_geometry() {
  xwininfo -id "$1" 2> /dev/null | awk '/Width:/{w=$2} /Height:/{h=$2} /Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print w, h, x, y}'
}

# Types text into the focused control of a window.
e2e_type() {
  local id=$1 text=$2
  xdotool windowfocus --sync "$id"
  xdotool type --delay 30 -- "$text"
}

e2e_key() {
  local id=$1; shift
  xdotool windowfocus --sync "$id"
  xdotool key --delay 50 "$@"
}

# Clicks at content coordinates of a window (below its menu bar: pass the menu bar's
# height in E2E_MENU_HEIGHT, measured by e2e_menu_height).
e2e_click() {
  local id=$1 x=$2 y=$3 button=${4:-1}
  local geo; geo=$(e2e_geometry "$id")
  local wx wy; wx=$(echo "$geo" | cut -d' ' -f3); wy=$(echo "$geo" | cut -d' ' -f4)
  xdotool mousemove --sync $((wx + x)) $((wy + E2E_MENU_HEIGHT + y)) click "$button"
}

# The height of the menu bar: the window is its content height plus the menu bar.
e2e_menu_height() {
  local id=$1 content_height=$2
  echo $(( $(e2e_geometry "$id" | cut -d' ' -f2) - content_height ))
}

# What the program put on the clipboard, with its carriage returns shown as \r.
e2e_clipboard() {
  e2e_clipboard_raw | od -An -c | tr -s ' ' | tr -d '\n'
}

# xclip waits for the clipboard's owner; the bound keeps a program that never answers
# from holding the test until its own time-out.
e2e_clipboard_raw() {
  timeout 20 xclip -o -selection clipboard 2>/dev/null
}

# Puts a marker of the test's own on the clipboard and waits until it is there, so that
# what the program copies next cannot be overtaken by it. The xclip that serves the marker
# stays behind; it must hold no output of ours open, or a reader of that output would wait
# for it.
e2e_clear_clipboard() {
  printf 'e2e-marker' | xclip -selection clipboard -i > /dev/null 2>&1
  e2e_until e2e_clipboard_is 'e2e-marker' || e2e_fail "the marker did not reach the clipboard"
}

# Waits until the clipboard holds exactly the bytes of this printf format.
e2e_wait_clipboard() {
  local expected
  expected=$(printf -- "$1" | od -An -c | tr -s ' ' | tr -d '\n')
  e2e_until e2e_clipboard_shows "$expected" || e2e_fail "clipboard holds '$(e2e_clipboard)', expected '$expected'"
}

e2e_clipboard_is() { [ "$(e2e_clipboard_raw)" = "$1" ]; }
e2e_clipboard_shows() { [ "$(e2e_clipboard)" = "$1" ]; }

# Waits for the program to end; E2E_EXIT_STATUS holds its exit status. The status is
# taken here, in the test's own shell: only the shell that started the program has it.
e2e_wait_exit() {
  e2e_until e2e_program_ended || e2e_fail "the program did not end"
  E2E_EXIT_STATUS=0
  wait "$E2E_APP_PID" || E2E_EXIT_STATUS=$?
}

e2e_program_ended() { ! kill -0 "$E2E_APP_PID" 2>/dev/null; }

# Ends the program with Ctrl+Q from a window and fails unless it ends with status 0.
e2e_quit() {
  e2e_key "$1" ctrl+q
  e2e_wait_exit
  [ "$E2E_EXIT_STATUS" = 0 ] || e2e_fail "exit status $E2E_EXIT_STATUS (program log: $(cat "$E2E_TMP/program.log"))"
}

e2e_screenshot() {
  import -window "${2:-root}" "$1"
}

# What a screen reader reads of the program. This starts the accessibility bus of the test's
# private session bus and waits until it answers. The session bus starts the bus's launcher at
# the first request, with the test's own display and runtime folder, so that the bus's socket
# is the test's own and no other test's bus answers for it.
e2e_start_accessibility_bus() {
  dbus-update-activation-environment DISPLAY XDG_RUNTIME_DIR
  e2e_until e2e_accessibility_bus_answers || e2e_fail "the accessibility bus did not start"
  export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
}
e2e_accessibility_bus_answers() {
  dbus-send --session --print-reply --dest=org.a11y.Bus /org/a11y/bus org.a11y.Bus.GetAddress > /dev/null 2>&1
}

# Reads the program's tree on the bus into $E2E_TREE, one line per object: role|name|description.
E2E_TREE="$E2E_TMP/tree"
e2e_read_tree() {
  timeout 60 /usr/bin/python3 "$(dirname "${BASH_SOURCE[0]}")/atspi_tree.py" "$E2E_APP_PID" > "$E2E_TREE" 2> "$E2E_TMP/reader.log"
}
e2e_tree_holds_lines() { e2e_read_tree && [ "$(sed 's/^ *//' "$E2E_TREE" | grep -cxE -- "$1")" = "$2" ]; }

# Waits until the tree holds COUNT lines (without their indent) that match the pattern.
e2e_wait_tree_lines() {
  e2e_until e2e_tree_holds_lines "$1" "$2" \
    || e2e_fail "not $2 lines '$1' on the accessibility bus; it holds: $(cat "$E2E_TREE") $(cat "$E2E_TMP/reader.log")"
}

e2e_pass() { echo "1 passed, 0 failed"; }
