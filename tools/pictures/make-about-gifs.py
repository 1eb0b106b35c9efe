#!/usr/bin/env python3
"""Draws the About window's four figures into images/.

A green figure pushes the author's name in from the left while an orange one beckons; once
the name has arrived the green one cheers and the orange one laughs. Every file loops, has a
transparent background and keeps the frame size and frame count the window's layout expects.
Needs Pillow (Debian: python3-pil). The output is the same on every run.
"""
import math
from pathlib import Path

from PIL import Image, ImageDraw

# The pictures are compiled into the program from src/resources/images.
IMAGES = Path(__file__).resolve().parents[2] / "src" / "resources" / "images"

TAU = 2 * math.pi

# Index 0 is the transparent background.
PALETTE = {
    "clear": (255, 255, 255),
    "ink": (34, 34, 40),
    "white": (250, 250, 250),
    "green": (46, 158, 87),
    "green_dark": (27, 94, 52),
    "orange": (232, 126, 34),
    "orange_dark": (150, 72, 12),
    "skin": (246, 205, 160),
    "shoe": (70, 80, 160),
    "mouth": (170, 40, 50),
}
INDEX = {name: i for i, name in enumerate(PALETTE)}


class Canvas:
    """A palette picture with hard edges: GIF transparency is all or nothing."""

    def __init__(self, width, height):
        self.image = Image.new("P", (width, height), INDEX["clear"])
        self.image.putpalette([c for rgb in PALETTE.values() for c in rgb])
        self.draw = ImageDraw.Draw(self.image)

    def disc(self, cx, cy, r, colour):
        self.draw.ellipse((cx - r, cy - r, cx + r, cy + r), fill=INDEX[colour])

    def ellipse(self, cx, cy, rx, ry, colour, outline=None):
        self.draw.ellipse((cx - rx, cy - ry, cx + rx, cy + ry), fill=INDEX[colour],
                          outline=INDEX[outline] if outline else None)

    def limb(self, points, width, colour):
        """A stroke through the points with round ends and joints."""
        self.draw.line(points, fill=INDEX[colour], width=width, joint="curve")
        for x, y in (points[0], points[-1]):
            self.disc(x, y, width / 2 - 0.5, colour)

    def arc(self, cx, cy, r, start, end, colour, width=1):
        self.draw.arc((cx - r, cy - r, cx + r, cy + r), start, end, fill=INDEX[colour],
                      width=width)

    def chord(self, cx, cy, rx, ry, start, end, colour):
        self.draw.chord((cx - rx, cy - ry, cx + rx, cy + ry), start, end, fill=INDEX[colour])


def polar(x, y, length, degrees):
    a = math.radians(degrees)
    return x + length * math.cos(a), y + length * math.sin(a)


def head(c, cx, cy, body, dark, eyes="open", look=0):
    c.ellipse(cx, cy, 8, 8, body, outline=dark)
    c.ellipse(cx + look, cy + 2, 5, 4, "skin")
    if eyes == "open":
        for ex in (cx - 3 + look, cx + 2 + look):
            c.ellipse(ex, cy - 2, 1.5, 2, "white")
            c.disc(ex + (1 if look > 0 else 0), cy - 2, 0.8, "ink")
    else:  # squeezed shut with laughter
        for ex in (cx - 3, cx + 3):
            c.arc(ex, cy - 1, 2, 200, 340, "ink")


def pusher(t):
    """Leaning right, arms out against the name, legs treading."""
    c = Canvas(42, 45)
    step = math.sin(TAU * t)
    hip = (15, 30)
    for phase, colour in ((-1, "green_dark"), (1, "green")):
        swing = 7 * step * phase
        knee = (hip[0] + 2 + swing * 0.6, 36)
        foot = (hip[0] + swing, 42 - max(0.0, -phase * step) * 2)
        c.limb([hip, knee, foot], 4, colour)
        c.ellipse(foot[0] + 1.5, foot[1] + 0.5, 3.5, 2, "shoe")
    c.limb([hip, (25, 18)], 10, "green")
    shoulder = (26, 20 + 0.5 * step)
    # Hands at the height of the name they push, which sits a little lower than the shoulders.
    for dy, colour in ((2, "green_dark"), (0, "green")):
        c.limb([(shoulder[0], shoulder[1] + dy), (39, 27 + dy)], 4, colour)
        c.disc(39.5, 27 + dy, 2, "white")
    head(c, 29, 10 + 0.5 * step, "green", "green_dark", look=2)
    return c.image


