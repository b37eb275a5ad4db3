#!/usr/bin/env bash
# Takes the pictures in docs/ of Lutrix's dialogs as a user sees them: a desktop with Wine's X11
# driver on a virtual screen (Xvfb), Wine drawing the window frames itself.
#
#   tools/desktop/screenshots.sh [BUILD_BIN]     (default: build/win64/bin)
#
# Needs xvfb, xdotool and imagemagick (apt-get install xvfb xdotool imagemagick).
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
bin=$(cd "${1:-$top/build/win64/bin}" && pwd)
work=$top/build/screenshots
mkdir -p "$work" "$top/docs"

display=:$((90 + RANDOM % 9))
Xvfb "$display" -screen 0 800x600x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display QX_DESKTOP=$work/desktop
trap 'QX_DESKTOP=$QX_DESKTOP "$top/tools/desktop/stop-desktop.sh" "$QX_DESKTOP"; kill $xvfb' EXIT

QX_BIN=$bin "$top/tools/desktop/make-desktop.sh" "$QX_DESKTOP" --display >/dev/null
run() { "$top/tests/wine/in-desktop.sh" "$@"; }
run reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null
run reg add 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N /f >/dev/null
WINEPREFIX=$QX_DESKTOP wineserver -k
WINEPREFIX=$QX_DESKTOP wineserver -p </dev/null >/dev/null 2>&1

# Shows a dialog with `program...`, waits for the window titled `caption`, saves it to `png`,
# then presses `button` to close it.
shoot() {
    local caption=$1 png=$2 button=$3
    shift 3
    run "$@" >/dev/null 2>&1 &
    local shown=$!
    run "$bin/qxauto.exe" --caption "$caption" --timeout 30000 >/dev/null
    local window geometry
    # xdotool takes a regular expression: match the caption literally.
    window=$(xdotool search --name "^$(sed 's/[][().*^$+?{}|\\]/\\&/g' <<<"$caption")\$" | head -n 1)
    geometry=$(xdotool getwindowgeometry "$window" |
        awk '/Position/ {split($2, p, ","); x = p[1]; y = p[2]} /Geometry/ {print $2 "+" x "+" y}')
    import -window root "$work/root.png"
    convert "$work/root.png" -crop "$geometry" +repage "$top/docs/$png"
    run "$bin/qxauto.exe" --caption "$caption" --press "$button" >/dev/null
    wait "$shown"
    echo "docs/$png"
}

shoot "Installing application" wait-dialog.png "&Abort" \
    "$bin/qxqueue.exe" add 7 'C:\Apps\ORDERS.PDA' QVXD 1 flush "Installing application"
shoot "User Maintenance (DISABLED for Beta)" user-maintenance.png Cancel "$bin/qxqueue.exe" maintenance
