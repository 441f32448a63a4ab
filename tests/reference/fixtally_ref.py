#!/usr/bin/env python3
"""Reference model of the fixtally log check, written apart from the C++ engine.

It reads one NMEA-0183 log the way the check run does (pre-scan, rewind,
check pass) and writes what fixtally-check writes on standard output: the
report lines, then the final status line.

    fixtally_ref.py [--tolerance T] [--decimals D] [--no-same-time]
                    [--no-moved-back] [--no-interval-change]
                    --date-pattern PAT --date-separator C LOG

Exit status: 0 no anomaly, 1 anomalies reported, 2 the log could not be
opened or the options are unusable, 3 no RMC sentence was accepted.

Only the standard library is used. The routines keep the names of the engine
routines they model (split_sentence, checksum_ok, parse_date_time_text, ...),
so that a difference between the two programs can be traced to one routine.
"""
import math
import re
import sys
import time
from fractions import Fraction
from functools import reduce
from operator import xor


class ConversionError(Exception):
    """A text that a strict reader does not accept (caught by the lenient ones)."""


# ---------------------------------------------------------------------------
# Line reader
# ---------------------------------------------------------------------------

CR, LF = 13, 10
_LINE_END_RUN = re.compile(rb"[\r\n]+")


class LogReader:
    """Lines of a log as byte strings, with the reader's line-end rules.

    A CR or LF ends a line, except an LF right after a CR and a CR right after
    an LF, which end nothing. "Right after" is judged against last_char, the
    last byte taken, which survives rewind(). The file is held in memory and
    cut with a regular expression, which gives the same lines as a byte-by-byte
    reader at a fraction of the cost.
    """

    def __init__(self, name):
        with open(name, "rb") as f:
            self.data = f.read()
        self.file_bytes = len(self.data)
        self.last_char = 0
        self.rewind()

    def rewind(self):
        self.pos = 0
        self.at_end = False
        self._lines = self._cut(self.pos)

    def _cut(self, start):
        """Yields (line, last byte taken); the final line sets at_end."""
        data = self.data
        last = self.last_char
        pos = start
        for m in _LINE_END_RUN.finditer(data, start):
            run = m.group()
            text = data[pos:m.start()]
            prev = last if m.start() == start else data[m.start() - 1]
            for i, c in enumerate(run):
                if i > 0:
                    prev = run[i - 1]
                ends = not ((c == LF and prev == CR) or (c == CR and prev == LF))
                if ends:
                    yield text, c
                    text = b""
            pos = m.end()
            start = -1  # only the very first run can follow last_char
        self.at_end = True
        yield data[pos:], (data[-1] if len(data) > 0 else None)

    def read_log_line(self):
        line, last = next(self._lines)
        if last is not None:
            self.last_char = last
        return line


# ---------------------------------------------------------------------------
# Sentence fields, checksum, trims and number readers
# ---------------------------------------------------------------------------

_LOW_BYTES = bytes(range(0x21))
_LOW_TEXT = "".join(chr(c) for c in range(0x21))
FIELD_COUNT = 25


def trim_bytes(b):
    return b.strip(_LOW_BYTES)


def trim_text(t):
    return t.strip(_LOW_TEXT)


def split_sentence(sentence):
    """Returns (25 fields, count); only the last field is cut at its '*'."""
    fields = [b""] * FIELD_COUNT
    if not sentence:
        return fields, 1
    parts = sentence.split(b",", FIELD_COUNT - 1)
    count = len(parts)
    fields[:count] = parts
    last = parts[-1]
    star = last.find(b"*")
    if star >= 0:
        fields[count - 1] = last[:star]
    return fields, count


def checksum_ok(sentence):
    p = sentence.find(b"*")
    if p < 0:
        return False
    x = reduce(xor, sentence[1:p], 0)
    digits = trim_bytes(sentence[p + 1:p + 3])
    return int_or_zero("$" + digits.decode("latin-1")) == x


def _wrap32(v):
    v &= 0xFFFFFFFF
    return v - (1 << 32) if v & 0x80000000 else v


_HEX = "0123456789abcdefABCDEF"


