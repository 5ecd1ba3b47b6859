#!/usr/bin/env python3
"""Static checks of the built Windows binaries: read, not run, so that they
hold for the deliverables exactly as shipped.

  check_pe.py dll FILE --pair 32|64 [--max-size BYTES] [--map MAP]
      vorn.dll or vorn64.dll: named for its pair in its export table and
      holding its pair's section name (and not the other pair's), exports
      exactly the control functions and hook procedures,
      has the shared data section _SDATA (initialized, readable, writable,
      shared), imports from KERNEL32 and USER32 alone, has no TLS directory
      and no .CRT or .tls section, and stays small. With the linker's MAP:
      _SDATA holds exactly the shared variables, in their designed order,
      and no object brings initialisers (static constructors, TLS
      callbacks) that a library without a C runtime would never run; each
      shared variable has its size and natural alignment (hook and window
      handles are pointer-sized).
  check_pe.py daemon FILE --pair 32|64
      vornd.exe or vornd64.exe: a GUI-subsystem program that imports the
      control functions (and the path of the file its library loaded) by
      name from its pair's library, needs no
      MinGW runtime DLL, holds its pair's control window name and its
      message box text as UTF-16 (not code-page bytes), declares
      per-monitor DPI awareness and is marked Terminal-Server-aware
      (DllCharacteristics 0x8000). The
      32-bit vornd.exe imports exactly the functions it always has: what
      it needs besides (for starting vornd64.exe) it looks up at run time.
  check_pe.py program FILE
      a program that links the library's objects itself (vorncheck.exe):
      its copy of _SDATA, if any, is not shared with other processes.
  The programs' manifests declare per-monitor (v2) DPI awareness.

Prints what it found; exits 1 with a reason for every failed check.
"""
import re
import struct
import sys

EXPECTED_EXPORTS = ["_IsHooking", "_MyEndHook", "_MyIniPath", "_MySetHook",
                    "cwpretHookProc", "mouseHookProc", "msgHookProc"]
DAEMON_IMPORTS = ["_IsHooking", "_MyEndHook", "_MyIniPath", "_MySetHook"]
SYSTEM_DLLS = {"kernel32.dll", "user32.dll", "shlwapi.dll", "version.dll", "msvcrt.dll",
               "gdi32.dll", "advapi32.dll", "ntdll.dll"}
DLL_IMPORTS = ["kernel32.dll", "user32.dll"]
# The shared section's variables in their designed order: the gesture and
# the notes of the mouse hook calls the daemon passed on; any process that
# loads the library may write them. The path, the options and the hook
# handles are no longer among them (the daemon records its hook handles in
# the trailer of its section, where the next daemon finds them).
SHARED_VARIABLES = ["activationHold", "foregroundChanged", "middleState", "lbuttonUpArmed",
                    "lastPoint", "lastActivatedWindow", "marshalledMessages", "buttonGesture"]
