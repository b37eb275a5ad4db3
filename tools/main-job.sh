#!/usr/bin/env bash
# The main job: builds the kit, makes a desktop (a Wine prefix with Palm Desktop's and this
# product's settings and one HotSync user), and shows what works so far: a deploying program
# queues commands and keeps Lutrix loaded, another looks at the shared state and takes the
# commands in order as the conduit will; the state starts afresh once both have ended. Then the
# example Orders application and its tables are deployed: a client waits in the HotSync wait
# dialog while a HotSync runs the Quorvix conduit, which writes them to the emulated handheld;
# the person holding the handheld edits and deletes customers, and the next HotSync brings the
# customer table back into the desktop's .DBF and .DBT. Last, a PRC file is handed to HotSync's
# install folder of the user.
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
native=$top/build/release/bin
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

# The example application and tables, made from their readable descriptions with the native tools
# and placed where a deploying program keeps them.
apps=$desktop/drive_c/Quorvix/Apps
data=$desktop/drive_c/Quorvix/Data
mkdir -p "$apps" "$data"
"$native/qxpda" "$top/examples/orders/ORDERS.txt" "$apps/ORDERS.PDA" >/dev/null
for table in CUSTOMER ORDERS; do
    "$native/qxdbf" make --replace "$top/examples/tables/$table.txt" "$data/$table.DBF" >/dev/null
done

# Runs a HotSync while a deploying program waits in the HotSync wait dialog with the commands it
# queued; the dialog closes when the conduit has worked through them.
sync_while_waiting() {
    local caption=$1
    shift
    run "$bin/qxqueue.exe" "$@" flush "$caption" >"$work/client.out" 2>&1 &
    local client=$!
    run "$bin/qxauto.exe" --caption "$caption" --timeout 30000 >/dev/null
    say "The HotSync button is pressed: the HotSync Manager runs the Quorvix conduit"
    run 'C:\Palm\HOTSYNC.EXE' /once | sed 's/^/    /' || true
    wait "$client" || true
    sed 's/^/    client: /' "$work/client.out"
}

say "A deploying program queues the Orders application and its two tables, and waits"
ls -l "$apps" "$data" | sed -E '/^total/d;s/^/    /'
sync_while_waiting "Installing Orders" add 6 - add 7 'C:\Quorvix\Apps\ORDERS.PDA' QVXD 1 \
    add 8 'C:\Quorvix\Data\CUSTOMER.DBF' QVXD 1 add 8 'C:\Quorvix\Data\ORDERS.DBF' QVXD 1 add 6 -
say "Pat Doe's HotSync log"
sed 's/^/    /' "$desktop/drive_c/Palm/PatDoe/HotSync Log.txt"

cradle=$desktop/drive_c/Palm/Cradle
say "The emulated handheld in the cradle, read with the native qxhandheld"
"$native/qxhandheld" list "$cradle" | sed 's/^/    /'

say "The application database on the handheld is the one native qxpdb writes from the same file"
cp "$apps/ORDERS.PDA" "$work/ORDERS.PDA"
"$native/qxpdb" write-app "$work/ORDERS.PDA" QVXD 1 >/dev/null
# Block and record bytes only: the handheld keeps its records' dirty bits until a table retrieval
# resets them, and places blocks where it likes.
blocks() {
    "$native/qxpdb" dump "$1" | sed -n '/^application info/,$p' |
        sed -E 's/ at 0x[0-9a-fA-F]+//; s/attributes 0x[0-9a-fA-F]+ \([^)]*\), //'
}
if diff <(blocks "$cradle/QX-SE_ORDERS.pdb") <(blocks "$work/QX-SE_ORDERS.pdb") >"$work/app.diff"; then
    echo "    same application info block and $(blocks "$work/QX-SE_ORDERS.pdb" | grep -c '^  #') form records"
else
    sed 's/^/    /' "$work/app.diff"
    exit 1
fi

say "On the handheld, Pat Doe raises a credit limit, rewrites a note and deletes a customer"
"$native/qxhandheld" set-field "$cradle" QXT-SE_CUSTOMER 1 CREDIT 15000 >/dev/null
"$native/qxhandheld" set-field "$cradle" QXT-SE_CUSTOMER 3 NOTES \
    $'Seasonal: orders double in May.\nNew shop in Round Rock from June.' >/dev/null
"$native/qxhandheld" mark "$cradle" QXT-SE_CUSTOMER 7 deleted
"$native/qxhandheld" fields "$cradle" QXT-SE_CUSTOMER 1 | sed 's/^/    /'

mkdir -p "$work/before"
cp "$data/CUSTOMER.DBF" "$data/CUSTOMER.dbt" "$work/before/"
say "The deploying program asks for the customer table back"
sync_while_waiting "Collecting customers" add 6 - add 4 'C:\Quorvix\Data\CUSTOMER.DBF' add 6 -

say "C:\\Quorvix\\Data\\CUSTOMER.DBF before and after (qxdbf show, as a diff)"
diff <("$native/qxdbf" show "$work/before/CUSTOMER.DBF") <("$native/qxdbf" show "$data/CUSTOMER.DBF") |
    sed 's/^/    /' || true
say "The handheld's table after it came back: purged, nothing pending"
"$native/qxhandheld" list "$cradle" | grep QXT-SE_CUSTOMER | sed 's/^/    /'
"$native/qxhandheld" fields "$cradle" QXT-SE_CUSTOMER 1 | head -1 | sed 's/^/    /'

say "HotSync users, and a PRC handed to HotSync's install folder of Pat Doe (1001)"
printf 'engine' >"$desktop/drive_c/QXENGINE.PRC"
run "$bin/qxqueue.exe" users install 1001 'C:\QXENGINE.PRC' pending 1001 | sed 's/^/    /'
ls "$desktop/drive_c/Palm/PatDoe/Install" | sed 's/^/    C:\\Palm\\PatDoe\\Install\\/'
run reg query 'HKCU\Software\Palm Computing\Pilot Desktop\HotSync Manager' | grep Install | sed 's/^ */    /'

say "Lutrix exports (32-bit deliverable: build/win32/bin/Lutrix.dll)"
i686-w64-mingw32-objdump -p "$top/build/win32/bin/Lutrix.dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | sed -E '1d;/^$/d;s/^[[:space:]]*\[ *[0-9]+\] //' | paste -sd' ' |
    fold -s -w 92 | sed 's/^/    /'

cat <<'TEXT'

--- Not built yet
    Picture conversion (a picture coming back from the handheld is left as ten spaces); the
    Zandrel installer; the Myrtak tray host.
TEXT
