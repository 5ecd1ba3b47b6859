#!/usr/bin/env python3
"""The release zip as a user gets it: unpacked into a fresh folder, read and run.

  check-package.py DIST JUNIT machine WINE_RUN VORNCHECK64
      The zip in DIST (vorn-<version>-windows.zip, the version being the one
      CMakeLists.txt sets) and its line in SHA256SUMS; the file list; each binary's
      machine type, subsystem, version resource (equal to the project's
      version, OriginalFilename its own name) and manifest (programs only).
      Then, under 64-bit Wine (WINE_RUN), the 64-bit programs from the
      unpacked folder: vornd64.exe starts with the vorn.ini beside it, as the
      x86_64 vorncheck's --status (VORNCHECK64) sees, and --stop ends it.
  check-package.py DIST JUNIT guest WINE_RUN
      In the test guest, under 32-bit Wine: vorncheck.exe --version,
      vorncheck.exe vorn.ini (clean), vornd.exe started with the vorn.ini
      beside it (as the unpacked vorncheck.exe --status sees) and --stop.

Writes one JUnit case per check to JUNIT; exits 1 when any failed.
"""
import hashlib
import os
import re
import shutil
import struct
import subprocess
import sys
import tempfile
import time
import zipfile
from xml.sax.saxutils import escape, quoteattr

ROOT = os.path.dirname(os.path.dirname(os.path.dirname(os.path.abspath(__file__))))
THIRTY_TWO = ("vornd.exe", "vorn.dll", "vorncheck.exe")
# The 64-bit pair's names in the package.
PAIR64 = ("vornd64.exe", "vorn64.dll")
TEXTS = ("vorn.ini", "README.txt", "LICENSE.txt", "CHANGELOG.txt")
I386, AMD64 = 0x14C, 0x8664
GUI, CONSOLE = 2, 3
IMAGE_FILE_DLL = 0x2000
TIME_SCALE = int(os.environ.get("VORN_E2E_TIME_SCALE", "1"))


def project_version():
    with open(os.path.join(ROOT, "CMakeLists.txt")) as f:
        return re.search(r"project\(vorn VERSION (\d+\.\d+\.\d+)", f.read()).group(1)


class Cases:
    def __init__(self):
        self.cases = []

    def check(self, name, problem):
        self.cases.append((name, problem or "", False))

    def skip(self, name, why):
        self.cases.append((name, why, True))

    def write(self, path):
        os.makedirs(os.path.dirname(os.path.abspath(path)), exist_ok=True)
        with open(path, "w") as out:
            out.write('<testsuites><testsuite name="package" tests="%d">\n' % len(self.cases))
            for name, text, skipped in self.cases:
                out.write('<testcase classname="Package" name=%s>' % quoteattr(name))
                if skipped:
                    out.write('<skipped message=%s/>' % quoteattr(text[:200]))
                elif text:
                    out.write('<failure message=%s>%s</failure>' % (quoteattr(text[:200]), escape(text)))
                out.write('</testcase>\n')
            out.write('</testsuite></testsuites>\n')
        for name, text, skipped in self.cases:
            print("%s %s%s" % ("SKIP" if skipped else "FAIL" if text else "ok  ", name,
                               (": " + text) if text else ""))
        return 1 if any(text and not skipped for _, text, skipped in self.cases) else 0


# ---- the binaries, read ------------------------------------------------------------

def pe_facts(data):
    """(machine, subsystem, characteristics) of a PE file."""
    if data[:2] != b"MZ":
        raise ValueError("not an MZ executable")
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("no PE signature")
    machine, _, _, _, _, _, characteristics = struct.unpack_from("<HHIIIHH", data, pe + 4)
    subsystem = struct.unpack_from("<H", data, pe + 24 + 68)[0]
    return machine, subsystem, characteristics


