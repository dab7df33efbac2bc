#!/usr/bin/env python3
"""Packs the program's PNG icons into one Windows .ico: make_icon.py OUT.ico IN.png..."""
import sys

from PIL import Image

out, sources = sys.argv[1], sys.argv[2:]
images = sorted((Image.open(p).convert("RGBA") for p in sources), key=lambda i: i.size[0])
largest = images[-1]
largest.save(out, format="ICO", sizes=[i.size for i in images], append_images=images[:-1])
