# shellcheck shell=bash
# The Wayland part of the session harness (the X part, tests/x_session.sh, is sourced here): a
# headless compositor on a private runtime folder, run as an unprivileged user when the tests
# run as root (sway refuses root); one virtual pointer and one keyboard plugged in for the whole
# test; the output's pixels read back with grim.
# shellcheck source=SCRIPTDIR/../x_session.sh
source "$(dirname "${BASH_SOURCE[0]}")/../x_session.sh"
# shellcheck disable=SC2034 # read by require_tools
TOOLS_GROUP="wayland"

# The user the compositor runs as when the tests run as root.
COMPOSITOR_USER=65534

# as_compositor_user: the command prefix that drops root for the compositor; empty otherwise.
as_compositor_user() {
  [ "$(id -u)" = 0 ] || return 0
  echo setpriv --reuid=$COMPOSITOR_USER --regid=$COMPOSITOR_USER --clear-groups
}

# compositor_runtime: a runtime folder the compositor's user owns. The scratch folder can then
# be crossed, not read, by that user, to reach the folder and the configuration.
compositor_runtime() {
  local run="$SCRATCH/runtime"
  mkdir -m 700 "$run"
  if [ "$(id -u)" = 0 ]; then
    chmod 711 "$SCRATCH"
    chown "$COMPOSITOR_USER:$COMPOSITOR_USER" "$run"
  fi
  echo "$run"
}

# start_sway [WIDTHxHEIGHT]: a headless sway with one output (1024x768 unless given), without
# bar, borders or Xwayland. WAYLAND_DISPLAY, XDG_RUNTIME_DIR and SWAYSOCK are set for what
# follows, DISPLAY unset.
start_sway() {
  local run socket="" ipc="" config="$SCRATCH/sway.conf"
  require_tools sway swaymsg grim
  run=$(compositor_runtime)
  printf 'output * resolution %s position 0 0\ndefault_border none\nxwayland disable\n' "${1:-1024x768}" >"$config"
  chmod 644 "$config"
  # shellcheck disable=SC2046 # the prefix is words
  env -u DISPLAY -u WAYLAND_DISPLAY HOME="$run" XDG_RUNTIME_DIR="$run" WLR_BACKENDS=headless \
    WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman $(as_compositor_user) sway -c "$config" \
    >"$SCRATCH/sway.log" 2>&1 &
  end_at_exit $!
  wait_until 'socket=$(cd "$run" && ls wayland-? 2>/dev/null | head -n 1); [ -n "$socket" ]' 20 ||
    fail "sway did not start: $(tail -n 3 "$SCRATCH/sway.log")"
  wait_until 'ipc=$(ls "$run"/sway-ipc.*.sock 2>/dev/null | head -n 1); [ -n "$ipc" ]' 10 ||
    fail "sway made no IPC socket"
  export XDG_RUNTIME_DIR=$run WAYLAND_DISPLAY=$socket SWAYSOCK=$ipc
  unset DISPLAY
  wait_until 'swaymsg -t get_outputs >/dev/null 2>&1' 10 || fail "sway does not answer"
}

