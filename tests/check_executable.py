#!/usr/bin/env python3
"""Checks the built Relvanta.exe itself: header, imports and resources.

    check_executable.py PATH/TO/Relvanta.exe

Prints one line per failure and exits 1 if there is any; otherwise prints a
short summary of what it checked and exits 0. Runs on the build host (not
under Wine) and needs the pefile module (Debian: python3-pefile).
"""

import re
import struct
import sys
import xml.etree.ElementTree as ET

try:
    import pefile
except ImportError:
    sys.exit("executable_check: the pefile module is missing (apt-get install python3-pefile)")

VERSION = "2.2.1.0"
VERSION_WORDS = (2, 2, 1, 0)
LANG_ZH_CN = 0x0804
CODEPAGE_UTF16 = 1200
STRINGS_IN_ORDER = ["FileVersion", "FileDescription", "ProductName", "ProductVersion", "CompanyName"]
ICON_GROUP_NAME = "DEFAULT_ICON"
ICONS_IN_ORDER = [(16, 4), (16, 8), (32, 4), (32, 8)]  # (size, bits per pixel)
COMMON_CONTROLS_TOKEN = "6595b64144ccf1df"

SYSTEM_DLLS = {
    "kernel32.dll", "user32.dll", "gdi32.dll", "ole32.dll", "oleaut32.dll", "msvcrt.dll",
    "advapi32.dll", "shell32.dll", "comctl32.dll", "comdlg32.dll", "shlwapi.dll",
    "version.dll", "ntdll.dll",
}

RT_CURSOR, RT_BITMAP, RT_ICON, RT_MENU, RT_DIALOG, RT_STRING = 1, 2, 3, 4, 5, 6
RT_ACCELERATOR, RT_GROUP_CURSOR, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST = 9, 12, 14, 16, 24
EXPECTED_TYPES = {RT_ICON, RT_GROUP_ICON, RT_VERSION, RT_MANIFEST}
TYPE_NAMES = {
    RT_CURSOR: "cursor", RT_BITMAP: "bitmap", RT_ICON: "icon", RT_MENU: "menu",
    RT_DIALOG: "dialog", RT_STRING: "string table", 7: "font directory", 8: "font",
    RT_ACCELERATOR: "accelerator table", 10: "RCDATA", 11: "message table",
    RT_GROUP_CURSOR: "cursor group", RT_GROUP_ICON: "icon group", RT_VERSION: "version record",
    17: "dialog include", 19: "plug and play", 20: "VxD", 21: "animated cursor",
    22: "animated icon", 23: "HTML", RT_MANIFEST: "manifest",
}

failures = []


def fail(message):
    failures.append(message)


def expect(actual, wanted, what):
    if actual != wanted:
        fail(f"{what}: {actual!r}, expected {wanted!r}")
        return False
    return True


def entry_label(entry):
    return f'"{entry.name}"' if entry.name is not None else str(entry.id)


# --- header and imports ------------------------------------------------------

def check_header(pe):
    expect(hex(pe.OPTIONAL_HEADER.Magic), hex(0x10B), "optional header magic (PE32, not PE32+)")
    expect(hex(pe.FILE_HEADER.Machine), hex(0x14C), "machine (i386)")
    expect(pe.OPTIONAL_HEADER.Subsystem, 2, "subsystem (Windows GUI)")


def check_imports(pe):
    dlls = []
    for attr in ("DIRECTORY_ENTRY_IMPORT", "DIRECTORY_ENTRY_DELAY_IMPORT"):
        for entry in getattr(pe, attr, []):
            dlls.append(entry.dll.decode("ascii", "replace"))
    if not dlls:
        fail("imports: none found")
    for dll in dlls:
        low = dll.lower()
        if low not in SYSTEM_DLLS and not low.startswith("api-ms-win-"):
            fail(f"imports: {dll} is not a Windows system DLL (is the runtime linked statically?)")
    return sorted(dlls, key=str.lower)


# --- resources ---------------------------------------------------------------

def resources(pe):
    """{type id: [(name entry, language entry), ...]} of the resource tree."""
    out = {}
    root = getattr(pe, "DIRECTORY_ENTRY_RESOURCE", None)
    if root is None:
        return out
    for type_entry in root.entries:
        key = type_entry.id if type_entry.id is not None else str(type_entry.name)
        for name_entry in type_entry.directory.entries:
            for lang_entry in name_entry.directory.entries:
                out.setdefault(key, []).append((name_entry, lang_entry))
    return out


