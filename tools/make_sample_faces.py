#!/usr/bin/env python3
"""Draws the two built-in sample faces: resources/faces/front.svg and profile.svg.

The landmark grips start at fixed places over these pictures, so the faces are
drawn around them: every outline or feature a landmark names is a curve laid
exactly through that landmark's pixel position, read from
tools/sample-face-landmarks.json.  The output is deterministic.

    python3 tools/make_sample_faces.py

Only SVG that Qt SVG renders is written: paths, basic shapes, groups with
transforms and linear/radial gradients (no filters, masks or clip paths, so
clipping is done here in Python).
"""

import json
import math
import pathlib

TOOLS = pathlib.Path(__file__).resolve().parent
ROOT = TOOLS.parent
LANDMARKS = TOOLS / "sample-face-landmarks.json"
OUT_DIR = ROOT / "resources" / "faces"
TEST_DIR = ROOT / "tests" / "data"  # variants the tests look for the hairline on

BG_TOP, BG_BOTTOM = "#f1f4f7", "#dfe6ec"
SKIN_LIGHT, SKIN, SKIN_MID, SKIN_DARK = "#f8dcc8", "#f0c5a6", "#e3ab89", "#cf9573"
SKIN_LINE = "#b07658"
SHADE = "#8e5140"
HAIR_LIGHT, HAIR, HAIR_DARK = "#7d5a43", "#4e3427", "#2e1e16"
LIP_UPPER, LIP_LOWER, LIP_LINE = "#ad5f56", "#c77a6d", "#6c2f28"
IRIS_IN, IRIS, IRIS_OUT = "#46606f", "#6c8c9c", "#2f414c"
SHIRT_LIGHT, SHIRT_DARK = "#7c93a6", "#465b6d"
HAT_LIGHT, HAT, HAT_DARK, HAT_BAND = "#4a5878", "#2f3b57", "#1e2639", "#1a1d26"


# ---------------------------------------------------------------- vectors

def add(a, b):
    return (a[0] + b[0], a[1] + b[1])


def sub(a, b):
    return (a[0] - b[0], a[1] - b[1])


def mul(a, k):
    return (a[0] * k, a[1] * k)


def lerp(a, b, t):
    return (a[0] + (b[0] - a[0]) * t, a[1] + (b[1] - a[1]) * t)


def dist(a, b):
    return math.hypot(b[0] - a[0], b[1] - a[1])


def unit(a):
    n = math.hypot(a[0], a[1])
    return (a[0] / n, a[1] / n) if n else (0.0, 0.0)


def mirror_x(p, axis):
    return (2 * axis - p[0], p[1])


# ---------------------------------------------------------------- curves
#
# A curve is a list of cubic segments (p0, c1, c2, p1).  curve() interpolates
# its points, so a landmark given as a point is exactly on the drawn line.
# A point may carry a third item: "c" for a corner, a direction for a forced
# tangent (e.g. horizontal at the lowest point of the chin), or an (in, out)
# pair of directions.

def curve(points, closed=False):
    pts, marks = [], []
    for p in points:
        pts.append((float(p[0]), float(p[1])))
        marks.append(p[2] if len(p) > 2 else None)
    n = len(pts)
    t_in, t_out = [None] * n, [None] * n

    def chord(i, j):
        return unit(sub(pts[j % n], pts[i % n]))

    for i in range(n):
        s = marks[i]
        if isinstance(s, tuple):
            if isinstance(s[0], tuple):
                t_in[i], t_out[i] = unit(s[0]), unit(s[1])
            else:
                t_in[i] = t_out[i] = unit(s)
            continue
        if not closed and (i == 0 or i == n - 1):
            continue
        a, b = chord(i - 1, i), chord(i, i + 1)
        if s == "c":
            t_in[i], t_out[i] = a, b
        else:
            t_in[i] = t_out[i] = unit(add(a, b))
    if not closed:
        # free ends bend like a parabola towards their neighbour's tangent
        if t_out[0] is None:
            c = chord(0, 1)
            nb = t_in[1] if n > 2 and t_in[1] is not None else c
            t_out[0] = unit(sub(mul(c, 2), nb))
        if t_in[n - 1] is None:
            c = chord(n - 2, n - 1)
            nb = t_out[n - 2] if n > 2 and t_out[n - 2] is not None else c
            t_in[n - 1] = unit(sub(mul(c, 2), nb))
    segs = []
    for i in range(n if closed else n - 1):
        a, b = pts[i], pts[(i + 1) % n]
        h = dist(a, b) / 3.0
        segs.append((a, add(a, mul(t_out[i], h)), sub(b, mul(t_in[(i + 1) % n], h)), b))
    return segs


def line(p, q):
    """A straight piece in the same cubic form as curve() output."""
    return [(p, p, q, q)]


def reverse(segs):
    return [(s[3], s[2], s[1], s[0]) for s in reversed(segs)]


def shifted(segs, dx, dy):
    return [tuple((p[0] + dx, p[1] + dy) for p in s) for s in segs]


def bez(s, t):
    u = 1 - t
    return (u * u * u * s[0][0] + 3 * u * u * t * s[1][0] + 3 * u * t * t * s[2][0] + t * t * t * s[3][0],
            u * u * u * s[0][1] + 3 * u * u * t * s[1][1] + 3 * u * t * t * s[2][1] + t * t * t * s[3][1])


def sample(segs, per=24):
    out = [segs[0][0]]
    for s in segs:
        out.extend(bez(s, k / per) for k in range(1, per + 1))
    return out


def resample(poly, count):
    """count points evenly spaced by arc length along an open polyline."""
    acc = [0.0]
    for a, b in zip(poly, poly[1:]):
        acc.append(acc[-1] + dist(a, b))
    out, j = [], 0
    for k in range(count):
        target = acc[-1] * k / (count - 1)
        while j < len(acc) - 2 and acc[j + 1] < target:
            j += 1
        span = acc[j + 1] - acc[j]
        out.append(lerp(poly[j], poly[j + 1], (target - acc[j]) / span if span else 0))
    return out