# Input sections whose contents only start-up code would run.
INITIALISER_SECTIONS = (".ctors", ".dtors", ".init_array", ".fini_array", ".CRT", ".tls")
IMAGE_DIRECTORY_ENTRY_EXCEPTION = 3
IMAGE_DIRECTORY_ENTRY_TLS = 9
SHARED_DATA_FLAGS = 0xD0000040  # shared | read | write | initialized data
IMAGE_SCN_MEM_SHARED = 0x10000000
IMAGE_SUBSYSTEM_WINDOWS_GUI = 2
IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE = 0x8000
MACHINES = {"32": 0x14C, "64": 0x8664}
# What each pair is called: its library, its control window, its section.
PAIR_NAMES = {
    "32": {"library": "vorn.dll", "control": "vornMainWnd", "section": "vornConfigure"},
    "64": {"library": "vorn64.dll", "control": "vornMainWnd64", "section": "vornConfigure64"},
}
# Everything the i686 vornd.exe imports at load time: the whole table, so
# that a function that would stop it from loading somewhere cannot slip in.
DAEMON32_IMPORTS = {
    "GDI32.dll": ["GetStockObject"],
    # The instance lock, the checks of a window's process and of the
    # program's folder, and watching vorn.ini's folder and reading the file:
    # functions every 32-bit Windows has; those of Vista and later, the W
    # ones that find its own folder, and ADVAPI32's, are looked up.
    "KERNEL32.dll": ["CloseHandle", "CreateFileA", "CreateMutexA", "DeleteCriticalSection",
                     "EnterCriticalSection", "FindCloseChangeNotification",
                     "FindFirstChangeNotificationA", "FindNextChangeNotification", "FreeLibrary",
                     "GetCurrentProcess", "GetFileAttributesA", "GetLastError",
                     "GetModuleHandleA", "GetPrivateProfileIntA",
                     "GetPrivateProfileStringA",
                     "GetProcAddress", "GetStartupInfoA", "GetTickCount",
                     "InitializeCriticalSection", "LeaveCriticalSection",
                     "LoadLibraryA", "LocalFree", "OpenProcess", "ReadFile",
                     "SetUnhandledExceptionFilter", "Sleep", "TlsGetValue",
                     "VirtualProtect", "VirtualQuery", "lstrcmpA", "lstrcmpiA"],
    "msvcrt.dll": ["__getmainargs", "__initenv", "__p__acmdln", "__p__commode", "__p__fmode",
                   "__set_app_type", "__setusermatherr", "_amsg_exit", "_cexit", "_initterm",
                   "_iob", "_onexit", "abort", "calloc", "exit", "fprintf", "free", "fwrite",
                   "malloc", "memcpy", "signal", "strlen", "strncmp", "vfprintf"],
    # The message loop waits for vorn.ini's folder beside its messages; the
    # paused mark is a property of the control window; the pause key is a
    # hot key of it.
    "USER32.dll": ["CreateWindowExA", "DefWindowProcA", "DestroyWindow", "DispatchMessageA",
                   "FindWindowExA", "GetMessageA", "GetPropA", "GetWindowThreadProcessId",
                   "LoadCursorA", "MessageBoxA", "MessageBoxW", "MsgWaitForMultipleObjects",
                   "PeekMessageA", "PostMessageA", "PostQuitMessage", "RegisterClassA",
                   "RegisterHotKey", "RemovePropA", "SendMessageTimeoutA",
                   "SetForegroundWindow", "SetPropA", "TranslateMessage", "UnregisterHotKey"],
    "vorn.dll": ["_IsHooking", "_MyEndHook", "_MyIniPath", "_MySetHook"],
}
# The one message the daemon shows (when its hooks cannot be removed): in
# UTF-16, so that it reads the same on every system, not as the code-page
# bytes of one.
UNHOOK_FAILED_TEXT = "\u30d5\u30c3\u30af\u89e3\u9664\u5931\u6557\nUnhooking failed."
UNHOOK_FAILED_CP932 = b"\x83\x74\x83\x62\x83\x4E\x89\xF0\x8F\x9C\x8E\xB8\x94\x73"
# The programs' manifests declare per-monitor DPI awareness: v2 where the
# system knows it, per-monitor before that.
DPI_AWARENESS = re.compile(rb"<dpiAwareness\s[^>]*>\s*PerMonitorV2\s*,\s*PerMonitor\s*</dpiAwareness>")
DPI_AWARE = re.compile(rb"<dpiAware\s[^>]*>\s*true/pm\s*</dpiAware>")
# Each shared variable's size and alignment, in bytes, by pointer size.
SHARED_LAYOUT = {
    "lastPoint": (8, 4), "lastActivatedWindow": ("pointer", "pointer"),
    # Sixteen notes of three 32-bit words, the same on either bitness.
    "marshalledMessages": (192, 4),
}


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
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", self.data, optional + 68)
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

    def forwarded_exports(self):
        """The exported addresses that lie inside the export directory: the
        system reads each as the name of another DLL's export."""
        rva, size = self.directories[0]
        if not rva:
            return []
        base = self.offset(rva)
        count, functions = struct.unpack_from("<I", self.data, base + 20)[0], \
            struct.unpack_from("<I", self.data, base + 28)[0]
        addresses = struct.unpack_from("<%dI" % count, self.data, self.offset(functions))
        return [address for address in addresses if rva <= address < rva + size]

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

    def export_name(self):
        rva, _ = self.directories[0]
        if not rva:
            return None
        return self.string(struct.unpack_from("<I", self.data, self.offset(rva) + 12)[0])

    def holds_string(self, text):
        """Whether `text` is in the file as a whole NUL-terminated string."""
        needle = text.encode("ascii") + b"\0"
        start = self.data.find(needle)
        while start >= 0:
            if start == 0 or not (chr(self.data[start - 1]).isalnum()):
                return True
            start = self.data.find(needle, start + 1)
        return False

    def holds_wide_string(self, text):
        """Whether `text` is in the file as a whole NUL-terminated UTF-16LE
        string."""
        needle = text.encode("utf-16-le") + b"\0\0"
        start = self.data.find(needle)
        while start >= 0:
            if start % 2 == 0 and (start < 2 or self.data[start - 2:start] == b"\0\0"):
                return True
            start = self.data.find(needle, start + 1)
        return False

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
                    start, size = re.match(r"^\S+\s+0x([0-9a-f]+)\s+0x([0-9a-f]+)", line).groups()
                    current["end"] = int(start, 16) + int(size, 16)
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
        return [name for _, name in self.addressed_symbols(section)]

    def addressed_symbols(self, section):
        found = self.sections.get(section, {"symbols": []})["symbols"]
        return [(address, name.lstrip("_")) for address, name in sorted(found)]

    def section_end(self, section):
        return self.sections.get(section, {}).get("end")


