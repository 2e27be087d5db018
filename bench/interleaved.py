#!/usr/bin/env python3
"""Times two commands as whole processes, alternating them run by run so that both see the
same load, and prints the median wall time of each in milliseconds: "<program> <baseline>".

    interleaved.py RUNS WARMUP 'program args' 'baseline args'
"""
import shlex
import statistics
import subprocess
import sys
import time


def once(cmd):
    start = time.perf_counter()
    subprocess.run(cmd, check=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return (time.perf_counter() - start) * 1000.0


def main():
    runs, warmup = int(sys.argv[1]), int(sys.argv[2])
    program, baseline = shlex.split(sys.argv[3]), shlex.split(sys.argv[4])
    for _ in range(warmup):
        once(program)
        once(baseline)
    a, b = [], []
    for i in range(runs):
        # Alternate which goes first, so neither always follows the other.
        if i % 2:
            b.append(once(baseline))
            a.append(once(program))
        else:
            a.append(once(program))
            b.append(once(baseline))
    print(f"{statistics.median(a):.1f} {statistics.median(b):.1f}")


if __name__ == "__main__":
    main()
