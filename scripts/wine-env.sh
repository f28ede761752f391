# shellcheck shell=bash
# Project environment for running Windows programs under Wine.
# Sourced by every script in scripts/; safe to source more than once.

VELL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export VELL_ROOT

# Our own prefix, never the user's ~/.wine.
export WINEPREFIX="${VELL_ROOT}/build/wineprefix"
export WINEARCH=win32
export WINEDEBUG="${WINEDEBUG:--all}"
# Empty overrides stop the Mono/Gecko installer dialogs during wineboot.
export WINEDLLOVERRIDES="mscoree,mshtml="

# Wine derives the ANSI code page from the locale: zh_CN gives 936 (GBK)
# even when the host locale is not installed. It is applied to Wine
# processes only, because exported into the shell every child bash would
# print a setlocale warning.
VELL_WINE_LC_ALL=zh_CN.UTF-8

vell_wine() {
    env LC_ALL="${VELL_WINE_LC_ALL}" wine "$@"
}

vell_wineserver() {
    env LC_ALL="${VELL_WINE_LC_ALL}" wineserver "$@"
}

# Creates the prefix once. The lock keeps parallel ctest jobs (and a
# build-time generator run under Wine) from initialising it twice.
vell_ensure_prefix() {
    local marker="${WINEPREFIX}/.vell-ready"
    [ -f "${marker}" ] && return 0
    mkdir -p "$(dirname "${WINEPREFIX}")"
    (
        flock 9
        if [ ! -f "${marker}" ]; then
            rm -rf "${WINEPREFIX}"
            env LC_ALL="${VELL_WINE_LC_ALL}" DISPLAY= wineboot -i >/dev/null 2>&1
            # wineboot returns before its helpers finish writing the
            # registry; waiting for the server makes the prefix complete.
            timeout 120 wineserver -w || true
            touch "${marker}"
        fi
    ) 9>"${WINEPREFIX}.lock"
}
