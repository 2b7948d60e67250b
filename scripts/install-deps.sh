#!/usr/bin/env bash
# Installs the Debian packages a group of tasks needs, and only those not yet installed.
# Usage: scripts/install-deps.sh GROUP...   (groups: build, gui, test, bench, wayland, windows, package, fuzz)
set -euo pipefail

packages_for() {
  case "$1" in
    build)   echo cmake make g++ pkg-config libgtest-dev libgmock-dev libbenchmark-dev scdoc nlohmann-json3-dev ;;
    gui)     echo libx11-dev libxft-dev libfontconfig-dev libxi-dev libxrandr-dev libglib2.0-dev \
                  libwayland-dev wayland-protocols libxkbcommon-dev libcairo2-dev \
                  fonts-liberation fonts-dejavu-core xvfb x11-apps x11-utils imagemagick ;;
    test)    echo xvfb openbox xdotool x11-utils x11-apps imagemagick strace x11-xserver-utils x11-xkb-utils \
                  shellcheck python3 dbus-daemon python3-dbusmock ;;
    # The whole-process benchmarks: nevlin's peer (a dock battery window) and a tracer of requests.
    bench)   echo wmbattery xtrace openbox xvfb x11-utils ;;
    # Headless compositors and the tools that drive them; Xvfb for the X11 window to compare with.
    wayland) echo sway grim wtype foot weston xwayland xvfb x11-apps x11-utils x11-xserver-utils xdotool \
                  imagemagick ;;
    windows) echo g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools wine64 \
                  nsis unzip file 7zip ;;
    # The Debian package and the checks of what it installs.
    package) echo ninja-build dpkg-dev binutils file imagemagick lintian desktop-file-utils appstream \
                  man-db groff-base systemd xvfb x11-utils xdotool ;;
    fuzz)    echo clang libclang-rt-14-dev ;; # clang++ and its libFuzzer runtime
    *) echo "install-deps: unknown group '$1' (build, gui, test, bench, wayland, windows, package, fuzz)" >&2; exit 2 ;;
  esac
}

wanted=()
for group in "$@"; do
  for p in $(packages_for "$group"); do wanted+=("$p"); done
done

missing=()
for p in $(printf '%s\n' "${wanted[@]}" | sort -u); do
  status=$(dpkg-query -W -f='${db:Status-Status}' "$p" 2>/dev/null || true)
  [ "$status" = installed ] || missing+=("$p")
done
[ ${#missing[@]} -eq 0 ] && exit 0

sudo=""
[ "$(id -u)" -eq 0 ] || sudo="sudo"
echo "install-deps: installing ${missing[*]}" >&2
export DEBIAN_FRONTEND=noninteractive
$sudo apt-get update -qq
$sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
