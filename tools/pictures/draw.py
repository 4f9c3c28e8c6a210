#!/usr/bin/env python3
"""Draws every picture of the panel: the PNG library of ResDLL.dll, the icons and the cursors.

Shapes are described in ImageMagick's vector language (MVG) and rendered anti-aliased by
/usr/bin/convert; shadows, fades and turns are ImageMagick operations as well. Icons and cursors
are packed by this script (32-bit BGRA bitmaps with an AND mask, PNG for the 256 px icon layer).

usage: draw.py [pictures|icons|cursors|all]   (default: all)
"""
import math
import os
import struct
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
RESOURCES = os.path.join(os.path.dirname(os.path.dirname(HERE)), "resources")
PNG_DIR = os.path.join(RESOURCES, "resdll", "png")
# The small pictures are also shipped at twice their size under their number plus this
# (PictureLibrary::kLargeOffset).
LARGE = 1000
ICON_DIR = os.path.join(RESOURCES, "icons")
CURSOR_DIR = os.path.join(RESOURCES, "cursors")
CONVERT = "/usr/bin/convert"
WORK = tempfile.mkdtemp(prefix="scribo-draw-")

# ---------------------------------------------------------------------------------------------
# Palette: soft greys, slate device bodies and one accent colour.
ACCENT = "#2F7FE6"
ACCENT_DARK = "#1F63C2"
ACCENT_LIGHT = "#8DBBF5"
INK = "#2B313A"        # text
G900 = "#23282F"
G850 = "#2C323A"
G800 = "#363D47"
G750 = "#3F4651"
G700 = "#4A525E"
G600 = "#5E6773"
G500 = "#7D8692"
G400 = "#A0A8B2"
G300 = "#C3C9D0"
G200 = "#DDE1E6"
G100 = "#EEF1F4"
WHITE = "#FFFFFF"
FONT = "DejaVu-Sans"
FONT_BOLD = "DejaVu-Sans-Bold"


def hex_rgb(c):
    c = c.lstrip("#")
    return tuple(int(c[i:i + 2], 16) for i in (0, 2, 4))


def mix(a, b, t):
    ra, rb = hex_rgb(a), hex_rgb(b)
    return "#%02X%02X%02X" % tuple(round(x + (y - x) * t) for x, y in zip(ra, rb))


def f(v):
    return ("%.2f" % v).rstrip("0").rstrip(".")


def pts(points):
    return " ".join("%s,%s" % (f(x), f(y)) for x, y in points)


def run(*args):
    subprocess.run([CONVERT, *args], check=True)


class Canvas:
    """Collects MVG drawing commands for one layer."""

    def __init__(self, w, h, scale=1):
        # Drawn in w x h units; the picture has scale x as many pixels each way.
        self.w, self.h, self.scale = w, h, scale
        self.defs = []
        self.cmds = []
        self.ngrad = 0

    def gradient(self, x0, y0, x1, y1, c0, c1):
        self.ngrad += 1
        gid = "g%d" % self.ngrad
        self.defs += ["push gradient %s linear %s,%s %s,%s" % (gid, f(x0), f(y0), f(x1), f(y1)),
                      "stop-color '%s' 0" % c0, "stop-color '%s' 1" % c1, "pop gradient"]
        return "url(#%s)" % gid

    def _paint(self, fill, stroke, sw, opacity):
        self.cmds.append("push graphic-context")
        self.cmds.append("fill '%s'" % fill if fill else "fill none")
        if stroke:
            self.cmds += ["stroke '%s'" % stroke, "stroke-width %s" % f(sw)]
        else:
            self.cmds.append("stroke none")
        if opacity < 1:
            # fill-opacity replaces the alpha of the paint, so only set it on a real paint
            if fill:
                self.cmds.append("fill-opacity %s" % f(opacity))
            if stroke:
                self.cmds.append("stroke-opacity %s" % f(opacity))

    def rrect(self, x0, y0, x1, y1, r, fill=None, stroke=None, sw=1, opacity=1.0):
        self._paint(fill, stroke, sw, opacity)
        r = min(r, (x1 - x0) / 2, (y1 - y0) / 2)
        if r <= 0:
            self.cmds.append("rectangle %s,%s %s,%s" % (f(x0), f(y0), f(x1), f(y1)))
        else:
            self.cmds.append("roundrectangle %s,%s %s,%s %s,%s" % (f(x0), f(y0), f(x1), f(y1), f(r), f(r)))
        self.cmds.append("pop graphic-context")

    def circle(self, cx, cy, r, fill=None, stroke=None, sw=1, opacity=1.0):
        self._paint(fill, stroke, sw, opacity)
        self.cmds.append("circle %s,%s %s,%s" % (f(cx), f(cy), f(cx + r), f(cy)))
        self.cmds.append("pop graphic-context")

    def poly(self, points, fill=None, stroke=None, sw=1, opacity=1.0):
        self._paint(fill, stroke, sw, opacity)
        self.cmds.append("polygon " + pts(points))
        self.cmds.append("pop graphic-context")

    def path(self, d, fill=None, stroke=None, sw=1, opacity=1.0):
        self._paint(fill, stroke, sw, opacity)
        self.cmds.append("path '%s'" % d)
        self.cmds.append("pop graphic-context")

    def text(self, x, y, s, size, fill=INK, font=FONT_BOLD, anchor="middle", opacity=1.0):
        """y is the vertical centre of capitals and digits."""
        self._paint(fill, None, 0, opacity)
        self.cmds += ["font '%s'" % font, "font-size %s" % f(size), "text-anchor %s" % anchor,
                      "text %s,%s '%s'" % (f(x), f(y + size * 0.36), s)]
        self.cmds.append("pop graphic-context")

    def line(self, points, width, fill, opacity=1.0, caps=True):
        """An open stroke, built as a polygon (round caps) so it never closes on itself."""
        self.poly(outline(points, width, caps), fill=fill, opacity=opacity)

    def mvg(self):
        head = ["viewbox 0 0 %d %d" % (self.w * self.scale, self.h * self.scale)]
        if self.scale != 1:
            head.append("affine %s,0,0,%s,0,0" % (self.scale, self.scale))
        if self.defs:
            head += ["push defs"] + self.defs + ["pop defs"]
        return "\n".join(head + self.cmds) + "\n"

    def render(self, out):
        src = os.path.join(WORK, "layer%d.mvg" % id(self))
        with open(src, "w") as fh:
            fh.write(self.mvg())
        run("-background", "none", "mvg:" + src, "-depth", "8", "PNG32:" + out)
        return out


