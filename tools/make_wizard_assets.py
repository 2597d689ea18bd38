#!/usr/bin/env python3
"""Generate the installer wizard's icon and pictures.

Writes, relative to the repository root:
  assets/wizard/app.ico            application icon (11 images, 4/8/32 bpp)
  assets/wizard/picture-initial.bmp usage-notes banner, 759x398, 24 bpp
  assets/wizard/tutorial-1.bmp     step 1, 620x304, 24 bpp
  assets/wizard/tutorial-2.bmp     step 2, 365x511, 24 bpp
  assets/wizard/tutorial-3.bmp     step 3, 352x405, 8 bpp

Usage (from the repository root):
  python3 tools/make_wizard_assets.py

Needs Python 3 and ImageMagick's `convert` with the WenQuanYi Micro Hei
font (fonts-wqy-microhei).  ImageMagick only rasterises to raw pixels; all
file formats are written here, so the output is byte-for-byte reproducible.
"""

import os
import struct
import subprocess
import sys

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
OUT_DIR = os.path.join(ROOT, "assets", "wizard")

FONT_CANDIDATES = [
    "/usr/share/fonts/truetype/wqy/wqy-microhei.ttc",
    "/usr/share/fonts/wqy-microhei/wqy-microhei.ttc",
]

TEAL = "#22CADD"
GREEN = "#51AE51"
DEEP = "#157A6E"      # dark teal for outlines and headings
INK = "#1C4F4A"       # body text on light backgrounds
ACCENT = "#F29E4C"    # warm highlight, used sparingly


def find_font():
    for path in FONT_CANDIDATES:
        if os.path.exists(path):
            return path
    try:
        out = subprocess.run(["fc-match", "-f", "%{file}", "WenQuanYi Micro Hei"],
                             capture_output=True, text=True, check=True).stdout
        if out and "wqy" in out.lower():
            return out
    except (OSError, subprocess.CalledProcessError):
        pass
    sys.exit("WenQuanYi Micro Hei not found; install fonts-wqy-microhei")


FONT = find_font()


# ---------------------------------------------------------------- drawing --

class Mvg:
    """Accumulates ImageMagick MVG drawing primitives."""

    def __init__(self, width, height):
        self.w, self.h = width, height
        self.defs = []
        self.body = []
        self._n = 0

    def gradient(self, x1, y1, x2, y2, stops):
        # Gradients must be declared in a defs block before use.
        self._n += 1
        name = "g%d" % self._n
        self.defs.append("push gradient '%s' linear %g,%g %g,%g" % (name, x1, y1, x2, y2))
        for colour, offset in stops:
            self.defs.append("stop-color '%s' %g" % (colour, offset))
        self.defs.append("pop gradient")
        return "url(#%s)" % name

    def raw(self, *lines):
        self.body.extend(lines)

    def _style(self, fill, stroke, sw, opacity):
        out = ["push graphic-context",
               "fill '%s'" % (fill or "none"),
               "stroke '%s'" % (stroke or "none")]
        if stroke:
            out.append("stroke-width %g" % sw)
            out.append("stroke-linecap round")
            out.append("stroke-linejoin round")
        if opacity is not None:
            out.append("fill-opacity %g" % opacity)
            # stroke-opacity on a "none" stroke makes ImageMagick draw black
            if stroke:
                out.append("stroke-opacity %g" % opacity)
        return out

    def rrect(self, x1, y1, x2, y2, r, fill=None, stroke=None, sw=1, opacity=None):
        self.body += self._style(fill, stroke, sw, opacity)
        self.body.append("roundrectangle %g,%g %g,%g %g,%g" % (x1, y1, x2, y2, r, r))
        self.body.append("pop graphic-context")

    def rect(self, x1, y1, x2, y2, fill=None, stroke=None, sw=1, opacity=None):
        self.body += self._style(fill, stroke, sw, opacity)
        self.body.append("rectangle %g,%g %g,%g" % (x1, y1, x2, y2))
        self.body.append("pop graphic-context")

    def circle(self, cx, cy, r, fill=None, stroke=None, sw=1, opacity=None):
        self.body += self._style(fill, stroke, sw, opacity)
        self.body.append("circle %g,%g %g,%g" % (cx, cy, cx + r, cy))
        self.body.append("pop graphic-context")

    def line(self, x1, y1, x2, y2, stroke, sw=1, opacity=None):
        self.body += self._style(None, stroke, sw, opacity)
        self.body.append("line %g,%g %g,%g" % (x1, y1, x2, y2))
        self.body.append("pop graphic-context")

    def path(self, d, fill=None, stroke=None, sw=1, opacity=None, dash=None):
        self.body += self._style(fill, stroke, sw, opacity)
        if dash:
            self.body.append("stroke-dasharray %s" % dash)
        self.body.append("path '%s'" % d)
        self.body.append("pop graphic-context")

    def text(self, x, y, s, size, fill, anchor="start", bold=False):
        assert "'" not in s and "%" not in s and "\\" not in s
        self.body += ["push graphic-context",
                      "font '%s'" % FONT,
                      "font-size %g" % size,
                      "text-anchor %s" % anchor,
                      "fill '%s'" % fill]
        # The font has no bold face; a thin same-colour stroke stands in.
        if bold:
            self.body += ["stroke '%s'" % fill, "stroke-width %g" % (size / 36.0)]
        else:
            self.body.append("stroke none")
        self.body.append("text %g,%g '%s'" % (x, y, s))
        self.body.append("pop graphic-context")

    def shadow(self, x1, y1, x2, y2, r, depth=8, colour="#0B3B36"):
        # Stacked faint rectangles fake a soft drop shadow without blur filters.
        for i in range(depth, 0, -1):
            self.rrect(x1 - i + 2, y1 - i + 4, x2 + i + 2, y2 + i + 4, r + i,
                       fill=colour, opacity=0.018)

    def source(self):
        doc = ["viewbox 0 0 %d %d" % (self.w, self.h)]
        if self.defs:
            doc += ["push defs"] + self.defs + ["pop defs"]
        return "\n".join(doc + self.body) + "\n"


