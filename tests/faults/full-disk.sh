#!/usr/bin/env bash
# A full disk and a read-only data folder, for real: a small tmpfs as skelda-cli's data
# folder. Saving then says why it failed, the old saved game stays as it was, and the
# game goes on. Needs the right to mount (root); skips (77) where mounting is not allowed.
# The same faults are injected into the file layer by the unit tests, which run anywhere.
#   full-disk.sh path/to/skelda-cli
set -euo pipefail
cli=$1
work=$(mktemp -d)
data=$work/data
mkdir -p "$data"
cleanup() {
  umount "$data" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
if ! mount -t tmpfs -o size=64k,mode=0755 skelda-full "$data" 2>/dev/null; then
  echo "SKIP: cannot mount a tmpfs here (not root, or no right to mount); the injected faults of the unit tests stand in"
  exit 77
fi

session() {
  # One driver session over the data folder; prints its events.
  "$cli" --seed 7 --sound off --data "$data"
}
fail() {
  echo "$1" >&2
  exit 1
}

printf 'startup\nrun\nsave Old\n' | session >/dev/null
cp "$data/Old.sav" "$work/old.sav"

# The disk full: what is left of the 64 KiB is taken by one big file.
dd if=/dev/zero of="$data/filler" bs=4k 2>/dev/null || true
out=$(printf 'startup\nrun\nset your-scores 5\nset opponent-scores 5\nsave Old\nstate\n' | session)
echo "$out" | grep -q 'MSG error "Skelda" "The game was not saved. Cannot write .*No space left on device' ||
  fail "no clear message on a full disk: $(echo "$out" | grep MSG)"
cmp -s "$data/Old.sav" "$work/old.sav" || fail "the old saved game changed on a full disk"
echo "$out" | grep -q '^STATE .*"yourScores":\[5\]' || fail "the game did not go on after the failed save"
[ -z "$(find "$data" -name '.Old.sav.*')" ] || fail "a temporary was left on the full disk"
rm -f "$data/filler"

# The folder read-only.
mount -o remount,ro "$data"
out=$(printf 'startup\nrun\nsave Old\nstate\n' | session)
echo "$out" | grep -q 'MSG error "Skelda" "The game was not saved. Cannot write .*Read-only file system' ||
  fail "no clear message in a read-only folder: $(echo "$out" | grep MSG)"
cmp -s "$data/Old.sav" "$work/old.sav" || fail "the old saved game changed in a read-only folder"
echo "$out" | grep -q '^STATE ' || fail "the game did not go on after the failed save"
echo "full disk and read-only folder: clear messages, the old saved game intact, the game goes on"
