#!/usr/bin/env python3
"""Convert a Windows .bmp (24 or 32 bits, uncompressed) or .ico to a PNG for viewing.

    python3 tools/bmp_to_png.py IN.bmp OUT.png [--scale N]

An .ico is shown as all its images side by side on a checkerboard, so the
transparent parts and the AND mask can be judged.  --scale enlarges every pixel
to an N x N block (nearest neighbour), which is how pixel artwork is best judged.
Standard library only.
"""
import struct
import sys
import zlib


def read_dib(data, offset, is_icon, pixel_start=None):
    """Decode one DIB (info header + pixels) into rows of (r, g, b, a)."""
    (size, width, height, _planes, bits, compression) = struct.unpack_from(
        "<IiiHHI", data, offset)
    if size < 40:
        raise ValueError("unsupported info header size %d" % size)
    if compression not in (0, 3):
        raise ValueError("compressed bitmaps are not supported")
    if bits not in (24, 32):
        raise ValueError("only 24 and 32 bits per pixel are supported")
    if is_icon:
        height //= 2  # XOR image and AND mask share the height field
    bottom_up = height > 0
    height = abs(height)
    stride = ((width * bits + 31) // 32) * 4
    if pixel_start is None:
        pixel_start = offset + size
    rows = []
    for stored in range(height):
        base = pixel_start + stored * stride
        row = []
        for x in range(width):
            p = base + x * (bits // 8)
            b, g, r = data[p], data[p + 1], data[p + 2]
            a = data[p + 3] if bits == 32 and is_icon else 255
            row.append((r, g, b, a))
        rows.append(row)
    if is_icon:
        mask_stride = ((width + 31) // 32) * 4
        mask_start = pixel_start + stride * height
        for stored in range(height):
            base = mask_start + stored * mask_stride
            for x in range(width):
                if data[base + x // 8] & (0x80 >> (x % 8)):
                    r, g, b, a = rows[stored][x]
                    # A set mask bit means transparent, whatever the alpha says.
                    rows[stored][x] = (r, g, b, 0)
    if bottom_up:
        rows.reverse()
    return rows


def read_bmp(data):
    if data[:2] != b"BM":
        raise ValueError("not a BMP file")
    (pixel_offset,) = struct.unpack_from("<I", data, 10)
    return read_dib(data, 14, False, pixel_offset)


def checker(x, y):
    return (204, 204, 204) if ((x // 4) + (y // 4)) % 2 else (153, 153, 153)


def read_ico(data):
    reserved, kind, count = struct.unpack_from("<HHH", data, 0)
    if reserved != 0 or kind != 1:
        raise ValueError("not an ICO file")
    images = []
    for i in range(count):
        (_w, _h, _c, _r, _planes, _bits, _size, offset) = struct.unpack_from(
            "<BBBBHHII", data, 6 + 16 * i)
        images.append(read_dib(data, offset, True))
    gap = 4
    width = sum(len(im[0]) for im in images) + gap * (len(images) + 1)
    height = max(len(im) for im in images) + 2 * gap
    canvas = [[checker(x, y) for x in range(width)] for y in range(height)]
    left = gap
    for im in images:
        for y, row in enumerate(im):
            for x, (r, g, b, a) in enumerate(row):
                bg = canvas[gap + y][left + x]
                canvas[gap + y][left + x] = tuple(
                    (c * a + k * (255 - a) + 127) // 255 for c, k in zip((r, g, b), bg))
        left += len(im[0]) + gap
    return [[(r, g, b, 255) for (r, g, b) in row] for row in canvas]


def write_png(path, rows, scale):
    width = len(rows[0]) * scale
    height = len(rows) * scale
    raw = bytearray()
    for row in rows:
        line = bytearray([0])
        for (r, g, b, _a) in row:
            line += bytes((r, g, b)) * scale
        for _ in range(scale):
            raw += line

    def chunk(tag, payload):
        body = tag + payload
        return struct.pack(">I", len(payload)) + body + struct.pack(
            ">I", zlib.crc32(body) & 0xFFFFFFFF)

    with open(path, "wb") as f:
        f.write(b"\x89PNG\r\n\x1a\n")
        f.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        f.write(chunk(b"IDAT", zlib.compress(bytes(raw), 9)))
        f.write(chunk(b"IEND", b""))


def main(argv):
    args = [a for a in argv[1:]]
    scale = 1
    if "--scale" in args:
        i = args.index("--scale")
        scale = int(args[i + 1])
        del args[i:i + 2]
    if len(args) != 2 or scale < 1:
        sys.stderr.write("usage: bmp_to_png.py IN.bmp|IN.ico OUT.png [--scale N]\n")
        return 2
    with open(args[0], "rb") as f:
        data = f.read()
    rows = read_ico(data) if data[:4] == b"\x00\x00\x01\x00" else read_bmp(data)
    write_png(args[1], rows, scale)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
