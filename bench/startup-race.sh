#!/usr/bin/env bash
# The start-up race: the time from launch until the main window is mapped, for Skelda and,
# when it is installed, GNOME's solitaire (aisleriot's `sol`), run in turns on one virtual
# display (Xvfb 1600 x 1000), each start with a fresh HOME; prints the medians and their
# ratio. Skelda starts with its sound device and music (SDL's dummy audio driver stands in
# for a sound card), as a new player's first start does.
#   bench/startup-race.sh [ROUNDS] [SKELDA...]
# ROUNDS (default 11) starts of each program. More than one SKELDA (builds of the program)
# race against each other too, each start interleaved with the others', and each gets its
# median and its ratio to the first and to the peer. SKELDA_RACE_PEER=none leaves the peer
# out; SKELDA_RACE_PEER=PROGRAM races another one. build/app/window-mapped is the stopwatch.
# SKELDA_RACE_HOLD_MS=N keeps each program N ms after its window is mapped and reads its
# resident memory then (20000: after the deal), printed beside the times.
# SKELDA_RACE_AUDIO=DRIVER picks SDL's audio driver (default dummy; "none" for a machine
# without a sound device).
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-11}
shift || true
programs=("$@")
[ ${#programs[@]} -gt 0 ] || programs=(build/app/skelda)
watch=${SKELDA_RACE_WATCH:-build/app/window-mapped}
for p in "${programs[@]}" "$watch"; do
  [ -x "$p" ] || { echo "no program at $p (build first)" >&2; exit 2; }
done
watch=$(realpath "$watch")
peer=${SKELDA_RACE_PEER:-}
if [ -z "$peer" ]; then
  for candidate in sol /usr/games/sol; do
    if command -v "$candidate" >/dev/null 2>&1; then peer=$(command -v "$candidate"); break; fi
  done
fi
[ "$peer" = none ] && peer=""

work=$(mktemp -d)
xvfb_pid=""
cleanup() {
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 1600x1000x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
export DISPLAY=$display
for _ in $(seq 50); do xdotool getdisplaygeometry >/dev/null 2>&1 && break; sleep 0.1; done

# One start of one contender with a fresh HOME; appends its time to its file.
run() {
  local name=$1 program=$2 home
  home=$(mktemp -d "$work/home.XXXXXX")
  local -a title=() hold=()
  [ "$name" != peer ] && title=(--title Skelda)
  [ -n "${SKELDA_RACE_HOLD_MS:-}" ] && hold=(--hold "$SKELDA_RACE_HOLD_MS")
  if out=$(cd "$home" && HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data \
           XDG_CACHE_HOME=$home/cache SDL_AUDIODRIVER=${SKELDA_RACE_AUDIO:-dummy} \
           "$watch" "${title[@]}" "${hold[@]}" -- "$program" 2>/dev/null); then
    awk '/mapped-ms/ {print $2}' <<<"$out" >>"$work/$name.times"
    awk '/rss-kb/ {print $2}' <<<"$out" >>"$work/$name.rss"
  else
    echo "  $name: no window" >&2
  fi
  rm -rf "$home"
}

contenders=()
for i in "${!programs[@]}"; do contenders+=("skelda$i"); done
[ -n "$peer" ] && contenders+=(peer)
program_of() {
  if [ "$1" = peer ]; then echo "$peer"; else
    local p=${programs[${1#skelda}]}
    [[ $p = /* ]] && echo "$p" || echo "$PWD/$p"
  fi
}

# A start of each first, not counted: the libraries into the page cache.
for c in "${contenders[@]}"; do run "$c" "$(program_of "$c")"; done
rm -f "$work"/*.times "$work"/*.rss
for r in $(seq "$rounds"); do
  # The order turns every round, so no contender always goes first.
  n=${#contenders[@]}
  for k in $(seq 0 $((n - 1))); do
    c=${contenders[$(((k + r) % n))]}
    run "$c" "$(program_of "$c")"
  done
done

median() { sort -n "$1" | awk '{a[NR] = $1} END {if (NR == 0) print "nan"; else if (NR % 2) print a[(NR + 1) / 2]; else print (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
echo "window mapped, median of $rounds starts each (fresh HOME, Xvfb 1600x1000):"
first=$(median "$work/skelda0.times")
peer_ms=""
[ -n "$peer" ] && peer_ms=$(median "$work/peer.times")
for c in "${contenders[@]}"; do
  m=$(median "$work/$c.times")
  line=$(printf "  %-40s %8.1f ms" "$(program_of "$c")" "$m")
  if [ "$c" != peer ] && [ -n "$peer_ms" ]; then
    line+=$(awk -v a="$m" -v b="$peer_ms" 'BEGIN { printf "   %.2f x the peer", a / b }')
  fi
  if [ "$c" != skelda0 ] && [ "$c" != peer ]; then
    line+=$(awk -v a="$m" -v b="$first" 'BEGIN { printf "   %.2f x the first", a / b }')
  fi
  if [ -s "$work/$c.rss" ]; then
    line+=$(awk -v k="$(median "$work/$c.rss")" -v h="$SKELDA_RACE_HOLD_MS" \
            'BEGIN { printf "   resident %.1f MB after %d ms", k / 1024, h }')
  fi
  echo "$line"
done
[ -n "$peer" ] || [ "${SKELDA_RACE_PEER:-}" = none ] ||
  echo "  (no peer: install aisleriot to race GNOME's solitaire)"
