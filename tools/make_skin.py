#!/usr/bin/python3
"""Draws every skin picture of Zephyrloom Phone SMS + Contacts Rescue.

Usage: tools/make_skin.py [OUTPUT_DIR]

OUTPUT_DIR defaults to image/ at the top of the source tree. The program loads
these files at run time from the "image" folder beside its executable, so the
names, sizes and frame counts below are what the windows and controls expect;
change them together with the code that places them.

Needs Pillow and the DejaVu fonts (Debian: python3-pil, fonts-dejavu-core).
The output is deterministic: the same bytes on every run (no timestamps, no
randomness, PNGs without text chunks, GIF with a fixed palette).
"""

import math
import os
import sys

try:
    from PIL import Image, ImageDraw, ImageFont
except ImportError:
    sys.exit("make_skin.py: Pillow is missing (Debian: apt-get install python3-pil)")

FONT_DIR = "/usr/share/fonts/truetype/dejavu"
FONT_REGULAR = os.path.join(FONT_DIR, "DejaVuSans.ttf")
FONT_BOLD = os.path.join(FONT_DIR, "DejaVuSans-Bold.ttf")

PRODUCT = "Zephyrloom Phone SMS + Contacts Rescue"

# Main window client size; every page background is drawn at this size.
WIN_W, WIN_H = 984, 674

# ---------------------------------------------------------------- palette --
WHITE = (255, 255, 255)
BAND_TOP = (20, 106, 134)       # title band gradient, top
BAND_BOTTOM = (9, 66, 90)       # title band gradient, bottom
BAND_LINE = (5, 48, 66)         # 1 px line under the title band
TEAL = (14, 108, 138)
TEAL_DARK = (9, 72, 96)
TEAL_SOFT = (216, 236, 243)
ACCENT = (242, 133, 36)         # primary actions
ACCENT_DARK = (204, 100, 16)
PAGE = (233, 238, 242)          # neutral content background
CARD_LINE = (207, 215, 223)     # 1 px borders of white cards
FRAME_LINE = (120, 140, 155)    # 1 px outline of the whole window
INK = (31, 43, 54)
MUTED = (98, 113, 126)
FAINT = (150, 163, 174)
TRACK = (226, 234, 240)
BAR = (240, 240, 239)           # bottom bar; the busy animation paints on this colour
ALERT = (189, 58, 6)            # failure caption, same as the hint heading text
ERROR_RED = (206, 52, 42)
WARN_AMBER = (240, 162, 12)
INFO_BLUE = (30, 118, 200)
OK_GREEN = (44, 158, 88)

SS = 4  # supersampling factor for antialiased shapes


# ----------------------------------------------------------------- basics --

def load_font(path, size):
    try:
        return ImageFont.truetype(path, size)
    except OSError:
        sys.exit("make_skin.py: font %s is missing (Debian: apt-get install fonts-dejavu-core)" % path)


_fonts = {}


def font(size, bold=False):
    key = (size, bold)
    if key not in _fonts:
        _fonts[key] = load_font(FONT_BOLD if bold else FONT_REGULAR, size)
    return _fonts[key]


def rgba(c, a=255):
    return (c[0], c[1], c[2], a)


def mix(a, b, t):
    """Colour between a (t = 0) and b (t = 1)."""
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def lighter(c, t):
    return mix(c, WHITE, t)


def darker(c, t):
    return mix(c, (0, 0, 0), t)


class Layer:
    """A transparent drawing surface SS times larger than the target area.

    Coordinates are continuous target pixels: pixel i covers [i, i + 1).
    result() reduces it to target size with exact area averaging.
    """

    def __init__(self, w, h):
        self.w, self.h = w, h
        self.im = Image.new("RGBA", (w * SS, h * SS), (0, 0, 0, 0))
        self.d = ImageDraw.Draw(self.im)

    def _box(self, b):
        x0, y0, x1, y1 = b
        return (round(x0 * SS), round(y0 * SS), round(x1 * SS) - 1, round(y1 * SS) - 1)

    def _pts(self, pts):
        return [(x * SS, y * SS) for x, y in pts]

    def rect(self, b, fill):
        self.d.rectangle(self._box(b), fill=fill)

    def rrect(self, b, r, fill=None, outline=None, width=1.0):
        self.d.rounded_rectangle(self._box(b), radius=r * SS, fill=fill, outline=outline,
                                 width=round(width * SS))

    def ellipse(self, b, fill=None, outline=None, width=1.0):
        self.d.ellipse(self._box(b), fill=fill, outline=outline, width=round(width * SS))

    def circle(self, cx, cy, r, fill=None, outline=None, width=1.0):
        self.ellipse((cx - r, cy - r, cx + r, cy + r), fill, outline, width)

    def polygon(self, pts, fill):
        self.d.polygon(self._pts(pts), fill=fill)

    def line(self, pts, fill, width, caps=True):
        self.d.line(self._pts(pts), fill=fill, width=round(width * SS), joint="curve")
        if caps:
            for x, y in (pts[0], pts[-1]):
                self.circle(x, y, width / 2.0, fill=fill)

    def arc(self, b, start, end, fill, width):
        self.d.arc(self._box(b), start, end, fill=fill, width=round(width * SS))

    def text(self, xy, s, size, fill, bold=False, anchor="la"):
        self.d.text((xy[0] * SS, xy[1] * SS), s, font=font(int(round(size * SS)), bold), fill=fill, anchor=anchor)

    def result(self):
        return self.im.convert("RGBa").resize((self.w, self.h), Image.Resampling.BOX).convert("RGBA")


def paste(target, layer, xy=(0, 0)):
    target.alpha_composite(layer.result(), dest=(int(xy[0]), int(xy[1])))


def put_text(target, xy, s, fnt, fill, anchor="la", alpha=255):
    """Draws hinted, antialiased text at target size (crisper than supersampled text)."""
    mask = Image.new("L", target.size, 0)
    ImageDraw.Draw(mask).text(xy, s, font=fnt, fill=alpha, anchor=anchor)
    ink = Image.new("RGBA", target.size, rgba(fill))
    ink.putalpha(mask)
    target.alpha_composite(ink)


def text_width(s, fnt):
    b = fnt.getbbox(s)
    return b[2] - b[0]


def vgradient(w, h, top, bottom):
    im = Image.new("RGBA", (w, h))
    d = ImageDraw.Draw(im)
    for y in range(h):
        d.line([(0, y), (w - 1, y)], fill=rgba(mix(top, bottom, y / max(1, h - 1))))
    return im


