#!/usr/bin/env python3
"""Counts test cases over all builds and prints `N passed, N failed`.

Each build's CTest run writes a JUnit file (test-results/ctest-<build>.xml)
with one entry per registered test. A test that writes its own detailed
results (GoogleTest's XML, or a check script's JUnit file) leaves them in
test-results/<build>/<test name>.xml; its cases are counted one by one.
A registered test that failed without detail, or whose detail shows no
failure although it failed (a crash, a timeout), counts as one failure;
so does one that CTest could not run at all (a missing program).
Usage: summarize-results.py RESULTS_DIR BUILD...
"""
import os
import sys
import xml.etree.ElementTree as ET


def case_counts(path):
    """(passed, failed, names of failed cases) of a JUnit/GoogleTest file."""
    root = ET.parse(path).getroot()
    passed = failed = 0
    failures = []
    for case in root.iter("testcase"):
        if case.get("status") == "notrun" or case.find("skipped") is not None:
            continue
        problem = case.find("failure")
        if problem is None:
            problem = case.find("error")
        if problem is not None:
            failed += 1
            text = (problem.get("message") or problem.text or "").strip().replace("\n", " | ")
            failures.append("%s.%s: %s" % (case.get("classname"), case.get("name"), text[:400]))
        else:
            passed += 1
    return passed, failed, failures


def main(results, builds):
    passed = failed = 0
    failures = []
    for build in builds:
        ctest_file = os.path.join(results, "ctest-%s.xml" % build)
        if not os.path.exists(ctest_file):
            failed += 1
            failures.append("%s: no test results" % build)
            continue
        for case in ET.parse(ctest_file).getroot().iter("testcase"):
            name = case.get("name")
            # "notrun": CTest found no program to run, or a test it needs failed.
            ctest_failed = (case.get("status") in ("fail", "notrun")
                            or case.find("failure") is not None)
            detail = os.path.join(results, build, name + ".xml")
            try:
                p, f, names = case_counts(detail) if os.path.exists(detail) else (0, 0, [])
            except ET.ParseError:
                p, f, names = 0, 0, []
            passed += p
            failed += f
            failures += ["%s/%s: %s" % (build, name, n) for n in names]
            if p + f == 0 or (ctest_failed and f == 0):
                if ctest_failed:
                    failed += 1
                    failures.append("%s/%s" % (build, name))
                elif p + f == 0:
                    passed += 1
    for failure in failures:
        print("FAILED: " + failure)
    print("%d passed, %d failed" % (passed, failed))
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1], sys.argv[2:]))
