#!/usr/bin/env python3
"""The shipped programs as an independent PE reader sees them: version
strings, manifest, icons, no symbols or time stamp, system DLLs only.
    resources_test.py vellumor.exe vellumor.com VERSION_TEXT"""
import sys
import xml.etree.ElementTree as ET

import pefile

RT_ICON, RT_GROUP_ICON, RT_MANIFEST = 3, 14, 24
GUI, CONSOLE = 2, 3
ICON_SIZES = [16, 32, 48, 256]
SUPPORTED_OS = {  # Windows 7, 8, 8.1, 10 and 11
    "{35138b9a-5d96-4fbd-8e2d-a2440225f93a}", "{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}",
    "{1f676c76-80e1-4239-95bb-83d0f6d0da78}", "{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}",
}
SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "comctl32.dll", "shell32.dll", "ole32.dll",
    "oleaut32.dll", "advapi32.dll", "comdlg32.dll", "msimg32.dll", "winmm.dll", "msvcrt.dll",
}
ASM1, ASM3 = "urn:schemas-microsoft-com:asm.v1", "urn:schemas-microsoft-com:asm.v3"
COMPAT = "urn:schemas-microsoft-com:compatibility.v1"
SETTINGS_2005 = "http://schemas.microsoft.com/SMI/2005/WindowsSettings"
SETTINGS_2016 = "http://schemas.microsoft.com/SMI/2016/WindowsSettings"

failures = []


def check(ok, what):
    if not ok:
        failures.append(what)


def resources(pe, kind):
    for entry in pe.DIRECTORY_ENTRY_RESOURCE.entries:
        if entry.id == kind:
            for item in entry.directory.entries:
                for lang in item.directory.entries:
                    yield pe.get_data(lang.data.struct.OffsetToData, lang.data.struct.Size)


def has_cjk(text):
    return any("\u4e00" <= c <= "\u9fff" for c in text)


def check_program(path, subsystem, version):
    pe = pefile.PE(path)
    tag = path.rsplit("/", 1)[-1]
    check(pe.OPTIONAL_HEADER.Subsystem == subsystem, f"{tag}: subsystem {pe.OPTIONAL_HEADER.Subsystem}")
    check(pe.FILE_HEADER.TimeDateStamp == 0, f"{tag}: time stamp {pe.FILE_HEADER.TimeDateStamp}")
    check(pe.FILE_HEADER.NumberOfSymbols == 0 and pe.FILE_HEADER.PointerToSymbolTable == 0,
          f"{tag}: {pe.FILE_HEADER.NumberOfSymbols} symbols")
    sections = [s.Name.rstrip(b"\0").decode() for s in pe.sections]
    check(not any(s.startswith((".debug", "/")) for s in sections), f"{tag}: debug sections {sections}")
    dlls = {e.dll.decode().lower() for e in pe.DIRECTORY_ENTRY_IMPORT}
    check(dlls <= SYSTEM_DLLS, f"{tag}: imports {sorted(dlls - SYSTEM_DLLS)}")

    # Version: the numbers, and the strings of the zh-CN table.
    fixed = pe.VS_FIXEDFILEINFO[0]
    numbers = [fixed.FileVersionMS >> 16, fixed.FileVersionMS & 0xFFFF, fixed.FileVersionLS >> 16,
               fixed.FileVersionLS & 0xFFFF]
    check(numbers == [int(n) for n in version.split(".")] + [0], f"{tag}: FILEVERSION {numbers}")
    tables = {st.LangID.decode(): {k.decode(): v.decode() for k, v in st.entries.items()}
              for info in pe.FileInfo[0] if hasattr(info, "StringTable") for st in info.StringTable}
    strings = tables.get("080404b0", {})
    check(list(tables) == ["080404b0"], f"{tag}: string tables {list(tables)}")
    for key, want in (("FileVersion", version), ("ProductVersion", version), ("ProductName", "Vellumor"),
                      ("OriginalFilename", tag)):
        check(strings.get(key) == want, f"{tag}: {key} {strings.get(key)!r}")
    for key in ("FileDescription", "LegalCopyright"):
        check(has_cjk(strings.get(key, "")), f"{tag}: {key} not in Chinese: {strings.get(key)!r}")

    manifests = list(resources(pe, RT_MANIFEST))
    check(len(manifests) == 1, f"{tag}: {len(manifests)} manifests")
    root = ET.fromstring(manifests[0]) if manifests else ET.Element("none")
    level = root.find(f".//{{{ASM3}}}requestedExecutionLevel")
    check(level is not None and level.get("level") == "asInvoker", f"{tag}: execution level")
    ids = {e.get("Id") for e in root.iter(f"{{{COMPAT}}}supportedOS")}
    check(ids == SUPPORTED_OS, f"{tag}: supportedOS {sorted(ids)}")
    long_paths = root.find(f".//{{{SETTINGS_2016}}}longPathAware")
    check(long_paths is not None and long_paths.text.strip() == "true", f"{tag}: longPathAware")
    dpi = root.find(f".//{{{SETTINGS_2005}}}dpiAware")
    check(dpi is not None and dpi.text.strip() == "true", f"{tag}: dpiAware")
    # The tool works in the system's ANSI code page.
    check(not any(e.tag.endswith("activeCodePage") for e in root.iter()), f"{tag}: activeCodePage")
    # Classic controls: a themed progress bar loses its segmented style.
    deps = [e.get("name") for e in root.iter(f"{{{ASM1}}}assemblyIdentity")]
    check("Microsoft.Windows.Common-Controls" not in deps, f"{tag}: common controls 6")

    groups = list(resources(pe, RT_GROUP_ICON))
    check(len(groups) == 1, f"{tag}: {len(groups)} icon groups")
    if groups:
        count = int.from_bytes(groups[0][4:6], "little")
        sizes = sorted(groups[0][6 + 14 * i] or 256 for i in range(count))
        check(sizes == ICON_SIZES, f"{tag}: icon sizes {sizes}")
        check(len(list(resources(pe, RT_ICON))) == count, f"{tag}: icon images")
    return pe


def main():
    exe, com, version = sys.argv[1:4]
    program = check_program(exe, GUI, version)
    check(program.FILE_HEADER.Characteristics & 0x20, "vellumor.exe: not large-address-aware")
    check_program(com, CONSOLE, version)
    for f in failures:
        print("FAIL:", f)
    if failures:
        sys.exit(1)
    print(f"resources of vellumor.exe and vellumor.com {version}: as expected")


if __name__ == "__main__":
    main()
