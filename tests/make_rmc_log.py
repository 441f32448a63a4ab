#!/usr/bin/env python3
"""Writes logs of RMC sentences for the tests, from 2019-05-01 00:00:00 UTC.

    make_rmc_log.py day OUT
        24 hours at 10 Hz with anomalies of every kind: a 1-second gap at
        03:00, a repeated time at 06:00, a 2-second move back at 09:00, an
        hour at 5 Hz from 12:00 and a 60-second gap at 18:00.
    make_rmc_log.py seconds OUT SECONDS REPEAT
        SECONDS distinct 1 Hz time stamps, each sentence written REPEAT times
        in a row (REPEAT 2 gives one "same time" line per pair); the day of
        the month runs 1 to 28 and starts again.
"""
import sys
from functools import reduce
from operator import xor

TENTHS_PER_HOUR = 36000
TENTHS_PER_DAY = 24 * TENTHS_PER_HOUR


def sentence(tenths, with_tenth, day_of_month):
    rest = tenths % TENTHS_PER_DAY
    hh, rest = divmod(rest, TENTHS_PER_HOUR)
    mm, rest = divmod(rest, 600)
    ss, tenth = divmod(rest, 10)
    time = "%02d%02d%02d" % (hh, mm, ss) + (".%d" % tenth if with_tenth else "")
    body = "GPRMC,%s,A,3540.1234,N,13945.6789,E,000.0,054.7,%02d0519,,,A" % (time, day_of_month)
    return "$%s*%02X\r\n" % (body, reduce(xor, body.encode(), 0))


def day_times():
    t = 0
    while t < TENTHS_PER_DAY:
        yield t
        if t == 3 * TENTHS_PER_HOUR:
            t += 10                   # 1-second gap
        elif t == 6 * TENTHS_PER_HOUR:
            yield t                   # the same time again
        elif t == 9 * TENTHS_PER_HOUR:
            yield t - 20              # 2 seconds back, then on
        t += 2 if 12 * TENTHS_PER_HOUR <= t < 13 * TENTHS_PER_HOUR else 1
        if t == 18 * TENTHS_PER_HOUR:
            t += 600                  # 60-second gap


def day_log():
    for t in day_times():
        yield sentence(t, True, 1 + t // TENTHS_PER_DAY)


def seconds_log(seconds, repeat):
    for i in range(seconds):
        yield sentence(i * 10, False, 1 + i // 86400 % 28) * repeat


def write(path, lines):
    with open(path, "w", newline="") as out:
        chunk = []
        for line in lines:
            chunk.append(line)
            if len(chunk) == 10000:
                out.write("".join(chunk))
                chunk = []
        out.write("".join(chunk))


def main(args):
    if len(args) == 2 and args[0] == "day":
        write(args[1], day_log())
    elif len(args) == 4 and args[0] == "seconds":
        write(args[1], seconds_log(int(args[2]), int(args[3])))
    else:
        sys.exit(__doc__)


if __name__ == "__main__":
    main(sys.argv[1:])
