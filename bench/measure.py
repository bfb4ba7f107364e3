#!/usr/bin/env python3
"""Runs a command several times and prints one tab-separated line about it:

    wall_s  cpu_s  max_rss_mib  exit_status

Wall and CPU (user + system) time are those of the run with the median CPU
time, to microseconds from the kernel's resource accounting; peak memory is
the highest of all runs. A run that outlives the time bound is killed and the
line reads "timeout". Standard output of the runs goes to the file named by
--stdout (the last run's is kept), standard error to --stderr.

    measure.py [--repeat N] [--timeout S] [--stdout F] [--stderr F] -- command...
"""
import argparse
import os
import signal
import subprocess
import sys
import time


def run_once(command, timeout, stdout_path, stderr_path):
    with open(stdout_path, "wb") as out, open(stderr_path, "wb") as err:
        start = time.monotonic()
        child = subprocess.Popen(command, stdout=out, stderr=err)
        deadline = start + timeout
        while True:
            pid, status, usage = os.wait4(child.pid, os.WNOHANG)
            if pid == child.pid:
                wall = time.monotonic() - start
                code = os.waitstatus_to_exitcode(status)
                return wall, usage.ru_utime + usage.ru_stime, usage.ru_maxrss / 1024.0, code
            if time.monotonic() > deadline:
                child.send_signal(signal.SIGKILL)
                os.wait4(child.pid, 0)
                return None
            time.sleep(0.002)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--repeat", type=int, default=3)
    parser.add_argument("--timeout", type=float, default=60.0)
    parser.add_argument("--stdout", default=os.devnull)
    parser.add_argument("--stderr", default=os.devnull)
    parser.add_argument("command", nargs=argparse.REMAINDER)
    args = parser.parse_args()
    command = args.command[1:] if args.command[:1] == ["--"] else args.command
    if not command:
        parser.error("no command given")
    runs = []
    for _ in range(max(1, args.repeat)):
        result = run_once(command, args.timeout, args.stdout, args.stderr)
        if result is None:
            print("timeout")
            return
        runs.append(result)
    by_cpu = sorted(runs, key=lambda run: run[1])
    wall, cpu, _, code = by_cpu[len(by_cpu) // 2]
    rss = max(run[2] for run in runs)
    print(f"{wall:.3f}\t{cpu:.3f}\t{rss:.1f}\t{code}")


if __name__ == "__main__":
    sys.exit(main())
