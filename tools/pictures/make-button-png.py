#!/usr/bin/env python3
"""Draws the window icon, images/Button.png: a 32x32 green disc with a darker ring, shaded from
top to bottom, on a transparent background. Needs Pillow (Debian: python3-pil).

Drawn at eight times the size and scaled down, so the edge is smooth against any background."""
from pathlib import Path

from PIL import Image, ImageDraw

# The pictures are compiled into the program from src/resources/images.
IMAGES = Path(__file__).resolve().parents[2] / "src" / "resources" / "images"

SIZE = 32
SCALE = 8
BIG = SIZE * SCALE
RING = (20, 110, 60, 255)
RING_WIDTH = 3 * SCALE


def shade(y):
    """The disc's colour on row y of the big picture: lighter at the top, as if lit from above."""
    darker = int(40 * (y + 0.5) / BIG)
    return (85 - darker // 2, 255 - darker, 127 - darker // 2, 255)


gradient = Image.new("RGBA", (BIG, BIG))
rows = ImageDraw.Draw(gradient)
for y in range(BIG):
    rows.line([(0, y), (BIG - 1, y)], fill=shade(y))

inner = Image.new("L", (BIG, BIG), 0)
ImageDraw.Draw(inner).ellipse((RING_WIDTH, RING_WIDTH, BIG - 1 - RING_WIDTH, BIG - 1 - RING_WIDTH),
                              fill=255)

icon = Image.new("RGBA", (BIG, BIG), (0, 0, 0, 0))
ImageDraw.Draw(icon).ellipse((0, 0, BIG - 1, BIG - 1), fill=RING)
icon.paste(gradient, (0, 0), inner)
icon = icon.resize((SIZE, SIZE), Image.LANCZOS)
icon.save(IMAGES.joinpath("Button.png"), optimize=True)
