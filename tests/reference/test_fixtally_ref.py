#!/usr/bin/env python3
"""Worked examples for the reference model; a cross-check is only as good as them.

Run: python3 tests/reference/test_fixtally_ref.py
"""
import math
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import fixtally_ref as ref  # noqa: E402

YEAR = 2025


class LineReaderTest(unittest.TestCase):
    def lines(self, data, last_char=0):
        with tempfile.NamedTemporaryFile(delete=False) as f:
            f.write(data)
        try:
            r = ref.LogReader(f.name)
            r.last_char = last_char
            r.rewind()
            out = []
            while not r.at_end:
                out.append(r.read_log_line())
            return out, r.last_char
        finally:
            os.unlink(f.name)

    def test_line_ends(self):
        for sep, want in [(b"\r\n", [b"A", b"B"]), (b"\n", [b"A", b"B"]), (b"\r", [b"A", b"B"]),
                          (b"\n\r", [b"A", b"B"]), (b"\r\r", [b"A", b"", b"B"]),
                          (b"\n\n", [b"A", b"", b"B"]), (b"\r\n\n", [b"A", b"", b"B"]),
                          (b"\r\n\r\n", [b"A", b"B"])]:
            self.assertEqual(self.lines(b"A" + sep + b"B")[0], want, sep)

    def test_end_of_log(self):
        self.assertEqual(self.lines(b"")[0], [b""])
        self.assertEqual(self.lines(b"A\r\n")[0], [b"A", b""])
        self.assertEqual(self.lines(b"A")[0], [b"A"])
        self.assertEqual(self.lines(b"\nA")[0], [b"", b"A"])
        # After a pass that ended on a CR, a leading LF is dropped.
        self.assertEqual(self.lines(b"\nA", last_char=13)[0], [b"A"])
        self.assertEqual(self.lines(b"A\r\n")[1], 10)

    def test_nul_and_high_bytes_stay(self):
        self.assertEqual(self.lines(b"\x00\xff$G\n")[0], [b"\x00\xff$G", b""])


class FieldsTest(unittest.TestCase):
    def test_split(self):
        f, n = ref.split_sentence(b"$GPRMC,1,2")
        self.assertEqual((f[:4], n), ([b"$GPRMC", b"1", b"2", b""], 3))
        f, n = ref.split_sentence(b"$X" + b",a" * 30 + b"*1F")
        self.assertEqual(n, 25)
        self.assertEqual(f[24], b"a" + b",a" * 6)
        self.assertEqual(ref.split_sentence(b"$X,A*6A")[0][1], b"A")
        self.assertEqual(ref.split_sentence(b"$X,*6A")[0][1], b"")
        self.assertEqual(ref.split_sentence(b"$X,1*2,3")[0][1], b"1*2")
        self.assertEqual(ref.split_sentence(b""), ([b""] * 25, 1))

    def test_checksum(self):
        good = b"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A"
        self.assertTrue(ref.checksum_ok(good))
        self.assertTrue(ref.checksum_ok(good[:-2] + b"6a"))
        self.assertTrue(ref.checksum_ok(good + b",xyz"))
        self.assertFalse(ref.checksum_ok(good[:-3]))
        self.assertFalse(ref.checksum_ok(good[:-1] + b"B"))
        self.assertTrue(ref.checksum_ok(b"$AA*"))      # XOR 0, nothing after '*'
        self.assertTrue(ref.checksum_ok(b"$AA*zz"))    # not hex reads as 0
        self.assertTrue(ref.checksum_ok(b"$AB*3"))     # one digit
        self.assertTrue(ref.checksum_ok(b"$AB* 3"))
        self.assertTrue(ref.checksum_ok(b"*"))

    def test_readers(self):
        self.assertEqual(ref.float_or_nan(" 12.5 "), 12.5)
        self.assertEqual(ref.int_or_zero(" 12.5 "), 0)
        self.assertEqual(ref.float_or_nan(""), 0.0)
        self.assertTrue(math.isnan(ref.float_or_nan("abc")))
        self.assertTrue(math.isnan(ref.float_or_nan("$4F")))
        self.assertEqual(ref.int_or_zero("$4F"), 79)
        self.assertEqual(ref.int_or_zero("$"), 0)
        for t, v in [("$4F", 79), ("0x4f", 79), ("x4F", 79), ("-$10", -16), ("$FFFFFFFF", -1),
                     ("-2147483648", -2147483648), ("$000000001", 1)]:
            self.assertEqual(ref.integer_text_to_int(t), v, t)
        for t in ["2147483648", "$100000000", "12 ", "", "0x", "+"]:
            self.assertRaises(ref.ConversionError, ref.integer_text_to_int, t)
        for t, v in [(" 22.4 ", 22.4), (".5", 0.5), ("5.", 5.0), ("+1e2", 100.0),
                     ("9.161409916920615", 9.161409916920617), ("1e-400", 0.0),
                     ("4.9406564584124654e-324", 5e-324)]:
            self.assertEqual(ref.decimal_text_to_double(t), v, t)
        self.assertEqual(math.copysign(1, ref.decimal_text_to_double("-0")), -1)
        for t in ["1e", "1,5", ".", "\t1", "INF", "1e1025", "1e400", "1.2.3"]:
            self.assertRaises(ref.ConversionError, ref.decimal_text_to_double, t)