def circle_poly(c, r, count=72, ry=None):
    ry = r if ry is None else ry
    return [(c[0] + r * math.cos(2 * math.pi * k / count), c[1] + ry * math.sin(2 * math.pi * k / count))
            for k in range(count)]


def area2(poly):
    return sum(a[0] * b[1] - b[0] * a[1] for a, b in zip(poly, poly[1:] + poly[:1]))


def clip(subject, window):
    """Part of polygon subject inside the convex polygon window."""
    sign = 1 if area2(window) > 0 else -1

    def inside(p, a, b):
        return sign * ((b[0] - a[0]) * (p[1] - a[1]) - (b[1] - a[1]) * (p[0] - a[0])) >= 0

    def cross(p, q, a, b):
        d1, d2 = sub(q, p), sub(b, a)
        den = d1[0] * d2[1] - d1[1] * d2[0]
        t = ((a[0] - p[0]) * d2[1] - (a[1] - p[1]) * d2[0]) / den
        return add(p, mul(d1, t))

    out = list(subject)
    for a, b in zip(window, window[1:] + window[:1]):
        src, out = out, []
        for k, q in enumerate(src):
            p = src[k - 1]
            if inside(q, a, b):
                if not inside(p, a, b):
                    out.append(cross(p, q, a, b))
                out.append(q)
            elif inside(p, a, b):
                out.append(cross(p, q, a, b))
        if not out:
            break
    return out


def ribbon(center, widths):
    """Outline of a stroke of varying width along a polyline.

    widths holds (fraction of length, width) keys; the ends are cut square,
    so the centre line's end points are the ribbon's end midpoints."""
    left, right = ribbon_edges(center, widths)
    return left + right[::-1]


def ribbon_edges(center, widths):
    acc = [0.0]
    for a, b in zip(center, center[1:]):
        acc.append(acc[-1] + dist(a, b))

    def width(u):
        for (u0, w0), (u1, w1) in zip(widths, widths[1:]):
            if u <= u1:
                return w0 + (w1 - w0) * (u - u0) / (u1 - u0)
        return widths[-1][1]

    left, right = [], []
    for k, p in enumerate(center):
        a, b = center[max(k - 1, 0)], center[min(k + 1, len(center) - 1)]
        t = unit(sub(b, a))
        nrm = (t[1], -t[0])
        w = width(acc[k] / acc[-1]) / 2
        left.append(add(p, mul(nrm, w)))
        right.append(sub(p, mul(nrm, w)))
    return left, right


def brow(d, gid, pts, widths):
    """A brow through pts, from its inner end to its outer end, with hairs
    slanting towards the outer end and kept inside the brow."""
    center = sample(curve(pts), 14)
    left, right = ribbon_edges(center, widths)
    d.path(d_poly(left + right[::-1]), fill=d.linear(gid, pts[0], pts[-1],
                                                    [(0, "#7a5844", 0.75), (0.35, HAIR, 1), (1, HAIR)]))
    for k in range(1, len(center) - 4, 2):
        a = lerp(center[k], right[k], 0.8 if k % 4 == 1 else 0.4)
        b = lerp(center[k + 3], left[k + 3], 0.8)
        d.stroke(curve([a, b]), HAIR_DARK, 1.1, 0.45)


# ---------------------------------------------------------------- SVG output

def num(v):
    s = "%.2f" % v
    s = s.rstrip("0").rstrip(".")
    return "0" if s == "-0" else s


def d_curve(segs, close=False):
    parts = ["M%s %s" % (num(segs[0][0][0]), num(segs[0][0][1]))]
    for s in segs:
        parts.append("C%s %s %s %s %s %s" % tuple(num(v) for p in s[1:] for v in p))
    if close:
        parts.append("Z")
    return " ".join(parts)


def d_poly(points, close=True):
    s = "M" + " L".join("%s %s" % (num(p[0]), num(p[1])) for p in points)
    return s + (" Z" if close else "")


