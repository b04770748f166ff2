#!/usr/bin/env python3
"""Reads the result files of the tests run under Wine (gtest's XML) and judges the run.

   judge-tests.py [--sources TESTS_DIR] README.md RESULT.xml...

A run passes when every result file is complete, no test failed, and every test that was
skipped is named (as Suite.Name) in the README's section "On Windows", which tells why it
cannot run there. With --sources, every test defined in the .cpp files below TESTS_DIR must
also have run or be named there, and no test named there may have run: the README's list is
exactly what Windows leaves out. Prints one line per test that breaks a rule and a closing
count line.
"""
import argparse
import pathlib
import re
import sys
import xml.etree.ElementTree as ET

TEST = re.compile(r"^TEST(?:_F)?\((\w+),\s*(\w+)\)", re.M)


def listed_tests(readme):
    text = open(readme, encoding="utf-8").read()
    m = re.search(r"^## On Windows\n(.*?)(?=^## |\Z)", text, re.S | re.M)
    return set(re.findall(r"`([A-Z][A-Za-z0-9_]*\.[A-Z][A-Za-z0-9_/]*)`", m.group(1))) if m else set()


def defined_tests(folder):
    names = set()
    for source in sorted(pathlib.Path(folder).rglob("*.cpp")):
        for suite, name in TEST.findall(source.read_text(encoding="utf-8")):
            names.add(f"{suite}.{name}")
    return names


def main():
    parser = argparse.ArgumentParser(add_help=False)
    parser.add_argument("--sources")
    parser.add_argument("readme", nargs="?")
    parser.add_argument("results", nargs="*")
    args = parser.parse_args()
    if not args.readme or not args.results:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    listed = listed_tests(args.readme)
    passed = failed = skipped = 0
    ran, seen = set(), set()
    bad = []
    for path in args.results:
        try:
            root = ET.parse(path).getroot()
        except (OSError, ET.ParseError) as e:
            bad.append(f"{path}: no complete result file ({e}); the test program stopped early")
            continue
        for case in root.iter("testcase"):
            name = f"{case.get('classname')}.{case.get('name')}"
            seen.add(name)
            failures = case.findall("failure") + case.findall("error")
            if failures:
                failed += 1
                first = (failures[0].get("message") or "").splitlines()[:3]
                bad.append(f"FAILED {name}: " + " / ".join(first))
            elif case.get("result") == "skipped" or case.find("skipped") is not None:
                skipped += 1
                if name not in listed:
                    bad.append(f"SKIPPED but not listed in the README: {name}")
            elif case.get("status") == "run":
                passed += 1
                ran.add(name)
                if name in listed:
                    bad.append(f"RAN but listed in the README as not running on Windows: {name}")
    if args.sources:
        for name in sorted(defined_tests(args.sources) - seen - listed):
            bad.append(f"NOT RUN and not listed in the README: {name}")
    for line in bad:
        print(line)
    print(f"wine: {passed} passed, {failed} failed, {skipped} skipped, {len(listed)} listed as not for Windows")
    return 0 if not bad and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
