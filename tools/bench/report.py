#!/usr/bin/env python3
"""Checks the tool's output tree and prints the benchmark table.

    report.py verify MASTER_DIR WORK_TREE     key=value lines about the output
    report.py table MASTER_DIR RESULTS_DIR [--markdown FILE]
    report.py seed-older MASTER_DIR WORK_TREE older backups beside every third file
    report.py safety MASTER_DIR WORK_TREE [LOG_FILE WIN_ROOT]
        after a job that could not finish well (full disk, huge file): every
        file its original bytes or its exact UTF-8 form, every backup absent,
        the older one or whole, and the log's outcome true to the bytes
"""

import json
import os
import sys


def load_kv(path):
    values = {}
    if os.path.exists(path):
        with open(path, encoding="utf-8", errors="replace") as fh:
            for line in fh:
                key, sep, value = line.strip().partition("=")
                if sep:
                    values[key] = value
    return values


def expected_output(kind, data):
    """What the job must leave in a file of this kind, or None when the
    outcome is the implementation's choice (content with zero bytes)."""
    if kind == "gbk":
        return data.decode("gbk").encode("utf-8")
    if kind in ("ascii", "utf8"):
        return data  # ASCII rewritten unchanged; UTF-8 skipped
    return None


def older_backup(rel):
    """The content seed-older gives the backup of rel: no job writes it."""
    return ("older backup of %s\n" % rel).encode("utf-8") * 3


def seed_older(master, work):
    with open(os.path.join(master, "manifest.json")) as fh:
        m = json.load(fh)
    for e in m["entries"][::3]:
        with open(os.path.join(work, e["path"]) + ".bak", "wb") as fh:
            fh.write(older_backup(e["path"]))
    return 0


def read_or_none(path):
    try:
        with open(path, "rb") as fh:
            return fh.read()
    except OSError:
        return None


# Log line heads, the outcome each tells of a file (README's table).
LOG_HEADS = [("转码完毕:", "converted"), ("跳过文件 无需转码:", "not needed"),
             ("跳过文件 非系统编码文本:", "not GBK"), ("跳过文件 文件过大:", "too large"),
             ("转码失败 文件是否正在被占用? :", "failed"), ("备份失败 已跳过转码:", "backup failed"),
             ("跳过目录 无法访问:", "folder skipped")]


def log_outcomes(log_file, win_root):
    """{relative path: outcome} from the tool's log, and counts per outcome."""
    per_file, counts = {}, {}
    root = win_root.rstrip("\\") + "\\"
    with open(log_file, "rb") as fh:
        for raw in fh.read().split(b"\n"):
            line = raw.decode("gbk", errors="replace")
            for head, outcome in LOG_HEADS:
                if line.startswith(head):
                    counts[outcome] = counts.get(outcome, 0) + 1
                    path = line[len(head):]
                    if path.lower().startswith(root.lower()):
                        per_file[path[len(root):].replace("\\", "/")] = outcome
                    break
    return per_file, counts


