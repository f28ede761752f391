# shellcheck shell=bash
# Helpers shared by scripts/test, scripts/run and scripts/bench.

# shellcheck source=scripts/wine-env.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

VELL_BUILD="${VELL_ROOT}/build"

# widl imports stdole2.tlb for the stream server's type library from
# libwine-dev's own Wine: the type library it makes is byte-identical to
# the one from the i386 package, and the i386 architecture stays optional.
VELL_PACKAGES=(
    g++-mingw-w64-i686 mingw-w64-tools libwine-dev
    xvfb xauth x11-apps imagemagick fonts-wqy-microhei
    cmake ninja-build googletest g++ locales debootstrap
)
if [ "${VELL_WINE}" = host ]; then
    VELL_PACKAGES+=(wine wine32:i386)
fi

vell_log() {
    printf '== %s\n' "$*"
}

# Installs only what is missing: a machine that has everything never
# touches apt.
vell_install_missing() {
    local missing=() pkg
    for pkg in "${VELL_PACKAGES[@]}"; do
        if ! dpkg-query -W -f='${Status}' "${pkg}" 2>/dev/null | grep -q 'ok installed'; then
            missing+=("${pkg}")
        fi
    done
    [ ${#missing[@]} -eq 0 ] && return 0
    vell_log "installing: ${missing[*]}"
    local sudo=()
    if [ "$(id -u)" -ne 0 ]; then
        sudo=(sudo)
    fi
    if [ "${VELL_WINE}" = host ] && ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386
    fi
    # A mirror in the middle of a sync fails one index now and then: try
    # again, then let the install say whether what it needs is there.
    local try
    for try in 1 2 3; do
        "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null && break
        vell_log "apt-get update failed (try ${try} of 3)"
        sleep $((try * 10))
    done
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Some hosts run 64-bit user code only: an i386 program fails to start
# there (ENOEXEC), so the host's 32-bit Wine cannot run at all (the root's
# Wine needs no i386 support).
vell_can_run_i386() {
    # An i386 emulator registered with the kernel would take every i386
    # program, natively runnable or not: each Wine process then spends
    # minutes reserving its address space.
    local entry
    for entry in /proc/sys/fs/binfmt_misc/*; do
        [ -f "${entry}" ] || continue
        if grep -q '^enabled' "${entry}" 2>/dev/null &&
            grep -q '^interpreter .*qemu-i386' "${entry}" 2>/dev/null; then
            return 1
        fi
    done
    /usr/lib/wine/wineserver32 --version >/dev/null 2>&1
}

# Refuses VELL_WINE=host where the host's Wine cannot start.
vell_check_wine() {
    if [ "${VELL_WINE}" = host ] && ! vell_can_run_i386; then
        echo "VELL_WINE=host: this host cannot start i386 programs (it runs 64-bit" \
            "user code only), so its Wine cannot run; leave VELL_WINE unset for the root's" >&2
        exit 1
    fi
}

# vell_timed VAR command...: runs the command and adds its seconds to VAR.
vell_timed() {
    local var="$1" start status=0
    shift
    start=$(date +%s)
    "$@" || status=$?
    printf -v "${var}" '%s' "$((${!var:-0} + $(date +%s) - start))"
    return "${status}"
}

vell_configure() {
    [ -f "${VELL_BUILD}/build.ninja" ] && return 0
    vell_log "configuring"
    mkdir -p "${VELL_BUILD}"
    local log="${VELL_BUILD}/configure.log"
    if ! cmake -G Ninja -S "${VELL_ROOT}" -B "${VELL_BUILD}" \
        -DCMAKE_TOOLCHAIN_FILE="${VELL_ROOT}/cmake/toolchain-i686-mingw.cmake" \
        -DCMAKE_BUILD_TYPE=Release >"${log}" 2>&1; then
        cat "${log}" >&2
        return 1
    fi
}

# vell_build [target...]: everything by default.
# shellcheck disable=SC2120
vell_build() {
    vell_configure
    vell_log "building"
    local targets=()
    if [ $# -gt 0 ]; then
        targets=(--target "$@")
    fi
    cmake --build "${VELL_BUILD}" "${targets[@]}"
}

VELL_XVFB_PID=

# True when DISPLAY names an X server that answers (a stale DISPLAY would
# make every GUI test fail).
vell_display_usable() {
    if [ -z "${DISPLAY:-}" ]; then
        return 1
    fi
    timeout 10 xwd -root -silent -display "${DISPLAY}" >/dev/null 2>&1
}

# Starts a private Xvfb on a free display (Xvfb picks it and reports it
# through -displayfd) and exports DISPLAY.
vell_start_xvfb() {
    local fifo_dir display=
    fifo_dir="$(mktemp -d)"
    mkfifo "${fifo_dir}/fd"
    Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp \
        3>"${fifo_dir}/fd" >"${VELL_BUILD}/xvfb.log" 2>&1 &
    VELL_XVFB_PID=$!
    read -r -t 20 display <"${fifo_dir}/fd" || true
    rm -rf "${fifo_dir}"
    if [ -z "${display}" ]; then
        echo "Xvfb did not start; see ${VELL_BUILD}/xvfb.log" >&2
        return 1
    fi
    export DISPLAY=":${display}"
}

vell_stop_xvfb() {
    if [ -n "${VELL_XVFB_PID}" ]; then
        kill "${VELL_XVFB_PID}" 2>/dev/null || true
        wait "${VELL_XVFB_PID}" 2>/dev/null || true
        VELL_XVFB_PID=
    fi
}