class DateTimeTest(unittest.TestCase):
    def parse(self, text):
        return ref.parse_date_time_text(text, YEAR)

    def test_parse(self):
        self.assertEqual(self.parse("03/23/94 12:35:19.000"), 34416 + 45319000 / 86400000)
        self.assertEqual(int(self.parse("03/23/74 12:35:19.000")), ref.encode_date(2074, 3, 23))
        self.assertEqual(int(self.parse("03/23/75 12:35:19.000")), ref.encode_date(1975, 3, 23))
        self.assertEqual(self.parse("03/23/94 12:35:19.5"), 34416 + 45319005 / 86400000)
        self.assertEqual(self.parse("03/23/94 12:35:19.0123"), 34416 + 45319123 / 86400000)
        self.assertEqual(self.parse("03/23/94 1:23:45.000"), 34416 + 5025000 / 86400000)
        self.assertEqual(self.parse("03/23/94"), 34416.0)
        self.assertEqual(self.parse("03/23/94 5"), 34416.0)
        self.assertEqual(self.parse("03/23"), float(ref.encode_date(YEAR, 3, 23)))
        self.assertEqual(self.parse(" 12:35:19.000"), 45319000 / 86400000)
        self.assertEqual(self.parse("03/23/94 12:35:19.000-junk"), 34416 + 45319000 / 86400000)
        self.assertEqual(self.parse("03/23/94 1:05 pm"), 34416 + 47100000 / 86400000)
        for bad in ["03/23/94 12:35:19.1234", "03/23/94 12:35:19.-100", "03/23/94 12:35:19.",
                    "03/23/94 :12:34.000", "02/30/94 12:00:00.000", "13/01/94 12:00:00.000",
                    "00/10/94 12:00:00.000", "03/23/94 24:00:00.000", "03/23 12:35:19.000"]:
            self.assertRaises(ref.ConversionError, self.parse, bad)

    def test_negative_day_keeps_time_of_day(self):
        v = self.parse("03/23/0009 06:00:00.000")
        self.assertEqual(ref.format_by_pattern(v, "yyyy/mm/dd hh:mm:ss"), "0009/03/23 06:00:00")

    def test_format_time_decimals(self):
        v = 43832 + (12 * 3600 + 34 * 60 + 56.789) / 86400
        pat = "yyyy/mm/dd hh:mm:ss"
        for n, want in [(0, "2020/01/02 12:34:56"), (1, "2020/01/02 12:34:56.7"),
                        (2, "2020/01/02 12:34:56.78"), (3, "2020/01/02 12:34:56.789"),
                        (7, "2020/01/02 12:34:56.789"), (-1, "2020/01/02 12:34:56")]:
            self.assertEqual(ref.format_time_decimals(v, pat, n), want)
        self.assertEqual(ref.format_by_pattern(43832.0, "dd.mm.yyyy"), "02.01.2020")
        self.assertEqual(ref.format_time_decimals(2 / 86400, "hh:mm:ss", 1), "00:00:02.0")
        self.assertEqual(ref.format_time_decimals(-2 / 86400, "hh:mm:ss", 1), "00:00:02.0")
        self.assertEqual(ref.format_time_decimals(1.5, "hh:mm:ss", 1), "12:00:00.0")
        self.assertEqual(ref.format_time_decimals(math.nan, "hh:mm:ss", 1), "")
        self.assertEqual(ref.format_time_decimals(1 - 0.0004 / 86400, "hh:mm:ss", 3), "00:00:00.000")
        self.assertEqual(ref.format_time_decimals(56.96 / 86400, "hh:mm:ss", 1), "00:00:56.9")

    def test_format_fixed(self):
        for fmt, x, want in [("%4.1f", 0.25, " 0.3"), ("%4.1f", 22.4, "22.4"),
                             ("%4.1f", -0.04, " 0.0"), ("%4.1f", math.nan, " NAN"),
                             ("%6.1f", 0.15, "   0.2"), ("%6.1f", -0.05, "  -0.1"),
                             ("%5.0f", 2.5, "    3"), ("%7.2f", 0.125, "   0.13"),
                             ("%7.2f", 1.005, "   1.00"), ("%8.3f", 1.0005, "   1.001"),
                             ("%3.1f", 99.95, "100.0"), ("%10.8f", 35.66872333333333, "35.66872333"),
                             ("%10.8f", 139.761315, "139.76131500"), ("%10.8f", -5e-9, "-0.00000001"),
                             ("%10.8f", 12345678901.123456, "12345678901.12345600"),
                             ("%6.1f", 0.25, "   0.3"), ("%4.1f", -math.inf, "-INF"),
                             ("%5.0f", 0.4, "    0"), ("%5.0f", 0.5, "    1"),
                             ("%4.-1f", 1.0, ""), ("%6.1f", -0.0, "   0.0"),
                             ("%8.3f", 1e-300, "   0.000"),
                             ("%10.8f", 9.395844375, "9.39584437"),
                             ("%10.8f", -117.075378465, "-117.07537847")]:
            self.assertEqual(ref.format_fixed(fmt, x), want, (fmt, x))


