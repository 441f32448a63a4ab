#!/usr/bin/env python3
"""Writes a 24-hour 10 Hz log of RMC sentences with anomalies of every kind.

    make_day_log.py OUT

From 2019-05-01 00:00:00.0 UTC: a 1-second gap at 03:00, a repeated time at
06:00, a 2-second move back at 09:00, an hour at 5 Hz from 12:00 and a
60-second gap at 18:00.
"""
import sys
from functools import reduce
from operator import xor


def sentence(tenths):
    day, rest = divmod(tenths, 864000)
    hh, rest = divmod(rest, 36000)
    mm, rest = divmod(rest, 600)
    ss, tenth = divmod(rest, 10)
    body = "GPRMC,%02d%02d%02d.%d,A,3540.1234,N,13945.6789,E,000.0,054.7,%02d0519,,,A" % (
        hh, mm, ss, tenth, 1 + day)
    return "$%s*%02X\r\n" % (body, reduce(xor, body.encode(), 0))


def times():
    t = 0
    while t < 864000:
        yield t
        if t == 3 * 36000:
            t += 10                   # 1-second gap
        elif t == 6 * 36000:
            yield t                   # the same time again
        elif t == 9 * 36000:
            yield t - 20              # 2 seconds back, then on
        t += 2 if 12 * 36000 <= t < 13 * 36000 else 1
        if t == 18 * 36000:
            t += 600                  # 60-second gap


def main():
    with open(sys.argv[1], "w", newline="") as out:
        chunk = []
        for t in times():
            chunk.append(sentence(t))
            if len(chunk) == 20000:
                out.write("".join(chunk))
                chunk = []
        out.write("".join(chunk))


if __name__ == "__main__":
    main()
