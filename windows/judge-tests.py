#!/usr/bin/env python3
"""Reads the result files of the tests run under Wine (gtest's XML) and judges the run.

   judge-tests.py README.md RESULT.xml...

A run passes when every result file is complete, no test failed, and every test that was
skipped is named (as Suite.Name) in the README's section "On Windows", which tells why it
cannot run there. Prints one line per failed or unlisted test and a closing count line.
"""
import re
import sys
import xml.etree.ElementTree as ET


def listed_tests(readme):
    text = open(readme, encoding="utf-8").read()
    m = re.search(r"^## On Windows\n(.*?)(?=^## |\Z)", text, re.S | re.M)
    return set(re.findall(r"`([A-Za-z0-9_]+\.[A-Za-z0-9_/]+)`", m.group(1))) if m else set()


def main():
    if len(sys.argv) < 3:
        print(__doc__.strip(), file=sys.stderr)
        return 2
    listed = listed_tests(sys.argv[1])
    passed = failed = skipped = 0
    bad = []
    for path in sys.argv[2:]:
        try:
            root = ET.parse(path).getroot()
        except (OSError, ET.ParseError) as e:
            bad.append(f"{path}: no complete result file ({e}); the test program stopped early")
            continue
        for case in root.iter("testcase"):
            name = f"{case.get('classname')}.{case.get('name')}"
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
    for line in bad:
        print(line)
    print(f"wine: {passed} passed, {failed} failed, {skipped} skipped")
    return 0 if not bad and passed > 0 else 1


if __name__ == "__main__":
    sys.exit(main())
