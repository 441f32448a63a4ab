#!/usr/bin/env python3
"""Times whole commands in interleaved rounds: each round runs every command
once, in turn, so that a slow minute of a shared machine falls on all of them
alike rather than on the one whose runs it happened to meet.

    interleaved.py [--rounds N] NAME=COMMAND ...

Prints, per command, the median and the least wall time and CPU time (user +
system) over the rounds, each also as a multiple of the first command's
(give `wc -l LOG` first for the ratios the README quotes). One warm-up round
is not counted.
"""
import argparse
import resource
import statistics
import subprocess
import time


def run_once(command):
    before = resource.getrusage(resource.RUSAGE_CHILDREN)
    start = time.perf_counter()
    subprocess.run(command, shell=True, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    wall = time.perf_counter() - start
    after = resource.getrusage(resource.RUSAGE_CHILDREN)
    cpu = after.ru_utime - before.ru_utime + after.ru_stime - before.ru_stime
    return wall, cpu


def main():
    parser = argparse.ArgumentParser(description=__doc__, formatter_class=argparse.RawDescriptionHelpFormatter)
    parser.add_argument("--rounds", type=int, default=10)
    parser.add_argument("commands", nargs="+", metavar="NAME=COMMAND")
    args = parser.parse_args()
    commands = [c.split("=", 1) for c in args.commands]
    for _, command in commands:
        run_once(command)
    times = {name: [] for name, _ in commands}
    for _ in range(args.rounds):
        for name, command in commands:
            times[name].append(run_once(command))
    base = times[commands[0][0]]
    base_median = statistics.median(w for w, _ in base)
    base_least = min(w for w, _ in base)
    print(f"{'command':20s} {'median wall':>12s} {'x':>6s} {'median CPU':>11s} {'x':>6s} {'least wall':>11s} {'x':>6s}")
    for name, _ in commands:
        walls = [w for w, _ in times[name]]
        cpus = [c for _, c in times[name]]
        wall, cpu, least = statistics.median(walls), statistics.median(cpus), min(walls)
        print(f"{name:20s} {wall * 1000:9.1f} ms {wall / base_median:6.2f} {cpu * 1000:8.1f} ms "
              f"{cpu / base_median:6.2f} {least * 1000:8.1f} ms {least / base_least:6.2f}")


if __name__ == "__main__":
    main()
