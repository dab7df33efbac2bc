#!/usr/bin/python3
"""Draws every picture of the window skin into this folder (and the Linux icon).

Run it after changing a colour or a shape:  /usr/bin/python3 resources/skin/draw_pictures.py
Shapes are drawn four times larger and scaled down, which smooths their edges.
"""

import os

from PIL import Image, ImageDraw, ImageFont

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(os.path.dirname(HERE))

BLUE = (43, 86, 154)         # the settings panel and accents (#2B569A)
BLUE_LIGHT = (135, 168, 221)  # hot rows (#87A8DD)
SKY = (233, 245, 255)
LINE = (212, 222, 229)       # list and tab borders (#D4DEE5)
GREY = (167, 166, 170)
WHITE = (255, 255, 255)
GREEN = (46, 160, 67)
RED = (214, 55, 55)
ORANGE = (240, 150, 40)
S = 4  # supersampling factor
# The Chinese-capable face scripts/setup installs; it also draws Latin text well.
FONT = "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc"


def canvas(w, h, fill=(0, 0, 0, 0)):
    img = Image.new("RGBA", (w * S, h * S), fill)
    return img, ImageDraw.Draw(img)


def done(img, w, h):
    return img.resize((w, h), Image.LANCZOS)


def save(img, name, folder=HERE):
    path = os.path.join(folder, name)
    if name.endswith(".bmp"):
        img.convert("RGB").save(path)
    else:
        img.save(path)


def sc(*values):
    return [v * S for v in values]


def rounded(w, h, radius, fill, outline=None, width=1):
    img, d = canvas(w, h)
    d.rounded_rectangle(sc(0, 0, w, h), radius * S, fill=fill, outline=outline, width=width * S)
    return done(img, w, h)


def gradient(w, h, top, bottom, outline=None, radius=0):
    img = Image.new("RGBA", (w, h))
    for y in range(h):
        t = y / max(1, h - 1)
        c = tuple(int(top[i] + (bottom[i] - top[i]) * t) for i in range(len(top)))
        for x in range(w):
            img.putpixel((x, y), c)
    if outline is not None:
        mask, d = canvas(w, h)
        d.rounded_rectangle(sc(0, 0, w, h), radius * S, fill=(255, 255, 255, 255))
        mask = done(mask, w, h)
        img.putalpha(mask.split()[3])
        d2 = ImageDraw.Draw(img)
        d2.rounded_rectangle((0, 0, w - 1, h - 1), radius, outline=outline)
    return img


# --- buttons and frames ----------------------------------------------------------------------

def button_states():
    save(rounded(20, 20, 3, (222, 234, 250, 255), (160, 188, 230, 255)), "btn_hot.png")
    save(rounded(20, 20, 3, (196, 216, 244, 255), (110, 148, 206, 255)), "btn_push.png")
    save(gradient(20, 20, (255, 255, 255, 255), (236, 239, 244, 255), (190, 198, 210, 255), 3), "Button_Non.png")


def edit_frames():
    save(rounded(20, 20, 2, (255, 255, 255, 255), (190, 202, 216, 255)), "edt.png")
    save(rounded(20, 20, 2, (244, 244, 244, 255), (214, 214, 214, 255)), "edt_dis.png")


def window_buttons():
    def cell(kind, state, w, h):
        bg = {"normal": (0, 0, 0, 0), "hot": (226, 234, 246, 255), "down": (196, 212, 236, 255)}[state]
        if kind == "close" and state != "normal":
            bg = {"hot": (232, 72, 72, 255), "down": (190, 40, 40, 255)}[state]
        img, d = canvas(w, h, bg)
        fg = (80, 90, 110, 255) if not (kind == "close" and state != "normal") else (255, 255, 255, 255)
        cx, cy = w / 2, h / 2
        lw = int(1.4 * S)
        if kind == "mini":
            d.line(sc(cx - 5, cy + 3, cx + 5, cy + 3), fill=fg, width=lw)
        elif kind == "max":
            d.rectangle(sc(cx - 5, cy - 5, cx + 5, cy + 5), outline=fg, width=lw)
            d.line(sc(cx - 5, cy - 4, cx + 5, cy - 4), fill=fg, width=lw)
        elif kind == "restore":
            d.rectangle(sc(cx - 3, cy - 6, cx + 6, cy + 2), outline=fg, width=lw)
            d.rectangle(sc(cx - 6, cy - 3, cx + 3, cy + 6), outline=fg, width=lw, fill=bg)
        elif kind == "close":
            d.line(sc(cx - 4.5, cy - 4.5, cx + 4.5, cy + 4.5), fill=fg, width=lw)
            d.line(sc(cx - 4.5, cy + 4.5, cx + 4.5, cy - 4.5), fill=fg, width=lw)
        elif kind == "set":
            # a small down-pointing menu triangle with a bar
            d.line(sc(cx - 5, cy - 4, cx + 5, cy - 4), fill=fg, width=lw)
            d.polygon(sc(cx - 5, cy - 1, cx + 5, cy - 1, cx, cy + 5), fill=fg)
        return done(img, w, h)

    for kind, w in (("mini", 28), ("set", 28), ("close", 39)):
        for state, suffix in (("normal", "normal"), ("hot", "highlight"), ("down", "down")):
            save(cell(kind, state, w, 19), f"btn_{kind}_{suffix}.png")
    for kind in ("max", "restore"):
        strip = Image.new("RGBA", (85, 19), (0, 0, 0, 0))
        for i, state in enumerate(("normal", "hot", "down")):
            strip.paste(cell(kind, state, 28, 19), (i * 28 + (1 if i else 0), 0))
        save(strip, f"btn_{kind}.png")


