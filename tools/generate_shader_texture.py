#!/usr/bin/python3
"""Writes assets/shaders/ShaderTextureUV.png, the texture of the grid's map-sized light rectangle.

The rectangle carries the whole texture, so its texture coordinates run 0..1 over the map; the
light shader reads the position on the map from those coordinates. The picture itself encodes the
same position (red = u, green = v), which makes a light drawn without its shader easy to recognise
and lets the shader or a debugging session read the position back from a texel.

Run with Debian's Python (it has PIL): /usr/bin/python3 tools/generate_shader_texture.py
"""

import argparse
import os

from PIL import Image

SIZE = 256


def make_texture(size=SIZE):
    """An RGBA gradient: red grows with u (left to right), green with v (top to bottom)."""
    image = Image.new("RGBA", (size, size))
    pixels = image.load()
    for y in range(size):
        for x in range(size):
            # Texel centres, so the corner texels read 0 and 255 exactly.
            u = round(x * 255 / (size - 1))
            v = round(y * 255 / (size - 1))
            pixels[x, y] = (u, v, 0, 255)
    return image


def main():
    repo = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(repo, "assets", "shaders", "ShaderTextureUV.png"))
    args = parser.parse_args()
    os.makedirs(os.path.dirname(args.out), exist_ok=True)
    # No time stamps or text chunks, so the file is the same on every run.
    make_texture().save(args.out, optimize=True)
    print(args.out)


if __name__ == "__main__":
    main()
