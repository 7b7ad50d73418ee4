#!/usr/bin/env python3
"""Writes small seeds for the deep pass's fuzzer into fuzz/seeds/deep/.

Each seed is a copy with its side files in the fuzzer's input layout: the
main file's length and the -wal's length (4 bytes each, little-endian), the
main file, the -wal, the -journal. The databases are tiny (512-byte pages)
contacts and SMS tables: one copied with an open WAL holding deletions, one
with a PERSIST journal, one with freeblocks and a freelist. Secure delete is
set explicitly on every connection.
"""
import os
import shutil
import sqlite3
import struct
import sys
import tempfile

SCHEMA = """
CREATE TABLE raw_contacts (_id INTEGER PRIMARY KEY AUTOINCREMENT, account_id INTEGER, deleted INTEGER NOT NULL DEFAULT 0, contact_id INTEGER, display_name TEXT);
CREATE TABLE data (_id INTEGER PRIMARY KEY AUTOINCREMENT, package_id INTEGER, mimetype_id INTEGER NOT NULL, raw_contact_id INTEGER NOT NULL, is_primary INTEGER NOT NULL DEFAULT 0, data1 TEXT, data2 TEXT, data3 TEXT);
CREATE INDEX data_mimetype_data1_index ON data (mimetype_id, data1);
CREATE TABLE sms (_id INTEGER PRIMARY KEY, thread_id INTEGER, address TEXT, person INTEGER, date INTEGER, type INTEGER, body TEXT, seen INTEGER DEFAULT 0);
CREATE VIRTUAL TABLE words USING FTS3 (_id INTEGER PRIMARY KEY, index_text TEXT, source_id INTEGER, table_to_use INTEGER);
CREATE TRIGGER sms_words_delete AFTER DELETE ON sms BEGIN DELETE FROM words WHERE source_id = OLD._id AND table_to_use = 1; END;
"""


def fill(db):
    db.executescript(SCHEMA)
    for k in range(1, 13):
        db.execute("INSERT INTO raw_contacts (account_id, contact_id, display_name) VALUES (1, ?, ?)", (k, "Person %d" % k))
        db.execute("INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (7, ?, ?, 'x')", (k, "Person %d" % k))
        db.execute("INSERT INTO data (mimetype_id, raw_contact_id, data1, data2) VALUES (5, ?, ?, '2')", (k, "+1555010%02d" % k))
    for k in range(1, 40):
        body = "message %d about the trip" % k * (1 + k % 3)
        db.execute("INSERT INTO sms (_id, thread_id, address, person, date, type, body) VALUES (?, ?, ?, 0, ?, 1, ?)",
                   (k, k % 5, "+1555010%02d" % (k % 12), 1600000000000 + k, body))
        db.execute("INSERT INTO words (_id, index_text, source_id, table_to_use) VALUES (?, ?, ?, 1)", (k, body, k))
    db.commit()


def delete_some(db):
    db.execute("DELETE FROM data WHERE raw_contact_id IN (3, 8)")
    db.execute("UPDATE raw_contacts SET deleted = 1, contact_id = NULL WHERE _id = 5")
    db.execute("DELETE FROM sms WHERE _id % 4 = 1")
    db.commit()


def seed(path, out):
    parts = [open(p, "rb").read() if os.path.exists(p) else b"" for p in (path, path + "-wal", path + "-journal")]
    with open(out, "wb") as f:
        f.write(struct.pack("<II", len(parts[0]), len(parts[1])) + parts[0] + parts[1] + parts[2])


def main(outdir):
    os.makedirs(outdir, exist_ok=True)
    work = tempfile.mkdtemp()
    try:
        # Open WAL with deletions, copied while the connection is open.
        path = os.path.join(work, "wal.db")
        db = sqlite3.connect(path)
        db.executescript("PRAGMA page_size=512; PRAGMA auto_vacuum=FULL; PRAGMA secure_delete=ON; PRAGMA journal_mode=WAL; PRAGMA wal_autocheckpoint=100;")
        fill(db)
        db.execute("PRAGMA wal_checkpoint(TRUNCATE)")
        delete_some(db)
        copy = os.path.join(work, "copy.db")
        shutil.copy(path, copy)
        shutil.copy(path + "-wal", copy + "-wal")
        seed(copy, os.path.join(outdir, "open-wal"))
        db.close()
        # PERSIST journal, secure delete on.
        path = os.path.join(work, "persist.db")
        db = sqlite3.connect(path)
        db.executescript("PRAGMA page_size=512; PRAGMA secure_delete=ON; PRAGMA journal_mode=PERSIST;")
        fill(db)
        delete_some(db)
        db.close()
        seed(path, os.path.join(outdir, "persist-journal"))
        # Freeblocks and freelist pages, secure delete off.
        path = os.path.join(work, "free.db")
        db = sqlite3.connect(path)
        db.executescript("PRAGMA page_size=512; PRAGMA secure_delete=OFF; PRAGMA journal_mode=DELETE;")
        fill(db)
        delete_some(db)
        db.execute("DELETE FROM sms WHERE _id BETWEEN 10 AND 30")
        db.commit()
        db.close()
        seed(path, os.path.join(outdir, "freelist"))
    finally:
        shutil.rmtree(work)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "fuzz/seeds/deep")
