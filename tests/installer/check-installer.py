#!/usr/bin/env python3
"""The installer as a user and a package manager run it, under 64-bit Wine.

  check-installer.py DIST STAGE JUNIT WINE_RUN INSTALLED_CLICK

DIST holds vorn-<version>-setup.exe (scripts/package); STAGE is the folder
it was made from. An older build is made from the same script and files:
version 0.9.0, each program carrying a few bytes more at its end, which
Windows' loader ignores and which tell its files from the new ones.

  1. The older build, silently: its files, the sample in %APPDATA%\\vorn,
     the Run value and the Installed apps entry; vorn runs from the
     installed folder and handles a click (INSTALLED_CLICK, on the rule
     this script writes into the Windows directory, where every vorn looks
     first), and that program keeps the installed vorn64.dll loaded.
  2. The new build over it, silently and with /NOLOGON, meanwhile: it
     stops vorn, moves the held library aside, puts the new files in place,
     keeps the user's edited vorn.ini, removes the Run value and starts
     vorn again, which handles a click.
  3. The uninstall (the entry's QuietUninstallString): it removes the
     programs, the moved-aside library, the Run value and the entry, and
     keeps the user's vorn.ini.

Writes one JUnit case per check to JUNIT; exits 1 when any failed. Leaves
the prefix as it found it.
"""
import importlib.util
import os
import pwd
import shlex
import shutil
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
spec = importlib.util.spec_from_file_location("check_package",
                                              os.path.join(ROOT, "tests", "package", "check-package.py"))
package = importlib.util.module_from_spec(spec)
spec.loader.exec_module(package)
Cases, run_command, wait_for = package.Cases, package.run_command, package.wait_for

PROGRAMS = ("vornd.exe", "vorn.dll", "vornd64.exe", "vorn64.dll", "vorncheck.exe")
TEXTS = ("README.txt", "LICENSE.txt", "CHANGELOG.txt")
INSTALLED = set(PROGRAMS + TEXTS + ("uninstall.exe",))
OLDER_VERSION = "0.9.0"
OLDER_MARK = b"\0older vorn build\0"
UNINSTALL_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Uninstall\vorn"
RUN_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\Run"
RUN_ONCE_KEY = r"HKCU\Software\Microsoft\Windows\CurrentVersion\RunOnce"
# A middle click on a caption minimises the window.
CLICK_RULE = (b"[List1]\r\nHook1=NCMBUTTONUP\r\n1.Match=Caption\r\n1.Action=Minimize\r\n"
              b"[Match.Caption]\r\nnPattern=1\r\n1.NCHitTest=CAPTION\r\n")
USERS_RULES = b"; my own rules, which no upgrade may touch\r\n[Options]\r\n"


class Prefix:
    """Where the installer puts things, as Linux paths into the prefix and
    as Windows sees them."""

    def __init__(self, wine_run):
        self.wine_run = wine_run
        self.root = os.environ.get("VORN_WINEPREFIX", os.path.join(ROOT, "build", "wineprefix"))
        user = pwd.getpwuid(os.getuid()).pw_name
        profile = os.path.join(self.root, "drive_c", "users", user)
        self.install_dir = os.path.join(profile, "AppData", "Local", "Programs", "vorn")
        self.install_dir_windows = "C:\\users\\%s\\AppData\\Local\\Programs\\vorn" % user
        self.user_ini = os.path.join(profile, "AppData", "Roaming", "vorn", "vorn.ini")
        self.windows_ini = os.path.join(self.root, "drive_c", "windows", "vorn.ini")
        self.temp_dir = os.path.join(profile, "Temp")

    def run(self, *arguments, timeout=60):
        return run_command([self.wine_run] + list(arguments), HERE, timeout)

    def registry(self, key):
        """The values of `key` as {name: text}; None when there is no such key."""
        result = self.run("reg", "query", key)
        if result.returncode != 0:
            return None
        values = {}
        for line in result.stdout.splitlines():
            # reg separates name, type and data by four spaces; names may
            # hold single ones.
            parts = line.strip().split("    ", 2)
            if len(parts) >= 2 and parts[1].startswith("REG_"):
                values[parts[0]] = parts[2] if len(parts) == 3 else ""
        return values


