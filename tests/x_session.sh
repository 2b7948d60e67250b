# The one shell library of the tests that drive real programs (sourced by tests/x11, tests/keys,
# tests/windows and scripts/run): a private Xvfb, an optional openbox that is ready only once
# it manages a window of ours, waits with a deadline for the state a check asserts, pixels read
# back from windows, and power-supply fixture trees. Everything started is stopped at exit.
set -euo pipefail

X_SESSION_PIDS=()
X_SESSION_EXIT_HOOKS=()
X_SESSION_TMP=$(mktemp -d "${TMPDIR:-/tmp}/ostravel-x11.XXXXXX")

# on_exit COMMAND: run at exit, before the started programs are stopped (latest first).
on_exit() { X_SESSION_EXIT_HOOKS=("$1" "${X_SESSION_EXIT_HOOKS[@]}"); }

x_session_cleanup() {
  local hook pid i
  for hook in "${X_SESSION_EXIT_HOOKS[@]}"; do eval "$hook" || true; done
  # Latest first, each ended before the next, so the programs end before the X server they talk to.
  for ((i = ${#X_SESSION_PIDS[@]} - 1; i >= 0; i--)); do
    pid=${X_SESSION_PIDS[i]}
    kill "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
  done
  rm -rf "$X_SESSION_TMP"
}
trap x_session_cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }
# A session that cannot be set up ends the test whatever `fail` does in it.
abort() { echo "FAIL: $*" >&2; exit 1; }
note() { echo "-- $*"; }
# What a missing tool does; a test group that may skip (exit 77) redefines it.
missing_tool() { abort "$1 is missing: scripts/install-deps.sh test"; }

# skip WHY: the test cannot run here; skipped (77) on a workstation, a failure under CI
# (CI=true), where no group may drop out unseen.
skip() {
  if [ "${CI:-}" = true ]; then abort "$* (under CI every test group must run)"; fi
  echo "SKIPPED: $*"
  exit 77
}

# require_tools TOOL...: each on PATH, else missing_tool.
require_tools() {
  local tool
  for tool in "$@"; do command -v "$tool" >/dev/null || missing_tool "$tool"; done
}

# wait_until CONDITION [DEADLINE]: evaluates the shell CONDITION every tenth of a second until
# it holds (status 0) or DEADLINE seconds (default 30, tenths allowed) have passed (status 1).
wait_until() {
  local condition=$1 deadline=${2:-30} polls tries
  polls=$(awk -v s="$deadline" 'BEGIN { print int(s * 10 + 0.5) }')
  for ((tries = 0; tries <= polls; tries++)); do
    if eval "$condition"; then return 0; fi
    ((tries == polls)) || sleep 0.1
  done
  return 1
}

# wait_for WHAT COMMAND...: waits up to 10 s for COMMAND to succeed, else fails naming WHAT.
wait_for() {
  local what=$1
  shift
  wait_until "$(printf '%q ' "$@")" 10 || fail "timed out waiting for $what"
}

# start_x [openbox] [WIDTHxHEIGHT]: a fresh server on a free display (1024x768 unless given);
# DISPLAY is set for what follows. With openbox, returns once the manager manages windows.
# -noreset: the root's properties (RESOURCE_MANAGER) must outlive the clients between steps.
start_x() {
  local fifo="$X_SESSION_TMP/displayfd" number="" tool
  for tool in Xvfb xprop xdotool; do command -v "$tool" >/dev/null || missing_tool "$tool"; done
  rm -f "$fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${2:-1024x768}x24" -nolisten tcp -noreset 3>"$fifo" 2>"$X_SESSION_TMP/xvfb.log" &
  X_SESSION_PIDS+=($!)
  read -r -t 20 number <"$fifo" || abort "Xvfb did not start: $(tail -n 3 "$X_SESSION_TMP/xvfb.log")"
  export DISPLAY=":$number"
  if [ "${1:-}" = openbox ]; then
    command -v openbox >/dev/null || missing_tool openbox
    openbox --sm-disable >"$X_SESSION_TMP/openbox.log" 2>&1 &
    X_SESSION_PIDS+=($!)
    wait_until wm_is_live 30 || abort "openbox did not start: $(tail -n 3 "$X_SESSION_TMP/openbox.log")"
    wait_until wm_manages_a_window 30 || abort "openbox does not manage windows"
  fi
}

# start_virtual_display: the Wine tests' display, a 1024x768 server with openbox.
start_virtual_display() { start_x openbox; }

# The manager has named itself on the root and on its check window. It may still be starting.
wm_is_live() {
  local check
  check=$(xprop -root -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -o '0x[0-9a-f]*') || return 1
  xprop -id "$check" -notype _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "$check"
}

# A window of ours gets managed (the manager gives it WM_STATE) within a few seconds. openbox
# names itself before it finishes starting and drops for good a map request that arrives in
# that gap, so each try maps a fresh probe window.
wm_manages_a_window() {
  local probe managed=1 id=""
  command -v xlogo >/dev/null || missing_tool xlogo
  xlogo -title ostravel-wm-probe -geometry 20x20+0+0 >/dev/null 2>&1 &
  probe=$!
  if wait_until 'id=$(xdotool search --name "^ostravel-wm-probe$" 2>/dev/null | head -n 1); [ -n "$id" ]' 5 &&
    wait_until "xprop -id $id WM_STATE 2>/dev/null | grep -q 'window state'" 3; then
    managed=0
  fi
  kill "$probe" 2>/dev/null || true
  wait "$probe" 2>/dev/null || true
  [ -z "$id" ] || wait_until "! xdotool search --name '^ostravel-wm-probe$' >/dev/null 2>&1" 5 || true
  return "$managed"
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

# snapshot ID|root FILE.png: the window's pixels, or the whole screen's.
snapshot() {
  if [ "$1" = root ]; then xwd -silent -root; else xwd -silent -id "$1"; fi | convert xwd:- "$2"
}

# pixel FILE.png X Y: "RRGGBB" in hex.
pixel() {
  convert "$1" -format '%[hex:p{'"$2"','"$3"'}]' info: | cut -c1-6
}

# count_colour FILE.png X Y WIDTH HEIGHT RRGGBB [FUZZ%]: pixels of that colour in the area
# (within FUZZ percent: small antialiased letters barely reach their full colour).
count_colour() {
  convert "$1" -crop "$4x$5+$2+$3" +repage -fuzz "${7:-0}%" -fill black +opaque "#$6" -fill white -opaque "#$6" \
    -format '%[fx:int(mean*w*h+0.5)]' info:
}

# expect WHAT ACTUAL EXPECTED
expect() {
  [ "$2" = "$3" ] || fail "$1: got '$2', expected '$3'"
  note "$1: $2"
}

# expect_soon WHAT COMMAND EXPECTED [DEADLINE]: waits (10 s unless given) for the output of the
# shell COMMAND to be EXPECTED, then checks it like expect, naming the last output on failure.
expect_soon() {
  local what=$1 command=$2 wanted=$3 got=""
  wait_until 'got=$(eval "$command"); [ "$got" = "$wanted" ]' "${4:-10}" || true
  expect "$what" "$got" "$wanted"
}

# Power-supply fixture trees in the kernel's uevent form.
# supply DIR NAME KEY=VALUE...: writes DIR/NAME/uevent.
supply() {
  local dir=$1/$2 pair
  shift 2
  mkdir -p "$dir"
  : >"$dir/uevent.new"
  for pair in "$@"; do echo "POWER_SUPPLY_$pair" >>"$dir/uevent.new"; done
  mv "$dir/uevent.new" "$dir/uevent"
}
# fixture DIR STATE: one of charging39, mains40, battery66_timed, battery_unknown. DIR is a
# link to the tree, swapped whole by a rename, so that a running program never reads a tree
# half written.
fixture() {
  local link=$1 dir
  dir=$(mktemp -d "$link.XXXXXX")
  case $2 in
    charging39)
      supply "$dir" AC NAME=AC TYPE=Mains ONLINE=1
      supply "$dir" BAT0 NAME=BAT0 TYPE=Battery STATUS=Charging PRESENT=1 CAPACITY=39 ;;
    mains40)
      supply "$dir" AC NAME=AC TYPE=Mains ONLINE=1
      supply "$dir" BAT0 NAME=BAT0 TYPE=Battery "STATUS=Not charging" PRESENT=1 CAPACITY=40 ;;
    battery66_timed) # 33 of 50 Wh at 10 W: 11880 s
      supply "$dir" AC NAME=AC TYPE=Mains ONLINE=0
      supply "$dir" BAT0 NAME=BAT0 TYPE=Battery STATUS=Discharging PRESENT=1 ENERGY_FULL=50000000 \
        ENERGY_NOW=33000000 POWER_NOW=10000000 ;;
    battery_unknown) # a charge without a full charge: neither share nor time known
      supply "$dir" AC NAME=AC TYPE=Mains ONLINE=0
      supply "$dir" BAT0 NAME=BAT0 TYPE=Battery STATUS=Discharging PRESENT=1 ENERGY_NOW=30000000 ;;
    *) fail "unknown fixture $2" ;;
  esac
  ln -sfn "$dir" "$link.next"
  mv -Tf "$link.next" "$link"
}

