#!/usr/bin/env python3
"""Writes a GPS log of 1 Hz RMC sentences for the window tests.

make_log.py OUT SECONDS REPEAT: SECONDS distinct time stamps, each sentence
written REPEAT times in a row (REPEAT 2 gives one "same time" line per pair).
"""
import sys


def sentence(body):
    checksum = 0
    for ch in body.encode("ascii"):
        checksum ^= ch
    return "$%s*%02X\r\n" % (body, checksum)


def main():
    out, seconds, repeat = sys.argv[1], int(sys.argv[2]), int(sys.argv[3])
    with open(out, "w", newline="") as f:
        chunk = []
        for i in range(seconds):
            day, rest = divmod(i, 86400)
            hh, rest = divmod(rest, 3600)
            mm, ss = divmod(rest, 60)
            body = "GPRMC,%02d%02d%02d,A,3540.1234,N,13945.6789,E,000.0,054.7,%02d0519,,,A" % (hh, mm, ss, 1 + day % 28)
            chunk.append(sentence(body) * repeat)
            if len(chunk) == 10000:
                f.write("".join(chunk))
                chunk = []
        f.write("".join(chunk))


if __name__ == "__main__":
    main()
