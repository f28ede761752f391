"""The generated tree: same seed, same bytes; the mix and the sizes asked for;
every text file valid in its encoding."""
import hashlib, json, os, subprocess, sys, tempfile, unittest

TOOLS = sys.argv.pop(1) if len(sys.argv) > 1 else os.path.join(os.path.dirname(__file__), "../../tools/bench")


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


if __name__ == "__main__":
    unittest.main()
