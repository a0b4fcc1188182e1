#!/usr/bin/env bash
# Starts Quarnel with the given command line (run it through tests/e2e/with-x11.sh), waits for
# its window, closes it with Esc and expects exit code 0. A recording stand-in takes the place
# of the desktop's web-address opener, so no browser starts; it must have been called twice.
#   scripts/start-and-close.sh COMMAND...
set -euo pipefail

stand_in=$(mktemp -d)
trap 'rm -rf "$stand_in"' EXIT
cat >"$stand_in/xdg-open" <<'OPENER'
#!/bin/sh
echo "$1" >>"$(dirname "$0")/opened.log"
OPENER
chmod +x "$stand_in/xdg-open"

cd "$stand_in"
PATH="$stand_in:$PATH" "$@" 2>"$stand_in/stderr.log" &
pid=$!
wid=$(timeout 30 xdotool search --sync --onlyvisible --name '^Quarnel$' | head -n1) || true
if [ -z "$wid" ]; then
    kill "$pid" 2>/dev/null || true
    cat "$stand_in/stderr.log" >&2
    echo "start-and-close: no window named Quarnel" >&2
    exit 1
fi
xdotool windowactivate --sync "$wid" key Escape
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || { echo "start-and-close: exit code $status" >&2; exit 1; }
for _ in $(seq 50); do
    [ "$(wc -l <"$stand_in/opened.log" 2>/dev/null || echo 0)" -ge 2 ] && break
    sleep 0.1
done
opened=$(cat "$stand_in/opened.log" 2>/dev/null || true)
[ "$(wc -l <<<"$opened")" -eq 2 ] || { echo "start-and-close: opened '$opened'" >&2; exit 1; }
echo "start-and-close: window shown and closed, home page opened twice, exit code 0"
