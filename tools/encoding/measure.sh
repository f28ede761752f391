#!/usr/bin/env bash
# Measures the "probably not GBK" warning on the samples of
# make_samples.py: a dry run of the real tool (scripts/run, under Wine) on
# each encoding's folder, counting its lines. A sample the code page
# cannot decode is refused as non-system text before the rule is asked.
#   tools/encoding/measure.sh [--files N]
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
dir="$(mktemp -d)"
trap 'rm -rf "${dir}"' EXIT
python3 "${here}/make_samples.py" "${dir}" "$@"

printf '%-10s %6s %12s %10s %8s\n' encoding files "not decoded" decoded flagged
for codec in gbk big5 shift_jis euc_kr latin-1; do
    "${here}/../../scripts/run" --batch "${dir}/${codec}" --dry-run >"${dir}/out" 2>"${dir}/err" || true
    count() { grep -c "^$1" "${dir}/out" || true; }
    files="$(find "${dir}/${codec}" -type f | wc -l)"
    printf '%-10s %6s %12s %10s %8s\n' "${codec}" "${files}" "$(count '跳过文件 非系统编码文本:')" \
        "$(count '将转码:')" "$(count '可能不是GBK编码:')"
done