def watcher(t):
    """Standing, one hand waving the other figure closer."""
    c = Canvas(35, 39)
    for x, colour in ((13, "orange_dark"), (21, "orange")):
        c.limb([(x + 1, 30), (x, 36)], 4, colour)
        c.ellipse(x, 37, 3, 1.5, "shoe")
    c.ellipse(17, 25, 7, 8, "orange", outline="orange_dark")
    c.ellipse(17, 26, 4, 5, "skin")
    c.limb([(11, 21), (7, 28)], 3, "orange")
    c.disc(7, 29, 2, "white")
    elbow = (28, 18)
    c.limb([(23, 20), elbow], 3, "orange")
    hand = polar(*elbow, 7, -65 + 35 * math.cos(TAU * t))
    c.limb([elbow, hand], 3, "orange")
    c.disc(*hand, 2, "white")
    head(c, 17, 10, "orange", "orange_dark", look=-1)
    return c.image


def laugher(t):
    """Doubled up with laughter, shaking."""
    c = Canvas(27, 37)
    shake = 2 if t else 0
    for x, colour in ((9, "orange_dark"), (17, "orange")):
        c.limb([(x + 1, 30), (x, 34)], 4, colour)
        c.ellipse(x, 35, 3, 1.5, "shoe")
    c.ellipse(13, 24 - shake / 2, 7, 8, "orange", outline="orange_dark")
    c.ellipse(13, 25 - shake / 2, 4, 5, "skin")
    for x in (8, 18):
        c.limb([(x, 20 - shake / 2), (13 + (x - 13) // 3, 27 - shake / 2)], 3, "orange")
    cy = 10 - shake
    head(c, 13, cy, "orange", "orange_dark", eyes="shut")
    c.chord(13, cy + 3, 3.5, 2 + shake, 0, 180, "mouth")
    return c.image


def cheerer(t):
    """Arms up, jumping for joy."""
    c = Canvas(31, 39)
    lift = 3 * math.sin(math.pi * t)
    spread = 22 * math.sin(TAU * t)
    y = 2 - lift
    for x, colour in ((12, "green_dark"), (19, "green")):
        c.limb([(x + 0.5, 29 + y), (x, 34 + y)], 4, colour)
        c.ellipse(x, 35 + y, 3, 1.5, "shoe")
    c.ellipse(15.5, 24 + y, 7, 8, "green", outline="green_dark")
    c.ellipse(15.5, 25 + y, 4, 5, "skin")
    for side in (-1, 1):
        shoulder = (15.5 + 6 * side, 19 + y)
        hand = polar(*shoulder, 9, -90 + side * (35 + spread / 2))
        c.limb([shoulder, hand], 3, "green")
        c.disc(*hand, 2, "white")
    head(c, 15.5, 10 + y, "green", "green_dark")
    c.chord(15.5, 12 + y, 3, 2, 0, 180, "mouth")
    return c.image


# File name, draw, frame count, delay in ms.
FIGURES = [
    ("aniknuxcomeonR.gif", watcher, 8, 90, (35, 39)),
    ("sonic_push_edit.gif", pusher, 4, 110, (42, 45)),
    ("aniknuxlaugh.gif", laugher, 2, 160, (27, 37)),
    ("anisonicwins.gif", cheerer, 4, 120, (31, 39)),
]


def save_gif(path, frames, delay_ms):
    # Each frame is cleared to the background before the next is drawn (disposal 2), so a
    # moving limb leaves no trail. Consecutive equal frames would be merged into one by the
    # writer, which would change the frame count.
    assert all(a.tobytes() != b.tobytes() for a, b in zip(frames, frames[1:] + frames[:1])), path
    frames[0].save(path, save_all=True, append_images=frames[1:], duration=delay_ms, loop=0,
                   transparency=INDEX["clear"], disposal=2, optimize=False)


def main():
    images = IMAGES
    for name, draw, count, delay_ms, size in FIGURES:
        frames = [draw(i / count) for i in range(count)]
        assert all(f.size == size for f in frames), name
        save_gif(images / name, frames, delay_ms)


if __name__ == "__main__":
    main()