def outline(points, width, caps=True):
    """Polygon around an open polyline: left side, end cap, right side back, start cap."""
    hw = width / 2
    n = len(points)
    normals = []
    for i in range(n):
        a = points[max(i - 1, 0)]
        b = points[min(i + 1, n - 1)]
        dx, dy = b[0] - a[0], b[1] - a[1]
        d = math.hypot(dx, dy) or 1
        normals.append((-dy / d, dx / d))
    left = [(x + nx * hw, y + ny * hw) for (x, y), (nx, ny) in zip(points, normals)]
    right = [(x - nx * hw, y - ny * hw) for (x, y), (nx, ny) in zip(points, normals)]

    def cap(p, nrm, sign):
        # half circle from +normal to -normal around the end point, bulging along the path
        base = math.atan2(nrm[1], nrm[0])
        return [(p[0] + hw * math.cos(base + sign * k * math.pi / 10),
                 p[1] + hw * math.sin(base + sign * k * math.pi / 10)) for k in range(1, 10)]

    out = list(left)
    if caps:
        out += cap(points[-1], normals[-1], -1)
    out += right[::-1]
    if caps:
        out += cap(points[0], (-normals[0][0], -normals[0][1]), -1)
    return out


def arc_points(cx, cy, r, a0, a1, steps=None):
    """Points on a circle, angles in degrees, 0 = right, clockwise on screen."""
    steps = steps or max(8, int(abs(a1 - a0) / 3))
    return [(cx + r * math.cos(math.radians(a0 + (a1 - a0) * k / steps)),
             cy + r * math.sin(math.radians(a0 + (a1 - a0) * k / steps))) for k in range(steps + 1)]


def arrow_head(tip, direction_deg, length, width):
    a = math.radians(direction_deg)
    dx, dy = math.cos(a), math.sin(a)
    bx, by = tip[0] - dx * length, tip[1] - dy * length
    return [tip, (bx - dy * width / 2, by + dx * width / 2), (bx + dy * width / 2, by - dx * width / 2)]


def curved_arrow(c, cx, cy, r, a0, a1, width, colour, head=None):
    """Arc from a0 to a1 (degrees) with an arrow head at a1."""
    head = head or width * 3.2
    sign = 1 if a1 > a0 else -1
    # stop the shaft short of the tip so the head's point is sharp
    shaft_end = a1 - sign * math.degrees(head * 0.55 / r)
    c.line(arc_points(cx, cy, r, a0, shaft_end), width, colour)
    tip = (cx + r * math.cos(math.radians(a1)), cy + r * math.sin(math.radians(a1)))
    back = math.radians(a1 - sign * math.degrees(head / r))
    direction = math.degrees(math.atan2(tip[1] - (cy + r * math.sin(back)), tip[0] - (cx + r * math.cos(back))))
    c.poly(arrow_head(tip, direction, head, head * 0.95), fill=colour)


def straight_arrow(c, x0, y0, x1, y1, width, colour, head=None, both=False):
    head = head or width * 3.2
    d = math.hypot(x1 - x0, y1 - y0)
    ux, uy = (x1 - x0) / d, (y1 - y0) / d
    sx, sy = (x0 + ux * head * 0.6, y0 + uy * head * 0.6) if both else (x0, y0)
    c.line([(sx, sy), (x1 - ux * head * 0.6, y1 - uy * head * 0.6)], width, colour)
    ang = math.degrees(math.atan2(uy, ux))
    c.poly(arrow_head((x1, y1), ang, head, head * 0.95), fill=colour)
    if both:
        c.poly(arrow_head((x0, y0), ang + 180, head, head * 0.95), fill=colour)


# ---------------------------------------------------------------------------------------------
# Post-processing with ImageMagick.

def tmp(name):
    return os.path.join(WORK, name)


def drop_shadow(src, out, opacity=0.30, blur=5.0, dy=3, colour="#141A22"):
    """Soft shadow under the non-transparent pixels, same canvas size."""
    run(src, "(", "+clone", "-fill", colour, "-colorize", "100",
        "-channel", "A", "-evaluate", "multiply", str(opacity), "+channel",
        "-blur", "0x%s" % blur, ")", "-geometry", "+0+%d" % dy,
        "-compose", "DstOver", "-composite", "-depth", "8", "PNG32:" + out)
    return out


def size_of(png):
    out = subprocess.run(["/usr/bin/identify", "-format", "%w %h", png], check=True,
                         capture_output=True, text=True).stdout.split()
    return int(out[0]), int(out[1])