def version_block(data):
    """The VS_VERSIONINFO block: (file version, product version, {key: string})."""
    key = "VS_VERSION_INFO".encode("utf-16-le")
    at = data.find(key)
    if at < 6:
        raise ValueError("no version resource")
    start = at - 6
    length = struct.unpack_from("<H", data, start)[0]
    block = data[start:start + length]
    fixed = block.find(struct.pack("<I", 0xFEEF04BD))
    if fixed < 0:
        raise ValueError("no fixed file information")
    fms, fls, pms, pls = struct.unpack_from("<IIII", block, fixed + 8)

    def dotted(ms, ls):
        return "%d.%d.%d.%d" % (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)

    strings = {}
    # String nodes: wLength, wValueLength (in characters), wType 1, key, padding, value.
    for match in re.finditer(rb"(?s)(..)(..)\x01\x00((?:[^\x00]\x00)+)\x00\x00", block):
        name = match.group(3).decode("utf-16-le")
        value_length = struct.unpack("<H", match.group(2))[0]
        value_at = match.end()
        value_at += (4 - value_at % 4) % 4
        if value_length:
            value = block[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
            strings[name] = value
    return dotted(fms, fls), dotted(pms, pls), strings


def check_binary(cases, folder, name, version):
    with open(os.path.join(folder, name), "rb") as f:
        data = f.read()
    try:
        machine, subsystem, characteristics = pe_facts(data)
    except ValueError as e:
        cases.check(name + ": PE file", str(e))
        return
    wanted_machine = AMD64 if name in PAIR64 else I386
    cases.check(name + ": machine", None if machine == wanted_machine else
                "machine 0x%x, wanted 0x%x" % (machine, wanted_machine))
    is_dll = name.endswith(".dll")
    wanted_subsystem = CONSOLE if name == "vorncheck.exe" else GUI
    problem = None
    if bool(characteristics & IMAGE_FILE_DLL) != is_dll:
        problem = "DLL flag %s" % bool(characteristics & IMAGE_FILE_DLL)
    elif subsystem != wanted_subsystem:
        problem = "subsystem %d, wanted %d" % (subsystem, wanted_subsystem)
    cases.check(name + ": subsystem", problem)
    try:
        file_version, product_version, strings = version_block(data)
        numeric = version + ".0"
        problems = []
        if file_version != numeric or product_version != numeric:
            problems.append("fixed versions %s, %s" % (file_version, product_version))
        for key, wanted in (("FileVersion", version), ("ProductVersion", version),
                            ("OriginalFilename", name), ("ProductName", "vorn")):
            if strings.get(key) != wanted:
                problems.append("%s is %r, wanted %r" % (key, strings.get(key), wanted))
        if not strings.get("FileDescription"):
            problems.append("no FileDescription")
        cases.check(name + ": version resource", "; ".join(problems))
    except ValueError as e:
        cases.check(name + ": version resource", str(e))
    has_manifest = b'requestedExecutionLevel level="asInvoker"' in data
    supported = data.count(b"<supportedOS Id=")
    if is_dll:
        cases.check(name + ": no manifest", "it has one" if b"<assembly" in data else None)
    else:
        cases.check(name + ": manifest", None if has_manifest and supported == 5 else
                    "asInvoker %s, %d supportedOS entries" % (has_manifest, supported))


# ---- the programs, run -------------------------------------------------------------

class Finished:
    def __init__(self, returncode, stdout, stderr):
        self.returncode, self.stdout, self.stderr = returncode, stdout, stderr


def run_command(command, folder, timeout=60):
    """Runs `command` in `folder` to its end. Its output goes through files,
    not pipes: Wine's own helper processes, started by a first program,
    inherit and keep its handles, and a pipe would never reach its end."""
    with tempfile.TemporaryFile() as out, tempfile.TemporaryFile() as err:
        process = subprocess.Popen(command, cwd=folder, stdout=out, stderr=err,
                                   stdin=subprocess.DEVNULL)
        try:
            process.wait(timeout=timeout * TIME_SCALE)
        except subprocess.TimeoutExpired:
            process.kill()
            process.wait()
        out.seek(0)
        err.seek(0)
        return Finished(process.returncode, out.read().decode("utf-8", "replace").replace("\r\n", "\n"),
                        err.read().decode("utf-8", "replace").replace("\r\n", "\n"))


def run(wine_run, folder, *arguments, timeout=60):
    return run_command([os.path.abspath(wine_run)] + list(arguments), folder, timeout)


def wait_for(predicate, seconds):
    deadline = time.time() + seconds * TIME_SCALE
    while time.time() < deadline:
        if predicate():
            return True
        time.sleep(0.5)
    return False


def daemon_start_and_stop(cases, wine_run, folder, daemon, row, vorncheck):
    """Starts `daemon` from the unpacked folder and stops it with --stop;
    `vorncheck` (a command list) --status must see it load the vorn.ini
    beside it while it runs."""
    wine_run = os.path.abspath(wine_run)
    started = subprocess.Popen([wine_run, daemon], cwd=folder, stdout=subprocess.DEVNULL,
                               stderr=subprocess.DEVNULL)
    seen = {"text": ""}
    loads = "%s: loads " % row
    wanted = "%s: runs what that file compiles to now" % row

    def current():
        status = run_command(vorncheck + ["--status"], folder)
        seen["text"] = status.stdout + status.stderr
        line = next((l for l in status.stdout.splitlines() if l.startswith(loads)), "")
        return (status.returncode == 0 and wanted in status.stdout and
                line.replace("/", "\\").endswith(os.path.basename(folder) + "\\vorn.ini"))

    try:
        cases.check(daemon + ": starts with the vorn.ini beside it",
                    None if wait_for(current, 60) else
                    "vorncheck --status never said so:\n" + seen["text"])
        stop = run(wine_run, folder, daemon, "--stop")
        ended = wait_for(lambda: started.poll() is not None, 30)
        problem = None
        if stop.returncode != 0:
            problem = "--stop exited with %d" % stop.returncode
        elif not ended:
            problem = "still running after --stop"
        elif started.returncode != 0:
            problem = "the daemon exited with %d" % started.returncode
        cases.check(daemon + ": --stop ends it", problem)
    finally:
        if started.poll() is None:
            started.kill()


def unpack(zip_path):
    folder = tempfile.mkdtemp(prefix="vorn-unpacked-")
    with zipfile.ZipFile(zip_path) as archive:
        archive.extractall(folder)
    return folder


def main(dist, junit, mode, wine_run, vorncheck64=None):
    cases = Cases()
    # The programs run in the unpacked folder: paths given relative to here
    # must still find them.
    wine_run = os.path.abspath(wine_run)
    vorncheck64 = os.path.abspath(vorncheck64) if vorncheck64 else None
    version = project_version()
    zip_path = os.path.join(dist, "vorn-%s-windows.zip" % version)
    if not os.path.exists(zip_path):
        cases.check("zip", "no %s: run scripts/package first" % zip_path)
        return cases.write(junit)
    folder = unpack(zip_path)
    try:
        names = set(os.listdir(folder))
        pair64 = all(name in names for name in PAIR64)
        # Until the 64-bit build names its pair apart, scripts/package leaves
        # it out (its own install tree shows the clashing names).
        left_out = not pair64 and os.path.exists(os.path.join(dist, "..", "package",
                                                              "install-win64", "vornd.exe"))
        if mode == "machine":
            with open(os.path.join(dist, "SHA256SUMS")) as f:
                sums = f.read()
            with open(zip_path, "rb") as f:
                digest = hashlib.sha256(f.read()).hexdigest()
            # One line for each file of the release: the zip and the installer.
            cases.check("SHA256SUMS", None if "%s  %s" % (digest, os.path.basename(zip_path))
                        in sums.splitlines() else "SHA256SUMS says %r, the zip's is %s" % (sums, digest))
            wanted = set(THIRTY_TWO + TEXTS + ((PAIR64) if not left_out else ()))
            cases.check("file list", None if names == wanted else
                        "missing %s, unexpected %s" % (sorted(wanted - names), sorted(names - wanted)))
            if left_out:
                cases.skip("64-bit pair", "the 64-bit build still names its pair vornd.exe/vorn.dll")
            for name in sorted(names & set(THIRTY_TWO + PAIR64)):
                check_binary(cases, folder, name, version)
            for text in TEXTS:
                if text in names:
                    with open(os.path.join(folder, text), "rb") as f:
                        body = f.read()
                    cases.check(text + ": CRLF", None if body and body.count(b"\n") == body.count(b"\r\n")
                                else "not every line ends in CRLF")
            if pair64:
                daemon_start_and_stop(cases, wine_run, folder, "vornd64.exe", "vornd64",
                                      [wine_run, vorncheck64])
            else:
                cases.skip("vornd64.exe: runs", "the package holds no 64-bit pair")
        else:
            result = run(wine_run, folder, "vorncheck.exe", "--version")
            cases.check("vorncheck.exe --version",
                        None if result.returncode == 0 and
                        result.stdout == "vorncheck %s (32-bit)\n" % version
                        else "exit %d: %r" % (result.returncode, result.stdout + result.stderr))
            result = run(wine_run, folder, "vorncheck.exe", "vorn.ini", timeout=120)
            cases.check("vorncheck.exe vorn.ini: clean",
                        None if result.returncode == 0 and "0 errors, 0 warnings" in result.stdout
                        else "exit %d:\n%s" % (result.returncode, result.stdout + result.stderr))
            daemon_start_and_stop(cases, wine_run, folder, "vornd.exe", "vornd",
                                  [wine_run, "vorncheck.exe"])
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    return cases.write(junit)


if __name__ == "__main__":
    if len(sys.argv) < 5 or sys.argv[3] not in ("machine", "guest") or \
            (sys.argv[3] == "machine" and len(sys.argv) < 6):
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