def safety(master, work, log_file=None, win_root=None):
    with open(os.path.join(master, "manifest.json")) as fh:
        m = json.load(fh)
    tree = os.path.join(master, "tree")
    seeded = {e["path"] for e in m["entries"][::3]}
    per_file, counts = log_outcomes(log_file, win_root) if log_file else ({}, {})
    out = {k: 0 for k in ("files_original", "files_converted", "files_damaged", "bak_absent",
                          "bak_older", "bak_whole", "bak_damaged", "log_untrue")}
    first = []
    for e in m["entries"]:
        rel = e["path"]
        before = read_or_none(os.path.join(tree, rel))
        after = read_or_none(os.path.join(work, rel))
        want = expected_output(e["kind"], before)
        if after == before:
            state = "original"
        elif want is not None and after == want:
            state = "converted"
        else:
            state = "damaged"
            first.append(rel)
        out["files_" + state] += 1
        # A file reported converted must hold its UTF-8 form; any other
        # outcome must have left it as it was.
        said = per_file.get(rel)
        if said == "converted" and after != want or said not in (None, "converted") and after != before:
            out["log_untrue"] += 1
            first.append(rel + " (log: %s)" % said)
        bak = read_or_none(os.path.join(work, rel) + ".bak")
        if bak is None:
            out["bak_absent"] += 1
        elif bak == before:
            out["bak_whole"] += 1
        elif rel in seeded and bak == older_backup(rel):
            out["bak_older"] += 1
        else:
            out["bak_damaged"] += 1
            first.append(rel + ".bak")
    known = {e["path"] for e in m["entries"]}
    left = []
    for d, _, files in os.walk(work):
        for f in files:
            rel = os.path.relpath(os.path.join(d, f), work)
            if not os.path.exists(os.path.join(tree, rel)) and not (rel.endswith(".bak") and rel[:-4] in known):
                left.append(rel)
    out["leftover_files"] = len(left)
    out["first_leftover"] = left[0] if left else ""
    out["first_damaged"] = first[0] if first else ""
    for outcome, n in sorted(counts.items()):
        out["log_" + outcome.replace(" ", "_")] = n
    for k, v in out.items():
        print("safe_%s=%s" % (k, v))
    lost = out["files_damaged"] + out["bak_damaged"] + out["log_untrue"]
    print("safe_verdict=%s" % ("nothing lost" if lost == 0 else "LOST OR MISREPORTED: %d" % lost))
    return 0 if lost == 0 else 1


def verify(master, work):
    with open(os.path.join(master, "manifest.json")) as fh:
        m = json.load(fh)
    tree = os.path.join(master, "tree")
    out = {"ok": 0, "wrong": 0, "bak_wrong": 0, "missing": 0, "utf16_changed": 0,
           "binary_changed": 0, "first_wrong": ""}
    baks = 0
    for e in m["entries"]:
        with open(os.path.join(tree, e["path"]), "rb") as fh:
            before = fh.read()
        target = os.path.join(work, e["path"])
        try:
            with open(target, "rb") as fh:
                after = fh.read()
        except OSError:
            out["missing"] += 1
            out["first_wrong"] = out["first_wrong"] or e["path"]
            continue
        want = expected_output(e["kind"], before)
        # Only a file the job rewrites gets a backup; where the outcome is
        # the job's choice, a backup must at least hold the original.
        try:
            with open(target + ".bak", "rb") as fh:
                bak = fh.read()
            baks += 1
        except OSError:
            bak = None
        # A UTF-8 sample may be cut to ASCII only, which the job rewrites.
        rewritten = e["kind"] == "gbk" or (e["kind"] in ("ascii", "utf8") and before.isascii())
        if (bak != before) if rewritten else (bak is not None and (e["kind"] in ("ascii", "utf8") or bak != before)):
            out["bak_wrong"] += 1
            out["first_wrong"] = out["first_wrong"] or e["path"] + ".bak"
        if want is None:
            if after != before:
                out[e["kind"] + "_changed"] += 1
        elif after == want:
            out["ok"] += 1
        else:
            out["wrong"] += 1
            out["first_wrong"] = out["first_wrong"] or e["path"]
    count = sum(len(f) for _, _, f in os.walk(work))
    master_count = sum(len(f) for _, _, f in os.walk(tree))
    out["extra_files"] = count - master_count - baks
    for k, v in out.items():
        print("verify_%s=%s" % (k, v))
    return 0 if out["wrong"] == out["bak_wrong"] == out["missing"] == out["extra_files"] == 0 else 1


def num(values, key):
    try:
        v = float(values[key])
    except (KeyError, ValueError):
        return None
    return v if v >= 0 else None


def fmt(v, pattern, unit=""):
    return "-" if v is None else (pattern % v) + unit


