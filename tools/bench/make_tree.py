#!/usr/bin/env python3
"""Writes the benchmark's server tree from a fixed seed.

    make_tree.py OUT_DIR [--files N] [--mb M] [--seed S]
    make_tree.py OUT_DIR --large MB [--seed S]

OUT_DIR/tree holds the files, OUT_DIR/manifest.json describes them (one
entry per matching file: path, kind, size) and the totals. Running again
with the same arguments leaves an existing, complete tree alone. --large
writes one GBK log of MB * 2^20 bytes instead (the unit of the tool's
size limit).
"""

import argparse
import bisect
import json
import os
import random
import shutil
import sys

EXTENSIONS = ["yml", "json", "txt", "lang", "cfg", "ini", "log", "conf", "toml"]
OTHER_EXTENSIONS = ["jar", "png", "dat", "sh", "properties", "md", "db", "mca"]
MIN_SIZE = 100
# Bumped whenever the same arguments would give a different tree.
LAYOUT = 4
MAX_SIZE = 1 << 20

# Share of matching files per kind of content.
KIND_SHARES = [("gbk", 0.45), ("utf8", 0.35), ("ascii", 0.15), ("utf16", 0.03), ("binary", 0.02)]

CHINESE = [
    "服务器名称", "欢迎来到我们的服务器", "玩家", "权限组", "管理员", "世界", "地图",
    "传送点", "经济系统", "金币", "商店", "背包", "任务", "公告", "禁止使用该命令",
    "你没有权限", "配置文件", "数据库连接", "最大人数", "出生点", "保护区域", "聊天格式",
    "在线奖励", "签到成功", "每日任务已刷新", "副本", "等级", "经验值", "称号", "坐骑",
]
ASCII_WORDS = [
    "server", "port", "motd", "enabled", "world", "players", "max", "timeout",
    "database", "host", "level", "spawn", "protect", "chat", "format", "reward",
]
# Names as servers have them: about half Chinese, all within GBK (the tool
# works through the code page's file functions).
FOLDER_WORDS = ["plugins", "config", "world", "data", "lang", "logs", "mods", "scripts",
                "players", "settings", "locale", "backup", "cache", "addons", "world_nether",
                "插件", "配置", "世界", "数据", "语言", "日志", "模组", "脚本",
                "玩家数据", "设置", "本地化", "备份", "缓存", "附加组件", "下界"]
FILE_WORDS = ASCII_WORDS + ["配置", "消息", "玩家", "权限", "商店", "任务", "公告", "经济",
                            "称号", "传送", "副本", "签到", "奖励", "聊天", "数据库", "世界"]


def line_of(rng, kind_words, chinese):
    key = "%s-%s" % (rng.choice(ASCII_WORDS), rng.choice(ASCII_WORDS))
    if chinese:
        value = "".join(rng.choice(CHINESE) for _ in range(rng.randint(1, 4)))
        value += str(rng.randint(0, 9999))
        if rng.random() < 0.3:
            return "# %s：%s\n" % (rng.choice(CHINESE), value)
    else:
        value = " ".join(rng.choice(kind_words) for _ in range(rng.randint(1, 6)))
    return "%s: %s\n" % (key, value)


