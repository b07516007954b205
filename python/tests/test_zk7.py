"""The zk7 module against what the application shows: the record list's texts
(zk7-cli export), refusals, to_pandas, and CSV read back by csv and pandas."""
import csv
import io
import locale
import math
import os
import subprocess
import tempfile
import unittest

import numpy as np

import zk7

CLI = os.environ["ZK7_CLI"]
CHANNELS, RECORDS = 6, 3000


def cli(*args, lang="C.UTF-8"):
    env = dict(os.environ, LC_ALL=lang, LANG=lang)
    r = subprocess.run([CLI, *args], capture_output=True, env=env, check=False)
    if r.returncode != 0:
        raise AssertionError(f"zk7-cli {args}: {r.stderr!r}")
    return r.stdout


def decimals(text):
    mantissa = text.split("e")[0]
    return len(mantissa.split(".")[1]) if "." in mantissa else 0


class Zk7Module(unittest.TestCase):
    @classmethod
    def setUpClass(cls):
        cls.tmp = tempfile.TemporaryDirectory(dir=os.environ.get("HOME"))
        cls.path = os.path.join(cls.tmp.name, "plant.zk")
        cli("make-sample", cls.path, "--channels", str(CHANNELS), "--records", str(RECORDS), "--seed", "5",
            "--period-ms", "250")
        cls.doc = zk7.open(cls.path)

    @classmethod
    def tearDownClass(cls):
        cls.tmp.cleanup()

    def list_rows(self):
        """The record list's rows as zk7-cli exports them, with ms offset columns."""
        text = cli("export", self.path, "--ms-offsets", "--time-format", "time").decode("latin-1")
        lines = text.split("\r\n")
        self.assertEqual(lines[-1], "")
        return [line.split("\t") for line in lines[1:-1]]

    def test_values_errors_and_times_are_those_the_list_shows(self):
        doc = self.doc
        self.assertEqual(doc.record_count, RECORDS)
        self.assertEqual(len(doc.channels), CHANNELS)
        info = cli("info", self.path).decode("utf-8").splitlines()
        self.assertIn(f"Configuration name: {doc.configuration_name}", info)
        for ch, line in zip(doc.channels, info[-CHANNELS:]):
            number, name, unit, resolution = line.split("\t")[:4]
            self.assertEqual((ch.number, ch.name, ch.unit, f"resolution {ch.resolution}"),
                             (int(number), name, unit, resolution))
            self.assertEqual(len(ch.limits), 4)

        rows = self.list_rows()
        self.assertEqual(len(rows), RECORDS)
        t0 = doc.times(0).astype("int64")
        seen_errors = 0
        for c in range(CHANNELS):
            values, errors = doc.values(c), doc.errors(c)
            times = doc.times(c).astype("int64")
            self.assertEqual((values.dtype, errors.dtype, doc.times(c).dtype),
                             (np.float32, np.uint16, np.dtype("datetime64[ms]")))
            for r, row in enumerate(rows):
                offset, cell = row[3 + 2 * c], row[4 + 2 * c].strip()
                self.assertEqual(times[r] - t0[r], int(offset), (c, r))
                if cell.startswith("Err. "):
                    seen_errors += 1
                    self.assertEqual(errors[r], int(cell[5:]), (c, r))
                    self.assertTrue(math.isnan(values[r]), (c, r))
                else:
                    self.assertEqual(errors[r], 0, (c, r))
                    self.assertLessEqual(abs(float(cell) - float(values[r])), 0.5 * 10 ** -decimals(cell) * 1.0001,
                                         (c, r, cell))
        self.assertGreater(seen_errors, 0, "the sample holds error codes")
        # The row times the list shows, to the millisecond.
        shown = [row[2] for row in rows]
        as_text = [str(t).split("T")[1] for t in doc.times(0)]
        self.assertEqual(as_text, shown)

    def test_ranges_and_bad_indexes(self):
        doc = self.doc
        np.testing.assert_array_equal(doc.values(2, 10, 20), doc.values(2)[10:20])
        np.testing.assert_array_equal(doc.errors(1, -5), doc.errors(1)[-5:])
        np.testing.assert_array_equal(doc.times(3, 5, 2), doc.times(3)[5:2])
        self.assertEqual(len(doc.values(0, RECORDS + 5)), 0)
        with self.assertRaises(IndexError):
            doc.values(CHANNELS)
        with self.assertRaises(IndexError):
            doc.to_pandas(channels=[0, -1])

    def test_refused_files_raise_zk7_error(self):
        short = os.path.join(self.tmp.name, "short.zk")
        with open(short, "wb") as f:
            f.write(b"x" * 47)
        header_only = os.path.join(self.tmp.name, "empty.zk")
        with open(self.path, "rb") as f, open(header_only, "wb") as out:
            data = f.read()
            offset = int.from_bytes(data[44:48], "little")
            out.write(data[:offset])
        for path, message in [(short, "This file is not a valid ZK7 results file"),
                              (header_only, "This file is empty (not any result)."),
                              (os.path.join(self.tmp.name, "missing.zk"), None)]:
            with self.subTest(path=path):
                with self.assertRaises(zk7.Error) as caught:
                    zk7.open(path)
                self.assertIsInstance(caught.exception, ValueError)
                if message:
                    self.assertEqual(str(caught.exception), message)

    def test_to_pandas(self):
        df = self.doc.to_pandas()
        self.assertEqual(df.shape, (RECORDS, CHANNELS))
        expected = [f"{c.name} [{c.unit}]" if c.unit else c.name for c in self.doc.channels]
        self.assertEqual(list(df.columns), expected)
        self.assertTrue(any(" [" not in name for name in expected), "a channel without a unit")
        self.assertEqual(df.index.name, "time")
        self.assertEqual(df.index.dtype.kind, "M")
        np.testing.assert_array_equal(df.index.values.astype("datetime64[ms]"), self.doc.times(0))
        for c in range(CHANNELS):
            np.testing.assert_array_equal(df.iloc[:, c].to_numpy(), self.doc.values(c))
        part = self.doc.to_pandas(channels=[4, 1], start=100, stop=110)
        self.assertEqual(list(part.columns), [expected[4], expected[1]])
        np.testing.assert_array_equal(part.iloc[:, 0].to_numpy(), self.doc.values(4, 100, 110))

    def test_csv_round_trip_under_a_comma_locale(self):
        import pandas as pd
        try:
            locale.setlocale(locale.LC_ALL, "de_DE.UTF-8")
        except locale.Error:
            pass  # the readers below do not look at it; the writer gets it through its environment
        try:
            data = cli("export", self.path, "--format", "csv", lang="de_DE.UTF-8")
            quoted = cli("export", self.path, "--format", "csv", "--errors", "meaning", lang="de_DE.UTF-8")
        finally:
            locale.setlocale(locale.LC_ALL, "C")
        text = data.decode("utf-8")
        rows = list(csv.reader(io.StringIO(text, newline="")))
        expected = [f"{c.name} [{c.unit}]" if c.unit else c.name for c in self.doc.channels]
        self.assertEqual(rows[0], ["time"] + expected)
        self.assertEqual(len(rows), RECORDS + 1)
        quoted_rows = list(csv.reader(io.StringIO(quoted.decode("utf-8"), newline="")))
        for c in range(CHANNELS):
            values, errors = self.doc.values(c), self.doc.errors(c)
            for r in range(RECORDS):
                cell = rows[r + 1][c + 1]
                if errors[r]:
                    self.assertEqual(cell, "")
                    meaning = cli("error", str(errors[r])).decode("utf-8").strip()
                    self.assertEqual(quoted_rows[r + 1][c + 1], f"Err. {errors[r]} ({meaning})")
                else:
                    self.assertNotIn(",", cell)
                    self.assertLessEqual(abs(float(cell) - float(values[r])), 0.5 * 10 ** -decimals(cell) * 1.0001)

        frame = pd.read_csv(io.BytesIO(data), parse_dates=["time"], index_col="time")
        ours = self.doc.to_pandas()
        self.assertEqual(list(frame.columns), list(ours.columns))
        np.testing.assert_array_equal(frame.index.values, ours.index.values)
        for c, ch in enumerate(self.doc.channels):
            read, mine = frame.iloc[:, c].to_numpy(), ours.iloc[:, c].to_numpy().astype("float64")
            np.testing.assert_array_equal(np.isnan(read), np.isnan(mine))
            np.testing.assert_allclose(read, mine, rtol=1e-6, atol=0.5 * 10 ** -min(ch.resolution, 9) * 1.0001)

    def test_help_documents_everything(self):
        for obj in (zk7, zk7.open, zk7.Document.values, zk7.Document.errors, zk7.Document.times,
                    zk7.Document.to_pandas, zk7.Document.record_count, zk7.Channel.unit, zk7.Error):
            self.assertTrue(obj.__doc__ and obj.__doc__.strip(), obj)


if __name__ == "__main__":
    unittest.main()
