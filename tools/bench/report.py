#!/usr/bin/env python3
"""Checks the tool's output tree and prints the benchmark table.

    report.py verify MASTER_DIR WORK_TREE     key=value lines about the output
    report.py table MASTER_DIR RESULTS_DIR [--markdown FILE]
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


def verify(master, work):
    with open(os.path.join(master, "manifest.json")) as fh:
        m = json.load(fh)
    tree = os.path.join(master, "tree")
    out = {"ok": 0, "wrong": 0, "bak_wrong": 0, "missing": 0, "utf16_changed": 0,
           "binary_changed": 0, "first_wrong": ""}
    for e in m["entries"]:
        with open(os.path.join(tree, e["path"]), "rb") as fh:
            before = fh.read()
        target = os.path.join(work, e["path"])
        try:
            with open(target, "rb") as fh:
                after = fh.read()
            with open(target + ".bak", "rb") as fh:
                bak = fh.read()
        except OSError:
            out["missing"] += 1
            out["first_wrong"] = out["first_wrong"] or e["path"]
            continue
        if bak != before:
            out["bak_wrong"] += 1
            out["first_wrong"] = out["first_wrong"] or e["path"] + ".bak"
        want = expected_output(e["kind"], before)
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
    out["extra_files"] = count - master_count - len(m["entries"])
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
    rows.append(("search", fmt(num(r, "job_search_s"), "%.2f", " s"), "", ""))
    rows.append(("backup", fmt(num(r, "job_backup_s"), "%.2f", " s"), "", ""))
    rows.append(("conversion", fmt(num(r, "job_convert_s"), "%.2f", " s"), "", ""))
    rows.append(("whole job", fmt(job, "%.2f", " s"), "", ""))
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
    limit = 3 * m["largest"] + 64 * 2 ** 20
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


def table(master, results, markdown):
    with open(os.path.join(master, "manifest.json")) as fh:
        m = json.load(fh)
    r = {}
    for name in ("floor", "ref", "tool", "verify", "machine"):
        r.update(load_kv(os.path.join(results, name + ".txt")))
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
    if len(argv) >= 3 and argv[0] == "table":
        md = argv[argv.index("--markdown") + 1] if "--markdown" in argv[3:] else None
        return table(argv[1], argv[2], md)
    sys.stderr.write(__doc__)
    return 2


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
