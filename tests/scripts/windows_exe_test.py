#!/usr/bin/env python3
"""Checks a built Windows executable for what real Windows demands and Wine
lets through: the embedded manifest names the processor the executable is
built for, the header asks for Windows 7's subsystem and the loader's
protections, and every imported function is one of Windows' own that
Windows 7 already has.

Usage: windows_exe_test.py <exe> <functions table>

The table lists each function the program may import, one a line:
"dll function version", the version being the Windows that introduced it
(5.0 Windows 2000, 5.1 XP, 5.2 XP x64, 6.0 Vista, 6.1 Windows 7, ...).
"""
import struct
import sys
import xml.etree.ElementTree as ElementTree

OLDEST_WINDOWS = (6, 1)
MACHINES = {0x14C: "x86", 0x8664: "amd64"}
IMAGE_FILE_LARGE_ADDRESS_AWARE = 0x0020
DLL_HIGH_ENTROPY_VA = 0x0020
DLL_DYNAMIC_BASE = 0x0040
DLL_NX_COMPAT = 0x0100
DLL_TERMINAL_SERVER_AWARE = 0x8000
RT_MANIFEST = 24
CREATEPROCESS_MANIFEST_RESOURCE_ID = 1
ASM_V1 = "{urn:schemas-microsoft-com:asm.v1}"


