#!/usr/bin/env python3
"""A large batch through varnik-cli: makes a tree of documents (bench/batch_tree), cuts it every
2 pages, checks that every document is reported as it should be and every good one has its
pieces, and prints the figures: documents by status, time, peak memory, and memory as the run
goes on (after 100, 500, ... documents), for varnik-cli and for its LibreOffice.

    bench/batch_run.py [--count N] [--work FOLDER] [--build build/default]
"""

import argparse
import collections
import os
import shutil
import subprocess
import sys
import threading
import time


def kib(status_text, field):
    for line in status_text.splitlines():
        if line.startswith(field + ":"):
            return int(line.split()[1])
    return 0


def read(path):
    try:
        with open(path) as f:
            return f.read()
    except OSError:
        return ""


def descendants(pid):
    children = collections.defaultdict(list)
    for entry in os.listdir("/proc"):
        if entry.isdigit():
            stat = read(f"/proc/{entry}/stat")
            if ")" in stat:
                children[int(stat.rsplit(")", 1)[1].split()[1])].append(int(entry))
    found, todo = [], [pid]
    while todo:
        for child in children[todo.pop()]:
            found.append(child)
            todo.append(child)
    return found


class Sampler(threading.Thread):
    """Memory of the program and of everything it started, with how many documents the run
    has taken up so far (output folders made)."""

    def __init__(self, pid, out):
        super().__init__(daemon=True)
        self.pid, self.out, self.samples, self.done = pid, out, [], False
        self.office_peak = 0

    def run(self):
        start = time.monotonic()
        while not self.done:
            status = read(f"/proc/{self.pid}/status")
            if not status:
                break
            office = sum(kib(read(f"/proc/{p}/status"), "VmRSS") for p in descendants(self.pid))
            self.office_peak = max(self.office_peak, office)
            try:
                folders = sum(1 for _ in os.scandir(self.out))
            except OSError:
                folders = 0
            self.samples.append((time.monotonic() - start, kib(status, "VmRSS"),
                                 kib(status, "VmHWM"), office, folders))
            time.sleep(0.25)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--count", type=int, default=1000)
    parser.add_argument("--work", default="build/batch")
    parser.add_argument("--build", default="build/default")
    args = parser.parse_args()
    cli = os.path.join(args.build, "bin", "varnik-cli")
    tree_maker = os.path.join(args.build, "bench", "batch_tree")
    for program in (cli, tree_maker):
        if not os.access(program, os.X_OK):
            sys.exit(f"{program} is missing: build the default preset first (scripts/build)")

    shutil.rmtree(args.work, ignore_errors=True)
    tree, out = os.path.join(args.work, "tree 文档"), os.path.join(args.work, "out 输出")
    os.makedirs(out)
    began = time.monotonic()
    listing = subprocess.run([tree_maker, tree, str(args.count)], check=True,
                             capture_output=True, text=True).stdout
    expected = {}
    for line in listing.splitlines():
        path, kind, status, pieces = line.split("\t")
        expected[os.path.abspath(path)] = (kind, status, int(pieces))
    print(f"tree: {len(expected)} documents made in {time.monotonic() - began:.1f} s")

    began = time.monotonic()
    run = subprocess.Popen([cli, "split", "--every", "2", "--naming", "range", "--export", out,
                            tree], stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True)
    sampler = Sampler(run.pid, out)
    sampler.start()
    stdout, stderr = run.communicate()
    sampler.done = True
    sampler.join()
    elapsed = time.monotonic() - began

    reported, wrong = {}, []
    for line in stdout.splitlines():
        status, folder, path = line.split("\t")
        reported[path] = (status, folder)
    for path, (kind, status, pieces) in sorted(expected.items()):
        if path not in reported:
            wrong.append(f"not reported: {path}")
            continue
        got, folder = reported[path]
        if got != status:
            wrong.append(f"{kind} {path}: {got}, expected {status}")
        elif status == "Done":
            made = [n for n in os.listdir(folder) if not n.startswith(".")]
            if len(made) != pieces or any(".part~" in n for n in made):
                wrong.append(f"{kind} {path}: pieces {sorted(made)}, expected {pieces}")
    for path in reported:
        if path not in expected:
            wrong.append(f"reported but not made: {path}")

    by_status = collections.Counter(status for status, _ in reported.values())
    by_kind = collections.Counter((kind, reported.get(p, ("missing",))[0])
                                  for p, (kind, _, _) in expected.items())
    print(f"run: exit status {run.returncode}, {elapsed:.1f} s, {len(reported)} documents reported")
    print("by status: " + ", ".join(f"{s} {n}" for s, n in sorted(by_status.items())))
    print("by kind: " + ", ".join(f"{k} {s} {n}" for (k, s), n in sorted(by_kind.items())))
    print(f"standard error: {len(stderr.splitlines())} lines")
    samples = sampler.samples
    if samples:
        print(f"peak RSS: varnik-cli {samples[-1][2] / 1024:.1f} MiB, "
              f"its LibreOffice {sampler.office_peak / 1024:.1f} MiB")
        started = next((s for s in samples if s[4] > 0), samples[-1])
        print(f"RSS when cutting began (intake of all done, {started[0]:.0f} s): "
              f"{started[1] / 1024:.1f} MiB")
        marks = [m for m in (100, 250, 500, 750, 1000) if m <= args.count]
        for mark in marks:
            at = next((s for s in samples if s[4] >= mark), None)
            if at:
                print(f"RSS after {mark} documents cut ({at[0]:.0f} s): varnik-cli "
                      f"{at[1] / 1024:.1f} MiB, LibreOffice {at[3] / 1024:.1f} MiB")
        last = samples[-1]
        print(f"RSS at the last sample ({last[4]} output folders, {last[0]:.0f} s): "
              f"varnik-cli {last[1] / 1024:.1f} MiB")
    if wrong:
        print(f"{len(wrong)} documents not as expected:")
        for line in wrong[:30]:
            print("  " + line)
        return 1
    print("every document reported as expected; every good one Done with its pieces")
    return 0


if __name__ == "__main__":
    sys.exit(main())