def fade_right(src, out, x0, x1):
    """Fades the layer out to transparent between columns x0 and x1."""
    w, h = size_of(src)
    run(src, "(", "-size", "%dx%d" % (w, h), "xc:black",
        "-fill", "white", "-draw", "rectangle 0,0 %d,%d" % (x0 - 1, h),
        "(", "-size", "%dx%d" % (h, x1 - x0), "gradient:white-black", "-rotate", "-90", ")",
        "-geometry", "+%d+0" % x0, "-compose", "Over", "-composite", "-alpha", "copy", ")",
        "-geometry", "+0+0", "-compose", "DstIn", "-composite", "-depth", "8", "PNG32:" + out)
    return out


def over(base, top, out):
    run(base, top, "-background", "none", "-compose", "Over", "-composite", "-depth", "8", "PNG32:" + out)
    return out


def rotate(src, out, degrees):
    run(src, "-background", "none", "-rotate", str(degrees), "+repage", "-depth", "8", "PNG32:" + out)
    return out


def finish(src, ident, scale=None):
    """Strips metadata so that regenerating gives the same bytes; optionally scales down."""
    out = os.path.join(PNG_DIR, "%d.png" % ident)
    resize = ["-filter", "Lanczos", "-resize", scale] if scale else []
    run(src, *resize, "-strip", "-define", "png:exclude-chunks=date,time", "-depth", "8", "PNG32:" + out)
    return out


# ---------------------------------------------------------------------------------------------
# Pens (vertical, tip down, drawn at 60 x 230, shipped at 30 x 115).

def pen(ident, buttons, model):
    W, H = 60, 230
    c = Canvas(W, H)
    cx = 30
    if model == "classic":          # two-button pen and the first one-button pen: eraser cap
        top, tip = 6, 226
        cap_end, band = 40, (40, 45)
        grip = (124, 170)
        cone_top = 178
        body_hw = 10.5
    else:                           # slim one-button pen: flat top, longer grip
        top, tip = 8, 226
        cap_end, band = 22, (101, 104)
        grip = (108, 166)
        cone_top = 174
        body_hw = 9.5

    def half_width(y):
        if y < top + 6:                                   # rounded top end
            t = (y - top) / 6
            return body_hw * (0.55 + 0.45 * math.sqrt(max(0.0, 1 - (1 - t) ** 2))) if model == "classic" \
                else body_hw * (0.82 + 0.18 * math.sqrt(max(0.0, 1 - (1 - t) ** 2)))
        if y < cone_top:
            bulge = 0.0
            if grip[0] <= y <= grip[1]:                   # grip slightly thicker in its middle
                t = (y - grip[0]) / (grip[1] - grip[0])
                bulge = 0.8 * math.sin(math.pi * t)
            return body_hw + bulge
        # cone to the nib
        t = (y - cone_top) / (tip - 8 - cone_top)
        if t <= 1:
            return body_hw - (body_hw - 2.4) * (t ** 0.85)
        return 2.4 - 1.4 * min(1.0, (y - (tip - 8)) / 8)

    def band_poly(y0, y1, t0=-1.0, t1=1.0, steps=12):
        ys = [y0 + (y1 - y0) * k / steps for k in range(steps + 1)]
        left = [(cx + half_width(y) * t0, y) for y in ys]
        right = [(cx + half_width(y) * t1, y) for y in ys[::-1]]
        return left + right

    # cylinder shading: strips across the width, each a solid colour
    def shaded(y0, y1, light, dark, strips=22):
        for k in range(strips):
            t0 = -1 + 2 * k / strips
            t1 = -1 + 2 * (k + 1) / strips
            tm = (t0 + t1) / 2
            # light from the upper left: highlight at t = -0.35
            shade = math.exp(-((tm + 0.38) / 0.32) ** 2)
            edge = max(0.0, abs(tm) - 0.55) / 0.45
            col = mix(mix(dark, light, 0.35 + 0.65 * shade), dark, min(1.0, edge * 0.9))
            c.poly(band_poly(y0, y1, t0 - 0.01 if k else t0, t1 + 0.01 if k < strips - 1 else t1), fill=col)

    nib_y = tip - 8
    shaded(top, cone_top, "#6B7480", "#22272E")                    # barrel
    if model == "classic":
        shaded(top, cap_end, "#8A939E", "#3A414A")                 # eraser cap, lighter
        c.poly(band_poly(cap_end - 0.6, cap_end + 0.6), fill="#1C2026")
    else:
        shaded(top, cap_end, "#5E6773", "#1E2228")
        c.poly(band_poly(cap_end - 0.5, cap_end + 0.5), fill="#1C2026")
    shaded(grip[0], grip[1], "#58616C", "#1D2127")                 # rubber grip
    shaded(band[0], band[1], "#7FB2F7", ACCENT_DARK)             # accent ring
    shaded(cone_top, nib_y, "#D5DAE0", "#7E8792")                  # light cone
    c.poly(band_poly(cone_top - 0.6, cone_top + 0.6), fill="#2A2F36")
    shaded(nib_y, tip, "#5A626D", "#1B1F24")                       # nib

    # side buttons on the grip, seen from the front as raised pills
    bx0, bx1 = cx - 3.6, cx + 3.6
    if buttons == 2:
        for y0, y1 in ((grip[0] + 8, grip[0] + 22), (grip[0] + 25, grip[0] + 39)):
            c.rrect(bx0 - 0.6, y0 - 0.6, bx1 + 0.6, y1 + 0.6, 4.2, fill="#15191E")
            c.rrect(bx0, y0, bx1, y1, 3.6, fill=c.gradient(bx0, 0, bx1, 0, "#7C8591", "#3A414B"))
            c.rrect(bx0 + 1.2, y0 + 1.2, bx0 + 3.0, y1 - 1.6, 0.9, fill="#A9B1BB", opacity=0.55)
    else:
        if model == "classic":
            y0, y1 = grip[0] + 10, grip[0] + 34
        else:
            y0, y1 = grip[0] + 12, grip[0] + 30
        c.rrect(bx0 - 0.6, y0 - 0.6, bx1 + 0.6, y1 + 0.6, 4.2, fill="#15191E")
        c.rrect(bx0, y0, bx1, y1, 3.6, fill=c.gradient(bx0, 0, bx1, 0, "#7C8591", "#3A414B"))
        c.rrect(bx0 + 1.2, y0 + 1.4, bx0 + 3.0, y1 - 1.8, 0.9, fill="#A9B1BB", opacity=0.55)
    layer = c.render(tmp("pen%d.png" % ident))
    # Drawn at twice the size and scaled down: the pen box of the main window is 30 x 115. The
    # drawing itself is shipped too, for screens with more dots per inch.
    shadowed = drop_shadow(layer, tmp("pen%d-s.png" % ident), opacity=0.22, blur=2.2, dy=1)
    finish(shadowed, ident, "50%")
    finish(shadowed, ident + LARGE)