def rrect_mask(w, h, r):
    lay = Layer(w, h)
    lay.rrect((0, 0, w, h), r, fill=(255, 255, 255, 255))
    return lay.result().getchannel("A")


def fill_masked(target, xy, src, mask):
    """Composites src onto target at xy through mask (multiplied with src alpha)."""
    src = src.copy()
    a = Image.composite(src.getchannel("A"), Image.new("L", src.size, 0), mask)
    src.putalpha(a)
    target.alpha_composite(src, dest=xy)


def rounded_panel(target, box, r, fill_top, fill_bottom, border):
    """A rounded rectangle with a 1 px border and a vertical gradient inside."""
    x0, y0, x1, y1 = box
    w, h = x1 - x0, y1 - y0
    fill_masked(target, (x0, y0), Image.new("RGBA", (w, h), rgba(border)), rrect_mask(w, h, r))
    fill_masked(target, (x0 + 1, y0 + 1), vgradient(w - 2, h - 2, fill_top, fill_bottom),
                rrect_mask(w - 2, h - 2, max(0, r - 1)))


def strip(frames):
    """Puts frames side by side into one picture strip."""
    w, h = frames[0].size
    out = Image.new("RGBA", (w * len(frames), h), (0, 0, 0, 0))
    for i, f in enumerate(frames):
        out.alpha_composite(f, dest=(i * w, 0))
    return out


# ------------------------------------------------------------------ logo --

def shield_points(cx, cy, w, h):
    rel = [(0.0, 0.14), (0.5, 0.0), (1.0, 0.14), (1.0, 0.50), (0.86, 0.76),
           (0.5, 1.0), (0.14, 0.76), (0.0, 0.50)]
    return [(cx - w / 2 + x * w, cy - h / 2 + y * h) for x, y in rel]


def draw_logo(lay, x, y, s, phone, screen, edge):
    """The program's mark: a phone with a rescue shield at its lower right.

    edge is the colour around the shield (the background it sits on)."""
    lay.rrect((x + 0.10 * s, y + 0.02 * s, x + 0.62 * s, y + 0.98 * s), 0.11 * s, fill=phone)
    lay.rrect((x + 0.16 * s, y + 0.13 * s, x + 0.56 * s, y + 0.80 * s), 0.03 * s, fill=screen)
    lay.circle(x + 0.36 * s, y + 0.89 * s, 0.045 * s, fill=screen)
    cx, cy, sw, sh = x + 0.72 * s, y + 0.64 * s, 0.50 * s, 0.56 * s
    lay.polygon(shield_points(cx, cy, sw + 0.14 * s, sh + 0.14 * s), fill=edge)
    lay.polygon(shield_points(cx, cy, sw, sh), fill=rgba(ACCENT))
    lay.line([(cx - 0.13 * s, cy + 0.01 * s), (cx - 0.03 * s, cy + 0.11 * s), (cx + 0.14 * s, cy - 0.10 * s)],
             fill=rgba(WHITE), width=max(1.0, 0.075 * s))