def run_convert(args, stdin=None):
    res = subprocess.run(["convert"] + args, input=stdin, capture_output=True)
    if res.returncode != 0:
        sys.exit("convert failed: %s" % res.stderr.decode("utf-8", "replace"))
    return res.stdout


def render(mvg, mode="RGB", background="none", scale_to=None):
    """Rasterise MVG to raw 8-bit pixels (optionally box-downsampled)."""
    args = ["-size", "%dx%d" % (mvg.w, mvg.h), "xc:%s" % background,
            "-draw", mvg.source()]
    if scale_to:
        args += ["-filter", "Box", "-resize", "%dx%d!" % scale_to]
    data = run_convert(args + ["-depth", "8", mode + ":-"])
    w, h = scale_to or (mvg.w, mvg.h)
    assert len(data) == w * h * len(mode), (len(data), w, h)
    return data


# ------------------------------------------------------------ file writers --

def row_stride(width, bpp):
    return ((width * bpp + 31) // 32) * 4


def bmp_bytes(width, height, rgb=None, indices=None, palette=None):
    """Uncompressed bottom-up BMP with a BITMAPINFOHEADER (24 or 8 bpp)."""
    bpp = 8 if indices is not None else 24
    stride = row_stride(width, bpp)
    pad = b"\0" * (stride - width * bpp // 8)
    rows = []
    for y in range(height - 1, -1, -1):
        if bpp == 24:
            src = rgb[y * width * 3:(y + 1) * width * 3]
            row = bytearray(src)
            row[0::3], row[2::3] = src[2::3], src[0::3]   # RGB -> BGR
            rows.append(bytes(row) + pad)
        else:
            rows.append(bytes(indices[y * width:(y + 1) * width]) + pad)
    pixels = b"".join(rows)
    pal = b""
    if bpp == 8:
        pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
        pal += b"\0" * (1024 - len(pal))
    offset = 14 + 40 + len(pal)
    info = struct.pack("<IiiHHIIiiII", 40, width, height, 1, bpp, 0,
                       len(pixels), 2835, 2835, 256 if bpp == 8 else 0, 0)
    head = struct.pack("<2sIHHI", b"BM", offset + len(pixels), 0, 0, offset)
    return head + info + pal + pixels


def ico_image(size, bpp, rgba, palette=None):
    """One classic (non-PNG) icon image: header, palette, XOR bitmap, AND mask."""
    alpha = rgba[3::4]
    xor_rows = []
    stride = row_stride(size, bpp)
    if bpp == 32:
        for y in range(size - 1, -1, -1):
            src = rgba[y * size * 4:(y + 1) * size * 4]
            row = bytearray(src)
            row[0::4], row[2::4] = src[2::4], src[0::4]   # RGBA -> BGRA
            xor_rows.append(bytes(row))
    else:
        idx = quantise(rgba, palette, size * size, has_alpha=True)
        for y in range(size - 1, -1, -1):
            line = idx[y * size:(y + 1) * size]
            if bpp == 4:
                packed = bytes((line[i] << 4) | line[i + 1] for i in range(0, size, 2))
            else:
                packed = bytes(line)
            xor_rows.append(packed + b"\0" * (stride - len(packed)))
    mask_stride = row_stride(size, 1)
    mask_rows = []
    for y in range(size - 1, -1, -1):
        bits = bytearray(mask_stride)
        for x in range(size):
            if alpha[y * size + x] < 128:
                bits[x >> 3] |= 0x80 >> (x & 7)
        mask_rows.append(bytes(bits))
    body = b"".join(xor_rows) + b"".join(mask_rows)
    pal = b""
    if palette is not None:
        pal = b"".join(struct.pack("<BBBB", b, g, r, 0) for r, g, b in palette)
    header = struct.pack("<IiiHHIIiiII", 40, size, size * 2, 1, bpp, 0,
                         len(body), 0, 0, 0, 0)
    return header + pal + body


def ico_bytes(images):
    """images: list of (size, bpp, data)."""
    out = [struct.pack("<HHH", 0, 1, len(images))]
    offset = 6 + 16 * len(images)
    for size, bpp, data in images:
        colours = 16 if bpp == 4 else 0
        out.append(struct.pack("<BBBBHHII", size % 256, size % 256, colours, 0,
                               1, bpp, len(data), offset))
        offset += len(data)
    out += [data for _, _, data in images]
    return b"".join(out)


# ----------------------------------------------------------- quantisation --

def hexrgb(s):
    s = s.lstrip("#")
    return tuple(int(s[i:i + 2], 16) for i in (0, 2, 4))


def lerp(a, b, t):
    return tuple(int(round(a[i] + (b[i] - a[i]) * t)) for i in range(3))


def quantise(pixels, palette, count, has_alpha=False):
    """Nearest palette colour per pixel; fully transparent pixels map to 0."""
    step = 4 if has_alpha else 3
    cache = {}
    out = bytearray(count)
    for i in range(count):
        p = i * step
        if has_alpha and pixels[p + 3] < 128:
            out[i] = 0
            continue
        key = (pixels[p], pixels[p + 1], pixels[p + 2])
        hit = cache.get(key)
        if hit is None:
            r, g, b = key
            best, hit = None, 0
            for j, (pr, pg, pb) in enumerate(palette):
                d = 3 * (r - pr) ** 2 + 4 * (g - pg) ** 2 + 2 * (b - pb) ** 2
                if best is None or d < best:
                    best, hit = d, j
            cache[key] = hit
        out[i] = hit
    return out


def icon_palette_16():
    # Index 0 is black: transparent pixels use it and the AND mask hides them.
    teal, green = hexrgb(TEAL), hexrgb(GREEN)
    pal = [(0, 0, 0), (255, 255, 255)]
    pal += [lerp(teal, green, k / 4.0) for k in range(5)]
    pal += [hexrgb(DEEP), (0x0E, 0x4F, 0x48), (0x8F, 0xD3, 0xCF),
            (0xD6, 0xF1, 0xEC), (0xB0, 0xE6, 0xC0), (0x6C, 0xD5, 0xE2),
            (0x5E, 0xA8, 0x9E), (0xA8, 0xBF, 0xBC), (0x3A, 0x95, 0x8A)]
    assert len(pal) == 16
    return pal


def icon_palette_256():
    # 6x6x6 colour cube plus ramps in the icon's own hues for smooth edges.
    pal = [(r * 51, g * 51, b * 51) for r in range(6) for g in range(6) for b in range(6)]
    teal, green, deep = hexrgb(TEAL), hexrgb(GREEN), hexrgb(DEEP)
    white = (255, 255, 255)
    pal += [lerp(teal, green, k / 15.0) for k in range(16)]
    pal += [lerp(deep, white, (k + 1) / 9.0) for k in range(8)]
    pal += [lerp(teal, white, (k + 1) / 9.0) for k in range(8)]
    pal += [lerp(green, white, (k + 1) / 9.0) for k in range(4)]
    pal += [lerp(deep, teal, (k + 1) / 5.0) for k in range(4)]
    assert len(pal) == 256
    return pal


def median_cut_palette(rgb, count, colours=256):
    """Deterministic median-cut palette built from the picture itself."""
    hist = {}
    for i in range(0, count * 3, 3):
        key = (rgb[i], rgb[i + 1], rgb[i + 2])
        hist[key] = hist.get(key, 0) + 1
    boxes = [sorted(hist.items())]
    while len(boxes) < colours:
        best, best_i, best_c = -1, -1, 0
        for i, box in enumerate(boxes):
            if len(box) < 2:
                continue
            for c in range(3):
                vals = [k[c] for k, _ in box]
                spread = (max(vals) - min(vals)) * (1 + sum(n for _, n in box)) ** 0.5
                if spread > best:
                    best, best_i, best_c = spread, i, c
        if best_i < 0:
            break
        box = sorted(boxes[best_i], key=lambda kv: (kv[0][best_c], kv[0]))
        total = sum(n for _, n in box)
        acc, cut = 0, 1
        for j, (_, n) in enumerate(box):
            acc += n
            if acc * 2 >= total:
                cut = max(1, min(len(box) - 1, j + 1))
                break
        boxes[best_i:best_i + 1] = [box[:cut], box[cut:]]
    pal = []
    for box in boxes:
        total = sum(n for _, n in box)
        pal.append(tuple(int(round(sum(k[c] * n for k, n in box) / total))
                         for c in range(3)))
    return pal


# ------------------------------------------------------------------- icon --

def icon_mvg(px, simple):
    """The app icon in a 512-unit design space, rasterised at px pixels."""
    m = Mvg(px, px)
    # gradient coordinates are in pixels, unaffected by the scale below
    fill = m.gradient(0, 0, px, px, [(TEAL, 0), (GREEN, 1)])
    m.raw("push graphic-context", "scale %g,%g" % (px / 512.0, px / 512.0))
    if simple:
        # Bold, few-shape version that stays readable at 16-24 px.
        m.rrect(0, 0, 511, 511, 96, fill=fill)
        m.rrect(96, 64, 352, 448, 28, fill="#FFFFFF")
        for y in (160, 256, 352):
            m.line(150, y, 298, y, stroke="#3FB8A8", sw=40)
        # a chunky pen instead of a quill, which would blur at this size
        m.raw("push graphic-context", "translate 300,440", "rotate -60")
        m.path("M 0,0 L 70,-34 L 380,-34 L 380,34 L 70,34 Z", fill="#0E4F48")
        m.path("M 90,-14 L 360,-14 L 360,14 L 90,14 Z", fill="#FFFFFF")
        m.raw("pop graphic-context")
    else:
        m.rrect(8, 8, 503, 503, 104, fill=fill)
        m.rrect(104, 112, 316, 408, 22, fill="#0B3B36", opacity=0.18)
        m.rrect(92, 96, 304, 392, 22, fill="#FFFFFF")
        m.line(132, 152, 264, 152, stroke=DEEP, sw=18)
        for y in (208, 256, 304):
            m.line(132, y, 264, y, stroke="#8FD3CF", sw=14)
        m.line(132, 352, 210, 352, stroke="#8FD3CF", sw=14)
        # quill: nib at bottom, feather sweeping to the upper right;
        # outlines are kept at least ~1.3 px wide so small sizes stay crisp
        ow = max(12.0, 1.3 * 512.0 / (px / 4.0))
        m.raw("push graphic-context", "translate 214,438", "rotate -56")
        m.path("M 96,4 C 150,-70 300,-92 400,-6 C 300,44 170,54 96,4 Z",
               fill="#FFFFFF", stroke="#0E4F48", sw=ow)
        m.path("M 200,-36 L 216,-12 M 258,-50 L 276,-16 M 316,-48 L 330,-18",
               stroke="#8FD3CF", sw=8)
        m.line(40, 0, 392, -6, stroke="#0E4F48", sw=ow * 0.85)
        m.path("M 0,0 L 62,-16 L 74,0 L 62,16 Z", fill="#0E4F48")
        m.raw("pop graphic-context")
    m.raw("pop graphic-context")
    return m


def icon_rgba(size):
    big = size * 4
    return render(icon_mvg(big, simple=size <= 24), mode="RGBA",
                  scale_to=(size, size))


def make_icon():
    pal16, pal256 = icon_palette_16(), icon_palette_256()
    cache = {}

    def rgba(size):
        if size not in cache:
            cache[size] = icon_rgba(size)
        return cache[size]

    images = []
    for size in (48, 32, 24, 16):
        images.append((size, 4, ico_image(size, 4, rgba(size), pal16)))
    for size in (48, 32, 16):
        images.append((size, 8, ico_image(size, 8, rgba(size), pal256)))
    for size in (128, 48, 32, 16):
        images.append((size, 32, ico_image(size, 32, rgba(size))))
    return ico_bytes(images)


# --------------------------------------------------------------- pictures --

def badge(m, cx, cy, r, label):
    g = m.gradient(cx - r, cy - r, cx + r, cy + r, [(TEAL, 0), (GREEN, 1)])
    m.circle(cx, cy, r, fill=g)
    m.text(cx, cy + r * 0.42, label, r * 1.2, "#FFFFFF", anchor="middle", bold=True)


def app_glyph(m, x, y, s):
    """Tiny page-and-lines mark used in mock title bars."""
    m.rrect(x, y, x + s, y + s, s * 0.22, fill="#FFFFFF", opacity=0.95)
    for k in range(3):
        yy = y + s * (0.32 + 0.2 * k)
        m.line(x + s * 0.25, yy, x + s * 0.75, yy, stroke=TEAL, sw=max(1, s * 0.09))


def window_frame(m, x1, y1, x2, y2, title, bar=28, title_size=13):
    m.shadow(x1, y1, x2, y2, 10)
    m.rrect(x1, y1, x2, y2, 8, fill="#FFFFFF", stroke="#CFE3DF", sw=1)
    g = m.gradient(x1, y1, x2, y1 + bar, [(TEAL, 0), (GREEN, 1)])
    m.rrect(x1, y1, x2, y1 + bar, 8, fill=g)
    m.rect(x1, y1 + bar - 9, x2, y1 + bar, fill=g)
    app_glyph(m, x1 + 9, y1 + (bar - 14) / 2.0, 14)
    m.text(x1 + 31, y1 + bar / 2.0 + title_size * 0.36, title, title_size, "#FFFFFF")
    cy = y1 + bar / 2.0
    bx = x2 - 16
    m.line(bx - 4, cy - 4, bx + 4, cy + 4, stroke="#FFFFFF", sw=1.4)
    m.line(bx - 4, cy + 4, bx + 4, cy - 4, stroke="#FFFFFF", sw=1.4)
    bx -= 24
    m.rect(bx - 4, cy - 4, bx + 4, cy + 4, stroke="#FFFFFF", sw=1.3)
    bx -= 24
    m.line(bx - 4, cy, bx + 4, cy, stroke="#FFFFFF", sw=1.4)


def cursor(m, x, y, s=1.0):
    d = ("M %g,%g l 0,%g l %g,%g l %g,%g l %g,%g l %g,%g l %g,%g Z" %
         (x, y, 17 * s, 4 * s, -4 * s, 3.5 * s, 7 * s, 3 * s, -1.5 * s,
          -3.5 * s, -7 * s, 6 * s, 0))
    m.path(d, fill="#FFFFFF", stroke="#1B1B1B", sw=1.2)


def soft_background(m, top, bottom):
    g = m.gradient(0, 0, m.w, m.h, [(top, 0), (bottom, 1)])
    m.rect(0, 0, m.w, m.h, fill=g)


def picture_initial():
    m = Mvg(759, 398)
    soft_background(m, "#F2FCF8", "#D2F1EC")
    m.circle(700, 30, 150, fill=TEAL, opacity=0.10)
    m.circle(40, 420, 170, fill=GREEN, opacity=0.10)
    m.circle(300, -60, 110, fill=GREEN, opacity=0.06)
    # leafy brush strokes echo the green/teal theme
    m.path("M 60,330 C 120,300 170,300 230,330 C 170,345 120,345 60,330 Z",
           fill=GREEN, opacity=0.25)
    m.path("M 110,362 C 160,340 210,342 262,360 C 210,372 160,374 110,362 Z",
           fill=TEAL, opacity=0.22)

    x = 52
    badge_g = m.gradient(x, 84, x + 112, 112, [(TEAL, 0), (GREEN, 1)])
    m.rrect(x, 84, x + 112, 112, 14, fill=badge_g)
    m.text(x + 56, 104, "新手指南", 15, "#FFFFFF", anchor="middle", bold=True)
    m.text(x, 168, "青岚笺语写作", 40, "#17615A", bold=True)
    m.text(x, 216, "使用教程", 40, "#2E8B57", bold=True)
    m.rrect(x, 234, x + 64, 239, 2.5, fill=ACCENT)
    m.text(x, 276, "点击“我知道了”查看使用步骤", 19, "#3C6F69")
    steps = [("1", "新建作品"), ("2", "专心写作"), ("3", "导出分享")]
    sx = x
    for num, label in steps:
        m.rrect(sx, 298, sx + 104, 326, 14, fill="#FFFFFF", stroke="#BFE6DF", sw=1)
        badge(m, sx + 14, 312, 10, num)
        m.text(sx + 30, 318, label, 14, "#2A6B64")
        sx += 114

    # mock writing window
    wx1, wy1, wx2, wy2 = 432, 64, 724, 340
    window_frame(m, wx1, wy1, wx2, wy2, "青岚笺语写作", bar=28, title_size=12)
    m.rect(wx1 + 1, wy1 + 28, wx1 + 92, wy2 - 8, fill="#EEF8F5")
    m.rrect(wx1 + 1, wy2 - 16, wx1 + 92, wy2 - 1, 8, fill="#EEF8F5")
    m.text(wx1 + 12, wy1 + 50, "章节", 11, "#5E8F89")
    for i, name in enumerate(["第一章", "第二章", "第三章"]):
        y = wy1 + 62 + i * 26
        if i == 0:
            m.rrect(wx1 + 6, y, wx1 + 86, y + 21, 5, fill="#CFEEE7")
            m.rect(wx1 + 6, y + 4, wx1 + 9, y + 17, fill=TEAL)
        m.text(wx1 + 16, y + 15, name, 12, "#24534E")
    m.rrect(wx1 + 8, wy1 + 148, wx1 + 84, wy1 + 168, 5, stroke=TEAL, sw=1,
            fill="#FFFFFF")
    m.text(wx1 + 46, wy1 + 162, "+ 添加", 11, "#159A8C", anchor="middle")
    tx = wx1 + 108
    m.text(tx, wy1 + 58, "第一章 雾起", 15, "#1E3F3B", bold=True)
    widths = [150, 168, 160, 120, 0, 166, 150, 170, 96]
    y = wy1 + 80
    for i, wdt in enumerate(widths):
        if wdt:
            start = tx + (18 if i in (0, 5) else 0)
            m.rrect(start, y, tx + wdt, y + 6, 3, fill="#D9E6E4")
        y += 16
    m.rect(tx + 98, y - 20, tx + 99.5, y - 4, fill=TEAL)   # caret
    # quill resting on the window's lower right corner
    m.raw("push graphic-context", "translate 676,352", "rotate -58")
    m.path("M 16,0 C 44,-26 100,-30 136,-2 C 100,16 50,18 16,0 Z",
           fill="#FFFFFF", stroke=DEEP, sw=2.2)
    m.line(6, 0, 132, -1.5, stroke=DEEP, sw=2)
    m.path("M -8,0 L 10,-5 L 14,0 L 10,5 Z", fill=DEEP)
    m.raw("pop graphic-context")
    return m


def picture_tutorial_1():
    m = Mvg(620, 304)
    soft_background(m, "#F0FBF7", "#DAF2EF")
    badge(m, 34, 28, 14, "1")
    m.text(58, 35, "第一步：新建作品，在左侧添加章节", 19, "#17615A", bold=True)

    x1, y1, x2, y2 = 20, 54, 600, 292
    window_frame(m, x1, y1, x2, y2, "青岚笺语写作")
    # toolbar
    m.rect(x1 + 1, y1 + 28, x2 - 1, y1 + 58, fill="#F4FBF9")
    m.line(x1 + 1, y1 + 58.5, x2 - 1, y1 + 58.5, stroke="#DCEBE8", sw=1)
    g = m.gradient(x1 + 10, 0, x1 + 90, 0, [(TEAL, 0), (GREEN, 1)])
    m.rrect(x1 + 10, y1 + 34, x1 + 90, y1 + 53, 6, fill=g)
    m.text(x1 + 50, y1 + 48, "新建作品", 12, "#FFFFFF", anchor="middle", bold=True)
    for i, label in enumerate(["打开", "导出", "设置"]):
        m.text(x1 + 112 + i * 46, y1 + 48, label, 12, "#4F7C77")
    m.text(x2 - 14, y1 + 48, "我的作品：《青岚》", 12, "#4F7C77", anchor="end")
    # sidebar
    sx2 = x1 + 150
    m.rect(x1 + 1, y1 + 59, sx2, y2 - 8, fill="#EEF8F5")
    m.rrect(x1 + 1, y2 - 16, sx2, y2 - 1, 8, fill="#EEF8F5")
    m.rect(sx2 - 8, y2 - 9, sx2, y2 - 1, fill="#EEF8F5")
    m.line(sx2 + 0.5, y1 + 59, sx2 + 0.5, y2 - 1, stroke="#DCEBE8", sw=1)
    m.text(x1 + 14, y1 + 80, "章节列表", 11, "#6A9892")
    chapters = ["第一章 雾起", "第二章 旧信", "第三章 远行"]
    for i, name in enumerate(chapters):
        y = y1 + 90 + i * 28
        if i == 0:
            m.rrect(x1 + 8, y, sx2 - 8, y + 23, 5, fill="#CFEEE7")
            m.rect(x1 + 8, y + 5, x1 + 11, y + 18, fill=TEAL)
        m.text(x1 + 20, y + 16, name, 13, "#24534E")
    # add-chapter button, ringed to draw the eye
    bx1, by1, bx2, by2 = x1 + 12, y1 + 184, sx2 - 12, y1 + 208
    m.rrect(bx1 - 5, by1 - 5, bx2 + 5, by2 + 5, 10, stroke=ACCENT, sw=2, fill="#FFF4E8")
    m.rrect(bx1, by1, bx2, by2, 6, fill="#FFFFFF", stroke=TEAL, sw=1.2)
    m.text((bx1 + bx2) / 2.0, by1 + 17, "+ 添加章节", 13, "#138E81", anchor="middle",
           bold=True)
    cursor(m, bx2 - 22, by1 + 14)
    # text area
    tx = sx2 + 24
    m.text(tx, y1 + 86, "第一章 雾起", 17, "#1E3F3B", bold=True)
    lines = [
        "　　清晨的雾气还没有散去，青石小巷里只听得见远处的",
        "鸡鸣。林岚推开木窗，看见檐下挂着一封被露水打湿的信。",
        "　　信封上没有署名，只画着一枝淡青色的兰草。她把信",
        "贴在胸口，心里忽然想起了许多年前的那个约定……",
    ]
    for i, s in enumerate(lines):
        m.text(tx, y1 + 116 + i * 24, s, 13, "#3B4B49")
    m.rect(tx + 300, y1 + 176, tx + 301.5, y1 + 192, fill=TEAL)   # caret
    m.text(x2 - 14, y2 - 12, "字数 1,286", 11, "#8AA7A3", anchor="end")
    return m


def picture_tutorial_2():
    m = Mvg(365, 511)
    soft_background(m, "#F0FBF7", "#D8F1EE")
    badge(m, 30, 34, 14, "2")
    m.text(52, 40, "第二步：在正文区专心写作，自动保存", 16, "#17615A", bold=True)

    x1, y1, x2, y2 = 20, 66, 345, 492
    window_frame(m, x1, y1, x2, y2, "第二章 旧信 - 青岚笺语写作", title_size=12)
    # formatting toolbar
    m.rect(x1 + 1, y1 + 28, x2 - 1, y1 + 54, fill="#F4FBF9")
    m.line(x1 + 1, y1 + 54.5, x2 - 1, y1 + 54.5, stroke="#DCEBE8", sw=1)
    for i, label in enumerate(["B", "I", "U"]):
        m.text(x1 + 18 + i * 22, y1 + 46, label, 13, "#4F7C77", bold=(label == "B"))
    m.line(x1 + 82, y1 + 33, x1 + 82, y1 + 49, stroke="#CFE3DF", sw=1)
    m.text(x1 + 94, y1 + 46, "正文", 12, "#4F7C77")
    g = m.gradient(x2 - 82, 0, x2 - 10, 0, [(TEAL, 0), (GREEN, 1)])
    m.rrect(x2 - 84, y1 + 33, x2 - 10, y1 + 50, 8, fill=g)
    m.text(x2 - 47, y1 + 46, "专注模式", 11, "#FFFFFF", anchor="middle")
    # the page itself
    px1, px2 = x1 + 16, x2 - 16
    m.rrect(px1, y1 + 66, px2, y2 - 40, 4, fill="#FFFFFF", stroke="#E3EEEC", sw=1)
    m.text((x1 + x2) / 2.0, y1 + 100, "第二章 旧信", 18, "#1E3F3B", anchor="middle",
           bold=True)
    m.line((x1 + x2) / 2.0 - 20, y1 + 112, (x1 + x2) / 2.0 + 20, y1 + 112,
           stroke=TEAL, sw=2)
    body = [
        "　　信是外婆写的，字迹清秀，",
        "墨色已经有些淡了。",
        "　　“岚儿，等你读到这封信，",
        "院子里的兰草该开花了。”",
        "　　林岚把信纸轻轻展开，窗外",
        "的雨声忽然变得很远。她想起",
        "小时候坐在外婆膝头，听她讲",
        "山那边的故事。",
        "　　她拿起笔，在本子上写下了",
        "第一行字",
    ]
    ty = y1 + 142
    for s in body:
        m.text(px1 + 18, ty, s, 14, "#3B4B49")
        ty += 25
    m.rect(px1 + 18 + 4 * 14 + 3, ty - 25 - 14, px1 + 18 + 4 * 14 + 4.5, ty - 25 + 3,
           fill=TEAL)   # caret after the last word
    # status bar with the autosave tick
    sy = y2 - 22
    m.line(x1 + 1, y2 - 36.5, x2 - 1, y2 - 36.5, stroke="#DCEBE8", sw=1)
    m.circle(x1 + 22, sy, 8, fill=GREEN)
    m.path("M %g,%g l 3,3 l 6,-6" % (x1 + 18, sy), stroke="#FFFFFF", sw=2)
    m.text(x1 + 36, sy + 5, "已自动保存 · 刚刚", 12, "#2E8B57")
    m.text(x2 - 14, sy + 5, "字数 2,048", 12, "#8AA7A3", anchor="end")
    return m


def picture_tutorial_3():
    m = Mvg(352, 405)
    soft_background(m, "#F0FBF7", "#D8F1EE")
    badge(m, 30, 34, 14, "3")
    m.text(52, 40, "第三步：导出作品，分享给读者", 17, "#17615A", bold=True)

    # manuscript with its export button
    m.shadow(36, 74, 140, 198, 8, depth=6)
    m.rrect(36, 74, 140, 198, 8, fill="#FFFFFF", stroke="#CFE3DF", sw=1)
    g = m.gradient(36, 74, 140, 100, [(TEAL, 0), (GREEN, 1)])
    m.rrect(36, 74, 140, 100, 8, fill=g)
    m.rect(36, 92, 140, 100, fill=g)
    m.text(88, 92, "《青岚》", 13, "#FFFFFF", anchor="middle", bold=True)
    for i, wdt in enumerate([72, 80, 64, 80, 50]):
        y = 112 + i * 12
        m.rrect(50, y, 50 + wdt, y + 5, 2.5, fill="#D5E7E4")
    m.rrect(50, 174, 126, 190, 8, fill=ACCENT)
    m.text(88, 186, "导出", 11, "#FFFFFF", anchor="middle", bold=True)
    # arrow to the exported formats
    m.line(150, 132, 192, 132, stroke=DEEP, sw=3)
    m.path("M 190,124 L 202,132 L 190,140 Z", fill=DEEP)
    fmts = [("TXT", "#22B8C9"), ("DOCX", "#3A9FD8"), ("EPUB", GREEN)]
    for i, (label, col) in enumerate(fmts):
        y = 76 + i * 40
        m.rrect(214, y, 318, y + 32, 8, fill="#FFFFFF", stroke="#CFE3DF", sw=1)
        m.rrect(222, y + 6, 242, y + 26, 4, fill=col)
        m.path("M %g,%g l 6,0 l 4,4 l 0,10 l -10,0 Z" % (227, y + 9),
               fill="#FFFFFF")
        m.text(252, y + 22, label, 14, "#24534E", bold=True)

    # sharing: a book in the middle, readers around it
    cx, cy = 176, 300
    readers = [(66, 262, "#3A9FD8"), (286, 262, GREEN), (176, 374, "#22B8C9")]
    for ax, ay, _ in readers:
        m.line(cx, cy, ax, ay, stroke="#8FD3CF", sw=2, opacity=0.9)
    m.circle(cx, cy, 36, fill="#FFFFFF", stroke="#BFE6DF", sw=1.5)
    g = m.gradient(cx - 26, cy - 18, cx + 26, cy + 18, [(TEAL, 0), (GREEN, 1)])
    m.path("M %g,%g q 12,-8 24,0 l 0,34 q -12,-8 -24,0 Z" % (cx - 24, cy - 16), fill=g)
    m.path("M %g,%g q 12,-8 24,0 l 0,34 q -12,-8 -24,0 Z" % (cx, cy - 16), fill=g)
    m.line(cx, cy - 16, cx, cy + 18, stroke="#FFFFFF", sw=1.5)
    for x, y, shirt in readers:
        m.circle(x, y, 22, fill="#FFFFFF", stroke="#BFE6DF", sw=1.5)
        m.circle(x, y - 6, 7, fill=shirt)
        m.path("M %g,%g q 12,-16 24,0 Z" % (x - 12, y + 14), fill=shirt)

    def bubble(x, y, w, s, tail_left):
        m.rrect(x, y, x + w, y + 24, 12, fill="#FFFFFF", stroke="#BFE6DF", sw=1)
        tx = x + 16 if tail_left else x + w - 16
        m.path("M %g,%g l 4,8 l 4,-8 Z" % (tx - 4, y + 23.5), fill="#FFFFFF")
        m.text(x + w / 2.0, y + 17, s, 12, "#2E6F68", anchor="middle")

    bubble(24, 208, 82, "太好看了！", True)
    bubble(238, 208, 84, "求更新～", False)
    m.path("M 256,340 c -6,-8 -16,0 -8,8 l 8,8 l 8,-8 c 8,-8 -2,-16 -8,-8 Z",
           fill=ACCENT)
    m.path("M 96,344 c -4,-6 -12,0 -6,6 l 6,6 l 6,-6 c 6,-6 -2,-12 -6,-6 Z",
           fill=ACCENT, opacity=0.8)
    return m


# ------------------------------------------------------------------- main --

def write(name, data):
    path = os.path.join(OUT_DIR, name)
    with open(path, "wb") as f:
        f.write(data)
    print("%-22s %8d bytes" % (name, len(data)))


def main():
    os.makedirs(OUT_DIR, exist_ok=True)
    write("app.ico", make_icon())
    for name, build in (("picture-initial.bmp", picture_initial),
                        ("tutorial-1.bmp", picture_tutorial_1),
                        ("tutorial-2.bmp", picture_tutorial_2)):
        m = build()
        write(name, bmp_bytes(m.w, m.h, rgb=render(m, background="white")))
    m = picture_tutorial_3()
    rgb = render(m, background="white")
    pal = median_cut_palette(rgb, m.w * m.h)
    idx = quantise(rgb, pal, m.w * m.h)
    write("tutorial-3.bmp", bmp_bytes(m.w, m.h, indices=idx, palette=pal))


if __name__ == "__main__":
    main()
