#!/bin/sh
# vorncheck --watch against a click the X server makes, as a user's is:
# Wine calls low-level mouse hooks only for the input its X driver reads,
# not for SendInput's buttons (Windows calls them for both), so the click
# comes from xdotool on the Wine session's display. The pointer goes to a
# corner of the desktop, where the rule for any client area wins; the
# watch must name each event, the area, the list and the rule, and the
# middle press that its release's list decides.
#   watch_test.sh STAGE   (the folder holding vorncheck.exe)
set -u
VORN_ROOT=$(cd "$(dirname "$0")/../.." && pwd)
. "$VORN_ROOT/scripts/lib/wine-env.sh"
stage=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp "$stage/vorncheck.exe" "$work/"
printf '[List1]\r\nHook1=MBUTTONUP\r\n1.Match=Anywhere\r\n1.Action=NoAction\r\n' >"$work/watch.ini"
printf '[Match.Anywhere]\r\nnPattern=1\r\n1.NCHitTest=CLIENT\r\n' >>"$work/watch.ini"

(cd "$work" && wine vorncheck.exe --watch 10 watch.ini >watch.out 2>watch.err) &
watcher=$!
waited=0
until grep -q "watching mouse button events" "$work/watch.out" 2>/dev/null; do
  if [ $waited -ge 300 ] || ! kill -0 $watcher 2>/dev/null; then
    echo "vorncheck --watch did not start:"; cat "$work/watch.out" "$work/watch.err"; exit 1
  fi
  sleep 0.1
  waited=$((waited + 1))
done
xdotool mousemove 4 4 click 2
wait $watcher
status=$?
cat "$work/watch.out"
[ $status -eq 0 ] || { echo "vorncheck --watch ended with $status"; cat "$work/watch.err"; exit 1; }
for expected in \
  '  MBUTTONDOWN      class "[^"]*", program "[^"]*", title "[^"]*", keys None, area CLIENT: no list of its own: MBUTTONUP'"'"'s List1 decides it, with rule 1 (match "Anywhere"): the press is swallowed' \
  '  MBUTTONUP        class "[^"]*", program "[^"]*", title "[^"]*", keys None, area CLIENT: List1, rule 1 (match "Anywhere"): nothing runs; the click is swallowed' \
  '^2 mouse button events seen'; do
  grep -q "$expected" "$work/watch.out" || { echo "missing: $expected"; exit 1; }
done
echo "passed"
