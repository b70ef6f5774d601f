#!/usr/bin/env python3
"""The dialog's picture against its reference, with no library beyond Python's own.

  picture.py png BMP PNG                  the host's 24-bit BMP as a PNG
  picture.py compare BMP REFERENCE.png    fails when they differ

Compare: the pictures must have the same size, and at most 0.5 % of the
pixels may differ by more than 64 in a colour channel (room for a glyph drawn
a pixel aside or another grey in an edge; a missing caption, box or label
takes several percent). Prints the measure either way; on a difference it
writes BMP's PNG and a map of the differing pixels (red) beside BMP.
"""
import struct
import sys
import zlib

MAX_DIFFERING = 0.005
CHANNEL_TOLERANCE = 64


def read_bmp(path):
    """(width, height, rows of RGB bytes, top row first) of a 24-bit BI_RGB BMP."""
    data = open(path, "rb").read()
    if data[:2] != b"BM":
        raise ValueError(f"{path}: not a BMP file")
    offset = struct.unpack_from("<I", data, 10)[0]
    width, height, _, bits, compression = struct.unpack_from("<iiHHI", data, 18)
    if bits != 24 or compression != 0 or width <= 0 or height == 0:
        raise ValueError(f"{path}: not an uncompressed 24-bit picture")
    stride = (width * 3 + 3) & ~3
    rows = []
    for y in range(abs(height)):
        start = offset + y * stride
        bgr = data[start:start + width * 3]
        if len(bgr) != width * 3:
            raise ValueError(f"{path}: truncated")
        rgb = bytearray(len(bgr))
        rgb[0::3], rgb[1::3], rgb[2::3] = bgr[2::3], bgr[1::3], bgr[0::3]
        rows.append(bytes(rgb))
    if height > 0:
        rows.reverse()  # stored bottom-up
    return width, abs(height), rows


def write_png(path, width, height, rows):
    def chunk(kind, body):
        return struct.pack(">I", len(body)) + kind + body + struct.pack(">I", zlib.crc32(kind + body))
    raw = b"".join(b"\0" + row for row in rows)
    with open(path, "wb") as out:
        out.write(b"\x89PNG\r\n\x1a\n")
        out.write(chunk(b"IHDR", struct.pack(">IIBBBBB", width, height, 8, 2, 0, 0, 0)))
        out.write(chunk(b"IDAT", zlib.compress(raw, 9)))
        out.write(chunk(b"IEND", b""))


def read_png(path):
    """(width, height, rows) of an 8-bit RGB, non-interlaced PNG (as write_png makes)."""
    data = open(path, "rb").read()
    if data[:8] != b"\x89PNG\r\n\x1a\n":
        raise ValueError(f"{path}: not a PNG file")
    pos, idat, header = 8, b"", None
    while pos < len(data):
        length, kind = struct.unpack_from(">I4s", data, pos)
        body = data[pos + 8:pos + 8 + length]
        if kind == b"IHDR":
            header = struct.unpack(">IIBBBBB", body)
        elif kind == b"IDAT":
            idat += body
        pos += 12 + length
    width, height, depth, colour, _, _, interlace = header
    if depth != 8 or colour != 2 or interlace != 0:
        raise ValueError(f"{path}: not an 8-bit RGB PNG")
    raw = zlib.decompress(idat)
    stride = width * 3
    rows, previous = [], bytearray(stride)
    for y in range(height):
        kind = raw[y * (stride + 1)]
        line = bytearray(raw[y * (stride + 1) + 1:(y + 1) * (stride + 1)])
        for i in range(stride):
            left = line[i - 3] if i >= 3 else 0
            up = previous[i]
            corner = previous[i - 3] if i >= 3 else 0
            if kind == 1:
                line[i] = (line[i] + left) & 0xFF
            elif kind == 2:
                line[i] = (line[i] + up) & 0xFF
            elif kind == 3:
                line[i] = (line[i] + (left + up) // 2) & 0xFF
            elif kind == 4:
                p = left + up - corner
                pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
                line[i] = (line[i] + (left if pa <= pb and pa <= pc else up if pb <= pc else corner)) & 0xFF
        rows.append(bytes(line))
        previous = line
    return width, height, rows


def compare(bmp, reference):
    width, height, rows = read_bmp(bmp)
    ref_width, ref_height, ref_rows = read_png(reference)
    if (width, height) != (ref_width, ref_height):
        print(f"picture {width}x{height}, reference {ref_width}x{ref_height}")
        write_png(bmp[:-4] + ".png", width, height, rows)
        return False
    differing = 0
    marks = []
    for row, ref_row in zip(rows, ref_rows):
        mark = bytearray(row)
        for x in range(width):
            a, b = row[3 * x:3 * x + 3], ref_row[3 * x:3 * x + 3]
            if max(abs(a[0] - b[0]), abs(a[1] - b[1]), abs(a[2] - b[2])) > CHANNEL_TOLERANCE:
                differing += 1
                mark[3 * x:3 * x + 3] = b"\xff\x00\x00"
        marks.append(bytes(mark))
    share = differing / (width * height)
    ok = share <= MAX_DIFFERING
    print(f"{differing} of {width * height} pixels differ ({share:.2%}, at most {MAX_DIFFERING:.2%})")
    if not ok:
        write_png(bmp[:-4] + ".png", width, height, rows)
        write_png(bmp[:-4] + "-differences.png", width, height, marks)
    return ok


def main(argv):
    if len(argv) == 4 and argv[1] == "png":
        write_png(argv[3], *read_bmp(argv[2]))
        return 0
    if len(argv) == 4 and argv[1] == "compare":
        return 0 if compare(argv[2], argv[3]) else 1
    print(__doc__, file=sys.stderr)
    return 2


if __name__ == "__main__":
    try:
        sys.exit(main(sys.argv))
    except (OSError, ValueError, struct.error, zlib.error, TypeError) as error:
        print(f"picture.py: {error}", file=sys.stderr)
        sys.exit(2)
