#!/usr/bin/env python3
"""Compiles every corpus file with the host vorncheck (winsim's profile
functions) and with the Windows vorncheck under Wine (the real ones), and
checks that both give the same image, byte for byte, and the same report.

  compare-images.py HOST_VORNCHECK WINE_RUN WIN_VORNCHECK WORK_DIR JUNIT_OUT INPUT...

Each INPUT is an INI file or a folder whose *.ini files are taken.
"""
import os
import subprocess
import sys
from xml.sax.saxutils import escape, quoteattr


def compile_with(command, ini, image):
    if os.path.exists(image):
        os.remove(image)
    run = subprocess.run(command + ["--image", image, ini], stdout=subprocess.PIPE,
                         stderr=subprocess.STDOUT, timeout=120)
    report = run.stdout.decode("latin-1").replace("\r\n", "\n")
    # The first line names the file in the platform's own spelling.
    report = "\n".join(line for line in report.split("\n") if not line.startswith("file: "))
    data = open(image, "rb").read() if os.path.exists(image) else None
    return run.returncode, report, data


def first_difference(a, b):
    for i, (x, y) in enumerate(zip(a, b)):
        if x != y:
            return i
    return min(len(a), len(b))


def ini_files(inputs):
    for path in inputs:
        if os.path.isdir(path):
            for name in sorted(f for f in os.listdir(path) if f.endswith(".ini")):
                yield name, os.path.join(path, name)
        else:
            yield os.path.basename(path), path


def main(host, wine_run, windows, work, junit, *inputs):
    os.makedirs(work, exist_ok=True)
    cases = []
    for name, ini in ini_files(inputs):
        host_result = compile_with([host], ini, os.path.join(work, name + ".host.img"))
        wine_result = compile_with([wine_run, windows], ini, os.path.join(work, name + ".wine.img"))
        problem = None
        if host_result[0] != wine_result[0] or host_result[0] not in (0, 1, 2):
            problem = "exit codes host %d, wine %d" % (host_result[0], wine_result[0])
        elif host_result[2] != wine_result[2]:
            a, b = host_result[2] or b"", wine_result[2] or b""
            problem = "images differ: host %d bytes, wine %d bytes, first difference at %d" % (
                len(a), len(b), first_difference(a, b))
        elif host_result[1] != wine_result[1]:
            problem = "reports differ:\n--- host\n%s\n--- wine\n%s" % (host_result[1], wine_result[1])
        print("%s %s%s" % ("FAIL" if problem else "ok  ", name, ": " + problem if problem else ""))
        cases.append((name, problem))
    os.makedirs(os.path.dirname(junit), exist_ok=True)
    with open(junit, "w") as out:
        out.write('<testsuites><testsuite name="corpus" tests="%d">\n' % len(cases))
        for name, problem in cases:
            out.write('<testcase classname="CorpusImage" name=%s>' % quoteattr(name))
            if problem:
                out.write('<failure message=%s>%s</failure>' % (quoteattr(problem[:200]), escape(problem)))
            out.write('</testcase>\n')
        out.write('</testsuite></testsuites>\n')
    return 1 if any(problem for _, problem in cases) else 0


if __name__ == "__main__":
    if len(sys.argv) < 7:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