# --- command icons ---------------------------------------------------------------------------

def document(d, x, y, color):
    d.polygon(sc(x + 6, y + 2, x + 20, y + 2, x + 27, y + 9, x + 27, y + 30, x + 6, y + 30),
              fill=(255, 255, 255, 255), outline=color, width=int(1.6 * S))
    d.line(sc(x + 20, y + 2, x + 20, y + 9, x + 27, y + 9), fill=color, width=int(1.6 * S))
    for i in range(3):
        d.line(sc(x + 10, y + 15 + i * 4, x + 22, y + 15 + i * 4), fill=(*LINE, 255), width=int(1.2 * S))


def command_icons():
    img, d = canvas(32, 32)
    document(d, 0, 0, (*BLUE, 255))
    d.ellipse(sc(15, 15, 31, 31), fill=(*GREEN, 255))
    d.line(sc(23, 18.5, 23, 27.5), fill=WHITE, width=int(2.2 * S))
    d.line(sc(18.5, 23, 27.5, 23), fill=WHITE, width=int(2.2 * S))
    save(done(img, 32, 32), "1409555223_file_add.png")

    img, d = canvas(32, 32)
    d.ellipse(sc(2, 2, 30, 30), fill=(*BLUE, 255))
    d.polygon(sc(12.5, 9, 23.5, 16, 12.5, 23), fill=WHITE)
    save(done(img, 32, 32), "play32.png")

    def fast_forward(color):
        img, d = canvas(32, 32)
        d.ellipse(sc(2, 2, 30, 30), fill=color)
        d.polygon(sc(8, 10, 16, 16, 8, 22), fill=WHITE)
        d.polygon(sc(16, 10, 24, 16, 16, 22), fill=WHITE)
        return done(img, 32, 32)

    save(fast_forward((*BLUE, 255)), "playall32.png")
    save(fast_forward((*GREY, 255)), "1409560685_player_fastforward_de.png")

    img, d = canvas(32, 32)
    c = (70, 80, 100, 255)
    import math
    cx, cy = 16, 16
    teeth = []
    for i in range(16):
        a = math.pi * 2 * i / 16
        r = 12 if i % 2 == 0 else 9
        teeth.append((cx + r * math.cos(a), cy + r * math.sin(a)))
    d.polygon([v * S for p in teeth for v in p], fill=c)
    d.ellipse(sc(cx - 4, cy - 4, cx + 4, cy + 4), fill=(255, 255, 255, 255))
    save(done(img, 32, 32), "setting.png")


# --- lists, tabs, trees ----------------------------------------------------------------------