def check_shared_layout(linker_map, pointer_size, failures):
    """Each variable's size is the distance to the next one (to the
    section's end for the last; trailing padding allowed there)."""
    symbols = linker_map.addressed_symbols("_SDATA")
    end = linker_map.section_end("_SDATA")
    for i, (address, name) in enumerate(symbols):
        size, alignment = SHARED_LAYOUT.get(name, (4, 4))
        size = pointer_size if size == "pointer" else size
        alignment = pointer_size if alignment == "pointer" else alignment
        following = symbols[i + 1][0] if i + 1 < len(symbols) else end
        room = following - address
        if address % alignment:
            failures.append("_SDATA: %s at 0x%x is not %d-byte aligned" % (name, address, alignment))
        # What follows may start later only by the next one's alignment.
        next_alignment = pointer_size if i + 1 < len(symbols) and \
            SHARED_LAYOUT.get(symbols[i + 1][1], (4, 4))[1] == "pointer" else 4
        if room < size or (i + 1 < len(symbols) and room >= size + next_alignment):
            failures.append("_SDATA: %s has %d bytes, expected %d" % (name, room, size))


def check_map(path, pointer_size, failures):
    linker_map = LinkerMap(path)
    shared = linker_map.symbols("_SDATA")
    print("  _SDATA order: %s" % " ".join(shared))
    if shared != SHARED_VARIABLES:
        failures.append("_SDATA holds %s, expected %s in this order" % (shared, SHARED_VARIABLES))
    else:
        check_shared_layout(linker_map, pointer_size, failures)
    for output, (name, size, source) in linker_map.inputs():
        if size and name.startswith(INITIALISER_SECTIONS):
            failures.append("%s brings %d bytes of %s (in %s): nothing would run them"
                            % (source, size, name, output))
        if size and pointer_size == 4 and "libgcc" in source:
            failures.append("%s brings %s: the compiler's helpers take their arguments on the "
                            "stack, the 32-bit library's calls pass them in registers"
                            % (source, name))
    if pointer_size == 4:
        check_stdcall_imports(path, failures)


def check_stdcall_imports(path, failures):
    """Inside the 32-bit library only stdcall functions take no register
    arguments: an import the linker found for an undecorated (cdecl) name
    would be called with registers."""
    with open(path, encoding="utf-8", errors="replace") as f:
        text = f.read()
    for name in sorted(set(re.findall(r"\((_imp__[A-Za-z0-9_]+)\)", text))):
        failures.append("imports %s, which is not stdcall" % name)


def check_pair(pe, pair, failures):
    if pe.machine != MACHINES[pair]:
        failures.append("machine 0x%x, expected 0x%x for the %s-bit pair"
                        % (pe.machine, MACHINES[pair], pair))


def check_dll(path, pair, max_size, map_path, failures):
    pe = PeFile(path)
    size = len(pe.data)
    print("%s: %d bytes, machine 0x%x, named %s" % (path, size, pe.machine, pe.export_name()))
    check_pair(pe, pair, failures)
    names, other = PAIR_NAMES[pair], PAIR_NAMES["64" if pair == "32" else "32"]
    if pe.export_name() != names["library"]:
        failures.append("export table names %s, expected %s" % (pe.export_name(), names["library"]))
    if not pe.holds_string(names["section"]):
        failures.append("does not hold the section name %s" % names["section"])
    if pe.holds_string(other["section"]):
        failures.append("holds the other pair's section name %s" % other["section"])
    exports = pe.exports()
    print("  exports: %s" % " ".join(exports))
    if exports != EXPECTED_EXPORTS:
        failures.append("exports are %s, expected %s" % (exports, EXPECTED_EXPORTS))
    for address in pe.forwarded_exports():
        failures.append("exports RVA 0x%x, inside the export directory: it would read as "
                        "forwarded" % address)
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
    if pe.pe32_plus and pe.directories[IMAGE_DIRECTORY_ENTRY_EXCEPTION] == (0, 0):
        failures.append("has no function tables: an exception raised below a hook procedure "
                        "could not be unwound past it")
    tls = pe.directories[IMAGE_DIRECTORY_ENTRY_TLS]
    if tls != (0, 0):
        failures.append("has a TLS directory (RVA 0x%x, %d bytes)" % tls)
    for name in (".CRT", ".tls"):
        if pe.section(name):
            failures.append("has a %s section" % name)
    if max_size and size > max_size:
        failures.append("%d bytes, more than the allowed %d" % (size, max_size))
    if map_path:
        check_map(map_path, 8 if pe.pe32_plus else 4, failures)


