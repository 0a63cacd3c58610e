"""Writes a Windows .ico from raw pixels: for each size one 8-bit palette image and one 32-bit image.

Usage: make_ico.py WORKDIR OUTPUT SIZE...  (WORKDIR holds SIZE.rgba and SIZE.rgb for every size)
"""
import struct
import sys
from pathlib import Path


def and_mask(alpha_rows, size):
    """1 bit per pixel, set where the pixel is transparent; rows padded to 32 bits, bottom-up."""
    row_bytes = (size + 31) // 32 * 4
    mask = bytearray()
    for row in reversed(alpha_rows):
        bits = bytearray(row_bytes)
        for x, alpha in enumerate(row):
            if alpha < 128:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return bytes(mask)


def bitmap_header(size, bit_count, colours):
    # The height counts the colour rows and the mask rows together.
    return struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bit_count, 0, 0, 0, 0, colours, 0)


def image_32bit(rgba, size):
    rows = [rgba[y * size * 4:(y + 1) * size * 4] for y in range(size)]
    pixels = bytearray()
    for row in reversed(rows):
        for x in range(size):
            r, g, b, a = row[x * 4:x * 4 + 4]
            pixels += bytes((b, g, r, a))
    alpha_rows = [[row[x * 4 + 3] for x in range(size)] for row in rows]
    return bitmap_header(size, 32, 0) + bytes(pixels) + and_mask(alpha_rows, size)


def image_8bit(rgb, rgba, size):
    colours = []
    index_of = {}
    indexes = []
    for y in range(size):
        row = []
        for x in range(size):
            colour = rgb[(y * size + x) * 3:(y * size + x) * 3 + 3]
            if colour not in index_of:
                index_of[colour] = len(colours)
                colours.append(colour)
            row.append(index_of[colour])
        indexes.append(row)
    if len(colours) > 256:
        sys.exit(f"{size}px: {len(colours)} colours, expected at most 256")
    palette = b"".join(bytes((c[2], c[1], c[0], 0)) for c in colours)
    palette += bytes(4 * (256 - len(colours)))
    row_bytes = (size + 3) // 4 * 4
    pixels = b"".join(bytes(row) + bytes(row_bytes - size) for row in reversed(indexes))
    alpha_rows = [[rgba[(y * size + x) * 4 + 3] for x in range(size)] for y in range(size)]
    return bitmap_header(size, 8, 256) + palette + pixels + and_mask(alpha_rows, size)


def main():
    work, output, sizes = Path(sys.argv[1]), Path(sys.argv[2]), [int(s) for s in sys.argv[3:]]
    images = []
    for size in sizes:
        rgba = (work / f"{size}.rgba").read_bytes()
        rgb = (work / f"{size}.rgb").read_bytes()
        images.append((size, 8, image_8bit(rgb, rgba, size)))
        images.append((size, 32, image_32bit(rgba, size)))

    directory = struct.pack("<HHH", 0, 1, len(images))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        colour_count = 0  # 256 colours is written as 0
        directory += struct.pack("<BBBBHHII", size, size, colour_count, 0, 1, bits, len(data), offset)
        offset += len(data)
    output.write_bytes(directory + b"".join(data for _, _, data in images))


if __name__ == "__main__":
    main()
