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

# The build folder: the clone's build/ where this user may write in the
# clone; one of this user's under ~/.cache for a clone someone else
# installed. VELL_BUILD names another.
if [ -z "${VELL_BUILD:-}" ]; then
    if [ -w "${VELL_ROOT}" ]; then
        VELL_BUILD="${VELL_ROOT}/build"
    else
        VELL_BUILD="${XDG_CACHE_HOME:-${HOME}/.cache}/vellumor/build-$(printf '%s' "${VELL_ROOT}" |
            sha256sum | cut -c1-12)"
    fi
fi
vell_use_prefix "${VELL_BUILD}"
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
VELL_LOCALE_DIR="${VELL_BUILD}/locale"

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

# Inside the root the host's / is at VELL_HOST, and the prefix's drive Z:
# is that folder: every host folder is there at its own path, and the
# root's own /usr, /etc shadow none. /tmp is the host's too: Wine's server
# sockets and the X server's live there.
VELL_HOST=/mnt

# vell_win_path PATH: the Windows path of a host path (drive Z: is the
# host's /); no winepath, whose every start costs a Wine process.
vell_win_path() {
    local p="Z:$1"
    printf '%s\n' "${p//\//\\}"
}

# vell_inside PATH: where the Wine programs see the host's PATH.
vell_inside() {
    if [ "${VELL_WINE}" = host ]; then
        printf '%s\n' "$1"
    else
        printf '%s\n' "${VELL_HOST}$1"
    fi
}

