# shellcheck shell=bash
# The session part of the shell harness (the general part is tests/harness.sh, sourced here):
# a private Xvfb, an optional openbox that is ready only once it manages a window of ours,
# pixels read back from windows, the window tests' power states, the pointer's drags, and
# private session buses.
# Sourced by tests/x11, tests/keys, tests/alerts, tests/windows, tests/package, bench/x11 and
# scripts/run.
# shellcheck source=SCRIPTDIR/harness.sh
source "$(dirname "${BASH_SOURCE[0]}")/harness.sh"

# start_x bare|openbox [WIDTHxHEIGHT]: a fresh server on a free display (1024x768 unless given);
# DISPLAY is set for what follows. With openbox, returns once the manager manages windows.
# -noreset: the root's properties (RESOURCE_MANAGER) must outlive the clients between steps.
# The server's pid is in X_SERVER_PID.
start_x() {
  local fifo="$SCRATCH/displayfd" number=""
  require_tools Xvfb xprop xdotool
  rm -f "$fifo"
  mkfifo "$fifo"
  Xvfb -displayfd 3 -screen 0 "${2:-1024x768}x24" -nolisten tcp -noreset 3>"$fifo" 2>"$SCRATCH/xvfb.log" &
  X_SERVER_PID=$!
  end_at_exit "$X_SERVER_PID"
  read -r -t 20 number <"$fifo" || fail "Xvfb did not start: $(tail -n 3 "$SCRATCH/xvfb.log")"
  export DISPLAY=":$number"
  if [ "$1" = openbox ]; then
    require_tools openbox xlogo
    run_bg openbox openbox --sm-disable
    wait_until wm_is_live 30 || fail "openbox did not start: $(tail -n 3 "$SCRATCH/openbox.err")"
    wait_until wm_manages_a_window 30 || fail "openbox does not manage windows"
  fi
}

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

# The window tests' power states, in the kernel's uevent form.
# fixture DIR STATE: one of charging39, mains40, battery66_timed, battery_unknown. DIR is a
# link to the tree, swapped whole by a rename, so that a running program never reads a tree
# half written.
fixture() {
  local link=$1 dir
  dir=$(mktemp -d "$link.XXXXXX")
  case $2 in
    charging39)
      supply "$dir" AC TYPE=Mains ONLINE=1
      supply "$dir" BAT0 TYPE=Battery STATUS=Charging PRESENT=1 CAPACITY=39 ;;
    mains40)
      supply "$dir" AC TYPE=Mains ONLINE=1
      supply "$dir" BAT0 TYPE=Battery "STATUS=Not charging" PRESENT=1 CAPACITY=40 ;;
    battery66_timed) # 33 of 50 Wh at 10 W: 11880 s
      supply "$dir" AC TYPE=Mains ONLINE=0
      supply "$dir" BAT0 TYPE=Battery STATUS=Discharging PRESENT=1 ENERGY_FULL=50000000 \
        ENERGY_NOW=33000000 POWER_NOW=10000000 ;;
    battery_unknown) # a charge without a full charge: neither share nor time known
      supply "$dir" AC TYPE=Mains ONLINE=0
      supply "$dir" BAT0 TYPE=Battery STATUS=Discharging PRESENT=1 ENERGY_NOW=30000000 ;;
    *) fail "unknown fixture $2" ;;
  esac
  point_at "$link" "$dir"
}

# The picture's square in the window's design at 96 dpi: X Y WIDTH HEIGHT in pixels.
PICTURE_AREA=(75 5 32 32)

