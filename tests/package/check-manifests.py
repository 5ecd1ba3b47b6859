#!/usr/bin/env python3
"""The package managers' manifests that scripts/package wrote, against the
files they install.

  check-manifests.py DIST JUNIT

The winget set in DIST/winget/<version>/ must name the installer
DIST/vorn-<version>-setup.exe: its version (the project's, and the one in
the installer's version resource), its SHA-256, its file name at the end of
the download address, and the Installed apps entry the installer writes
(packaging/installer/vorn.nsi); the three files must agree on the package
and its locale. The Scoop manifest DIST/scoop/vorn.json must name the zip
the same way, and its `bin` and `persist` files must be in the zip.

Writes one JUnit case per check to JUNIT; exits 1 when any failed.
"""
import hashlib
import importlib.util
import json
import os
import re
import sys
import zipfile

import yaml

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))
spec = importlib.util.spec_from_file_location("check_package", os.path.join(HERE, "check-package.py"))
package = importlib.util.module_from_spec(spec)
spec.loader.exec_module(package)

WINGET_FILES = {"version": "vorn.vorn.yaml", "installer": "vorn.vorn.installer.yaml",
                "defaultLocale": "vorn.vorn.locale.en-US.yaml"}


def sha256(path):
    with open(path, "rb") as f:
        return hashlib.sha256(f.read()).hexdigest()


def differences(document, wanted):
    """"field is X, wanted Y" for each field of `wanted` that `document`
    does not have as wanted."""
    return ["%s is %r, wanted %r" % (name, document.get(name), value)
            for name, value in wanted.items() if document.get(name) != value]


def installer_entry():
    """What the installer writes into its Installed apps entry, read from
    its script: {value name: text} for the fixed texts."""
    with open(os.path.join(ROOT, "packaging", "installer", "vorn.nsi")) as f:
        script = f.read()
    key = re.search(r'!define UNINSTALL_KEY "[^"]*\\([^"\\]+)"', script).group(1)
    entry = dict(re.findall(r'WriteRegStr HKCU "\$\{UNINSTALL_KEY\}" "(\w+)" "([^"$]*)"', script))
    return key, entry


def check_winget(cases, dist, version, setup):
    folder = os.path.join(dist, "winget", version)
    documents = {}
    for kind, name in WINGET_FILES.items():
        path = os.path.join(folder, name)
        try:
            with open(path) as f:
                documents[kind] = yaml.safe_load(f)
        except (OSError, yaml.YAMLError) as e:
            cases.check("winget " + name, str(e))
    if len(documents) != len(WINGET_FILES):
        return
    problems = []
    for kind, document in documents.items():
        problems += ["%s: %s" % (kind, text) for text in differences(document, {
            "PackageIdentifier": "vorn.vorn", "PackageVersion": version, "ManifestType": kind,
            "ManifestVersion": documents["version"]["ManifestVersion"]})]
    locale = documents["defaultLocale"]
    if documents["version"].get("DefaultLocale") != locale.get("PackageLocale"):
        problems.append("DefaultLocale %r, but the locale file is for %r" %
                        (documents["version"].get("DefaultLocale"), locale.get("PackageLocale")))
    cases.check("winget: the set agrees on package, version and locale", "; ".join(problems))

    installer = documents["installer"]
    installers = installer.get("Installers") or [{}]
    problems = differences(installer, {"InstallerType": "nullsoft", "Scope": "user"})
    if len(installers) != 1:
        problems.append("%d installers, wanted the one" % len(installers))
    problems += differences(installers[0], {"Architecture": "x64",
                                            "InstallerSha256": sha256(setup)})
    url = installers[0].get("InstallerUrl", "")
    if not url.startswith("https://") or not url.endswith("/" + os.path.basename(setup)):
        problems.append("InstallerUrl %r does not end in /%s" % (url, os.path.basename(setup)))
    cases.check("winget: the installer is " + os.path.basename(setup), "; ".join(problems))

    with open(setup, "rb") as f:
        _, product_version, strings = package.version_block(f.read())
    key, entry = installer_entry()
    wanted = {"DisplayName": entry.get("DisplayName"), "Publisher": entry.get("Publisher"),
              "DisplayVersion": version, "ProductCode": key}
    problems = differences(installer, {"ProductCode": key})
    for found in installer.get("AppsAndFeaturesEntries") or [{}]:
        problems += differences(found, wanted)
    if product_version != version + ".0" or strings.get("ProductVersion") != version:
        problems.append("the installer's version resource says %s (%s)" %
                        (product_version, strings.get("ProductVersion")))
    problems += differences(locale, {"Publisher": entry.get("Publisher"),
                                     "PackageName": entry.get("DisplayName")})
    cases.check("winget: the Installed apps entry is the installer's", "; ".join(problems))


def check_scoop(cases, dist, version, zip_path):
    try:
        with open(os.path.join(dist, "scoop", "vorn.json")) as f:
            manifest = json.load(f)
    except (OSError, ValueError) as e:
        cases.check("scoop vorn.json", str(e))
        return
    problems = differences(manifest, {"version": version, "hash": sha256(zip_path)})
    url = manifest.get("url", "")
    if not url.startswith("https://") or not url.endswith("/" + os.path.basename(zip_path)):
        problems.append("url %r does not end in /%s" % (url, os.path.basename(zip_path)))
    cases.check("scoop: the zip is " + os.path.basename(zip_path), "; ".join(problems))
    with zipfile.ZipFile(zip_path) as archive:
        names = set(archive.namelist())
    problems = differences(manifest, {"bin": "vorncheck.exe", "persist": "vorn.ini"})
    problems += ["%s %s is not in the zip" % (field, manifest[field]) for field in ("bin", "persist")
                 if isinstance(manifest.get(field), str) and manifest[field] not in names]
    cases.check("scoop: bin and persist name files of the zip", "; ".join(problems))


def main(dist, junit):
    cases = package.Cases()
    version = package.project_version()
    setup = os.path.join(dist, "vorn-%s-setup.exe" % version)
    zip_path = os.path.join(dist, "vorn-%s-windows.zip" % version)
    missing = [path for path in (setup, zip_path) if not os.path.exists(path)]
    if missing:
        cases.check("release files", "no %s: run scripts/package first" % ", ".join(missing))
        return cases.write(junit)
    check_winget(cases, dist, version, setup)
    check_scoop(cases, dist, version, zip_path)
    return cases.write(junit)


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    sys.exit(main(*sys.argv[1:]))
