#!/usr/bin/env python3
"""Writes res/tarnwick.ico: the program's icon, resource 1.

The picture is a folder with a play triangle: the program opens folders of
source files in the editor. The icon holds, in this order, the 16 x 16 image
with 16 colours drawn pixel by pixel below (the one every Windows can show,
kept first), then 16, 20, 24, 32, 40, 48, 64 and 256 pixel images in 32-bit
colour, all rendered from FOLDER below. The 256 pixel image is stored as PNG
(read by Windows Vista and later), the others as bitmaps, which every
Windows reads. Run it again after changing a drawing: it needs only Python
for the icon, and ImageMagick for its picture, docs/icons.png."""
import pathlib, struct, subprocess, sys, tempfile, zlib

# ---- The 16-colour image

# The 16 standard VGA colours, the palette of the 4-bit bitmap.
PALETTE = [(0,0,0),(128,0,0),(0,128,0),(128,128,0),(0,0,128),(128,0,128),(0,128,128),(192,192,192),
           (128,128,128),(255,0,0),(0,255,0),(255,255,0),(0,0,255),(255,0,255),(0,255,255),(255,255,255)]

# One character a pixel, top row first: '.' transparent, digits/letters index the palette.
ART = [
    "................",
    "..00000.........",
    ".0BBBBB0........",
    "0BBBBBBB0000000.",
    "0BBBBBBBBBBBBB0.",
    "0BBBBBBBBBBBBB30",
    "0BBBBB2BBBBBBB30",
    "0BBBBB22BBBBBB30",
    "0BBBBB2A2BBBBB30",
    "0BBBBB2AA2BBBB30",
    "0BBBBB2A2BBBBB30",
    "0BBBBB22BBBBBB30",
    "0BBBBB2BBBBBBB30",
    "0BBBBBBBBBBBBB30",
    ".033333333333330",
    "..0000000000000.",
]

