#!/usr/bin/env python3
"""Draws the window icon, images/Button.png: a 32x32 green disc with a darker ring, shaded from
top to bottom, on a transparent background; and the same disc at the sizes of the desktop's
application menu, in dist/linux/icons/. Needs Pillow (Debian: python3-pil).

Drawn at eight times the size and scaled down, so the edge is smooth against any background."""
from pathlib import Path

from PIL import Image, ImageDraw

TOP = Path(__file__).resolve().parents[2]
# The pictures are compiled into the program from src/resources/images.
IMAGES = TOP / "src" / "resources" / "images"
# The launcher's icons, installed into share/icons/hicolor/<size>x<size>/apps.
LAUNCHER_ICONS = TOP / "dist" / "linux" / "icons"
APP_ID = "org.example.Tessary"
LAUNCHER_SIZES = (16, 32, 48, 64, 128, 256)

SCALE = 8
RING = (20, 110, 60, 255)


def shade(y, big):
    """The disc's colour on row y of the big picture: lighter at the top, as if lit from above."""
    darker = int(40 * (y + 0.5) / big)
    return (85 - darker // 2, 255 - darker, 127 - darker // 2, 255)


def draw_icon(size):
    big = size * SCALE
    ring_width = 3 * SCALE * size // 32

    gradient = Image.new("RGBA", (big, big))
    rows = ImageDraw.Draw(gradient)
    for y in range(big):
        rows.line([(0, y), (big - 1, y)], fill=shade(y, big))

    inner = Image.new("L", (big, big), 0)
    ImageDraw.Draw(inner).ellipse((ring_width, ring_width, big - 1 - ring_width,
                                   big - 1 - ring_width), fill=255)

    icon = Image.new("RGBA", (big, big), (0, 0, 0, 0))
    ImageDraw.Draw(icon).ellipse((0, 0, big - 1, big - 1), fill=RING)
    icon.paste(gradient, (0, 0), inner)
    return icon.resize((size, size), Image.LANCZOS)


draw_icon(32).save(IMAGES.joinpath("Button.png"), optimize=True)
for size in LAUNCHER_SIZES:
    folder = LAUNCHER_ICONS / f"{size}x{size}"
    folder.mkdir(parents=True, exist_ok=True)
    draw_icon(size).save(folder / f"{APP_ID}.png", optimize=True)
