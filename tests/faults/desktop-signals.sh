#!/usr/bin/env bash
# The desktop program under Xvfb, as a system shut-down and a crash treat it:
#  - killed with SIGKILL after a computer turn and started again: the same position,
#    resumed from the recovery record;
#  - SIGTERM: the game saved without a question and the process gone within 2 s, also
#    while a modal question is up;
#  - SIGINT: the "Save game?" question, and the process waits for the answer.
# Skips (77) only when no X server can be started.
#   desktop-signals.sh path/to/skelda path/to/skelda-cli
set -uo pipefail
app=$1
cli=$2
work=$(mktemp -d)
xvfb_pid=""
app_pid=""
cleanup() {
  if [ -n "$app_pid" ]; then { kill -9 "$app_pid"; wait "$app_pid"; } 2>/dev/null || true; fi
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $1" >&2
  [ -f "$work/out.txt" ] && tail -n 20 "$work/out.txt" >&2
  exit 1
}

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
export DISPLAY=$display
# On the X server, whatever platform the tests around this one use.
export QT_QPA_PLATFORM=xcb

# A user of its own: sound and music off, so nothing waits on a sound device.
export HOME=$work XDG_CONFIG_HOME=$work/config XDG_DATA_HOME=$work/share
unset APPDATA
mkdir -p "$XDG_CONFIG_HOME/Brelt"
printf '[General]\nNoSound=\nNoMusic=\n' >"$XDG_CONFIG_HOME/Brelt/Skelda.conf"
data="$XDG_DATA_HOME/Orvandel Industries/Skelda"
mkdir -p "$data"

# The start-up game: the human has just discarded, so the computer moves first.
printf 'startup\nrun\nstock\nselect 0\ndiscard\nsave MyGame\n' |
  "$cli" --seed 5 --sound off --data "$work/prepare" >/dev/null
cp "$work/prepare/MyGame.sav" "$data/"

start() {
  "$app" >"$work/out.txt" 2>"$work/err.txt" &
  app_pid=$!
}
# Waits up to $2 tenths of a second for the shell condition $1.
wait_for() {
  for _ in $(seq "$2"); do
    eval "$1" && return 0
    sleep 0.1
  done
  return 1
}
gone_within_2s() {
  local t0
  t0=$(date +%s%N)
  while kill -0 "$app_pid" 2>/dev/null; do
    (($(date +%s%N) - t0 > 2000000000)) && return 1
    sleep 0.02
  done
  wait "$app_pid" 2>/dev/null
  app_pid=""
  return 0
}
visible_boxes() {
  xdotool search --onlyvisible --name '^Skelda$' 2>/dev/null | wc -l
}

# 1. The computer's turn ends, the recovery record is written; then the process is killed.
start
wait_for '[ -f "$data/Skelda.recovery" ]' 200 || fail "no recovery record after the computer's turn"
sleep 0.5
cp "$data/Skelda.recovery" "$work/before.rec"
kill -9 "$app_pid"
wait "$app_pid" 2>/dev/null
app_pid=""
"$cli" --inspect "$work/before.rec" >/dev/null || fail "the recovery record does not load"

# 2. Started again: the same position, from the record, with a log line.
start
wait_for 'grep -q "Resumed the game that was in play" "$work/out.txt"' 150 ||
  fail "the game was not resumed after the kill"
sleep 0.5

# 3. SIGTERM: saved silently as the start-up game, gone within 2 s, nothing left over.
kill -TERM "$app_pid"
gone_within_2s || fail "still running 2 s after SIGTERM"
"$cli" --inspect "$data/MyGame.sav" >"$work/saved.json" || fail "the game saved at SIGTERM does not load"
"$cli" --inspect "$work/before.rec" >"$work/before.json"
diff <(grep -v '"file"' "$work/before.json") <(grep -v '"file"' "$work/saved.json") >/dev/null ||
  fail "the resumed position is not the one before the kill"
[ ! -e "$data/Skelda.recovery" ] || fail "the recovery record is left after a clean end"
grep -q '^Autoload=MyGame' "$XDG_CONFIG_HOME/Brelt/Skelda.conf" || fail "Autoload was not written"

# 4. SIGINT asks "Save game?" and waits; SIGTERM then ends it all the same.
start
wait_for '[ "$(visible_boxes)" -ge 1 ]' 150 || fail "the table never showed"
sleep 1
before=$(visible_boxes)
kill -INT "$app_pid"
wait_for '[ "$(visible_boxes)" -gt "$before" ]' 50 || fail "SIGINT showed no question"
sleep 1
kill -0 "$app_pid" 2>/dev/null || fail "SIGINT ended the program without an answer"
[ -n "${SKELDA_SHOT:-}" ] && import -window root "$SKELDA_SHOT"
cp "$data/MyGame.sav" "$work/old.sav"
kill -TERM "$app_pid"
gone_within_2s || fail "still running 2 s after SIGTERM with the question up"
"$cli" --inspect "$data/MyGame.sav" >/dev/null || fail "the game saved under the question does not load"
echo "SIGKILL then restart: same position; SIGTERM: saved and gone within 2 s (also under a question); SIGINT: \"Save game?\""
