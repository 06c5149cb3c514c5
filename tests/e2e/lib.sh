# Shared steps of the end-to-end tests: a private X server, a copy of the built package
# with a word database of the test's own, the program started as a user starts it, and
# what the user sees and copies, read from outside the program.
set -euo pipefail

: "${LEXIVANE_BUILD:?set LEXIVANE_BUILD to the build folder}"
E2E_TMP=$(mktemp -d)
E2E_PIDS=()

e2e_cleanup() {
  local pid
  for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  rm -rf "$E2E_TMP"
}
trap e2e_cleanup EXIT

e2e_fail() { echo "FAIL: $*" >&2; exit 1; }

# Starts Xvfb on a free display and points DISPLAY at it.
e2e_start_display() {
  exec 7<> "$E2E_TMP/displayfd" || true
  Xvfb -displayfd 8 -screen 0 1280x1024x24 -nolisten tcp 8> "$E2E_TMP/display" 2>/dev/null &
  E2E_PIDS+=($!)
  local i
  for i in $(seq 1 100); do
    [ -s "$E2E_TMP/display" ] && break
    sleep 0.1
  done
  [ -s "$E2E_TMP/display" ] || e2e_fail "Xvfb did not start"
  export DISPLAY=":$(head -n1 "$E2E_TMP/display")"
  # Desktop handlers live in private XDG folders, so that the test sees what the
  # program hands to the desktop and nothing of the machine's own set-up interferes.
  export XDG_DATA_HOME="$E2E_TMP/xdg-data" XDG_CONFIG_HOME="$E2E_TMP/xdg-config"
  export XDG_RUNTIME_DIR="$E2E_TMP/xdg-runtime"
  mkdir -p "$XDG_DATA_HOME/applications" "$XDG_CONFIG_HOME" "$XDG_RUNTIME_DIR"
  chmod 700 "$XDG_RUNTIME_DIR"
  unset DESKTOP_SESSION XDG_CURRENT_DESKTOP GNOME_DESKTOP_SESSION_ID KDE_FULL_SESSION || true
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

# Registers a fake handler for a URL scheme that appends every address it gets to LOG.
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

# Starts the program of a package folder; E2E_APP_PID holds its process.
e2e_launch() {
  local folder=$1
  "$folder/lexivane/bin/lexivane" > "$E2E_TMP/program.log" 2>&1 &
  E2E_APP_PID=$!
  E2E_PIDS+=("$E2E_APP_PID")
}

# Waits until a visible window with exactly this title exists; prints its id (the
# newest when there are several).
e2e_wait_window() {
  local title=$1 i ids
  for i in $(seq 1 150); do
    ids=$(xdotool search --onlyvisible --name "^${title}\$" 2>/dev/null || true)
    if [ -n "$ids" ]; then echo "$ids" | tail -n1; return 0; fi
    sleep 0.1
  done
  e2e_fail "no window titled '$title'"
}

# Waits for no visible window with this title.
e2e_wait_no_window() {
  local title=$1 i
  for i in $(seq 1 150); do
    xdotool search --onlyvisible --name "^${title}\$" > /dev/null 2>&1 || return 0
    sleep 0.1
  done
  e2e_fail "window '$title' is still there"
}

# Starts the program and answers the start message with Return; E2E_MAIN holds the
# main window's id and E2E_MENU_HEIGHT the height of its menu bar.
e2e_start_program() {
  local folder=$1 box
  e2e_launch "$folder"
  box=$(e2e_wait_window "Rivivuzad")
  e2e_wait_size "$box" small
  xdotool windowfocus --sync "$box" key Return
  E2E_MAIN=$(e2e_main_window)
  E2E_MENU_HEIGHT=$(e2e_menu_height "$E2E_MAIN" 400)
}

# The main window: the visible "Rivivuzad" window that is 600 wide.
e2e_main_window() {
  local i id
  for i in $(seq 1 150); do
    for id in $(xdotool search --onlyvisible --name '^Rivivuzad$' 2>/dev/null || true); do
      if [ "$(e2e_geometry "$id" | cut -d' ' -f1)" = 600 ]; then echo "$id"; return 0; fi
    done
    sleep 0.1
  done
  e2e_fail "the main window did not show"
}

# "WIDTH HEIGHT X Y" of a window.
e2e_geometry() {
  xwininfo -id "$1" | awk '/Width:/{w=$2} /Height:/{h=$2} /Absolute upper-left X:/{x=$4} /Absolute upper-left Y:/{y=$4} END{print w, h, x, y}'
}

# Waits until a window is mapped with a size (small: anything narrower than 600).
e2e_wait_size() {
  local id=$1 want=$2 i w
  for i in $(seq 1 100); do
    w=$(e2e_geometry "$id" | cut -d' ' -f1)
    if [ -n "$w" ] && { [ "$want" != small ] || [ "$w" -lt 600 ]; }; then return 0; fi
    sleep 0.1
  done
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
  xclip -o -selection clipboard 2>/dev/null | od -An -c | tr -s ' ' | tr -d '\n'
}

e2e_clipboard_raw() {
  xclip -o -selection clipboard 2>/dev/null
}

# Waits for the program to end; prints its exit status.
e2e_wait_exit() {
  local i
  for i in $(seq 1 100); do
    if ! kill -0 "$E2E_APP_PID" 2>/dev/null; then
      wait "$E2E_APP_PID" && echo 0 || echo $?
      return 0
    fi
    sleep 0.1
  done
  e2e_fail "the program did not end"
}

e2e_screenshot() {
  import -window "${2:-root}" "$1"
}

e2e_pass() { echo "1 passed, 0 failed"; }
