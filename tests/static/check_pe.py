#!/usr/bin/env python3
"""Static checks of the built Windows binaries: read, not run, so that they
hold for the deliverables exactly as shipped.

  check_pe.py dll FILE [--max-size BYTES] [--map MAP]
      vorn.dll: exports exactly the control functions and hook procedures,
      has the shared data section _SDATA (initialized, readable, writable,
      shared), imports from KERNEL32 and USER32 alone, has no TLS directory
      and no .CRT or .tls section, and stays small. With the linker's MAP:
      _SDATA holds exactly the shared variables, in their designed order,
      and no object brings initialisers (static constructors, TLS
      callbacks) that a library without a C runtime would never run.
  check_pe.py daemon FILE
      vornd.exe: a GUI-subsystem program that imports the three control
      functions by name from vorn.dll and needs no MinGW runtime DLL.
  check_pe.py program FILE
      a program that links the library's objects itself (vorncheck.exe):
      its copy of _SDATA, if any, is not shared with other processes.

Prints what it found; exits 1 with a reason for every failed check.
"""
import re
import struct
import sys

EXPECTED_EXPORTS = ["_IsHooking", "_MyEndHook", "_MySetHook",
                    "cwpretHookProc", "mouseHookProc", "msgHookProc"]
DAEMON_IMPORTS = ["_IsHooking", "_MyEndHook", "_MySetHook"]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "shlwapi.dll", "version.dll", "msvcrt.dll",
               "gdi32.dll", "advapi32.dll", "ntdll.dll"}
DLL_IMPORTS = ["kernel32.dll", "user32.dll"]
# The shared section's variables in their designed order.
SHARED_VARIABLES = ["iniPath", "useCallWndProcRetHook", "mbuttonUpMoveProtect",
                    "lbuttonUpMoveProtect", "xmouseMode", "maskXmouseOnMove", "activationHold",
                    "foregroundChanged", "mouseHook", "getMessageHook", "callWndProcRetHook",
                    "middleState", "lbuttonUpArmed", "lastPoint", "lastActivatedWindow"]
# Input sections whose contents only start-up code would run.
INITIALISER_SECTIONS = (".ctors", ".dtors", ".init_array", ".fini_array", ".CRT", ".tls")
IMAGE_DIRECTORY_ENTRY_TLS = 9
SHARED_DATA_FLAGS = 0xD0000040  # shared | read | write | initialized data
IMAGE_SCN_MEM_SHARED = 0x10000000
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2


