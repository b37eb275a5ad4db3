#!/usr/bin/env bash
# Stops the persistent Wine server of one desktop (and every program still running in it).
set -uo pipefail
dir=${1:?usage: stop-desktop.sh DIR}
[ -d "$dir" ] || exit 0
WINEPREFIX=$dir wineserver -k >/dev/null 2>&1
exit 0