def list_pictures():
    save(gradient(20, 20, (252, 253, 255, 255), (236, 240, 246, 255)), "headerctrl_normal.png")
    save(gradient(20, 20, (240, 246, 255, 255), (220, 232, 250, 255)), "headerctrl_hot.png")
    save(gradient(20, 20, (220, 232, 250, 255), (204, 220, 244, 255)), "headerctrl_down.png")
    sep = Image.new("RGBA", (1, 20), (*LINE, 255))
    save(sep, "list_header_sep.png")
    save(rounded(20, 20, 2, (204, 224, 252, 255), (122, 162, 226, 255)), "tree_select.bmp")
    save(rounded(20, 20, 2, (232, 241, 253, 255), (190, 210, 240, 255)), "tree_hot.bmp")

    # status strip: blue dot, blue dot, play, check, pause, red cross
    strip, d = canvas(96, 16)
    for i in range(2):
        d.ellipse(sc(i * 16 + 4, 4, i * 16 + 12, 12), fill=(*BLUE_LIGHT, 255), outline=(*BLUE, 255), width=S)
    d.polygon(sc(32 + 4, 3, 32 + 13, 8, 32 + 4, 13), fill=(*ORANGE, 255))
    d.line(sc(48 + 3, 8, 48 + 7, 12, 48 + 13, 4), fill=(*GREEN, 255), width=int(2.4 * S), joint="curve")
    d.rectangle(sc(64 + 4, 3, 64 + 7, 13), fill=(*GREY, 255))
    d.rectangle(sc(64 + 9, 3, 64 + 12, 13), fill=(*GREY, 255))
    d.ellipse(sc(80 + 1, 1, 80 + 15, 15), fill=(*RED, 255))
    d.line(sc(80 + 5, 5, 80 + 11, 11), fill=WHITE, width=int(1.8 * S))
    d.line(sc(80 + 5, 11, 80 + 11, 5), fill=WHITE, width=int(1.8 * S))
    save(done(strip, 96, 16), "listico.png")

    # tabs: 80 x 24, with a 1-pixel frame (tab.png's 1,1-17,17 also serves as a disabled cell)
    def tab(fill, top_line):
        img = Image.new("RGBA", (80, 24), fill)
        d = ImageDraw.Draw(img)
        d.rectangle((0, 0, 79, 24), outline=(*LINE, 255))
        if top_line:
            d.rectangle((1, 0, 78, 1), fill=(*BLUE, 255))
        return img

    save(tab((246, 248, 251, 255), False), "tab.png")
    save(tab((234, 242, 252, 255), False), "tab_Hover.png")
    save(tab((255, 255, 255, 255), True), "tab_push.png")

    def folder_strip(expanded):
        strip, d = canvas(32, 16)
        for i, color in enumerate(((100, 110, 130, 255), (*BLUE, 255))):
            x = i * 16
            if expanded:
                d.polygon(sc(x + 4, 6, x + 12, 6, x + 8, 11), fill=color)
            else:
                d.polygon(sc(x + 6, 4, x + 11, 8, x + 6, 12), fill=color)
        return done(strip, 32, 16)

    save(folder_strip(False), "treeview_b.png")
    save(folder_strip(True), "treeview_a.png")

    save(rounded(12, 12, 2, (255, 255, 255, 255), (*LINE, 255)), "menu_normal.png")
    save(rounded(12, 12, 2, (234, 242, 252, 255), (*BLUE_LIGHT, 255)), "menu_hor.png")
    save(rounded(12, 12, 2, (255, 234, 208, 255), (230, 170, 100, 255)), "menu_prs.png")
    save(rounded(12, 12, 2, (210, 232, 252, 255), (160, 200, 240, 255)), "menu_hot_bk.png")


def option_marks():
    img, d = canvas(12, 12)
    d.ellipse(sc(0.5, 0.5, 11.5, 11.5), fill=WHITE, outline=(120, 140, 170, 255), width=S)
    save(done(img, 12, 12), "RadioBtnNon.png")
    # Selected: a blue disc with a white ring and centre, which reads on white pages and on
    # the blue settings panel alike.
    img, d = canvas(12, 12)
    d.ellipse(sc(0.5, 0.5, 11.5, 11.5), fill=(*BLUE, 255), outline=(200, 214, 236, 255), width=S)
    d.ellipse(sc(3.5, 3.5, 8.5, 8.5), fill=WHITE)
    save(done(img, 12, 12), "RadioBtnSel.png")
    img, d = canvas(16, 16)
    d.rounded_rectangle(sc(1, 1, 15, 15), 2 * S, fill=WHITE, outline=(120, 140, 170, 255), width=S)
    save(done(img, 16, 16), "1376291420_checkbox_no.png")
    img, d = canvas(16, 16)
    d.rounded_rectangle(sc(1, 1, 15, 15), 2 * S, fill=(*BLUE, 255), outline=(200, 214, 236, 255),
                        width=S)
    d.line(sc(4, 8, 7, 11, 12, 5), fill=WHITE, width=int(2 * S), joint="curve")
    save(done(img, 16, 16), "1376291417_checkbox_yes.png")


def scroll_bars():
    # 16-pixel cells: up arrow, down arrow, thumb, track (vertical); the same turned for
    # the horizontal bar
    strip = Image.new("RGBA", (16, 64), (0, 0, 0, 0))
    d = ImageDraw.Draw(strip)
    d.polygon((4, 10, 12, 10, 8, 5), fill=(120, 130, 150, 255))
    d.polygon((4, 22, 12, 22, 8, 27), fill=(120, 130, 150, 255))
    d.rounded_rectangle((4, 33, 11, 46), 3, fill=(184, 196, 214, 255))
    d.rectangle((0, 48, 15, 63), fill=(244, 246, 249, 255))
    save(strip, "scrollbar.png")
    save(strip.transpose(Image.TRANSPOSE), "scrollbarh.png")