class Doc:
    def __init__(self, width, height):
        self.width, self.height = width, height
        self.defs, self.body = [], []
        self.soft_ids = {}

    @staticmethod
    def _attrs(attrs):
        out = []
        for k, v in attrs.items():
            if v is None:
                continue
            if isinstance(v, float):
                v = num(v)
            out.append('%s="%s"' % (k.rstrip("_").replace("_", "-"), v))
        return " ".join(out)

    def el(self, tag, **attrs):
        self.body.append("<%s %s/>" % (tag, self._attrs(attrs)))

    def open(self, tag, **attrs):
        self.body.append("<%s %s>" % (tag, self._attrs(attrs)) if attrs else "<%s>" % tag)

    def close(self, tag):
        self.body.append("</%s>" % tag)

    @staticmethod
    def _stops(stops):
        out = []
        for st in stops:
            off, col = st[0], st[1]
            op = st[2] if len(st) > 2 else 1
            out.append('<stop offset="%s" stop-color="%s"%s/>'
                       % (num(off), col, "" if op == 1 else ' stop-opacity="%s"' % num(op)))
        return "".join(out)

    def linear(self, gid, p1, p2, stops):
        self.defs.append('<linearGradient id="%s" gradientUnits="userSpaceOnUse" x1="%s" y1="%s" x2="%s" y2="%s">%s</linearGradient>'
                         % (gid, num(p1[0]), num(p1[1]), num(p2[0]), num(p2[1]), self._stops(stops)))
        return "url(#%s)" % gid

    def radial(self, gid, c, r, stops, transform=None):
        extra = ' gradientTransform="%s"' % transform if transform else ""
        self.defs.append('<radialGradient id="%s" gradientUnits="userSpaceOnUse" cx="%s" cy="%s" r="%s"%s>%s</radialGradient>'
                         % (gid, num(c[0]), num(c[1]), num(r), extra, self._stops(stops)))
        return "url(#%s)" % gid

    def soft(self, color, alpha):
        """Radial fade from color to clear, sized to whatever shape uses it."""
        key = (color, round(alpha, 3))
        if key not in self.soft_ids:
            gid = "soft%d" % (len(self.soft_ids) + 1)
            self.soft_ids[key] = gid
            self.defs.append('<radialGradient id="%s" cx="0.5" cy="0.5" r="0.5">%s</radialGradient>'
                             % (gid, self._stops([(0, color, alpha), (0.45, color, alpha * 0.75),
                                                  (1, color, 0)])))
        return "url(#%s)" % self.soft_ids[key]

    def spot(self, c, rx, ry, color, alpha, angle=0):
        """A soft light or shadow patch."""
        if angle:
            self.open("g", transform="rotate(%s %s %s)" % (num(angle), num(c[0]), num(c[1])))
        self.el("ellipse", cx=float(c[0]), cy=float(c[1]), rx=float(rx), ry=float(ry),
                fill=self.soft(color, alpha))
        if angle:
            self.close("g")

    def shade(self, shape_d, c, rx, ry, color, alpha, angle=0):
        """Fills shape_d again with a soft patch centred at c, so the patch
        never spills past the shape's own edge."""
        gid = "shade%d" % (len(self.defs) + 1)
        tf = "translate(%s %s) rotate(%s) scale(1 %s) translate(%s %s)" % (
            num(c[0]), num(c[1]), num(angle), num(ry / rx), num(-c[0]), num(-c[1]))
        self.path(shape_d, fill=self.radial(gid, c, rx, [(0, color, alpha), (0.45, color, alpha * 0.75),
                                                         (1, color, 0)], transform=tf))

    def path(self, d, **attrs):
        self.el("path", d=d, **attrs)

    def stroke(self, segs, color, width, opacity=1.0, cap="round"):
        self.el("path", d=d_curve(segs), fill="none", stroke=color, stroke_width=float(width),
                opacity=None if opacity == 1 else float(opacity), stroke_linecap=cap,
                stroke_linejoin="round")

    def text(self):
        head = ('<?xml version="1.0" encoding="UTF-8"?>\n'
                '<svg xmlns="http://www.w3.org/2000/svg" version="1.2" baseProfile="tiny" '
                'width="%d" height="%d" viewBox="0 0 %d %d">\n'
                % (self.width, self.height, self.width, self.height))
        return (head + "<defs>\n" + "\n".join(self.defs) + "\n</defs>\n"
                + "\n".join(self.body) + "\n</svg>\n")


# ---------------------------------------------------------------- shared parts

def tufted(points, step, amp, center):
    """Knots along a smooth edge, every other one pulled towards center, so the
    edge reads as loose locks of hair; the end knots are kept exactly."""
    line = sample(curve(points), 16)
    length = sum(dist(p, q) for p, q in zip(line, line[1:]))
    knots = resample(line, max(3, int(length / step) + 1))
    out = [knots[0]]
    for i in range(1, len(knots) - 1):
        k = amp * (0.6 + 0.4 * ((i * 5) % 3) / 2) if i % 2 else 0
        out.append(add(knots[i], mul(unit(sub(center, knots[i])), k)))
    return out + [knots[-1]]


def smoothed(points, half):
    out = []
    for i in range(len(points)):
        win = points[max(0, i - half):i + half + 1]
        out.append((sum(p[0] for p in win) / len(win), sum(p[1] for p in win) / len(win)))
    return out


def inside(p, poly):
    hit = False
    for a, b in zip(poly, poly[1:] + poly[:1]):
        if (a[1] > p[1]) != (b[1] > p[1]) and p[0] < a[0] + (p[1] - a[1]) * (b[0] - a[0]) / (b[1] - a[1]):
            hit = not hit
    return hit


def hair_strand(doc, pts, k, region):
    # a strand that would cross onto skin or an ear is left out
    if not all(inside(p, region) for p in sample(curve(pts), 6)):
        return
    light = k % 3 != 0
    doc.stroke(curve(pts), HAIR_LIGHT if light else HAIR_DARK, 1.6 if light else 1.2, 0.4 if light else 0.35)