def data_of(pe, lang_entry):
    d = lang_entry.data.struct
    return pe.get_data(d.OffsetToData, d.Size)


def check_no_other_resources(res):
    for key, items in res.items():
        if key in EXPECTED_TYPES:
            continue
        kind = TYPE_NAMES.get(key, f"type {key!r}")
        names = ", ".join(entry_label(n) for n, _ in items)
        fail(f"resources: unexpected {kind} resource(s) ({names}); the program needs none")


# --- version record ----------------------------------------------------------

def version_node(data, at, base):
    """One VS_VERSIONINFO-style node: (key, wType, value bytes, children, end)."""
    def align(x):
        return base + ((x - base + 3) & ~3)

    if at + 6 > len(data):
        raise ValueError(f"node header cut short at offset {at - base}")
    length, value_length, kind = struct.unpack_from("<HHH", data, at)
    end = at + length
    if length < 6 or end > len(data):
        raise ValueError(f"node at offset {at - base} has a bad length {length}")
    key_at = at + 6
    key_end = key_at
    while data[key_end:key_end + 2] != b"\0\0":
        key_end += 2
        if key_end >= end:
            raise ValueError(f"node at offset {at - base} has an unterminated key")
    key = data[key_at:key_end].decode("utf-16-le")
    value_at = align(key_end + 2)
    value_size = value_length * 2 if kind == 1 else value_length
    value = data[value_at:value_at + value_size]
    if value_at + value_size > end:
        raise ValueError(f"value of {key!r} runs past its node")
    children = []
    child_at = align(value_at + value_size)
    while child_at < end:
        child = version_node(data, child_at, base)
        children.append(child)
        child_at = align(child[4])
    return key, kind, value, children, end


