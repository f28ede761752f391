# shellcheck shell=bash
# Project environment for running Windows programs under Wine.
# Sourced by every script in scripts/; safe to source more than once.

VELL_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
export VELL_ROOT

# Which Wine: "root" (default), Wine 10 of the 64-bit root in WoW64 mode,
# the same on every machine; "host", the host's 32-bit Wine 8 (needs a
# kernel that starts i386 programs).
export VELL_WINE="${VELL_WINE:-root}"
case "${VELL_WINE}" in
    root | host) ;;
    *) echo "VELL_WINE must be root or host, not ${VELL_WINE}" >&2; exit 2 ;;
esac

# shellcheck source=scripts/wine-root.sh
. "${VELL_ROOT}/scripts/wine-root.sh"

# vell_use_prefix BUILD: our own prefix in BUILD, never the user's ~/.wine;
# one per Wine, as neither can use the other's.
vell_use_prefix() {
    if [ "${VELL_WINE}" = host ]; then
        export WINEPREFIX="$1/wineprefix-host"
        export WINEARCH=win32
    else
        # WoW64 needs a 64-bit prefix.
        export WINEPREFIX="$1/wineprefix"
        unset WINEARCH
    fi
}
vell_use_prefix "${VELL_ROOT}/build"
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

# Generates the locale once; the lock keeps parallel ctest jobs from
# writing it twice. Needs localedef (libc-bin) and the sources (locales).
# The root has its own, made with it.
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

# Host folders a Windows program of ours may name, seen at the same paths
# inside the root: /tmp (also the X server's socket), /home, the clone,
# the prefix's folder, the current folder unless it is a system one, and
# VELL_WINE_BINDS (colon-separated). The wineserver opens files in the
# namespace of the program that started it: a folder bound only for a
# later program is not there for it.
vell_root_binds() {
    local paths=(/tmp /home "${VELL_ROOT}" "$(dirname "${WINEPREFIX}")") extra
    case "${PWD}" in
        / | /usr | /usr/* | /etc | /etc/* | /bin* | /sbin* | /lib* | /var | /var/* | \
            /proc* | /sys | /sys/* | /dev | /dev/* | /boot* | /run | /run/*) ;;
        *) paths+=("${PWD}") ;;
    esac
    if [ -n "${XAUTHORITY:-}" ]; then
        paths+=("$(dirname "${XAUTHORITY}")")
    fi
    IFS=: read -r -a extra <<<"${VELL_WINE_BINDS:-}"
    paths+=("${extra[@]}")
    # Parents first, so that root-exec skips what they already hold.
    printf '%s\n' "${paths[@]}" | awk 'NF { print length($0) "\t" $0 }' | sort -s -n -k1,1 |
        cut -f2- | awk '!seen[$0]++'
}

# Sets VELL_WINE_CMD to the command that runs a program in the Wine
# environment: LC_ALL=zh_CN.UTF-8 makes the ANSI code page 936 (GBK), and
# only Wine processes get it (LOCPATH exported into the shell would break
# every other program).
VELL_WINE_CMD=()
vell_wine_command() {
    if [ "${VELL_WINE}" = host ]; then
        vell_ensure_locale
        VELL_WINE_CMD=(env LC_ALL="${VELL_WINE_LC_ALL}" LOCPATH="${VELL_LOCALE_DIR}")
        return 0
    fi
    vell_ensure_root
    local cwd=/ binds=()
    mapfile -t binds < <(vell_root_binds)
    case " ${binds[*]} " in *" ${PWD} "*) cwd="${PWD}" ;; esac
    VELL_WINE_CMD=(unshare -m --propagation private "${VELL_ROOT}/scripts/root-exec"
        "${VELL_WINE_ROOT}" "${cwd}" "${binds[@]}" -- env LC_ALL="${VELL_WINE_LC_ALL}")
}

# vell_wine_env command...: runs a command in the Wine environment.
vell_wine_env() {
    vell_wine_command
    "${VELL_WINE_CMD[@]}" "$@"
}

vell_wine() {
    vell_wine_env wine "$@"
}

vell_wineserver() {
    vell_wine_env wineserver "$@"
}

# vell_wineserver_wait SECONDS: waits for the session's server to end.
vell_wineserver_wait() {
    vell_wine_command
    timeout "$1" "${VELL_WINE_CMD[@]}" wineserver -w || true
}

# Says which Wine a prefix was made by; a prefix of another is made anew.
vell_wine_identity() {
    if [ "${VELL_WINE}" = host ]; then
        echo host
    else
        vell_ensure_root
        echo "root $(vell_root_wine_version)"
    fi
}

# A line for the log: which Wine runs the programs.
vell_wine_describe() {
    if [ "${VELL_WINE}" = host ]; then
        echo "$(wine --version 2>/dev/null) (the host's, VELL_WINE=host) at $(command -v wine)"
    else
        vell_ensure_root
        echo "$(vell_root_wine_version) (Debian 13 root, WoW64) at ${VELL_WINE_ROOT}"
    fi
}

# Creates the prefix once and applies our settings (bump the settings
# marker when they change). The markers name the Wine that made the
# prefix: another Wine (a new root's) starts a new one. The lock keeps
# parallel ctest jobs from doing it twice.
vell_ensure_prefix() {
    local booted="${WINEPREFIX}/.vell-booted"
    local settings="${WINEPREFIX}/.vell-settings-2"
    local identity
    identity="$(vell_wine_identity)"
    [ "$(cat "${settings}" 2>/dev/null)" = "${identity}" ] && return 0
    VELL_HEADLESS_SESSION=1
    mkdir -p "$(dirname "${WINEPREFIX}")"
    (
        flock 9
        [ "$(cat "${settings}" 2>/dev/null)" = "${identity}" ] && exit 0
        local wait_server=
        if [ "$(cat "${booted}" 2>/dev/null)" != "${identity}" ]; then
            # A prefix without the marker is a half-made one; start over.
            vell_wineserver -k >/dev/null 2>&1 || true
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
            vell_wineserver_wait 3600
            echo "${identity}" >"${booted}"
        fi
        echo "${identity}" >"${settings}"
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
    vell_wineserver_wait 120
    VELL_HEADLESS_SESSION=
}
