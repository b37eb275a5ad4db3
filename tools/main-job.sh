#!/usr/bin/env bash
# The main job: builds the kit, makes a desktop (a Wine prefix with Palm Desktop's and this
# product's settings and one HotSync user), and shows what works so far: a deploying program
# queues commands and keeps Lutrix loaded, another looks at the shared state and takes the
# commands in order as the conduit will; the state starts afresh once both have ended; a client
# waits in the HotSync wait dialog while a HotSync runs the Quorvix conduit over the emulated
# handheld; a PRC file is handed to HotSync's install folder of the user.
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
QX_BIN=$top/build/win64/bin "$top/tools/desktop/make-desktop.sh" "$desktop"
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

say "A deploying program queues three commands and waits in the HotSync wait dialog"
run "$bin/qxqueue.exe" add 6 - add 2 'C:\Quorvix\Apps\OLD.PDA' add 6 - flush "Installing application" \
    >"$work/client.out" 2>&1 &
client=$!
run "$bin/qxauto.exe" --caption "Installing application" --timeout 30000 | sed 's/^/    /'

say "The HotSync button is pressed: the HotSync Manager runs the Quorvix conduit"
run 'C:\Palm\HOTSYNC.EXE' /once | sed 's/^/    /' || true
wait "$client" || true
sed 's/^/    client: /' "$work/client.out"
say "Pat Doe's HotSync log"
sed 's/^/    /' "$desktop/drive_c/Palm/PatDoe/HotSync Log.txt"

say "HotSync users, and a PRC handed to HotSync's install folder of Pat Doe (1001)"
printf 'engine' >"$desktop/drive_c/QXENGINE.PRC"
run "$bin/qxqueue.exe" users install 1001 'C:\QXENGINE.PRC' pending 1001 | sed 's/^/    /'
ls "$desktop/drive_c/Palm/PatDoe/Install" | sed 's/^/    C:\\Palm\\PatDoe\\Install\\/'
run reg query 'HKCU\Software\Palm Computing\Pilot Desktop\HotSync Manager' | grep Install | sed 's/^ */    /'

say "Lutrix exports (32-bit deliverable: build/win32/bin/Lutrix.dll)"
i686-w64-mingw32-objdump -p "$top/build/win32/bin/Lutrix.dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -E '1d;/^$/d;s/^[[:space:]]*\[ *[0-9]+\] //' | paste -sd' ' |
    fold -s -w 92 | sed 's/^/    /'

say "The emulated handheld in the cradle, read with the native qxhandheld"
"$top/build/release/bin/qxhandheld" list "$desktop/drive_c/Palm/Cradle" | sed 's/^/    /'

cat <<'TEXT'

--- Not built yet
    Picture conversion; the Zandrel installer; the Myrtak tray host; an example application and
    example tables to deploy (Corvane converts .PDA applications and dBase tables, see qxpdb
    write-app and write-table, but this job has none of its own to show yet).
TEXT
