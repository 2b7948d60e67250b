# Shared by the X11 integration tests (sourced): a private Xvfb, an optional openbox,
# bounded waits for windows and pixels read back from them. Everything started is
# stopped by the EXIT trap.
set -euo pipefail

X_SESSION_PIDS=()
X_SESSION_TMP=$(mktemp -d "${TMPDIR:-/tmp}/ostravel-x11.XXXXXX")

x_session_cleanup() {
  local pid
  for pid in "${X_SESSION_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
  for pid in "${X_SESSION_PIDS[@]}"; do wait "$pid" 2>/dev/null || true; done
  rm -rf "$X_SESSION_TMP"
}
trap x_session_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }

# start_x [openbox]: a fresh server on a free display; DISPLAY is set for what follows.
start_x() {
  local fifo="$X_SESSION_TMP/displayfd" number=""
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$fifo" 2>"$X_SESSION_TMP/xvfb.log" &
  X_SESSION_PIDS+=($!)
  read -r -t 10 number <"$fifo" || fail "Xvfb did not start: $(tail -n 3 "$X_SESSION_TMP/xvfb.log")"
  export DISPLAY=":$number"
  if [ "${1:-}" = openbox ]; then
    openbox --sm-disable >"$X_SESSION_TMP/openbox.log" 2>&1 &
    X_SESSION_PIDS+=($!)
    wait_for "a live window manager" wm_is_live
  fi
}

wm_is_live() {
  local check
  check=$(xprop -root -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o '0x[0-9a-f]*') || return 1
  xprop -id "$check" -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "$check"
}

# wait_for WHAT COMMAND...: retries for up to 10 s.
wait_for() {
  local what=$1 i
  shift
  for i in $(seq 100); do
    if "$@"; then return 0; fi
    sleep 0.1
  done
  fail "timed out waiting for $what"
}

# run_bg NAME COMMAND...: starts a program in the background; its pid is in LAST_PID.
run_bg() {
  local name=$1
  shift
  "$@" >"$X_SESSION_TMP/$name.out" 2>"$X_SESSION_TMP/$name.err" &
  LAST_PID=$!
  X_SESSION_PIDS+=("$LAST_PID")
}

# The id of the mapped window titled "Ostravel" (waits for it).
ostravel_window() {
  local id
  id=$(timeout 10 xdotool search --sync --onlyvisible --name '^Ostravel$' | head -n 1) ||
    fail "no visible window named Ostravel"
  echo "$id"
}

# window_geometry ID: "X Y WIDTH HEIGHT" of the client area on the screen.
window_geometry() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/{x=$NF} /Absolute upper-left Y/{y=$NF}
    /^ *Width/{w=$NF} /^ *Height/{h=$NF} END{print x, y, w, h}'
}

# snapshot ID FILE.png: the window's pixels.
snapshot() {
  xwd -silent -id "$1" | convert xwd:- "$2"
}

# pixel FILE.png X Y: "RRGGBB" in hex.
pixel() {
  convert "$1" -format '%[hex:p{'"$2"','"$3"'}]' info: | cut -c1-6
}

# count_colour FILE.png X Y WIDTH HEIGHT RRGGBB: pixels of that exact colour in the area.
count_colour() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -fill black +opaque "#$6" -fill white -opaque "#$6" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# expect WHAT ACTUAL EXPECTED
expect() {
  [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
  note "$1: $2"
}
