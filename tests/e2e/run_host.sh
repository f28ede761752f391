#!/usr/bin/env bash
# scripts/run --batch on the host's own folders, by root and by another
# user, and two jobs at once: each job's exit code, closing line, files.
#   run_host.sh path/to/scripts/run folders | user | together
# Run as root (CI does); "user" makes a user of its own and gives it a copy
# of the clone. Exit 77: skipped (not root).
set -uo pipefail
run="$1"
case_name="$2"
clone="$(cd "$(dirname "${run}")/.." && pwd)"
[ "${EUID}" -eq 0 ] || { echo "skipped: needs root"; exit 77; }
fail() { echo "FAIL: $*" >&2; exit 1; }
gbk='name: \xb7\xfe\xce\xf1\xc6\xf7\n'

# tree DIR N: N GBK files, mode 640, below DIR/cfg.
tree() {
    mkdir -p "$1/cfg"
    for ((i = 1; i <= $2; i++)); do
        printf "${gbk}" >"$1/cfg/f${i}.yml"
        chmod 640 "$1/cfg/f${i}.yml"
    done
}

# job NAME EXPECTED_STATUS COMMAND...: runs a job, keeping its output in
# ${out}/NAME.{out,err}.
job() {
    local name="$1" want="$2" status=0
    shift 2
    "$@" >"${out}/${name}.out" 2>"${out}/${name}.err" || status=$?
    [ "${status}" -eq "${want}" ] || { cat "${out}/${name}.err" >&2; fail "${name}: exit code ${status}"; }
}

# last NAME LINE: the job's last line of standard output.
last() {
    [ "$(tail -n 1 "${out}/$1.out")" = "$2" ] || { cat "${out}/$1.out" >&2; fail "$1: last line"; }
}

out="$(mktemp -d)"
srv="$(mktemp -d /srv/vell-e2e.XXXXXX)"
chmod 755 "${srv}"
cleanup() { rm -rf "${out}" "${srv}"; }
trap cleanup EXIT

case "${case_name}" in
folders)
    # Under /srv, which the root has too, empty; by a link; and as ".".
    tree "${srv}/server" 2
    chown -R nobody:nogroup "${srv}/server/cfg"
    ln -s "${srv}/server" "${srv}/link"
    job dry 0 "${run}" --batch "${srv}/link" --ext yml --dry-run
    grep -qxF "将转码:$(printf 'Z:%s' "${srv}/server/cfg/f1.yml" | tr / '\\')" "${out}/dry.out" ||
        { cat "${out}/dry.out" >&2; fail "the link's files are not seen at their host path"; }
    job convert 0 sh -c "cd '${srv}/server/cfg' && '${run}' --batch . --ext yml"
    last convert "转换完成 已转换:2 共计:2"
    for f in f1.yml f1.yml.bak; do
        [ "$(stat -c '%U:%G %a' "${srv}/server/cfg/${f}")" = "nobody:nogroup 640" ] ||
            fail "${f}: owner and mode $(stat -c '%U:%G %a' "${srv}/server/cfg/${f}")"
    done
    [ "$(cat "${srv}/server/cfg/f2.yml")" = "name: 服务器" ] || fail "f2.yml not converted"
    # There, but under a name the tool's code page cannot hold.
    mkdir "${srv}/$(printf 'smile\360\237\230\200')"
    job unseen 2 "${run}" --batch "${srv}/$(printf 'smile\360\237\230\200')"
    grep -q "工具看不到它" "${out}/unseen.err" || { cat "${out}/unseen.err" >&2; fail "unseen folder: no reason"; }
    echo "folders: a tree under /srv by a link, as \".\"; owner and mode kept; an unseen name told"
    ;;
together)
    tree "${srv}/one" 30
    tree "${srv}/two" 30
    "${run}" --batch "${srv}/one" --ext yml >"${out}/one.out" 2>"${out}/one.err" &
    one=$!
    "${run}" --batch "${srv}/two" --ext yml >"${out}/two.out" 2>"${out}/two.err" &
    two=$!
    job_one=0 job_two=0
    wait "${one}" || job_one=$?
    wait "${two}" || job_two=$?
    [ "${job_one}${job_two}" = 00 ] || { cat "${out}"/*.err >&2; fail "exit codes ${job_one} and ${job_two}"; }
    last one "转换完成 已转换:30 共计:30"
    last two "转换完成 已转换:30 共计:30"
    echo "together: two jobs at once, both ended whole"
    ;;
user)
    # The user's own copy of the clone, its build and prefix kept between
    # runs (the first builds for minutes).
    user=vellumor-e2e
    id "${user}" >/dev/null 2>&1 || useradd -m -s /bin/bash "${user}" || fail "useradd ${user}"
    home="$(getent passwd "${user}" | cut -d: -f6)"
    mkdir -p "${home}/vellumor"
    find "${home}/vellumor" -mindepth 1 -maxdepth 1 ! -name build -exec rm -rf {} +
    tar -C "${clone}" --exclude=./build --exclude=./.git -cf - . | tar -C "${home}/vellumor" -xf -
    chown -R "${user}:" "${home}/vellumor"
    tree "${srv}/mine" 2
    chown -R "${user}:" "${srv}/mine"
    chmod 600 "${srv}/mine/cfg/f1.yml"
    mkdir -m 700 "${srv}/closed"
    as_user() {
        runuser -u "${user}" -- env -C "${home}" -u DISPLAY HOME="${home}" VELL_SESSION_LINGER=10 \
            "${home}/vellumor/scripts/run" "$@"
    }
    job mine 0 as_user --batch "${srv}/mine" --ext yml
    last mine "转换完成 已转换:2 共计:2"
    for f in f1.yml f1.yml.bak; do
        [ "$(stat -c '%U %a' "${srv}/mine/cfg/${f}")" = "${user} 600" ] ||
            fail "${f}: owner and mode $(stat -c '%U %a' "${srv}/mine/cfg/${f}")"
    done
    # Missing, and there but closed to the user: other words.
    job missing 2 as_user --batch "${srv}/none"
    grep -q "所选目录不存在" "${out}/missing.err" || fail "missing folder: no reason"
    job closed 2 as_user --batch "${srv}/closed/inner"
    grep -q "工具看不到它" "${out}/closed.err" || { cat "${out}/closed.err" >&2; fail "closed folder: no reason"; }
    echo "user: ${user}'s job from their own clone; files still theirs; missing and closed told apart"
    ;;
*) fail "unknown case ${case_name}" ;;
esac
