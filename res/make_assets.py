#!/usr/bin/env python3
"""Generates the binary resources (icon 128, banner bitmap 129, busy GIF 133) so that none is
committed.

Usage: make_assets.py OUTPUT_DIR
"""
import math
import os
import struct
import subprocess
import sys
import tempfile

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


BUSY_SIZE = 32
BUSY_FRAMES = 31
BUSY_DELAY = 5          # hundredths of a second
BUSY_DOTS = 12
BUSY_BACKGROUND = (240, 240, 240)   # button face; also the transparent entry's colour
BUSY_INK = (40, 90, 170)
BUSY_PALETTE = 128      # entry 0 transparent, 1..127 from background to ink


def busy_palette():
    colours = [BUSY_BACKGROUND]
    for i in range(1, BUSY_PALETTE):
        t = (i - 1) / (BUSY_PALETTE - 2)
        colours.append(tuple(round(b + (k - b) * t) for b, k in zip(BUSY_BACKGROUND, BUSY_INK)))
    return b''.join(bytes(c) for c in colours)


def busy_frame(index):
    """Colour indices of one frame: a ring of dots whose shade follows a head going round.

    Every dot is drawn in every frame, over the same pixels, so frames that are not disposed
    (disposal 0) still replace each other cleanly; only the space between dots is transparent.
    """
    centre = (BUSY_SIZE - 1) / 2
    ring, dot = 11.0, 2.3
    head = 2 * math.pi * index / BUSY_FRAMES
    dots = []
    for j in range(BUSY_DOTS):
        angle = 2 * math.pi * j / BUSY_DOTS
        behind = (head - angle) % (2 * math.pi)
        shade = 0.15 + 0.85 * (1 - behind / (2 * math.pi)) ** 2
        dots.append((centre + ring * math.sin(angle), centre - ring * math.cos(angle), shade))
    samples = 4
    pixels = bytearray()
    for y in range(BUSY_SIZE):
        for x in range(BUSY_SIZE):
            cover, ink = 0, 0.0
            for sy in range(samples):
                for sx in range(samples):
                    px = x + (sx + 0.5) / samples
                    py = y + (sy + 0.5) / samples
                    for dx, dy, shade in dots:
                        if (px - dx - 0.5) ** 2 + (py - dy - 0.5) ** 2 <= dot * dot:
                            cover += 1
                            ink += shade
                            break
            if cover == 0:
                pixels.append(0)
            else:
                t = ink / (samples * samples)
                pixels.append(1 + round(t * (BUSY_PALETTE - 2)))
    return bytes(pixels)


def write_busy_gif(path):
    """The work dialog's busy indicator: a 32 x 32 GIF looping for ever, 31 frames of 50 ms
    with a transparent background, put together by ImageMagick from one picture per frame."""
    palette = busy_palette()
    with tempfile.TemporaryDirectory() as folder:
        frames = []
        for index in range(BUSY_FRAMES):
            rgba = bytearray()
            for i in busy_frame(index):
                rgba += palette[3 * i:3 * i + 3] + bytes((0 if i == 0 else 255,))
            frame = os.path.join(folder, 'frame%02d.pam' % index)
            with open(frame, 'wb') as f:
                f.write(b'P7\nWIDTH %d\nHEIGHT %d\nDEPTH 4\nMAXVAL 255\nTUPLTYPE RGB_ALPHA\nENDHDR\n'
                        % (BUSY_SIZE, BUSY_SIZE) + rgba)
            frames.append(frame)
        subprocess.run(['convert', '-delay', str(BUSY_DELAY), '-dispose', 'None', *frames, '-loop', '0', path],
                       check=True)


if __name__ == '__main__':
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    write_icon(os.path.join(out_dir, 'app.ico'))
    write_banner(os.path.join(out_dir, 'banner.bmp'))
    write_busy_gif(os.path.join(out_dir, 'busy.gif'))