def check_daemon(path, pair, failures):
    pe = PeFile(path)
    print("%s: %d bytes, machine 0x%x, subsystem %d" % (path, len(pe.data), pe.machine, pe.subsystem))
    check_pair(pe, pair, failures)
    names, other = PAIR_NAMES[pair], PAIR_NAMES["64" if pair == "32" else "32"]
    library = names["library"]
    if not pe.holds_string(names["control"]):
        failures.append("does not hold the control window name %s" % names["control"])
    if pair == "64" and pe.holds_string(other["control"]):
        failures.append("holds the other pair's control window name %s" % other["control"])
    if not pe.holds_wide_string(UNHOOK_FAILED_TEXT):
        failures.append("does not hold the unhooking message as UTF-16: %r" % UNHOOK_FAILED_TEXT)
    if UNHOOK_FAILED_CP932 in pe.data:
        failures.append("holds the unhooking message as code page 932 bytes")
    check_dpi_awareness(pe, failures)
    if pe.subsystem != IMAGE_SUBSYSTEM_WINDOWS_GUI:
        failures.append("subsystem %d, expected the GUI subsystem" % pe.subsystem)
    print("  DllCharacteristics: 0x%04X" % pe.dll_characteristics)
    if not pe.dll_characteristics & IMAGE_DLLCHARACTERISTICS_TERMINAL_SERVER_AWARE:
        failures.append("not Terminal-Server-aware: on a Remote Desktop host the Windows folder "
                        "it is told would be a per-user one")
    imports = pe.imports()
    for dll, names in sorted(imports.items()):
        print("  %s: %s" % (dll, " ".join(names)))
    vorn = [names for dll, names in imports.items() if dll.lower() == library]
    if not vorn:
        failures.append("does not import from %s" % library)
    elif sorted(vorn[0]) != DAEMON_IMPORTS:
        failures.append("imports %s from %s, expected %s" % (sorted(vorn[0]), library, DAEMON_IMPORTS))
    for dll in imports:
        if dll.lower() not in SYSTEM_DLLS and dll.lower() != library:
            failures.append("imports from %s, which is neither a system DLL nor %s" % (dll, library))
    if pair == "32":
        pinned = {dll: sorted(names) for dll, names in DAEMON32_IMPORTS.items()}
        found = {dll: sorted(names) for dll, names in imports.items()}
        for dll in sorted(set(pinned) | set(found)):
            added = sorted(set(found.get(dll, [])) - set(pinned.get(dll, [])))
            dropped = sorted(set(pinned.get(dll, [])) - set(found.get(dll, [])))
            if added:
                failures.append("imports from %s what it never did: %s" % (dll, " ".join(added)))
            if dropped:
                failures.append("no longer imports from %s: %s (update the pinned list)"
                                % (dll, " ".join(dropped)))


def check_dpi_awareness(pe, failures):
    """The application manifest, in the resource section, declares
    per-monitor (v2) DPI awareness."""
    resources = pe.section(".rsrc")
    data = pe.data[resources[3]:resources[3] + resources[2]] if resources else b""
    for pattern, what in ((DPI_AWARENESS, "dpiAwareness PerMonitorV2, PerMonitor"),
                          (DPI_AWARE, "dpiAware true/pm")):
        if not pattern.search(data):
            failures.append("its manifest does not declare %s" % what)


def check_program(path, failures):
    pe = PeFile(path)
    check_dpi_awareness(pe, failures)
    section = pe.section("_SDATA")
    flags = section[4] if section else 0
    print("%s: %d bytes, _SDATA flags 0x%08X" % (path, len(pe.data), flags))
    if flags & IMAGE_SCN_MEM_SHARED:
        failures.append("_SDATA is shared: every copy of the program would see the others' state")


def main(argv):
    pair = argv[argv.index("--pair") + 1] if "--pair" in argv[:-1] else None
    if len(argv) < 3 or argv[1] not in ("dll", "daemon", "program") or \
            (argv[1] != "program" and pair not in PAIR_NAMES):
        print(__doc__)
        return 2
    failures = []
    try:
        if argv[1] == "dll":
            max_size = int(argv[argv.index("--max-size") + 1]) if "--max-size" in argv else 0
            map_path = argv[argv.index("--map") + 1] if "--map" in argv else None
            check_dll(argv[2], pair, max_size, map_path, failures)
        elif argv[1] == "daemon":
            check_daemon(argv[2], pair, failures)
        else:
            check_program(argv[2], failures)
    except (OSError, ValueError, struct.error) as error:
        failures.append("cannot read %s: %s" % (argv[2], error))
    for failure in failures:
        print("FAIL: " + failure)
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
