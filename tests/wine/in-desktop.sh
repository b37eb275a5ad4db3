#!/usr/bin/env bash
# Runs a Windows program in the desktop (Wine prefix) named by QX_DESKTOP, quietly.
set -euo pipefail
here=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)
: "${QX_DESKTOP:?QX_DESKTOP must name the desktop (a Wine prefix made by tools/desktop/make-desktop.sh)}"
export WINEPREFIX=$QX_DESKTOP
export WINEDEBUG=${WINEDEBUG:--all}
export LANG=C.UTF-8
exec "$("$here/../../tools/desktop/wine-loader.sh")" "$@"