class PeFile:
    def __init__(self, path):
        with open(path, "rb") as f:
            self.data = f.read()
        if self.data[:2] != b"MZ":
            raise ValueError("not an MZ executable")
        pe = struct.unpack_from("<I", self.data, 0x3C)[0]
        if self.data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, _, _, optional_size, _) = struct.unpack_from(
            "<HHIIIHH", self.data, pe + 4)
        optional = pe + 24
        magic = struct.unpack_from("<H", self.data, optional)[0]
        self.pe32_plus = magic == 0x20B
        self.subsystem = struct.unpack_from("<H", self.data, optional + 68)[0]
        directories = optional + (112 if self.pe32_plus else 96)
        self.directories = [struct.unpack_from("<II", self.data, directories + 8 * i)
                            for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            raw = self.data[table + 40 * i: table + 40 * (i + 1)]
            name = raw[:8].rstrip(b"\0").decode("ascii", "replace")
            vsize, vaddr, rsize, rptr = struct.unpack_from("<IIII", raw, 8)
            flags = struct.unpack_from("<I", raw, 36)[0]
            self.sections.append((name, vaddr, max(vsize, rsize), rptr, flags))

    def offset(self, rva):
        for _, vaddr, size, rptr, _ in self.sections:
            if vaddr <= rva < vaddr + size:
                return rva - vaddr + rptr
        raise ValueError("address 0x%x is in no section" % rva)

    def string(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii", "replace")

    def exports(self):
        rva, size = self.directories[0]
        if not rva:
            return []
        base = self.offset(rva)
        names = struct.unpack_from("<I", self.data, base + 24)[0]
        name_table = struct.unpack_from("<I", self.data, base + 32)[0]
        return sorted(self.string(struct.unpack_from("<I", self.data, self.offset(name_table) + 4 * i)[0])
                      for i in range(names))

    def imports(self):
        """{dll name: [imported names (or #ordinal)]}"""
        rva, _ = self.directories[1]
        result = {}
        if not rva:
            return result
        entry = self.offset(rva)
        thunk_size, ordinal_flag = (8, 1 << 63) if self.pe32_plus else (4, 1 << 31)
        while True:
            lookup, _, _, name, first_thunk = struct.unpack_from("<IIIII", self.data, entry)
            if not name:
                break
            dll = self.string(name)
            thunk = self.offset(lookup or first_thunk)
            names = []
            while True:
                value = struct.unpack_from("<Q" if self.pe32_plus else "<I", self.data, thunk)[0]
                if not value:
                    break
                if value & ordinal_flag:
                    names.append("#%d" % (value & 0xFFFF))
                else:
                    names.append(self._hint_name(value & 0x7FFFFFFF))
                thunk += thunk_size
            result[dll] = names
            entry += 20
        return result

    def _hint_name(self, rva):
        start = self.offset(rva) + 2
        return self.data[start:self.data.index(b"\0", start)].decode("ascii", "replace")

    def section(self, name):
        for section in self.sections:
            if section[0] == name:
                return section
        return None


class LinkerMap:
    """The parts of a GNU ld map that the checks read: for each output
    section, its input sections (name, size, file) and its symbols in
    address order."""

    def __init__(self, path):
        self.sections = {}
        current = None
        pending = None  # an input section name whose address is on the next line
        with open(path, encoding="utf-8", errors="replace") as f:
            for line in f:
                line = line.rstrip("\n")
                output = re.match(r"^([._A-Za-z]\S*)\s+0x[0-9a-f]+\s+0x[0-9a-f]+", line)
                if output:
                    current = self.sections.setdefault(output.group(1), {"inputs": [], "symbols": []})
                    pending = None
                    continue
                if current is None:
                    continue
                inline = re.match(r"^ (\S+)\s+0x([0-9a-f]+)\s+0x([0-9a-f]+) (\S.*)$", line)
                wrapped = re.match(r"^\s+0x([0-9a-f]+)\s+0x([0-9a-f]+) (\S.*)$", line)
                symbol = re.match(r"^\s+0x([0-9a-f]+)\s+([A-Za-z_@$?.][\w@$?.]*)$", line)
                if inline:
                    current["inputs"].append((inline.group(1), int(inline.group(3), 16),
                                              inline.group(4)))
                elif wrapped and pending:
                    current["inputs"].append((pending, int(wrapped.group(2), 16), wrapped.group(3)))
                elif symbol:
                    current["symbols"].append((int(symbol.group(1), 16), symbol.group(2)))
                pending = None
                named = re.match(r"^ (\S+)$", line)
                if named and not named.group(1).startswith("*"):
                    pending = named.group(1)

    def inputs(self):
        for name, section in self.sections.items():
            for entry in section["inputs"]:
                yield name, entry

    def symbols(self, section):
        found = self.sections.get(section, {"symbols": []})["symbols"]
        return [name.lstrip("_") for _, name in sorted(found)]


def check_map(path, failures):
    linker_map = LinkerMap(path)
    shared = linker_map.symbols("_SDATA")
    print("  _SDATA order: %s" % " ".join(shared))
    if shared != SHARED_VARIABLES:
        failures.append("_SDATA holds %s, expected %s in this order" % (shared, SHARED_VARIABLES))
    for output, (name, size, source) in linker_map.inputs():
        if size and name.startswith(INITIALISER_SECTIONS):
            failures.append("%s brings %d bytes of %s (in %s): nothing would run them"
                            % (source, size, name, output))


def check_dll(path, max_size, map_path, failures):
    pe = PeFile(path)
    size = len(pe.data)
    print("%s: %d bytes, machine 0x%x" % (path, size, pe.machine))
    exports = pe.exports()
    print("  exports: %s" % " ".join(exports))
    if exports != EXPECTED_EXPORTS:
        failures.append("exports are %s, expected %s" % (exports, EXPECTED_EXPORTS))
    shared = pe.section("_SDATA")
    if not shared:
        failures.append("no _SDATA section")
    else:
        print("  _SDATA flags: 0x%08X" % shared[4])
        if shared[4] != SHARED_DATA_FLAGS:
            failures.append("_SDATA flags 0x%08X, expected 0x%08X" % (shared[4], SHARED_DATA_FLAGS))
    imports = pe.imports()
    print("  imports: %s" % " ".join(sorted(imports)))
    if sorted(dll.lower() for dll in imports) != DLL_IMPORTS:
        failures.append("imports from %s, expected exactly %s" % (sorted(imports), DLL_IMPORTS))
    tls = pe.directories[IMAGE_DIRECTORY_ENTRY_TLS]
    if tls != (0, 0):
        failures.append("has a TLS directory (RVA 0x%x, %d bytes)" % tls)
    for name in (".CRT", ".tls"):
        if pe.section(name):
            failures.append("has a %s section" % name)
    if max_size and size > max_size:
        failures.append("%d bytes, more than the allowed %d" % (size, max_size))
    if map_path:
        check_map(map_path, failures)


def check_daemon(path, failures):
    pe = PeFile(path)
    print("%s: %d bytes, subsystem %d" % (path, len(pe.data), pe.subsystem))
    if pe.subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        failures.append("subsystem %d, expected the GUI subsystem" % pe.subsystem)
    imports = pe.imports()
    for dll, names in sorted(imports.items()):
        print("  %s: %s" % (dll, " ".join(names)))
    vorn = [names for dll, names in imports.items() if dll.lower() == "vorn.dll"]
    if not vorn:
        failures.append("does not import from vorn.dll")
    elif sorted(vorn[0]) != DAEMON_IMPORTS:
        failures.append("imports %s from vorn.dll, expected %s" % (sorted(vorn[0]), DAEMON_IMPORTS))
    for dll in imports:
        if dll.lower() not in SYSTEM_DLLS and dll.lower() != "vorn.dll":
            failures.append("imports from %s, which is neither a system DLL nor vorn.dll" % dll)


def check_program(path, failures):
    pe = PeFile(path)
    section = pe.section("_SDATA")
    flags = section[4] if section else 0
    print("%s: %d bytes, _SDATA flags 0x%08X" % (path, len(pe.data), flags))
    if flags & IMAGE_SCN_MEM_SHARED:
        failures.append("_SDATA is shared: every copy of the program would see the others' state")


def main(argv):
    if len(argv) < 3 or argv[1] not in ("dll", "daemon", "program"):
        print(__doc__)
        return 2
    failures = []
    try:
        if argv[1] == "dll":
            max_size = int(argv[argv.index("--max-size") + 1]) if "--max-size" in argv else 0
            map_path = argv[argv.index("--map") + 1] if "--map" in argv else None
            check_dll(argv[2], max_size, map_path, failures)
        elif argv[1] == "daemon":
            check_daemon(argv[2], failures)
        else:
            check_program(argv[2], failures)
    except (OSError, ValueError, struct.error) as error:
        failures.append("cannot read %s: %s" % (argv[2], error))
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