def title_band(target, w, h, title=None):
    """The dark gradient band across the top of every skinned window, with the mark."""
    target.alpha_composite(vgradient(w, h, BAND_TOP, BAND_BOTTOM), dest=(0, 0))
    ImageDraw.Draw(target).line([(0, h - 1), (w - 1, h - 1)], fill=rgba(BAND_LINE))
    s = 20
    lay = Layer(s + 4, s + 4)
    draw_logo(lay, 1, 2, s, rgba(WHITE), rgba(mix(BAND_TOP, BAND_BOTTOM, 0.5)),
              rgba(mix(BAND_TOP, BAND_BOTTOM, 0.5)))
    paste(target, lay, (8, (h - s - 4) // 2))
    if title:
        put_text(target, (38, h // 2), title, font(13, True), WHITE, anchor="lm")


def window_outline(target, w, h, color):
    ImageDraw.Draw(target).rectangle((0, 0, w - 1, h - 1), outline=rgba(color))


# --------------------------------------------------------- title buttons --

TB = 21  # title-bar button frame size


def glyph(kind, lay, ox, oy, col):
    """Title-bar glyphs on a 21 x 21 frame, offset by (ox, oy)."""
    def p(x, y):
        return (x + ox, y + oy)
    if kind == "min":
        lay.rect((5.5 + ox, 13.5 + oy, 15.5 + ox, 15.5 + oy), fill=col)
    elif kind == "close":
        lay.line([p(6.5, 6.5), p(14.5, 14.5)], col, 1.9)
        lay.line([p(14.5, 6.5), p(6.5, 14.5)], col, 1.9)
    elif kind == "menu":
        for y in (6.0, 9.75, 13.5):
            lay.rrect((5.5 + ox, y + oy, 15.5 + ox, y + 1.8 + oy), 0.6, fill=col)
    elif kind == "home":
        lay.line([p(4.3, 10.6), p(10.5, 4.6), p(16.7, 10.6)], col, 1.8)
        lay.line([p(6.6, 9.4), p(6.6, 16.2), p(14.4, 16.2), p(14.4, 9.4)], col, 1.6, caps=False)
        lay.rect((9.4 + ox, 12.0 + oy, 11.6 + ox, 16.6 + oy), fill=col)
    elif kind == "help":
        lay.circle(10.5 + ox, 10.5 + oy, 7.3, outline=col, width=1.5)
        lay.text(p(10.6, 10.9), "?", 10.5, col, bold=True, anchor="mm")


def title_button(kind, nframes):
    """A title-bar button strip: normal, hover, pressed and (4 frames) disabled."""
    frames = []
    for state in range(nframes):
        lay = Layer(TB, TB)
        ox = oy = 0
        col = rgba((236, 246, 250))
        if state == 1:
            plate = rgba((222, 68, 54)) if kind == "close" else (255, 255, 255, 52)
            lay.rrect((1, 1, 20, 20), 3.5, fill=plate)
            col = rgba(WHITE)
        elif state == 2:
            plate = rgba((178, 44, 34)) if kind == "close" else (0, 0, 0, 64)
            lay.rrect((1, 1, 20, 20), 3.5, fill=plate)
            ox = oy = 1
            col = rgba(WHITE) if kind == "close" else rgba((214, 232, 240))
        elif state == 3:
            col = (150, 184, 198, 150)
        glyph(kind, lay, ox, oy, col)
        frames.append(lay.result())
    return strip(frames)


# ------------------------------------------------------- labelled buttons --

PRIMARY_LOOKS = [  # (top, bottom, border, text)
    ((248, 150, 62), (236, 122, 26), ACCENT_DARK, WHITE),          # normal
    ((252, 172, 98), (244, 142, 52), (214, 114, 30), WHITE),       # hover
    ((212, 102, 16), (224, 116, 30), (176, 84, 8), (255, 240, 226)),  # pressed
    ((232, 232, 232), (222, 222, 222), (204, 204, 204), (164, 164, 164)),  # disabled
]
SECONDARY_LOOKS = [
    ((255, 255, 255), (239, 244, 247), (168, 183, 196), TEAL_DARK),
    ((245, 251, 253), (224, 240, 246), (62, 146, 172), TEAL_DARK),
    ((208, 227, 236), (220, 235, 242), (38, 116, 144), (6, 52, 70)),
    ((246, 246, 246), (238, 238, 238), (212, 212, 212), (170, 170, 170)),
]


def button_icon(kind, lay, x, y, col):
    """14 x 14 icons for the bottom-row buttons, top-left at (x, y)."""
    def p(a, b):
        return (x + a, y + b)
    if kind == "back":
        lay.line([p(2.5, 7), p(12, 7)], col, 2.0)
        lay.line([p(7, 2.4), p(2.4, 7), p(7, 11.6)], col, 2.0)
    elif kind == "pause":
        lay.rrect((x + 2.5, y + 1.5, x + 5.7, y + 12.5), 0.8, fill=col)
        lay.rrect((x + 8.3, y + 1.5, x + 11.5, y + 12.5), 0.8, fill=col)
    elif kind == "continue":
        lay.polygon([p(3, 1.2), p(12.8, 7), p(3, 12.8)], fill=col)
    elif kind == "stop":
        lay.rrect((x + 2, y + 2, x + 12, y + 12), 1.6, fill=col)
    elif kind == "recover":
        lay.line([p(7, 1.2), p(7, 8.6)], col, 1.9)
        lay.line([p(3.6, 5.4), p(7, 8.8), p(10.4, 5.4)], col, 1.9)
        lay.line([p(1.4, 8.6), p(1.4, 12.6), p(12.6, 12.6), p(12.6, 8.6)], col, 1.8)
    elif kind == "refresh":
        lay.arc((x + 1.6, y + 1.6, x + 12.4, y + 12.4), 35, 305, col, 1.9)
        # arrow head at the arc's start (upper right), pointing along the turn
        a = math.radians(305)
        hx, hy = x + 7 + 5.4 * math.cos(a), y + 7 + 5.4 * math.sin(a)
        lay.polygon([(hx + 3.6, hy - 1.2), (hx - 1.4, hy - 3.6), (hx + 0.6, hy + 2.6)], fill=col)


def label_button(w, h, label, icon, looks, nframes, icon_col=None, font_size=13):
    """A labelled push button strip (frames normal, hover, pressed[, disabled])."""
    fnt = font(font_size, True)
    frames = []
    for state in range(nframes):
        top, bottom, border, text_col = looks[state]
        im = Image.new("RGBA", (w, h), (0, 0, 0, 0))
        body_h = h - 1
        if state in (0, 1):  # soft 1 px shadow under raised looks
            fill_masked(im, (0, 1), Image.new("RGBA", (w, body_h), (0, 0, 0, 34)), rrect_mask(w, body_h, 4))
        rounded_panel(im, (0, 0, w, body_h), 4, top, bottom, border)
        shift = 1 if state == 2 else 0
        tw = text_width(label, fnt)
        gap = 7 if icon else 0
        iw = 14 if icon else 0
        x0 = (w - (iw + gap + tw)) // 2 + shift
        cy = body_h // 2 + shift
        if icon:
            lay = Layer(w, h)
            col = icon_col if (icon_col and state != 3) else text_col
            button_icon(icon, lay, x0, cy - 7, rgba(col))
            paste(im, lay)
        put_text(im, (x0 + iw + gap, cy + 1), label, fnt, text_col, anchor="lm")
        frames.append(im)
    return strip(frames)


# ------------------------------------------------------------ check boxes --

def checkbox_frame(kind):
    """16 x 16 check box looks: 'off', 'off_hot', 'on', 'on_hot', 'mixed', 'disabled'."""
    lay = Layer(16, 16)
    box = (1, 1, 15, 15)
    if kind in ("on", "on_hot"):
        fill = TEAL if kind == "on" else (28, 132, 164)
        lay.rrect(box, 3, fill=rgba(fill), outline=rgba(TEAL_DARK), width=1)
        lay.line([(4.3, 8.2), (6.9, 10.8), (11.8, 5.2)], rgba(WHITE), 2.0)
    elif kind == "mixed":
        lay.rrect(box, 3, fill=rgba(WHITE), outline=rgba(TEAL), width=1)
        lay.rrect((4.5, 4.5, 11.5, 11.5), 1.2, fill=rgba(TEAL))
    elif kind == "disabled":
        lay.rrect(box, 3, fill=rgba((236, 238, 240)), outline=rgba((198, 205, 211)), width=1)
    elif kind == "off_hot":
        lay.rrect(box, 3, fill=rgba((238, 248, 251)), outline=rgba(TEAL), width=1)
    else:
        lay.rrect(box, 3, fill=rgba(WHITE), outline=rgba((136, 153, 167)), width=1)
    return lay.result()


# ------------------------------------------------------------------ icons --

def status_icon(kind, size=40):
    """Message box icons, drawn at 40 x 40 (the box draws them into 40 x 40)."""
    lay = Layer(size, size)
    s = size / 40.0
    if kind == "warn":
        pts = [(20 * s, 3.5 * s), (37.5 * s, 35 * s), (2.5 * s, 35 * s)]
        lay.line(pts + [pts[0]], rgba(WARN_AMBER), 5 * s)
        lay.polygon(pts, fill=rgba(WARN_AMBER))
        lay.rrect((18.1 * s, 13 * s, 21.9 * s, 26 * s), 1.8 * s, fill=rgba(WHITE))
        lay.circle(20 * s, 30.3 * s, 2.1 * s, fill=rgba(WHITE))
    else:
        col = {"error": ERROR_RED, "info": INFO_BLUE, "right": OK_GREEN}[kind]
        lay.circle(20 * s, 20 * s, 17.5 * s, fill=rgba(col))
        lay.circle(20 * s, 20 * s, 17.5 * s, outline=rgba(darker(col, 0.12)), width=1)
        if kind == "error":
            lay.line([(13.5 * s, 13.5 * s), (26.5 * s, 26.5 * s)], rgba(WHITE), 3.6 * s)
            lay.line([(26.5 * s, 13.5 * s), (13.5 * s, 26.5 * s)], rgba(WHITE), 3.6 * s)
        elif kind == "info":
            lay.circle(20 * s, 12.2 * s, 2.4 * s, fill=rgba(WHITE))
            lay.rrect((18.1 * s, 17 * s, 21.9 * s, 29.5 * s), 1.6 * s, fill=rgba(WHITE))
        else:
            lay.line([(12 * s, 20.5 * s), (17.6 * s, 26 * s), (28.5 * s, 14.2 * s)], rgba(WHITE), 3.8 * s)
    return lay.result()


def phone_glyph(lay, x, y, w, h, body, screen, lines=None):
    """A simple handset: rounded body, screen, earpiece and home bar."""
    r = min(w, h) * 0.16
    lay.rrect((x, y, x + w, y + h), r, fill=body)
    m = w * 0.09
    lay.rrect((x + m, y + h * 0.11, x + w - m, y + h * 0.84), r * 0.3, fill=screen)
    lay.rrect((x + w * 0.38, y + h * 0.045, x + w * 0.62, y + h * 0.045 + max(1.0, h * 0.018)), 0.5,
              fill=screen)
    lay.rrect((x + w * 0.36, y + h * 0.90, x + w * 0.64, y + h * 0.90 + max(1.2, h * 0.025)), 0.8,
              fill=screen)
    if lines:
        col, n = lines
        top, bot = y + h * 0.18, y + h * 0.78
        step = (bot - top) / n
        for i in range(n):
            ly = top + i * step + step * 0.3
            lay.circle(x + m + w * 0.16, ly + step * 0.18, step * 0.2, fill=col)
            lay.rrect((x + m + w * 0.30, ly + step * 0.08, x + w - m - w * 0.12, ly + step * 0.28),
                      step * 0.1, fill=col)


def person_glyph(lay, cx, top, s, col):
    """Head and shoulders, s = overall height."""
    lay.circle(cx, top + s * 0.28, s * 0.24, fill=col)
    lay.ellipse((cx - s * 0.44, top + s * 0.58, cx + s * 0.44, top + s * 1.30), fill=col)


def small_icon(kind):
    """20 x 20 pictures of the category tree."""
    lay = Layer(20, 20)
    if kind == "root":
        phone_glyph(lay, 5, 1, 10.5, 18, rgba(TEAL_DARK), rgba((190, 226, 238)))
    elif kind == "contacts":
        return contacts_tile()
    elif kind == "message":
        col = rgba((56, 160, 92))
        lay.rrect((1.5, 2.5, 18.5, 14.5), 4, fill=col)
        lay.polygon([(5, 13.5), (5, 18.5), (10, 13.5)], fill=col)
        for i, x in enumerate((6.3, 10, 13.7)):
            lay.circle(x, 8.5, 1.35, fill=rgba(WHITE))
    return lay.result()


def contacts_tile():
    """Blue rounded tile with a white person cut off at the tile's inner edge."""
    lay = Layer(20, 20)
    lay.rrect((1.5, 1.5, 18.5, 18.5), 4, fill=rgba((52, 124, 206)))
    base = lay.result()
    person = Layer(20, 20)
    person_glyph(person, 10, 4.2, 11.5, rgba(WHITE))
    m = Layer(20, 20)
    m.rrect((2.5, 2.5, 17.5, 17.5), 3, fill=(255, 255, 255, 255))
    fill_masked(base, (0, 0), person.result(), m.result().getchannel("A"))
    return base


def tree_expander(opened):
    """16 x 16 expander of the tree's parent row (24-bit, on the tree's white)."""
    lay = Layer(16, 16)
    col = rgba((96, 112, 124))
    if opened:
        lay.polygon([(3.5, 5.5), (12.5, 5.5), (8, 11)], fill=col)
    else:
        lay.polygon([(5.5, 3.5), (11, 8), (5.5, 12.5)], fill=col)
    im = Image.new("RGBA", (16, 16), rgba(WHITE))
    paste(im, lay)
    return im.convert("RGB")


def sort_arrow(up):
    lay = Layer(10, 10)
    col = rgba((92, 108, 122))
    if up:
        lay.polygon([(1, 7.5), (9, 7.5), (5, 2.5)], fill=col)
    else:
        lay.polygon([(1, 2.5), (9, 2.5), (5, 7.5)], fill=col)
    return lay.result()


def deleted_mark():
    """16 x 16 red bin shown before the name of a deleted record."""
    lay = Layer(16, 16)
    col = rgba((210, 40, 36))
    lay.rrect((2, 3, 14, 5), 0.8, fill=col)
    lay.rrect((6, 1.2, 10, 3.4), 0.8, fill=col)
    lay.polygon([(3.3, 5.8), (12.7, 5.8), (11.7, 15), (4.3, 15)], fill=col)
    for x in (6.2, 8.0, 9.8):
        lay.rect((x - 0.5, 7.6, x + 0.5, 13.2), fill=rgba(WHITE))
    return lay.result()


def contact_picture():
    """62 x 62 default contact picture of the contact card (round avatar)."""
    size = 62
    lay = Layer(size, size)
    lay.circle(31, 31, 30, fill=rgba((178, 202, 222)))
    base = lay.result()
    person = Layer(size, size)
    person_glyph(person, 31, 13, 40, rgba(WHITE))
    m = Layer(size, size)
    m.circle(31, 31, 29, fill=(255, 255, 255, 255))
    fill_masked(base, (0, 0), person.result(), m.result().getchannel("A"))
    ring = Layer(size, size)
    ring.circle(31, 31, 30, outline=rgba((150, 178, 202)), width=1)
    paste(base, ring)
    return base


def busy_strip():
    """8 frames, 18 x 18: eight dots around a ring, the bright one moving clockwise."""
    frames = []
    n = 8
    for f in range(n):
        lay = Layer(18, 18)
        for i in range(n):
            age = (f - i) % n           # 0 = the lead dot
            t = max(0.0, 1.0 - age / 5.0)
            col = mix((184, 196, 206), TEAL, t)
            a = math.radians(-90 + i * 360.0 / n)
            r = 1.45 + 0.75 * t
            lay.circle(9 + 6.2 * math.cos(a), 9 + 6.2 * math.sin(a), r, fill=rgba(col))
        frames.append(lay.result())
    return strip(frames)


# ---------------------------------------------------------------- bubbles --

BUBBLE_BG = (244, 247, 250)
IN_FILL, IN_LINE = (216, 216, 216), (186, 186, 186)
OUT_FILL, OUT_LINE = (136, 193, 33), (104, 160, 22)


def bubble_pieces(kind):
    """Cuts the eight frame pieces out of one drawn bubble.

    Received ("in_"): left pieces 18 wide (6 px tail area, border, 11 px
    padding), right pieces 12 wide, top 15 high, bottom 18 high (3 px gap
    below). Other ("out_"): left 12, right 18 (tail on the right), top 18
    (3 px gap above), bottom 18.
    """
    if kind == "in":
        L, R, T, B = 18, 12, 15, 18
        fill, line = IN_FILL, IN_LINE
        body = (6, 0, 0, 3)      # insets of the bubble outline: left, top, right, bottom
    else:
        L, R, T, B = 12, 18, 18, 18
        fill, line = OUT_FILL, OUT_LINE
        body = (0, 3, 6, 3)
    W, H = L + R + 20, T + B + 20
    im = Image.new("RGBA", (W, H), rgba(BUBBLE_BG))
    lay = Layer(W, H)
    x0, y0, x1, y1 = body[0], body[1], W - body[2], H - body[3]
    # the tail, level with the top edge; every border shape goes down before
    # every fill shape, so the fills cover the seams between them
    if kind == "in":
        tail = [(0.0, y0), (x0 + 7, y0), (x0 + 7, y0 + 11)]
        tail_in = [(1.9, y0 + 1), (x0 + 7, y0 + 1), (x0 + 7, y0 + 9.3)]
        corner = (x0 + 1, y0 + 1, x0 + 8, y0 + 8)
    else:
        tail = [(W, y0), (x1 - 7, y0), (x1 - 7, y0 + 11)]
        tail_in = [(W - 1.9, y0 + 1), (x1 - 7, y0 + 1), (x1 - 7, y0 + 9.3)]
        corner = (x1 - 8, y0 + 1, x1 - 1, y0 + 8)
    lay.rrect((x0, y0, x1, y1), 6, fill=rgba(line))
    lay.polygon(tail, fill=rgba(line))
    lay.rrect((x0 + 1, y0 + 1, x1 - 1, y1 - 1), 5, fill=rgba(fill))
    lay.polygon(tail_in, fill=rgba(fill))
    lay.rect(corner, fill=rgba(fill))
    paste(im, lay)
    im = im.convert("RGB")
    mx, my = L + 10, T + 10   # a column / row inside the straight edges
    return {
        "lefttop": im.crop((0, 0, L, T)),
        "leftbottom": im.crop((0, H - B, L, H)),
        "righttop": im.crop((W - R, 0, W, T)),
        "rightbottom": im.crop((W - R, H - B, W, H)),
        "topline": im.crop((mx, 0, mx + 1, T)),
        "bottomline": im.crop((mx, H - B, mx + 1, H)),
        "leftline": im.crop((0, my, L, my + 1)),
        "rightline": im.crop((W - R, my, W, my + 1)),
    }


# ----------------------------------------------------------- connect page --

# Placements of the connect page (main window client coordinates).
STEP_X, STEP_Y = 1, 74            # step picture
STEP_W, STEP_H = 982, 152
ANIM_BOX = (120, 230, 905, 561)   # loading animation / failure picture, drawn unscaled at this size
ANIM_W, ANIM_H = ANIM_BOX[2] - ANIM_BOX[0], ANIM_BOX[3] - ANIM_BOX[1]
CARD_BOX = (12, 44, 972, 662)     # the white card that holds everything of the page


def page_base(w, h):
    im = Image.new("RGBA", (w, h), rgba(PAGE))
    title_band(im, w, 32, PRODUCT)
    return im


def connect_background():
    im = page_base(WIN_W, WIN_H)
    x0, y0, x1, y1 = CARD_BOX
    rounded_panel(im, CARD_BOX, 6, WHITE, WHITE, CARD_LINE)
    window_outline(im, WIN_W, WIN_H, FRAME_LINE)
    return im


def laptop(lay, x, y, w, screen_fill):
    """A laptop, top-left of its lid at (x, y), lid w wide."""
    h = w * 0.64
    lay.rrect((x, y, x + w, y + h), 4, fill=rgba(TEAL_DARK))
    lay.rrect((x + 4, y + 4, x + w - 4, y + h - 3), 2, fill=rgba(screen_fill))
    lay.polygon([(x - 9, y + h + 1), (x + w + 9, y + h + 1), (x + w + 3, y + h + 9), (x - 3, y + h + 9)],
                fill=rgba((120, 140, 154)))
    lay.rrect((x + w * 0.4, y + h + 1, x + w * 0.6, y + h + 3.5), 1, fill=rgba((92, 110, 124)))
    return h


def cable(lay, pts, col, width):
    """A smooth cable through a cubic Bezier (p0, c1, c2, p1)."""
    (ax, ay), (bx, by), (cx, cy), (dx, dy) = pts
    path = []
    for i in range(41):
        t = i / 40.0
        u = 1 - t
        path.append((u ** 3 * ax + 3 * u * u * t * bx + 3 * u * t * t * cx + t ** 3 * dx,
                     u ** 3 * ay + 3 * u * u * t * by + 3 * u * t * t * cy + t ** 3 * dy))
    lay.line(path, col, width)


def database_glyph(lay, cx, top, w, h, col, band):
    rx, ry = w / 2.0, h * 0.16
    lay.rect((cx - rx, top + ry, cx + rx, top + h - ry), fill=col)
    lay.ellipse((cx - rx, top + h - 2 * ry, cx + rx, top + h), fill=col)
    for k in (0.38, 0.62):
        yy = top + h * k
        lay.arc((cx - rx, yy - ry, cx + rx, yy + ry), 0, 180, band, max(1.0, h * 0.05))
    lay.ellipse((cx - rx, top, cx + rx, top + 2 * ry), fill=rgba(lighter(col[:3], 0.35)))


def connect_illustration(lay, step):
    """Phone on a USB cable to a laptop (client coordinates)."""
    # cable first, so the phone and the laptop sit on its ends
    cable(lay, [(78, 190), (78, 222), (126, 214), (140, 186)], rgba((92, 108, 120)), 3)
    lay.rrect((73.5, 184, 82.5, 194), 1.5, fill=rgba((72, 86, 98)))
    phone_glyph(lay, 52, 92, 52, 98, rgba(TEAL_DARK), rgba(TEAL_SOFT),
                lines=(rgba((120, 176, 196)), 4))
    h = laptop(lay, 132, 108, 92, (230, 243, 248))
    lay.rrect((136, 108 + h + 1, 145, 108 + h + 6), 1, fill=rgba((72, 86, 98)))
    if step == 1:
        draw_logo(lay, 160, 113, 36, rgba(TEAL), rgba(WHITE), rgba((230, 243, 248)))
    else:
        database_glyph(lay, 178, 116, 30, 38, rgba(TEAL), rgba((230, 243, 248)))
        # data flowing from the phone to the PC
        for i, (x, y) in enumerate(((108, 150), (117, 150), (126, 150))):
            lay.circle(x, y, 2.2, fill=rgba(mix(TEAL_SOFT, ACCENT, 0.45 + 0.27 * i)))


def step_indicator(im, lay, active):
    """Three numbered steps at the upper right; done steps get a tick."""
    names = ("Connect", "Read", "Recover")
    xs = (772, 847, 922)
    cy = 100
    for i in range(2):
        done = active > i + 1
        lay.line([(xs[i] + 14, cy), (xs[i + 1] - 14, cy)], rgba(TEAL if done else (206, 214, 221)), 2,
                 caps=False)
    labels = []
    for i, x in enumerate(xs):
        n = i + 1
        if n < active:
            lay.circle(x, cy, 11, fill=rgba(TEAL))
            lay.line([(x - 4.6, cy + 0.3), (x - 1.2, cy + 3.7), (x + 5, cy - 3.2)], rgba(WHITE), 2.1)
            labels.append((x, names[i], TEAL_DARK, None))
        elif n == active:
            lay.circle(x, cy, 11, fill=rgba(ACCENT))
            labels.append((x, names[i], INK, (str(n), WHITE)))
        else:
            lay.circle(x, cy, 10.5, fill=rgba(WHITE), outline=rgba((190, 200, 208)), width=1.5)
            labels.append((x, names[i], FAINT, (str(n), FAINT)))
    return [(x, cy, name, col, num) for x, name, col, num in labels]


def step_picture(step):
    """The connect page's step picture: a crop of the page with the step drawn on it."""
    page = connect_background()
    lay = Layer(WIN_W, WIN_H)
    connect_illustration(lay, step)
    labels = step_indicator(page, lay, 1 if step == 1 else 2)
    if step == 1:
        title = "Connect your Android phone"
        lines = ("Plug the phone into this PC with its USB cable.",
                 "Turn on USB debugging (Settings \u203a Developer options).",
                 "Allow root access when the phone asks for it.")
    else:
        title = "Reading your phone's databases"
        lines = ("Copying the contacts and messages databases to this PC.",
                 "Looking for deleted records in them.",
                 "Keep the phone connected until the list appears.")
    ys = (146, 174, 202)
    for i, y in enumerate(ys):
        lay.circle(272, y, 10, fill=rgba(TEAL_SOFT))
    paste(page, lay)
    put_text(page, (262, 100), title, font(20, True), INK, anchor="lm")
    for i, (y, s) in enumerate(zip(ys, lines)):
        put_text(page, (272, y + 1), str(i + 1), font(12, True), TEAL_DARK, anchor="mm")
        put_text(page, (292, y + 1), s, font(14), INK, anchor="lm")
    for x, cy, name, col, num in labels:
        if num:
            put_text(page, (x, cy + 1), num[0], font(12, True), num[1], anchor="mm")
        put_text(page, (x, cy + 24), name, font(11, name == ("Connect", "Read")[step - 1]), col,
                 anchor="mm")
    return page.crop((STEP_X, STEP_Y, STEP_X + STEP_W, STEP_Y + STEP_H)).convert("RGB")


# Loading animation: 785 x 331, the size of the rectangle it is drawn into, so
# it is never scaled. GIF has no partial transparency: the background is the
# card's white and the palette is fixed (white, blends of white with each ink,
# blends of the spinner track with teal).
GIF_FRAMES = 16
GIF_DELAY_MS = 60
SPIN_CX, SPIN_CY, SPIN_R, SPIN_W = 392, 122, 44, 9


def gif_palette():
    cols = [WHITE]
    for k in (INK, MUTED, TEAL, TEAL_DARK, TRACK, TEAL_SOFT):
        for i in range(1, 33):
            cols.append(mix(WHITE, k, i / 32.0))
    for i in range(1, 33):
        cols.append(mix(TRACK, TEAL, i / 32.0))
    for i in range(1, 17):
        cols.append(mix(TEAL_SOFT, TEAL_DARK, i / 16.0))
    cols = list(dict.fromkeys(cols))[:256]
    while len(cols) < 256:
        cols.append(WHITE)
    pal = Image.new("P", (1, 1))
    pal.putpalette([v for c in cols for v in c])
    return pal


def loading_frame(f):
    im = Image.new("RGBA", (ANIM_W, ANIM_H), rgba(WHITE))
    box = 2 * (SPIN_R + SPIN_W)
    ox, oy = SPIN_CX - box // 2, SPIN_CY - box // 2
    lay = Layer(box, box)
    c = box / 2.0
    r = SPIN_R
    lay.circle(c, c, r, outline=rgba(TRACK), width=SPIN_W)
    # a comet: 140 degrees of arc that fades from the head into the track
    head = -90 + f * 360.0 / GIF_FRAMES
    seg = 56
    for i in range(seg):
        t = (i + 1) / float(seg)
        a0 = head - 140 + 140 * i / seg
        a1 = head - 140 + 140 * (i + 1) / seg + 0.8
        lay.arc((c - r - SPIN_W / 2.0, c - r - SPIN_W / 2.0, c + r + SPIN_W / 2.0, c + r + SPIN_W / 2.0),
                a0, a1, rgba(mix(TRACK, TEAL, t ** 1.6)), SPIN_W)
    a = math.radians(head)
    lay.circle(c + (r) * math.cos(a), c + (r) * math.sin(a), SPIN_W / 2.0, fill=rgba(TEAL))
    phone_glyph(lay, c - 13, c - 22, 26, 44, rgba(TEAL_DARK), rgba(TEAL_SOFT))
    paste(im, lay, (ox, oy))
    put_text(im, (ANIM_W // 2, 206), "Reading your phone\u2026", font(18, True), INK, anchor="mm")
    put_text(im, (ANIM_W // 2, 234), "Keep the phone connected and unlocked. This can take a minute.",
             font(13), MUTED, anchor="mm")
    return im.convert("RGB")


def to_palette(im, pal, cols, lut):
    """Maps each colour to its nearest palette entry exactly (Pillow's own
    palette conversion is approximate and would tint the white background)."""
    data = list(im.getdata())
    for c in set(data):
        if c not in lut:
            lut[c] = min(range(len(cols)),
                         key=lambda i: (cols[i][0] - c[0]) ** 2 + (cols[i][1] - c[1]) ** 2 +
                         (cols[i][2] - c[2]) ** 2)
    out = Image.new("P", im.size)
    out.putpalette(pal.getpalette())
    out.putdata([lut[c] for c in data])
    return out


def loading_gif(path):
    pal = gif_palette()
    p = pal.getpalette()
    cols = [tuple(p[i:i + 3]) for i in range(0, 768, 3)]
    lut = {}
    frames = [to_palette(loading_frame(f), pal, cols, lut) for f in range(GIF_FRAMES)]
    frames[0].save(path, "GIF", save_all=True, append_images=frames[1:], duration=GIF_DELAY_MS,
                   loop=0, optimize=False, disposal=1)


def load_failed_picture():
    """Drawn in the loading animation's place when nothing could be read; the
    window writes the hints below it (y 570 to 645), on the card's white."""
    im = Image.new("RGBA", (ANIM_W, ANIM_H), rgba(WHITE))
    lay = Layer(ANIM_W, ANIM_H)
    cx = ANIM_W // 2
    # phone and an unplugged cable ending in its plug
    cable(lay, [(cx - 40, 150), (cx - 40, 186), (cx + 20, 190), (cx + 34, 166)], rgba((150, 162, 172)), 3)
    lay.rrect((cx + 29, 152, cx + 41, 168), 2, fill=rgba((112, 126, 138)))
    lay.rect((cx + 32, 147, cx + 34.5, 152), fill=rgba((150, 162, 172)))
    lay.rect((cx + 35.5, 147, cx + 38, 152), fill=rgba((150, 162, 172)))
    phone_glyph(lay, cx - 66, 48, 52, 98, rgba((112, 126, 138)), rgba((232, 237, 241)))
    lay.rrect((cx - 44.5, 144, cx - 35.5, 154), 1.5, fill=rgba((96, 110, 122)))
    # the red badge at the phone's corner
    lay.circle(cx - 16, 54, 15, fill=rgba(WHITE))
    lay.circle(cx - 16, 54, 13, fill=rgba(ERROR_RED))
    lay.rrect((cx - 17.6, 46, cx - 14.4, 57.5), 1.4, fill=rgba(WHITE))
    lay.circle(cx - 16, 61.6, 1.9, fill=rgba(WHITE))
    paste(im, lay)
    put_text(im, (cx, 232), "Could not read data from the phone", font(18, True), ALERT, anchor="mm")
    put_text(im, (cx, 260), "Check the points below, then click Refresh to try again.", font(13), MUTED,
             anchor="mm")
    return im.convert("RGB")


# -------------------------------------------------------------- scan page --

TREE_BOX = (1, 32, 222, 609)      # category tree
LIST_BOX = (225, 32, 733, 608)    # record list (contacts placement; messages end at x 722)
PANE_BOX = (733, 34, 974, 609)    # contact card / conversation view (the message view starts at 723)
BAR_TOP = 609                     # bottom bar: progress bar, busy animation and the bottom-row buttons


def scan_background():
    im = page_base(WIN_W, WIN_H)
    d = ImageDraw.Draw(im)
    d.rectangle(TREE_BOX[:2] + (TREE_BOX[2] - 1, TREE_BOX[3] - 1), fill=rgba(WHITE))
    # record list placeholder, seen while the scan runs: header strip and a note
    lx0, ly0, lx1, ly1 = LIST_BOX
    d.rectangle((lx0, ly0, lx1 - 1, ly1 - 1), fill=rgba(WHITE))
    im.alpha_composite(header_strip(lx1 - lx0).convert("RGBA"), dest=(lx0, ly0))
    d.line([(lx0, ly0), (lx0, ly1 - 1)], fill=rgba(CARD_LINE))
    lay = Layer(WIN_W, WIN_H)
    cx = (lx0 + lx1) // 2
    for i in range(3):
        y = 262 + i * 22
        lay.rrect((cx - 62, y, cx - 48, y + 14), 3, fill=rgba((222, 230, 236)))
        lay.rrect((cx - 40, y + 3, cx + 62 - (i % 2) * 26, y + 11), 4, fill=rgba((228, 235, 240)))
    # detail pane placeholder
    px0, py0, px1, py1 = PANE_BOX
    lay.rect((px0, py0, px1, py1), fill=rgba((244, 247, 250)))
    lay.rect((px0, py0, px0 + 1, py1), fill=rgba((200, 200, 200)))
    pcx = (px0 + px1) // 2
    lay.circle(pcx, 250, 26, fill=rgba((226, 233, 239)))
    person_glyph(lay, pcx, 236, 26, rgba((246, 249, 251)))
    # bottom bar
    lay.rect((0, BAR_TOP, WIN_W, WIN_H), fill=rgba(BAR))
    lay.rect((0, BAR_TOP, WIN_W, BAR_TOP + 1), fill=rgba((208, 213, 218)))
    paste(im, lay)
    put_text(im, (cx, 352), "Contacts and messages are listed here", font(14, True), MUTED, anchor="mm")
    put_text(im, (cx, 376), "once the scan has read them from the phone.", font(13), FAINT, anchor="mm")
    put_text(im, (pcx, 298), "Select a record", font(12, True), FAINT, anchor="mm")
    put_text(im, (pcx, 316), "to see its details here.", font(12), FAINT, anchor="mm")
    window_outline(im, WIN_W, WIN_H, FRAME_LINE)
    return im


def header_strip(w=8):
    """The record list's header look, 30 px high; the header stretches column x = 2."""
    im = vgradient(w, 30, (252, 253, 254), (232, 238, 242))
    d = ImageDraw.Draw(im)
    d.line([(0, 29), (w - 1, 29)], fill=rgba((200, 209, 217)))
    return im.convert("RGB")


# ------------------------------------------------------------ dialog boxes --

MSGBOX_W, MSGBOX_H = 420, 180
ABOUT_W, ABOUT_H = 490, 330
ABOUT_BODY = (238, 244, 248)  # the home-page link paints this colour behind itself


def msgbox_background():
    """Message box: the box writes its title at (40, 7), the icon at x 20 and the
    text from x 70, both centred on the whole height; buttons sit 15 px above
    the bottom."""
    im = Image.new("RGBA", (MSGBOX_W, MSGBOX_H), rgba(WHITE))
    title_band(im, MSGBOX_W, 30)
    d = ImageDraw.Draw(im)
    d.rectangle((1, 124, MSGBOX_W - 2, MSGBOX_H - 2), fill=rgba((245, 248, 250)))
    d.line([(1, 123), (MSGBOX_W - 2, 123)], fill=rgba((226, 232, 237)))
    window_outline(im, MSGBOX_W, MSGBOX_H, FRAME_LINE)
    return im.convert("RGB")


def about_background():
    """About box: title at (38, 7), version at (40, 135), legal notice in
    (40, 190)-(450, 254), home-page link at (40, 270), OK at the lower right."""
    im = Image.new("RGBA", (ABOUT_W, ABOUT_H), rgba(ABOUT_BODY))
    title_band(im, ABOUT_W, 30)
    lay = Layer(ABOUT_W, ABOUT_H)
    lay.rrect((40, 48, 112, 120), 14, fill=rgba(WHITE), outline=rgba((214, 224, 232)), width=1)
    draw_logo(lay, 52, 57, 54, rgba(TEAL_DARK), rgba(TEAL_SOFT), rgba(WHITE))
    lay.rect((40, 172, 450, 173), fill=rgba((210, 220, 228)))
    paste(im, lay)
    put_text(im, (128, 72), "Zephyrloom", font(24, True), TEAL_DARK, anchor="ls")
    put_text(im, (128, 96), "Phone SMS + Contacts Rescue", font(17, True), INK, anchor="ls")
    put_text(im, (128, 116), "Contacts and text messages back from your Android phone",
             font(11), MUTED, anchor="ls")
    window_outline(im, ABOUT_W, ABOUT_H, FRAME_LINE)
    return im.convert("RGB")


# ------------------------------------------------------------------ output --

def save_png(im, path):
    im.save(path, "PNG", optimize=False, compress_level=9)


def save_bmp(im, path):
    im.convert("RGB").save(path, "BMP")


def build(out):
    os.makedirs(out, exist_ok=True)

    def png(name, im):
        save_png(im, os.path.join(out, name))

    def bmp(name, im):
        save_bmp(im, os.path.join(out, name))

    # page backgrounds and the connect page's pictures
    png("mainbg1.png", connect_background().convert("RGB"))
    png("mainbg2.png", scan_background().convert("RGB"))
    png("step1.png", step_picture(1))
    png("step2.png", step_picture(2))
    loading_gif(os.path.join(out, "loaddata.gif"))
    png("loadfail.png", load_failed_picture())

    # title-bar buttons, 21 x 21 frames
    png("close.png", title_button("close", 4))
    png("min.png", title_button("min", 4))
    png("menu.png", title_button("menu", 3))
    png("btn_home.png", title_button("home", 4))
    png("btn_help.png", title_button("help", 4))

    # bottom-row buttons, 34 px high; pause + stop share the right end of the bar
    png("back.png", label_button(96, 34, "Back", "back", SECONDARY_LOOKS, 3))
    png("pause.png", label_button(104, 34, "Pause", "pause", SECONDARY_LOOKS, 4))
    png("continue.png", label_button(104, 34, "Continue", "continue", SECONDARY_LOOKS, 4))
    png("stop.png", label_button(66, 34, "Stop", "stop", SECONDARY_LOOKS, 4, icon_col=ERROR_RED))
    png("recover.png", label_button(124, 34, "Recover", "recover", PRIMARY_LOOKS, 3))
    png("refresh.png", label_button(124, 34, "Refresh", "refresh", PRIMARY_LOOKS, 3))

    # message box and About box
    png("msgbox.png", msgbox_background())
    png("aboutbk.png", about_background())
    png("ok.png", label_button(90, 30, "OK", None, PRIMARY_LOOKS, 4))
    png("yes.png", label_button(90, 30, "Yes", None, PRIMARY_LOOKS, 4))
    png("no.png", label_button(90, 30, "No", None, SECONDARY_LOOKS, 4))
    png("cancel.png", label_button(90, 30, "Cancel", None, SECONDARY_LOOKS, 4))
    for kind in ("warn", "error", "info", "right"):
        png(kind + ".png", status_icon(kind))

    # record list and its header
    png("checkbox.png", strip([checkbox_frame(k) for k in ("off", "off_hot", "on", "on_hot")]))
    png("deleted.png", deleted_mark())
    bmp("list_hearder.bmp", header_strip())
    png("inc.png", sort_arrow(True))
    png("dec.png", sort_arrow(False))

    # category tree
    png("checkboxes.png", strip([checkbox_frame(k) for k in ("off", "off_hot", "mixed", "on", "disabled")]))
    bmp("tree_closed.bmp", tree_expander(False))
    bmp("tree_opened.bmp", tree_expander(True))
    png("treeroot.png", small_icon("root"))
    png("contacts.png", small_icon("contacts"))
    png("message.png", small_icon("message"))

    # busy animation of the bottom bar, contact card, conversation bubbles
    png("animate.png", busy_strip())
    png("contactperson.png", contact_picture())
    for kind in ("in", "out"):
        for piece, im in bubble_pieces(kind).items():
            bmp("%s_%s.bmp" % (kind, piece), im)


def main(argv):
    if len(argv) > 2 or (len(argv) == 2 and argv[1] in ("-h", "--help")):
        print(__doc__.strip())
        return 2 if len(argv) > 2 else 0
    for path in (FONT_REGULAR, FONT_BOLD):
        if not os.path.isfile(path):
            sys.exit("make_skin.py: font %s is missing (Debian: apt-get install fonts-dejavu-core)" % path)
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    out = argv[1] if len(argv) == 2 else os.path.join(root, "image")
    build(out)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