def progress_and_busy():
    img = Image.new("RGBA", (8, 8), (*BLUE_LIGHT, 255))
    d = ImageDraw.Draw(img)
    d.rectangle((3, 4, 5, 6), fill=(*BLUE, 255))
    save(img, "prg.png")

    # The picture hangs below the title row, so the dots sit in its top part and the rest is
    # transparent (palette index 0).
    frames = []
    for f in range(12):
        img = Image.new("P", (119, 58), 0)
        img.putpalette([255, 255, 255, *BLUE, *BLUE_LIGHT] + [0, 0, 0] * 253)
        d = ImageDraw.Draw(img)
        for i in range(5):
            phase = (f - i * 2) % 12
            size = 4 if phase < 3 else 3
            cx, cy = 24 + i * 18, 14
            d.ellipse((cx - size, cy - size, cx + size, cy + size), fill=1 if phase < 3 else 2)
        frames.append(img)
    frames[0].save(os.path.join(HERE, "1.gif"), save_all=True, append_images=frames[1:], duration=80,
                   loop=0, transparency=0, disposal=2)


# --- auxiliary windows -----------------------------------------------------------------------

def auxiliary():
    for name, draw in (("1411887783_information_alert.png", "info"), ("1411887828_edit.png", "edit")):
        img, d = canvas(24, 24, (255, 0, 255, 255))
        if draw == "info":
            d.ellipse(sc(4, 4, 20, 20), fill=(*BLUE, 255))
            d.rectangle(sc(11, 10.5, 13, 17), fill=WHITE)
            d.ellipse(sc(10.8, 6.5, 13.2, 8.9), fill=WHITE)
        else:
            d.polygon(sc(6, 18, 7, 14, 16, 5, 19, 8, 10, 17), fill=(*ORANGE, 255))
            d.polygon(sc(6, 18, 7, 14, 10, 17), fill=(90, 90, 90, 255))
        # the colour key must stay exact, so no smoothing against it
        save(img.resize((24, 24), Image.NEAREST).convert("RGB"), name)

    head = Image.new("RGBA", (598, 298), (255, 255, 255, 255))
    d = ImageDraw.Draw(head)
    for y in range(110):
        t = y / 110
        d.line((0, y, 598, y), fill=(int(43 + 60 * t), int(86 + 70 * t), int(154 + 60 * t), 255))
    d.text((28, 30), "Varnik", fill=WHITE, font=ImageFont.truetype(FONT, 34))
    d.text((30, 74), "Cut Word documents into smaller ones", fill=(220, 232, 250, 255),
           font=ImageFont.truetype(FONT, 14))
    save(head, "about_head.png")

    foot = Image.new("RGBA", (150, 30), (0, 0, 0, 0))
    d = ImageDraw.Draw(foot)
    d.rounded_rectangle((2, 6, 20, 24), 4, fill=(*BLUE, 255))
    d.text((26, 6), "Varnik", fill=(*BLUE, 255), font=ImageFont.truetype(FONT, 15))
    save(foot, "footer.png")

    bk = Image.new("RGBA", (40, 40), (255, 255, 255, 255))
    d = ImageDraw.Draw(bk)
    d.rectangle((0, 0, 39, 27), fill=(236, 242, 250, 255))
    d.rectangle((0, 0, 39, 39), outline=(192, 192, 192, 255))
    save(bk, "pop_bk.png")


def icons():
    def icon(size):
        img, d = canvas(size, size)
        k = size / 32
        d.rounded_rectangle(sc(1 * k, 1 * k, 31 * k, 31 * k), 6 * k * S, fill=(*BLUE, 255))
        d.polygon(sc(9 * k, 6 * k, 19 * k, 6 * k, 24 * k, 11 * k, 24 * k, 26 * k, 9 * k, 26 * k), fill=WHITE)
        d.line(sc(6 * k, 16 * k, 27 * k, 16 * k), fill=(*ORANGE, 255), width=max(1, int(2.2 * k * S)))
        return done(img, size, size)

    for size in (16, 32, 48):
        save(icon(size), f"varnik_{size}.png")
    linux = os.path.join(ROOT, "resources", "linux")
    os.makedirs(linux, exist_ok=True)
    save(icon(256), "varnik.png", linux)


if __name__ == "__main__":
    button_states()
    edit_frames()
    window_buttons()
    command_icons()
    list_pictures()
    option_marks()
    scroll_bars()
    progress_and_busy()
    auxiliary()
    icons()
