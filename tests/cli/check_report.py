#!/usr/bin/env python3
"""Parses report.html with Python's html.parser and checks what a test expects.

usage: check_report.py REPORT EXPECTED_FILE

EXPECTED_FILE holds one line per bubble or contact: a kind ("in", "out",
"del", "contact", "deleted-contact") and the UTF-8 hex of its text (a
bubble's body, empty for an empty body; a contact's name). Compared as
multisets per kind. Besides, the page must be inert and self-contained:
no element that runs or loads anything, no event attribute, no link that
leaves the page, a charset and a policy that forbids scripts, and every
deleted bubble and contact row marked "Deleted".
Exit status 0 when all holds, 1 with the differences otherwise.
"""

from collections import Counter
from html.parser import HTMLParser
import sys

FORBIDDEN = {"script", "img", "iframe", "frame", "object", "embed", "link", "base", "form", "input",
             "button", "svg", "math", "audio", "video", "source", "template", "noscript"}
VOID = {"meta", "br", "hr", "img", "input", "link", "base", "wbr", "col", "area", "source", "embed"}


class Report(HTMLParser):
    def __init__(self):
        super().__init__(convert_charrefs=True)
        self.stack = []  # (tag, classes) of the open elements
        self.problems = []
        self.found = Counter()
        self.charset = False
        self.policy = ""
        self.styles = 0
        self.bubble = None  # [kind, body, marked, empty]
        self.row = None  # [deleted, name, marked]
        self.in_body = False
        self.in_name = False
        self.in_badge = False
        self.badge = ""

    def handle_starttag(self, tag, attrs):
        attributes = dict(attrs)
        classes = (attributes.get("class") or "").split()
        for name, value in attrs:
            if name.startswith("on"):
                self.problems.append("event attribute %s on <%s>" % (name, tag))
            if name in ("href", "src", "action", "formaction", "srcset", "background") and \
                    not (name == "href" and (value or "").startswith("#")):
                self.problems.append("%s=%r on <%s> leaves the page" % (name, value, tag))
        if tag in FORBIDDEN:
            self.problems.append("a <%s> element" % tag)
        if tag == "style":
            self.styles += 1
        if tag == "meta":
            if (attributes.get("charset") or "").lower() == "utf-8":
                self.charset = True
            if (attributes.get("http-equiv") or "").lower() == "content-security-policy":
                self.policy = attributes.get("content") or ""
        if tag == "div" and "msg" in classes:
            # A deleted bubble keeps its side ("in" or "out") and is "del" here.
            kind = ["del"] if "del" in classes else [c for c in classes if c in ("in", "out")]
            self.bubble = [kind[0] if len(kind) == 1 else "?", "", False, False]
        if tag == "p" and "body" in classes and self.bubble is not None:
            self.in_body = True
            self.bubble[3] = "empty" in classes
        if tag == "tr" and any(t == "tbody" for t, _ in self.stack):
            self.row = ["deleted" in classes, "", False]
        if tag == "td" and "name" in classes and self.row is not None:
            self.in_name = True
        if tag == "span" and "badge" in classes:
            self.in_badge = True
            self.badge = ""
        if tag not in VOID:
            self.stack.append((tag, classes))

    def handle_startendtag(self, tag, attrs):
        self.handle_starttag(tag, attrs)

    def handle_endtag(self, tag):
        if tag in VOID:
            return
        while self.stack:
            open_tag, classes = self.stack.pop()
            if open_tag == tag:
                break
        if tag == "p":
            self.in_body = False
        if tag == "td":
            self.in_name = False
        if tag == "span" and self.in_badge:
            self.in_badge = False
            if self.badge == "Deleted":
                if self.bubble is not None:
                    self.bubble[2] = True
                if self.row is not None:
                    self.row[2] = True
        if tag == "div" and self.bubble is not None and not any("msg" in c for _, c in self.stack):
            kind, body, marked, empty = self.bubble
            if kind == "del" and not marked:
                self.problems.append("deleted bubble %r without its mark" % body)
            if kind != "del" and marked:
                self.problems.append("live bubble %r marked deleted" % body)
            self.found[(kind, "" if empty else body)] += 1
            self.bubble = None
        if tag == "tr" and self.row is not None:
            deleted, name, marked = self.row
            if deleted != marked:
                self.problems.append("contact %r: deleted %s but marked %s" % (name, deleted, marked))
            self.found[("deleted-contact" if deleted else "contact", name)] += 1
            self.row = None

    def handle_data(self, data):
        if self.in_body and self.bubble is not None:
            self.bubble[1] += data
        if self.in_name and self.row is not None:
            self.row[1] += data
        if self.in_badge:
            self.badge += data


def main():
    report = Report()
    report.feed(open(sys.argv[1], "rb").read().decode("utf-8"))
    report.close()
    problems = list(report.problems)
    if not report.charset:
        problems.append("no <meta charset=utf-8>")
    policy = [part.split() for part in report.policy.split(";") if part.strip()]
    directives = {part[0]: part[1:] for part in policy}
    if directives.get("default-src") != ["'none'"] or "script-src" in directives:
        problems.append("the policy %r does not forbid scripts and loads" % report.policy)
    if report.styles != 1:
        problems.append("%d style elements" % report.styles)

    want = Counter()
    with open(sys.argv[2], "rb") as expected:
        for line in expected.read().decode("ascii").splitlines():
            kind, _, text = line.partition(" ")
            want[(kind, bytes.fromhex(text).decode("utf-8"))] += 1
    for item, count in (want - report.found).items():
        problems.append("missing %d x %r" % (count, item))
    for item, count in (report.found - want).items():
        problems.append("unexpected %d x %r" % (count, item))

    for problem in problems:
        print(problem)
    return 1 if problems else 0


if __name__ == "__main__":
    sys.exit(main())
