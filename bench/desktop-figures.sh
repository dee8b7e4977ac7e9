#!/usr/bin/env bash
# Figures of the desktop program: time from launch to the first painted table, resident
# memory after start-up, and processor time used while the table sits idle for ten
# seconds. Runs on the current display, or on a virtual one (Xvfb) when there is none.
#   bench/desktop-figures.sh [path/to/skelda]
# SKELDA_FIGURES_DECK=FILE starts the table with that deck file stored as its card deck.
set -euo pipefail
cd "$(dirname "$0")/.."
program=${1:-build/app/skelda}
[ -x "$program" ] || { echo "no program at $program (build first)" >&2; exit 2; }

work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then { kill -9 "$app_pid"; wait "$app_pid"; } 2>/dev/null || true; fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

if [ -z "${DISPLAY:-}" ]; then
  display=:$((90 + RANDOM % 9))
  Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
  xvfb_pid=$!
  export DISPLAY=$display
  for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done
fi

# A fresh user: no stored settings, no saved game; sounds off so the deal is quick.
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/data
mkdir -p "$XDG_CONFIG_HOME/Brelt"
printf '[General]\nNoSound=\nNoMusic=\n' > "$XDG_CONFIG_HOME/Brelt/Skelda.conf"
if [ -n "${SKELDA_FIGURES_DECK:-}" ]; then
  printf 'DeckFile=%s\n' "$(realpath "$SKELDA_FIGURES_DECK")" >> "$XDG_CONFIG_HOME/Brelt/Skelda.conf"
fi

clk=$(getconf CLK_TCK)
cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

start_ms=$(date +%s%3N)
SKELDA_REPORT_FIRST_PAINT=1 "$program" >"$work/out.txt" 2>"$work/err.txt" &
app_pid=$!
for _ in $(seq 200); do grep -q first-paint-ms "$work/err.txt" 2>/dev/null && break; sleep 0.05; done
paint_ms=$(awk '/first-paint-ms/ {print $2; exit}' "$work/err.txt")
[ -n "$paint_ms" ] || { echo "the table was never painted" >&2; cat "$work/err.txt" >&2; exit 1; }

sleep 3
rss_kb=$(awk '/VmRSS/ {print $2}' "/proc/$app_pid/status")

# Let the deal finish (seven ticks of 2048 ms) and a first computer turn pass.
sleep 20
before=$(cpu_ticks "$app_pid")
sleep 10
after=$(cpu_ticks "$app_pid")

echo "first table painted after: $((paint_ms - start_ms)) ms   (goal: under 400 ms)"
echo "resident memory after start-up: $((rss_kb / 1024)) MB   (goal: under 80 MB)"
awk -v t=$((after - before)) -v c="$clk" \
  'BEGIN { printf "processor time while idle for 10 s: %.2f%%   (goal: under 1%%)\n", 100 * t / c / 10 }'