# The namespaces a Wine process starts in: a mount namespace of its own;
# for a user other than root also a user namespace that keeps the user's
# own ids (the ids name Wine's server sockets in /tmp). Host mounts made
# later reach it where the host's / propagates them (shared).
VELL_NS=()
vell_namespace() {
    [ ${#VELL_NS[@]} -gt 0 ] && return 0
    if [ "${EUID}" -eq 0 ]; then
        VELL_NS=(unshare -m --propagation slave)
        return 0
    fi
    VELL_NS=(unshare --user --map-user="${EUID}" --map-group="$(id -g)" --keep-caps
        -m --propagation slave)
    if ! "${VELL_NS[@]}" true 2>/dev/null; then
        echo "user namespaces are off for ordinary users here (unshare --user fails), and Wine runs" \
            "in one: as root, allow them (sysctl -w kernel.unprivileged_userns_clone=1," \
            "user.max_user_namespaces above 0), or run this as root" >&2
        exit 1
    fi
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
    vell_namespace
    VELL_WINE_CMD=("${VELL_NS[@]}" "${VELL_ROOT}/scripts/root-exec" "${VELL_WINE_ROOT}"
        "${VELL_HOST}${PWD}" "/=${VELL_HOST}" /tmp -- env LC_ALL="${VELL_WINE_LC_ALL}"
        WINEPREFIX="${VELL_HOST}${WINEPREFIX}" ${XAUTHORITY:+XAUTHORITY="${VELL_HOST}${XAUTHORITY}"})
}

# vell_wine_env command...: runs a command in the Wine environment.
vell_wine_env() {
    vell_wine_command
    "${VELL_WINE_CMD[@]}" "$@" 8>&-
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
    timeout "$1" "${VELL_WINE_CMD[@]}" wineserver -w 8>&- || true
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
# parallel ctest jobs from doing it twice. Run with the session's display
# (vell_session_enter): a session started without one can show no window.
vell_ensure_prefix() {
    local booted="${WINEPREFIX}/.vell-booted"
    local settings="${WINEPREFIX}/.vell-settings-3"
    local identity
    identity="$(vell_wine_identity)"
    if [ "$(cat "${settings}" 2>/dev/null)" = "${identity}" ]; then
        # The drive is a link anyone may have changed; setting it needs no Wine.
        if [ "${VELL_WINE}" = root ] && [ "$(readlink "${WINEPREFIX}/dosdevices/z:")" != "${VELL_HOST}" ]; then
            ln -sfn "${VELL_HOST}" "${WINEPREFIX}/dosdevices/z:"
        fi
        return 0
    fi
    mkdir -p "$(dirname "${WINEPREFIX}")"
    (
        flock 9
        [ "$(cat "${settings}" 2>/dev/null)" = "${identity}" ] && exit 0
        local wait_server=
        if [ "$(cat "${booted}" 2>/dev/null)" != "${identity}" ]; then
            # A prefix without the marker is a half-made one; start over
            # once the programs still on it (another Wine's) have ended.
            vell_wineserver_wait 60
            rm -rf "${WINEPREFIX}"
            # Slow machines see wineboot give up waiting (a non-zero status)
            # while its helpers go on; the wait below lets them finish.
            vell_wine_env wineboot -i >/dev/null 2>&1 || true
            if [ ! -d "${WINEPREFIX}/dosdevices" ]; then
                echo "wineboot could not make the Wine prefix ${WINEPREFIX}" >&2
                exit 1
            fi
            wait_server=1
        fi
        if [ "${VELL_WINE}" = root ]; then
            ln -sfn "${VELL_HOST}" "${WINEPREFIX}/dosdevices/z:"
        fi
        # A crashing program prints a backtrace and exits (code 5 for an
        # access violation) instead of waiting on a crash dialog.
        vell_wine_env wine reg add \
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
# desktop, N under a bare Xvfb, where Wine otherwise waits about two
# seconds for a window manager each time a framed window is hidden.
vell_window_manager() {
    local want="$1" mark="${WINEPREFIX}/.vell-managed"
    [ "$(cat "${mark}" 2>/dev/null)" = "${want}" ] && return 0
    vell_wine_env wine reg add \
        'HKCU\Software\Wine\X11 Driver' /v Managed /t REG_SZ /d "${want}" /f \
        >/dev/null 2>&1
    echo "${want}" >"${mark}"
}

# vell_wine_relay PROGRAM [ARG...]: runs a Windows program (a host path or
# a Windows one) and returns its exit code.
# The first program on a fresh wineserver starts Wine's helper processes
# (services, winedevice, explorer), which inherit its stdout and stderr and
# live as long as the server. Handing them our pipes would make a caller
# (ctest, a pipe) wait for EOF, so the program writes to files that we
# relay, and we finish when the program does.
vell_wine_relay() {
    local program="$1" tmp wine_pid status=0 tails=()
    shift
    case "${program}" in /*) program="$(vell_inside "${program}")" ;; esac
    tmp="$(mktemp -d)"
    : >"${tmp}/out"
    : >"${tmp}/err"
    vell_wine_command
    "${VELL_WINE_CMD[@]}" wine "${program}" "$@" <&0 >"${tmp}/out" 2>"${tmp}/err" 8>&- &
    wine_pid=$!
    # shellcheck disable=SC2064  # the values of now
    trap "kill ${wine_pid} 2>/dev/null; rm -rf '${tmp}'" EXIT
    tail -q -s 0.05 -n +1 -f --pid="${wine_pid}" "${tmp}/out" &
    tails+=($!)
    tail -q -s 0.05 -n +1 -f --pid="${wine_pid}" "${tmp}/err" >&2 &
    tails+=($!)
    wait "${wine_pid}" || status=$?
    wait "${tails[@]}" || true
    trap - EXIT
    rm -rf "${tmp}"
    return "${status}"
}

# vell_register_stream [--force] [DLL]: registers the stream automation
# server in the prefix, once for each build of the DLL (its path, size and
# time are the mark) unless forced.
vell_register_stream() {
    local force= dll path mark stamp
    if [ "${1:-}" = --force ]; then
        force=1
        shift
    fi
    dll="${1:-${VELL_BUILD}/vell_stream.dll}"
    if [ ! -f "${dll}" ]; then
        echo "register-stream: ${dll} not found (build target vell_stream)" >&2
        return 1
    fi
    path="$(vell_win_path "$(realpath "${dll}")")"
    mark="${WINEPREFIX}/.vell-stream"
    stamp="${path} $(stat -c '%s %Y' "${dll}")"
    [ -z "${force}" ] && [ "$(cat "${mark}" 2>/dev/null)" = "${stamp}" ] && return 0
    if ! vell_wine regsvr32 /s "${path}" >/dev/null 2>&1; then
        echo "register-stream: regsvr32 could not register ${path} in ${WINEPREFIX}" >&2
        return 1
    fi
    echo "${stamp}" >"${mark}"
}
