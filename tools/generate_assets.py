#!/usr/bin/python3
"""Makes Tumbrelt's pictures, icons and sounds.

Run from anywhere with Debian's Python (it needs PIL):

    /usr/bin/python3 tools/generate_assets.py            # writes into assets/
    /usr/bin/python3 tools/generate_assets.py --out DIR  # writes into DIR instead

Everything is drawn and synthesised here, so the output is the same on every run. The results
are committed; building or running the game never needs this script.
"""

import argparse
import math
import os
import random
import struct
import wave

from PIL import Image, ImageChops, ImageDraw, ImageFilter, ImageFont

FONT_PATH = "/usr/share/fonts/truetype/dejavu/DejaVuSansMono-Bold.ttf"

WIDTH, HEIGHT = 1920, 1080

# The game's palette.
DARK = (20, 20, 20)
PANEL = (30, 30, 32)
PANEL_EDGE = (58, 58, 62)
GREY = (90, 90, 90)
DIM = (150, 150, 150)
WHITE = (255, 255, 255)
BLUE = (14, 165, 233)
AMBER = (245, 158, 11)
GREEN = (34, 197, 94)
RED = (255, 5, 23)

_fonts = {}


def font(size):
    if size not in _fonts:
        _fonts[size] = ImageFont.truetype(FONT_PATH, size)
    return _fonts[size]


def text_width(text, size):
    return font(size).getlength(text)


def draw_text(draw, xy, text, size, fill=WHITE, anchor="la"):
    draw.text(xy, text, font=font(size), fill=fill, anchor=anchor)


def wrap(text, size, width):
    """Splits text into lines no wider than width pixels at the given size."""
    lines, line = [], ""
    for word in text.split(" "):
        candidate = word if not line else line + " " + word
        if text_width(candidate, size) <= width:
            line = candidate
        else:
            lines.append(line)
            line = word
    if line:
        lines.append(line)
    return lines


def draw_paragraph(draw, x, y, text, size, width, fill=WHITE, spacing=1.3):
    """Draws wrapped text; `**word**` pieces are not supported, colour per paragraph only."""
    for line in wrap(text, size, width):
        draw_text(draw, (x, y), line, size, fill)
        y += int(size * spacing)
    return y


def draw_rich_line(draw, x, y, parts, size):
    """Draws (text, colour) pieces one after the other on one line."""
    for piece, colour in parts:
        draw_text(draw, (x, y), piece, size, colour)
        x += text_width(piece, size)
    return x


# --------------------------------------------------------------------------- pictures


def background():
    """The dark backdrop with a faint grid, like the empty level around the map."""
    image = Image.new("RGB", (WIDTH, HEIGHT), DARK)
    draw = ImageDraw.Draw(image)
    step = 98  # about a cell of the match on a 1080-pixel-high screen
    for x in range(0, WIDTH, step):
        draw.line([(x, 0), (x, HEIGHT)], fill=(27, 27, 27), width=1)
    for y in range(0, HEIGHT, step):
        draw.line([(0, y), (WIDTH, y)], fill=(27, 27, 27), width=1)
    return image


def add_glow(image, centre, radius, colour, strength=1.0, clip=None):
    """Adds a soft light pool, the way the game shows the Runner and the amber blocks; clip is
    an optional (x0, y0, x1, y1) box that the light may not leave."""
    layer = Image.new("RGB", image.size, (0, 0, 0))
    draw = ImageDraw.Draw(layer)
    cx, cy = centre
    for i in range(8, 0, -1):
        r = radius * i / 8
        k = strength * (1.0 - i / 9) ** 1.6 * 0.55
        c = tuple(int(v * k) for v in colour)
        draw.ellipse([cx - r, cy - r, cx + r, cy + r], fill=c)
    layer = layer.filter(ImageFilter.GaussianBlur(radius / 5))
    base = image.load()
    glow = layer.load()
    x0, y0 = max(0, int(cx - radius)), max(0, int(cy - radius))
    x1, y1 = min(image.size[0], int(cx + radius) + 1), min(image.size[1], int(cy + radius) + 1)
    if clip:
        x0, y0 = max(x0, int(clip[0])), max(y0, int(clip[1]))
        x1, y1 = min(x1, int(clip[2])), min(y1, int(clip[3]))
    for y in range(y0, y1):
        for x in range(x0, x1):
            a, b = base[x, y], glow[x, y]
            base[x, y] = (min(255, a[0] + b[0]), min(255, a[1] + b[1]), min(255, a[2] + b[2]))