# ---------------------------------------------------------------------------------------------
# Brand mark: a white pen nib on a rounded square in the accent colour.

def cubic(p0, p1, p2, p3, steps=16):
    out = []
    for k in range(steps + 1):
        t = k / steps
        m = 1 - t
        out.append((m ** 3 * p0[0] + 3 * m * m * t * p1[0] + 3 * m * t * t * p2[0] + t ** 3 * p3[0],
                    m ** 3 * p0[1] + 3 * m * m * t * p1[1] + 3 * m * t * t * p2[1] + t ** 3 * p3[1]))
    return out


def nib_path(x, y, s, angle=45.0, detail=True):
    """A pen nib in the box (x, y, s, s), tip towards the bottom-left, as one even-odd path:
    the outline with its breather hole and slit cut out, and the collar above it."""
    right = cubic((0.70, 0.30), (0.80, 0.44), (0.70, 0.70), (0.5, 0.97))
    left = [(1 - u, v) for u, v in reversed(right)]
    outline = right + left[1:]
    collar = [(0.31, 0.06), (0.69, 0.06), (0.69, 0.24), (0.31, 0.24)]
    shapes = [outline, collar]
    if detail:
        hole = [(0.5 + 0.07 * math.cos(math.radians(a)), 0.53 + 0.07 * math.sin(math.radians(a)))
                for a in range(0, 360, 15)]
        slit = [(0.482, 0.58), (0.518, 0.58), (0.512, 0.88), (0.488, 0.88)]
        shapes += [hole, slit]
    th = math.radians(angle)
    k = 1.18   # the turned nib may be longer than the box side

    def tr(u, v):
        du, dv = (u - 0.5) * k, (v - 0.5) * k
        return (x + s * (0.5 + du * math.cos(th) - dv * math.sin(th)),
                y + s * (0.5 + du * math.sin(th) + dv * math.cos(th)))
    d = []
    for shape in shapes:
        p = [tr(u, v) for u, v in shape]
        d.append("M " + " L ".join("%s,%s" % (f(a), f(b)) for a, b in p) + " Z")
    return " ".join(d)


def brand_mark(c, x, y, s, square=ACCENT, square_dark=ACCENT_DARK, nib=WHITE, detail=True):
    r = s * 0.23
    c.rrect(x, y, x + s, y + s, r, fill=c.gradient(x, y, x, y + s, mix(square, WHITE, 0.12), square_dark))
    c.cmds += ["push graphic-context", "fill-rule evenodd"]
    c.path(nib_path(x + s * 0.17, y + s * 0.17, s * 0.66, detail=detail), fill=nib)
    c.cmds.append("pop graphic-context")


def logo(ident, scale=1):
    W, H = 170, 44
    c = Canvas(W, H, scale)
    brand_mark(c, 3, 5, 34)
    c.text(45, 22, "Scribo", 28, fill=INK, font="Liberation-Sans-Bold", anchor="start")
    layer = c.render(tmp("logo%d.png" % scale))
    finish(drop_shadow(layer, tmp("logo%d-s.png" % scale), opacity=0.18, blur=1.5 * scale, dy=scale), ident)


def badge(ident, scale=1):
    c = Canvas(16, 16, scale)
    c.circle(8, 8, 7.5, fill=c.gradient(0, 0, 0, 16, "#3F8DF0", ACCENT_DARK))
    straight_arrow(c, 8, 12.4, 8, 3.4, 2.0, WHITE, head=5.2)
    finish(c.render(tmp("badge%d.png" % scale)), ident)


# ---------------------------------------------------------------------------------------------
# Device parts, drawn into a canvas at any scale.

BODY_TOP, BODY_BOTTOM = "#434A55", "#353B45"


def express_key(c, x0, y0, x1, y1):
    r = min(4.0, (y1 - y0) / 2.6)
    c.rrect(x0, y0 + 0.8, x1, y1 + 0.8, r, fill="#262B32")                       # bottom lip
    c.rrect(x0, y0, x1, y1, r, fill=c.gradient(0, y0, 0, y1, "#636C78", "#4D5561"))
    c.rrect(x0 + 1, y0 + 0.6, x1 - 1, y0 + 1.5, 0.6, fill="#8C95A0", opacity=0.45)  # top sheen


def ring(c, cx, cy, r, leds=False):
    c.circle(cx, cy, r + 1.2, fill="#262B32")
    c.circle(cx, cy, r, fill=c.gradient(0, cy - r, 0, cy + r, "#6A737F", "#434A55"))
    ri = r * 0.54
    c.circle(cx, cy, ri + 1.0, fill="#2A2F37")
    c.circle(cx, cy, ri, fill=c.gradient(0, cy - ri, 0, cy + ri, "#575F6B", "#454C57"))
    c.circle(cx - ri * 0.25, cy - ri * 0.3, ri * 0.45, fill=WHITE, opacity=0.05)
    if leds:
        for k in range(4):
            a = math.radians(-90 + 90 * k)
            c.circle(cx + (r + ri) / 2 * math.cos(a), cy + (r + ri) / 2 * math.sin(a), max(1.0, r * 0.055),
                     fill=ACCENT_LIGHT, opacity=0.9)