def is_hook_library(name):
    return name == "vorn64.dll" or (name.startswith("vorn64.dll.") and name.endswith(".old"))


def log_off(prefix):
    """Ends every program of the Wine session, as a logoff does: nothing
    holds a library any more."""
    environment = dict(os.environ, WINEPREFIX=prefix.root)
    for flag in ("-k", "-w"):
        subprocess.run(["wineserver", flag], env=environment, check=False)


def command_arguments(command_line):
    """A Run value's command line as arguments for wine-run, which quotes
    each again (the test's paths have no spaces)."""
    return shlex.split(command_line.replace("\\", "\\\\"))


def read(path):
    with open(path, "rb") as f:
        return f.read()


def windows_path(path):
    return "Z:" + os.path.abspath(path).replace("/", "\\")


def make_older_build(stage, work):
    """The same installer script and files as version 0.9.0, its programs
    told apart by the bytes added to their ends."""
    older_stage = os.path.join(work, "older-stage")
    shutil.copytree(stage, older_stage)
    for name in PROGRAMS:
        with open(os.path.join(older_stage, name), "ab") as f:
            f.write(OLDER_MARK)
    setup = os.path.join(work, "vorn-%s-setup.exe" % OLDER_VERSION)
    subprocess.run(["makensis", "-V2", "-DVERSION=" + OLDER_VERSION, "-DSTAGE=" + older_stage,
                    "-DOUTFILE=" + setup, os.path.join(ROOT, "packaging", "installer", "vorn.nsi")],
                   check=True, stdout=subprocess.DEVNULL)
    return older_stage, setup


def daemon_row(prefix, vorncheck):
    """vornd64's process id and whether it runs what its file compiles to
    now, when it runs from the installed folder; None otherwise."""
    status = prefix.run(vorncheck, "--status")
    program = prefix.install_dir_windows + "\\vornd64.exe"
    for line in status.stdout.splitlines():
        if line.startswith("vornd64: process ") and line.endswith(", " + program):
            current = "vornd64: runs what that file compiles to now" in status.stdout
            return line.split()[2].rstrip(","), current
    return None