def hair_texture(doc, region, inner, outer, count, flow):
    """Strands between the hairline (inner) and the hair's outer edge, inside region.

    Both edges are walked in the same direction and matched by arc length.
    flow=False combs the strands from the hairline straight out to the edge
    (hair brushed back, seen from the front); flow=True runs them along the
    hair (the same hair seen from the side).  Points are taken between the
    edges, and along a smoothed hairline, so no strand leaves the hair."""
    a = resample(inner, count)
    b = resample(outer, count)
    soft = smoothed(a, count // 14)
    region = sample(region, 8)
    if flow:
        for lane in range(12):
            s = 0.07 + 0.6 * lane / 11
            line = [lerp(b[j], soft[j], s) for j in range(count)]
            k = (lane * 7) % 11
            while k < count - 4:
                n = 16 + (lane * 5 + k) % 19
                hair_strand(doc, line[k:min(k + n, count):2], lane + k, region)
                k += n + 3 + (lane + k) % 6
        for k in range(2, count - 2, 2):
            hair_strand(doc, [lerp(a[k], b[k], 0.02), lerp(a[k + 1], b[k + 2], 0.1),
                              lerp(a[k + 2], b[k + 4 if k + 4 < count else k + 2], 0.18 + 0.04 * (k % 3))], k, region)
    else:
        for k in range(1, count - 1):
            reach = 0.55 + 0.4 * ((k * 7) % 5) / 4
            start = 0.03 + 0.25 * ((k * 3) % 4 == 0)
            pts = [lerp(soft[k] if t > 0.5 else a[k], b[k], t) for t in (start, (start + reach) / 2, reach)]
            hair_strand(doc, pts, k, region)


# ---------------------------------------------------------------- front face

def draw_front(L, variant=None):
    """variant: None for the sample itself; "bald" leaves the hair out, so the skin runs to the
    top of the head; "hat" puts a felt hat over the hair, its brim across the forehead."""
    W, H = 568, 677
    P = {k: tuple(v) for k, v in L.items()}
    mid = (P["P13"][0] + P["P14"][0]) / 2          # face midline, for mirrored details
    d = Doc(W, H)

    # background
    d.path("M0 0 H%d V%d H0 Z" % (W, H), fill=d.linear("bg", (0, 0), (0, H), [(0, BG_TOP), (1, BG_BOTTOM)]))
    d.spot((mid, 300), 300, 330, "#ffffff", 0.55)

    # neck, then the shirt over its base
    neck = curve([(184, 480), (185, 580), (181, 626), (172, 668, "c"), (404, 668, "c"),
                  (395, 626), (391, 580), (392, 480, "c")], closed=True)
    neck_d = d_curve(neck, close=True)
    d.path(neck_d, fill=d.linear("neck", (176, 0), (400, 0), [(0, SKIN_DARK), (0.22, SKIN_MID), (0.5, SKIN),
                                                            (0.78, SKIN_MID), (1, SKIN_DARK)]))
    d.shade(neck_d, (mid, 604), 130, 56, SHADE, 0.55)
    d.shade(neck_d, (mid, 650), 36, 14, SHADE, 0.2)
    collar = curve([(168, 622), (228, 658), (mid, 666, (1, 0)), (348, 658), (408, 622)])
    shirt = curve([(0, 652), (80, 636), (168, 622, "c")]) + collar[:] + curve([(408, 622, "c"), (496, 636), (W, 652)])
    shirt_d = d_curve(shirt) + " L%d %d L0 %d Z" % (W, H, H)
    d.path(shirt_d, fill=d.linear("shirt", (0, 620), (0, H), [(0, SHIRT_LIGHT), (1, SHIRT_DARK)]))
    d.shade(shirt_d, (70, 668), 110, 26, "#ffffff", 0.2)
    d.shade(shirt_d, (W - 70, 668), 110, 26, "#ffffff", 0.2)
    d.stroke(collar, SHIRT_DARK, 10)
    d.stroke(shifted(collar, 0, -4), "#ffffff", 1.6, 0.25)

    # ears, behind the face
    ear_l = [(96, 298), (76, 292), (60, 303), (54, 336), (58, 376), (68, 414), (82, 443), (98, 452), (104, 380)]
    for side in (0, 1):
        m = (lambda p: p) if side == 0 else (lambda p: mirror_x(p, mid))
        ear = curve([m(p) for p in ear_l], closed=True)
        d.path(d_curve(ear, close=True),
               fill=d.linear("ear%d" % side, m((50, 0)), m((110, 0)), [(0, SKIN_MID), (1, SKIN_DARK)]))
        d.stroke(ear, SKIN_LINE, 1.4, 0.7)
        d.stroke(curve([m(p) for p in [(88, 303), (70, 308), (63, 336), (66, 376), (76, 411), (90, 434)]]),
                 SKIN_LINE, 2.2, 0.55)
        d.spot(m((80, 372)), 10, 24, SHADE, 0.35)
        d.spot(m((66, 330)), 6, 16, "#ffffff", 0.25)

    # face skin; the hidden top runs under the hair
    face = curve([(mid, 92), (392, 104), (455, 146), (479, 228), (485, 292), P["P14"] + ((0, 1),), (483, 432),
                  P["P22"], (404, 572), P["P28"], P["P4"] + ((-1, 0),), P["P27"], (168, 573), P["P21"],
                  (93, 432), P["P13"] + ((0, -1),), (92, 292), (97, 228), (121, 146), (184, 104)], closed=True)
    face_d = d_curve(face, close=True)
    d.path(face_d,
           fill=d.radial("face", (mid, 330), 300,
                         [(0, SKIN_LIGHT), (0.5, SKIN), (0.82, SKIN_MID), (1, SKIN_DARK)],
                         transform="translate(%s 330) scale(1 1.16) translate(%s -330)" % (num(mid), num(-mid))))

    # broad light and shade; each patch pairs with its mirror image
    for c, rx, ry, col, a, ang in (((150, 356), 42, 17, "#ffffff", 0.32, -18),
                                   ((174, 434), 50, 32, "#e07c6a", 0.2, 0),
                                   ((112, 455), 42, 100, SHADE, 0.2, 8),
                                   ((128, 250), 34, 70, SHADE, 0.14, 10),
                                   ((200, 584), 60, 26, SHADE, 0.12, 25)):
        d.shade(face_d, c, rx, ry, col, a, ang)
        d.shade(face_d, mirror_x(c, mid), rx, ry, col, a, -ang)
    d.shade(face_d, (mid - 4, 222), 100, 52, "#ffffff", 0.3)
    # light falls a little from the picture's left
    d.shade(face_d, (486, 410), 80, 230, SHADE, 0.12)
    d.shade(face_d, (92, 380), 40, 140, "#ffffff", 0.1)

    # eyes and brows
    for inner, outer in ((P["P10"], P["P9"]), (P["P11"], P["P12"])):
        front_eye(d, inner, outer)
    front_brow(d, [P["P6"], (236, 284.5), (203, 272.5), (162, 269.5), P["P5"]])
    front_brow(d, [P["P7"], (337, 284.5), (372, 272.5), (418, 270.5), P["P8"]])

    front_nose(d, P, mid)
    front_mouth(d, P, mid)

    # chin
    d.spot((mid, 540), 34, 8, SHADE, 0.22)
    d.spot((mid - 2, 574), 32, 13, "#ffffff", 0.28)

    # face outline
    d.stroke(face, SKIN_LINE, 1.6, 0.75)

    if variant == "bald":
        return d
    # hair over the forehead; its inner edge is the hairline
    hairline = curve([(106, 324), (109, 288), (116, 242), (128, 203), P["P1"]])
    hairline += curve([P["P1"], (212, 151.5), P["P3"], (350, 147.5), P["P2"]])
    hairline += curve([P["P2"], (446, 200), (460, 242), (467, 288), (470, 324)])
    outer = curve(tufted([(89, 320), (84, 286), (70, 240), (62, 188), (77, 126), (130, 76), (205, 47), (mid, 39),
                          (368, 46), (442, 74), (496, 124), (513, 188), (505, 240), (492, 286), (487, 320)],
                         26, 3.5, (mid, 300)))
    hair = hairline + line(hairline[-1][3], outer[-1][3]) + reverse(outer)
    hair_d = d_curve(hair, close=True)
    d.stroke(shifted(hairline, 0, 4), SHADE, 9, 0.12)
    d.path(hair_d, fill=d.linear("hair", (0, 43), (0, 330), [(0, HAIR_LIGHT), (0.35, HAIR), (1, HAIR_DARK)]))
    hair_texture(d, hair, sample(hairline, 12), sample(outer, 12), 90, False)
    d.shade(hair_d, (255, 92), 120, 30, "#ffffff", 0.22, -5)
    d.stroke(hairline, HAIR_DARK, 1.4, 0.7)
    if variant == "hat":
        front_hat(d, mid)
    return d


def front_hat(d, mid):
    """A felt hat over the hair: a crown down to a band, a brim across the forehead half way
    between the hairline and the brows, wider than the head; the hair at the temples shows."""
    brim_top = curve([(40, 196), (mid, 184, (1, 0)), (536, 196)])
    brim_bottom = curve([(536, 196, "c"), (520, 214), (mid, 222, (-1, 0)), (56, 214), (40, 196, "c")])
    crown = curve([(92, 190), (96, 120), (150, 40), (mid, 14, (1, 0)), (426, 40), (480, 120), (484, 190)])
    crown_d = d_curve(crown) + " L%s %s L92 190 Z" % (num(484), num(190))
    d.path(crown_d, fill=d.linear("hat", (0, 14), (0, 190), [(0, HAT_LIGHT), (1, HAT)]))
    d.shade(crown_d, (mid - 40, 70), 120, 40, "#ffffff", 0.12)
    band = curve([(94, 160), (mid, 150, (1, 0)), (482, 160)])
    d.path(d_curve(band + reverse(curve([(92, 190), (mid, 182, (1, 0)), (484, 190)])), close=True),
           fill=HAT_BAND)
    d.path(d_curve(brim_top + brim_bottom, close=True),
           fill=d.linear("brim", (0, 184), (0, 222), [(0, HAT_LIGHT), (1, HAT_DARK)]))
    d.stroke(brim_bottom, HAT_DARK, 1.6, 0.8)


def front_eye(d, inner, outer):
    length = dist(inner, outer)
    ex = unit(sub(outer, inner))
    up = (ex[1], -ex[0]) if ex[0] > 0 else (-ex[1], ex[0])

    def at(s, v):
        return add(add(inner, mul(ex, s * length)), mul(up, v))

    upper = curve([inner, at(0.16, 15.5), at(0.45, 22.5), at(0.76, 15.5), outer])
    lower = curve([outer, at(0.78, -9), at(0.48, -12.5), at(0.18, -9), inner])
    hole = sample(upper + lower, 16)[:-1]
    top = at(0.45, 22.5)
    iris_c = at(0.5, 5.5)

    d.spot(at(0.5, 20), 62, 30, SHADE, 0.22)
    d.spot(at(0.03, 8), 12, 18, SHADE, 0.25)
    d.path(d_poly(hole), fill=d.linear("white%d" % int(inner[0]), (0, top[1]), (0, top[1] + 36),
                                       [(0, "#d9cbc2"), (0.45, "#f6f1ec"), (1, "#eee6e0")]))
    iris = clip(circle_poly(iris_c, 20), hole)
    d.path(d_poly(iris), fill=d.radial("iris%d" % int(inner[0]), iris_c, 20,
                                       [(0, "#1d2429"), (0.3, IRIS_IN), (0.62, IRIS), (0.86, IRIS_IN), (1, IRIS_OUT)]))
    d.path(d_poly(clip(circle_poly(iris_c, 7.6), hole)), fill="#121518")
    lid = sample(upper, 16)
    d.path(d_poly(clip(lid + [add(p, (0, 7)) for p in reversed(lid)], hole)), fill="#5a3a2e", fill_opacity=0.3)
    d.el("circle", cx=iris_c[0] + 5.5, cy=iris_c[1] - 6, r=3.6, fill="#ffffff", fill_opacity=0.9)
    d.el("circle", cx=iris_c[0] - 6, cy=iris_c[1] + 5.5, r=1.6, fill="#ffffff", fill_opacity=0.55)
    d.path(d_poly(clip(circle_poly(at(0.06, -0.3), 3.8, 24, 2.8), hole)), fill="#dc9c92")

    d.stroke(lower, "#9a6a56", 1.3, 0.6)
    d.path(d_poly(ribbon(sample(upper, 10), [(0, 1.2), (0.35, 2.8), (0.85, 3.8), (1, 2.2)])), fill=HAIR_DARK)
    rim = resample(lid, 40)
    for k in (25, 29, 33, 36):
        base, t = rim[k], unit(sub(rim[k + 1], rim[k - 1]))
        n = (t[1], -t[0]) if t[0] > 0 else (-t[1], t[0])
        d.stroke(curve([base, add(add(base, mul(n, 3.5)), mul(t, 0.5)), add(add(base, mul(n, 6)), (t[0] * 2.5, -2))]),
                 HAIR_DARK, 1.1, 0.75)
    d.stroke(curve([at(0.07, 13), at(0.3, 27), at(0.6, 30.5), at(0.88, 22), at(1.03, 9)]), SKIN_LINE, 1.6, 0.55)
    d.spot(at(0.5, 33), 30, 7, "#ffffff", 0.22)


def front_brow(d, pts):
    brow(d, "brow%d" % int(pts[0][0]), pts, [(0, 11), (0.25, 12.5), (0.6, 10.5), (0.85, 6), (1, 1.5)])


def front_nose(d, P, mid):
    m = lambda p: mirror_x(p, mid)
    # the bridge is narrowest at its root, between the eyes; a lit spot marks the root
    root = P["P16"]
    d.spot(sub(root, (27, -2)), 13, 24, SHADE, 0.2)
    d.spot(add(root, (27, 2)), 13, 24, SHADE, 0.2)
    d.spot(add(root, (0, 48)), 8, 44, "#ffffff", 0.35)
    d.spot(root, 7, 10, "#ffffff", 0.35)
    left = [(266, 304), sub(root, (10, 0)) + ((0, 1),), P["P17"], (274.5, 376), (269, 394)]
    right = [(308.5, 304), add(root, (10, 0)) + ((0, 1),), P["P18"], (302, 376), (307.5, 394)]
    for side, pts in ((-1, left), (1, right)):
        d.stroke(shifted(curve(pts), 5 * side, 0), SHADE, 10, 0.1)
        d.stroke(curve(pts)[1:], SKIN_LINE, 1.6, 0.38)
    # tip and wings
    d.spot((mid, 412), 44, 24, SHADE, 0.12)
    d.spot((mid, 409), 15, 11, "#ffffff", 0.45)
    for pts in ([(258, 396), (244, 405), P["P19"] + ((0, 1),), (242, 433), (254, 439)],
                [m((258, 396)), (331.5, 406), P["P20"] + ((0, 1),), (334, 434), (322.5, 440)]):
        segs = curve(pts)
        out = -1 if pts[2][0] < mid else 1
        d.stroke(shifted(segs, 4 * out, 0), SHADE, 8, 0.12)
        d.stroke(segs, "#9a5c45", 2.2, 0.6)
        d.spot((pts[2][0] - 14 * out, 420), 9, 11, "#ffffff", 0.2)
    # shadow under the nose; its top edge is the nose's base
    base = curve([(252, 439), (267, 438.5), P["P15"] + ((1, 0),), (308, 439), (324, 440)])
    under = curve([(324, 440), (306, 450), (mid, 452, (-1, 0)), (270, 450), (252, 439)])
    d.path(d_curve(base + under, close=True),
           fill=d.linear("undernose", (0, 436), (0, 452), [(0, SHADE, 0.32), (1, SHADE, 0)]))
    for c, a in (((267, 431.5), -14), ((309.5, 432), 14)):
        d.open("g", transform="rotate(%d %s %s)" % (a, num(c[0]), num(c[1])))
        d.el("ellipse", cx=float(c[0]), cy=float(c[1]), rx=10.0, ry=4.4, fill="#4e2820", fill_opacity=0.85)
        d.close("g")
    d.stroke(curve([(276, 437.3), P["P15"] + ((1, 0),), (298.5, 437.3)]), "#8a4f3d", 1.4, 0.55)
    # philtrum
    d.spot((mid, 458), 9, 17, SHADE, 0.12)
    d.stroke(curve([(280, 442), (275, 458), (270.5, 473)]), "#ffffff", 4, 0.1)
    d.stroke(curve([m((280, 442)), m((275, 458)), m((270.5, 473))]), "#ffffff", 4, 0.1)
    # folds from the nose wings
    d.stroke(curve([(236, 446), (224, 464), (214, 484)]), SHADE, 6, 0.06)
    d.stroke(curve([(337, 448), (349, 466), (359, 486)]), SHADE, 6, 0.06)


def front_mouth(d, P, mid):
    top_l = curve([P["P23"], (236, 489.5), (255, 478), (270, 473.8), P["P25"]])
    top_r = curve([P["P25"], (304.5, 473.8), (320, 478.5), (338, 490.5), P["P24"]])
    line = curve([P["P23"], (240, 499.8), (264, 501.6), (287.5, 503), (311, 502), (334, 501.4), P["P24"]])
    bottom = curve([P["P24"], (337, 511.5), (314, 521.3), P["P26"] + ((-1, 0),), (260, 521.3), (237, 511.8), P["P23"]])
    d.spot(P["P23"], 7, 6, SHADE, 0.3)
    d.spot(P["P24"], 7, 6, SHADE, 0.3)
    d.path(d_curve(top_l + top_r + reverse(line), close=True),
           fill=d.linear("lipup", (0, 473), (0, 503), [(0, "#a0534b"), (1, LIP_UPPER)]))
    d.path(d_curve(line + bottom, close=True),
           fill=d.linear("liplow", (0, 500), (0, 524), [(0, LIP_LOWER), (0.6, "#c27366"), (1, "#a85c52")]))
    d.spot((mid + 2, 511), 26, 5.5, "#ffffff", 0.35)
    d.spot((mid, 486), 14, 4, "#ffffff", 0.15)
    d.stroke(shifted(top_l + top_r, 0, -2), "#ffffff", 1.8, 0.28)
    d.stroke(top_l + top_r, "#94493f", 1.0, 0.55)
    d.stroke(bottom, "#94493f", 0.9, 0.35)
    d.stroke(line, LIP_LINE, 2.2, 0.85)


# ---------------------------------------------------------------- profile

def draw_profile(L):
    W, H = 663, 681
    S = {k: tuple(v) for k, v in L.items()}
    d = Doc(W, H)
    d.path("M0 0 H%d V%d H0 Z" % (W, H), fill=d.linear("bg", (0, 0), (0, H), [(0, BG_TOP), (1, BG_BOTTOM)]))
    d.spot((330, 330), 330, 330, "#ffffff", 0.55)

    # the front outline, top of the head to the neck; named knots split it later
    knots = [
        ("S1", S["S1"] + ((-1, 0),)), ("", (86.5, 184, (0, 1))), ("S2", S["S2"] + ("c",)), ("", (80.5, 238)),
        ("S3", S["S3"] + ((0, 1),)), ("", (73.5, 303)), ("S4", S["S4"] + ((0, 1),)), ("S7", S["S7"]),
        ("", (45, 388)), ("S8", S["S8"] + ((0, 1),)), ("", (40, 431)), ("", (62, 436)),
        ("S9", S["S9"] + (((1, 0.05), (-0.7, 1)),)), ("S17", S["S17"]), ("V", (68.6, 464.5)),
        ("S10", S["S10"] + ((0, 1),)), ("", (71.5, 487)), ("STO", (78.5, 494, "c")), ("", (74, 502.5)),
        ("S12", S["S12"] + ((0, 1),)), ("LB", (80, 520.5)), ("SUL", (99, 522)),
        ("S14", S["S14"] + ((-0.19, 1),)), ("", (89.5, 560, (-0.06, 1))),
        ("S15", S["S15"] + (((-0.15, 1), (1, 0.55)),)),
        ("", (150, 594)),
        ("S16", S["S16"] + ("c",)), ("NF", (221, 640)), ("END", (216, 681))]
    outline = curve([k[1] for k in knots])
    at = {name: i for i, (name, _) in enumerate(knots) if name}

    def part(a, b):
        return outline[at[a]:at[b]]

    def poly_tail(points):
        return " L" + " L".join("%s %s" % (num(p[0]), num(p[1])) for p in points) + " Z"

    N = (478, 490)
    temple = curve([S["S2"], (135, 196), (180, 198), (222, 207), (246, 221, "c"), (260, 250), (275, 290),
                    (287, 335), (294, 372, "c")])
    hairline = temple + curve([(296, 372), (316, 374, "c"), (319, 330), (327, 302), (350, 288), (385, 288), (412, 305),
                       (421, 345), (421, 392), (414, 430), (420, 462), (445, 484), N])
    nape = tufted([N, (515, 474), (548, 438), (566, 390), S["S6"]], 24, 3.5, (330, 360))
    crown = tufted([S["S6"], (558, 292), (520, 250), (450, 214), (360, 192), (260, 179), (170, 171.5), S["S1"]],
                   30, 2.5, (330, 360))
    back = curve(nape[:-1] + [S["S6"] + ((0, -1),)]) + curve([S["S6"] + ((0, -1),)] + crown[1:-1]
                                                             + [S["S1"] + ((-1, 0),)])
    neck_back = curve([(470, 470), (463, 530), (468, 595), (497, 648), (530, 681)])
    jaw = curve([S["S15"], (160, 566), (232, 533), S["S13"] + ("c",), (306, 470), (318, 447)])
    skin = d.radial("skin", (150, 380), 430, [(0, SKIN_LIGHT), (0.3, SKIN), (0.62, SKIN_MID), (1, SKIN_DARK)],
                    transform="translate(150 380) scale(1 0.9) translate(-150 -380)")

    # neck, behind the head; head and neck share one gradient so they join without a seam
    neck_d = (d_curve(outline[at["S15"]:] + line((216, 681), (530, 681)) + reverse(neck_back))
              + poly_tail([(440, 440), (372, 400), (320, 420), (270, 480), (200, 530), (110, 570)]))
    d.path(neck_d, fill=skin)
    d.shade(neck_d, (205, 556), 150, 62, SHADE, 0.5, -20)
    d.shade(neck_d, (300, 515), 55, 45, SHADE, 0.3)
    d.shade(neck_d, (468, 512), 26, 52, SHADE, 0.35)
    d.shade(neck_d, (330, 642), 170, 20, SHADE, 0.3)
    d.stroke(curve([(352, 468), (318, 540), (280, 600), (252, 650)]), SKIN_LINE, 6, 0.1)

    # head; its lower edge is the jaw, the rest runs under the ear and the hair
    head_d = (d_curve(part("S2", "S15") + jaw + curve([(318, 447), (336, 441), (372, 433), (410, 426), (440, 410)]))
              + poly_tail([(470, 380), (440, 300), (330, 235), (200, 192), (125, 190)]))
    d.path(head_d, fill=skin)

    # broad light and shade on the face
    d.shade(head_d, (96, 238), 22, 44, "#ffffff", 0.32)
    d.shade(head_d, (168, 372), 42, 15, "#ffffff", 0.3, 10)
    d.shade(head_d, (152, 446), 46, 32, "#e07c6a", 0.22)
    d.shade(head_d, (250, 420), 60, 80, SHADE, 0.1)
    d.shade(head_d, (212, 292), 40, 62, SHADE, 0.14)
    d.shade(head_d, (205, 478), 62, 34, SHADE, 0.12, -25)
    d.shade(head_d, (298, 405), 30, 70, SHADE, 0.12)
    d.shade(head_d, (126, 352), 22, 8, SHADE, 0.1)
    d.shade(head_d, (88, 557), 11, 15, "#ffffff", 0.3)
    d.shade(head_d, (93, 528), 6, 5, SHADE, 0.3)

    d.shade(head_d, (404, 372), 16, 80, SHADE, 0.3)
    d.shade(head_d, (368, 296), 40, 10, SHADE, 0.2)
    profile_ear(d)
    profile_eye(d, S)
    profile_nose(d, S, head_d)
    profile_mouth(d, S, part, head_d)

    d.stroke(jaw, SKIN_LINE, 1.6, 0.5)
    d.stroke(part("S2", "END"), SKIN_LINE, 1.6, 0.8)

    # shirt
    shirt = curve([(150, 681), (180, 664), (214, 653, "c"), (300, 647), (420, 636), (508, 624, "c"), (540, 642),
                   (600, 668), (640, 681)])
    d.path(d_curve(shirt) + " L640 681 L150 681 Z",
           fill=d.linear("shirt", (0, 620), (0, H), [(0, SHIRT_LIGHT), (1, SHIRT_DARK)]))
    collar = curve([(214, 653), (300, 647), (420, 636), (508, 624)])
    d.stroke(collar, SHIRT_DARK, 10)
    d.stroke(shifted(collar, 0, -4), "#ffffff", 1.6, 0.25)

    # hair
    d.stroke(shifted(temple, 3, 3), SHADE, 9, 0.12)
    hair = hairline + back + part("S1", "S2")
    hair_d = d_curve(hair, close=True)
    d.path(hair_d, fill=d.linear("hair", (0, 169), (0, 490), [(0, HAIR_LIGHT), (0.4, HAIR), (1, HAIR_DARK)]))
    hair_texture(d, hair, sample(hairline, 12),
                 sample(reverse(part("S1", "S2")) + reverse(back), 12), 120, True)
    d.shade(hair_d, (270, 196), 170, 20, "#ffffff", 0.22, 5)
    d.stroke(hairline, HAIR_DARK, 1.4, 0.7)
    return d


def profile_ear(d):
    ear = curve([(334, 318), (350, 304), (372, 300), (393, 311), (404, 340), (403, 378), (394, 414), (378, 441),
                 (360, 455), (345, 452), (338, 437), (338, 414), (342, 397), (334, 380), (331, 345)], closed=True)
    d.path(d_curve(ear, close=True), fill=d.linear("ear", (330, 0), (405, 0), [(0, SKIN_MID), (0.6, "#ecb899"), (1, "#e2a688")]))
    d.stroke(ear, SKIN_LINE, 1.4, 0.7)
    d.stroke(curve([(343, 318), (362, 310), (384, 317), (395, 342), (394, 378), (385, 410), (368, 437)]),
             SKIN_LINE, 2.2, 0.55)
    d.stroke(curve([(352, 334), (372, 331), (382, 350), (381, 385), (369, 412)]), SKIN_LINE, 1.8, 0.4)
    d.spot((360, 390), 13, 24, SHADE, 0.4)
    d.stroke(curve([(337, 384), (347, 392), (340, 404)]), SKIN_LINE, 1.8, 0.5)
    d.spot((355, 443), 8, 6, "#ffffff", 0.3)


def profile_eye(d, S):
    corner = S["S5"]
    upper = curve([(99.5, 320), (110, 315.5), (122, 320), corner])
    lower = curve([corner, (116, 339.5), (103, 340)])
    front = curve([(103, 340), (97.5, 331), (99.5, 320)])
    hole = sample(upper + lower + front, 16)[:-1]
    d.spot((115, 322), 26, 17, SHADE, 0.25)
    d.path(d_poly(hole), fill=d.linear("white", (0, 316), (0, 340), [(0, "#d9cbc2"), (0.5, "#f6f1ec"), (1, "#eee6e0")]))
    iris = clip(circle_poly((102, 329.5), 5.5, ry=11), hole)
    d.path(d_poly(iris), fill=IRIS_IN)
    d.path(d_poly(clip(circle_poly((100.5, 329.5), 2.2, ry=5), hole)), fill="#121518")
    lid = sample(upper, 16)
    d.path(d_poly(clip(lid + [add(p, (0, 5)) for p in reversed(lid)], hole)), fill="#5a3a2e", fill_opacity=0.3)
    d.el("circle", cx=100.0, cy=325.0, r=1.8, fill="#ffffff", fill_opacity=0.9)
    d.stroke(lower, "#9a6a56", 1.2, 0.6)
    d.path(d_poly(ribbon(sample(upper, 10), [(0, 3.4), (0.6, 3.0), (1, 1.4)])), fill=HAIR_DARK)
    rim = resample(sample(upper, 16), 20)
    for k, (dx, dy) in ((0, (-6, -5)), (3, (-5, -6)), (6, (-3, -7)), (9, (-1, -7))):
        base = rim[k]
        d.stroke(curve([base, add(base, (dx * 0.5, dy * 0.6)), add(base, (dx, dy))]), HAIR_DARK, 1.1, 0.8)
    d.stroke(curve([(101, 311), (116, 306.5), (132, 316)]), SKIN_LINE, 1.5, 0.5)
    # brow on the brow ridge
    brow(d, "brow", [(80, 289), (100, 282.5), (126, 283.5), (152, 292)], [(0, 11), (0.5, 10), (1, 3)])


def profile_nose(d, S, head_d):
    d.shade(head_d, (58, 362), 5, 26, "#ffffff", 0.35, 30)
    d.shade(head_d, (40, 410), 9, 9, "#ffffff", 0.4)
    wing = curve([(95, 401), (112, 404), (121, 418), (114, 432), (99, 437.5)])
    d.spot((108, 420), 14, 16, SHADE, 0.18)
    d.stroke(shifted(wing, 3, 0), SHADE, 7, 0.1)
    d.stroke(wing, "#9a5c45", 2.2, 0.6)
    d.open("g", transform="rotate(6 77 431)")
    d.el("ellipse", cx=77.0, cy=431.0, rx=9.0, ry=3.0, fill="#4e2820", fill_opacity=0.8)
    d.close("g")
    d.shade(head_d, (82, 446), 9, 7, SHADE, 0.25)
    d.stroke(curve([(118, 434), (119, 460), (110, 486)]), SKIN_LINE, 2.4, 0.18)


def profile_mouth(d, S, part, head_d):
    line = curve([(78.5, 494), (87, 497.3), S["S11"]])
    upper_border = curve([S["S11"], (87, 485), (77, 471), (68.6, 464.5)])
    lower_border = curve([(80, 520.5), (89, 514), S["S11"]])
    d.spot(S["S11"], 7, 6, SHADE, 0.3)
    d.path(d_curve(part("V", "STO") + line + upper_border, close=True),
           fill=d.linear("lipup", (0, 464), (0, 497), [(0, "#a0534b"), (1, LIP_UPPER)]))
    d.path(d_curve(part("STO", "LB") + lower_border + reverse(line), close=True),
           fill=d.linear("liplow", (0, 495), (0, 522), [(0, LIP_LOWER), (0.6, "#c27366"), (1, "#a85c52")]))
    d.shade(head_d, (77, 508), 5, 6, "#ffffff", 0.35)
    d.stroke(line, LIP_LINE, 2.0, 0.85)
    d.stroke(upper_border, "#94493f", 1.0, 0.45)


# ---------------------------------------------------------------- main

def main():
    data = json.loads(LANDMARKS.read_text(encoding="utf-8"))
    front = {m["landmark"]: m["picture_px"] for m in data["front"]["landmarks"]}
    side = {m["landmark"]: m["picture_px"] for m in data["side"]["landmarks"]}
    OUT_DIR.mkdir(parents=True, exist_ok=True)
    outputs = ((OUT_DIR / "front.svg", draw_front(front)), (OUT_DIR / "profile.svg", draw_profile(side)),
               (TEST_DIR / "front-bald.svg", draw_front(front, "bald")),
               (TEST_DIR / "front-hat.svg", draw_front(front, "hat")))
    for path, doc in outputs:
        path.write_text(doc.text(), encoding="utf-8")
        print("wrote", path.relative_to(ROOT))


if __name__ == "__main__":
    main()
