#!/usr/bin/env bash
# Prints the Wine loader that runs our Windows programs on this machine. Debian's `wine` wrapper
# insists on the 32-bit loader, which a kernel without 32-bit support cannot start; the 64-bit
# loader runs the x86_64 build.
set -euo pipefail
for loader in /usr/lib/wine/wine64 /usr/lib/x86_64-linux-gnu/wine/wine64 "$(command -v wine64 || true)"; do
    if [ -n "$loader" ] && [ -x "$loader" ]; then
        echo "$loader"
        exit 0
    fi
done
echo "wine64 not found: run tools/install-deps.sh" >&2
exit 1
