# shellcheck shell=bash
# Helpers shared by scripts/test and scripts/run.

# shellcheck source=scripts/wine-env.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

VELL_BUILD="${VELL_ROOT}/build"

VELL_PACKAGES=(
    g++-mingw-w64-i686 mingw-w64-tools libwine-dev wine wine32:i386
    xvfb xauth x11-apps imagemagick fonts-wqy-microhei
    cmake ninja-build googletest g++ locales
)

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
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        "${sudo[@]}" dpkg --add-architecture i386
    fi
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive apt-get update -qq >/dev/null
    "${sudo[@]}" env DEBIAN_FRONTEND=noninteractive \
        apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# Some hosts run 64-bit user code only: an i386 program fails to start
# there (ENOEXEC), so the 32-bit Wine cannot run at all. (Wine through
# qemu's user-mode emulator was tried on such a host: every process spent
# about ten minutes reserving its address space. scripts/vm-run works, in
# a whole emulated machine, at a fraction of native speed.)
vell_can_run_i386() {
    # An i386 emulator registered with the kernel would take every i386
    # program, natively runnable or not: that is the slow case above.
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