def trackpad(c, cx, cy, r):
    c.circle(cx, cy, r + 1.2, fill="#262B32")
    c.circle(cx, cy, r, fill=c.gradient(0, cy - r, 0, cy + r, "#4B535F", "#3E4550"))
    c.circle(cx, cy, r, stroke="#6F7884", sw=max(0.8, r * 0.04), opacity=0.7)


def active_area(c, x0, y0, x1, y1, scale=1.0):
    c.rrect(x0, y0, x1, y1, 3 * scale, fill=c.gradient(0, y0, 0, y1, "#4D5561", "#414853"))
    c.rrect(x0, y0, x1, y1, 3 * scale, stroke="#5B6470", sw=0.8 * scale)
    # corner ticks mark the active area
    t, L = 1.4 * scale, 10 * scale
    m = 5 * scale
    for (px, py, sx, sy) in ((x0 + m, y0 + m, 1, 1), (x1 - m, y0 + m, -1, 1),
                             (x0 + m, y1 - m, 1, -1), (x1 - m, y1 - m, -1, -1)):
        c.rrect(min(px, px + sx * L), min(py, py + sy * t), max(px, px + sx * L), max(py, py + sy * t), t / 2, fill="#8A939E")
        c.rrect(min(px, px + sx * t), min(py, py + sy * L), max(px, px + sx * t), max(py, py + sy * L), t / 2, fill="#8A939E")


def light_bar(c, x0, y0, x1, y1):
    c.rrect(x0 - 1, y0 - 1, x1 + 1, y1 + 1, (y1 - y0) / 2 + 1, fill=ACCENT, opacity=0.25)
    c.rrect(x0, y0, x1, y1, (y1 - y0) / 2, fill=ACCENT)
    c.rrect(x0 + 1, y0, x1 - 1, y0 + (y1 - y0) * 0.45, (y1 - y0) * 0.22, fill=ACCENT_LIGHT, opacity=0.8)


def body(c, x0, y0, x1, y1, r, top=BODY_TOP, bottom=BODY_BOTTOM):
    c.rrect(x0, y0, x1, y1, r, fill=c.gradient(0, y0, 0, y1, top, bottom))
    c.rrect(x0 + 0.5, y0 + 0.5, x1 - 0.5, y1 - 0.5, r, stroke="#59616D", sw=1.0, opacity=0.8)


