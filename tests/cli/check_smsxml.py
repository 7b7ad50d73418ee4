#!/usr/bin/env python3
"""Reads messages.xml with a strict XML parser (expat, through
xml.etree.ElementTree), puts its messages into an empty mmssms.db of
Android's schema with the SQLite API, as a restoring app does, and compares
them with the ones a test expects.

usage: check_smsxml.py XML_FILE EMPTY_MMSSMS_DB EXPECTED_FILE

EXPECTED_FILE holds one message per line: address, date, type and body in
UTF-8 hex separated by one space; compared as a multiset with what the
database holds afterwards. The root must be <smses count="N"> with N <sms>
elements, each with the attributes the apps read.
Exit status 0 when all holds, 1 with the differences otherwise.
"""

import sqlite3
import sys
import xml.etree.ElementTree as ElementTree

ATTRIBUTES = ("protocol", "address", "date", "type", "subject", "body", "toa", "sc_toa", "service_center", "read",
              "status", "locked", "date_sent", "readable_date", "contact_name")


def main():
    problems = []
    root = ElementTree.parse(sys.argv[1]).getroot()  # raises on any ill-formed byte
    messages = list(root)
    if root.tag != "smses":
        problems.append("root <%s>, not <smses>" % root.tag)
    if root.get("count") != str(len(messages)):
        problems.append("count=%r for %d messages" % (root.get("count"), len(messages)))
    for sms in messages:
        missing = [name for name in ATTRIBUTES if name not in sms.attrib]
        if sms.tag != "sms" or missing:
            problems.append("<%s> lacks %s" % (sms.tag, missing))

    db = sqlite3.connect(sys.argv[2])
    db.executemany("INSERT INTO sms (address, date, date_sent, type, body, read, status, locked) "
                   "VALUES (?, ?, ?, ?, ?, ?, ?, ?)",
                   [(sms.get("address"), int(sms.get("date")), int(sms.get("date_sent")), int(sms.get("type")),
                     sms.get("body"), int(sms.get("read")), int(sms.get("status")), int(sms.get("locked")))
                    for sms in messages])
    db.commit()
    got = sorted(db.execute("SELECT address, date, type, body FROM sms"))
    db.close()

    want = []
    for line in open(sys.argv[3], "rb").read().decode("ascii").splitlines():
        address, date, kind, body = [bytes.fromhex(field).decode("utf-8") for field in line.split(" ")]
        want.append((address, int(date), int(kind), body))
    want.sort()
    for row in want:
        if row not in got:
            problems.append("missing %r" % (row[:3] + (row[3][:60],),))
    for row in got:
        if row not in want:
            problems.append("unexpected %r" % (row[:3] + (row[3][:60],),))

    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
