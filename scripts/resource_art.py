"""The icon and the badge of Fendrix.exe, drawn from code into pixel rows.

scripts/make_resources.py turns them into the bytes the program carries.
Nothing here depends on time, locale or the machine.
"""

# --- Drawing ------------------------------------------------------------------

# Samples per pixel along each axis: edges that cut a pixel get one of 37
# coverage levels, which is plenty for 16 to 48 pixels.
SUPERSAMPLE = 6


class Canvas:
    """Straight (not premultiplied) RGBA in floats, row 0 at the top, starting
    fully transparent.
    """

    def __init__(self, width, height):
        self.width = width
        self.height = height
        self.pixels = [[(0.0, 0.0, 0.0, 0.0)] * width for _ in range(height)]

    def fill(self, inside, box, colour, opacity=1.0):
        """Paints colour over every sample for which inside(x, y) holds.

        box = (x0, y0, x1, y1) in pixels bounds the shape, so only the pixels
        it touches are sampled.
        """
        x0, y0, x1, y1 = box
        px0, py0 = max(0, int(x0)), max(0, int(y0))
        px1, py1 = min(self.width, int(x1) + 1), min(self.height, int(y1) + 1)
        step = 1.0 / SUPERSAMPLE
        offsets = [(i + 0.5) * step for i in range(SUPERSAMPLE)]
        for py in range(py0, py1):
            for px in range(px0, px1):
                hits = sum(1 for oy in offsets for ox in offsets if inside(px + ox, py + oy))
                if hits:
                    self._over(px, py, colour, opacity * hits / SUPERSAMPLE**2)

    def _over(self, x, y, colour, alpha):
        r, g, b = colour
        dr, dg, db, da = self.pixels[y][x]
        da /= 255.0
        out_a = alpha + da * (1.0 - alpha)
        if out_a <= 0.0:
            return
        keep = da * (1.0 - alpha)
        self.pixels[y][x] = (
            (r * alpha + dr * keep) / out_a,
            (g * alpha + dg * keep) / out_a,
            (b * alpha + db * keep) / out_a,
            out_a * 255.0,
        )

    def rgba_rows(self):
        """Rows of (r, g, b, a) bytes, rounded half up."""
        return [[tuple(min(255, int(v + 0.5)) for v in p) for p in row] for row in self.pixels]


def rect(x0, y0, x1, y1):
    return (lambda x, y: x0 <= x < x1 and y0 <= y < y1), (x0, y0, x1, y1)


def rounded_top_rect(x0, y0, x1, y1, radius):
    """A rectangle whose two upper corners are rounded, like a window's."""

    def inside(x, y):
        if not (x0 <= x < x1 and y0 <= y < y1):
            return False
        if y >= y0 + radius:
            return True
        cx = min(max(x, x0 + radius), x1 - radius)
        cy = y0 + radius
        return (x - cx) ** 2 + (y - cy) ** 2 <= radius * radius

    return inside, (x0, y0, x1, y1)


def polygon(points):
    """Even-odd fill of a simple polygon given as (x, y) corners."""
    xs = [p[0] for p in points]
    ys = [p[1] for p in points]
    edges = list(zip(points, points[1:] + points[:1]))

    def inside(x, y):
        crossings = False
        for (ax, ay), (bx, by) in edges:
            if (ay > y) != (by > y) and x < ax + (y - ay) * (bx - ax) / (by - ay):
                crossings = not crossings
        return crossings

    return inside, (min(xs), min(ys), max(xs), max(ys))


def arrow(start, tip, shaft_half, head_half, head_length):
    """A straight arrow from start to tip: a shaft, then a triangular head."""
    dx, dy = tip[0] - start[0], tip[1] - start[1]
    length = (dx * dx + dy * dy) ** 0.5
    ux, uy = dx / length, dy / length
    nx, ny = -uy, ux
    bx, by = tip[0] - ux * head_length, tip[1] - uy * head_length

    def at(px, py, side):
        return (px + nx * side, py + ny * side)

    return polygon([
        at(start[0], start[1], shaft_half),
        at(bx, by, shaft_half),
        at(bx, by, head_half),
        tip,
        at(bx, by, -head_half),
        at(bx, by, -shaft_half),
        at(start[0], start[1], -shaft_half),
    ])


# --- Icon ---------------------------------------------------------------------

ICON_SIZES = (16, 24, 32, 48)

FRAME = (44, 56, 76)
TITLE_BAR = (46, 112, 204)
TITLE_BUTTON = (214, 228, 246)
CLIENT = (248, 250, 253)
ARROW = (52, 178, 74)
ARROW_EDGE = (22, 104, 40)
SHADOW = (0, 0, 0)