def key_column(c, x0, x1, y, n, kh, gap, group_gap, group=4):
    """n keys downwards from y; returns the vertical centres."""
    centres = []
    for i in range(n):
        ky = y + i * (kh + gap) + (i // group) * group_gap
        express_key(c, x0, ky, x1, ky + kh)
        centres.append(ky + kh / 2)
    return centres


# ---------------------------------------------------------------------------------------------
# Tablets from above, 420 x 270 (rotation 0); the portrait pictures are these turned by 90 degrees.

def pad_s(c, ox, oy, s, numbers=False):
    """Scribo Pad S with its top-left at (ox, oy), scale s (1 = 396 x 232)."""
    X = lambda v: ox + v * s  # noqa: E731
    Y = lambda v: oy + v * s  # noqa: E731
    body(c, X(0), Y(0), X(396), Y(232), 14 * s)
    light_bar(c, X(22), Y(14), X(52), Y(17.5))
    ring(c, X(37), Y(46), 21 * s, leds=True)
    centres = key_column(c, X(19), X(55), Y(80), 8, 13 * s, 4 * s, 6 * s)
    active_area(c, X(86), Y(22), X(376), Y(210), s)
    return [(X(19), y) for y in centres]


def pad_l(c, ox, oy, s):
    """Scribo Pad L with its top-left at (ox, oy), scale s (1 = 400 x 240)."""
    X = lambda v: ox + v * s  # noqa: E731
    Y = lambda v: oy + v * s  # noqa: E731
    body(c, X(0), Y(0), X(400), Y(240), 14 * s)
    ring(c, X(33), Y(40), 20 * s)
    trackpad(c, X(367), Y(40), 20 * s)
    left = key_column(c, X(16), X(50), Y(74), 8, 13.5 * s, 4.2 * s, 6 * s)
    right = key_column(c, X(350), X(384), Y(74), 8, 13.5 * s, 4.2 * s, 6 * s)
    active_area(c, X(70), Y(18), X(330), Y(222), s)
    return [(X(16), y) for y in left], [(X(384), y) for y in right]


def display_16(c, ox, oy, s):
    """Scribo Display 16 with its top-left at (ox, oy), scale s (1 = 400 x 216)."""
    X = lambda v: ox + v * s  # noqa: E731
    Y = lambda v: oy + v * s  # noqa: E731
    body(c, X(0), Y(0), X(400), Y(216), 13 * s, top="#30353D", bottom="#262A31")
    sx0, sy0, sx1, sy1 = X(58), Y(14), X(386), Y(202)
    c.rrect(sx0 - 1, sy0 - 1, sx1 + 1, sy1 + 1, 2 * s, fill="#15181D")
    c.rrect(sx0, sy0, sx1, sy1, 1.5 * s, fill=c.gradient(0, sy0, 0, sy1, "#2B3440", "#171C23"))
    # a calm reflection across the glass
    c.poly([(sx0 + (sx1 - sx0) * 0.52, sy0), (sx0 + (sx1 - sx0) * 0.78, sy0),
            (sx0 + (sx1 - sx0) * 0.50, sy1), (sx0 + (sx1 - sx0) * 0.24, sy1)], fill=WHITE, opacity=0.035)
    c.rrect(sx0, sy0, sx1, sy1, 1.5 * s, stroke="#3C4653", sw=0.9 * s)
    centres = key_column(c, X(16), X(44), Y(24), 8, 16 * s, 5 * s, 10 * s)
    c.circle(X(372), Y(209), 1.6 * s, fill=ACCENT_LIGHT)      # power light
    return [(X(16), y) for y in centres], (sx0, sy0, sx1, sy1)


def tablet_pictures():
    W, H = 420, 270
    devices = {
        210: lambda c: pad_s(c, 12, 14, 1.0),
        214: lambda c: pad_l(c, 10, 10, 1.0),
        218: lambda c: display_16(c, 10, 24, 1.0),
    }
    for base, draw in devices.items():
        c = Canvas(W, H)
        draw(c)
        layer = c.render(tmp("tab%d.png" % base))
        portrait = rotate(layer, tmp("tab%d-r.png" % base), 90)
        land = drop_shadow(layer, tmp("tab%d-s.png" % base), opacity=0.30, blur=4, dy=3)
        port = drop_shadow(portrait, tmp("tab%d-rs.png" % base), opacity=0.30, blur=4, dy=3)
        finish(land, base)           # rotation 0
        finish(port, base + 1)       # rotation 1
        finish(land, base + 2)       # rotation 2: the panel turns it by 180 degrees
        finish(port, base + 3)       # rotation 3: likewise


# ---------------------------------------------------------------------------------------------
# Express-key pages: the keys large, numbered.

def number_label(c, x, y, n, align, leader_to=None, size=13):
    """Key number at (x, y) (its right edge for align 'end'), with a leader line to leader_to."""
    if leader_to is not None:
        if align == "end":
            c.line([(x + 5, y), (leader_to, y)], 1.2, G400)
        else:
            c.line([(leader_to, y), (x - 5, y)], 1.2, G400)
    c.text(x, y, str(n), size, fill=INK, font=FONT_BOLD, anchor=align)


def keys_pad_s(ident):
    W, H = 300, 416
    c = Canvas(W, H)
    s = 1.62
    ox = 84
    oy = 18
    keys = pad_s(c, ox, oy, s)
    layer = c.render(tmp("k%d-dev.png" % ident))
    shadowed = drop_shadow(layer, tmp("k%d-s.png" % ident), opacity=0.28, blur=4, dy=3)
    shadowed = fade_right(shadowed, tmp("k%d-fade.png" % ident), 236, 298)
    n = Canvas(W, H)
    for i, (kx, ky) in enumerate(keys):
        number_label(n, 44, ky, i + 1, "end", leader_to=kx - 6, size=15)
    finish(over(shadowed, n.render(tmp("k%d-n.png" % ident)), tmp("k%d-o.png" % ident)), ident)


def keys_display(ident):
    W, H = 300, 416
    c = Canvas(W, H)
    s = 1.78
    keys, _ = display_16(c, 84, 16, s)
    layer = c.render(tmp("k%d-dev.png" % ident))
    shadowed = drop_shadow(layer, tmp("k%d-s.png" % ident), opacity=0.28, blur=4, dy=3)
    shadowed = fade_right(shadowed, tmp("k%d-fade.png" % ident), 230, 298)
    n = Canvas(W, H)
    for i, (kx, ky) in enumerate(keys):
        number_label(n, 44, ky, i + 1, "end", leader_to=kx - 6, size=15)
    finish(over(shadowed, n.render(tmp("k%d-n.png" % ident)), tmp("k%d-o.png" % ident)), ident)


def keys_pad_l(ident):
    W, H = 420, 204
    c = Canvas(W, H)
    s = 0.76
    ox = (W - 400 * s) / 2
    left, right = pad_l(c, ox, 8, s)
    layer = c.render(tmp("k%d-dev.png" % ident))
    shadowed = drop_shadow(layer, tmp("k%d-s.png" % ident), opacity=0.28, blur=3.5, dy=2)
    n = Canvas(W, H)
    for i, (kx, ky) in enumerate(left):
        number_label(n, 36, ky, i + 1, "end", leader_to=kx - 4, size=12)
    for i, (kx, ky) in enumerate(right):
        number_label(n, W - 36, ky, i + 9, "start", leader_to=kx + 4, size=12)
    finish(over(shadowed, n.render(tmp("k%d-n.png" % ident)), tmp("k%d-o.png" % ident)), ident)


def remote_device(c, ox, oy, s):
    """Scribo Remote, top-left (ox, oy), scale s (1 = 132 x 372). Returns key rects."""
    X = lambda v: ox + v * s  # noqa: E731
    Y = lambda v: oy + v * s  # noqa: E731
    body(c, X(0), Y(0), X(132), Y(372), 26 * s)
    ring(c, X(66), Y(62), 40 * s, leds=True)
    rects = []
    kh, gap = 20 * s, 6.5 * s
    for col in range(2):
        x0 = X(14 + col * 56)
        x1 = x0 + 48 * s
        for row in range(9):
            y0 = Y(122) + row * (kh + gap) + (row // 3) * 4 * s
            express_key(c, x0, y0, x1, y0 + kh)
            rects.append((x0, y0, x1, y0 + kh))
    return rects


def keys_remote(ident):
    W, H = 300, 416
    c = Canvas(W, H)
    s = 1.0
    ox = (W - 132 * s) / 2
    rects = remote_device(c, ox, 18, s)
    layer = c.render(tmp("k%d-dev.png" % ident))
    shadowed = drop_shadow(layer, tmp("k%d-s.png" % ident), opacity=0.28, blur=4, dy=3)
    n = Canvas(W, H)
    for i, (x0, y0, x1, y1) in enumerate(rects):
        y = (y0 + y1) / 2
        if i < 9:
            number_label(n, ox - 20, y, i + 1, "end", leader_to=x0 - 4, size=13)
        else:
            number_label(n, ox + 132 * s + 20, y, i + 1, "start", leader_to=x1 + 4, size=13)
    finish(over(shadowed, n.render(tmp("k%d-n.png" % ident)), tmp("k%d-o.png" % ident)), ident)


# ---------------------------------------------------------------------------------------------
# Ring and trackpad pages, 220 x 220.

def turn_arrows(c, cx, cy, r):
    # over the top of the ring: a left turn (counter-clockwise) and a right turn (clockwise)
    curved_arrow(c, cx, cy, r, -98, -158, 4.2, ACCENT, head=13)
    curved_arrow(c, cx, cy, r, -82, -22, 4.2, ACCENT, head=13)


def ring_page(ident, variant):
    W = H = 220
    c = Canvas(W, H)
    cx, cy = 110, 122
    # the ring's round seat in the device surface
    c.circle(cx, cy, 70, fill=c.gradient(0, cy - 70, 0, cy + 70, BODY_TOP, BODY_BOTTOM))
    c.circle(cx, cy, 69.5, stroke="#59616D", sw=1.0, opacity=0.8)
    ring(c, cx, cy, 56, leds=(variant == "leds"))
    if variant == "remote":
        for k in range(12):
            a = math.radians(k * 30)
            c.circle(cx + 63 * math.cos(a), cy + 63 * math.sin(a), 1.2, fill=G400, opacity=0.8)
    layer = c.render(tmp("ring%d.png" % ident))
    shadowed = drop_shadow(layer, tmp("ring%d-s.png" % ident), opacity=0.28, blur=4, dy=3)
    a = Canvas(W, H)
    turn_arrows(a, cx, cy, 88)
    finish(over(shadowed, a.render(tmp("ring%d-a.png" % ident)), tmp("ring%d-o.png" % ident)), ident)


def trackpad_page(ident):
    W = H = 220
    c = Canvas(W, H)
    cx = cy = 110
    body(c, 22, 22, 198, 198, 34)
    trackpad(c, cx, cy, 78)
    layer = c.render(tmp("tp.png"))
    shadowed = drop_shadow(layer, tmp("tp-s.png"), opacity=0.28, blur=4, dy=3)
    g = Canvas(W, H)
    # two fingers in the middle, arrows for scrolling up/down and left/right
    for dx in (-9, 9):
        g.circle(cx + dx, cy, 7.5, fill=WHITE, opacity=0.22)
        g.circle(cx + dx, cy, 5.5, fill=WHITE, opacity=0.85)
    straight_arrow(g, cx, cy - 18, cx, cy - 56, 3.4, ACCENT_LIGHT)
    straight_arrow(g, cx, cy + 18, cx, cy + 56, 3.4, ACCENT_LIGHT)
    straight_arrow(g, cx - 28, cy, cx - 60, cy, 3.4, ACCENT_LIGHT)
    straight_arrow(g, cx + 28, cy, cx + 60, cy, 3.4, ACCENT_LIGHT)
    finish(over(shadowed, g.render(tmp("tp-g.png")), tmp("tp-o.png")), ident)


def pictures():
    os.makedirs(PNG_DIR, exist_ok=True)
    pen(122, 2, "classic")
    pen(158, 1, "classic")
    pen(181, 1, "slim")
    logo(130)
    logo(130 + LARGE, 2)
    badge(129)
    badge(129 + LARGE, 2)
    tablet_pictures()
    keys_pad_s(201)
    keys_pad_l(203)
    keys_display(206)
    keys_remote(207)
    ring_page(202, "leds")
    ring_page(204, "plain")
    ring_page(208, "remote")
    trackpad_page(205)


# ---------------------------------------------------------------------------------------------
# Icons and cursors.

def rgba_of(png):
    w, h = size_of(png)
    data = subprocess.run([CONVERT, png, "-depth", "8", "rgba:-"], check=True, capture_output=True).stdout
    assert len(data) == w * h * 4
    return w, h, data


def dib(w, h, rgba):
    """32-bit bottom-up BGRA bitmap with its AND mask, as stored in .ico and .cur files."""
    header = struct.pack("<IiiHHIIiiII", 40, w, h * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    rows = []
    mask_rows = []
    stride = ((w + 31) // 32) * 4
    for y in range(h - 1, -1, -1):
        row = bytearray()
        mask = bytearray(stride)
        for x in range(w):
            r, g, b, a = rgba[(y * w + x) * 4:(y * w + x) * 4 + 4]
            row += bytes((b, g, r, a))
            if a == 0:
                mask[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
        mask_rows.append(bytes(mask))
    return header + b"".join(rows) + b"".join(mask_rows)


def write_icon_file(path, images, kind=1, hotspot=(0, 0)):
    """images: list of (png path). kind 1 = icon, 2 = cursor (hot spot in the directory entry)."""
    entries, blobs = [], []
    for png in images:
        w, h, rgba = rgba_of(png)
        if w >= 256:
            with open(png, "rb") as fh:
                blob = fh.read()
        else:
            blob = dib(w, h, rgba)
        if kind == 1:
            planes_or_x, bits_or_y = 1, 32
        else:
            planes_or_x, bits_or_y = hotspot
        entries.append((w % 256, h % 256, planes_or_x, bits_or_y, len(blob)))
        blobs.append(blob)
    out = struct.pack("<HHH", 0, kind, len(images))
    offset = 6 + 16 * len(images)
    for (w, h, p, b, size), blob in zip(entries, blobs):
        out += struct.pack("<BBBBHHII", w, h, 0, 0, p, b, size, offset)
        offset += size
    out += b"".join(blobs)
    with open(path, "wb") as fh:
        fh.write(out)


def icon_layer(name, size, draw):
    c = Canvas(size, size)
    draw(c, size)
    return c.render(tmp("%s-%d.png" % (name, size)))


def draw_main_icon(c, s):
    m = 0 if s <= 24 else s * 0.04
    brand_mark(c, m, m, s - 2 * m, detail=s >= 20)


def draw_alt_icon(c, s):
    m = 0 if s <= 24 else s * 0.04
    brand_mark(c, m, m, s - 2 * m, square="#8C95A1", square_dark="#5F6874", detail=s >= 20)
    r = s * 0.2
    c.circle(s - r - 0.2, s - r - 0.2, r, fill=WHITE)
    c.circle(s - r - 0.2, s - r - 0.2, r - max(1.0, s * 0.05), fill=ACCENT)


def draw_others_icon(c, s):
    u = s / 32.0
    # back window
    c.rrect(2 * u, 3 * u, 24 * u, 21 * u, 2.5 * u, fill=G300)
    c.rrect(2 * u, 3 * u, 24 * u, 8 * u, 2.5 * u, fill=G500)
    c.rrect(2 * u, 6 * u, 24 * u, 8 * u, 0, fill=G500)
    # front window
    c.rrect(7.5 * u, 10 * u, 30 * u, 29 * u, 2.5 * u, fill="#3C4450")
    c.rrect(8.5 * u, 11 * u, 29 * u, 28 * u, 1.8 * u, fill=WHITE)
    c.rrect(8.5 * u, 11 * u, 29 * u, 16 * u, 1.8 * u, fill=ACCENT)
    c.rrect(8.5 * u, 14 * u, 29 * u, 16 * u, 0, fill=ACCENT)
    if s >= 24:
        for k, w in enumerate((14, 10, 12)):
            c.rrect(11.5 * u, (19 + 3 * k) * u, (11.5 + w) * u, (20.3 + 3 * k) * u, 0.6 * u, fill=G300)


def draw_remote_icon(c, s):
    u = s / 32.0
    c.rrect(8 * u, 1 * u, 24 * u, 31 * u, 4.5 * u, fill=c.gradient(0, 0, 0, s, "#4A525E", "#2E343C"))
    c.circle(16 * u, 9 * u, 5.6 * u, fill=ACCENT)
    c.circle(16 * u, 9 * u, 2.7 * u, fill="#2E343C")
    rows = 4 if s >= 24 else 3
    for r in range(rows):
        for col in range(2):
            x0 = (10.5 + col * 6) * u
            y0 = (17 + r * (13.0 / rows)) * u
            c.rrect(x0, y0, x0 + 4.6 * u, y0 + (13.0 / rows - 1.4) * u, 0.8 * u, fill="#8A939E")


def icons():
    os.makedirs(ICON_DIR, exist_ok=True)
    sets = {
        "scribo.ico": (draw_main_icon, (16, 20, 24, 32, 48, 256)),
        "scribo_alt.ico": (draw_alt_icon, (16, 20, 24, 32, 48, 256)),
        "others.ico": (draw_others_icon, (16, 24, 32, 48, 256)),
        "remote.ico": (draw_remote_icon, (16, 24, 32, 48, 256)),
    }
    for name, (draw, sizes) in sets.items():
        layers = [icon_layer(name, s, draw) for s in sizes]
        for s, layer in zip(sizes, layers):
            if s == 256:
                run(layer, "-strip", "-define", "png:exclude-chunks=date,time", "PNG32:" + layer)
        write_icon_file(os.path.join(ICON_DIR, name), layers)


def bracket_rgba(corner):
    """64 x 64 corner bracket, arms 48 long and 4 thick, in RGB(242, 2, 104)."""
    w = h = 64
    px = bytearray(w * h * 4)
    for y in range(h):
        for x in range(w):
            if corner == "tl":
                on = (y < 4 and x < 48) or (x < 4 and y < 48)
            else:
                on = (y >= 60 and x >= 16) or (x >= 60 and y >= 16)
            if on:
                px[(y * w + x) * 4:(y * w + x) * 4 + 4] = bytes((242, 2, 104, 255))
    return bytes(px)


def write_cursor(path, rgba, hotspot):
    blob = dib(64, 64, rgba)
    out = struct.pack("<HHH", 0, 2, 1)
    out += struct.pack("<BBBBHHII", 64, 64, 0, 0, hotspot[0], hotspot[1], len(blob), 6 + 16)
    with open(path, "wb") as fh:
        fh.write(out + blob)


def cursors():
    os.makedirs(CURSOR_DIR, exist_ok=True)
    write_cursor(os.path.join(CURSOR_DIR, "corner_tl.cur"), bracket_rgba("tl"), (0, 0))
    # The panel adds 31 pixels to the click point for this cursor's corner (its position at the
    # standard 32 px cursor size), so the hot spot stays at (0, 0).
    write_cursor(os.path.join(CURSOR_DIR, "corner_br.cur"), bracket_rgba("br"), (0, 0))


def main():
    what = sys.argv[1] if len(sys.argv) > 1 else "all"
    if what in ("pictures", "all"):
        pictures()
    if what in ("icons", "all"):
        icons()
    if what in ("cursors", "all"):
        cursors()


if __name__ == "__main__":
    try:
        main()
    finally:
        subprocess.run(["rm", "-rf", WORK])