class Installer:
    def __init__(self, cases, prefix, vorncheck, click_program, work):
        self.cases, self.prefix, self.vorncheck = cases, prefix, vorncheck
        self.click_program, self.work = click_program, work

    def install(self, step, setup, *options):
        started = time.time()
        result = self.prefix.run(setup, "/S", *options, timeout=120)
        self.cases.check(step + ": silent install exits 0",
                         None if result.returncode == 0 else "exit %s" % result.returncode)
        print("%s: installed in %.1f s" % (step, time.time() - started))

    def check_files(self, step, stage):
        names = set(os.listdir(self.prefix.install_dir)) if os.path.isdir(self.prefix.install_dir) else set()
        moved = {name for name in names if name.endswith(".old")}
        self.cases.check(step + ": the installed files", None if names - moved == INSTALLED else
                         "missing %s, unexpected %s" % (sorted(INSTALLED - names), sorted(names - moved - INSTALLED)))
        differ = [name for name in PROGRAMS + TEXTS if name in names and
                  read(os.path.join(self.prefix.install_dir, name)) != read(os.path.join(stage, name))]
        self.cases.check(step + ": the files are the build's", "differ: %s" % differ if differ else None)
        return moved

    def check_entry(self, step, version, starts_at_logon=True):
        values = self.prefix.registry(UNINSTALL_KEY) or {}
        location = self.prefix.install_dir_windows
        uninstaller = '"%s\\uninstall.exe"' % location
        wanted = {"DisplayName": "vorn", "DisplayVersion": version, "Publisher": "vorn",
                  "InstallLocation": location, "UninstallString": uninstaller,
                  "QuietUninstallString": uninstaller + " /S", "NoModify": "0x1", "NoRepair": "0x1"}
        problems = ["%s is %r, wanted %r" % (name, values.get(name), text)
                    for name, text in wanted.items() if values.get(name) != text]
        size_kb = int(values.get("EstimatedSize", "0"), 16)
        # The folder as the installer left it, files moved aside included.
        files_kb = sum(os.path.getsize(os.path.join(self.prefix.install_dir, name))
                       for name in os.listdir(self.prefix.install_dir)) // 1024
        if abs(size_kb - files_kb) > 8:
            problems.append("EstimatedSize %d KB, the files take %d KB" % (size_kb, files_kb))
        self.cases.check(step + ": the Installed apps entry", "; ".join(problems))
        run = (self.prefix.registry(RUN_KEY) or {}).get("vorn")
        # vornd.exe starts vornd64.exe; where no 32-bit program runs (Wine
        # here) the installer starts vornd64.exe and names it in the value.
        if not starts_at_logon:
            self.cases.check(step + ": no Run value", None if run is None else "Run value %r" % run)
            return
        self.cases.check(step + ": the Run value starts vorn", None if run in (
            '"%s\\vornd.exe"' % location, '"%s\\vornd64.exe"' % location) else "Run value %r" % run)

    def wait_for_daemon(self, step, not_process=None):
        seen = {}

        def runs():
            seen["row"] = daemon_row(self.prefix, self.vorncheck)
            return seen["row"] is not None and seen["row"][1] and seen["row"][0] != not_process

        self.cases.check(step + ": vorn runs from the installed folder, on the current rules",
                         None if wait_for(runs, 30) else "vorncheck --status: %r" % (seen.get("row"),))
        return seen["row"][0] if seen.get("row") else None

    def start_click(self, step):
        """Starts the click program; returns it and its flag file once it
        has clicked and holds the installed vorn64.dll."""
        flag = os.path.join(self.work, step + ".flag")
        program = subprocess.Popen([self.prefix.wine_run, self.click_program,
                                    self.prefix.install_dir_windows + "\\vorn64.dll", windows_path(flag)],
                                   cwd=HERE, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        if not wait_for(lambda: os.path.exists(flag) or program.poll() is not None, 60):
            program.kill()
        outcome = read(flag).decode() if os.path.exists(flag) else "exit %s" % program.poll()
        self.cases.check(step + ": vorn handles a click", None if outcome == "handled" else outcome)
        return program, flag

    def end_click(self, step, program, flag):
        if os.path.exists(flag):
            os.remove(flag)
        if not wait_for(lambda: program.poll() is not None, 30):
            program.kill()
            self.cases.check(step + ": the click program ends", "it did not")


def clean(prefix, registry):
    """Whatever a broken installer, or an earlier broken run, may have
    left; the registry too when `registry`."""
    if os.path.isdir(prefix.install_dir):
        daemon = os.path.join(prefix.install_dir, "vornd64.exe")
        if os.path.exists(daemon):
            prefix.run(daemon, "--stop")
            time.sleep(1)
        shutil.rmtree(prefix.install_dir, ignore_errors=True)
        registry = True
    if registry:
        for key, value in ((UNINSTALL_KEY, None), (RUN_KEY, "vorn"), (RUN_ONCE_KEY, "vorn cleanup")):
            prefix.run("reg", "delete", key, *(("/v", value) if value else ()), "/f")
    for path in (prefix.windows_ini, prefix.user_ini):
        if os.path.exists(path):
            os.remove(path)
    if os.path.isdir(os.path.dirname(prefix.user_ini)):
        shutil.rmtree(os.path.dirname(prefix.user_ini), ignore_errors=True)


def main(dist, stage, junit, wine_run, click_program):
    cases = Cases()
    version = package.project_version()
    setup = os.path.join(dist, "vorn-%s-setup.exe" % version)
    if not os.path.exists(setup):
        cases.check("installer", "no %s: run scripts/package first" % setup)
        return cases.write(junit)
    print("%s: %d bytes" % (os.path.basename(setup), os.path.getsize(setup)))
    prefix = Prefix(os.path.abspath(wine_run))
    vorncheck = os.path.join(ROOT, "build", "win64", "tools", "vorncheck", "vorncheck.exe")
    work = tempfile.mkdtemp(prefix="vorn-installer-")
    clean(prefix, registry=False)
    passed = False
    try:
        older_stage, older_setup = make_older_build(stage, work)
        installer = Installer(cases, prefix, vorncheck, os.path.abspath(click_program), work)
        with open(prefix.windows_ini, "wb") as f:
            f.write(CLICK_RULE)

        installer.install("older build", older_setup)
        installer.check_files("older build", older_stage)
        cases.check("older build: the sample into %APPDATA%\\vorn",
                    None if os.path.exists(prefix.user_ini) and read(prefix.user_ini) == read(
                        os.path.join(stage, "vorn.ini")) else "no sample there")
        installer.check_entry("older build", OLDER_VERSION)
        older_daemon = installer.wait_for_daemon("older build")
        holder, flag = installer.start_click("older build")

        with open(prefix.user_ini, "wb") as f:
            f.write(USERS_RULES)
        # As a user who wants no start at logon any more.
        installer.install("upgrade", setup, "/NOLOGON")
        moved = installer.check_files("upgrade", stage)
        older_library = read(os.path.join(older_stage, "vorn64.dll"))
        held = [name for name in moved if read(os.path.join(prefix.install_dir, name)) == older_library]
        cases.check("upgrade: the held vorn64.dll moved aside", None if held == ["vorn64.dll.1.old"] and
                    moved <= {name + ".1.old" for name in PROGRAMS} else "moved aside: %s" % sorted(moved))
        cases.check("upgrade: the user's vorn.ini kept",
                    None if read(prefix.user_ini) == USERS_RULES else "it was replaced")
        installer.check_entry("upgrade", version, starts_at_logon=False)
        installer.wait_for_daemon("upgrade", not_process=older_daemon)
        installer.end_click("older build", holder, flag)
        print("after the upgrade the folder holds: %s" % sorted(os.listdir(prefix.install_dir)))
        releaser, flag = installer.start_click("upgrade")
        installer.end_click("upgrade", releaser, flag)

        quiet = (prefix.registry(UNINSTALL_KEY) or {}).get("QuietUninstallString", "")
        # The uninstaller copies itself away and runs from there, so that it
        # can delete itself: its first process returns at once.
        temporary = set(os.listdir(prefix.temp_dir))
        result = prefix.run(quiet.split('"')[1], "/S")
        cases.check("uninstall: exits 0", None if result.returncode == 0 else "exit %s" % result.returncode)
        # Wine never unloads a hook library from a program (its desktop's
        # explorer.exe among them), so the libraries stay in use here, as
        # on Windows in a program that has run no hook since the daemon
        # stopped: those, and only those, are left for the next logon.
        wait_for(lambda: not os.path.exists(prefix.install_dir) or
                 "uninstall.exe" not in os.listdir(prefix.install_dir), 30)
        left = sorted(os.listdir(prefix.install_dir)) if os.path.exists(prefix.install_dir) else []
        print("the uninstall left: %s" % (left or "nothing"))
        cases.check("uninstall: only the hook libraries in use are left",
                    None if all(is_hook_library(name) for name in left) else "left: %s" % left)
        cases.check("uninstall: vorn stopped", None if daemon_row(prefix, vorncheck) is None else
                    "vornd64 still runs from the installed folder")
        problems = []
        if prefix.registry(UNINSTALL_KEY) is not None:
            problems.append("the Installed apps entry is still there")
        if "vorn" in (prefix.registry(RUN_KEY) or {}):
            problems.append("the Run value is still there")
        cleanup = (prefix.registry(RUN_ONCE_KEY) or {}).get("vorn cleanup")
        # The uninstaller's copy of itself in %TEMP% is always left to it.
        if not cleanup:
            problems.append("no cleanup at the next logon")
        cases.check("uninstall: registry", "; ".join(problems))
        if cleanup:
            log_off(prefix)
            result = prefix.run(*command_arguments(cleanup))
            left_in_temp = sorted(set(os.listdir(prefix.temp_dir)) - temporary)
            problem = None
            if os.path.exists(prefix.install_dir):
                problem = "exit %s, left: %s" % (result.returncode, os.listdir(prefix.install_dir))
            elif left_in_temp:
                problem = "left in %%TEMP%%: %s" % left_in_temp
            cases.check("uninstall: the cleanup at the next logon leaves nothing", problem)
        cases.check("uninstall: the user's vorn.ini kept",
                    None if os.path.exists(prefix.user_ini) and read(prefix.user_ini) == USERS_RULES
                    else "it is gone or changed")
        passed = not any(text and not skipped for _, text, skipped in cases.cases)
    finally:
        clean(prefix, registry=not passed)
        shutil.rmtree(work, ignore_errors=True)
    return cases.write(junit)


if __name__ == "__main__":
    if len(sys.argv) != 6:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
