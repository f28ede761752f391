# shellcheck shell=bash
# The 64-bit Wine root: a Debian 13 amd64 tree whose Wine 10 runs our i686
# programs in WoW64 mode, so no machine needs to start i386 programs. Made
# once per machine in a cache folder outside the clone (CI's fresh clones
# reuse it); every Wine process enters it through scripts/root-exec in a
# mount namespace of its own, so no mount outlives the process.
# Sourced by wine-env.sh.

VELL_WINE_CACHE="${VELL_WINE_CACHE:-/var/cache/vellumor}"
VELL_ROOT_SUITE=trixie
VELL_ROOT_PACKAGES=(wine wine64 libwine fonts-wqy-microhei locales)

# The host's own Debian mirror; the root takes its packages from there.
vell_root_mirror() {
    local uri
    uri="$(sed -n 's/^URIs:[[:space:]]*//p' /etc/apt/sources.list.d/debian.sources 2>/dev/null |
        grep -v -e security -e '^$' | head -1 | awk '{print $1}')"
    echo "${uri:-http://deb.debian.org/debian}"
}

# vell_root_recipe DIR: makes the root in DIR (empty or missing). Runs as
# root. Its text is part of the version stamp: any change makes a new root.
vell_root_recipe() {
    local dir="$1" mirror
    mirror="$(vell_root_mirror)"
    # debootstrap mounts /proc and /sys into the target: in a namespace of
    # its own, an interrupted run leaves no mount behind.
    unshare -m --propagation private \
        debootstrap --variant=minbase "${VELL_ROOT_SUITE}" "${dir}" "${mirror}"
    cp /etc/resolv.conf "${dir}/etc/resolv.conf"
    vell_root_shell "${dir}" "
        export DEBIAN_FRONTEND=noninteractive
        # A mirror in the middle of a sync fails an index now and then.
        apt-get update -qq || { sleep 20; apt-get update -qq; } || true
        apt-get install -y -q --no-install-recommends ${VELL_ROOT_PACKAGES[*]}
        # WoW64 needs Wine's i386 Windows DLLs (PE files, no Linux i386
        # code); the i386 package of the same version ships them.
        version=\$(dpkg-query -W -f='\${Version}' libwine)
        dpkg --add-architecture i386
        apt-get update -qq || { sleep 20; apt-get update -qq; } || true
        cd /tmp && apt-get download -qq libwine:i386=\"\${version}\"
        dpkg-deb -x /tmp/libwine_*_i386.deb /tmp/libwine-i386
        cp -a /tmp/libwine-i386/usr/lib/i386-linux-gnu/wine/i386-windows/. \
            /usr/lib/x86_64-linux-gnu/wine/i386-windows/
        rm -rf /tmp/libwine*
        dpkg --remove-architecture i386
        apt-get clean
        rm -rf /var/lib/apt/lists/*
        # The ANSI code page comes from this locale (936); Wine also needs
        # it to read non-ASCII Unix file names.
        localedef -i zh_CN -f UTF-8 zh_CN.UTF-8
        wine --version
    "
}

# vell_root_shell DIR SCRIPT: runs a shell script inside DIR as root.
vell_root_shell() {
    unshare -m --propagation private \
        "${VELL_ROOT}/scripts/root-exec" "$1" / -- /bin/sh -euc "$2"
}

vell_root_stamp() {
    {
        declare -f vell_root_recipe vell_root_shell
        vell_root_mirror
        echo "${VELL_ROOT_SUITE} ${VELL_ROOT_PACKAGES[*]}"
    } | sha256sum | cut -c1-12
}

VELL_WINE_ROOT=
VELL_WINE_ROOT_LOCKED=

# True when nothing is mounted at or below DIR in this namespace.
vell_root_unmounted() {
    ! awk '{print $5}' /proc/self/mountinfo | grep -q -e "^$1\$" -e "^$1/"
}

# Deletes a root, never through a mount.
vell_root_delete() {
    if ! vell_root_unmounted "$1"; then
        echo "not deleting $1: something is mounted in it" >&2
        return 1
    fi
    rm -rf --one-file-system "$1"
}

# Makes the root once (a complete one carries .vell-complete) and holds a
# shared lock on it for this process and its children, so that no other
# run deletes it meanwhile. Sets VELL_WINE_ROOT.
vell_ensure_root() {
    [ -n "${VELL_WINE_ROOT_LOCKED}" ] && return 0
    local stamp dir lock
    stamp="$(vell_root_stamp)"
    dir="${VELL_WINE_CACHE}/wine-root-${stamp}"
    lock="${dir}.lock"
    if [ "${EUID}" -ne 0 ]; then
        # Only root makes it; anyone may hold it, through a read-only lock.
        if [ ! -f "${dir}/.vell-complete" ] || ! { exec 7<"${lock}"; } 2>/dev/null; then
            echo "the Wine root ${dir} is not made yet: run scripts/setup once as root" \
                "(sudo scripts/setup), then any user can run the tool" >&2
            exit 1
        fi
        flock -s 7
        VELL_WINE_ROOT="${dir}"
        VELL_WINE_ROOT_LOCKED=1
        return 0
    fi
    mkdir -p "${VELL_WINE_CACHE}"
    exec 7>>"${lock}"
    flock -s 7
    if [ ! -f "${dir}/.vell-complete" ]; then
        flock -x 7
        if [ ! -f "${dir}/.vell-complete" ]; then
            # A root without the marker is a half-made one: start over.
            if [ -e "${dir}" ]; then
                vell_log "removing the half-made Wine root ${dir}"
                vell_root_delete "${dir}"
            fi
            vell_log "making the Wine root ${dir} (Debian ${VELL_ROOT_SUITE}, once per machine)"
            local log="${VELL_WINE_CACHE}/wine-root-${stamp}.log"
            if ! vell_root_recipe "${dir}" >"${log}" 2>&1; then
                tail -30 "${log}" >&2
                echo "making the Wine root failed; see ${log}" >&2
                return 1
            fi
            tail -1 "${log}" >"${dir}/.vell-complete"
            vell_root_prune "${stamp}"
        fi
        flock -s 7
    fi
    VELL_WINE_ROOT="${dir}"
    VELL_WINE_ROOT_LOCKED=1
}

# Removes roots of other recipes that no run is using.
vell_root_prune() {
    local old
    for old in "${VELL_WINE_CACHE}"/wine-root-*; do
        [ -d "${old}" ] || continue
        [ "${old}" = "${VELL_WINE_CACHE}/wine-root-$1" ] && continue
        (
            flock -n -x 9 || exit 0
            # The lock file stays: a run may be waiting on it.
            vell_root_delete "${old}" && rm -f "${old}.log"
        ) 9>>"${old}.lock"
    done
}

# The Wine version the root was made with (wine-10.0).
vell_root_wine_version() {
    cat "${VELL_WINE_ROOT}/.vell-complete"
}
