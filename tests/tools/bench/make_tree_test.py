"""The generated tree: same seed, same bytes; the mix and the sizes asked for;
every text file valid in its encoding."""
import hashlib, json, os, shutil, subprocess, sys, tempfile, unittest

TOOLS = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "../../../tools/bench")


def run(out, *args):
    subprocess.run([sys.executable, os.path.join(TOOLS, "make_tree.py"), out, *args], check=True,
                   stdout=subprocess.DEVNULL)
    with open(os.path.join(out, "manifest.json")) as fh:
        return json.load(fh)


def digest(tree):
    h = hashlib.sha256()
    for d, _, files in sorted(os.walk(tree)):
        for f in sorted(files):
            h.update(os.path.relpath(os.path.join(d, f), tree).encode())
            with open(os.path.join(d, f), "rb") as fh:
                h.update(fh.read())
    return h.hexdigest()


class Tree(unittest.TestCase):
    def test_seeded_mix_sizes_and_encodings(self):
        with tempfile.TemporaryDirectory() as a, tempfile.TemporaryDirectory() as b:
            m = run(a, "--files", "400", "--mb", "4")
            run(b, "--files", "400", "--mb", "4")
            self.assertEqual(digest(os.path.join(a, "tree")), digest(os.path.join(b, "tree")))
            self.assertEqual(len(m["entries"]), 400)
            self.assertAlmostEqual(m["bytes"] / 4e6, 1, delta=0.05)
            self.assertEqual(m["kinds"]["gbk"], 180)
            self.assertLessEqual(m["max_depth"], 6)
            for e in m["entries"]:
                with open(os.path.join(a, "tree", e["path"]), "rb") as fh:
                    data = fh.read()
                self.assertEqual(len(data), e["size"])
                self.assertTrue(98 <= e["size"] <= 1 << 20, e)
                if e["kind"] in ("gbk", "utf8", "ascii"):
                    data.decode({"gbk": "gbk", "utf8": "utf-8", "ascii": "ascii"}[e["kind"]])
                e["path"].encode("gbk")
            chinese = [e["path"] for e in m["entries"] if not e["path"].isascii()]
            self.assertGreater(len(chinese), 100)
            self.assertTrue(any(not os.path.basename(p).isascii() for p in chinese))
            self.assertTrue(any(not os.path.dirname(p).isascii() for p in chinese))

    def test_other_seed_differs_and_reuse_keeps_the_tree(self):
        with tempfile.TemporaryDirectory() as a:
            run(a, "--files", "50", "--mb", "0.5")
            first = digest(os.path.join(a, "tree"))
            run(a, "--files", "50", "--mb", "0.5")
            self.assertEqual(digest(os.path.join(a, "tree")), first)
            run(a, "--files", "50", "--mb", "0.5", "--seed", "7")
            self.assertNotEqual(digest(os.path.join(a, "tree")), first)


class Safety(unittest.TestCase):
    """The check after a disk-full or huge-file run must flag every loss and
    every untrue log line, and accept what a safe job leaves."""

    def test_flags_damage_and_untrue_log_only(self):
        with tempfile.TemporaryDirectory() as d:
            m = run(os.path.join(d, "m"), "--files", "30", "--mb", "0.2")
            work = os.path.join(d, "w")
            shutil.copytree(os.path.join(d, "m", "tree"), work)
            report = [sys.executable, os.path.join(TOOLS, "report.py")]
            subprocess.run(report + ["seed-older", os.path.join(d, "m"), work], check=True)
            # Files without a seeded older backup (every third has one).
            gbk = [e["path"] for i, e in enumerate(m["entries"]) if e["kind"] == "gbk" and i % 3]

            def check(log_lines):
                with open(os.path.join(d, "log"), "wb") as fh:
                    fh.write("\n".join(log_lines).encode("gbk"))
                r = subprocess.run(report + ["safety", os.path.join(d, "m"), work, os.path.join(d, "log"), "Z:\\w"],
                                   stdout=subprocess.PIPE, text=True)
                return r.returncode, dict(l.split("=", 1) for l in r.stdout.splitlines())

            win = lambda rel: "Z:\\w\\" + rel.replace("/", "\\")
            with open(os.path.join(work, gbk[0]), "rb") as fh:
                utf8 = fh.read().decode("gbk").encode("utf-8")
            with open(os.path.join(work, gbk[0]), "wb") as fh:
                fh.write(utf8)
            shutil.copy(os.path.join(d, "m", "tree", gbk[1]), os.path.join(work, gbk[1]) + ".bak")
            rc, out = check(["转码完毕:" + win(gbk[0]), "转码失败 文件是否正在被占用? :" + win(gbk[1])])
            self.assertEqual((rc, out["safe_files_converted"], out["safe_bak_whole"]), (0, "1", "1"), out)
            self.assertEqual(out["safe_bak_older"], "10")

            # Cut short, a partial backup, and a failure the bytes deny.
            with open(os.path.join(work, gbk[1]), "wb") as fh:
                fh.write(utf8[:5])
            with open(os.path.join(work, gbk[0]) + ".bak", "wb") as fh:
                fh.write(b"x")
            rc, out = check(["跳过文件 文件过大:" + win(gbk[0])])
            self.assertEqual(rc, 1)
            self.assertEqual((out["safe_files_damaged"], out["safe_bak_damaged"], out["safe_log_untrue"]),
                             ("1", "1", "1"), out)

    def test_runs_give_medians_minima_and_the_worst_answer(self):
        sys.path.insert(0, TOOLS)
        import report
        with tempfile.TemporaryDirectory() as d:
            for i, (total, ws, answer, phase) in enumerate([(9, 50, 30, "search"), (5, 70, 20, "backup"),
                                                            (7, 60, 90, "convert")], 1):
                with open(os.path.join(d, "tool-%d.txt" % i), "w") as fh:
                    fh.write("job_total_s=%d\njob_peak_ws=%d\njob_worst_answer_ms=%d\n"
                             "job_worst_answer_phase=%s\njob_probes=%d\n" % (total, ws, answer, phase, i))
            r = report.combined_runs(d, "tool")
        self.assertEqual((float(r["job_total_s"]), float(r["job_total_s_min"]), r["tool_runs"]), (7, 5, "3"))
        self.assertEqual((r["job_peak_ws"], r["job_worst_answer_ms"], r["job_worst_answer_phase"], r["job_probes"]),
                         ("70", "90", "convert", "3"))


if __name__ == "__main__":
    unittest.main()