# The window's design at 96 dpi, in pixels: Label1, Label3 and the picture's square.
NUMBER_AREA="7 3 37 20"
STATE_AREA="6 24 68 13"
PICTURE_AREA="75 5 32 32"

# picture_shown FILE.png ARTDIR: which of charging, mains, battery fills the picture square.
picture_shown() {
  local name crop="$X_SESSION_TMP/picture.png" shown=none
  convert "$1" -crop 32x32+75+5 +repage "$crop"
  for name in charging mains battery; do
    if [ "$(compare -metric AE "$2/$name.xpm" "$crop" null: 2>&1)" = 0 ]; then shown=$name; fi
  done
  echo "$shown"
}

# drag ID BUTTON DX DY FROM_X FROM_Y: presses BUTTON at (FROM_X, FROM_Y) of the window, holds it
# across a turn of the program (300 ms), moves by (DX, DY) in steps and releases. The pauses
# pace the pointer like a hand; what the drag did is waited for by moved_by.
drag() {
  local id=$1 button=$2 dx=$3 dy=$4 g x y
  read -r -a g <<<"$(window_geometry "$id")"
  x=$((g[0] + $5)) y=$((g[1] + $6))
  xdotool mousemove "$x" "$y" mousedown "$button"
  sleep 0.5
  xdotool mousemove $((x + dx / 2)) $((y + dy / 2))
  sleep 0.1
  xdotool mousemove $((x + dx)) $((y + dy))
  sleep 0.2
  xdotool mouseup "$button"
}

