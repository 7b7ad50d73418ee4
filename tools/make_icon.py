#!/usr/bin/python3
"""Draws the program's pictures outside its skin, from the skin's mark (a
phone with a rescue shield):
  resources/ZephyrloomRescue.ico       the icon, at every size Windows asks
                                       for: the program's file, its window,
                                       the setup program and its "Apps" entry
  packaging/windows/wizard.bmp         the side picture of the setup
                                       program's first and last pages

Usage: tools/make_icon.py [SOURCE_ROOT]

Each icon size is drawn on its own (not scaled down from the largest), so
that the small ones stay sharp. Deterministic, like the skin: Pillow only,
no timestamps.
"""

import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import make_skin as skin  # noqa: E402

SIZES = (16, 20, 24, 32, 40, 48, 64, 128, 256)


def tile(size):
    """The title band's gradient on a rounded square, the mark on it; the
    smallest sizes get a larger mark, as a few pixels must carry it."""
    image = skin.Image.new("RGBA", (size, size), (0, 0, 0, 0))
    radius = max(2.0, size * 0.18)
    skin.fill_masked(image, (0, 0), skin.vgradient(size, size, skin.BAND_TOP, skin.BAND_BOTTOM),
                     skin.rrect_mask(size, size, radius))
    scale = 0.92 if size <= 24 else 0.80
    mark = size * scale
    lay = skin.Layer(size, size)
    edge = skin.rgba(skin.mix(skin.BAND_TOP, skin.BAND_BOTTOM, 0.55))
    skin.draw_logo(lay, (size - mark * 0.97) / 2, (size - mark) / 2, mark, skin.rgba(skin.WHITE), edge, edge)
    image.alpha_composite(lay.result())
    return image


def wizard_picture():
    """164 x 314, as the setup program's pages expect: the title band's
    gradient, the mark, and the product's name under it."""
    w, h = 164, 314
    image = skin.vgradient(w, h, skin.BAND_TOP, skin.BAND_BOTTOM)
    mark = 84
    lay = skin.Layer(w, h)
    edge = skin.rgba(skin.mix(skin.BAND_TOP, skin.BAND_BOTTOM, 0.2))
    skin.draw_logo(lay, (w - mark) / 2, 34, mark, skin.rgba(skin.WHITE), edge, edge)
    image.alpha_composite(lay.result())
    top = 34 + mark + 26
    for index, line in enumerate(("Zephyrloom", "Phone SMS +", "Contacts Rescue")):
        bold = index == 0
        skin.put_text(image, (w // 2, top + index * 22), line, skin.font(15 if bold else 13, bold), skin.WHITE,
                      anchor="ma")
    return image.convert("RGB")


def main(argv):
    if len(argv) > 2 or (len(argv) == 2 and argv[1] in ("-h", "--help")):
        print(__doc__.strip())
        return 2 if len(argv) > 2 else 0
    root = argv[1] if len(argv) == 2 else os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    images = [tile(size) for size in SIZES]
    images[-1].save(os.path.join(root, "resources", "ZephyrloomRescue.ico"), format="ICO",
                    sizes=[(s, s) for s in SIZES], append_images=images[:-1])
    wizard_picture().save(os.path.join(root, "packaging", "windows", "wizard.bmp"), format="BMP")
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
