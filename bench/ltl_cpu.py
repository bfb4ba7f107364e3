"""Median CPU time (user + system) of N runs of a command: ltl_cpu.py N CMD..."""
import resource
import statistics
import subprocess
import sys

n, cmd = int(sys.argv[1]), sys.argv[2:]
samples = []
for _ in range(n):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    subprocess.run(cmd, stdout=subprocess.DEVNULL, check=True)
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    samples.append(after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime)
print(f"{statistics.median(samples):.4f}")
