#!/usr/bin/env bash
# The table as a screen reader meets it: the desktop program under Xvfb, on a D-Bus session
# of its own with the accessibility bus, read and played through AT-SPI by table-a11y.py.
# Skips (77) only when no X server can be started or the accessibility stack is missing.
#   run-a11y.sh path/to/skelda
set -uo pipefail
app=$1
here=$(cd "$(dirname "$0")" && pwd)
py=/usr/bin/python3
if ! "$py" -c 'import pyatspi' 2>/dev/null; then
  echo "SKIP: python3-pyatspi is missing (./setup.sh installs it)"
  exit 77
fi
if ! command -v dbus-run-session >/dev/null || [ ! -x /usr/libexec/at-spi-bus-launcher ]; then
  echo "SKIP: dbus-run-session or at-spi2-core is missing (./setup.sh installs them)"
  exit 77
fi

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for _ in 1 2 3; do
  display=:$((100 + RANDOM % 400))
  Xvfb "$display" -screen 0 1366x768x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do
    DISPLAY=$display xdotool getdisplaygeometry >/dev/null 2>&1 && break 2
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  kill "$xvfb_pid" 2>/dev/null
  xvfb_pid=""
done
if [ -z "$xvfb_pid" ]; then
  echo "SKIP: Xvfb cannot start here"
  exit 77
fi

export DISPLAY=$display QT_QPA_PLATFORM=xcb QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1
# A user of its own: no sound or music, Quick Play, and a fixed seed for the deal.
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/share
export XDG_RUNTIME_DIR=$work/run
export SKELDA_SEED=${SKELDA_A11Y_SEED:-20261208}
unset APPDATA
mkdir -p "$XDG_CONFIG_HOME/Brelt" "$XDG_RUNTIME_DIR"
chmod 700 "$XDG_RUNTIME_DIR"
printf '[General]\nNoSound=\nNoMusic=\nQuickPlay=\n' >"$XDG_CONFIG_HOME/Brelt/Skelda.conf"

# dbus-run-session's own messages (the bus daemons) go to a file; shown when the test fails.
dbus-run-session -- "$py" "$here/table-a11y.py" "$app" "$work" 2>"$work/bus.txt"
rc=$?
if [ $rc -ne 0 ]; then
  grep -v "Failed to set fd limit\|Activating service\|Successfully activated" "$work/bus.txt" |
    tail -n 30 >&2
fi
exit $rc
