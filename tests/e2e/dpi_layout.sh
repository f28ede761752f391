#!/usr/bin/env bash
# Runs the layout check at 96 and 144 DPI. Wine takes a monitor's DPI when
# its session starts, so each DPI gets a session of its own: the running
# one is ended (nothing else may run meanwhile), the setting written, and
# that session ended too. The prefix is left at 96.
#   dpi_layout.sh path/to/scripts path/to/probe.exe
set -uo pipefail
scripts=$1
probe=$2
# shellcheck source=scripts/wine-env.sh
. "${scripts}/wine-env.sh"

set_dpi() {
    vell_wineserver -k >/dev/null 2>&1
    vell_wineserver_wait 30
    vell_wine_env wine reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$1" /f >/dev/null 2>&1
    vell_wineserver -k >/dev/null 2>&1
    vell_wineserver_wait 30
}
trap 'set_dpi 96' EXIT

status=0
for dpi in 96 144; do
    echo "--- ${dpi} DPI"
    set_dpi "${dpi}"
    VELL_DPI=${dpi} "${scripts}/wine-run" "${probe}" || status=1
done
exit "${status}"
