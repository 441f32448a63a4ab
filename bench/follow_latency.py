#!/usr/bin/env python3
"""How fast fixtally-check --follow reports, and what its waiting costs.

    python3 bench/follow_latency.py FIXTALLY_CHECK [IDLE_SECONDS]

A benchmark, not a test. For a followed file and for a pipe on standard
input: the time from the write() of a sentence that makes an anomaly (an
RMC sentence that repeats the time of the one before) to its report line on
the follow's standard output, 100 times, each after a pause of 50 to 150 ms
in which the checker waits; median and worst. Then the processor time
(user + system, from /proc) that each follow uses over IDLE_SECONDS (default
60) of waiting with nothing written, and how often it woke meanwhile.
"""
import functools
import operator
import os
import random
import statistics
import subprocess
import sys
import tempfile
import time

SAMPLES = 100
OPTIONS = ["--date-pattern", "yyyy/MM/dd", "--no-interval-change", "--follow"]


def rmc(second):
    """An RMC sentence at 12:00:00 plus the given seconds, CR LF ended."""
    h, rest = divmod(12 * 3600 + second, 3600)
    m, s = divmod(rest, 60)
    body = b"GPRMC,%02d%02d%02d.00,A,3540.1234,N,13945.6789,E,000.0,054.7,020519,,,A" % (h, m, s)
    return b"$" + body + b"*%02X\r\n" % functools.reduce(operator.xor, body, 0)


class Follow:
    """A follow of a file or of a pipe, fed through write()."""

    def __init__(self, checker, kind, folder):
        self.kind = kind
        if kind == "file":
            path = os.path.join(folder, "live.nmea")
            self.fd = os.open(path, os.O_WRONLY | os.O_CREAT | os.O_TRUNC, 0o644)
            self.proc = subprocess.Popen(checker + OPTIONS + [path], stdout=subprocess.PIPE,
                                         stderr=subprocess.DEVNULL)
        else:
            self.proc = subprocess.Popen(checker + OPTIONS + ["-"], stdin=subprocess.PIPE,
                                         stdout=subprocess.PIPE, stderr=subprocess.DEVNULL, bufsize=0)
            self.fd = self.proc.stdin.fileno()
        self.out = self.proc.stdout.fileno()
        self.pending = b""
        self.second = 0
        # The pre-scan's 1000 sentences, so that the check pass runs.
        self.write(b"".join(self.next_rmc() for _ in range(1001)))
        time.sleep(1.0)

    def next_rmc(self):
        self.second += 1
        return rmc(self.second)

    def write(self, data):
        view = memoryview(data)
        while view:
            view = view[os.write(self.fd, view):]

    def read_line(self):
        while b"\n" not in self.pending:
            chunk = os.read(self.out, 4096)
            if not chunk:
                raise RuntimeError("the follow ended")
            self.pending += chunk
        line, self.pending = self.pending.split(b"\n", 1)
        return line

    def latency(self, rng):
        """Seconds from writing a repeated time to its report line."""
        self.write(self.next_rmc())
        time.sleep(rng.uniform(0.05, 0.15))
        start = time.perf_counter()
        self.write(rmc(self.second))
        line = self.read_line()
        elapsed = time.perf_counter() - start
        if not line.startswith(b"* UTC is the same"):
            raise RuntimeError("unexpected line %r" % line)
        return elapsed

    def cpu_and_wakeups(self):
        """User + system seconds in clock ticks, the time on a processor in
        nanoseconds (schedstat: finer than a tick), and the context switches."""
        with open("/proc/%d/stat" % self.proc.pid) as f:
            fields = f.read().rsplit(")", 1)[1].split()
        ticks = int(fields[11]) + int(fields[12])   # utime, stime
        with open("/proc/%d/schedstat" % self.proc.pid) as f:
            on_cpu_ns = int(f.read().split()[0])
        with open("/proc/%d/status" % self.proc.pid) as f:
            switches = sum(int(line.split()[1]) for line in f if "ctxt_switches" in line)
        return ticks / os.sysconf("SC_CLK_TCK"), on_cpu_ns, switches

    def close(self):
        self.proc.terminate()
        self.proc.communicate()
        if self.kind == "file":
            os.close(self.fd)


def main():
    checker = sys.argv[1:2]
    idle = float(sys.argv[2]) if len(sys.argv) > 2 else 60.0
    rng = random.Random(1)
    with tempfile.TemporaryDirectory() as folder:
        follows = [Follow(checker, kind, folder) for kind in ("file", "pipe")]
        for follow in follows:
            times = sorted(follow.latency(rng) * 1000 for _ in range(SAMPLES))
            print("%-4s latency over %d anomalies: median %.3f ms, worst %.3f ms (90th %.3f ms)" % (
                follow.kind, SAMPLES, statistics.median(times), times[-1], times[int(SAMPLES * 0.9) - 1]))
        before = [follow.cpu_and_wakeups() for follow in follows]
        time.sleep(idle)
        for follow, (cpu0, ns0, woke0) in zip(follows, before):
            cpu, ns, woke = follow.cpu_and_wakeups()
            print("%-4s waiting %.0f s: %.2f s user + system (clock ticks), %.3f ms on a processor, %d wake-ups" % (
                follow.kind, idle, cpu - cpu0, (ns - ns0) / 1e6, woke - woke0))
        for follow in follows:
            follow.close()


if __name__ == "__main__":
    main()