def rows_of(m, r):
    """(measure, value, target, verdict) rows."""
    rows = []
    mb = m["bytes"] / 1e6
    job = num(r, "job_total_s")
    floor = num(r, "floor_total_s")
    ref = num(r, "ref_total_s")

    def verdict(ok):
        return "" if ok is None else ("met" if ok else "MISSED")

    rows.append(("tree", "%d matching files, %.1f MB, largest %.2f MB, %d folders, depth %d, %d other files"
                 % (m["files"], mb, m["largest"] / 1e6, m["folders"], m["max_depth"], m["other_files"]), "", ""))
    found = num(r, "job_found")
    if found is not None and int(found) != m["files"]:
        rows.append(("files the job found", "%d" % found, "%d" % m["files"], "MISSED"))
    runs = int(num(r, "tool_runs") or 1)

    def phase(label, key, part, limit):
        """A phase's median (and least) time, and its ratio to its part of the floor."""
        t, p = num(r, key), num(r, part) if part else None
        text = fmt(t, "%.2f", " s")
        if runs > 1 and num(r, key + "_min") is not None:
            text += " (min %.2f of %d runs)" % (num(r, key + "_min"), runs)
        ratio = t / p if t is not None and p else None
        if ratio is not None:
            text += ", %.2fx its part of the floor (%.2f s)" % (ratio, p)
        ok = None if ratio is None or limit is None else ratio <= limit
        rows.append((label, text, "" if limit is None else "<= %.1fx" % limit, verdict(ok)))

    phase("search", "job_search_s", "floor_walk_s", None)
    phase("backup", "job_backup_s", "floor_backup_s", 1.5)
    phase("conversion", "job_convert_s", "floor_rewrite_s", 1.5)
    phase("whole job", "job_total_s", None, None)
    rows.append(("I/O floor (walk, copy, read+write)",
                 fmt(floor, "%.2f", " s") + ("" if floor is None else " (walk %s, copy %s, rewrite %s)" % (
                     fmt(num(r, "floor_walk_s"), "%.2f"), fmt(num(r, "floor_backup_s"), "%.2f"),
                     fmt(num(r, "floor_rewrite_s"), "%.2f"))), "", ""))
    rows.append(("reference (native cp + iconv per file)", fmt(ref, "%.2f", " s"), "", ""))
    jf = job / floor if job and floor else None
    jr = job / ref if job and ref else None
    rows.append(("job / floor", fmt(jf, "%.2f", "x"), "<= 1.5x", verdict(None if jf is None else jf <= 1.5)))
    rows.append(("job / reference", fmt(jr, "%.2f", "x"), "< 1x", verdict(None if jr is None else jr < 1)))
    rows.append(("files per second", fmt(m["files"] / job if job else None, "%.0f"), "", ""))
    rows.append(("MB per second", fmt(mb / job if job else None, "%.2f"), "", ""))
    ws = num(r, "job_peak_ws")
    # 3 times the largest file, 64 MB, and 0.4 KB for each file found.
    limit = 3 * m["largest"] + 64 * 2 ** 20 + 0.4 * 1024 * m["files"]
    base = num(r, "floor_peak_ws")
    rows.append(("peak working set", fmt(ws / 2 ** 20 if ws else None, "%.1f", " MB")
                 + ("" if base is None else " (floor program: %.1f MB)" % (base / 2 ** 20)),
                 "<= %.1f MB" % (limit / 2 ** 20), verdict(None if not ws else ws <= limit)))
    worst = num(r, "job_worst_answer_ms")
    where = ""
    if worst is not None:
        where = " (at %s s, %s; %s probes)" % (r.get("job_worst_answer_at_s", "?"),
                                               r.get("job_worst_answer_phase", "?"), r.get("job_probes", "?"))
        if r.get("job_hung_probes", "0") != "0":
            where += ", %s without answer" % r["job_hung_probes"]
        if "job_answers_over_goal" in r:
            where += "; %s answers over 250 ms" % r["job_answers_over_goal"]
    rows.append(("worst window answer", fmt(worst, "%.0f", " ms") + where, "<= 250 ms",
                 verdict(None if worst is None else worst <= 250)))
    if "verify_ok" in r:
        bad = sum(int(r.get("verify_" + k, "0")) for k in ("wrong", "bak_wrong", "missing"))
        text = "%s files as expected, %d wrong" % (r["verify_ok"], bad)
        if r.get("verify_first_wrong"):
            text += " (first: %s)" % r["verify_first_wrong"]
        text += "; UTF-16 changed %s, binary changed %s, extra files %s" % (
            r.get("verify_utf16_changed"), r.get("verify_binary_changed"), r.get("verify_extra_files"))
        rows.append(("output check", text, "0 wrong", verdict(bad == 0 and r.get("verify_extra_files") == "0")))
    return rows


