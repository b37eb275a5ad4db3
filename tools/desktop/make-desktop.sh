#!/usr/bin/env bash
# Makes a desktop: a fresh Wine prefix laid out like a Windows machine with Palm Desktop and this
# product installed, served by a persistent Wine server until stop-desktop.sh.
#
#   tools/desktop/make-desktop.sh DIR [--display]
#
# With QX_BIN naming the folder of the Windows build's programs, the HotSync folder also gets the
# user manager (USEREDIT.dll) and one HotSync user, "Pat Doe" (ID 1001, folder PatDoe), and the
# HotSync Manager (HOTSYNC.EXE with Sync20.dll, HsLog20.dll, Cmds21.dll, Cmds20.dll) with Pat Doe's
# emulated handheld in its cradle, C:\Palm\Cradle.
# DIR is removed and made again. Without --display, Wine's null display driver is selected: windows,
# dialogs and message boxes work without an X server. The registry it writes is kept in
# DIR/desktop.reg, so a test that changes it can put it back.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
dir=${1:?usage: make-desktop.sh DIR [--display]}
display=no
[ "${2:-}" = "--display" ] && display=yes

mkdir -p "$(dirname "$dir")"
dir=$(cd "$(dirname "$dir")" && pwd)/$(basename "$dir")
if [ -d "$dir" ]; then
    WINEPREFIX=$dir wineserver -k >/dev/null 2>&1 || true
    rm -rf "$dir"
fi

export WINEPREFIX=$dir WINEDEBUG=-all LANG=C.UTF-8
wine=$("$here/wine-loader.sh")

# Persistent from the start, so programs start fast and the server outlives each of them. Its
# children inherit its output: keep that off our pipes.
mkdir -p "$dir"
wineserver -p </dev/null >/dev/null 2>&1
"$wine" wineboot -i </dev/null >"$dir/boot.log" 2>&1 || { cat "$dir/boot.log" >&2; exit 1; }

drive_c=$dir/drive_c
mkdir -p "$drive_c/Palm" "$drive_c/Program Files/Quorvix"

{
    printf 'REGEDIT4\r\n\r\n'
    if [ "$display" = no ]; then
        printf '[HKEY_CURRENT_USER\\Software\\Wine\\Drivers]\r\n"Graphics"="null"\r\n\r\n'
    fi
    printf '[HKEY_CURRENT_USER\\Software\\Palm Computing\\Pilot Desktop\\Core]\r\n'
    printf '"Path"="C:\\\\Palm"\r\n\r\n'
    printf '[HKEY_CURRENT_USER\\Software\\Palm Computing\\Pilot Desktop\\HotSync Manager]\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Palm Computing\\Pilot Desktop\\4.1]\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvel\\Quorvix Standard\\CurrentVersion]\r\n'
    printf '"Keyname"="3.0"\r\n\r\n'
    printf '[HKEY_LOCAL_MACHINE\\SOFTWARE\\Tarvel\\Quorvix Standard\\3.0]\r\n'
    printf '"Path"="C:\\\\Program Files\\\\Quorvix"\r\n\r\n'
} >"$dir/desktop.reg"
"$wine" regedit /S "Z:${dir//\//\\}\\desktop.reg" </dev/null >/dev/null 2>&1

# The desktop window started during the boot chose its display driver before the key above
# existed: start the server again so the next program gets a desktop with the right driver.
wineserver -k >/dev/null 2>&1 || true
wineserver -p </dev/null >/dev/null 2>&1
# Start Wine's own services now, with their output going nowhere: started later by a test, they
# would inherit its output and keep the test's pipe open after the test has ended.
"$wine" cmd /c exit </dev/null >/dev/null 2>&1

if [ -n "${QX_BIN:-}" ] && [ -f "$QX_BIN/USEREDIT.dll" ]; then
    cp "$QX_BIN/USEREDIT.dll" "$drive_c/Palm/"
    "$wine" "$QX_BIN/qxusers.exe" 'C:\Palm' add "Pat Doe" 1001 </dev/null >/dev/null
fi

# The HotSync Manager and its libraries, and Pat Doe's handheld in the cradle with the engine's
# directory database.
if [ -n "${QX_BIN:-}" ] && [ -f "$QX_BIN/HOTSYNC.EXE" ]; then
    for file in HOTSYNC.EXE Sync20.dll HsLog20.dll Cmds21.dll Cmds20.dll; do
        cp "$QX_BIN/$file" "$drive_c/Palm/"
    done
    "$wine" "$QX_BIN/qxhandheld.exe" create 'C:\Palm\Cradle' --user "Pat Doe" --user-id 1001 \
        </dev/null >/dev/null
fi

# Conduits registered with the HotSync Manager (HKCU\Software\Palm Computing\Pilot Desktop\
# Application...: "Conduit" path, "Creator" number): the Quorvix conduit for creator 'QVXF'. It
# is registered where it was built, so that it binds the same Lutrix.dll file as the programs
# beside it: the queue is shared only between processes that load one and the same file.
if [ -n "${QX_BIN:-}" ] && [ -f "$QX_BIN/Corvane.dll" ]; then
    bin=$(cd "$QX_BIN" && pwd)
    conduit="Z:${bin//\//\\\\}\\\\Corvane.dll"
    entry=$(printf '[HKEY_CURRENT_USER\\Software\\Palm Computing\\Pilot Desktop\\ApplicationQuorvix]\r\n"Conduit"="%s"\r\n"Creator"=dword:51565846' "$conduit")
    printf 'REGEDIT4\r\n\r\n%s\r\n\r\n' "$entry" >"$dir/conduit.reg"
    printf '%s\r\n\r\n' "$entry" >>"$dir/desktop.reg"
    "$wine" regedit /S "Z:${dir//\//\\}\\conduit.reg" </dev/null >/dev/null 2>&1
fi

echo "desktop ready: $dir"
