#!/usr/bin/env python3
"""Compares velda-convert's picture of a BSAVE file with what the openMSX
emulator shows of it (scripts/openmsx-shot.sh), pixel by pixel.

  scripts/compare-openmsx.py [--convert PATH] [-s N] [--sprites SIZE] [--msx1] FILE

SCREEN 1-8. With --msx1 (SCREEN 1-3) the emulated MSX1 is compared with
--colors msx1, colour for colour. Otherwise the emulated MSX2's palette
is the file's palette table where VELDA takes it (COLOR=RESTORE), else the
power-on palette, and VELDA's colours are compared level for level: each
3-bit level is mapped to the 8-bit value openMSX shows for it at gamma
1.0 (openmsx-shot.sh's setting), 255 * level / 7. Prints the pixels that
differ; exits 1 when any does.
"""
import argparse
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
# What openMSX shows of each 3-bit level on a V9938, and of SCREEN 8's
# 2-bit blue (levels 0, 2, 4 and 7).
V9938_LEVELS = [255 * level // 7 for level in range(8)]
SCREEN8_BLUE = [V9938_LEVELS[level] for level in (0, 2, 4, 7)]
PALETTE_TABLES = {1: 0x2020, 2: 0x1B80, 3: 0x2020, 4: 0x1B80, 5: 0x7680, 6: 0x7680, 7: 0xFA80}


def read_ppm(path):
    data = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], check=True, capture_output=True).stdout
    fields, at = [], 0
    while len(fields) < 4:  # P6, width, height, maximum
        while data[at:at + 1].isspace():
            at += 1
        end = at
        while not data[end:end + 1].isspace():
            end += 1
        fields.append(data[at:end])
        at = end
    width, height = int(fields[1]), int(fields[2])
    pixels = data[at + 1:]
    return width, height, [tuple(pixels[3 * i:3 * i + 3]) for i in range(width * height)]


def holds_palette(table):
    return all(table[i] & 0x88 == 0 and table[i + 1] & 0xF8 == 0 for i in range(0, 32, 2)) and any(table)


def palette_option(path, screen):
    """openmsx-shot's palette option for the file, as VELDA takes its palette."""
    if screen not in PALETTE_TABLES:
        return []
    data = open(path, "rb").read()
    start, end = data[1] | data[2] << 8, data[3] | data[4] << 8
    placed_end = start + min(end - start + 1, len(data) - 7)
    table = PALETTE_TABLES[screen]
    if start > table or placed_end <= table:
        return []
    if screen <= 4:
        at = 7 + table - start
        if placed_end < table + 32 or not holds_palette(data[at:at + 32]):
            return []
    return ["--palette-from-vram", hex(table)]


def as_openmsx(color, screen):
    r, g, b = color
    blue = SCREEN8_BLUE[b >> 6] if screen == 8 else V9938_LEVELS[b >> 5]
    return (V9938_LEVELS[r >> 5], V9938_LEVELS[g >> 5], blue)


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("file")
    parser.add_argument("-s", "--screen", type=int, required=True)
    parser.add_argument("--sprites", default="none")
    parser.add_argument("--msx1", action="store_true")
    parser.add_argument("--convert", default="build/native/velda-convert")
    args = parser.parse_args()
    with tempfile.TemporaryDirectory() as work:
        mine, theirs = os.path.join(work, "velda.png"), os.path.join(work, "openmsx.png")
        colors = "msx1" if args.msx1 else "velda"
        subprocess.run([args.convert, "-q", "-f", "png", "-s", str(args.screen), "--colors", colors,
                        "--sprites", args.sprites, "-o", mine, args.file], check=True)
        shot = [os.path.join(HERE, "openmsx-shot.sh"), "-s", str(args.screen), "--sprites", args.sprites]
        shot += ["--msx1"] if args.msx1 else palette_option(args.file, args.screen)
        subprocess.run(shot + [args.file, theirs], check=True, stdout=subprocess.DEVNULL)
        width, height, ours = read_ppm(mine)
        their_width, their_height, shown = read_ppm(theirs)
        if (width, height) != (their_width, their_height):
            print(f"{args.file}: {width} x {height}, openMSX {their_width} x {their_height}")
            return 1
        expected = ours if args.msx1 else [as_openmsx(c, args.screen) for c in ours]
        wrong = [i for i in range(len(shown)) if shown[i] != expected[i]]
        for i in wrong[:5]:
            print(f"  ({i % width}, {i // width}): VELDA {expected[i]}, openMSX {shown[i]}")
        print(f"{args.file}: SCREEN {args.screen}, sprites {args.sprites}{', msx1' if args.msx1 else ''}: "
              f"{len(wrong)} of {len(shown)} pixels differ")
        return 1 if wrong else 0


if __name__ == "__main__":
    sys.exit(main())
