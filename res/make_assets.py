#!/usr/bin/env python3
"""Generates the binary resources (icon 128, banner bitmap 129) so that none is committed.

Usage: make_assets.py OUTPUT_DIR
"""
import os
import struct
import sys

FONT = {  # 5 x 7 glyphs, one string per row
    'A': ["01110", "10001", "10001", "11111", "10001", "10001", "10001"],
    'E': ["11111", "10000", "10000", "11110", "10000", "10000", "11111"],
    'I': ["11111", "00100", "00100", "00100", "00100", "00100", "11111"],
    'L': ["10000", "10000", "10000", "10000", "10000", "10000", "11111"],
    'M': ["10001", "11011", "10101", "10101", "10001", "10001", "10001"],
    'P': ["11110", "10001", "10001", "11110", "10000", "10000", "10000"],
    'S': ["01111", "10000", "10000", "01110", "00001", "00001", "11110"],
    'T': ["11111", "00100", "00100", "00100", "00100", "00100", "00100"],
    'U': ["10001", "10001", "10001", "10001", "10001", "10001", "01110"],
    'V': ["10001", "10001", "10001", "10001", "10001", "01010", "00100"],
    'X': ["10001", "10001", "01010", "00100", "01010", "10001", "10001"],
    ' ': ["00000"] * 7,
}


def draw_text(pixels, width, text, x, y, scale, colour):
    for ch in text:
        for row, bits in enumerate(FONT[ch]):
            for col, bit in enumerate(bits):
                if bit == '1':
                    for dy in range(scale):
                        for dx in range(scale):
                            pixels[(y + row * scale + dy) * width + x + col * scale + dx] = colour
        x += 6 * scale


def icon_pixels(size):
    """A film frame with a clock hand: the program's sign. Returns BGRA rows, top first."""
    px = []
    border = max(1, size // 8)
    for y in range(size):
        for x in range(size):
            inside = border <= x < size - border and border <= y < size - border
            hole = (x < border or x >= size - border) and (y % (size // 4) in (1, 2))
            if hole:
                px.append((255, 255, 255, 255))
            elif inside:
                cx, cy = x - size / 2 + 0.5, y - size / 2 + 0.5
                r = (cx * cx + cy * cy) ** 0.5
                hand = (abs(cx) < size / 16 and cy < 0) or (abs(cy) < size / 16 and cx > 0)
                if r < size * 0.3 and hand:
                    px.append((20, 20, 20, 255))
                elif r < size * 0.3:
                    px.append((250, 240, 220, 255))
                else:
                    px.append((200, 120, 30, 255))
            else:
                px.append((40, 40, 40, 255))
    return px


def icon_image(size):
    rows = icon_pixels(size)
    header = struct.pack('<IiiHHIIiiII', 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    data = bytearray()
    for y in reversed(range(size)):
        for x in range(size):
            b, g, r, a = rows[y * size + x]
            data += bytes((b, g, r, a))
    mask_row = ((size + 31) // 32) * 4
    data += bytes(mask_row * size)
    return header + bytes(data)


def write_icon(path):
    images = [icon_image(32), icon_image(16)]
    out = bytearray(struct.pack('<HHH', 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, img in zip((32, 16), images):
        out += struct.pack('<BBBBHHII', size, size, 0, 0, 1, 32, len(img), offset)
        offset += len(img)
    for img in images:
        out += img
    with open(path, 'wb') as f:
        f.write(out)


def write_banner(path, width=285, height=61):
    pixels = []
    for y in range(height):
        for x in range(width):
            t = x / (width - 1)
            pixels.append((int(120 + 100 * t), int(60 + 40 * t), int(20 + 30 * t)))
    draw_text(pixels, width, "LUMVEX", 12, 8, 3, (255, 255, 255))
    draw_text(pixels, width, "TIME LAPSE", 14, 38, 2, (230, 200, 120))
    for x in range(0, width, 12):  # film perforations along the right side
        if x > 150:
            for y in range(3, 7):
                for dx in range(6):
                    pixels[y * width + x + dx] = (230, 230, 230)
                    pixels[(height - 1 - y) * width + x + dx] = (230, 230, 230)
    stride = (width * 3 + 3) & ~3
    data = bytearray()
    for y in reversed(range(height)):
        row = bytearray()
        for x in range(width):
            r, g, b = pixels[y * width + x]
            row += bytes((b, g, r))
        row += bytes(stride - len(row))
        data += row
    info = struct.pack('<IiiHHIIiiII', 40, width, height, 1, 24, 0, len(data), 2835, 2835, 0, 0)
    head = struct.pack('<2sIHHI', b'BM', 14 + len(info) + len(data), 0, 0, 14 + len(info))
    with open(path, 'wb') as f:
        f.write(head + info + data)


if __name__ == '__main__':
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    write_icon(os.path.join(out_dir, 'app.ico'))
    write_banner(os.path.join(out_dir, 'banner.bmp'))