def integer_text_to_int(t):
    n = len(t)
    i = 0
    while i < n and t[i] == " ":
        i += 1
    negative = False
    if i < n and t[i] in "+-":
        negative = t[i] == "-"
        i += 1
    hex_form = False
    if i < n and t[i] in "$xX":
        hex_form = True
        i += 1
    elif i + 1 < n and t[i] == "0" and t[i + 1] in "xX":
        hex_form = True
        i += 2
    value = 0
    digits = 0
    if hex_form:
        while i < n and t[i] in _HEX:
            if value < 0 or value >= (1 << 28):
                break
            value = _wrap32(value * 16 + int(t[i], 16))
            digits += 1
            i += 1
        if negative:
            value = _wrap32(-value)
    else:
        while i < n and "0" <= t[i] <= "9":
            if value > 214748364:
                break
            value = value * 10 + ord(t[i]) - 48
            digits += 1
            i += 1
        if negative:
            value = -value
        if not -2147483648 <= value <= 2147483647:
            raise ConversionError(t)
    if digits == 0 or i != n:
        raise ConversionError(t)
    return value


_EXACT_POWERS = [float(10 ** k) for k in range(23)]


def _scaled_nearest(v, scale):
    """The double nearest to v * 10**scale (v a whole-number double)."""
    if v < 9007199254740992.0 and -22 <= scale <= 22:
        # v and 10**|scale| are exact doubles: one IEEE operation rounds once.
        return v * _EXACT_POWERS[scale] if scale >= 0 else v / _EXACT_POWERS[-scale]
    if math.isinf(v):
        raise ConversionError("out of range")
    exact = Fraction(v) * Fraction(10) ** scale
    try:
        return float(exact)
    except OverflowError:
        raise ConversionError("out of range") from None


def decimal_text_to_double(t):
    n = len(t)
    i = 0
    while i < n and t[i] == " ":
        i += 1
    negative = False
    if i < n and t[i] in "+-":
        negative = t[i] == "-"
        i += 1
    v = 0.0
    digits = 0
    while i < n and "0" <= t[i] <= "9":
        v = (v * 10.0 + ord(t[i])) - 48.0
        digits += 1
        i += 1
    f = 0
    if i < n and t[i] == ".":
        i += 1
        while i < n and "0" <= t[i] <= "9":
            v = (v * 10.0 + ord(t[i])) - 48.0
            digits += 1
            f += 1
            i += 1
    x = 0
    if i < n and t[i] in "Ee":
        i += 1
        exp_negative = False
        if i < n and t[i] in "+-":
            exp_negative = t[i] == "-"
            i += 1
        exp_digits = 0
        while i < n and "0" <= t[i] <= "9":
            nxt = x * 10 + ord(t[i]) - 48
            if nxt > 1024:
                break
            x = nxt
            exp_digits += 1
            i += 1
        if exp_digits == 0:
            raise ConversionError(t)
        if exp_negative:
            x = -x
    if digits == 0:
        raise ConversionError(t)
    while i < n and t[i] == " ":
        i += 1
    if i != n:
        raise ConversionError(t)
    result = _scaled_nearest(v, x - f)
    return -result if negative else result


def float_or_nan(t):
    t = trim_text(t)
    if not t:
        return 0.0
    try:
        return decimal_text_to_double(t)
    except ConversionError:
        return math.nan


def float_or_zero(t):
    t = trim_text(t)
    if not t:
        return 0.0
    try:
        return decimal_text_to_double(t)
    except ConversionError:
        return 0.0


def int_or_zero(t):
    t = trim_text(t)
    if not t:
        return 0
    try:
        return integer_text_to_int(t)
    except ConversionError:
        return 0


# ---------------------------------------------------------------------------
# Date-time values and their text forms
# ---------------------------------------------------------------------------

MS_PER_DAY = 86400000
DAY_OFFSET = 693594  # day number of 1 January of year 1 is 1 - DAY_OFFSET


def _is_leap(y):
    return y % 4 == 0 and (y % 100 != 0 or y % 400 == 0)


def _month_length(y, m):
    if m == 2:
        return 29 if _is_leap(y) else 28
    return 30 if m in (4, 6, 9, 11) else 31


_DAYS_BEFORE_MONTH = [0, 31, 59, 90, 120, 151, 181, 212, 243, 273, 304, 334]