# quick_drag ID BUTTON DX DY FROM_X FROM_Y: presses BUTTON at (FROM_X, FROM_Y) of the window and
# moves by (DX, DY) at once, long before the program's next turn reads the press; then holds
# the pointer still until the window follows (10 s at most) and releases the button there.
quick_drag() {
  local id=$1 button=$2 dx=$3 dy=$4 g x y before
  before=$(window_geometry "$id")
  read -r -a g <<<"$before"
  x=$((g[0] + $5)) y=$((g[1] + $6))
  xdotool mousemove "$x" "$y" mousedown "$button" mousemove $((x + dx)) $((y + dy))
  followed() { [ "$(window_geometry "$id")" != "$before" ]; }
  wait_until followed 10 || true
  xdotool mouseup "$button"
}

# flick ID BUTTON DX DY FROM_X FROM_Y: press, move by (DX, DY) and release at once, before the
# program's next turn reads the press.
flick() {
  local id=$1 g x y
  read -r -a g <<<"$(window_geometry "$id")"
  x=$((g[0] + $5)) y=$((g[1] + $6))
  xdotool mousemove "$x" "$y" mousedown "$2" mousemove $((x + $3)) $((y + $4)) mouseup "$2"
}

# offset_from ID X Y: how far the window is from the position X Y.
offset_from() {
  local now
  read -r -a now <<<"$(window_geometry "$1")"
  echo "$((now[0] - $2)) $((now[1] - $3))"
}

# moved_by WHAT ID BEFORE DX DY: waits for the window to stand (DX, DY) from "X Y" before the
# drag. A drag that must not move it gets a turn and a half to do so before the look.
moved_by() {
  local what=$1 id=$2 before=($3) dx=$4 dy=$5
  [ "$dx $dy" != "0 0" ] || sleep 0.4
  expect_soon "$what" "offset_from $id ${before[0]} ${before[1]}" "$dx $dy"
}

# quick_click_does_not_stick ID: a click on the bare panel, then the pointer wanders off.
quick_click_does_not_stick() {
  local id=$1 g before
  before=$(window_geometry "$id")
  read -r -a g <<<"$before"
  xdotool mousemove $((g[0] + 46)) $((g[1] + 12)) click 1
  sleep 0.7
  xdotool mousemove $((g[0] + 150)) $((g[1] + 150))
  moved_by "a quick click, then the pointer moves on" "$id" "$before" 0 0
}

# quick_drags_end_under_the_pointer ID: drags moved, or even released, long before the program
# reads their press end where the pointer is, relative to where it grabbed the window.
quick_drags_end_under_the_pointer() {
  local id=$1 before
  before=$(window_geometry "$id")
  quick_drag "$id" 1 150 -60 46 12
  moved_by "press and move at once, then hold" "$id" "$before" 150 -60
  before=$(window_geometry "$id")
  flick "$id" 2 -120 70 100 40
  moved_by "press, move and release at once" "$id" "$before" -120 70
}

# on_top_at ID: the window's frame shows at its top-left corner on the whole screen.
on_top_at() {
  local g shot="$X_SESSION_TMP/screen.png"
  read -r -a g <<<"$(window_geometry "$1")"
  snapshot root "$shot"
  [ "$(pixel "$shot" "${g[0]}" "${g[1]}")" = 0000C0 ] && [ "$(pixel "$shot" $((g[0] + 46)) $((g[1] + 12)))" = E0E0E0 ]
}