def and_mask(transparent, w):
    """The AND mask's rows, bottom-up, each padded to 4 bytes: 1 = transparent."""
    rows = []
    for flags in reversed(transparent):
        bits = 0
        for t in flags:
            bits = (bits << 1) | t
        bits <<= (-w) % 32
        rows.append(bits.to_bytes(((w + 31) // 32) * 4, 'big'))
    return b''.join(rows)

def image_16_colours():
    xor = b''.join(bytes((int(r[i].replace('.', '0'), 16) << 4) | int(r[i + 1].replace('.', '0'), 16)
                         for i in range(0, 16, 2)) for r in reversed(ART))
    palette = b''.join(struct.pack('BBBB', b, g, r, 0) for (r, g, b) in PALETTE)
    header = struct.pack('<IiiHHIIiiII', 40, 16, 32, 1, 4, 0, 0, 0, 0, 16, 0)
    return header + palette + xor + and_mask([[c == '.' for c in r] for r in ART], 16)

# ---- The drawing of the 32-bit images

# Shapes on a grid of 16 x 16 units (the 16-colour image's pixels), drawn in
# order. A rectangle's edges fall on whole pixels at every size, so straight
# edges stay sharp; the outline is drawn inside each shape, about 1/48 of
# the icon wide (one pixel up to 64). Colours are top and bottom of a
# vertical gradient.
OUTLINE_FOLDER, OUTLINE_PLAY = (90, 62, 0), (12, 76, 18)
FOLDER = [
    # (kind, geometry, outline, top colour, bottom colour)
    ('rect', (1, 1, 7, 5, 1.0), OUTLINE_FOLDER, (240, 184, 48), (226, 160, 24)),    # the tab
    ('rect', (0, 3, 16, 15, 1.0), OUTLINE_FOLDER, (240, 184, 48), (214, 146, 16)),  # the back
    ('rect', (0, 6, 16, 15, 1.0), OUTLINE_FOLDER, (255, 232, 130), (246, 190, 40)), # the front
    ('triangle', ((5.5, 7), (5.5, 14), (11.5, 10.5)), OUTLINE_PLAY, (110, 220, 100), (36, 150, 44)),
]
SAMPLES = 8  # per pixel and axis, at edges that are not whole pixels

def rect_inside(x0, y0, x1, y1, r):
    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        cx = min(max(x, x0 + r), x1 - r)
        cy = min(max(y, y0 + r), y1 - r)
        return (x - cx) ** 2 + (y - cy) ** 2 <= r * r
    return inside, (x0, y0, x1, y1)

def triangle_inside(points):
    (ax, ay), (bx, by), (cx, cy) = points
    sign = 1 if (bx - ax) * (cy - ay) - (by - ay) * (cx - ax) > 0 else -1
    def inside(x, y):
        return all(sign * ((qx - px) * (y - py) - (qy - py) * (x - px)) >= 0
                   for (px, py), (qx, qy) in (((ax, ay), (bx, by)), ((bx, by), (cx, cy)), ((cx, cy), (ax, ay))))
    return inside, (min(ax, bx, cx), min(ay, by, cy), max(ax, bx, cx), max(ay, by, cy))

def shrink_triangle(points, d):
    """The triangle whose edges lie d inside those of `points` (about its incentre)."""
    (ax, ay), (bx, by), (cx, cy) = points
    a, b, c = (((bx - cx) ** 2 + (by - cy) ** 2) ** .5, ((ax - cx) ** 2 + (ay - cy) ** 2) ** .5,
               ((ax - bx) ** 2 + (ay - by) ** 2) ** .5)
    ix, iy = (a * ax + b * bx + c * cx) / (a + b + c), (a * ay + b * by + c * cy) / (a + b + c)
    s = (a + b + c) / 2
    r = ((s - a) * (s - b) * (s - c) / s) ** .5  # the inradius
    k = (r - d) / r
    return [(ix + (x - ix) * k, iy + (y - iy) * k) for x, y in points]

def render(size):
    """The picture at `size` pixels: rows of straight (r, g, b, a) floats 0..1."""
    unit = size / 16
    line = max(1, round(size / 48))
    pixels = [[(0.0, 0.0, 0.0, 0.0)] * size for _ in range(size)]  # premultiplied

    def paint(shape, top, bottom):
        inside, (bx0, by0, bx1, by1) = shape
        for py in range(max(0, int(by0)), min(size, int(by1) + 1)):
            t = (py + 0.5 - by0) / max(by1 - by0, 1)
            colour = [(p + (q - p) * min(max(t, 0), 1)) / 255 for p, q in zip(top, bottom)]
            for px in range(max(0, int(bx0)), min(size, int(bx1) + 1)):
                corners = [inside(px + dx, py + dy) for dx, dy in ((0, 0), (.999, 0), (0, .999), (.999, .999))]
                if all(corners):
                    cover = 1.0  # a convex shape holds the whole pixel
                else:
                    cover = sum(inside(px + (i + .5) / SAMPLES, py + (j + .5) / SAMPLES)
                                for i in range(SAMPLES) for j in range(SAMPLES)) / SAMPLES ** 2
                if cover:
                    r, g, b, a = pixels[py][px]
                    pixels[py][px] = (colour[0] * cover + r * (1 - cover), colour[1] * cover + g * (1 - cover),
                                      colour[2] * cover + b * (1 - cover), cover + a * (1 - cover))

    for kind, geometry, outline, top, bottom in FOLDER:
        if kind == 'rect':
            x0, y0, x1, y1, r = geometry
            x0, y0, x1, y1 = (round(v * unit) for v in (x0, y0, x1, y1))
            r = max(r * unit, line + 0.5)
            paint(rect_inside(x0, y0, x1, y1, r), outline, outline)
            paint(rect_inside(x0 + line, y0 + line, x1 - line, y1 - line, r - line), top, bottom)
        else:
            points = [(x * unit, y * unit) for x, y in geometry]
            points[0] = (round(points[0][0]), points[0][1])  # the upright edge on whole pixels
            points[1] = (points[0][0], points[1][1])
            paint(triangle_inside(points), outline, outline)
            paint(triangle_inside(shrink_triangle(points, line)), top, bottom)
    return [[(r / a, g / a, b / a, a) if a else (0, 0, 0, 0) for r, g, b, a in row] for row in pixels]

def byte(v):
    return min(255, max(0, round(v * 255)))

def image_bitmap(pixels):
    n = len(pixels)
    header = struct.pack('<IiiHHIIiiII', 40, n, n * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    xor = b''.join(struct.pack('BBBB', byte(b), byte(g), byte(r), byte(a)) for row in reversed(pixels)
                   for r, g, b, a in row)
    return header + xor + and_mask([[byte(p[3]) == 0 for p in row] for row in pixels], n)

def image_png(pixels):
    n = len(pixels)
    def chunk(kind, data):
        return struct.pack('>I', len(data)) + kind + data + struct.pack('>I', zlib.crc32(kind + data))
    raw = b''.join(b'\0' + bytes(byte(v) for p in row for v in p) for row in pixels)
    return (b'\x89PNG\r\n\x1a\n' + chunk(b'IHDR', struct.pack('>IIBBBBB', n, n, 8, 6, 0, 0, 0)) +
            chunk(b'IDAT', zlib.compress(raw, 9)) + chunk(b'IEND', b''))

SIZES = [16, 20, 24, 32, 40, 48, 64, 256]

def main(out):
    images = [(16, 4, image_16_colours())]
    for size in SIZES:
        pixels = render(size)
        images.append((size, 32, image_png(pixels) if size == 256 else image_bitmap(pixels)))
    data = struct.pack('<HHH', 0, 1, len(images))
    offset = len(data) + 16 * len(images)
    for size, bits, image in images:
        data += struct.pack('<BBBBHHII', size % 256, size % 256, 16 if bits == 4 else 0, 0, 1, bits, len(image),
                            offset)
        offset += len(image)
    pathlib.Path(out).write_bytes(data + b''.join(image for _, _, image in images))

def picture(ico, out):
    """Every image of `ico` at its size on a light and a dark ground, then the
    16-colour, 16 and 32 pixel images enlarged four times, as ImageMagick
    (not this script) reads them."""
    def convert(*args):
        subprocess.run(['convert', *args], check=True)
    with tempfile.TemporaryDirectory() as tmp:
        convert(ico, f'{tmp}/i.png')  # i-0.png, i-1.png, ... in the icon's order
        sizes = [16] + SIZES
        labels = ['16, 16 colours'] + [str(s) for s in SIZES]
        rows = []
        for ground, ink in (('#f0f0f0', 'black'), ('#202428', 'white')):
            for i, (size, label) in enumerate(zip(sizes, labels)):
                width = max(size, 84)
                convert('-background', ground, f'{tmp}/i-{i}.png', '-gravity', 'south', '-extent', f'{width}x256',
                        '(', '-size', f'{width}x20', '-fill', ink, '-font', 'DejaVu-Sans', '-pointsize', '11',
                        '-gravity', 'center', f'label:{label}', ')', '-append', f'{tmp}/t-{i}.png')
            rows.append(f'{tmp}/row-{ink}.png')
            convert(*(f'{tmp}/t-{i}.png' for i in range(len(sizes))), '+append', rows[-1])
        for i in (0, 1, 4):
            convert(f'{tmp}/i-{i}.png', '-background', '#f0f0f0', '-flatten', '-filter', 'point', '-resize', '400%',
                    '-bordercolor', '#f0f0f0', '-border', '8', f'{tmp}/z-{i}.png')
        rows.append(f'{tmp}/zoom.png')
        convert(*(f'{tmp}/z-{i}.png' for i in (0, 1, 4)), '-background', '#f0f0f0', '-gravity', 'south', '+append',
                rows[-1])
        convert(*rows, '-background', '#f0f0f0', '-gravity', 'west', '-append', '+repage', '-depth', '8', out)

if __name__ == '__main__':
    root = pathlib.Path(__file__).resolve().parent.parent
    main(str(root / 'res' / 'tarnwick.ico'))
    picture(str(root / 'res' / 'tarnwick.ico'), str(root / 'docs' / 'icons.png'))
