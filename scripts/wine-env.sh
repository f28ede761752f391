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

# Wine derives the ANSI code page from the locale: zh_CN gives 936 (GBK).
# It also needs the locale installed to read non-ASCII Unix file names
# (without it every such file and folder is invisible), so we generate it
# into build/locale (no root needed) and point LOCPATH there. Both apply to
# Wine processes only: LOCPATH replaces the system's locales for the
# process, and exported into the shell it would break every other program.
VELL_WINE_LC_ALL=zh_CN.UTF-8
VELL_LOCALE_DIR="${VELL_ROOT}/build/locale"
VELL_WINE_ENV=(LC_ALL="${VELL_WINE_LC_ALL}" LOCPATH="${VELL_LOCALE_DIR}")

# Generates the locale once; the lock keeps parallel ctest jobs from
# writing it twice. Needs localedef (libc-bin) and the sources (locales).
vell_ensure_locale() {
    local dir="${VELL_LOCALE_DIR}/${VELL_WINE_LC_ALL}"
    [ -f "${dir}/.vell-done" ] && return 0
    mkdir -p "${VELL_LOCALE_DIR}"
    (
        flock 9
        [ -f "${dir}/.vell-done" ] && exit 0
        rm -rf "${dir}"
        if ! localedef -i zh_CN -f UTF-8 "${dir}" >"${VELL_LOCALE_DIR}/localedef.log" 2>&1; then
            echo "warning: could not generate ${VELL_WINE_LC_ALL} (package locales missing?);" \
                "Wine will not see non-ASCII file names; see ${VELL_LOCALE_DIR}/localedef.log" >&2
            rm -rf "${dir}"
            exit 0
        fi
        touch "${dir}/.vell-done"
    ) 9>"${VELL_LOCALE_DIR}/.lock"
}

# vell_wine_env command...: runs a command in the Wine environment.
vell_wine_env() {
    vell_ensure_locale
    env "${VELL_WINE_ENV[@]}" "$@"
}

vell_wine() {
    vell_wine_env wine "$@"
}

vell_wineserver() {
    vell_wine_env wineserver "$@"
}

# Creates the prefix once and applies our settings (bump the settings
# marker when they change). The lock keeps parallel ctest jobs, and a
# build-time generator run under Wine, from doing it twice.
vell_ensure_prefix() {
    local booted="${WINEPREFIX}/.vell-booted"
    local settings="${WINEPREFIX}/.vell-settings-1"
    [ -f "${settings}" ] && return 0
    VELL_HEADLESS_SESSION=1
    mkdir -p "$(dirname "${WINEPREFIX}")"
    (
        flock 9
        [ -f "${settings}" ] && exit 0
        local wait_server=
        if [ ! -f "${booted}" ]; then
            # A prefix without the marker is a half-made one; start over.
            rm -rf "${WINEPREFIX}"
            # Slow machines see wineboot give up waiting (a non-zero status)
            # while its helpers go on; the wait below lets them finish.
            vell_wine_env DISPLAY= wineboot -i >/dev/null 2>&1 || true
            wait_server=1
        fi
        # A crashing program prints a backtrace and exits (code 5 for an
        # access violation) instead of waiting on a crash dialog.
        vell_wine_env DISPLAY= wine reg add \
            'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f \
            >/dev/null 2>&1
        if [ -n "${wait_server}" ]; then
            # wineboot returns before its helpers finish writing the
            # registry; waiting for the server makes the prefix complete.
            # Under an i386 emulator this takes many minutes, not seconds.
            timeout 3600 env "${VELL_WINE_ENV[@]}" wineserver -w || true
            touch "${booted}"
        fi
        touch "${settings}"
    ) 9>"${WINEPREFIX}.lock"
}

# Whether the window manager manages the program's windows: Y for a user's
# desktop, N for tests under a bare Xvfb, where Wine otherwise waits about
# two seconds for a window manager each time a framed window is hidden.
vell_window_manager() {
    local want="$1" mark="${WINEPREFIX}/.vell-managed"
    [ "$(cat "${mark}" 2>/dev/null)" = "${want}" ] && return 0
    VELL_HEADLESS_SESSION=1
    vell_wine_env DISPLAY= wine reg add \
        'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "${want}" /f \
        >/dev/null 2>&1
    echo "${want}" >"${mark}"
}

# The set-up above runs Wine programs without a display. A window created
# later in the session they started fails ("no driver could be loaded"),
# so a program with windows first waits for that session to end.
VELL_HEADLESS_SESSION=
vell_end_headless_session() {
    [ -n "${VELL_HEADLESS_SESSION}" ] || return 0
    timeout 120 env "${VELL_WINE_ENV[@]}" wineserver -w || true
    VELL_HEADLESS_SESSION=
}