# start_weston [WIDTHxHEIGHT]: a headless weston with one output (1024x768 unless given) and
# Xwayland, which it starts at the first X client. WAYLAND_DISPLAY, XDG_RUNTIME_DIR and DISPLAY
# are set for what follows. Xwayland runs as the compositor's user: a root test is let in.
start_weston() {
  local run display="" size=${1:-1024x768} config="$SCRATCH/weston.ini"
  require_tools weston Xwayland xhost
  run=$(compositor_runtime)
  printf '[core]\nidle-time=0\n[shell]\npanel-position=none\n' >"$config"
  chmod 644 "$config"
  # shellcheck disable=SC2046 # the prefix is words
  env -u DISPLAY -u WAYLAND_DISPLAY HOME="$run" XDG_RUNTIME_DIR="$run" $(as_compositor_user) weston \
    --config="$config" --backend=headless-backend.so --use-pixman --width="${size%x*}" --height="${size#*x}" \
    --xwayland --socket=wayland-ostravel >"$SCRATCH/weston.log" 2>&1 &
  end_at_exit $!
  wait_until '[ -S "$run/wayland-ostravel" ] && display=$(sed -n "s/.*xserver listening on display \(:[0-9]*\).*/\1/p" "$SCRATCH/weston.log") && [ -n "$display" ]' 20 ||
    fail "weston did not start with Xwayland: $(tail -n 3 "$SCRATCH/weston.log")"
  export XDG_RUNTIME_DIR=$run WAYLAND_DISPLAY=wayland-ostravel DISPLAY=$display
  if [ "$(id -u)" = 0 ]; then
    # shellcheck disable=SC2046
    wait_until '$(as_compositor_user) xhost +si:localuser:root >/dev/null 2>&1' 20 || fail "Xwayland did not start"
  fi
}

# start_pointer VIRTUAL_POINTER [WIDTHxHEIGHT]: one virtual pointer for the rest of the test (a
# seat whose pointer comes and goes trips wlroots 0.15), started before the programs it drives.
start_pointer() {
  local reply=""
  coproc POINTER_PROCESS { exec "$1" --layout "${2:-1024x768}" 2>"$SCRATCH/pointer.err"; }
  end_at_exit "$POINTER_PROCESS_PID"
  read -r -t 10 reply <&"${POINTER_PROCESS[0]}" || true
  [ "$reply" = ready ] || fail "no virtual pointer: $(cat "$SCRATCH/pointer.err")"
}

# pointer STEP...: the virtual pointer's steps (at X Y, by DX DY, press|release BUTTON, pause MS),
# returning once the compositor has handled them.
pointer() {
  local reply=""
  echo "$*" >&"${POINTER_PROCESS[1]}"
  read -r -t 10 reply <&"${POINTER_PROCESS[0]}" || true
  [ "$reply" = "done" ] || fail "the virtual pointer did not do '$*': $(cat "$SCRATCH/pointer.err")"
}

# start_keyboard: a keyboard plugged in for the rest of the test (an idle wtype), so that the
# seat keeps one between the wtype runs that type: a program asks for its keyboard only while
# the seat has one.
start_keyboard() {
  require_tools wtype
  run_bg keyboard wtype -s 3600000
  wait_until 'swaymsg -t get_inputs | grep -q "\"type\": \"keyboard\""' 10 || fail "no virtual keyboard"
}

# seat_focus: the node sway's seat gives the keyboard to; 0 while a layer surface has it.
seat_focus() { swaymsg -t get_seats | awk -F': *' '/"focus"/ { sub(",", "", $2); print $2; exit }'; }

# screen_pixels FILE.png: the whole output as the compositor shows it.
screen_pixels() { grim "$1"; }

# panel_shown_at X Y FILE.png: the 112x42 panel's frame and fill show at X Y in the screen
# shot, and no frame colour beyond its right and bottom edges.
panel_shown_at() {
  local x=$1 y=$2 shot=$3
  [ "$(pixel "$shot" "$x" "$y")" = 0000C0 ] &&
    [ "$(pixel "$shot" $((x + 111)) $((y + 41)))" = 0000C0 ] &&
    [ "$(pixel "$shot" $((x + 46)) $((y + 12)))" = E0E0E0 ] &&
    [ "$(pixel "$shot" $((x + 112)) $((y + 20)))" != 0000C0 ] &&
    [ "$(pixel "$shot" $((x + 50)) $((y + 42)))" != 0000C0 ]
}

# panel_at X Y: the same on a fresh shot of the output, kept in $SCRATCH/screen.png.
panel_at() { screen_pixels "$SCRATCH/screen.png" && panel_shown_at "$1" "$2" "$SCRATCH/screen.png"; }
