#!/usr/bin/env python3
"""Compares two PNG files by what they hold rather than by their bytes:
the header (size, bit depth, colour type, interlace), the palette in its
order, every other chunk but the image data, and every pixel, the rows
unfiltered and inflated. Two writers that compress or filter differently
give the same answer for the same picture.

  scripts/png-meaning.py OLD.png NEW.png

Prints the first difference and exits 1; exits 0 when they hold the same.
Every chunk's CRC and the zlib stream's Adler-32 are checked on the way.
"""
import struct
import sys
import zlib

SIGNATURE = b"\x89PNG\r\n\x1a\n"
CHANNELS = {0: 1, 2: 3, 3: 1, 4: 2, 6: 4}  # by colour type


def chunks(data, name):
    if data[:8] != SIGNATURE:
        raise ValueError(f"{name}: no PNG signature")
    at = 8
    while at < len(data):
        length, kind = struct.unpack(">I4s", data[at:at + 8])
        body = data[at + 8:at + 8 + length]
        (crc,) = struct.unpack(">I", data[at + 8 + length:at + 12 + length])
        if zlib.crc32(kind + body) != crc:
            raise ValueError(f"{name}: wrong CRC in {kind.decode()}")
        yield kind.decode(), body
        at += 12 + length


def predictor(kind, left, up, upper_left):
    if kind == 1:
        return left
    if kind == 2:
        return up
    if kind == 3:
        return (left + up) // 2
    p = left + up - upper_left  # 4: Paeth
    pa, pb, pc = abs(p - left), abs(p - up), abs(p - upper_left)
    return left if pa <= pb and pa <= pc else up if pb <= pc else upper_left


def unfiltered(raw, width, height, depth, color_type):
    step = max(1, CHANNELS[color_type] * depth // 8)  # bytes to the pixel on the left
    stride = (width * CHANNELS[color_type] * depth + 7) // 8
    rows, prior = [], bytearray(stride)
    for y in range(height):
        at = y * (stride + 1)
        kind, line = raw[at], bytearray(raw[at + 1:at + 1 + stride])
        for i in range(stride if kind else 0):  # filter 0 leaves the row as it is
            left, upper_left = (line[i - step], prior[i - step]) if i >= step else (0, 0)
            line[i] = (line[i] + predictor(kind, left, prior[i], upper_left)) & 0xFF
        rows.append(bytes(line))
        prior = line
    return rows


def meaning(path):
    with open(path, "rb") as f:
        data = f.read()
    others, idat = [], b""
    for kind, body in chunks(data, path):
        if kind == "IDAT":
            idat += body
        else:
            others.append((kind, body))
    ihdr = dict(others)["IHDR"]
    width, height, depth, color_type, _, _, interlace = struct.unpack(">IIBBBBB", ihdr)
    if interlace:
        raise ValueError(f"{path}: interlaced")
    return others, unfiltered(zlib.decompress(idat), width, height, depth, color_type)


def main():
    old, new = meaning(sys.argv[1]), meaning(sys.argv[2])
    if old[0] != new[0]:
        print(f"chunks differ: {[k for k, _ in old[0]]} against {[k for k, _ in new[0]]}, or their data")
        return 1
    for y, (a, b) in enumerate(zip(old[1], new[1])):
        if a != b:
            print(f"row {y} differs")
            return 1
    return 0


if __name__ == "__main__":
    sys.exit(main())
