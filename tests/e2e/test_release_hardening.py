"""The release's hardening, read from each shipped PE file: Sorvanta.scr, Sorvanta.dll,
the installer packaging/make_packages.py makes from this build, and the uninstaller that
installer puts in place. Each must ask for address-space layout randomisation with a
high-entropy (64-bit) base and for a non-executable data area, and must import at load
time only DLLs that Windows always maps from System32 (the KnownDLLs): any other DLL
would be looked for beside the program first, where a planted one would run."""

import struct
import subprocess

import pytest

from winehost import Screen, clone_prefix, wait_until

HIGH_ENTROPY_VA = 0x0020
DYNAMIC_BASE = 0x0040
NX_COMPAT = 0x0100
HARDENING = HIGH_ENTROPY_VA | DYNAMIC_BASE | NX_COMPAT

# The KnownDLLs of Windows 7 to 11 (HKLM\System\CurrentControlSet\Control\Session
# Manager\KnownDLLs, the names every one of those versions lists), and ntdll, which is
# mapped into every process before anything is searched.
KNOWN_DLLS = {
    "advapi32.dll", "clbcatq.dll", "comdlg32.dll", "difxapi.dll", "gdi32.dll",
    "imagehlp.dll", "imm32.dll", "kernel32.dll", "msctf.dll", "msvcrt.dll", "normaliz.dll",
    "nsi.dll", "ntdll.dll", "ole32.dll", "oleaut32.dll", "psapi.dll", "rpcrt4.dll",
    "sechost.dll", "setupapi.dll", "shell32.dll", "shlwapi.dll", "user32.dll", "wldap32.dll",
    "ws2_32.dll",
}
# NSIS's stubs import comctl32, which is no KnownDLL; their manifest names version 6 of
# the common controls, a side-by-side assembly, and the loader takes a DLL that the
# manifest redirects from the assembly store (WinSxS) before it searches any folder.
SIDE_BY_SIDE = {
    "comctl32.dll": b'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"',
}


class PeFile:
    """The few fields of a PE image this test reads."""

    def __init__(self, data):
        self.data = data
        pe = struct.unpack_from("<I", data, 0x3C)[0]
        assert data[pe:pe + 4] == b"PE\0\0", "not a PE file"
        sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
        optional = pe + 24
        magic = struct.unpack_from("<H", data, optional)[0]
        assert magic in (0x10B, 0x20B), f"unknown optional header {magic:#x}"
        self.pe32_plus = magic == 0x20B
        self.dll_characteristics = struct.unpack_from("<H", data, optional + 70)[0]
        directories = optional + (112 if self.pe32_plus else 96)
        self.import_rva = struct.unpack_from("<I", data, directories + 8)[0]
        table = optional + optional_size
        self.sections = [struct.unpack_from("<8xIIII", data, table + 40 * i)
                         for i in range(sections)]

    def offset(self, rva):
        for virtual_size, address, raw_size, raw in self.sections:
            if address <= rva < address + max(virtual_size, raw_size):
                return raw + rva - address
        raise ValueError(f"RVA {rva:#x} lies in no section")

    def text_at(self, rva):
        start = self.offset(rva)
        return self.data[start:self.data.index(b"\0", start)].decode("ascii")

    def load_time_imports(self):
        """The names of the DLLs in the import directory, in lower case."""
        if self.import_rva == 0:
            return []
        names = []
        entry = self.offset(self.import_rva)
        while True:
            lookup, _, _, name, thunks = struct.unpack_from("<5I", self.data, entry)
            if (lookup, name, thunks) == (0, 0, 0):
                return names
            names.append(self.text_at(name).lower())
            entry += 20


@pytest.fixture(scope="module")
def shipped(build_dir, source_dir, tmp_path_factory, template_prefix):
    """{name: bytes} of every PE file of the release made from this build."""
    out = tmp_path_factory.mktemp("packages")
    subprocess.run(["/usr/bin/python3", str(source_dir / "packaging" / "make_packages.py"),
                    str(build_dir), str(out)], check=True, stdout=subprocess.DEVNULL)
    files = {name: (out / name).read_bytes() for name in ("Sorvanta.scr", "Sorvanta.dll")}
    setup = next(out.glob("*-setup.exe"))
    files["installer"] = setup.read_bytes()
    files["uninstaller"] = installed_uninstaller(setup, template_prefix, tmp_path_factory)
    return files


def installed_uninstaller(setup, template_prefix, tmp_path_factory):
    """The uninstaller a silent install of setup leaves, as bytes."""
    screen = Screen(640, 480)
    prefix = clone_prefix(template_prefix, tmp_path_factory.mktemp("install"), screen)
    try:
        local = prefix.run(["cmd", "/c", "echo %LOCALAPPDATA%"], text=True).stdout.strip()
        folder = prefix.drive_c() / local[3:].replace("\\", "/") / "Programs" / "Sorvanta"
        result = prefix.run([setup, "/S"], timeout=180)
        assert result.returncode == 0, result.stderr
        uninstaller = folder / "uninstall.exe"
        wait_until(uninstaller.exists, 30, what="the installed uninstaller")
        return uninstaller.read_bytes()
    finally:
        prefix.stop_server()
        screen.stop()


NAMES = ("Sorvanta.scr", "Sorvanta.dll", "installer", "uninstaller")


@pytest.mark.parametrize("name", NAMES)
def test_each_shipped_program_asks_for_randomised_addresses_and_no_executable_data(
        shipped, name):
    pe = PeFile(shipped[name])
    assert pe.pe32_plus, f"{name} is not a 64-bit program"
    missing = HARDENING & ~pe.dll_characteristics
    assert missing == 0, (f"{name}: DllCharacteristics {pe.dll_characteristics:#06x} lacks "
                          f"{missing:#06x}")


@pytest.mark.parametrize("name", NAMES)
def test_each_shipped_program_imports_only_known_dlls_at_load_time(shipped, name):
    data = shipped[name]
    imports = PeFile(data).load_time_imports()
    assert "kernel32.dll" in imports, f"{name}: the import table was not read: {imports}"
    redirected = {dll for dll, manifest in SIDE_BY_SIDE.items() if manifest in data}
    outside = sorted(set(imports) - KNOWN_DLLS - redirected)
    assert outside == [], f"{name} imports at load time {outside} (all: {sorted(imports)})"