def cell(draw, x, y, size, colour, ghost=False, outline=None):
    """One grid block: a filled square with a thin darker frame and a light top edge."""
    if ghost:
        draw.rectangle([x, y, x + size - 1, y + size - 1], outline=colour, width=max(2, size // 14))
        return
    edge = outline or tuple(int(v * 0.55) for v in colour)
    draw.rectangle([x, y, x + size - 1, y + size - 1], fill=colour, outline=edge, width=max(1, size // 16))
    light = tuple(min(255, int(v + (255 - v) * 0.35)) for v in colour)
    inset = max(2, size // 10)
    draw.line([(x + inset, y + inset), (x + size - inset - 1, y + inset)], fill=light, width=max(1, size // 18))


def keycap(draw, x, y, label, size=34, min_width=0, colour=WHITE):
    """A keyboard key with its label; returns the right edge."""
    pad = size * 0.55
    width = max(min_width, text_width(label, size) + 2 * pad)
    height = size * 1.75
    draw.rounded_rectangle([x, y + 5, x + width, y + height + 5], radius=size * 0.3, fill=(10, 10, 10))
    draw.rounded_rectangle([x, y, x + width, y + height], radius=size * 0.3, fill=(52, 52, 56),
                           outline=colour, width=3)
    draw_text(draw, (x + width / 2, y + height / 2), label, size, colour, anchor="mm")
    return x + width


def pad_button(draw, x, y, label, size=34, colour=WHITE):
    """A round controller button (A, B, Y) or a shoulder button (LB, RB); returns the right edge."""
    height = size * 1.75
    if len(label) == 1:
        draw.ellipse([x, y, x + height, y + height], fill=(52, 52, 56), outline=colour, width=3)
        draw_text(draw, (x + height / 2, y + height / 2), label, size, colour, anchor="mm")
        return x + height
    width = text_width(label, size) + size * 1.1
    draw.rounded_rectangle([x, y, x + width, y + height], radius=height / 2, fill=(52, 52, 56),
                           outline=colour, width=3)
    draw_text(draw, (x + width / 2, y + height / 2), label, size, colour, anchor="mm")
    return x + width


def stick(draw, x, y, size=34, colour=WHITE, directions="lr"):
    """A thumb stick seen from above with arrows for the directions it is pushed."""
    height = size * 1.75
    cx, cy, r = x + height / 2, y + height / 2, height / 2
    draw.ellipse([x, y, x + height, y + height], fill=(52, 52, 56), outline=colour, width=3)
    draw.ellipse([cx - r * 0.45, cy - r * 0.45, cx + r * 0.45, cy + r * 0.45], fill=(90, 90, 96))
    a = r * 0.78
    h = r * 0.22
    if "l" in directions:
        draw.polygon([(cx - a, cy), (cx - a + h * 1.4, cy - h), (cx - a + h * 1.4, cy + h)], fill=colour)
    if "r" in directions:
        draw.polygon([(cx + a, cy), (cx + a - h * 1.4, cy - h), (cx + a - h * 1.4, cy + h)], fill=colour)
    if "u" in directions:
        draw.polygon([(cx, cy - a), (cx - h, cy - a + h * 1.4), (cx + h, cy - a + h * 1.4)], fill=colour)
    if "d" in directions:
        draw.polygon([(cx, cy + a), (cx - h, cy + a - h * 1.4), (cx + h, cy + a - h * 1.4)], fill=colour)
    return x + height


def arrow(draw, start, end, colour, width=5, head=16):
    """A straight arrow from start to end."""
    (x0, y0), (x1, y1) = start, end
    length = math.hypot(x1 - x0, y1 - y0)
    ux, uy = (x1 - x0) / length, (y1 - y0) / length
    bx, by = x1 - ux * head, y1 - uy * head
    draw.line([(x0, y0), (bx, by)], fill=colour, width=width)
    draw.polygon([(x1, y1), (bx - uy * head * 0.6, by + ux * head * 0.6), (bx + uy * head * 0.6, by - ux * head * 0.6)],
                 fill=colour)


def panel(draw, box, title=None, title_colour=WHITE, size=34):
    draw.rounded_rectangle(box, radius=18, fill=PANEL, outline=PANEL_EDGE, width=3)
    if title:
        draw_text(draw, (box[0] + 30, box[1] + 22), title, size, title_colour)


def control_row(draw, x, y, widgets, description, size=30, colour=WHITE, column=280):
    """One line of a controls list: key or button pictures, then what they do."""
    cx = x
    for kind, label in widgets:
        if kind == "key":
            cx = keycap(draw, cx, y, label, size, min_width=size * 1.75, colour=colour) + 10
        elif kind == "button":
            cx = pad_button(draw, cx, y, label, size, colour) + 10
        elif kind == "stick":
            cx = stick(draw, cx, y, size, colour, label) + 10
        elif kind == "or":
            draw_text(draw, (cx + 4, y + size * 0.875), "/", size, DIM, anchor="lm")
            cx += text_width("/", size) + 18
    draw_text(draw, (max(cx + 14, x + column), y + size * 0.875), description, size, WHITE, anchor="lm")


def grid_scene(image, origin, size, cells, glow_cells=(), rows=None, columns=None, clip=None):
    """A small piece of level: cells is a list of (column, row, colour or 'ghost:colour')."""
    draw = ImageDraw.Draw(image)
    ox, oy = origin
    if rows and columns:
        for c in range(columns + 1):
            draw.line([(ox + c * size, oy), (ox + c * size, oy + rows * size)], fill=(44, 44, 44), width=1)
        for r in range(rows + 1):
            draw.line([(ox, oy + r * size), (ox + columns * size, oy + r * size)], fill=(44, 44, 44), width=1)
    for column, row, colour in glow_cells:
        add_glow(image, (ox + column * size + size / 2, oy + row * size + size / 2), size * 2.6, colour, clip=clip)
    draw = ImageDraw.Draw(image)
    for column, row, colour in cells:
        if isinstance(colour, str) and colour.startswith("ghost:"):
            cell(draw, ox + column * size, oy + row * size, size, {"red": RED, "amber": AMBER}[colour[6:]], ghost=True)
        else:
            cell(draw, ox + column * size, oy + row * size, size, colour)
    return draw


def footer(draw, text, colour=DIM, size=32):
    draw_text(draw, (WIDTH / 2, HEIGHT - 40), text, size, colour, anchor="mm")


def make_start():
    image = background()
    # The level strip: platforms, an amber wall, the Runner with its light, the finish line.
    size = 64
    columns, rows = 26, 5
    ox, oy = (WIDTH - columns * size) // 2, 478
    cells = []
    for c in range(0, 7):
        cells.append((c, 4, WHITE))
    for c in range(9, 15):
        cells.append((c, 3, WHITE))
    for c in range(17, 23):
        cells.append((c, 4, WHITE))
    for r in range(0, 5):
        cells.append((25, r, GREEN))
    cells += [(11, 2, AMBER), (12, 2, AMBER), (12, 1, AMBER), (18, 3, AMBER), (19, 3, AMBER), (19, 2, AMBER)]
    cells.append((4, 3, BLUE))
    glows = [(4, 3, BLUE), (12, 2, AMBER), (19, 2, AMBER)]
    draw = grid_scene(image, (ox, oy), size, cells, glows, rows=rows, columns=columns)
    # The Runner's path: a dotted hop over the gap.
    for i in range(1, 14):
        t = i / 14
        px = ox + 4.5 * size + t * 4.6 * size
        py = oy + 3.5 * size - math.sin(t * math.pi) * 1.6 * size - t * size
        draw.ellipse([px - 4, py - 4, px + 4, py + 4], fill=BLUE)

    # Title with a blue underglow.
    title = "TUMBRELT"
    title_size = 210
    glow_layer = Image.new("RGB", image.size, (0, 0, 0))
    ImageDraw.Draw(glow_layer).text((WIDTH / 2, 215), title, font=font(title_size), fill=BLUE, anchor="mm")
    glow_layer = glow_layer.filter(ImageFilter.GaussianBlur(26))
    image = ImageChops.add(image, glow_layer)
    draw = ImageDraw.Draw(image)
    draw_text(draw, (WIDTH / 2, 215), title, title_size, WHITE, anchor="mm")
    draw_text(draw, (WIDTH / 2, 365), "One player runs for the green line,", 46, WHITE, anchor="mm")
    draw_text(draw, (WIDTH / 2, 420), "the other drops blocks in the way.", 46, DIM, anchor="mm")

    # The two roles.
    label_y = oy + rows * size + 18
    draw_text(draw, (ox + 4.5 * size, label_y), "RUNNER", 36, BLUE, anchor="ma")
    draw_text(draw, (ox + 15.5 * size, label_y), "BUILDER", 36, AMBER, anchor="ma")
    draw_text(draw, (ox + columns * size, label_y), "FINISH", 36, GREEN, anchor="ra")

    # The four ways to play, then quit.
    y = 905
    modes = [("Space / (A)", "two players", WHITE), ("1 / (X)", "you run", BLUE),
             ("2 / (Y)", "you build", AMBER), ("3", "watch the computer", DIM)]
    quarter = WIDTH / 4
    for i, (keys, what, colour) in enumerate(modes):
        x = quarter * (i + 0.5)
        draw_text(draw, (x, y), keys, 44, WHITE, anchor="mm")
        draw_text(draw, (x, y + 50), what, 34, colour, anchor="mm")
        if i:
            draw.line([(quarter * i, y - 28), (quarter * i, y + 72)], fill=GREY, width=3)
    draw_text(draw, (WIDTH / 2, 1020), "Esc / (B): quit", 40, DIM, anchor="mm")
    return image


def rule_card(image, box, diagram, lines, accent):
    """A card of the tutorial: a small diagram on the left, the rule on the right."""
    draw = ImageDraw.Draw(image)
    panel(draw, box)
    x0, y0, x1, y1 = box
    diagram_width = 250
    diagram(image, (x0 + 20, y0 + 16, x0 + 20 + diagram_width, y1 - 16))
    draw = ImageDraw.Draw(image)
    tx = x0 + 20 + diagram_width + 30
    width = x1 - tx - 20
    title, body = lines
    y = y0 + 18
    for line in wrap(title, 34, width):
        draw_text(draw, (tx, y), line, 34, accent)
        y += 44
    y += 4
    for line in wrap(body, 30, width):
        draw_text(draw, (tx, y), line, 30, WHITE)
        y += 38
    if y > y1 - 8:
        raise ValueError("rule text does not fit its card: " + title)


def rule_cards(image, cards, accent):
    """Six rule cards in two columns of three."""
    width = (WIDTH - 120 - 20) / 2
    for i, (diagram, lines) in enumerate(cards):
        column, row = i % 2, i // 2
        x = 60 + column * (width + 20)
        y = 490 + row * 172
        rule_card(image, (x, y, x + width, y + 160), diagram, lines, accent)


def card_clip(box):
    """The inside of the card around a diagram box, which a diagram's light may fill."""
    return box[0] - 16, box[1] - 12, box[2] + 16, box[3] + 12


def cells_in(box, columns, rows):
    """Cell size and origin that centre a columns x rows scene in box."""
    x0, y0, x1, y1 = box
    size = int(min((x1 - x0) / columns, (y1 - y0) / rows))
    return size, (x0 + (x1 - x0 - size * columns) // 2, y0 + (y1 - y0 - size * rows) // 2)


def ghost(draw, ox, oy, size, column, row, colour):
    cell(draw, ox + column * size + 3, oy + row * size + 3, size - 6, colour, ghost=True)


def centre_of(ox, oy, size, column, row):
    return ox + (column + 0.5) * size, oy + (row + 0.5) * size


def diagram_steps(image, box):
    size, (ox, oy) = cells_in(box, 6, 3)
    cells = [(c, 2, WHITE) for c in range(6)] + [(0, 1, BLUE)]
    draw = grid_scene(image, (ox, oy), size, cells, [(0, 1, BLUE)], rows=3, columns=6, clip=card_clip(box))
    for i in range(4):
        ghost(draw, ox, oy, size, i + 1, 1, BLUE)
        draw_text(draw, centre_of(ox, oy, size, i + 1, 1), str(i + 1), int(size * 0.55), BLUE, anchor="mm")


def diagram_jump(image, box):
    size, (ox, oy) = cells_in(box, 6, 4)
    cells = [(c, 3, WHITE) for c in range(3)] + [(c, r, WHITE) for c in range(3, 6) for r in range(1, 4)]
    cells.append((2, 2, BLUE))
    draw = grid_scene(image, (ox, oy), size, cells, [(2, 2, BLUE)], rows=4, columns=6, clip=card_clip(box))
    for column, row in ((2, 1), (2, 0), (3, 0)):
        ghost(draw, ox, oy, size, column, row, BLUE)
    arrow(draw, (ox + 0.1 * size, oy + 2.5 * size), (ox + 1.8 * size, oy + 2.5 * size), DIM, 4, 12)
    arrow(draw, (ox + 2.5 * size, oy + 1.9 * size), (ox + 2.5 * size, oy + 0.25 * size), WHITE, 4, 12)


def diagram_fall(image, box):
    size, (ox, oy) = cells_in(box, 6, 4)
    cells = [(0, 1, WHITE), (1, 1, WHITE), (5, 3, WHITE), (1, 0, BLUE)]
    draw = grid_scene(image, (ox, oy), size, cells, [(1, 0, BLUE)], rows=4, columns=6, clip=card_clip(box))
    path = [(1, 0), (2, 1), (3, 2), (4, 3)]
    for column, row in path[1:]:
        ghost(draw, ox, oy, size, column, row, BLUE)
    for (a, b), (c, d) in zip(path, path[1:]):
        start = centre_of(ox, oy, size, a, b)
        end = centre_of(ox, oy, size, c, d)
        arrow(draw, (start[0] + 7, start[1] + 7), (end[0] - 8, end[1] - 8), DIM, 4, 11)


def resets(draw, x, y, size, used):
    """Three reset tokens: the allowed ones blue, the losing third one red and struck out."""
    for i in range(3):
        colour = BLUE if i < 2 else RED
        cx = x + i * size * 1.3
        draw.ellipse([cx, y, cx + size, y + size], outline=colour, width=5)
        if i == 2:
            draw.line([(cx + size * 0.2, y + size * 0.2), (cx + size * 0.8, y + size * 0.8)], fill=RED, width=5)
    return x + 3 * size * 1.3


def diagram_end_reset(image, box):
    x0, y0, x1, y1 = box
    draw = ImageDraw.Draw(image)
    right = keycap(draw, x0 + 10, y0 + 8, "R", 30, min_width=52)
    start = (right + 16, y0 + 8 + 26)
    arrow(draw, start, (start[0] + 60, start[1]), DIM, 4, 12)
    draw_text(draw, (start[0] + 74, start[1]), "start", 30, WHITE, anchor="lm")
    resets(draw, x0 + 14, y1 - 52, 40, 2)


def diagram_finish(image, box):
    size, (ox, oy) = cells_in(box, 6, 4)
    cells = [(c, 3, WHITE) for c in range(5)] + [(5, r, GREEN) for r in range(4)] + [(4, 2, BLUE)]
    draw = grid_scene(image, (ox, oy), size, cells, [(4, 2, BLUE)], rows=4, columns=6, clip=card_clip(box))
    arrow(draw, (ox + 0.8 * size, oy + 2.5 * size), (ox + 3.8 * size, oy + 2.5 * size), BLUE, 5, 14)
    draw_text(draw, (ox + 5.5 * size, oy + 1.5 * size), "\u2713", int(size * 0.8), WHITE, anchor="mm")


def diagram_turns(image, box):
    x0, y0, x1, y1 = box
    draw = ImageDraw.Draw(image)
    size = 42
    y = y0 + 18
    x = x0 + 4
    for i, colour in enumerate((AMBER, BLUE, AMBER, BLUE)):
        cell(draw, x, y, size, colour)
        if i < 3:
            arrow(draw, (x + size + 3, y + size / 2), (x + size * 1.45 - 3, y + size / 2), DIM, 3, 9)
        x += size * 1.5
    draw_text(draw, (x0 + 4, y + size + 20), "Builder first", 26, AMBER)


def make_tutorial_page(number, role, colour, subtitle, controls, cards):
    image = background()
    draw = ImageDraw.Draw(image)
    draw_text(draw, (80, 46), "HOW TO PLAY", 64, WHITE)
    draw_text(draw, (80 + text_width("HOW TO PLAY ", 64), 46), "%d/2" % number, 64, GREY)
    label = "the " + role
    label_x = WIDTH - 80 - text_width(label, 56)
    add_glow(image, (label_x - 56, 80), 90, colour)
    draw = ImageDraw.Draw(image)
    cell(draw, label_x - 84, 52, 56, colour)
    draw_text(draw, (WIDTH - 80, 54), label, 56, colour, anchor="ra")
    draw_text(draw, (80, 128), subtitle, 32, DIM)

    for (title, rows), x in zip(controls, (60, 970)):
        panel(draw, (x, 180, x + 890, 470), title, WHITE, 34)
        for i, (widgets, description) in enumerate(rows):
            if widgets is None:
                draw_text(draw, (x + 40, 240 + i * 56 + 26), description, 28, DIM, anchor="lm")
            else:
                control_row(draw, x + 40, 240 + i * 56, widgets, description, column=290)
    rule_cards(image, cards, colour)
    draw = ImageDraw.Draw(image)
    footer(draw, "Space / (A): start the match  \u00b7  the pages turn every 7.5 s")
    return image


def make_tutorial1():
    controls = [
        ("Keyboard", [
            ([("key", "A"), ("key", "D")], "step left / right"),
            ([("key", "W")], "jump one cell up"),
            ([("key", "Q")], "end the turn"),
            ([("key", "R")], "reset to the start"),
        ]),
        ("Controller 1", [
            ([("stick", "lr")], "step left / right"),
            ([("button", "A")], "hold: jump"),
            ([("button", "B")], "end the turn"),
            ([("button", "Y")], "reset to the start"),
        ]),
    ]
    cards = [
        (diagram_steps, ("4 steps, 10 seconds", "A turn ends when time or moves run out, or on Q.")),
        (diagram_jump, ("Walk to jump", "Each step adds 1 jump force, up to 7. Each cell up costs 1.")),
        (diagram_fall, ("Mind the gaps", "Over a gap you fall one cell with every step.")),
        (diagram_end_reset, ("Two resets allowed", "R: back to the start, turn over. A third reset loses.")),
        (diagram_finish, ("Reach the green line", "Step onto it and the Runner wins.")),
        (diagram_turns, ("Turns alternate", "After 50 Runner turns the Builder wins.")),
    ]
    return make_tutorial_page(1, "RUNNER", BLUE,
                              "Steer the blue block from the left edge to the green line at the right.",
                              controls, cards)


def diagram_place(image, box):
    size, (ox, oy) = cells_in(box, 6, 4)
    cells = [(c, 3, WHITE) for c in range(6)] + [(0, 2, BLUE), (3, 2, AMBER), (4, 2, AMBER)]
    draw = grid_scene(image, (ox, oy), size, cells, [(0, 2, BLUE), (3, 2, AMBER)], rows=4, columns=6, clip=card_clip(box))
    for column, row in ((3, 0), (4, 0), (4, 1)):
        ghost(draw, ox, oy, size, column, row, AMBER)
    arrow(draw, (ox + 2.5 * size, oy + 0.3 * size), (ox + 2.5 * size, oy + 1.8 * size), AMBER, 4, 12)


def diagram_forbidden(image, box):
    size, (ox, oy) = cells_in(box, 8, 4)
    draw = grid_scene(image, (ox, oy), size, [(c, 3, WHITE) for c in range(5)] + [(7, r, GREEN) for r in range(4)],
                      [(1, 1, BLUE)], rows=4, columns=8, clip=card_clip(box))
    draw.rectangle([ox, oy, ox + 3 * size - 1, oy + 3 * size - 1], fill=(44, 44, 52))
    cell(draw, ox + size, oy + size, size, BLUE)
    for column, row in ((2, 0), (3, 0), (5, 1), (6, 1)):
        ghost(draw, ox, oy, size, column, row, RED)
    draw.rectangle([ox, oy, ox + 3 * size - 1, oy + 3 * size - 1], outline=RED, width=3)
    draw.rectangle([ox + 5 * size, oy, ox + 8 * size - 1, oy + 4 * size - 1], outline=RED, width=3)


def diagram_fade(image, box):
    x0, y0, x1, y1 = box
    draw = ImageDraw.Draw(image)
    size = 46
    y = y0 + 16
    for i, k in enumerate((1.0, 0.62, 0.3, 0.1)):
        colour = tuple(int(DARK[j] + (AMBER[j] - DARK[j]) * k) for j in range(3))
        cell(draw, x0 + 4 + i * size * 1.2, y, size, colour)
    draw_text(draw, (x0 + 4, y + size + 16), "0 s", 26, DIM)
    draw_text(draw, (x0 + 4 + 3 * size * 1.2 + size, y + size + 16), "7 s", 26, DIM, anchor="ra")


def diagram_gravity(image, box):
    size, (ox, oy) = cells_in(box, 6, 4)
    cells = [(c, 3, WHITE) for c in range(6)] + [(1, 1, BLUE), (3, 0, AMBER), (4, 0, AMBER), (4, 2, AMBER)]
    draw = grid_scene(image, (ox, oy), size, cells, [(1, 1, BLUE)], rows=4, columns=6, clip=card_clip(box))
    for column, row in ((1, 2), (3, 1), (4, 1)):
        ghost(draw, ox, oy, size, column, row, BLUE if column == 1 else AMBER)
    for column, row in ((1, 1), (3, 0), (4, 0)):
        x, y = centre_of(ox, oy, size, column, row)
        arrow(draw, (x, y + size * 0.1), (x, y + size * 0.95), WHITE, 4, 11)


def diagram_builder_wins(image, box):
    x0, y0, x1, y1 = box
    draw = ImageDraw.Draw(image)
    draw_text(draw, (x0 + 8, y0 + 4), "50", 58, AMBER)
    draw_text(draw, (x0 + 8 + text_width("50 ", 58), y0 + 24), "turns", 30, WHITE)
    resets(draw, x0 + 14, y1 - 52, 40, 2)


def diagram_odd_blocks(image, box):
    x0, y0, x1, y1 = box
    draw = ImageDraw.Draw(image)
    size = 50
    y = y0 + 12
    cell(draw, x0 + 10, y, size, WHITE)
    draw_text(draw, (x0 + 10 + size + 16, y + size / 2), "stays", 28, WHITE, anchor="lm")
    y += size + 14
    cell(draw, x0 + 10, y, size, GREEN)
    draw_text(draw, (x0 + 10 + size + 16, y + size / 2), "finish", 28, GREEN, anchor="lm")


def make_tutorial2():
    controls = [
        ("Keyboard", [
            ([("key", "\u2190"), ("key", "\u2191"), ("key", "\u2193"), ("key", "\u2192")], "move (hold)"),
            ([("key", "PgUp"), ("key", "PgDn")], "rotate"),
            ([("key", "Enter")], "drop the block"),
            (None, "The block hangs as a ghost until dropped."),
        ]),
        ("Controller 2", [
            ([("stick", "lrud")], "move"),
            ([("button", "LB"), ("button", "RB")], "rotate"),
            ([("button", "A")], "drop the block"),
        ]),
    ]
    cards = [
        (diagram_place, ("Two blocks a turn", "and at most 10 seconds, then the Runner moves.")),
        (diagram_forbidden, ("Red: not here", "Not on the Runner's 3x3 safe zone or the 3 finish columns.")),
        (diagram_fade, ("Blocks fade", "Amber blocks vanish after 7 seconds of Builder time.")),
        (diagram_gravity, ("After each Runner turn", "loose blocks and the Runner fall one cell.")),
        (diagram_builder_wins, ("The Builder wins", "after 50 Runner turns or the Runner's third reset.")),
        (diagram_odd_blocks, ("Not all blocks are amber", "White ones stay for good; a green one is a finish!")),
    ]
    return make_tutorial_page(2, "BUILDER", AMBER,
                              "Drop blocks in the Runner's way. The Builder moves first.", controls, cards)


def make_win(role, colour, headline, subline, scene):
    image = background()
    scene(image)
    glow_layer = Image.new("RGB", image.size, (0, 0, 0))
    ImageDraw.Draw(glow_layer).text((WIDTH / 2, 250), headline, font=font(150), fill=colour, anchor="mm")
    image = ImageChops.add(image, glow_layer.filter(ImageFilter.GaussianBlur(24)))
    draw = ImageDraw.Draw(image)
    draw_text(draw, (WIDTH / 2, 250), headline, 150, colour, anchor="mm")
    draw_text(draw, (WIDTH / 2, 385), subline, 44, WHITE, anchor="mm")
    draw_text(draw, (WIDTH / 2, 940), "Space: menu, Esc: quit", 54, WHITE, anchor="mm")
    draw_text(draw, (WIDTH / 2, 1012), "(A): menu, (B): quit", 32, DIM, anchor="mm")
    return image


def scene_runner_wins(image):
    size = 70
    columns, rows = 16, 4
    ox, oy = (WIDTH - columns * size) // 2, 500
    cells = [(c, 3, WHITE) for c in range(0, 5)] + [(c, 3, WHITE) for c in range(8, 15)]
    cells += [(15, r, GREEN) for r in range(rows)]
    cells += [(9, 2, AMBER), (10, 2, AMBER), (10, 1, AMBER), (4, 2, AMBER)]
    cells += [(15, 2, BLUE)]
    draw = grid_scene(image, (ox, oy), size, cells, [(15, 2, BLUE), (15, 2, BLUE), (10, 2, AMBER)], rows=rows,
                      columns=columns)
    cell(draw, ox + 15 * size, oy + 2 * size, size, BLUE)
    for i, c in enumerate((12, 13, 14)):
        draw.ellipse([ox + (c + 0.5) * size - 6, oy + 2.5 * size - 6, ox + (c + 0.5) * size + 6, oy + 2.5 * size + 6],
                     fill=BLUE)


def scene_builder_wins(image):
    size = 70
    columns, rows = 16, 4
    ox, oy = (WIDTH - columns * size) // 2, 500
    cells = [(c, 3, WHITE) for c in range(0, 16)]
    cells += [(15, r, GREEN) for r in range(rows - 1)]
    wall = [(3, 2), (3, 1), (4, 1), (5, 1), (5, 2), (2, 2), (6, 2), (6, 1), (4, 0), (7, 2)]
    cells += [(c, r, AMBER) for c, r in wall]
    cells += [(4, 2, BLUE)]
    draw = grid_scene(image, (ox, oy), size, cells, [(6, 1, AMBER), (2, 2, AMBER), (4, 2, BLUE)], rows=rows,
                      columns=columns)
    for c, r in wall:
        cell(draw, ox + c * size, oy + r * size, size, AMBER)


# --------------------------------------------------------------------------- icons

ICON_SIZE = 128
SUPER = 4  # drawn four times larger, then reduced, for smooth edges


def icon_canvas():
    image = Image.new("RGBA", (ICON_SIZE * SUPER, ICON_SIZE * SUPER), (0, 0, 0, 0))
    return image, ImageDraw.Draw(image)


def finish_icon(image):
    return image.resize((ICON_SIZE, ICON_SIZE), Image.LANCZOS)


def stroke_arrow_head(draw, tip, direction, length, width, colour):
    dx, dy = direction
    n = math.hypot(dx, dy)
    dx, dy = dx / n, dy / n
    bx, by = tip[0] - dx * length, tip[1] - dy * length
    draw.polygon([tip, (bx - dy * width / 2, by + dx * width / 2), (bx + dy * width / 2, by - dx * width / 2)],
                 fill=colour)


def icon_time():
    image, draw = icon_canvas()
    s = ICON_SIZE * SUPER
    c, r = s / 2, s * 0.40
    stroke = s * 0.085
    draw.ellipse([c - r, c - r + s * 0.04, c + r, c + r + s * 0.04], outline=WHITE, width=int(stroke))
    cy = c + s * 0.04
    draw.rectangle([c - s * 0.07, s * 0.02, c + s * 0.07, s * 0.09], fill=WHITE)  # crown of a stopwatch
    for k in range(12):
        a = k * math.pi / 6
        inner = r * (0.70 if k % 3 == 0 else 0.78)
        draw.line([(c + math.sin(a) * inner, cy - math.cos(a) * inner),
                   (c + math.sin(a) * r * 0.86, cy - math.cos(a) * r * 0.86)], fill=WHITE,
                  width=int(stroke * (0.55 if k % 3 == 0 else 0.35)))
    draw.line([(c, cy), (c, cy - r * 0.62)], fill=WHITE, width=int(stroke * 0.8))
    draw.line([(c, cy), (c + r * 0.45, cy + r * 0.18)], fill=WHITE, width=int(stroke * 0.8))
    draw.ellipse([c - stroke * 0.7, cy - stroke * 0.7, c + stroke * 0.7, cy + stroke * 0.7], fill=WHITE)
    return finish_icon(image)


def icon_x_movement():
    image, draw = icon_canvas()
    s = ICON_SIZE * SUPER
    stroke = s * 0.11
    y = s / 2
    head = s * 0.24
    draw.line([(s * 0.2, y), (s * 0.8, y)], fill=WHITE, width=int(stroke))
    stroke_arrow_head(draw, (s * 0.04, y), (-1, 0), head, s * 0.36, WHITE)
    stroke_arrow_head(draw, (s * 0.96, y), (1, 0), head, s * 0.36, WHITE)
    return finish_icon(image)


def icon_y_movement():
    image, draw = icon_canvas()
    s = ICON_SIZE * SUPER
    stroke = s * 0.11
    x = s / 2
    draw.line([(x, s * 0.3), (x, s * 0.8)], fill=WHITE, width=int(stroke))
    stroke_arrow_head(draw, (x, s * 0.04), (0, -1), s * 0.3, s * 0.42, WHITE)
    draw.rounded_rectangle([s * 0.2, s * 0.86, s * 0.8, s * 0.96], radius=s * 0.03, fill=WHITE)
    return finish_icon(image)


def icon_reset():
    image, draw = icon_canvas()
    s = ICON_SIZE * SUPER
    c, r = s / 2, s * 0.32
    stroke = s * 0.11
    # A clockwise circle with its gap at the top right; the head sits on the top end, pointing on.
    head_angle = 272
    draw.arc([c - r, c - r + s * 0.04, c + r, c + r + s * 0.04], start=-15, end=head_angle, fill=WHITE,
             width=int(stroke))
    a = math.radians(head_angle)
    mid = r - stroke / 2  # the middle of the stroke
    end = (c + math.cos(a) * mid, c + s * 0.04 + math.sin(a) * mid)
    tangent = (-math.sin(a), math.cos(a))
    head = s * 0.26
    tip = (end[0] + tangent[0] * head * 0.75, end[1] + tangent[1] * head * 0.75)
    stroke_arrow_head(draw, tip, tangent, head, s * 0.36, WHITE)
    return finish_icon(image)


def icon_turns():
    """Two blocks that take turns: one solid, one hollow, and two arrows passing the turn between
    them. It must not read as the reset's single circle or the flag of a finish."""
    image, draw = icon_canvas()
    s = ICON_SIZE * SUPER
    stroke = s * 0.085
    side = s * 0.30
    # The solid block top left, the hollow one bottom right.
    draw.rounded_rectangle([s * 0.04, s * 0.04, s * 0.04 + side, s * 0.04 + side], radius=s * 0.03, fill=WHITE)
    draw.rounded_rectangle([s * 0.96 - side, s * 0.96 - side, s * 0.96, s * 0.96], radius=s * 0.03,
                           outline=WHITE, width=int(stroke))
    # The arrows: over the top right from the solid to the hollow block, and back round the
    # bottom left, each a quarter circle about the middle with its head at the end.
    c, r = s / 2, s * 0.36
    head, width = s * 0.17, s * 0.24
    for start, end in ((-80, -10), (100, 170)):
        draw.arc([c - r, c - r, c + r, c + r], start=start, end=end - 6, fill=WHITE, width=int(stroke))
        a = math.radians(end)
        mid = r - stroke / 2
        point = (c + math.cos(a) * mid, c + math.sin(a) * mid)
        tangent = (-math.sin(a), math.cos(a))
        tip = (point[0] + tangent[0] * head * 0.55, point[1] + tangent[1] * head * 0.55)
        stroke_arrow_head(draw, tip, tangent, head, width, WHITE)
    return finish_icon(image)


GAME_ICON_SIZE = 256  # the desktop's icon (hicolor 256x256) and the window's


def game_icon():
    """The game's own icon: the Runner's lit blue block on a white ledge, an amber block dropping
    towards it and the green finish column, on a dark tile with rounded corners."""
    s = GAME_ICON_SIZE * SUPER
    image = Image.new("RGB", (s, s), DARK)
    draw = ImageDraw.Draw(image)
    margin, columns = s // 10, 4
    size = (s - 2 * margin) // columns
    for i in range(columns + 1):  # the faint grid of the level
        at = margin + i * size
        draw.line([(at, margin), (at, s - margin)], fill=(40, 40, 40), width=SUPER * 2)
        draw.line([(margin, at), (s - margin, at)], fill=(40, 40, 40), width=SUPER * 2)

    def place(column, row, colour):
        cell(draw, margin + column * size, margin + row * size, size, colour)

    def centre(column, row):
        return margin + (column + 0.5) * size, margin + (row + 0.5) * size

    add_glow(image, centre(1, 2), size * 1.9, BLUE, 1.4)
    add_glow(image, centre(2, 0), size * 1.5, AMBER, 1.2)
    for row in range(columns):
        place(3, row, GREEN)
    for column in range(3):
        place(column, 3, WHITE)
    place(1, 2, BLUE)
    place(2, 0, AMBER)
    mask = Image.new("L", (s, s), 0)
    ImageDraw.Draw(mask).rounded_rectangle([0, 0, s - 1, s - 1], radius=s * 0.12, fill=255)
    image.putalpha(mask)
    return image.resize((GAME_ICON_SIZE, GAME_ICON_SIZE), Image.LANCZOS)


# --------------------------------------------------------------------------- sounds

RATE = 44100


def envelope(i, count, attack, release):
    """Linear fade in and out, in samples, so no sound starts or stops with a click."""
    gain = 1.0
    if i < attack:
        gain = i / attack
    if i > count - release:
        gain = min(gain, (count - i) / release)
    return max(0.0, gain)


def write_wave(path, samples, peak=0.8):
    loudest = max(abs(v) for v in samples) or 1.0
    scale = peak * 32767 / loudest
    frames = b"".join(struct.pack("<h", int(round(v * scale))) for v in samples)
    with wave.open(path, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


def sound_warp():
    """Gravity pulls: a falling, wobbling sweep."""
    duration = 0.7
    count = int(RATE * duration)
    phase = 0.0
    samples = []
    for i in range(count):
        t = i / RATE
        p = t / duration
        freq = 620 * (1 - p) ** 1.6 + 90 + 40 * math.sin(2 * math.pi * 11 * t) * (1 - p)
        phase += 2 * math.pi * freq / RATE
        v = math.sin(phase) + 0.35 * math.sin(2 * phase + 0.5) + 0.15 * math.sin(3 * phase)
        samples.append(v * envelope(i, count, 600, 9000) * (1 - 0.4 * p))
    return samples


def sound_walk():
    """One soft footstep: a low thump with a little grit."""
    rng = random.Random(7)
    duration = 0.09
    count = int(RATE * duration)
    samples = []
    low = 0.0
    phase = 0.0
    for i in range(count):
        t = i / RATE
        freq = 170 - 700 * t
        phase += 2 * math.pi * freq / RATE
        low += (rng.uniform(-1, 1) - low) * 0.08  # a gently filtered noise
        decay = math.exp(-t * 45)
        samples.append((0.9 * math.sin(phase) + 0.9 * low) * decay * envelope(i, count, 90, 500))
    return samples


def sound_place():
    """A block lands: a solid knock with a short ring."""
    rng = random.Random(11)
    duration = 0.22
    count = int(RATE * duration)
    samples = []
    phase = 0.0
    for i in range(count):
        t = i / RATE
        freq = 240 * math.exp(-t * 6) + 70
        phase += 2 * math.pi * freq / RATE
        body = math.sin(phase) * math.exp(-t * 18)
        knock = rng.uniform(-1, 1) * math.exp(-t * 160) * 0.6
        ring = math.sin(2 * math.pi * 880 * t) * math.exp(-t * 30) * 0.18
        samples.append((body + knock + ring) * envelope(i, count, 40, 1500))
    return samples


def sound_move():
    """The cursor steps: a short, soft tick."""
    duration = 0.05
    count = int(RATE * duration)
    samples = []
    for i in range(count):
        t = i / RATE
        v = math.sin(2 * math.pi * 1320 * t) + 0.3 * math.sin(2 * math.pi * 2640 * t)
        samples.append(v * math.exp(-t * 70) * envelope(i, count, 66, 400))
    return samples


def sound_misplace():
    """Not allowed here: two short, low, buzzing notes."""
    duration = 0.36
    count = int(RATE * duration)
    samples = []
    for i in range(count):
        t = i / RATE
        in_first = t < 0.15
        in_second = 0.19 <= t
        if not (in_first or in_second):
            samples.append(0.0)
            continue
        local = t if in_first else t - 0.19
        length = 0.15 if in_first else duration - 0.19
        freq = 196 if in_first else 147
        v = 0.0
        for k in (1, 3, 5, 7):  # odd harmonics give the buzz of a square wave, gently rolled off
            v += math.sin(2 * math.pi * freq * k * local) / (k * k ** 0.5)
        gain = min(1.0, local / 0.004, (length - local) / 0.012)
        samples.append(v * max(0.0, gain))
    return [v * envelope(i, count, 1, 200) for i, v in enumerate(samples)]


def sound_win():
    """A short rising fanfare: four notes, then a held chord."""
    notes = [(0.00, 523.25, 0.16), (0.14, 659.25, 0.16), (0.28, 783.99, 0.16), (0.42, 1046.5, 0.75)]
    chord = [(0.42, 659.25, 0.75), (0.42, 783.99, 0.75)]
    duration = 1.25
    count = int(RATE * duration)
    samples = [0.0] * count
    for start, freq, length in notes + chord:
        first = int(start * RATE)
        n = int(length * RATE)
        level = 1.0 if (start, freq, length) in notes else 0.45
        for j in range(n):
            if first + j >= count:
                break
            t = j / RATE
            v = math.sin(2 * math.pi * freq * t) + 0.4 * math.sin(4 * math.pi * freq * t) \
                + 0.15 * math.sin(6 * math.pi * freq * t)
            vibrato = 1 + 0.04 * math.sin(2 * math.pi * 5.5 * t) * min(1.0, t * 4)
            samples[first + j] += level * v * vibrato * envelope(j, n, 220, int(n * 0.45))
    return [v * envelope(i, count, 50, 4000) for i, v in enumerate(samples)]


SOUNDS = {
    "warp": sound_warp,
    "walk": sound_walk,
    "place": sound_place,
    "move": sound_move,
    "win": sound_win,
    "misplace": sound_misplace,
}

ICONS = {
    "time": icon_time,
    "x-movement": icon_x_movement,
    "y-movement": icon_y_movement,
    "reset": icon_reset,
    "turns": icon_turns,
}


def main():
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(repo, "assets"), help="asset folder to write into")
    args = parser.parse_args()

    for folder in ("icons", "menu", "sounds"):
        os.makedirs(os.path.join(args.out, folder), exist_ok=True)

    pictures = {
        "start": make_start,
        "tutorial1": make_tutorial1,
        "tutorial2": make_tutorial2,
        "win_runner": lambda: make_win("runner", BLUE, "RUNNER WINS!", "The blue block reached the green line.",
                                       scene_runner_wins),
        "win_builder": lambda: make_win("builder", AMBER, "BUILDER WINS!", "The Runner ran out of turns or resets.",
                                        scene_builder_wins),
    }
    for name, make in pictures.items():
        path = os.path.join(args.out, "menu", name + ".png")
        make().save(path, optimize=True)
        print("wrote", path)
    for name, make in dict(ICONS, tumbrelt=game_icon).items():
        path = os.path.join(args.out, "icons", name + ".png")
        make().save(path, optimize=True)
        print("wrote", path)
    for name, make in SOUNDS.items():
        path = os.path.join(args.out, "sounds", name + ".wav")
        write_wave(path, make())
        print("wrote", path)


if __name__ == "__main__":
    main()