def draw_icon(size):
    """A window (border, title bar, client area) with four green arrows that
    run from the middle of its client area out to the four corners: a window
    being resized in every direction.
    """
    canvas = Canvas(size, size)
    margin = size // 24
    shadow = size // 32
    left, top = margin, margin
    right, bottom = size - margin - shadow, size - margin - shadow
    border = 1 if size < 48 else 2
    radius = size / 16.0

    if shadow:
        canvas.fill(*rounded_top_rect(left + shadow, top + shadow, right + shadow, bottom + shadow,
                                      radius), SHADOW, 0.3)
    canvas.fill(*rounded_top_rect(left, top, right, bottom, radius), FRAME)

    title_height = max(3, round(size * 0.19))
    title_bottom = top + border + title_height
    canvas.fill(*rounded_top_rect(left + border, top + border, right - border, title_bottom,
                                  max(0.0, radius - border)), TITLE_BAR)
    if size >= 32:
        button = title_height - 2 * (size // 16)
        gap = size // 16
        x = right - border - gap - button
        for _ in range(2):
            canvas.fill(*rect(x, top + border + gap, x + button, top + border + gap + button),
                        TITLE_BUTTON)
            x -= button + gap

    client = (left + border, title_bottom, right - border, bottom - border)
    canvas.fill(*rect(*client), CLIENT)

    cx, cy = (client[0] + client[2]) / 2.0, (client[1] + client[3]) / 2.0
    # The arrows start a little off the middle so they read as four, not as a cross.
    inset, hub = size * 0.06, size * 0.06
    corners = [(client[0] + inset, client[1] + inset), (client[2] - inset, client[1] + inset),
               (client[0] + inset, client[3] - inset), (client[2] - inset, client[3] - inset)]
    # Floors keep the 16 pixel arrows from fading into grey smudges.
    shaft, head, head_length = max(0.8, size * 0.035), max(2.0, size * 0.1), max(3.0, size * 0.17)
    edge = size * 0.025 if size >= 24 else 0.0

    def arrow_to(corner, grow):
        dx, dy = corner[0] - cx, corner[1] - cy
        length = (dx * dx + dy * dy) ** 0.5
        ux, uy = dx / length, dy / length
        start = (cx + ux * (hub - grow), cy + uy * (hub - grow))
        tip = (corner[0] + ux * grow * 1.8, corner[1] + uy * grow * 1.8)
        return arrow(start, tip, shaft + grow, head + grow * 1.6, head_length + grow)

    # All edges first, then all fills, so where the arrows meet in the middle
    # no edge cuts across a neighbour.
    if edge:
        for corner in corners:
            canvas.fill(*arrow_to(corner, edge), ARROW_EDGE)
    for corner in corners:
        canvas.fill(*arrow_to(corner, 0.0), ARROW)
    return canvas.rgba_rows()


# --- Badge --------------------------------------------------------------------

BADGE_WIDTH, BADGE_HEIGHT = 103, 27
BADGE_SCALE = 3
BADGE_RED = (220, 38, 38)

# Glyphs seven rows high; each row lists its lit columns as '#'.
FONT = {
    "A": [".###.", "#...#", "#...#", "#####", "#...#", "#...#", "#...#"],
    "d": ["....#", "....#", ".####", "#...#", "#...#", "#...#", ".####"],
    "m": [".....", ".....", "####.", "#.#.#", "#.#.#", "#.#.#", "#.#.#"],
    "i": ["#", ".", "#", "#", "#", "#", "#"],
    "n": ["....", "....", "###.", "#..#", "#..#", "#..#", "#..#"],
}


def text_width(text, scale):
    return (sum(len(FONT[c][0]) for c in text) + len(text) - 1) * scale


def draw_badge():
    """White "Admin" on black with a small red square before it, as RGB bytes."""
    pixels = [[(0, 0, 0)] * BADGE_WIDTH for _ in range(BADGE_HEIGHT)]
    marker, marker_gap = 7, 6
    text = "Admin"
    glyph_height = len(FONT["A"]) * BADGE_SCALE
    left = (BADGE_WIDTH - marker - marker_gap - text_width(text, BADGE_SCALE)) // 2
    top = (BADGE_HEIGHT - glyph_height) // 2

    marker_top = top + (glyph_height - marker) // 2
    for y in range(marker):
        for x in range(marker):
            corner = (x in (0, marker - 1)) and (y in (0, marker - 1))
            if not corner:
                pixels[marker_top + y][left + x] = BADGE_RED

    x = left + marker + marker_gap
    for char in text:
        glyph = FONT[char]
        for gy, line in enumerate(glyph):
            for gx, cell in enumerate(line):
                if cell != "#":
                    continue
                for sy in range(BADGE_SCALE):
                    for sx in range(BADGE_SCALE):
                        pixels[top + gy * BADGE_SCALE + sy][x + gx * BADGE_SCALE + sx] = (
                            255, 255, 255)
        x += (len(glyph[0]) + 1) * BADGE_SCALE
    return b"".join(bytes(p) for row in pixels for p in row)