# Figures where the worst run counts, not the median.
WORST_OF_RUNS = ("job_peak_ws", "job_worst_answer_ms", "floor_peak_ws")
WORST_RUN_DETAILS = ("job_worst_answer_at_s", "job_worst_answer_phase", "job_probes", "job_hung_probes",
                     "job_answers_over_goal")


def combined_runs(results, name):
    """The runs NAME-1.txt, NAME-2.txt ... as one: each number the median
    (KEY_min the least, KEY_runs how many); the worst of the runs for peaks
    and answers, with the texts of the run it came from."""
    runs = []
    i = 1
    while os.path.exists(os.path.join(results, "%s-%d.txt" % (name, i))):
        runs.append(load_kv(os.path.join(results, "%s-%d.txt" % (name, i))))
        i += 1
    if not runs:
        return {}
    out = dict(runs[-1])
    for key in runs[0]:
        values = [num(run, key) for run in runs]
        if any(v is None for v in values) or key in WORST_RUN_DETAILS:
            continue
        values.sort()
        if key in WORST_OF_RUNS:
            worst = max(runs, key=lambda run: num(run, key))
            out[key] = worst[key]
            if key == "job_worst_answer_ms":
                for k in WORST_RUN_DETAILS:
                    if k in worst:
                        out[k] = worst[k]
            continue
        mid = len(values) // 2
        out[key] = "%.3f" % (values[mid] if len(values) % 2 else (values[mid - 1] + values[mid]) / 2)
        out[key + "_min"] = "%.3f" % values[0]
    out[name + "_runs"] = str(len(runs))
    return out


def table(master, results, markdown):
    with open(os.path.join(master, "manifest.json")) as fh:
        m = json.load(fh)
    r = {}
    for name in ("ref", "verify", "machine"):
        r.update(load_kv(os.path.join(results, name + ".txt")))
    for name in ("floor", "tool"):
        r.update(combined_runs(results, name))
    rows = rows_of(m, r)
    machine = "%s CPUs, %s, %s" % (r.get("machine_cpus", "?"), r.get("machine_cpu", "?"),
                                    r.get("machine_wine", "?"))
    widths = [max(len(row[i]) for row in rows) for i in range(4)]
    print("machine: " + machine)
    for row in rows:
        print("  ".join(cell.ljust(widths[i]) for i, cell in enumerate(row)).rstrip())
    if markdown:
        with open(markdown, "w") as fh:
            fh.write("Machine: %s.\n\n| measure | value | target | |\n|---|---|---|---|\n" % machine)
            for row in rows:
                fh.write("| %s |\n" % " | ".join(cell.replace("|", "/") for cell in row))
    return 0


def main(argv):
    if len(argv) >= 3 and argv[0] == "verify":
        return verify(argv[1], argv[2])
    if len(argv) >= 3 and argv[0] == "seed-older":
        return seed_older(argv[1], argv[2])
    if len(argv) in (3, 5) and argv[0] == "safety":
        return safety(*argv[1:])
    if len(argv) >= 3 and argv[0] == "table":
        md = argv[argv.index("--markdown") + 1] if "--markdown" in argv[3:] else None
        return table(argv[1], argv[2], md)
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
