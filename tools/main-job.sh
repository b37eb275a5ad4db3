#!/usr/bin/env bash
# The main job: builds the kit, makes a desktop (a Wine prefix with Palm Desktop's and this
# product's settings), and shows what works so far: a deploying program queues commands and
# keeps Lutrix loaded while it waits, another program looks at the shared state and takes the
# commands in order, as the conduit will, and the state starts afresh once both have ended.
set -euo pipefail
top=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$top"
"$top/tools/install-deps.sh"
"$top/tools/build.sh" win32 >/dev/null
"$top/tools/build.sh" win64 >/dev/null
"$top/tools/build.sh" release >/dev/null

work=$top/build/main-job
desktop=$work/desktop
mkdir -p "$work"
"$top/tools/desktop/make-desktop.sh" "$desktop"
trap '"$top/tools/desktop/stop-desktop.sh" "$desktop"; rm -f "$work/hold.in"' EXIT

bin=$top/build/win64/bin
run() { QX_DESKTOP=$desktop "$top/tests/wine/in-desktop.sh" "$@"; }
say() { printf '\n--- %s\n' "$*"; }

say "A deploying program queues three commands and waits with Lutrix loaded"
rm -f "$work/hold.in"
mkfifo "$work/hold.in"
run "$bin/qxqueue.exe" add 7 'C:\Quorvix\Apps\ORDERS.PDA' QVXD 1 \
    add 8 'C:\Quorvix\Data\CUSTOMER.DBF' QVXD 1 add 9 'C:\Quorvix\Engine\QXENGINE.PRC' hold \
    <"$work/hold.in" >"$work/holder.out" 2>&1 &
holder=$!
exec 3>"$work/hold.in"  # the holder waits until this is closed
while ! grep -q '^holding:' "$work/holder.out" 2>/dev/null; do
    if ! kill -0 "$holder" 2>/dev/null; then
        cat "$work/holder.out"
        exit 1
    fi
    sleep 0.1
done
sed 's/^/    /' "$work/holder.out"

say "Another program shows the shared state without changing it"
run "$bin/qxqueue.exe" show | sed 's/^/    /'

say "The conduit's side takes the commands, oldest first"
run "$bin/qxqueue.exe" take-all | sed 's/^/    /'

say "The deploying program ends; the next program to load Lutrix starts from a fresh state"
exec 3>&-
wait "$holder"
run "$bin/qxqueue.exe" show | grep -E 'read index|write index|queued' | sed 's/^/    /'

say "Lutrix exports (32-bit deliverable: build/win32/bin/Lutrix.dll)"
i686-w64-mingw32-objdump -p "$top/build/win32/bin/Lutrix.dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -E '1d;/^$/d;s/^[[:space:]]*\[ *[0-9]+\] //' | paste -sd' ' |
    fold -s -w 92 | sed 's/^/    /'

say "An emulated handheld and its application directory (native tools)"
rm -rf "$work/handheld"
"$top/build/release/bin/qxhandheld" create "$work/handheld" --user "Pat Doe" --user-id 1001 | sed 's/^/    /'
"$top/build/release/bin/qxhandheld" list "$work/handheld" | sed 's/^/    /'

cat <<'TEXT'

--- Not built yet
    Corvane.dll, the HotSync conduit (synchronisation loop, dispatch, error dialog), and the
    HotSync Manager / Sync Manager stand-ins that load it; the .PDA application conversion; the
    dBase table transfer to and from the handheld (the .DBF/.DBT reader and writer exist); picture
    conversion; Lutrix's install hand-off, user directory and wait dialog; the Zandrel installer;
    the Myrtak tray host. Until they land, this job stops at the queue.
TEXT
