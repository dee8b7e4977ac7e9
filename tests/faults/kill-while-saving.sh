#!/usr/bin/env bash
# kill -9 at random moments while skelda-cli saves one game over and over: afterwards the
# file is always a whole saved game with a valid checksum (the old one or the new one),
# never a mixture, a stub or nothing once it has been written.
#   kill-while-saving.sh path/to/skelda-cli [rounds]
set -euo pipefail
cli=$1
rounds=${2:-200}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Many saves in a row, each of a different game (the score changes), as fast as it goes.
{
  echo "startup"
  echo "run"
  for i in $(seq 1 400); do
    echo "set your-scores $i"
    echo "set opponent-scores $((400 - i))"
    echo "save Game"
  done
} >"$work/commands"

# A first version, so that from the first kill on there is an old file to keep.
"$cli" --seed 1 --sound off --data "$work/data" <"$work/commands" >/dev/null
"$cli" --inspect "$work/data/Game.sav" >/dev/null

for round in $(seq 1 "$rounds"); do
  "$cli" --seed "$round" --sound off --data "$work/data" <"$work/commands" >/dev/null &
  pid=$!
  # Somewhere between the start-up and the last save.
  sleep "0.0$((RANDOM % 60))"
  kill -9 "$pid" 2>/dev/null || true
  wait "$pid" 2>/dev/null || true
  if ! "$cli" --inspect "$work/data/Game.sav" >"$work/inspect.json"; then
    echo "after kill $round the saved game is damaged:" >&2
    cat "$work/inspect.json" >&2
    exit 1
  fi
  grep -q "\"checksum\": {\"holds\": true" "$work/inspect.json" || {
    echo "after kill $round the checksum does not hold" >&2
    exit 1
  }
  # What the killed writers left behind are their own temporaries, never the game's name.
  find "$work/data" -maxdepth 1 -name 'Game.sav?*' | grep -q . && {
    echo "a file that looks like the saved game was left" >&2
    exit 1
  }
done
left=$(find "$work/data" -maxdepth 1 -name '.Game.sav.*' | wc -l)
echo "$rounds kills while saving: the saved game was whole every time ($left temporaries of killed writers left)"