class Pool:
    """A block of encoded lines; files are cut from it at line starts so every
    file is valid in its encoding."""

    def __init__(self, rng, encoding, chinese, size):
        parts, starts, n = [], [], 0
        while n < size:
            b = line_of(rng, ASCII_WORDS, chinese).encode(encoding)
            starts.append(n)
            parts.append(b)
            n += len(b)
        self.data = b"".join(parts)
        self.starts = starts
        self.pad = " ".encode(encoding)  # one unit of the encoding

    def cut(self, rng, size):
        unit = len(self.pad)
        start = self.starts[rng.randrange(len(self.starts) // 2)]
        end = start + size - size % unit
        # Back to the last line start, then pad up to the exact size.
        i = bisect.bisect_right(self.starts, end) - 1
        body = self.data[start:max(start, self.starts[i])]
        return body + self.pad * ((size - len(body)) // unit)


def sizes_for(n, total):
    """n sizes from MIN_SIZE to MAX_SIZE, most small, summing to about total.

    Quantiles u of an even spread map to MIN * (MAX/MIN)^(0.4u + 0.6u^p), so
    the median file is some hundred bytes and the largest near MAX; the
    exponent p is found by bisection so that the sum meets the total."""
    ratio = MAX_SIZE / MIN_SIZE
    us = [(i + 0.5) / n for i in range(n)]

    def total_of(p):
        return sum(MIN_SIZE * ratio ** (0.4 * u + 0.6 * u ** p) for u in us)

    lo, hi = 0.05, 200.0
    if total <= total_of(hi):
        p = hi
    elif total >= total_of(lo):
        p = lo
    else:
        for _ in range(60):
            mid = (lo + hi) / 2
            if total_of(mid) > total:
                lo = mid
            else:
                hi = mid
        p = (lo + hi) / 2
    return [int(MIN_SIZE * ratio ** (0.4 * u + 0.6 * u ** p)) for u in us]


def folder_names(rng, count):
    folders = [""]
    depth = {"": 0}
    while len(folders) < count:
        parent = rng.choice(folders)
        if depth[parent] >= 6:
            continue
        name = "%s%d" % (rng.choice(FOLDER_WORDS), rng.randint(0, 99))
        path = parent + "/" + name if parent else name
        if path in depth:
            continue
        depth[path] = depth[parent] + 1
        folders.append(path)
    return folders, depth


def build(out, files, mb, seed, flat=False):
    rng = random.Random(seed)
    tree = os.path.join(out, "tree")
    if os.path.exists(tree):
        shutil.rmtree(tree)
    os.makedirs(tree)

    # Flat: every file in the root, where each new name costs a scan of it.
    folders, depth = ([""], {"": 0}) if flat else folder_names(rng, max(1, files // 20))
    for f in folders[1:]:
        os.makedirs(os.path.join(tree, f), exist_ok=True)

    pools = {
        "gbk": Pool(rng, "gbk", True, 2 * MAX_SIZE + 4096),
        "utf8": Pool(rng, "utf-8", True, 2 * MAX_SIZE + 4096),
        "ascii": Pool(rng, "ascii", False, 2 * MAX_SIZE + 4096),
        "utf16": Pool(rng, "utf-16-le", True, 2 * MAX_SIZE + 4096),
    }
    kinds = []
    for kind, share in KIND_SHARES:
        kinds += [kind] * int(round(share * files))
    kinds = (kinds + ["gbk"] * files)[:files]
    rng.shuffle(kinds)
    sizes = sizes_for(files, mb * 1e6)
    rng.shuffle(sizes)

    entries, used, total = [], set(), 0
    for i in range(files):
        kind, size = kinds[i], sizes[i]
        folder = rng.choice(folders)
        ext = rng.choice(EXTENSIONS)
        while True:
            name = "%s_%d.%s" % (rng.choice(FILE_WORDS), rng.randint(0, 999999), ext)
            rel = folder + "/" + name if folder else name
            if rel not in used:
                break
        used.add(rel)
        if kind == "binary":
            data = rng.randbytes(size)
        elif kind == "utf16":
            data = b"\xff\xfe" + pools["utf16"].cut(rng, size - 2)
        elif kind == "utf8" and rng.random() < 0.1:
            data = b"\xef\xbb\xbf" + pools["utf8"].cut(rng, size - 3)
        else:
            data = pools[kind].cut(rng, size)
        with open(os.path.join(tree, rel), "wb") as fh:
            fh.write(data)
        total += len(data)
        entries.append({"path": rel, "kind": kind, "size": len(data)})

    # Files the tool must leave alone: other extensions, and a name that
    # only contains a matching extension.
    others = 0
    for i in range(max(1, files // 5)):
        folder = rng.choice(folders)
        ext = rng.choice(OTHER_EXTENSIONS) if i % 10 else "yml.old"
        name = "%s_%d.%s" % ("其他" if i % 2 else "other", i, ext)
        rel = folder + "/" + name if folder else name
        with open(os.path.join(tree, rel), "wb") as fh:
            fh.write(rng.randbytes(rng.randint(MIN_SIZE, 20000)))
        others += 1

    manifest = {
        "layout": LAYOUT, "files": files, "mb": mb, "seed": seed, "flat": flat,
        "folders": len(folders), "max_depth": max(depth.values()),
        "bytes": total, "largest": max(e["size"] for e in entries) if entries else 0,
        "other_files": others,
        "kinds": {k: sum(1 for e in entries if e["kind"] == k) for k, _ in KIND_SHARES},
        "entries": entries,
    }
    with open(os.path.join(out, "manifest.json"), "w") as fh:
        json.dump(manifest, fh)
    return manifest


def build_large(out, mb, seed):
    rng = random.Random(seed)
    rel = "日志/latest.log"
    target = os.path.join(out, "tree", rel)
    if os.path.exists(os.path.join(out, "tree")):
        shutil.rmtree(os.path.join(out, "tree"))
    os.makedirs(os.path.dirname(target))
    pool = Pool(rng, "gbk", True, 1 << 20)
    size = int(mb * (1 << 20))
    left = size
    with open(target, "wb") as fh:
        while left > len(pool.data):
            fh.write(pool.data)
            left -= len(pool.data)
        # The tail ends at a line start, then spaces to the exact size.
        end = pool.starts[bisect.bisect_right(pool.starts, left) - 1]
        fh.write(pool.data[:end] + b" " * (left - end))
    manifest = {
        "layout": LAYOUT, "files": 1, "mb": mb, "seed": seed, "large": True,
        "folders": 2, "max_depth": 1, "bytes": size, "largest": size, "other_files": 0,
        "kinds": {"gbk": 1}, "entries": [{"path": rel, "kind": "gbk", "size": size}],
    }
    with open(os.path.join(out, "manifest.json"), "w") as fh:
        json.dump(manifest, fh)
    return manifest


def main(argv):
    ap = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    ap.add_argument("out")
    ap.add_argument("--files", type=int, default=10000)
    ap.add_argument("--mb", type=float, default=150.0)
    ap.add_argument("--seed", type=int, default=20261208)
    ap.add_argument("--large", type=float, metavar="MB")
    ap.add_argument("--flat", action="store_true", help="every file in one folder")
    ap.add_argument("--force", action="store_true")
    a = ap.parse_args(argv)
    if a.files < 1 or a.mb <= 0 or (a.large is not None and a.large <= 0):
        ap.error("--files, --mb and --large must be positive")
    if a.large is not None:
        a.files, a.mb = 1, a.large
    path = os.path.join(a.out, "manifest.json")
    if not a.force and os.path.exists(path) and os.path.isdir(os.path.join(a.out, "tree")):
        with open(path) as fh:
            m = json.load(fh)
        if ((m.get("layout"), m["files"], m["mb"], m["seed"], m.get("large", False), m.get("flat", False))
                == (LAYOUT, a.files, a.mb, a.seed, a.large is not None, a.flat)):
            print("tree: reused %s" % os.path.join(a.out, "tree"))
            return 0
    os.makedirs(a.out, exist_ok=True)
    if os.path.exists(path):
        os.remove(path)  # a tree without a manifest is never reused
    if a.large is not None:
        m = build_large(a.out, a.large, a.seed)
        print("tree: one GBK file of %d bytes" % m["bytes"])
        return 0
    m = build(a.out, a.files, a.mb, a.seed, a.flat)
    print("tree: %d matching files (%.1f MB, largest %d B) in %d folders, depth %d, %d others"
          % (m["files"], m["bytes"] / 1e6, m["largest"], m["folders"], m["max_depth"],
             m["other_files"]))
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
