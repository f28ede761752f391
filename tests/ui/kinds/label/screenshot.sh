#!/usr/bin/env bash
# Takes an X screenshot (xwd, converted to PNG) of the label showcase window
# while the test program holds it on screen.
#   screenshot.sh <test program> <artifacts folder>
set -u
prog=$1
out=$2
mkdir -p "$out"
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
run="$here/../../../../scripts/wine-run"
if [ -z "${DISPLAY:-}" ] || ! command -v xwd >/dev/null; then
    echo "no X display or xwd: screenshot skipped"
    exit 0
fi
( cd "$out" && VELL_SHOT_HOLD_MS=4000 "$run" "$prog" --gtest_filter='LabelWindow.ShowcaseForAScreenshot' ) &
pid=$!
sleep 3
xwd -root -display "$DISPLAY" -out "$out/label_window.xwd"
shot=$?
wait $pid
rc=$?
if [ $shot -eq 0 ] && command -v convert >/dev/null; then
    convert "$out/label_window.xwd" "$out/label_window_xwd.png" && rm -f "$out/label_window.xwd"
fi
[ -f "$out/artifacts/label_window.bmp" ] && command -v convert >/dev/null &&
    convert "$out/artifacts/label_window.bmp" "$out/label_window.png"
exit $rc
