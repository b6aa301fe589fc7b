"""Helpers for end-to-end tests that compare what the game shows with its full-screen pictures."""

import functools
import os

from PIL import Image, ImageChops, ImageStat

import harness

PICTURE_SIZE = (1920, 1080)
COMPARE_SIZE = (192, 108)


@functools.lru_cache(maxsize=None)
def picture(name):
    """One of the game's full-screen pictures ("start", "tutorial1", ...) as an RGB image."""
    path = os.path.join(harness.REPO, "assets", "menu", name + ".png")
    with Image.open(path) as image:
        return image.convert("RGB")


def fitted_box(screen_size, picture_size=PICTURE_SIZE):
    """Where a picture shown whole and centred lands on a screen: (left, top, right, bottom)."""
    scale = min(screen_size[0] / picture_size[0], screen_size[1] / picture_size[1])
    width, height = round(picture_size[0] * scale), round(picture_size[1] * scale)
    left, top = (screen_size[0] - width) // 2, (screen_size[1] - height) // 2
    return left, top, left + width, top + height


@functools.lru_cache(maxsize=None)
def _reduced_picture(name):
    return picture(name).resize(COMPARE_SIZE, Image.BOX)


def _reduced(image):
    return _reduced_picture(image) if isinstance(image, str) else image.resize(COMPARE_SIZE, Image.BOX)


def difference(shown, expected):
    """Mean difference per channel (0 to 255) of two images (or picture names), both reduced to a
    common small size, so that the game's nearest-pixel scaling and the reference scaling compare
    fairly."""
    return sum(ImageStat.Stat(ImageChops.difference(_reduced(shown), _reduced(expected))).mean) / 3


def shown_picture(screenshot):
    """The part of a screenshot where the full-screen picture is shown."""
    return screenshot.crop(fitted_box(screenshot.size))


def bars(screenshot):
    """The screen areas beside the fitted picture (empty when it fills the screen exactly)."""
    width, height = screenshot.size
    left, top, right, bottom = fitted_box(screenshot.size)
    boxes = [(0, 0, width, top), (0, bottom, width, height), (0, 0, left, height), (right, 0, width, height)]
    return [screenshot.crop(box) for box in boxes if box[2] > box[0] and box[3] > box[1]]


def which_picture(screenshot, names, limit=6.0):
    """The name of the picture among names that the screenshot shows, or None."""
    shown = shown_picture(screenshot)
    reduced = shown.resize(COMPARE_SIZE, Image.BOX)
    scores = {name: difference(reduced, name) for name in names}
    best = min(scores, key=scores.get)
    return best if scores[best] < limit else None
