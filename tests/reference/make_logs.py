#!/usr/bin/env python3
"""Writes small, varied NMEA-0183 logs for cross-checking fixtally-check.

    make_logs.py OUTDIR [SEED]

The logs are deterministic for a seed. Besides plain receivers at 1, 5 and
10 Hz with 0 to 3 fraction digits, and high-precision receivers writing 7 or
8 decimals of minutes, they carry the things that real logs and
careless loggers produce: every kind of line end, times that move back or
repeat (with and without the same place and speed), gaps, bad and odd
checksums, void fixes, GLO receivers writing ten whole-second sentences a
second, junk and binary lines, NUL runs, very long lines, and sentences whose
fields are odd in ways the decoder has rules for.
"""
import datetime as dt
import os
import random
import sys
from functools import reduce
from operator import xor

EOLS = [b"\r\n", b"\n", b"\r", b"\n\r"]
GLO = b"$PGRMT,GLO Software Version 2.40*79"


def with_checksum(body):
    """'$' + body + '*HH'; body is the text between '$' and '*'."""
    return b"$" + body + b"*%02X" % reduce(xor, body, 0)


def nmea_time(t, digits):
    text = t.strftime("%H%M%S")
    if digits:
        text += ".%0*d" % (digits, t.microsecond // 10 ** (6 - digits))
    return text.encode()


def nmea_coord(value, width, decimals=4):
    a = abs(value)
    deg = int(a)
    return b"%0*d%0*.*f" % (width, deg, decimals + 3, decimals, (a - deg) * 60)


class Receiver:
    """A moving receiver writing RMC (and some other) sentences."""

    def __init__(self, rng, start, rate, digits=None, talker=b"GP", eol=None, coord_decimals=4):
        self.rng = rng
        self.t = start
        self.rate = rate
        self.digits = digits if digits is not None else (0 if rate == 1 else 1 if rate == 10 else 2)
        self.talker = talker
        self.eol = eol  # None: mixed
        self.coord_decimals = coord_decimals
        self.lat, self.lon, self.speed = 35.6687233, 139.761315, 0.0
        self.out = bytearray()
        self.last_rmc = self.rmc()

    def line(self, data):
        self.out += data + (self.eol if self.eol is not None else self.rng.choice(EOLS))

    def rmc(self, t=None, status=b"A", lat=None, lon=None, speed=None, talker=None,
            date=None, time_field=None):
        t = t or self.t
        lat = self.lat if lat is None else lat
        lon = self.lon if lon is None else lon
        speed = self.speed if speed is None else speed
        body = b",".join([
            b"%sRMC" % (talker or self.talker),
            time_field if time_field is not None else nmea_time(t, self.digits),
            status,
            nmea_coord(lat, 2, self.coord_decimals), b"N" if lat >= 0 else b"S",
            nmea_coord(lon, 3, self.coord_decimals), b"E" if lon >= 0 else b"W",
            b"%.1f" % speed, b"84.4",
            date if date is not None else t.strftime("%d%m%y").encode(),
            b"", b"", b"A"])
        return with_checksum(body)

    def others(self):
        t = nmea_time(self.t, self.digits)
        self.line(with_checksum(b"%sGGA,%s,%s,N,%s,E,1,08,0.9,545.4,M,46.9,M,," % (
            self.talker, t, nmea_coord(self.lat, 2, self.coord_decimals),
            nmea_coord(self.lon, 3, self.coord_decimals))))
        if self.rng.random() < 0.3:
            self.line(with_checksum(b"GPGSA,A,3,04,05,,09,12,,,24,,,,,2.5,1.3,2.1"))

    def step(self):
        self.t += dt.timedelta(seconds=1 / self.rate)
        self.lat += self.rng.uniform(-1e-5, 1e-5)
        self.lon += self.rng.uniform(-1e-5, 1e-5)
        self.speed = round(abs(self.speed + self.rng.uniform(-0.5, 0.5)), 1)

    def epoch(self):
        self.last_rmc = self.rmc()
        self.line(self.last_rmc)
        self.others()
        self.step()


def anomaly(rx, kind):
    """Writes one anomaly of the given kind at the receiver's current epoch."""
    rng = rx.rng
    period = dt.timedelta(seconds=1 / rx.rate)
    if kind == "back":
        rx.line(rx.rmc(t=rx.t - period * rng.choice([2, 3, 10])))
    elif kind == "back-days":
        rx.line(rx.rmc(t=rx.t - dt.timedelta(days=rng.choice([1, 2]), seconds=3)))
    elif kind == "repeat-same":
        rx.line(rx.last_rmc)
    elif kind == "repeat-moved":
        rx.line(rx.rmc(t=rx.t - period, lat=rx.lat + 0.001))
    elif kind == "repeat-speed":
        rx.line(rx.rmc(t=rx.t - period, speed=rx.speed + 3))
    elif kind == "gap":
        rx.t += period * rng.choice([1, 2, 5, 30, 599 * rx.rate, 601 * rx.rate, 5000])
    elif kind == "interval":
        for _ in range(rng.randint(3, 20)):  # half the rate for a while
            rx.epoch()
            rx.step()
    elif kind == "badsum":
        s = rx.rmc()
        rx.line(s[:-1] + (b"0" if s[-1:] != b"0" else b"1"))
        rx.step()
    elif kind == "void":
        rx.line(with_checksum(b"%sRMC,%s,V,,,,,,,%s,,,N" % (
            rx.talker, nmea_time(rx.t, rx.digits), rx.t.strftime("%d%m%y").encode())))
    elif kind == "junk":
        rx.line(bytes(rng.choice(b"abcXYZ019,.*$ \t\x01\x7f\x80\xfe") for _ in range(rng.randint(1, 90))))
    elif kind == "binary":
        rx.out += bytes(rng.randrange(256) for _ in range(rng.randint(10, 300)))
    elif kind == "nul":
        rx.out += b"\x00" * rng.randint(16, 3000)
    elif kind == "long":
        rx.line(b"$GPTXT," + b"x" * rng.randint(2100, 9000) + b"*00")
    elif kind == "long-rmc":
        s = rx.rmc()
        rx.line(b" " * rng.randint(2040, 2100) + s)
        rx.step()
    elif kind == "truncated":
        s = rx.rmc()
        rx.out += s[:rng.randint(5, len(s) - 1)]
        rx.step()
    elif kind == "prefix":
        rx.line(b"\t 12:00:01 rx> " + rx.rmc())
        rx.step()
    elif kind == "lowercase-sum":
        rx.line(rx.rmc().lower()[:1] + rx.rmc()[1:-2] + rx.rmc()[-2:].lower())
        rx.step()
    elif kind == "talkers":
        rx.line(rx.rmc(talker=rng.choice([b"GN", b"GL", b"GQ", b"GI", b"GA", b"GB", b"", b"G"])))
        rx.step()
    elif kind == "odd-time":
        tf = rng.choice([b"1234", b"12345", b"1235197", b"123519.1234", b"123519.0123",
                         b" 123519", b"12 3519", b"123519.5-x", b"1:2:3", b"246000",
                         b"123560", b"1235", b"ab", b"123519.", b"123519.05"])
        rx.line(rx.rmc(time_field=tf))
    elif kind == "odd-date":
        dfield = rng.choice([b"230394", b"2303", b"23039", b"300294", b"231394", b"000000",
                             b"230374", b"230375", b"2303940", b" 30394", b"23.394", b"x"])
        rx.line(rx.rmc(date=dfield))
    elif kind == "odd-fields":
        s = rng.choice([
            b"GPRMC,%s,A,4807.038,s,01131.000,w,,84.4,%s,,",
            b"GPRMC,%s,A,4807.038,,01131.000,E,fast,84.4,%s,,",
            b"GPRMC,%s,A,,N,,E,1.0,84.4,%s,,",
            b"GPRMC,%s,A,4807.038,N,01131.000,E,1e1,84.4,%s,,,,,,,,,,,,,,,,,,,,,,,,,x",
            b"GPRMC,%s,A, 4807.038 ,N,01131.000,E, 2.5 ,84.4,%s,,",
        ]) % (nmea_time(rx.t, rx.digits), rx.t.strftime("%d%m%y").encode())
        rx.line(with_checksum(s))
        rx.line(with_checksum(s))  # twice: the same-time line shows the decoded place
        rx.step()
    elif kind == "odd-sum":
        body = b"GPRMC,%s,A,4807.038,N,01131.000,E,1.0,84.4,%s,," % (
            nmea_time(rx.t, rx.digits), rx.t.strftime("%d%m%y").encode())
        x = reduce(xor, body, 0)
        rx.line(rng.choice([b"$" + body, b"$" + body + b"*", b"$" + body + b"*%X" % x,
                            b"$" + body + b"* %02X" % x, b"$" + body + b"*%02x,tail" % x,
                            b"!" + body + b"*%02X" % x]))
        rx.step()
    elif kind == "glo-late":
        rx.line(GLO)


KINDS = ["back", "back-days", "repeat-same", "repeat-moved", "repeat-speed", "gap", "interval",
         "badsum", "void", "junk", "binary", "nul", "long", "long-rmc", "truncated", "prefix",
         "lowercase-sum", "talkers", "odd-time", "odd-date", "odd-fields", "odd-sum"]


def plain_log(rng, rate, digits, epochs, anomaly_rate, kinds=KINDS, eol=None, talker=b"GP",
              start=None, coord_decimals=4):
    start = start or dt.datetime(2019, 5, 1, 23, 58, 30)
    rx = Receiver(rng, start, rate, digits, talker, eol, coord_decimals)
    for _ in range(epochs):
        if rng.random() < anomaly_rate:
            anomaly(rx, rng.choice(kinds))
        rx.epoch()
    return bytes(rx.out)


def glo_log(rng, epochs, first_second, announce_at=0, extra_every=0):
    """A GLO receiver: ten RMC sentences a second, all with the whole second."""
    rx = Receiver(rng, dt.datetime(2020, 1, 2, 12, 0, 0), 1, 0, b"GP", None)
    rx.line(b"$GPTXT,01,01,02,boot*00")
    count = 0
    second = 0
    while count < epochs:
        n = first_second if second == 0 else 10
        if extra_every and second % extra_every == extra_every - 1:
            n = rng.choice([9, 11, 12])
        for _ in range(n):
            if count == announce_at:
                rx.line(GLO)
            if rng.random() < 0.01:
                anomaly(rx, rng.choice(["badsum", "void", "junk", "odd-time", "repeat-same"]))
            rx.line(rx.rmc())
            count += 1
        rx.t += dt.timedelta(seconds=1)
        second += 1
    return bytes(rx.out)


def half_way_coord(rng, width):
    """A coordinate field whose degrees lie half-way between two 8-decimal
    texts: j * 10^-7 minutes with j = 3 (mod 6), or j * 10^-8 with j = 30
    (mod 60), are odd multiples of 0.5 * 10^-8 degrees. The printed last
    digit then rests on the last bits of the arithmetic."""
    deg = rng.randrange(90 if width == 2 else 180)
    i = rng.randrange(10 ** 8)
    if rng.random() < 0.5:
        j = i * 6 + 3
        return b"%0*d%02d.%07d" % (width, deg, j // 10 ** 7, j % 10 ** 7)
    j = i * 60 + 30
    return b"%0*d%02d.%08d" % (width, deg, j // 10 ** 8, j % 10 ** 8)


def half_way_log(rng, epochs):
    """Every sentence twice, so that each shows its place on a same-time line."""
    t = dt.datetime(2021, 3, 14, 9, 0, 0)
    out = bytearray()
    for _ in range(epochs):
        rmc = with_checksum(b",".join([
            b"GNRMC", nmea_time(t, 2), b"A",
            half_way_coord(rng, 2), rng.choice([b"N", b"S"]),
            half_way_coord(rng, 3), rng.choice([b"E", b"W"]),
            b"0.0", b"0.0", t.strftime("%d%m%y").encode(), b"", b"", b"R"]))
        out += rmc + b"\r\n" + rmc + b"\r\n"
        t += dt.timedelta(seconds=0.1)
    return bytes(out)


def write_logs(outdir, seed=1):
    rng = random.Random(seed)
    logs = {
        "empty.nmea": b"",
        "no-rmc.nmea": b"$GPGGA,1*00\r\n" * 50 + b"hello\n",
        "one-rmc.nmea": Receiver(rng, dt.datetime(2021, 6, 1), 1).rmc(),
        "crlf-1hz.nmea": plain_log(rng, 1, 0, 400, 0.02, eol=b"\r\n"),
        "lf-5hz-2dig.nmea": plain_log(rng, 5, 2, 1500, 0.01, eol=b"\n"),
        "cr-10hz-1dig.nmea": plain_log(rng, 10, 1, 2500, 0.005, eol=b"\r", talker=b"GN"),
        "lfcr-10hz-3dig.nmea": plain_log(rng, 10, 3, 1500, 0.01, eol=b"\n\r"),
        "mixed-1hz-3dig.nmea": plain_log(rng, 1, 3, 1200, 0.05),
        "mixed-5hz-0dig.nmea": plain_log(rng, 5, 0, 1200, 0.03),
        "mixed-10hz-2dig.nmea": plain_log(rng, 10, 2, 1500, 0.03),
        "dense-anomalies.nmea": plain_log(rng, 1, 1, 1500, 0.4),
        "odd-fields.nmea": plain_log(rng, 1, 1, 600, 0.5,
                                     kinds=["odd-time", "odd-date", "odd-fields", "odd-sum",
                                            "talkers", "prefix", "lowercase-sum"]),
        "binary.nmea": plain_log(rng, 5, 1, 800, 0.2,
                                 kinds=["binary", "nul", "junk", "long", "long-rmc", "truncated"]),
        "gaps.nmea": plain_log(rng, 1, 0, 800, 0.1, kinds=["gap", "interval", "back-days"]),
        "two-days.nmea": plain_log(rng, 1, 1, 200, 0.0, start=dt.datetime(2019, 12, 31, 23, 0))
        + plain_log(rng, 1, 1, 200, 0.0, start=dt.datetime(2020, 1, 2, 1, 30)),
        "years.nmea": plain_log(rng, 1, 0, 60, 0.0, start=dt.datetime(1975, 1, 1))
        + plain_log(rng, 1, 0, 60, 0.0, start=dt.datetime(2074, 12, 31, 23, 59, 30))
        + plain_log(rng, 1, 0, 60, 0.0, start=dt.datetime(2000, 2, 28, 23, 59, 30)),
        "glo-3-first.nmea": glo_log(rng, 2000, 3),
        "glo-10-first.nmea": glo_log(rng, 1500, 10, extra_every=7),
        "glo-crowded-first.nmea": glo_log(rng, 800, 14),
        "glo-late.nmea": glo_log(rng, 1500, 5, announce_at=1100),
        "many-rmc-prescan.nmea": plain_log(rng, 10, 0, 1300, 0.01, kinds=["glo-late", "back"]),
        "rtk-10hz-7dec.nmea": plain_log(rng, 10, 2, 1500, 0.05, eol=b"\r\n", coord_decimals=7),
        "rtk-1hz-8dec.nmea": plain_log(rng, 1, 0, 800, 0.1, talker=b"GN", coord_decimals=8),
        "rtk-half-way.nmea": half_way_log(rng, 8000),
    }
    os.makedirs(outdir, exist_ok=True)
    for name, data in logs.items():
        with open(os.path.join(outdir, name), "wb") as f:
            f.write(data)
    return sorted(logs)


if __name__ == "__main__":
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: make_logs.py OUTDIR [SEED]")
    for name in write_logs(sys.argv[1], int(sys.argv[2]) if len(sys.argv) == 3 else 1):
        print(name)