class ConventionsTest(unittest.TestCase):
    def test_table(self):
        for pat, sep, order, display in [
                ("yyyy/MM/dd", "/", [3, 2, 1], "yyyy/mm/dd"), ("M/d/yyyy", "/", [2, 1, 3], "mm/dd/yyyy"),
                ("dd/MM/yyyy", "/", [1, 2, 3], "dd/mm/yyyy"), ("dd.MM.yyyy", ".", [1, 2, 3], "dd.mm.yyyy"),
                ("yyyy-MM-dd", "-", [3, 2, 1], "yyyy-mm-dd"), ("d. M. yyyy", ".", [1, 2, 3], "dd.mm.yyyy"),
                ("dd.MM.yyyy", "/", [1, 2, 3], "dd/mm/yyyy"), ("yyyyMMdd", "/", [3, 3, 3], "yyyy/yyyy/yyyy")]:
            c = ref.DateConventions(pat, sep)
            self.assertEqual((c.date_order, c.display_date_format), (order, display), pat)


class DecodeTest(unittest.TestCase):
    def checker(self, pattern="yyyy/MM/dd", sep="/", **kw):
        c = ref.Checker(ref.DateConventions(pattern, sep), current_year=YEAR, **kw)
        c.take_options()
        c.glo_mode = False
        c.prev_time_text = b""
        c.tenth_counter = -1
        c.sentence_count = 0
        return c

    def test_time_field(self):
        for f, want in [(b"123519", b"12:35:19.000"), (b"123519.5", b"12:35:19.5"),
                        (b"123519.25", b"12:35:19.25"), (b"1235197", b"12:35:19.7"),
                        (b"12345", b"1:23:45.000"), (b"1234", b":12:34.000")]:
            self.assertEqual(ref.time_field_to_text(f), want)
        self.assertEqual(ref.pad_milliseconds(b"12:35:19.5"), b"12:35:19.500")
        self.assertEqual(ref.pad_milliseconds(b"12:35:19.1234"), b"12:35:19.1234")

    def test_sample_sentence_in_every_order(self):
        s = b"$GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W*6A"
        for pat, sep in [("yyyy/MM/dd", "/"), ("dd.MM.yyyy", "."), ("M/d/yyyy", "/")]:
            c = self.checker(pat, sep)
            c.process_sentence(s, 0)
            self.assertEqual(c.cur_time, 34416 + 45319000 / 86400000)
            self.assertAlmostEqual(c.cur_lat, 48.1173)
            self.assertAlmostEqual(c.cur_lon, 11.516666666666667)
            self.assertEqual(c.cur_speed, 22.4)

    def test_coordinates(self):
        self.assertEqual(ref.coord_to_degrees(b"4807.038", b"s"), ref.coord_to_degrees(b"4807.038", b"N"))
        self.assertLess(ref.coord_to_degrees(b"4807.038", b"S"), 0)
        self.assertTrue(math.isnan(ref.coord_to_degrees(b"4807.038", b"")))
        self.assertTrue(math.isnan(ref.coord_to_degrees(b"", b"N")))
        self.assertEqual(ref.coord_to_degrees(b"-922337203685477580800", b"N"), -2.0 ** 63)
        self.assertTrue(math.isnan(ref.coord_to_degrees(b"922337203685477580800", b"N")))

    def test_glo_tenths(self):
        def rmc(t):
            body = b"GPRMC,%s,A,4807.038,N,01131.000,E,0.0,0.0,230394,," % t
            return b"$" + body + b"*%02X" % ref.reduce(ref.xor, body, 0)
        c = self.checker()
        c.process_sentence(b"$PGRMT,GLO Software Version 2.40*79", 0)
        self.assertTrue(c.glo_mode)
        times = [b"120000"] * 3 + [b"120001"] * 10 + [b"120002"]
        for t in times:
            c.process_sentence(rmc(t), 0)
        self.assertEqual(c.tenth_counter, 7)
        c.sentence_count = 0
        c.prev_time_text = b""
        c.prev_time = c.prev_time2 = c.prev_time3 = c.first_time = 0.0
        c.step_count = c.back_count = c.same_count = 0
        c.prev_lat = c.prev_lon = 1000.0
        c.prev_speed = -1.0
        seen = []
        for t in times:
            c.process_sentence(rmc(t), 1)
            seen.append(ref.format_time_decimals(c.cur_time, "hh:mm:ss", 1))
        self.assertEqual(seen[:5], ["12:00:00.7", "12:00:00.8", "12:00:00.9",
                                    "12:00:01.0", "12:00:01.1"])
        self.assertEqual(seen[-1], "12:00:02.0")
        self.assertEqual(c.report, ["GLO Version 2.40 was detected:  Less than second of time "
                                    "is interpolated.", ""])


if __name__ == "__main__":
    unittest.main()