def encode_date(y, m, d):
    doy = _DAYS_BEFORE_MONTH[m - 1] + d + (1 if m > 2 and _is_leap(y) else 0)
    k = y - 1
    return k * 365 + k // 4 - k // 100 + k // 400 + doy - DAY_OFFSET


def decode_date(day):
    """(year, month, day) of a day number; zeros at or before the day before year 1."""
    if day <= -DAY_OFFSET:
        return 0, 0, 0
    n = day + DAY_OFFSET - 1  # days since 1 January of year 1
    n400, n = divmod(n, 146097)
    n100 = min(n // 36524, 3)
    n -= n100 * 36524
    n4, n = divmod(n, 1461)
    n1 = min(n // 365, 3)
    n -= n1 * 365
    y = n400 * 400 + n100 * 100 + n4 * 4 + n1 + 1
    m = 1
    while n >= _month_length(y, m):
        n -= _month_length(y, m)
        m += 1
    return y, m, n + 1


def format_by_pattern(value, pattern, date_separator="/", time_separator=":"):
    product = value * 86400000.0
    if math.isnan(product) or math.isinf(product) or abs(product) >= 2.0 ** 63:
        raise ConversionError("value out of range")
    ms = round(product)  # ties to even
    day = abs(ms) // MS_PER_DAY
    if ms < 0:
        day = -day
    ms_of_day = abs(ms) % MS_PER_DAY
    year, month, mday = decode_date(day)
    hour, rest = divmod(ms_of_day, 3600000)
    minute, rest = divmod(rest, 60000)
    second, milli = divmod(rest, 1000)

    out = []
    prev_letter = ""
    i, n = 0, len(pattern)
    while i < n:
        c = pattern[i]
        if c in "\"'":
            j = pattern.find(c, i + 1)
            if j < 0:
                j = n
            out.append(pattern[i + 1:j])
            i = j + 1
            continue
        j = i
        while j < n and pattern[j] == c:
            j += 1
        length = j - i
        low = c.lower()
        if low == "y":
            out.append("%04d" % year if length >= 3 else "%02d" % (year % 100))
        elif low == "m":
            if prev_letter == "h":
                out.append("%0*d" % (min(length, 2), minute))
            else:
                out.append("%0*d" % (min(length, 2), month))
        elif low == "d":
            out.append("%0*d" % (min(length, 2), mday))
        elif low == "h":
            out.append("%0*d" % (min(length, 2), hour))
        elif low == "n":
            out.append("%0*d" % (min(length, 2), minute))
        elif low == "s":
            out.append("%0*d" % (min(length, 2), second))
        elif low == "z":
            out.append("%0*d" % (min(length, 3), milli))
        elif c == "/":
            out.append(date_separator * length)
        elif c == ":":
            out.append(time_separator * length)
        else:
            out.append(pattern[i:j])
        if c.isalpha():
            prev_letter = low
        i = j
    return "".join(out)


def format_time_decimals(value, pattern, digits):
    try:
        if digits < 1:
            return format_by_pattern(value, pattern)
        t = format_by_pattern(value, pattern + ".zzz")
    except ConversionError:
        return ""
    return t if digits >= 3 else t[:len(t) + digits - 3]


class _Scanner:
    """Reading steps over a text: skip, number(k), char(c), marker."""

    def __init__(self, text, pos=0):
        self.t = text
        self.n = len(text)
        self.i = pos

    def at_end(self):
        return self.i >= self.n

    def skip(self):
        while self.i < self.n and self.t[self.i] == " ":
            self.i += 1

    def number(self, k=None):
        """(value, digits read); raises when no digit is read."""
        self.skip()
        t, n = self.t, self.n
        value = 0
        count = 0
        while (self.i < n and "0" <= t[self.i] <= "9"
               and (k is None or count < k) and value < 1000):
            value = value * 10 + ord(t[self.i]) - 48
            count += 1
            self.i += 1
        if count == 0:
            raise ConversionError("number expected")
        return value, count

    def char(self, c):
        if self.i < self.n and self.t[self.i] == c:
            self.i += 1
            return True
        return False

    def marker(self):
        """'AM', 'PM' or '' for none."""
        self.skip()
        word = self.t[self.i:self.i + 2].upper()
        if word in ("AM", "PM"):
            self.i += 2
            return word
        return ""


def _starts_with_marker(text, pos):
    return text[pos:pos + 2].upper() in ("AM", "PM")


def _read_date(sc, current_year):
    """The date part: a day number, or ConversionError."""
    sc.skip()
    month, _ = sc.number(2)
    sc.skip()
    if not sc.char("/"):
        raise ConversionError("date separator expected")
    day, _ = sc.number(2)
    sc.skip()
    year = current_year
    if sc.char("/"):
        sc.skip()
        if not sc.at_end():
            year, count = sc.number(4)
            if count <= 2:
                base = current_year - 50
                year = (base // 100) * 100 + year
                if year < base:
                    year += 100
    elif not sc.at_end():
        raise ConversionError("date separator expected")
    sc.skip()
    if not (1 <= month <= 12 and 1 <= year <= 9999 and 1 <= day <= _month_length(year, month)):
        raise ConversionError("no such date")
    return encode_date(year, month, day)


def _twelve_hour(hour, marker):
    if not 1 <= hour <= 12:
        raise ConversionError("hour out of 12-hour range")
    if hour == 12:
        hour = 0
    if marker == "PM":
        hour += 12
    return hour


def _first_time_reading(text, start):
    """Returns (milliseconds, end position) or raises."""
    sc = _Scanner(text, start)
    marker = sc.marker()
    hour, _ = sc.number()
    minute = second = milli = 0
    if sc.char(":"):
        minute, _ = sc.number()
        if sc.char(":"):
            second, _ = sc.number()
            if sc.char("."):
                milli, _ = sc.number()
    if not marker:
        marker = sc.marker()
    if marker:
        hour = _twelve_hour(hour, marker)
    sc.skip()
    if hour > 23 or minute > 59 or second > 59 or milli > 999:
        raise ConversionError("time out of range")
    return ((hour * 60 + minute) * 60 + second) * 1000 + milli, sc.i


def _second_time_reading(text, start):
    """The short time pattern: hh ':' mm, blanks, optional marker."""
    sc = _Scanner(text, start)
    hour, _ = sc.number(2)
    sc.skip()
    if not sc.char(":"):
        raise ConversionError("':' expected")
    minute, _ = sc.number(2)
    if not sc.char(" "):
        raise ConversionError("blank expected")
    sc.skip()
    marker = ""
    word = text[sc.i:sc.i + 2].upper()
    if word in ("AM", "PM"):
        marker = word
        sc.i += 2
    elif text[sc.i:sc.i + 1].upper() in ("A", "P"):
        marker = text[sc.i].upper() + "M"
        sc.i += 1
    if marker:
        hour = _twelve_hour(hour, marker)
    if hour > 23 or minute > 59:
        raise ConversionError("time out of range")
    return (hour * 60 + minute) * 60000, sc.i


def _read_time(text, start):
    """Steps 9 and 10: (milliseconds, end position of the reading that stood)."""
    try:
        ms, end = _first_time_reading(text, start)
        if end >= len(text) or text[end] in "-+":
            return ms, end
    except ConversionError:
        pass
    return _second_time_reading(text, start)


def _combine(day, ms):
    fraction = ms / 86400000.0
    return day - fraction if day < 0 else day + fraction


def parse_date_time_text(text, current_year):
    """TDateTime of a month-first text such as '03/23/94 12:35:19.000'."""
    sc = _Scanner(text)
    try:
        day = _read_date(sc, current_year)
    except ConversionError:
        ms, end = _read_time(text, 0)
        sc = _Scanner(text, end)
        sc.skip()
        if not sc.at_end():
            raise ConversionError("text after the time") from None
        return _combine(0, ms)
    date_end = sc.i
    digit = date_end
    while digit < len(text) and not "0" <= text[digit] <= "9":
        digit += 1
    if digit >= len(text) - 1:
        return float(day)
    start = digit
    if _starts_with_marker(text, date_end):
        start = date_end
    else:
        for j in range(date_end, digit):
            if text[j] == " " and _starts_with_marker(text, j + 1):
                start = j + 1
                break
    ms, _ = _read_time(text, start)
    return _combine(day, ms)


def _format_parts(fmt):
    """(prefix, left, width, precision, letter, rest) of a single-conversion format, or None."""
    p = fmt.find("%")
    if p < 0:
        return None
    i = p + 1
    n = len(fmt)
    left = i < n and fmt[i] == "-"
    if left:
        i += 1
    j = i
    while j < n and fmt[j].isdigit():
        j += 1
    width = int(fmt[i:j]) if j > i else 0
    precision = None
    if j < n and fmt[j] == ".":
        k = j + 1
        while k < n and fmt[k].isdigit():
            k += 1
        precision = int(fmt[j + 1:k]) if k > j + 1 else None
        j = k
    if precision is None or precision > 18:
        precision = 2
    letter = fmt[j] if j < n else ""
    return fmt[:p], left, width, precision, letter, fmt[j + 1:]


def _fixed_digits(x, precision):
    """Fixed-point text of a finite x of magnitude below 1e17 (no padding)."""
    if x == 0.0:
        return "0" + ("." + "0" * precision if precision > 0 else "")
    a = abs(x)
    e2 = math.frexp(a)[1] - 1
    e = ((e2 * 19728) >> 16) + 1
    y = _scaled_nearest_any(a, 18 - e)
    big = round(y)
    if big >= 10 ** 18:
        big = round(y / 10.0)
        e += 1
    s = "%018d" % big
    c = e + precision
    if c < 0:
        digits = ""
    else:
        c = min(c, 17)
        if c < 18 and s[c] >= "5":
            kept = s[:c]
            if kept == "" or kept == "9" * c:
                digits = "1"
                e += 1
            else:
                digits = str(int(kept) + 1).rjust(c, "0")
        else:
            digits = s[:c]
        digits = digits.rstrip("0")
    if not digits:
        return "0" + ("." + "0" * precision if precision > 0 else "")
    out = "-" if x < 0 else ""
    if e > 0:
        out += digits[:e].ljust(e, "0")
        frac = digits[e:]
    else:
        out += "0"
        frac = "0" * min(-e, precision) + digits
    if precision > 0:
        out += "." + frac[:precision].ljust(precision, "0")
    return out


def _scaled_nearest_any(a, scale):
    """The double nearest to a * 10**scale for any finite double a."""
    try:
        return float(Fraction(a) * Fraction(10) ** scale)
    except OverflowError:
        return math.inf


def format_fixed(fmt, x):
    parts = _format_parts(fmt)
    if parts is None:
        return fmt
    prefix, left, width, precision, letter, rest = parts
    if not letter.isalpha():
        return prefix
    if math.isnan(x):
        text = "NAN"
    elif math.isinf(x):
        text = "-INF" if x < 0 else "INF"
    elif abs(x) >= 1e17:
        text = "%.*E" % (max(precision, 1), x)  # nonsense fields only; any form will do
    else:
        text = _fixed_digits(x, precision)
    text = text.ljust(width) if left else text.rjust(width)
    return prefix + text + rest


# ---------------------------------------------------------------------------
# Date conventions
# ---------------------------------------------------------------------------

class DateConventions:
    """Date order and display pattern from a short date pattern and separator."""

    def __init__(self, short_pattern, separator):
        s = separator
        self.locale_date_separator = s
        self.us_date_separator = "/"
        p = self._locale_short_date(short_pattern, s)
        p = "".join(chr(ord(c) + 32) if "A" <= c <= "Z" else c for c in p)
        p = p.replace("yyyy", "yy").replace(" ", "").replace("/", s)
        order = []
        for _ in range(3):
            order.append("dmy".find(p[:1]) + 1 if p[:1] and p[:1] in "dmy" else 0)
            q = p.find(s) + 1
            if q == 0:
                q = p.find(".") + 1
            if q > 0:
                p = p[q:]
        self.date_order = order
        elements = []
        for o in order:
            letter = "dmy"[o - 1] if o > 0 else ""
            elements.append(letter * (4 if letter == "y" else 2))
        self.display_date_format = s.join(elements)

    @staticmethod
    def _locale_short_date(pattern, separator):
        """The short date pattern as the conventions record holds it: the
        locale's separator written as '/' outside quotes, then lower case."""
        out = []
        quoted = False
        for c in pattern:
            if c == "'":
                quoted = not quoted
            out.append("/" if c == separator and not quoted else c)
        return "".join(out).lower()


# ---------------------------------------------------------------------------
# RMC decoding and the time checks
# ---------------------------------------------------------------------------

RMC_TYPE_TABLE = b"$GPRMC$GNRMC$GLRMC$PGRMT$GQRMC$GIRMC$"
GLO_ANNOUNCEMENT = b"GLO Software Version 2.40"
GLO_LINE = "GLO Version 2.40 was detected:  Less than second of time is interpolated.\r\n"
MAX_INTERVAL_CHANGE = 0.006944444444444445  # about 600 s in days, one ulp above 1/144


def time_field_to_text(field):
    if not field:
        return b""
    t = bytearray(field)
    k = t.find(b".")
    if k < 0:
        if len(t) <= 6:
            k = len(t)
        else:
            t[6:6] = b"."
            k = 6
    for before in (k - 1, k - 3):
        at = max(before - 1, 0)
        t[at:at] = b":"
    if b"." not in t:
        t += b".000"
    return bytes(t)


def pad_milliseconds(text):
    k = len(text) - (text.find(b".") + 1)
    if k == 0:
        return text + b"000"
    if k == 1:
        return text + b"00"
    if k == 2:
        return text + b"0"
    return text


def coord_to_degrees(number, hemisphere):
    t = trim_bytes(number)
    if not t:
        return math.nan
    try:
        x = decimal_text_to_double(t.decode("latin-1"))
    except ConversionError:
        return math.nan
    v = x / 100.0
    if not -2.0 ** 63 <= v < 2.0 ** 63:
        return math.nan
    d = float(math.trunc(v))
    result = d + (v - d) / 0.6
    if not hemisphere:
        return math.nan
    if hemisphere[0] in b"SW":
        result = -result
    return result


class Checker:
    """One check run over one log: ScanState, the decoding and the checks."""

    def __init__(self, conventions, tolerance_text="0.25", decimals_text="1",
                 same_time=True, moved_back=True, step_change=True, current_year=None):
        self.conv = conventions
        self.tolerance_text = tolerance_text
        self.decimals_text = decimals_text
        self.alarm_same_time = same_time
        self.alarm_moved_back = moved_back
        self.alarm_step_change = step_change
        self.current_year = current_year or time.localtime().tm_year
        self.report = []
        self.cur_time = 0.0
        self.cur_lat = self.cur_lon = self.cur_speed = 0.0
        self.first_time = 0.0
        self._date_cache = {}

    # -- report pane -------------------------------------------------------
    def append(self, text):
        self.report.extend(text.split("\r\n"))

    # -- options intake ----------------------------------------------------
    def take_options(self):
        fluc = abs(float_or_zero(trim_text(self.tolerance_text)))
        if fluc <= 0:
            self.tolerance_text = "0.5"
            fluc = 0.5
        self.fluc_time = fluc
        if not (self.alarm_same_time or self.alarm_step_change or self.alarm_moved_back):
            self.alarm_step_change = True
        decimals = int_or_zero(self.decimals_text)
        if decimals > 3:
            self.decimals_text = "3"
            decimals = 3
        elif decimals < 0:
            self.decimals_text = "0"
            decimals = 0
        self.time_decimals = decimals
        self.interval_format = "%%%d.%df" % (decimals + 5, decimals)

    # -- the run -----------------------------------------------------------
    def run(self, reader):
        self.glo_mode = False
        self.prev_time_text = b""
        self.tenth_counter = -1

        self.sentence_count = 0
        while not reader.at_end and self.sentence_count < 1000:
            line = trim_bytes(reader.read_log_line())
            p = line.find(b"$G")
            if p < 0:
                p = line.find(b"$P")
            if p >= 0:
                self.process_sentence(line[p:], 0)

        reader.rewind()
        self.sentence_count = 0
        self.prev_time_text = b""
        self.take_options()

        self.prev_time = self.prev_time2 = self.prev_time3 = self.first_time = 0.0
        self.step_count = self.back_count = self.same_count = 0
        self.prev_lat = self.prev_lon = 1000.0
        self.prev_speed = -1.0
        while not reader.at_end:
            line = trim_bytes(reader.read_log_line())
            p = line.find(b"$G")
            if p >= 0:
                self.process_sentence(line[p:], 1)

        summary = ""
        if self.same_count > 0:
            summary = "UTC same= %d" % self.same_count
        if self.step_count > 0:
            summary += "     Step changed= %d" % self.step_count
        if self.back_count > 0:
            summary += "     UTC moved back= %d" % self.back_count
        if not summary:
            summary = "no error."
        self.append("\r\n" + trim_text(summary))
        return self.span_text()

    def span_text(self):
        if self.first_time == 0:
            return "Completed."
        span = self.cur_time - self.first_time
        days = math.trunc(span)
        days_part = "%d " % days if days >= 1 else ""
        return ("Completed.    " + self.stamp(self.first_time) + " to "
                + self.stamp(self.cur_time) + "(UTC)  " + days_part
                + format_time_decimals(span, "hh:mm:ss", self.time_decimals))

    def stamp(self, t):
        return format_time_decimals(t, self.conv.display_date_format + " hh:mm:ss",
                                    self.time_decimals)

    # -- decoding ----------------------------------------------------------
    def date_field_to_local_order(self, field):
        if not field:
            return ""
        f = field.decode("latin-1")
        return self.conv.locale_date_separator.join(
            f[2 * o - 2:2 * o] if o > 0 else f[-1:0] for o in self.conv.date_order)

    def local_date_to_us_date(self, text):
        if not text:
            return ""
        s = self.conv.locale_date_separator
        day = month = year = ""
        rest = text
        for o in self.conv.date_order:
            q = rest.find(s)
            if q >= 0:
                part = rest[:q]
                rest = rest[q + len(s):]
            else:
                part = rest
            if o == 1:
                day = part
            elif o == 2:
                month = part
            elif o == 3:
                year = part
        u = self.conv.us_date_separator
        return month + u + day + u + year

    def process_sentence(self, sentence, pass_no):
        fields, _ = split_sentence(sentence)
        p = RMC_TYPE_TABLE.find(fields[0]) + 1 if fields[0] else 0
        if p == 0:
            return
        category = p // 6
        if category == 3:
            if checksum_ok(sentence) and fields[1] == GLO_ANNOUNCEMENT:
                if not self.glo_mode:
                    self.append(GLO_LINE)
                self.glo_mode = True
            return
        if category >= 6:
            return
        if not (checksum_ok(sentence) and fields[2] == b"A" and fields[9] and fields[1]):
            return
        t = pad_milliseconds(time_field_to_text(fields[1]))
        d = self._us_date(fields[9])
        time_text = t
        if pass_no == 0:
            if self.tenth_counter < 0 and self.prev_time_text and self.prev_time_text != t:
                self.tenth_counter = 10 - self.sentence_count
        elif self.glo_mode:
            if self.prev_time_text and self.prev_time_text != t:
                self.tenth_counter = 0
            q = t.find(b".000")
            if q >= 0:
                if self.tenth_counter < 0:
                    self.tenth_counter = 0
                time_text = t[:q + 1] + b"%d00" % self.tenth_counter_remainder()
        try:
            value = parse_date_time_text(d + " " + time_text.decode("latin-1"),
                                         self.current_year)
        except ConversionError:
            return
        if pass_no == 1 and self.glo_mode and self.tenth_counter < 9:
            self.tenth_counter += 1
        self.cur_time = value
        self.cur_lat = coord_to_degrees(fields[3], fields[4])
        self.cur_lon = coord_to_degrees(fields[5], fields[6])
        self.cur_speed = float_or_nan(fields[7].decode("latin-1"))
        if self.first_time == 0.0:
            self.first_time = value
        if pass_no == 1:
            self.check_times()
        self.sentence_count += 1
        self.prev_time_text = t

    def tenth_counter_remainder(self):
        """Remainder of the counter by 10, with the counter's sign."""
        return int(math.fmod(self.tenth_counter, 10))

    def _us_date(self, field):
        d = self._date_cache.get(field)
        if d is None:
            d = self.local_date_to_us_date(self.date_field_to_local_order(field))
            if len(self._date_cache) < 4096:
                self._date_cache[field] = d
        return d

    def check_times(self):
        c = self.cur_time
        n = c - self.prev_time
        p = self.prev_time - self.prev_time2
        q = self.prev_time2 - self.prev_time3
        tolerance = self.fluc_time / 86400.0
        if self.alarm_step_change:
            if (abs(p - n) > tolerance and abs(q - n) > tolerance and self.prev_time3 != 0
                    and self.fluc_time > 0 and abs(p - n) <= MAX_INTERVAL_CHANGE):
                self.append("* UTC step changed :" + format_fixed(self.interval_format, p * 86400)
                            + " to" + format_fixed(self.interval_format, n * 86400)
                            + "Sec.  UTC(RMC)= " + self.stamp(self.prev_time))
                self.step_count += 1
        if self.prev_time > 0:
            if self.prev_time > c:
                if self.alarm_moved_back:
                    line = ("* UTC moved back   : UTC(RMC)= " + self.stamp(self.prev_time)
                            + " to " + self.stamp(c))
                    if abs(self.prev_time - c) < 1.0:
                        line += " (-" + format_time_decimals(self.prev_time - c, "hh:mm:ss",
                                                             self.time_decimals) + ")"
                    self.append(line)
                    self.back_count += 1
            elif self.alarm_same_time and c == self.prev_time:
                line = "* UTC is the same  : UTC(RMC)= " + self.stamp(self.prev_time)
                if self.cur_lon == self.prev_lon and self.cur_lat == self.prev_lat:
                    line += (" & Same place Lat=" + format_fixed("%10.8f", self.cur_lat)
                             + " Lon=" + format_fixed("%10.8f", self.cur_lon))
                    if self.cur_speed == self.prev_speed:
                        line += " Spd=" + format_fixed("%4.1f", self.cur_speed)
                self.append(line)
                self.same_count += 1
        self.prev_time3 = self.prev_time2
        self.prev_time2 = self.prev_time
        self.prev_time = c
        self.prev_lon = self.cur_lon
        self.prev_lat = self.cur_lat
        self.prev_speed = self.cur_speed


# ---------------------------------------------------------------------------
# Command line
# ---------------------------------------------------------------------------

USAGE = ("usage: fixtally_ref.py [--tolerance T] [--decimals D] [--no-same-time] "
         "[--no-moved-back] [--no-interval-change] --date-pattern PAT "
         "--date-separator C LOG")


def parse_args(argv):
    opts = {"tolerance": "0.25", "decimals": "1", "same_time": True, "moved_back": True,
            "step_change": True, "pattern": None, "separator": None, "log": None}
    flags = {"--no-same-time": "same_time", "--no-moved-back": "moved_back",
             "--no-interval-change": "step_change"}
    values = {"--tolerance": "tolerance", "--decimals": "decimals",
              "--date-pattern": "pattern", "--date-separator": "separator"}
    i = 0
    only_log = False
    while i < len(argv):
        arg = argv[i]
        i += 1
        if only_log or len(arg) < 2 or not arg.startswith("-"):
            if opts["log"] is not None:
                raise SystemExit("only one LOG\n" + USAGE)
            opts["log"] = arg
        elif arg == "--":
            only_log = True
        elif arg in flags:
            opts[flags[arg]] = False
        else:
            name, eq, value = arg.partition("=")
            if name not in values:
                raise SystemExit("unknown option '%s'\n%s" % (arg, USAGE))
            if not eq:
                if i >= len(argv):
                    raise SystemExit("option '%s' needs a value" % name)
                value = argv[i]
                i += 1
            opts[values[name]] = value
    if opts["log"] is None or opts["pattern"] is None or opts["separator"] is None:
        raise SystemExit(USAGE)
    if len(opts["separator"]) != 1:
        raise SystemExit("--date-separator takes one character")
    return opts


def main(argv):
    opts = parse_args(argv)
    conventions = DateConventions(opts["pattern"], opts["separator"])
    try:
        reader = LogReader(opts["log"])
    except OSError:
        sys.stderr.write("Can't open : %s\n" % opts["log"])
        return 2
    checker = Checker(conventions, opts["tolerance"], opts["decimals"], opts["same_time"],
                      opts["moved_back"], opts["step_change"])
    status = checker.run(reader)
    out = "".join(line + "\n" for line in checker.report + [status])
    sys.stdout.buffer.write(out.encode("utf-8", "surrogateescape"))
    sys.stdout.flush()
    if checker.same_count + checker.step_count + checker.back_count > 0:
        return 1
    return 0 if checker.sentence_count > 0 else 3


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
