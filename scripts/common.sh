# shellcheck shell=bash
# Helpers shared by scripts/test, scripts/run and scripts/bench.

# shellcheck source=scripts/wine-env.sh
. "$(dirname "${BASH_SOURCE[0]}")/wine-env.sh"

# widl imports stdole2.tlb for the stream server's type library from
# libwine-dev's own Wine: the type library it makes is byte-identical to
# the one from the i386 package, and the i386 architecture stays optional.
VELL_PACKAGES=(
    g++-mingw-w64-i686 mingw-w64-tools libwine-dev
    xvfb xauth x11-apps imagemagick fonts-wqy-microhei
    cmake ninja-build googletest g++ locales debootstrap python3-pefile
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
VELL_XVFB_LOG="${VELL_BUILD}/xvfb.log"

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
        3>"${fifo_dir}/fd" >"${VELL_XVFB_LOG}" 2>&1 &
    VELL_XVFB_PID=$!
    read -r -t 20 display <"${fifo_dir}/fd" || true
    rm -rf "${fifo_dir}"
    if [ -z "${display}" ]; then
        echo "Xvfb did not start; see ${VELL_XVFB_LOG}" >&2
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

# One Wine session for each user and prefix, kept by scripts/wine-session:
# the runs share its display and its server, so no run ends another's
# programs, and a run while it lasts starts warm. Its state lives beside
# the prefix.
vell_session_live() {
    local pid VELL_SESSION="${WINEPREFIX}.session"
    [ -f "${VELL_SESSION}/display" ] || return 1
    pid="$(cat "${VELL_SESSION}/keeper.pid" 2>/dev/null)" || return 1
    grep -qa wine-session "/proc/${pid}/cmdline" 2>/dev/null
}

# Exports the session's DISPLAY and holds its lock shared (fd 8, which no
# Wine process inherits) until this process ends; starts the session
# first when none is live.
vell_session_enter() {
    local VELL_SESSION="${WINEPREFIX}.session"
    mkdir -p "${VELL_SESSION}"
    exec 8>>"${VELL_SESSION}/lock"
    while :; do
        flock -s 8
        if vell_session_live; then
            DISPLAY=":$(cat "${VELL_SESSION}/display")"
            export DISPLAY
            return 0
        fi
        flock -x 8
        if ! vell_session_live && ! vell_session_start; then
            flock -u 8
            return 1
        fi
        flock -u 8
    done
}

# Under the exclusive lock: starts the keeper and waits until its display
# is up (its first start makes the prefix too, half a minute and more).
vell_session_start() {
    local VELL_SESSION="${WINEPREFIX}.session"
    local log="${VELL_SESSION}/keeper.log" pid
    rm -f "${VELL_SESSION}/display"
    setsid "${VELL_ROOT}/scripts/wine-session" "${VELL_SESSION}" </dev/null >"${log}" 2>&1 8>&- &
    pid=$!
    echo "${pid}" >"${VELL_SESSION}/keeper.pid"
    until [ -f "${VELL_SESSION}/display" ]; do
        if ! kill -0 "${pid}" 2>/dev/null; then
            echo "the Wine session did not start: $(tail -1 "${log}" 2>/dev/null) (see ${log})" >&2
            return 1
        fi
        sleep 0.02
    done
}

# Waits until no session of this prefix is live (it ends
# VELL_SESSION_LINGER seconds after its last run).
vell_session_wait_end() {
    vell_session_live || return 0
    vell_log "waiting for the Wine session of ${WINEPREFIX} to end (idle ${VELL_SESSION_LINGER:-120} s after its last run)"
    while vell_session_live; do
        sleep 1
    done
}


# Refuses, in one line and with the tool's exit code for refused input, a
# folder that is there but that the tool cannot see; a missing one is left
# to the tool, which says so in its own words.
vell_check_folder() {
    local dir="$1" up="$1"
    while [ ! -e "${up}" ] && [ "${up}" != / ]; do
        up="$(dirname "${up}")"
    done
    if [ "${up}" != "${dir}" ]; then
        { [ -x "${up}" ] || [ ! -d "${up}" ]; } && return 0
        dir="${up}"
    elif ! iconv -f UTF-8 -t GBK <<<"${dir}" >/dev/null 2>&1; then
        echo "所选目录存在, 但工具看不到它: ${dir} (its name has characters that GBK, the tool's code page, cannot hold)" >&2
        exit 2
    elif [ ! -d "${dir}" ] || { [ -r "${dir}" ] && [ -x "${dir}" ]; }; then
        return 0
    fi
    echo "所选目录存在, 但工具看不到它: ${dir} (user $(id -un) may not read or enter it)" >&2
    exit 2
}

# vell_build_if_changed TARGET...: builds only when a source changed since
# the last build that ran here (no file under the clone, tests, docs and
# scripts aside, newer than its mark), which costs a few milliseconds
# instead of a CMake check. Runs started together build one at a time.
vell_build_if_changed() {
    local mark
    mark="${VELL_BUILD}/.vell-built-$(printf '%s-' "$@")"
    vell_built "${mark}" "$@" && return 0
    mkdir -p "${VELL_BUILD}"
    exec 6>>"${VELL_BUILD}/.vell-build.lock"
    flock 6
    if ! vell_built "${mark}" "$@"; then
        touch "${mark}.new"
        if ! vell_build "$@"; then
            echo "the build failed (above); nothing was run" >&2
            exit 1
        fi
        mv "${mark}.new" "${mark}"
    fi
    exec 6>&-
}

# vell_built MARK TARGET...: the targets are there and nothing is newer
# than the mark.
vell_built() {
    local mark="$1" target
    shift
    [ -f "${mark}" ] || return 1
    for target in "$@"; do
        [ -n "$(compgen -G "${VELL_BUILD}/${target}.*")" ] || return 1
    done
    [ -z "$(find "${VELL_ROOT}" \( -path "${VELL_ROOT}/.git" -o -path "${VELL_ROOT}/build" \
        -o -path "${VELL_BUILD}" -o -path "${VELL_ROOT}/tests" -o -path "${VELL_ROOT}/docs" \
        -o -path "${VELL_ROOT}/scripts" \) -prune -o -newer "${mark}" -print -quit)" ]
}

# vell_owners_snapshot DIR FILE: each file's inode, owner, group and mode.
vell_owners_snapshot() {
    find "$1" -type f -printf '%i %U %G %m %p\0' >"$2" 2>/dev/null || true
}

# vell_owners_restore DIR FILE: a file that is new since the snapshot, or
# another file by the same name, takes the owner and mode its name had; a
# new backup NAME.bak those of NAME.
vell_owners_restore() {
    find "$1" -type f -printf '%i %U %G %m %p\0' 2>/dev/null | perl -e '
        $/ = "\0";
        open(my $old, "<", $ARGV[0]) or exit 0;
        my %was;
        while (<$old>) { chomp; my @f = split / /, $_, 5; $was{$f[4]} = \@f; }
        while (<STDIN>) {
            chomp;
            my ($ino, $uid, $gid, $mode, $path) = split / /, $_, 5;
            next if $was{$path} && $was{$path}[0] == $ino;
            my $want = ($path =~ /^(.*)\.bak$/s && $was{$1}) ? $was{$1} : $was{$path};
            next unless $want;
            chown $want->[1], $want->[2], $path if $uid != $want->[1] || $gid != $want->[2];
            chmod oct($want->[3]), $path if $mode ne $want->[3];
        }' "$2"
}
