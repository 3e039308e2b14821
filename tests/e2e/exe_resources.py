"""Reads what Explorer shows of an exe: its version resource, its dialog templates and its manifest.

A small reader of the PE format's resource tree, enough for the tests to compare the version dialog, the
file's properties and the release package's name without starting Windows.
"""
import struct

RT_DIALOG, RT_VERSION, RT_MANIFEST = 5, 16, 24


def resources(data):
    """Every resource of a 64-bit or 32-bit PE image: {(type, name, language): bytes}."""
    pe = struct.unpack_from("<I", data, 0x3C)[0]
    if data[pe:pe + 4] != b"PE\0\0":
        raise ValueError("not a PE image")
    sections, optional_size = struct.unpack_from("<H12xH", data, pe + 6)
    optional = pe + 24
    magic = struct.unpack_from("<H", data, optional)[0]
    directories = optional + (112 if magic == 0x20B else 96)
    rsrc_rva = struct.unpack_from("<I", data, directories + 2 * 8)[0]
    table = optional + optional_size

    def file_offset(rva):
        for i in range(sections):
            size, address, raw_size, raw = struct.unpack_from("<IIII", data, table + 40 * i + 8)
            if address <= rva < address + max(size, raw_size):
                return raw + rva - address
        raise ValueError(f"address {rva:#x} lies in no section")

    base = file_offset(rsrc_rva)
    found = {}

    def walk(offset, path):
        named, numbered = struct.unpack_from("<HH", data, base + offset + 12)
        for i in range(named + numbered):
            key, target = struct.unpack_from("<II", data, base + offset + 16 + 8 * i)
            if key & 0x80000000:
                length = struct.unpack_from("<H", data, base + (key & 0x7FFFFFFF))[0]
                start = base + (key & 0x7FFFFFFF) + 2
                key = data[start:start + 2 * length].decode("utf-16-le")
            if target & 0x80000000:
                walk(target & 0x7FFFFFFF, path + (key,))
            else:
                rva, size = struct.unpack_from("<II", data, base + target)
                start = file_offset(rva)
                found[path + (key,)] = data[start:start + size]
    walk(0, ())
    return found


def first(found, kind, name=None):
    for (t, n, _), data in found.items():
        if t == kind and (name is None or n == name):
            return data
    return None


def _string(data, pos):
    end = pos
    while data[end:end + 2] != b"\0\0":
        end += 2
    return data[pos:end].decode("utf-16-le"), end + 2


def _align(pos):
    return (pos + 3) & ~3


def version_strings(block):
    """The StringFileInfo values of a version resource, and the fixed file and product versions."""
    strings, fixed = {}, {}

    def node(pos):
        length, value_length, kind = struct.unpack_from("<HHH", block, pos)
        key, after = _string(block, pos + 6)
        value_at = _align(after)
        end = pos + length
        if key == "VS_VERSION_INFO":
            ms, ls, pms, pls = struct.unpack_from("<IIII", block, value_at + 8)
            fixed["file"] = (ms >> 16, ms & 0xFFFF, ls >> 16, ls & 0xFFFF)
            fixed["product"] = (pms >> 16, pms & 0xFFFF, pls >> 16, pls & 0xFFFF)
            children = _align(value_at + value_length)
        elif kind == 1 and value_length and key not in ("StringFileInfo", "VarFileInfo"):
            text = block[value_at:value_at + 2 * value_length].decode("utf-16-le").rstrip("\0")
            strings[key] = text
            children = end
        else:
            children = _align(value_at + (value_length if kind == 0 else 2 * value_length))
        while children < end:
            children = _align(node(children))
        return end
    node(0)
    return strings, fixed


def _sz_or_ord(data, pos):
    first_word = struct.unpack_from("<H", data, pos)[0]
    if first_word == 0:
        return None, pos + 2
    if first_word == 0xFFFF:
        return struct.unpack_from("<H", data, pos + 2)[0], pos + 4
    return _string(data, pos)


def dialog(template):
    """Title and the (id, class, text) of each control of a DIALOG or DIALOGEX template."""
    extended = struct.unpack_from("<HH", template, 0) == (1, 0xFFFF)
    if extended:
        style = struct.unpack_from("<I", template, 12)[0]
        count = struct.unpack_from("<H", template, 16)[0]
        pos = 26
    else:
        style = struct.unpack_from("<I", template, 0)[0]
        count = struct.unpack_from("<H", template, 8)[0]
        pos = 18
    _, pos = _sz_or_ord(template, pos)  # menu
    _, pos = _sz_or_ord(template, pos)  # class
    title, pos = _string(template, pos)
    if style & 0x40:  # DS_SETFONT
        pos += 6 if extended else 2
        _, pos = _string(template, pos)
    controls = []
    for _ in range(count):
        pos = _align(pos)
        if extended:
            control_id = struct.unpack_from("<I", template, pos + 20)[0]
            pos += 24
        else:
            control_id = struct.unpack_from("<H", template, pos + 16)[0]
            pos += 18
        kind, pos = _sz_or_ord(template, pos)
        text, pos = _sz_or_ord(template, pos)
        extra = struct.unpack_from("<H", template, pos)[0]
        pos += 2 + extra
        controls.append((control_id, kind, text))
    return title, controls
