#!/usr/bin/env python3
"""Compares two velkin binaries on one command line, for deciding whether a
change pays: runs them alternately (A, B, A, B, ...) so that load from other
work on the machine falls on both alike, checks that both print the same
bytes, and reports the median CPU time (user + system) of each and the time
A saves against B as a fraction of B's.

    compare.py [--repeat N] [--label TEXT] A B -- ARGS...

Output: one tab-separated line: label, median A s, median B s, saved, runs.
"""
import argparse
import hashlib
import os
import statistics
import subprocess
import sys


def run(binary, args):
    """CPU seconds of one run and a digest of what it printed."""
    process = subprocess.Popen([binary] + args, stdout=subprocess.PIPE, stderr=subprocess.PIPE)
    digest = hashlib.sha256()
    for block in iter(lambda: process.stdout.read(1 << 20), b''):
        digest.update(block)
    digest.update(process.stderr.read())
    _, status, usage = os.wait4(process.pid, 0)
    process.returncode = status
    return usage.ru_utime + usage.ru_stime, digest.hexdigest()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument('--repeat', type=int, default=7)
    parser.add_argument('--label', default='')
    parser.add_argument('a')
    parser.add_argument('b')
    parser.add_argument('args', nargs=argparse.REMAINDER)
    options = parser.parse_args()
    args = options.args[1:] if options.args[:1] == ['--'] else options.args
    times = {options.a: [], options.b: []}
    digests = set()
    for _ in range(options.repeat):
        for binary in (options.a, options.b):
            seconds, digest = run(binary, args)
            times[binary].append(seconds)
            digests.add(digest)
    if len(digests) != 1:
        print(f'{options.label}: the two binaries print different output', file=sys.stderr)
        return 1
    a = statistics.median(times[options.a])
    b = statistics.median(times[options.b])
    print(f'{options.label}\t{a:.3f}\t{b:.3f}\t{(b - a) / b:+.1%}\t{options.repeat}')
    return 0


if __name__ == '__main__':
    sys.exit(main())
