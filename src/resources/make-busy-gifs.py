#!/usr/bin/env python3
"""Draws the busy indicators, images/0.gif ... images/20.gif.

Each picture is a small looping animation on a transparent background; the
window picks one at random and shows it over the output area while a tool runs.
Standard library only, so the pictures can be redrawn on any machine. The
output is deterministic: running the script again gives the same bytes.
"""
import math
import struct
from pathlib import Path

TAU = 2 * math.pi


# --- drawing --------------------------------------------------------------------------------------
# Pixels are palette indices, 0 being transparent. Edges are hard: GIF transparency is all or
# nothing, and blending against one background would leave a fringe on any other.


class Canvas:
    def __init__(self, size):
        self.w = self.h = size
        self.px = bytearray(size * size)

    def fill(self, box, inside, colour):
        x0, y0, x1, y1 = box
        x0, y0 = max(0, int(math.floor(x0))), max(0, int(math.floor(y0)))
        x1, y1 = min(self.w, int(math.ceil(x1)) + 1), min(self.h, int(math.ceil(y1)) + 1)
        for y in range(y0, y1):
            py = y + 0.5
            row = y * self.w
            for x in range(x0, x1):
                if inside(x + 0.5, py):
                    self.px[row + x] = colour

    def disc(self, cx, cy, r, colour):
        if r <= 0:
            return
        r2 = r * r
        self.fill((cx - r, cy - r, cx + r, cy + r),
                  lambda x, y: (x - cx) ** 2 + (y - cy) ** 2 <= r2, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        if rx <= 0 or ry <= 0:
            return
        self.fill((cx - rx, cy - ry, cx + rx, cy + ry),
                  lambda x, y: ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 <= 1, colour)

    def ring(self, cx, cy, r_in, r_out, colour, start=None, sweep=None):
        """Annulus; with start/sweep (radians, clockwise on screen) only that arc of it."""
        lo, hi = r_in * r_in, r_out * r_out

        def inside(x, y):
            d = (x - cx) ** 2 + (y - cy) ** 2
            if d < lo or d > hi:
                return False
            if sweep is None:
                return True
            return (math.atan2(y - cy, x - cx) - start) % TAU <= sweep

        self.fill((cx - r_out, cy - r_out, cx + r_out, cy + r_out), inside, colour)

    def arc(self, cx, cy, r, width, start, sweep, colour):
        """Arc stroke with round caps."""
        self.ring(cx, cy, r - width / 2, r + width / 2, colour, start, sweep)
        for a in (start, start + sweep):
            self.disc(cx + r * math.cos(a), cy + r * math.sin(a), width / 2, colour)

    def pie(self, cx, cy, r, start, sweep, colour):
        self.ring(cx, cy, 0, r, colour, start, sweep)

    def line(self, x0, y0, x1, y1, width, colour):
        """Stroke with round caps."""
        hw = width / 2
        dx, dy = x1 - x0, y1 - y0
        length2 = dx * dx + dy * dy or 1e-9
        hw2 = hw * hw

        def inside(x, y):
            t = max(0.0, min(1.0, ((x - x0) * dx + (y - y0) * dy) / length2))
            return (x - x0 - t * dx) ** 2 + (y - y0 - t * dy) ** 2 <= hw2

        self.fill((min(x0, x1) - hw, min(y0, y1) - hw, max(x0, x1) + hw, max(y0, y1) + hw),
                  inside, colour)

    def polyline(self, points, width, colour, closed=False):
        pairs = list(zip(points, points[1:]))
        if closed:
            pairs.append((points[-1], points[0]))
        for (ax, ay), (bx, by) in pairs:
            self.line(ax, ay, bx, by, width, colour)

    def rect(self, x0, y0, x1, y1, colour, radius=0.0):
        def inside(x, y):
            if not (x0 <= x <= x1 and y0 <= y <= y1):
                return False
            qx = max(x0 + radius - x, 0, x - (x1 - radius))
            qy = max(y0 + radius - y, 0, y - (y1 - radius))
            return qx * qx + qy * qy <= radius * radius

        self.fill((x0, y0, x1, y1), inside, colour)

    def polygon(self, points, colour):
        """Even-odd fill."""
        xs = [p[0] for p in points]
        ys = [p[1] for p in points]
        edges = list(zip(points, points[1:] + points[:1]))

        def inside(x, y):
            odd = False
            for (ax, ay), (bx, by) in edges:
                if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                    odd = not odd
            return odd

        self.fill((min(xs), min(ys), max(xs), max(ys)), inside, colour)

    def shape(self, cx, cy, r_max, inside_polar, colour):
        """Fill where inside_polar(distance, angle) holds; angle is clockwise on screen."""
        self.fill((cx - r_max, cy - r_max, cx + r_max, cy + r_max),
                  lambda x, y: inside_polar(math.hypot(x - cx, y - cy),
                                            math.atan2(y - cy, x - cx)), colour)


def rgb(text):
    return tuple(int(text[i:i + 2], 16) for i in (1, 3, 5))


def polar(cx, cy, r, a):
    return cx + r * math.cos(a), cy + r * math.sin(a)


def rotated_square(cx, cy, half, angle):
    return [polar(cx, cy, half * math.sqrt(2), angle + math.pi / 4 + k * math.pi / 2)
            for k in range(4)]


def wave01(phase):
    """0 .. 1 .. 0 over one period."""
    return 0.5 - 0.5 * math.cos(TAU * phase)


# --- the pictures ---------------------------------------------------------------------------------
# Each motif returns (size, palette, frame count, delay in ms, draw(canvas, t)), where t runs
# over [0, 1) and the loop is seamless at t = 1. Palette entry i is colour index i + 1.


def spokes():
    pal = [rgb(c) for c in ("#1d4f91", "#3f73b8", "#79a0d4", "#a5bde3")]
    n = 12

    def draw(c, t):
        head = round(t * n)
        for k in range(n):
            age = (head - k) % n
            a = TAU * k / n - math.pi / 2
            x0, y0 = polar(28, 28, 11, a)
            x1, y1 = polar(28, 28, 23, a)
            c.line(x0, y0, x1, y1, 4.5, 1 + min(age // 2, 3))
    return 56, pal, n, 80, draw


def bouncing_dots():
    pal = [rgb(c) for c in ("#2e8b3e", "#49b35a", "#7fd48c", "#a4b0a6")]

    def draw(c, t):
        for k, x in enumerate((14, 32, 50)):
            lift = abs(math.sin(math.pi * (t - k / 6)))
            c.ellipse(x, 48, 6 - 3 * lift, 2, 4)
            c.disc(x, 40 - 22 * lift, 6.5, 1 + k)
    return 64, pal, 12, 70, draw


def heartbeat():
    pal = [rgb(c) for c in ("#c84f00", "#e67e22", "#ee9a4f", "#f3b884")]

    def draw(c, t):
        halo = (t + 0.25) % 1.0
        c.ring(28, 28, 6 + 18 * halo, 9 + 18 * halo - 1.5 * halo, 2 + min(int(halo * 3), 2))
        c.disc(28, 28, 9 + 4 * wave01(t), 1)
    return 56, pal, 12, 80, draw


def propeller():
    pal = [rgb(c) for c in ("#5b2c83", "#8e44ad", "#c39bd3")]

    def draw(c, t):
        a = math.pi / 2 * t  # a cross repeats itself after a quarter turn
        c.ring(24, 24, 20, 22, 3)
        for b in (a, a + math.pi / 2):
            x0, y0 = polar(24, 24, 16, b)
            x1, y1 = polar(24, 24, -16, b)
            c.line(x0, y0, x1, y1, 6, 2)
        c.disc(24, 24, 4.5, 1)
    return 48, pal, 8, 80, draw


def filling_bar():
    pal = [rgb(c) for c in ("#11695f", "#1abc9c", "#7fe0cc")]

    def draw(c, t):
        left, right = 9.0, 55.0
        span = right - left
        head = left + span * min(1.0, 2 * t)
        tail = left + span * max(0.0, 2 * t - 1)
        c.rect(6, 24, 58, 40, 1, radius=5)
        c.rect(8, 26, 56, 38, 0, radius=3.5)
        if head - tail > 0.5:
            c.rect(tail, 27, head, 37, 2, radius=2.5)
            slide = (64 * t) % 8  # stripes 8 px apart move a whole number of times per loop
            for s in range(-2, 8):
                x = left + s * 8 + slide
                c.fill((max(x, tail), 27, min(x + 14, head), 37),
                       lambda px, py, x=x: 0 <= (px - x) - (37 - py) < 4 and tail <= px <= head,
                       3)
    return 64, pal, 16, 80, draw


def orbit_pair():
    pal = [rgb(c) for c in ("#c0392b", "#2874a6", "#aebbc8")]

    def draw(c, t):
        c.ring(28, 28, 17, 19, 3)
        a = TAU * t - math.pi / 2
        c.disc(*polar(28, 28, 18, a), 6, 1)
        c.disc(*polar(28, 28, 18, a + math.pi), 6, 2)
    return 56, pal, 12, 80, draw


def equalizer():
    pal = [rgb(c) for c in ("#8e1a6b", "#b0278a", "#cf4aa8", "#e07ac3", "#eeaad8")]

    def draw(c, t):
        for k in range(5):
            h = 8 + 30 * wave01(t + k / 5)
            x = 8 + 10 * k
            c.rect(x, 52 - h, x + 7, 52, 1 + k, radius=2)
    return 64, pal, 10, 90, draw


def arc_spinner():
    pal = [rgb(c) for c in ("#0b5394", "#b4c6da")]

    def draw(c, t):
        c.ring(24, 24, 14, 19, 2)
        c.arc(24, 24, 16.5, 5, TAU * t - math.pi / 2, math.radians(100), 1)
    return 48, pal, 12, 60, draw


def dot_ring():
    pal = [rgb(c) for c in ("#e07000", "#f0960e", "#f5b550", "#f7cf86")]
    n = 8

    def draw(c, t):
        head = round(t * n)
        for k in range(n):
            age = (head - k) % n
            r = (6, 5, 4.2, 3.5)[min(age, 3)]
            c.disc(*polar(28, 28, 19, TAU * k / n - math.pi / 2), r, 1 + min(age, 3))
    return 56, pal, n, 100, draw


def grid_pulse():
    pal = [rgb(c) for c in ("#0e7c86", "#17a2b0", "#5ccbd6", "#92dbe3")]

    def draw(c, t):
        for row in range(3):
            for col in range(3):
                s = wave01(t - (row + col) / 6)
                half = 3 + 4 * s
                cx, cy = 12 + 16 * col, 12 + 16 * row
                c.rect(cx - half, cy - half, cx + half, cy + half, 4 - min(int(s * 4), 3),
                       radius=1.5)
    return 56, pal, 12, 80, draw


def turning_squares():
    pal = [rgb(c) for c in ("#7b4a12", "#b9770e", "#f0b27a")]

    def draw(c, t):
        a = math.pi / 2 * t
        c.polyline(rotated_square(28, 28, 16, a), 4, 2, closed=True)
        c.polygon(rotated_square(28, 28, 7, -2 * a), 1)
        for p in rotated_square(28, 28, 16, a):
            c.disc(*p, 3, 3)
    return 56, pal, 12, 80, draw


def sine_waves():
    pal = [rgb(c) for c in ("#1f4e9c", "#8fb3e8")]

    def draw(c, t):
        for colour, amp, phase, width in ((2, 9, 0.5, 3), (1, 13, 0.0, 4)):
            pts = [(x, 32 + amp * math.sin(TAU * (x / 40 - t + phase))) for x in range(6, 60, 3)]
            c.polyline(pts, width, colour)
    return 64, pal, 12, 70, draw


def ripples():
    pal = [rgb(c) for c in ("#00796b", "#26a69a", "#5fbdb3", "#98d5ce")]

    def draw(c, t):
        c.disc(32, 32, 4, 1)
        # One loop moves every ring out by one place; the outermost gives way to a new one.
        for k in range(3):
            p = (t + k) / 3
            r = 7 + 22 * p
            c.ring(32, 32, r - 2.5 + p, r, 1 + min(int(p * 4), 3))
    return 64, pal, 10, 80, draw


def pendulum():
    pal = [rgb(c) for c in ("#4d5656", "#a93226", "#e74c3c", "#bfc9ca")]

    def draw(c, t):
        # A quarter frame off the turning points, so the way back passes new spots, not old ones.
        a = math.radians(38) * math.cos(TAU * (t + 1 / 64))
        bx, by = 32 + 38 * math.sin(a), 8 + 38 * math.cos(a)
        c.line(18, 8, 46, 8, 3, 4)
        c.line(32, 8, bx, by, 2.5, 1)
        c.disc(bx, by, 8, 2)
        c.disc(bx - 2.5, by - 2.5, 3, 3)
        c.disc(32, 8, 3, 1)
    return 64, pal, 16, 60, draw


def figure_eight():
    pal = [rgb(c) for c in ("#c2185b", "#e0488a", "#f08cb7", "#f4a9ca", "#dcbccb")]

    def path(s):
        a = TAU * s
        d = 1 + math.sin(a) ** 2
        return 32 + 25 * math.cos(a) / d, 32 + 40 * math.sin(a) * math.cos(a) / d

    def draw(c, t):
        c.polyline([path(k / 48) for k in range(48)], 2, 5, closed=True)
        for k in (3, 2, 1, 0):
            c.disc(*path(t - k * 0.07), 5.5 - 1.0 * k, 1 + k)
    return 64, pal, 16, 70, draw


def clock():
    pal = [rgb(c) for c in ("#1b2a49", "#4a6fa5", "#e8eef7", "#c0392b")]

    def draw(c, t):
        c.disc(28, 28, 24, 1)
        c.disc(28, 28, 21, 3)
        for k in range(12):
            a = TAU * k / 12
            inner = 15 if k % 3 == 0 else 17
            c.line(*polar(28, 28, inner, a), *polar(28, 28, 19, a), 2, 2)
        c.line(28, 28, *polar(28, 28, 10, math.radians(-150)), 3.5, 1)
        c.line(28, 28, *polar(28, 28, 16, TAU * t - math.pi / 2), 2.5, 4)
        c.disc(28, 28, 3, 4)
    return 56, pal, 12, 80, draw


def pie_fill():
    pal = [rgb(c) for c in ("#1e8449", "#52be80", "#d5f5e3")]

    def draw(c, t):
        c.disc(24, 24, 20, 1)
        c.disc(24, 24, 17.5, 3)
        start = -math.pi / 2
        if t < 0.5:
            sweep = TAU * 2 * t
        else:
            start += TAU * (2 * t - 1)
            sweep = TAU - TAU * (2 * t - 1)
        if sweep > 0.01:
            c.pie(24, 24, 17.5, start, sweep, 2)
    return 48, pal, 16, 80, draw


def bouncing_ball():
    pal = [rgb(c) for c in ("#ba4a00", "#eb984e", "#fdebd0", "#aab7b8", "#d5dbdb")]

    def draw(c, t):
        h = 1 - (2 * t - 1) ** 2           # a parabola: floor at t = 0, top at t = 0.5
        squash = max(0.0, 1 - h * 6) * 0.3  # flattened only while touching the floor
        rx, ry = 9 * (1 + squash), 9 * (1 - squash)
        cy = 54 - ry - 34 * h
        c.ellipse(32, 57, 11 - 6 * h, 3 - 1.5 * h, 4 if h < 0.5 else 5)
        c.ellipse(32, cy, rx, ry, 1)
        c.ellipse(32, cy, rx - 2, ry - 2, 2)
        c.disc(32 - rx * 0.35, cy - ry * 0.35, 2.5, 3)
    return 64, pal, 12, 60, draw


def typing_dots():
    pal = [rgb(c) for c in ("#34495e", "#5d6d7e", "#85929e", "#aeb6bf")]

    def draw(c, t):
        for k in range(3):
            s = wave01(t - k / 5) ** 2
            c.disc(9 + 15 * k, 24, 4.5 + 2.5 * s, 4 - min(int(s * 4), 3))
    return 48, pal, 10, 100, draw


def atom():
    pal = [rgb(c) for c in ("#512e5f", "#7d3c98", "#bb8fce", "#e8daef", "#d4ac0d")]

    def orbit_point(k, s):
        a, tilt = TAU * s, math.pi * k / 3
        x, y = 25 * math.cos(a), 9 * math.sin(a)
        return (32 + x * math.cos(tilt) - y * math.sin(tilt),
                32 + x * math.sin(tilt) + y * math.cos(tilt))

    def draw(c, t):
        for k in range(3):
            c.polyline([orbit_point(k, j / 40) for j in range(40)], 2, 3, closed=True)
        c.disc(32, 32, 5.5, 2)
        c.disc(31, 31, 2, 4)
        for k in range(3):
            c.disc(*orbit_point(k, t + k / 3), 4, 5 if k == 0 else 1)
    return 64, pal, 12, 80, draw


def gear():
    pal = [rgb(c) for c in ("#566573", "#808b96", "#d6dbdf")]
    teeth = 8

    def draw(c, t):
        turn = TAU / teeth * t

        def body(r, a):
            phase = ((a - turn) * teeth / TAU) % 1.0
            edge = 21 if 0.25 < phase < 0.75 else 16
            return 6 <= r <= edge

        c.shape(24, 24, 22, body, 1)
        c.ring(24, 24, 10, 12.5, 2)
        c.disc(*polar(24, 24, 11.25, turn), 1.6, 3)
    return 48, pal, 8, 90, draw


MOTIFS = [spokes, bouncing_dots, heartbeat, propeller, filling_bar, orbit_pair, equalizer,
          arc_spinner, dot_ring, grid_pulse, turning_squares, sine_waves, ripples, pendulum,
          figure_eight, clock, pie_fill, bouncing_ball, typing_dots, atom, gear]


# --- GIF writing ----------------------------------------------------------------------------------


def lzw(pixels, min_size):
    """GIF-flavoured LZW: codes packed LSB first, widths growing to 12 bits, clear when full."""
    clear, end = 1 << min_size, (1 << min_size) + 1
    out = bytearray()
    acc = bits = 0

    def emit(code, width):
        nonlocal acc, bits
        acc |= code << bits
        bits += width
        while bits >= 8:
            out.append(acc & 0xFF)
            acc >>= 8
            bits -= 8

    width = min_size + 1
    table, next_code = {}, end + 1
    emit(clear, width)
    prefix = pixels[0]
    for p in pixels[1:]:
        key = (prefix, p)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix, width)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            # The decoder learns each code one step later than we do, so widen only once the
            # code just added could be the next one sent.
            if next_code > (1 << width) and width < 12:
                width += 1
        else:
            emit(clear, width)
            table, next_code, width = {}, end + 1, min_size + 1
        prefix = p
    emit(prefix, width)
    emit(end, width)
    if bits:
        out.append(acc & 0xFF)
    return bytes(out)


def sub_blocks(data):
    return b"".join(bytes([len(data[i:i + 255])]) + data[i:i + 255]
                    for i in range(0, len(data), 255)) + b"\x00"


def gif(size, palette, frames, delay_ms):
    colours = [(255, 255, 255)] + palette  # index 0 is the transparent one
    table_bits = max(1, (len(colours) - 1).bit_length())
    colours += [(0, 0, 0)] * ((1 << table_bits) - len(colours))
    min_size = max(2, table_bits)

    data = bytearray(b"GIF89a")
    data += struct.pack("<HHBBB", size, size, 0x80 | 0x70 | (table_bits - 1), 0, 0)
    data += b"".join(bytes(c) for c in colours)
    data += b"\x21\xff\x0bNETSCAPE2.0\x03\x01\x00\x00\x00"  # loop forever
    for pixels in frames:
        # Disposal 2 on full-canvas frames: each frame starts from a clear canvas, so a moving
        # shape never leaves a trail behind.
        data += struct.pack("<BBBBHBB", 0x21, 0xF9, 4, (2 << 2) | 1, round(delay_ms / 10), 0, 0)
        data += b"\x2c" + struct.pack("<HHHHB", 0, 0, size, size, 0)
        data += bytes([min_size]) + sub_blocks(lzw(pixels, min_size))
    data += b"\x3b"
    return bytes(data)


def main():
    images = Path(__file__).with_name("images")
    for number, motif in enumerate(MOTIFS):
        size, palette, count, delay_ms, draw = motif()
        assert len(palette) <= 15 and 8 <= count <= 16
        frames = []
        for i in range(count):
            canvas = Canvas(size)
            draw(canvas, i / count)
            frames.append(bytes(canvas.px))
        # A swing or a bounce may pass the same spot on the way back, but no frame may repeat
        # the one before it, or the animation would seem to stall.
        assert all(a != b for a, b in zip(frames, frames[1:] + frames[:1])), motif.__name__
        images.joinpath(f"{number}.gif").write_bytes(gif(size, palette, frames, delay_ms))


if __name__ == "__main__":
    main()
