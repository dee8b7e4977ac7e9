#!/usr/bin/env bash
# Checks of the documents that are installed or shipped with the source.
#   check-docs.sh man SOURCE        every manual page renders with groff without a warning
#                                   and has a NAME line that lexgrog (whatis) reads
#   check-docs.sh protocols SOURCE  docs/skelda-deck.md and docs/skelda-cli.md hold every
#                                   line of the shared contracts beside the source (skipped,
#                                   status 77, where those are not at hand)
set -euo pipefail
mode=$1 source=$2
failed=0
case $mode in
  man)
    pages=("$source"/resources/desktop/*.[0-9])
    [ ${#pages[@]} -ge 3 ] || { echo "expected the three manual pages, found ${#pages[@]}"; exit 1; }
    for page in "${pages[@]}"; do
      warnings=$(LC_ALL=C.UTF-8 groff -ww -z -man -Tutf8 "$page" 2>&1) || true
      if [ -n "$warnings" ]; then echo "$page:"; echo "$warnings"; failed=1; fi
      lexgrog "$page" >/dev/null || { echo "$page: no NAME line lexgrog can read"; failed=1; }
      name=$(basename "$page")
      head -n1 "$page" | sed 's/\\//g' | grep -qi "^\.TH ${name%.*}\b" ||
        { echo "$page: its .TH does not name ${name%.*}"; failed=1; }
    done
    ;;
  protocols)
    shared=$source/../shared
    [ -f "$shared/skelda-deck.md" ] && [ -f "$shared/skelda-cli.md" ] ||
      { echo "no shared contracts beside the source: nothing to compare"; exit 77; }
    for doc in skelda-deck.md skelda-cli.md; do
      # Every line of the contract, in order, in the project's copy (which may add more).
      if ! python3 - "$shared/$doc" "$source/docs/$doc" <<'PY'
import sys
contract = open(sys.argv[1], encoding="utf-8").read().splitlines()
copy = open(sys.argv[2], encoding="utf-8").read().splitlines()
at = 0
for line in contract:
    while at < len(copy) and copy[at] != line:
        at += 1
    if at == len(copy):
        print(f"{sys.argv[2]}: lacks, or has out of order: {line!r}")
        sys.exit(1)
    at += 1
PY
      then failed=1; fi
    done
    ;;
  *) echo "unknown mode $mode"; exit 2 ;;
esac
exit $failed