# picture_shown FILE.png ARTDIR: which of charging, mains, battery fills the picture square.
picture_shown() {
  local name crop="$SCRATCH/picture.png" shown=none
  convert "$1" -crop "${PICTURE_AREA[2]}x${PICTURE_AREA[3]}+${PICTURE_AREA[0]}+${PICTURE_AREA[1]}" +repage "$crop"
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
  # shellcheck disable=SC2317 # called through wait_until
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

# turns_seen ID: the program has read all that was done before this call. The tree that
# OSTRAVEL_POWER_SUPPLY_DIR names is swapped for one with another picture and then back, and
# the window (its pictures are in $ART) follows each: the second swap is shown by a turn that
# began after the one that showed the first had read its events. A look for what must not
# happen (a move, an end) comes after this, never after a pause.
turns_seen() {
  local id=$1 shot=$SCRATCH/turn.png home shown away=battery66_timed away_shown=battery
  home=$(readlink "$OSTRAVEL_POWER_SUPPLY_DIR")
  # A repaint or a restacking under way can hide the picture from one shot.
  wait_until 'snapshot "$id" "$shot" && shown=$(picture_shown "$shot" "$ART") && [ "$shown" != none ]' 10 ||
    fail "the window shows none of its pictures"
  if [ "$shown" = battery ]; then away=mains40 away_shown=mains; fi
  fixture "$OSTRAVEL_POWER_SUPPLY_DIR" "$away"
  wait_until 'snapshot "$id" "$shot" && [ "$(picture_shown "$shot" "$ART")" = "$away_shown" ]' 10 ||
    fail "the window never showed the $away_shown picture: the program did not turn"
  point_at "$OSTRAVEL_POWER_SUPPLY_DIR" "$home"
  wait_until 'snapshot "$id" "$shot" && [ "$(picture_shown "$shot" "$ART")" = "$shown" ]' 10 ||
    fail "the window never showed the $shown picture again: the program did not turn"
}

# moved_by WHAT ID BEFORE DX DY: waits for the window to stand (DX, DY) from "X Y" before the
# drag. For a drag that must not move it, the look comes once the program has read the drag.
moved_by() {
  local what=$1 id=$2 before dx=$4 dy=$5
  read -r -a before <<<"$3"
  if [ "$dx $dy" = "0 0" ]; then
    turns_seen "$id"
    expect "$what" "$(offset_from "$id" "${before[0]}" "${before[1]}")" "0 0"
  else
    expect_soon "$what" "offset_from $id ${before[0]} ${before[1]}" "$dx $dy"
  fi
}

# quick_click_does_not_stick ID: a click on the bare panel, read by the program, then the
# pointer wanders off.
quick_click_does_not_stick() {
  local id=$1 g before
  before=$(window_geometry "$id")
  read -r -a g <<<"$before"
  xdotool mousemove $((g[0] + 46)) $((g[1] + 12)) click 1
  turns_seen "$id"
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
  local g shot="$SCRATCH/screen.png"
  read -r -a g <<<"$(window_geometry "$1")"
  snapshot root "$shot"
  [ "$(pixel "$shot" "${g[0]}" "${g[1]}")" = 0000C0 ] && [ "$(pixel "$shot" $((g[0] + 46)) $((g[1] + 12)))" = E0E0E0 ]
}

# start_session_bus NAME: a private session bus on a socket in $SCRATCH, its address in
# BUS_ADDRESS; it starts no services on demand, so that a notification server installed on
# the machine never stands in for one a test leaves out.
start_session_bus() {
  local socket=$SCRATCH/$1.socket config=$SCRATCH/$1.conf
  require_tools dbus-daemon dbus-send
  cat >"$config" <<CONFIG
<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>session</type>
  <listen>unix:path=$socket</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
    <allow own="*"/>
  </policy>
</busconfig>
CONFIG
  run_bg "$1" dbus-daemon --config-file="$config" --nofork --nosyslog
  # shellcheck disable=SC2034 # read by the tests that source this file
  BUS_ADDRESS=unix:path=$socket
  wait_until 'bus_call "$BUS_ADDRESS" GetId >/dev/null 2>&1' 10 ||
    fail "the session bus $1 did not start: $(tail -n 3 "$SCRATCH/$1.err")"
}

# bus_call ADDRESS METHOD [ARGUMENT...]: a call to the bus itself, its reply as dbus-send prints it.
bus_call() {
  local address=$1 method=$2
  shift 2
  dbus-send --bus="$address" --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    "org.freedesktop.DBus.$method" "$@"
}

# bus_pids ADDRESS: the process ids of the bus's connections, one a line (those that leave
# meanwhile, such as the listing's own, left out).
bus_pids() {
  local name
  for name in $(bus_call "$1" ListNames | grep -o '":[0-9.]*"' | tr -d '"'); do
    { bus_call "$1" GetConnectionUnixProcessID "string:$name" 2>/dev/null || true; } | awk '/uint32/ {print $2}'
  done
}
