#!/usr/bin/env python3
"""Draws the busy indicators, images/0.gif ... images/20.gif.

Each picture is a small looping animation on a transparent background; the
window picks one at random and shows it over the output area while a tool runs.
Needs Pillow (Debian: python3-pil). The output is the same on every run.
"""
import math
from pathlib import Path

from PIL import Image, ImageDraw

# The pictures are compiled into the program from src/resources/images.
IMAGES = Path(__file__).resolve().parents[2] / "src" / "resources" / "images"

TAU = 2 * math.pi


# --- drawing --------------------------------------------------------------------------------------
# Pixels are palette indices, 0 being transparent. Edges are hard: GIF transparency is all or
# nothing, and blending against one background would leave a fringe on any other. Coordinates are
# continuous, pixel (i, j) covering [i, i + 1) x [j, j + 1); each shape is drawn into a mask and the
# colour laid through it, so a shape with a hole never clears what lies under the hole.


def _box(cx, cy, rx, ry):
    return (cx - rx - 0.5, cy - ry - 0.5, cx + rx - 0.5, cy + ry - 0.5)


class Canvas:
    def __init__(self, size):
        self.size = size
        self.image = Image.new("P", (size, size), 0)

    def paint(self, colour, draw, clip=None):
        """Lays colour where draw(ImageDraw of a mask) put 255, inside clip (x0, y0, x1, y1)."""
        mask = Image.new("L", (self.size, self.size), 0)
        draw(ImageDraw.Draw(mask))
        if clip is not None:
            x0, y0, x1, y1 = (max(0, min(self.size, round(v))) for v in clip)
            clipped = Image.new("L", mask.size, 0)
            if x1 > x0 and y1 > y0:
                clipped.paste(mask.crop((x0, y0, x1, y1)), (x0, y0))
            mask = clipped
        self.image.paste(colour, (0, 0, self.size, self.size), mask)

    def disc(self, cx, cy, r, colour):
        if r > 0:
            self.ellipse(cx, cy, r, r, colour)

    def ellipse(self, cx, cy, rx, ry, colour):
        if rx > 0 and ry > 0:
            self.paint(colour, lambda d: d.ellipse(_box(cx, cy, rx, ry), fill=255))

    def ring(self, cx, cy, r_in, r_out, colour, start=None, sweep=None):
        """Annulus; with start/sweep (radians, clockwise on screen) only that arc of it."""

        def draw(d):
            if sweep is None:
                d.ellipse(_box(cx, cy, r_out, r_out), fill=255)
            else:
                d.pieslice(_box(cx, cy, r_out, r_out), math.degrees(start),
                           math.degrees(start + sweep), fill=255)
            if r_in > 0:
                d.ellipse(_box(cx, cy, r_in, r_in), fill=0)

        self.paint(colour, draw)

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
        length = math.hypot(x1 - x0, y1 - y0) or 1e-9
        nx, ny = -(y1 - y0) / length * hw, (x1 - x0) / length * hw
        self.polygon([(x0 + nx, y0 + ny), (x1 + nx, y1 + ny), (x1 - nx, y1 - ny),
                      (x0 - nx, y0 - ny)], colour)
        self.disc(x0, y0, hw, colour)
        self.disc(x1, y1, hw, colour)

    def polyline(self, points, width, colour, closed=False):
        pairs = list(zip(points, points[1:]))
        if closed:
            pairs.append((points[-1], points[0]))
        for (ax, ay), (bx, by) in pairs:
            self.line(ax, ay, bx, by, width, colour)

    def rect(self, x0, y0, x1, y1, colour, radius=0.0):
        box = (x0, y0, x1 - 1, y1 - 1)
        self.paint(colour, lambda d: d.rounded_rectangle(box, radius=radius, fill=255))

    def polygon(self, points, colour, clip=None):
        shifted = [(x - 0.5, y - 0.5) for x, y in points]
        self.paint(colour, lambda d: d.polygon(shifted, fill=255), clip)


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
                c.polygon([(x, 37), (x + 4, 37), (x + 14, 27), (x + 10, 27)], 3,
                          clip=(tail, 27, head, 37))
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
        c.disc(24, 24, 16, 1)
        for k in range(teeth):
            c.pie(24, 24, 21, turn + (k + 0.25) * TAU / teeth, 0.5 * TAU / teeth, 1)
        c.disc(24, 24, 6, 0)
        c.ring(24, 24, 10, 12.5, 2)
        c.disc(*polar(24, 24, 11.25, turn), 1.6, 3)
    return 48, pal, 8, 90, draw


MOTIFS = [spokes, bouncing_dots, heartbeat, propeller, filling_bar, orbit_pair, equalizer,
          arc_spinner, dot_ring, grid_pulse, turning_squares, sine_waves, ripples, pendulum,
          figure_eight, clock, pie_fill, bouncing_ball, typing_dots, atom, gear]


# --- GIF writing ----------------------------------------------------------------------------------


def save_gif(path, size, palette, frames, delay_ms):
    colours = [(255, 255, 255)] + palette  # index 0 is the transparent one
    flat = [v for colour in colours for v in colour]
    for frame in frames:
        frame.putpalette(flat)
    # Disposal 2: each frame starts from a clear canvas, so a moving shape leaves no trail.
    frames[0].save(path, save_all=True, append_images=frames[1:], duration=delay_ms, loop=0,
                   transparency=0, disposal=2, optimize=False)


def main():
    images = IMAGES
    for number, motif in enumerate(MOTIFS):
        size, palette, count, delay_ms, draw = motif()
        assert len(palette) <= 15 and 8 <= count <= 16
        frames = []
        for i in range(count):
            canvas = Canvas(size)
            draw(canvas, i / count)
            frames.append(canvas.image)
        # A swing or a bounce may pass the same spot on the way back, but no frame may repeat
        # the one before it, or the animation would seem to stall (and the writer would merge
        # the two, changing the frame count).
        pixels = [frame.tobytes() for frame in frames]
        assert all(a != b for a, b in zip(pixels, pixels[1:] + pixels[:1])), motif.__name__
        save_gif(images.joinpath(f"{number}.gif"), size, palette, frames, delay_ms)


if __name__ == "__main__":
    main()
