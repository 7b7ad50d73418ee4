#!/usr/bin/env python3
"""Reads a CSV file of the spreadsheet export with Python's csv module and
compares it with the rows a test expects.

usage: check_csv.py CSV_FILE EXPECTED_FILE

EXPECTED_FILE holds one row per line, the header first; each field is its
UTF-8 bytes in hex, fields separated by one space. The data rows are
compared as a multiset (their order is the export's business). The file
must also be exactly what a strict RFC 4180 writer makes of those rows:
a UTF-8 byte-order mark, CR LF after every record, and quotes only around
fields with a comma, a quote, a CR or a LF.
Exit status 0 when all holds, 1 with the differences otherwise.
"""

import csv
import io
import sys


def expected_rows(path):
    rows = []
    with open(path, "rb") as expected:
        for line in expected.read().decode("ascii").splitlines():
            rows.append([bytes.fromhex(field).decode("utf-8") for field in line.split(" ")])
    return rows


def main():
    data = open(sys.argv[1], "rb").read()
    problems = []
    if not data.startswith(b"\xef\xbb\xbf"):
        problems.append("no UTF-8 byte-order mark")
    text = data.decode("utf-8-sig")  # strict: bad bytes fail here
    rows = list(csv.reader(io.StringIO(text, newline=""), strict=True))

    again = io.StringIO(newline="")
    csv.writer(again, lineterminator="\r\n").writerows(rows)
    if again.getvalue() != text:
        problems.append("not in RFC 4180 form (quoting or record ends differ)")

    expected = expected_rows(sys.argv[2])
    if not rows or rows[0] != expected[0]:
        problems.append("header %r, expected %r" % (rows[0] if rows else None, expected[0]))
    got = sorted(rows[1:])
    want = sorted(expected[1:])
    for row in want:
        if row not in got:
            problems.append("missing row %r" % (row,))
    for row in got:
        if row not in want:
            problems.append("unexpected row %r" % (row,))
    if len(got) != len(want):
        problems.append("%d rows, expected %d" % (len(got), len(want)))

    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