def check_version(pe, res):
    items = res.get(RT_VERSION, [])
    if len(items) != 1:
        fail(f"version record: {len(items)} found, expected exactly 1")
        if not items:
            return
    name_entry, lang_entry = items[0]
    expect(name_entry.id, 1, "version record id")
    expect(hex(lang_entry.id), hex(LANG_ZH_CN), "version record language")
    data = data_of(pe, lang_entry)
    try:
        key, kind, value, children, _ = version_node(data, 0, 0)
    except ValueError as e:
        fail(f"version record: cannot be read: {e}")
        return
    expect(key, "VS_VERSION_INFO", "version record key")
    if len(value) != 52:
        fail(f"version record: fixed part is {len(value)} bytes, expected 52")
        return
    f = struct.unpack("<13I", value)
    expect(hex(f[0]), hex(0xFEEF04BD), "VS_FIXEDFILEINFO signature")
    words = lambda ms, ls: (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
    expect(words(f[2], f[3]), VERSION_WORDS, "fixed file version")
    expect(words(f[4], f[5]), VERSION_WORDS, "fixed product version")
    expect(hex(f[6]), hex(0), "file flags mask")
    expect(hex(f[7]), hex(0), "file flags")
    expect(hex(f[8]), hex(0x4), "file OS (VOS__WINDOWS32)")
    expect(hex(f[9]), hex(0x1), "file type (VFT_APP)")
    expect(f[10], 0, "file subtype")
    expect((f[11], f[12]), (0, 0), "file date")

    by_key = {}
    for child in children:
        if child[0] in by_key:
            fail(f"version record: {child[0]} appears twice")
        by_key[child[0]] = child
    expect(sorted(by_key), ["StringFileInfo", "VarFileInfo"], "version record blocks")

    sfi = by_key.get("StringFileInfo")
    if sfi:
        tables = sfi[3]
        if expect([t[0] for t in tables], ["080404B0"], "string table blocks"):
            strings = [(s[0], s[2].decode("utf-16-le")) for s in tables[0][3]]
            for name, text in strings:
                if not text.endswith("\0"):
                    fail(f"version string {name}: not terminated by a null character")
            strings = [(name, text.rstrip("\0")) for name, text in strings]
            expect([name for name, _ in strings], STRINGS_IN_ORDER, "version strings, in order")
            got = dict(strings)
            for name in ("FileVersion", "ProductVersion"):
                expect(got.get(name), VERSION, f"version string {name}")
            expect(got.get("ProductName"), "Relvanta", "version string ProductName")
            expect(got.get("CompanyName"), "Tobrisk", "version string CompanyName")
            description = got.get("FileDescription", "")
            if not description.strip():
                fail("version string FileDescription: empty")
            elif not re.search(r"[\u4e00-\u9fff]", description):
                fail(f"version string FileDescription: no Chinese characters in {description!r}")
            elif "RA2" not in description:
                fail(f"version string FileDescription: does not mention RA2: {description!r}")

    vfi = by_key.get("VarFileInfo")
    if vfi:
        vars_ = vfi[3]
        if expect([v[0] for v in vars_], ["Translation"], "VarFileInfo entries"):
            value = vars_[0][2]
            if len(value) != 4:
                fail(f"VarFileInfo Translation: {len(value)} bytes, expected 4 (one language)")
            else:
                lang, cp = struct.unpack("<HH", value)
                expect(hex(lang), hex(LANG_ZH_CN), "VarFileInfo Translation language")
                expect(cp, CODEPAGE_UTF16, "VarFileInfo Translation code page")


# --- icon group --------------------------------------------------------------

def check_icons(pe, res):
    groups = res.get(RT_GROUP_ICON, [])
    labels = [entry_label(n) for n, _ in groups]
    if len(groups) != 1:
        fail(f"icon groups: {labels or 'none'}, expected exactly one, {ICON_GROUP_NAME}")
    group = [(n, l) for n, l in groups if n.name is not None and str(n.name) == ICON_GROUP_NAME]
    if not group:
        if groups:
            fail(f"icon group: none named {ICON_GROUP_NAME} (a name, not a number)")
        return
    name_entry, lang_entry = group[0]
    expect(lang_entry.id, 0, "icon group language (neutral)")
    data = data_of(pe, lang_entry)
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    expect((reserved, kind), (0, 1), "icon group header (reserved, type)")
    if not expect(count, len(ICONS_IN_ORDER), "icon group entry count"):
        return
    if len(data) != 6 + 14 * count:
        fail(f"icon group: {len(data)} bytes, expected {6 + 14 * count}")
        return

    icons = {}
    for n, l in res.get(RT_ICON, []):
        if n.id is None:
            fail(f"icon image {entry_label(n)}: named, expected a number")
            continue
        icons.setdefault(n.id, []).append(l)
    used = set()
    for i, (size, bpp) in enumerate(ICONS_IN_ORDER):
        what = f"icon entry {i + 1} ({size}x{size} {bpp} bpp)"
        w, h, colours, res_byte, planes, bits, nbytes, icon_id = struct.unpack_from(
            "<BBBBHHIH", data, 6 + 14 * i)
        expect((w, h), (size, size), f"{what}: group size")
        expect(bits, bpp, f"{what}: group bit count")
        expect(planes, 1, f"{what}: group planes")
        expect(colours, 16 if bpp == 4 else 0, f"{what}: group colour count")
        langs = icons.get(icon_id, [])
        if len(langs) != 1:
            fail(f"{what}: {len(langs)} RT_ICON images with id {icon_id}, expected 1")
            continue
        used.add(icon_id)
        expect(langs[0].id, 0, f"{what}: image language (neutral)")
        image = data_of(pe, langs[0])
        expect(nbytes, len(image), f"{what}: group byte count against the image")
        if len(image) < 40:
            fail(f"{what}: image is {len(image)} bytes, too short for a BITMAPINFOHEADER")
            continue
        (hsize, bw, bh, bplanes, bbits, compression, _, _, _, used_colours, _) = struct.unpack_from(
            "<IiiHHIIiiII", image, 0)
        if hsize != 40:
            fail(f"{what}: image header size {hsize}, expected 40 (BITMAPINFOHEADER; PNG images are not wanted)")
            continue
        expect((bw, bh), (size, size * 2), f"{what}: image width and doubled height")
        expect(bplanes, 1, f"{what}: image planes")
        expect(bbits, bpp, f"{what}: image bit count")
        expect(compression, 0, f"{what}: image compression (BI_RGB)")
        palette = 4 * (used_colours or (1 << bpp))
        xor = ((size * bpp + 31) // 32 * 4) * size
        mask = ((size + 31) // 32 * 4) * size
        want = 40 + palette + xor + mask
        if len(image) == want - mask:
            fail(f"{what}: no AND mask after the pixels")
        else:
            expect(len(image), want, f"{what}: image size (header, palette, pixels and AND mask)")
    stray = sorted(set(icons) - used)
    if stray:
        fail(f"icon images not in the group: ids {stray}")


# --- manifest ----------------------------------------------------------------

ASM = "{urn:schemas-microsoft-com:asm.v1}"


def check_manifest(pe, res):
    items = res.get(RT_MANIFEST, [])
    if len(items) != 1:
        fail(f"manifest: {len(items)} found, expected exactly 1")
        if not items:
            return
    name_entry, lang_entry = items[0]
    expect(name_entry.id, 1, "manifest id")
    expect(lang_entry.id, 0, "manifest language (neutral)")
    raw = data_of(pe, lang_entry)
    try:
        text = raw.decode("utf-8")
    except UnicodeDecodeError as e:
        fail(f"manifest: not UTF-8: {e}")
        return
    declaration = re.match(r"<\?xml\s[^>]*\?>", text)
    if not declaration:
        fail("manifest: does not start with an XML declaration (and must not start with a BOM)")
    else:
        decl = declaration.group(0)
        if not re.search(r'encoding\s*=\s*["\']UTF-8["\']', decl, re.I):
            fail(f"manifest: declaration is not encoding=\"UTF-8\": {decl}")
        if not re.search(r'standalone\s*=\s*["\']yes["\']', decl):
            fail(f"manifest: declaration is not standalone=\"yes\": {decl}")
    try:
        root = ET.fromstring(raw)
    except ET.ParseError as e:
        fail(f"manifest: not well-formed XML: {e}")
        return

    expect(root.tag, ASM + "assembly", "manifest root element")
    expect(dict(root.attrib), {"manifestVersion": "1.0"}, "manifest root attributes")
    expect([c.tag for c in root], [ASM + "assemblyIdentity", ASM + "dependency"],
           "manifest top-level elements (nothing but the identity and one dependency)")
    own = root.find(ASM + "assemblyIdentity")
    if own is not None:
        attrs = dict(own.attrib)
        if not attrs.pop("name", "").strip():
            fail("manifest assemblyIdentity: no name")
        expect(attrs, {"type": "win32", "processorArchitecture": "x86", "version": "5.2.0.0"},
               "manifest assemblyIdentity attributes")
    deps = root.findall(ASM + "dependency")
    if deps:
        dep = deps[0]
        expect([c.tag for c in dep], [ASM + "dependentAssembly"], "manifest dependency contents")
        da = dep.find(ASM + "dependentAssembly")
        if da is not None:
            expect([c.tag for c in da], [ASM + "assemblyIdentity"], "manifest dependentAssembly contents")
            ident = da.find(ASM + "assemblyIdentity")
            if ident is not None:
                expect(dict(ident.attrib), {
                    "type": "win32",
                    "name": "Microsoft.Windows.Common-Controls",
                    "version": "6.0.0.0",
                    "processorArchitecture": "x86",
                    "publicKeyToken": COMMON_CONTROLS_TOKEN,
                    "language": "*",
                }, "manifest Common-Controls dependency attributes")
    # Nothing else anywhere: no trustInfo, no application settings such as
    # dpiAware, no compatibility section, no text.
    wanted = [ASM + "assembly", ASM + "assemblyIdentity", ASM + "dependency",
              ASM + "dependentAssembly", ASM + "assemblyIdentity"]
    elements = list(root.iter())
    extra = [e.tag for e in elements if e.tag not in wanted]
    if extra:
        fail("manifest: unexpected elements " + ", ".join(extra))
    else:
        expect([e.tag for e in elements], wanted, "manifest elements")
    if any((e.text or "").strip() or (e.tail or "").strip() for e in elements):
        fail("manifest: unexpected text content")

def main():
    if len(sys.argv) != 2:
        sys.exit("usage: check_executable.py PATH/TO/Relvanta.exe")
    path = sys.argv[1]
    try:
        pe = pefile.PE(path)
    except (OSError, pefile.PEFormatError) as e:
        sys.exit(f"executable_check: FAIL: cannot read {path}: {e}")

    check_header(pe)
    dlls = check_imports(pe)
    res = resources(pe)
    check_no_other_resources(res)
    check_version(pe, res)
    check_icons(pe, res)
    check_manifest(pe, res)

    if failures:
        for message in failures:
            print(f"executable_check: FAIL: {message}")
        print(f"executable_check: {len(failures)} failure(s) in {path}")
        return 1
    print(f"executable_check: OK {path}: PE32 i386 GUI; imports {', '.join(dlls)}; "
          f"version {VERSION} (0x0804, 5 strings in order); icon {ICON_GROUP_NAME} "
          f"16/4 16/8 32/4 32/8 bpp; manifest Common-Controls 6.0.0.0 only; no other resources")
    return 0


if __name__ == "__main__":
    sys.exit(main())