class Image:
    """The parts of a PE image the checks read."""

    def __init__(self, data):
        self.data = data
        if data[:2] != b"MZ":
            raise ValueError("not an executable (no MZ header)")
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        if data[pe:pe + 4] != b"PE\0\0":
            raise ValueError("no PE signature")
        (self.machine, sections, _, _, _, optional_size,
         self.characteristics) = struct.unpack_from("<HHIIIHH", data, pe + 4)
        optional = pe + 24
        self.magic = struct.unpack_from("<H", data, optional)[0]
        if self.magic not in (0x10B, 0x20B):
            raise ValueError(f"unknown optional header magic {self.magic:#x}")
        self.wide = self.magic == 0x20B
        self.os_version = struct.unpack_from("<HH", data, optional + 40)
        self.subsystem_version = struct.unpack_from("<HH", data, optional + 48)
        self.subsystem, self.dll_characteristics = struct.unpack_from("<HH", data, optional + 68)
        directories = optional + (112 if self.wide else 96)
        self.directories = [struct.unpack_from("<II", data, directories + 8 * i) for i in range(16)]
        self.sections = []
        table = optional + optional_size
        for i in range(sections):
            _, size, address, raw_size, raw = struct.unpack_from("<8sIIII", data, table + 40 * i)
            self.sections.append((address, max(size, raw_size), raw))

    def offset(self, rva):
        for address, size, raw in self.sections:
            if address <= rva < address + size:
                return raw + rva - address
        raise ValueError(f"address {rva:#x} is in no section")

    def u16(self, rva):
        return struct.unpack_from("<H", self.data, self.offset(rva))[0]

    def u32(self, rva):
        return struct.unpack_from("<I", self.data, self.offset(rva))[0]

    def text(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def imports(self):
        """(dll, function) for every import; ordinals as "#n"."""
        rva = self.directories[1][0]
        found = []
        while rva and self.u32(rva + 12):
            lookup, _, _, name, first = struct.unpack_from("<5I", self.data, self.offset(rva))
            dll = self.text(name).lower()
            thunk = lookup or first
            step, ordinal_flag = (8, 1 << 63) if self.wide else (4, 1 << 31)
            while True:
                entry = struct.unpack_from("<Q" if self.wide else "<I", self.data,
                                           self.offset(thunk))[0]
                if entry == 0:
                    break
                if entry & ordinal_flag:
                    found.append((dll, f"#{entry & 0xFFFF}"))
                else:
                    found.append((dll, self.text((entry & 0x7FFFFFFF) + 2)))
                thunk += step
            rva += 20
        return found

    def resource(self, kind, ident):
        """The bytes of the first language of resource kind/ident, or None."""
        root = self.directories[2][0]
        if not root:
            return None

        def entries(directory):
            named, numbered = struct.unpack_from("<HH", self.data, self.offset(directory + 12))
            for i in range(named + numbered):
                key, target = struct.unpack_from("<II", self.data,
                                                 self.offset(directory + 16 + 8 * i))
                yield key, target

        def child(directory, wanted):
            for key, target in entries(directory):
                if wanted is None or key == wanted:
                    return target
            return None

        node = root
        for wanted in (kind, ident, None):
            target = child(node, wanted)
            if target is None:
                return None
            if target & 0x80000000:
                node = root + (target & 0x7FFFFFFF)
            else:
                data_rva, size = struct.unpack_from("<II", self.data, self.offset(root + target))
                start = self.offset(data_rva)
                return self.data[start:start + size]
        return None


def read_table(path):
    table = {}
    with open(path, encoding="utf-8") as lines:
        for number, line in enumerate(lines, 1):
            line = line.split("#", 1)[0].strip()
            if not line:
                continue
            dll, function, version = line.split()
            major, minor = version.split(".")
            table[(dll.lower(), function)] = (int(major), int(minor))
    return table


def check(image, table):
    """The list of faults found; empty when the executable is fine."""
    faults = []
    architecture = MACHINES.get(image.machine)
    if architecture is None:
        return [f"unknown machine {image.machine:#x}"]
    if image.wide != (architecture == "amd64"):
        faults.append("the optional header does not fit the machine")

    manifest = image.resource(RT_MANIFEST, CREATEPROCESS_MANIFEST_RESOURCE_ID)
    if manifest is None:
        faults.append("no manifest resource (RT_MANIFEST 1)")
    else:
        root = ElementTree.fromstring(manifest)
        identities = root.iter(f"{ASM_V1}assemblyIdentity")
        for identity in identities:
            name = identity.get("name")
            declared = identity.get("processorArchitecture")
            if declared not in ("*", architecture):
                faults.append(f"manifest: {name} declares processorArchitecture=\"{declared}\","
                              f" the executable is {architecture}")

    if image.subsystem_version != OLDEST_WINDOWS:
        faults.append("subsystem version %d.%d, not %d.%d" %
                      (*image.subsystem_version, *OLDEST_WINDOWS))
    flags = {
        "dynamic base": DLL_DYNAMIC_BASE,
        "NX compatible": DLL_NX_COMPAT,
        "terminal-server aware": DLL_TERMINAL_SERVER_AWARE,
    }
    if image.wide:
        flags["high-entropy VA"] = DLL_HIGH_ENTROPY_VA
    for name, flag in flags.items():
        if not image.dll_characteristics & flag:
            faults.append(f"not {name} (DllCharacteristics {image.dll_characteristics:#06x})")
    if image.wide and not image.characteristics & IMAGE_FILE_LARGE_ADDRESS_AWARE:
        faults.append("a 64-bit image that is not large-address aware")

    imports = image.imports()
    if not imports:
        faults.append("no imports at all")
    for dll, function in imports:
        introduced = table.get((dll, function))
        if introduced is None:
            faults.append(f"{dll} {function}: not in the table of Windows' own functions")
        elif introduced > OLDEST_WINDOWS:
            faults.append(f"{dll} {function}: only from Windows %d.%d on" % introduced)
    return faults


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    exe, table_path = sys.argv[1:]
    with open(exe, "rb") as file:
        image = Image(file.read())
    faults = check(image, read_table(table_path))
    dlls = sorted({dll for dll, _ in image.imports()})
    print(f"{exe}: {MACHINES.get(image.machine, '?')}, subsystem %d.%d, DllCharacteristics %#06x"
          % (*image.subsystem_version, image.dll_characteristics))
    print(f"imports {len(image.imports())} functions from {' '.join(dlls)}")
    for fault in faults:
        print("FAIL:", fault)
    sys.exit(1 if faults else 0)


if __name__ == "__main__":
    main()
