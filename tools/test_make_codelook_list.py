# SPDX-FileCopyrightText: 2026 The codelook developers
# SPDX-License-Identifier: MIT
import contextlib
import io
import os
import sys
import tempfile
import unittest

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_codelook_list as mcl  # noqa: E402

HEADER = '"icao","iata","name","city","subd","country","elevation","lat","lon","tz","lid"\n'


def csv_text(*rows):
    return HEADER + "".join('"%s","","%s","","","",0,0,0,"",""\n'
                            % (code, name.replace('"', '""'))
                            for code, name in rows)


class ConverterTest(unittest.TestCase):
    def setUp(self):
        tmp = tempfile.TemporaryDirectory()
        self.addCleanup(tmp.cleanup)
        self.dir = tmp.name

    def path(self, name):
        return os.path.join(self.dir, name)

    def write_csv(self, *rows):
        with open(self.path("in.csv"), "w", encoding="utf-8", newline="") as f:
            f.write(csv_text(*rows))
        return self.path("in.csv")

    def run_main(self, *argv):
        err = io.StringIO()
        with contextlib.redirect_stderr(err):
            rc = mcl.main(list(argv))
        return rc, err.getvalue()

    def test_clean_name(self):
        cases = [
            ("Bielsko Biała", "Bielsko Biala"),
            ("Chișinău", "Chisinau"),
            ("Żar", "Zar"),
            ("Şırnak Elçi", "Sirnak Elçi"),     # ç is in cp1252: kept
            ("Thọ Xuân", "Tho Xuân"),
            ("Café", "Café"),
            ("Cafe\u0301", "Café"),              # decomposed input composes first
            ('Fly "N" K', "Fly N K"),
            ("  Kąty Airport \t", "Katy Airport"),
            ("A\tB\r\nC", "A B C"),
        ]
        for raw, want in cases:
            with self.subTest(raw=raw):
                self.assertEqual(mcl.clean_name(raw), want)

    def test_list_bytes(self):
        src = self.write_csv(("EGLL", "London Heathrow Airport"),
                             ("LFPG", "Paris Charles-de-Gaulle Aéroport"),
                             ("KBTR", "Baton Rouge Metro, Ryan Field"),
                             ("PAAQ", 'Warren "Bud", Woods'),
                             ("EPWR", "Wrocław"))
        rc, _ = self.run_main(src, self.path("out.txt"))
        self.assertEqual(rc, 0)
        with open(self.path("out.txt"), "rb") as f:
            self.assertEqual(f.read(),
                             b"EGLL London Heathrow Airport\r\n"
                             b"LFPG Paris Charles-de-Gaulle A\xe9roport\r\n"
                             b'"KBTR Baton Rouge Metro, Ryan Field"\r\n'
                             b'"PAAQ Warren Bud, Woods"\r\n'
                             b"EPWR Wroclaw\r\n")

        rc, _ = self.run_main("--expected", src, self.path("exp.tsv"))
        self.assertEqual(rc, 0)
        with open(self.path("exp.tsv"), encoding="utf-8", newline="") as f:
            lines = f.read().split("\n")
        self.assertEqual(lines[1:4], ["LFPG\tParis Charles-de-Gaulle Aéroport",
                                      "KBTR\tBaton Rouge Metro, Ryan Field",
                                      "PAAQ\tWarren Bud, Woods"])

    def test_check(self):
        src = self.write_csv(("EGLL", "London Heathrow Airport"),
                             ("EGKK", "London Gatwick Airport"))
        good = mcl.build_list(src)
        cases = [
            ("same", good, 0),
            ("edited", good.replace(b"Gatwick", b"Gatwik"), 1),
            ("LF endings", good.replace(b"\r\n", b"\n"), 1),
            ("no final CR LF", good[:-2], 1),
            ("extra record", good + b"EGSS Stansted\r\n", 1),
        ]
        for label, content, want in cases:
            with self.subTest(label):
                with open(self.path("list.txt"), "wb") as f:
                    f.write(content)
                rc, err = self.run_main("--check", src, self.path("list.txt"))
                self.assertEqual(rc, want, err)
                if want:
                    self.assertIn("out of date", err)

    def test_bad_rows_fail_without_output(self):
        cases = [
            ("CJK", ("ZBAA", "Beijing 北京 Airport"), "U+5317"),
            ("empty after cleaning", ("XXXX", ' "" '), "name is empty"),
            ("control char", ("XXXX", "Bell\x07"), "U+0007"),
            ("code with space", ("AB C", "Somewhere"), "bad ICAO code"),
        ]
        for label, bad, message in cases:
            with self.subTest(label):
                src = self.write_csv(("EGLL", "London Heathrow Airport"), bad)
                out = self.path("out-%s.txt" % label)
                rc, err = self.run_main(src, out)
                self.assertEqual(rc, 2)
                self.assertIn(message, err)
                self.assertIn("line 3", err)   # names the offending row
                self.assertFalse(os.path.exists(out))


if __name__ == "__main__":
    unittest.main()
