#!/usr/bin/env python3
"""Draws the program's icon (src/app/VSysCleaner.ico): a green shield with a white tick on a blue
rounded tile, at 16, 32 and 48 pixels, 32-bit with alpha. Run it again after changing the drawing."""
import struct
import sys


def inside_round_rect(x, y, size, radius):
    lo, hi = radius, size - radius
    cx = min(max(x, lo), hi)
    cy = min(max(y, lo), hi)
    return (x - cx) ** 2 + (y - cy) ** 2 <= radius ** 2


def inside_shield(x, y, size):
    # Shield: flat top, straight sides down to the middle, then a point at the bottom.
    left, right, top, bottom = size * 0.22, size * 0.78, size * 0.16, size * 0.88
    mid = size * 0.52
    if y < top or y > bottom:
        return False
    if y <= mid:
        return left <= x <= right
    t = (y - mid) / (bottom - mid)
    half = (right - left) / 2 * (1 - t)
    centre = (left + right) / 2
    return centre - half <= x <= centre + half


def near_segment(x, y, a, b, width):
    ax, ay = a
    bx, by = b
    dx, dy = bx - ax, by - ay
    t = max(0.0, min(1.0, ((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy)))
    px, py = ax + t * dx, ay + t * dy
    return (x - px) ** 2 + (y - py) ** 2 <= (width / 2) ** 2


def pixel(x, y, size):
    """Colour (r, g, b, a) at a point of the icon, in icon pixel units."""
    tick = [(size * 0.34, size * 0.50), (size * 0.46, size * 0.64), (size * 0.68, size * 0.34)]
    width = max(1.6, size * 0.09)
    if near_segment(x, y, tick[0], tick[1], width) or near_segment(x, y, tick[1], tick[2], width):
        if inside_shield(x, y, size):
            return (255, 255, 255, 255)
    if inside_shield(x, y, size):
        edge = not inside_shield(x - size * 0.04, y, size) or not inside_shield(x + size * 0.04, y, size)
        return (235, 245, 235, 255) if edge else (70, 175, 80, 255)
    if inside_round_rect(x, y, size, size * 0.18):
        shade = int(150 + 80 * (1 - y / size))
        return (30, 80, shade, 255)
    return (0, 0, 0, 0)


def render(size, samples=4):
    rows = []
    for y in range(size):
        row = []
        for x in range(size):
            acc = [0, 0, 0, 0]
            for sy in range(samples):
                for sx in range(samples):
                    r, g, b, a = pixel(x + (sx + 0.5) / samples, y + (sy + 0.5) / samples, size)
                    acc[0] += r * a
                    acc[1] += g * a
                    acc[2] += b * a
                    acc[3] += a
            n = samples * samples
            alpha = acc[3] / n
            if acc[3]:
                row.append((acc[0] // acc[3], acc[1] // acc[3], acc[2] // acc[3], int(alpha)))
            else:
                row.append((0, 0, 0, 0))
        rows.append(row)
    return rows


def icon_image(size):
    rows = render(size)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    pixels = b"".join(bytes((b, g, r, a)) for row in reversed(rows) for (r, g, b, a) in row)
    mask_stride = ((size + 31) // 32) * 4
    mask = bytearray()
    for row in reversed(rows):
        bits = bytearray(mask_stride)
        for x, (_, _, _, a) in enumerate(row):
            if a == 0:
                bits[x // 8] |= 0x80 >> (x % 8)
        mask += bits
    return header + pixels + bytes(mask)


def main(path):
    sizes = [16, 32, 48]
    images = [icon_image(s) for s in sizes]
    out = struct.pack("<HHH", 0, 1, len(sizes))
    offset = 6 + 16 * len(sizes)
    for size, data in zip(sizes, images):
        out += struct.pack("<BBBBHHII", size, size, 0, 0, 1, 32, len(data), offset)
        offset += len(data)
    out += b"".join(images)
    with open(path, "wb") as f:
        f.write(out)


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "src/app/VSysCleaner.ico")
