#!/usr/bin/env bash
# scripts/run --batch previews and converts a tree given as a Linux path,
# writes the job's log to standard output and passes the tool's exit code
# through.
#   run_batch.sh path/to/scripts/run
set -uo pipefail
run="$1"
dir="$(mktemp -d)"
trap 'rm -rf "${dir}"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

mkdir -p "${dir}/server/config"
printf 'name: \xb7\xfe\xce\xf1\xc6\xf7\n' >"${dir}/server/config/a.yml"   # GBK
printf 'skip\n' >"${dir}/server/config/a.txt"

line="Z:$(printf '%s' "${dir}/server/config/a.yml" | tr / "\\\\")"
cp "${dir}/server/config/a.yml" "${dir}/original"
status=0
(cd "${dir}" && "${run}" --batch server/config --ext yml --dry-run) >"${dir}/out" 2>"${dir}/err" || status=$?
[ "${status}" -eq 0 ] || { cat "${dir}/err" >&2; fail "dry run: exit code ${status}"; }
cmp -s "${dir}/original" "${dir}/server/config/a.yml" || fail "the dry run changed a.yml"
[ "$(ls "${dir}/server/config")" = "$(printf 'a.txt\na.yml')" ] || fail "the dry run left a file"
grep -qxF -- "将转码:${line}" "${dir}/out" || fail "dry run: no line for a.yml"
[ "$(tail -n 1 "${dir}/out")" = "预览完成 将转换:1 共计:1" ] || { cat "${dir}/out" >&2; fail "dry run: last line"; }
grep -q "^统计 将转换:1 .* 可能不是GBK:0 " "${dir}/err" || fail "dry run: no count line"

status=0
(cd "${dir}" && "${run}" --batch server/config --ext yml --no-backup) >"${dir}/out" 2>"${dir}/err" || status=$?
[ "${status}" -eq 0 ] || { cat "${dir}/err" >&2; fail "exit code ${status}"; }
[ "$(cat "${dir}/server/config/a.yml")" = "name: 服务器" ] || fail "a.yml not converted"
[ ! -e "${dir}/server/config/a.yml.bak" ] || fail "a backup was made"
[ "$(tail -n 1 "${dir}/out")" = "转换完成 已转换:1 共计:1" ] || { cat "${dir}/out" >&2; fail "last line"; }
grep -qxF -- "转码完毕:${line}" "${dir}/out" || fail "no conversion line"

status=0
"${run}" --batch "${dir}/missing" >"${dir}/out" 2>"${dir}/err" || status=$?
[ "${status}" -eq 2 ] || fail "missing folder: exit code ${status}"
grep -q "所选目录不存在" "${dir}/err" || fail "missing folder: no reason on standard error"
echo "scripts/run --batch: previewed, converted, exit codes 0 and 2 passed through"
