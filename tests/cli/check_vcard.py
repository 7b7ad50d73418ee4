#!/usr/bin/env python3
"""Reads contacts.vcf with Debian's python3-vobject and compares its cards
with the ones a test expects.

usage: check_vcard.py VCF_FILE EXPECTED_FILE

EXPECTED_FILE holds one card per line, fields in UTF-8 hex separated by one
space: FN, the TEL values ("TYPE|value", the types sorted and joined by
commas, values joined by 1F), the EMAIL values (the same), the ORG values
(their parts joined by ";"), and "deleted" when the card must carry a NOTE.
Cards are compared as a multiset. The file must also be what RFC 2425/2426
ask: UTF-8 without a byte-order mark, CR LF after every line, no line over
75 octets, folds never inside a UTF-8 character.
Exit status 0 when all holds, 1 with the differences otherwise.
"""

import sys

import vobject


def typed(prop):
    types = []
    for value in prop.params.get("TYPE", []):
        types.extend(part for part in value.split(",") if part)
    return ",".join(sorted(types)) + "|" + prop.value


def card_of(card):
    fields = [card.fn.value]
    for name in ("tel", "email"):
        values = sorted(typed(prop) for prop in card.contents.get(name, []))
        fields.append("\x1f".join(values))
    orgs = sorted(";".join(prop.value) for prop in card.contents.get("org", []))
    fields.append("\x1f".join(orgs))
    if "note" in card.contents:
        fields.append("deleted")
    return tuple(fields)


def main():
    data = open(sys.argv[1], "rb").read()
    problems = []
    if data.startswith(b"\xef\xbb\xbf"):
        problems.append("a byte-order mark")
    if not data.endswith(b"\r\n") or data.replace(b"\r\n", b"").find(b"\n") >= 0 or \
            data.replace(b"\r\n", b"").find(b"\r") >= 0:
        problems.append("lines not all ended by CR LF")
    for number, line in enumerate(data.split(b"\r\n"), 1):
        if len(line) > 75:
            problems.append("line %d is %d octets long" % (number, len(line)))
        try:
            line.decode("utf-8")
        except UnicodeDecodeError:
            problems.append("line %d is cut inside a UTF-8 character" % number)
    cards = sorted(card_of(card) for card in vobject.readComponents(data.decode("utf-8")))

    want = []
    for line in open(sys.argv[2], "rb").read().decode("ascii").splitlines():
        fields = [bytes.fromhex(field).decode("utf-8") for field in line.split(" ")]
        want.append(tuple(fields))
    want.sort()
    for card in want:
        if card not in cards:
            problems.append("missing card %r" % (card,))
    for card in cards:
        if card not in want:
            problems.append("unexpected card %r" % (card,))

    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
