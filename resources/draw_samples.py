#!/usr/bin/env python3
"""Builds the sample models, palettes and picture that ship in the program's `samples` folder.

    python3 resources/draw_samples.py OUTDIR

writes into OUTDIR (created when missing):

    house.bvo       a brick cottage with a tiled roof in its garden (textured and coloured cubes)
    tree.bvo        a broad oak with apples on a patch of meadow
    character.bvo   a little adventurer with a scarf and a backpack
    car.bvo         a red car on a piece of road
    town.bvo        a town block with a plaza, close to the 10,000-cube limit
    fuji.bmp        64 x 48 pixel art to open as a bitmap import
    pastel.bvp      a palette of soft colours
    earth.bvp       a palette of skin, wood, stone and plant tones

Each model is written exactly as the program writes it (coloured cubes first, then textured ones, lines
ended by carriage return and line feed), so opening a sample and saving it again gives the same bytes.
Textured cubes name the default atlas "tex.bmp" and take its cells by name from draw_artwork.py. Every
model is centred on the point the camera looks at when the program starts, so turning and zooming out
from the start view shows it whole. Only the standard library is used and all variation is seeded.
"""
import math
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))
import draw_artwork as art  # noqa: E402

MAX_CUBES = 10000
LOW, HIGH = 1, 198  # the cells the editor itself can reach
CENTRE = 100  # the start cube's cell; the camera looks at its middle


class Tex:
    """A cell of the default atlas, by the name draw_artwork.py gives it."""

    def __init__(self, name):
        index = art.ATLAS_INDEX[name]
        self.column, self.row = index % 8, index // 8


def noise(x, y, z, seed):
    return art.hash01(x * 73 + z * 151, y * 97 + z * 31, seed)


class Model:
    """Cubes by cell; a later put replaces an earlier one in place, so a model is built up in layers."""

    def __init__(self):
        self.cells = {}

    def put(self, x, y, z, material):
        self.cells[(x, y, z)] = material

    def remove(self, x, y, z):
        self.cells.pop((x, y, z), None)

    def box(self, x0, y0, z0, x1, y1, z1, material, hollow=False):
        """Fills the cells from (x0, y0, z0) to (x1, y1, z1), both corners included; hollow keeps the
        outer shell only. material is a colour, a Tex or a function of the cell giving either."""
        for x in range(min(x0, x1), max(x0, x1) + 1):
            for y in range(min(y0, y1), max(y0, y1) + 1):
                for z in range(min(z0, z1), max(z0, z1) + 1):
                    if hollow and min(x0, x1) < x < max(x0, x1) and min(y0, y1) < y < max(y0, y1) \
                            and min(z0, z1) < z < max(z0, z1):
                        continue
                    self.put(x, y, z, material(x, y, z) if callable(material) else material)

    def ball(self, cx, cy, cz, rx, ry, rz, material):
        for x in range(math.floor(cx - rx), math.ceil(cx + rx) + 1):
            for y in range(math.floor(cy - ry), math.ceil(cy + ry) + 1):
                for z in range(math.floor(cz - rz), math.ceil(cz + rz) + 1):
                    if ((x - cx) / rx) ** 2 + ((y - cy) / ry) ** 2 + ((z - cz) / rz) ** 2 <= 1.0:
                        self.put(x, y, z, material(x, y, z) if callable(material) else material)

    def hollow_out(self):
        """Drops every cube whose six neighbours are all cubes: nobody can see it, and it costs a slot."""
        inside = [c for c in self.cells if all(n in self.cells for n in neighbours(c))]
        for c in inside:
            del self.cells[c]

    def centred(self):
        """The same cubes moved so that the middle of their bounds is the start cube's cell."""
        xs, ys, zs = zip(*self.cells)
        dx, dy, dz = (CENTRE - (min(v) + max(v)) // 2 for v in (xs, ys, zs))
        moved = Model()
        for (x, y, z), m in self.cells.items():
            moved.put(x + dx, y + dy, z + dz, m)
        return moved

    def object_file(self):
        """The model as the program's writer writes it."""
        cells = self.centred().cells
        assert 0 < len(cells) <= MAX_CUBES, len(cells)
        for c in cells:
            assert all(LOW <= v <= HIGH for v in c), c
        coloured = [(c, m) for c, m in cells.items() if not isinstance(m, Tex)]
        textured = [(c, m) for c, m in cells.items() if isinstance(m, Tex)]
        lines = ["Blokkenveld", "%d %d" % (bool(coloured), bool(textured))]
        if coloured:
            lines.append(str(len(coloured)))
            lines += ["%d %d %d %x" % (x, y, z, 0xFF000000 | m) for (x, y, z), m in coloured]
        if textured:
            lines += ["tex.bmp", str(len(textured))]
            lines += ["%d %d %d %d %d" % (x, y, z, m.column, m.row) for (x, y, z), m in textured]
        return ("\r\n".join(lines) + "\r\n").encode("ascii")


def neighbours(cell):
    x, y, z = cell
    return ((x + 1, y, z), (x - 1, y, z), (x, y + 1, z), (x, y - 1, z), (x, y, z + 1), (x, y, z - 1))


def varied(colours, seed):
    """A material that picks one of several colours per cell, for foliage, stone and soil."""
    def pick(x, y, z):
        return colours[int(noise(x, y, z, seed) * len(colours)) % len(colours)]
    return pick


# --------------------------------------------------------------------------
# The models. The camera starts looking from the -x, +z side, from above: fronts face +z.

def house():
    m = Model()
    grass, flowers, gravel = Tex("grass top"), Tex("flower meadow"), Tex("gravel")
    # The garden, its path to the door and a low hedge with a gap for the path.
    m.box(-10, 0, -9, 10, 0, 11, lambda x, y, z: flowers if noise(x, 0, z, 3) < 0.08 else grass)
    m.box(-1, 0, 5, 1, 0, 11, gravel)
    hedge = Tex("leaves")
    for x in range(-10, 11):
        for z in (-9, 11):
            if z == -9 or abs(x) > 1:
                m.put(x, 1, z, hedge)
    for z in range(-9, 12):
        m.put(-10, 1, z, hedge)
        m.put(10, 1, z, hedge)
    # Walls on a stone course, with timber corners.
    m.box(-6, 1, -4, 6, 1, 4, Tex("stone bricks"), hollow=True)
    m.box(-6, 2, -4, 6, 5, 4, Tex("red bricks"), hollow=True)
    for x in (-6, 6):
        for z in (-4, 4):
            m.box(x, 2, z, x, 5, z, Tex("dark planks"))
    m.box(-6, 6, -4, 6, 6, 4, Tex("dark planks"), hollow=True)
    for y in range(1, 7):  # the inside stays empty: clear what the hollow boxes left there
        for x in range(-5, 6):
            for z in range(-3, 4):
                m.remove(x, y, z)
    # The door with a step, windows with flower boxes.
    m.box(0, 2, 4, 0, 4, 4, Tex("oak planks"))
    m.box(-1, 1, 5, 1, 1, 5, Tex("cobblestone"))
    glass = Tex("glass")
    for x in (-4, -3, 3, 4):
        m.box(x, 3, 4, x, 4, 4, glass)
        m.put(x, 2, 5, Tex("flower meadow"))
        m.box(x, 3, -4, x, 4, -4, glass)
    for z in (-2, -1, 1, 2):
        m.box(-6, 3, z, -6, 4, z, glass)
        m.box(6, 3, z, 6, 4, z, glass)
    # A gabled roof of tiles along x, overhanging, with boarded gable ends and a stone chimney.
    roof = Tex("red roof tiles")
    for k in range(6):
        y, edge = 7 + k, 5 - k
        for x in range(-7, 8):
            for z in (-edge, edge):
                m.put(x, y, z, roof)
        for x in (-6, 6):
            m.box(x, y, -edge + 1, x, y, edge - 1, Tex("birch planks"))
    m.put(-6, 9, 0, glass)  # a little attic window in the gable
    m.box(3, 8, -2, 4, 13, -2, Tex("stone bricks"))
    m.box(3, 14, -2, 4, 14, -2, Tex("black marble"))
    # A small apple tree and a lamp in the front garden.
    m.box(-7, 1, 8, -7, 3, 8, Tex("bark"))
    m.ball(-7, 5, 8, 2.3, 1.8, 2.3, varied([0x3E8E2F, 0x4FA23A, 0x2F7A26, 0x5DB044], 5))
    m.put(-6, 5, 10, 0xD8342C)
    m.put(-9, 5, 7, 0xD8342C)
    m.box(4, 1, 8, 4, 3, 8, 0x404448)
    m.put(4, 4, 8, 0xFFE27A)
    return m


def tree():
    m = Model()
    grass, meadow, moss = Tex("grass top"), Tex("flower meadow"), Tex("moss")
    for x in range(-9, 10):
        for z in range(-9, 10):
            d = math.hypot(x, z) + noise(x, 0, z, 11) * 1.5
            if d <= 9.5:
                n = noise(x, 1, z, 12)
                m.put(x, 0, z, meadow if n < 0.12 else moss if n > 0.9 else grass)
    bark = Tex("bark")
    m.box(-1, 1, -1, 0, 12, 0, bark)
    for x, z in ((-2, 0), (1, -1), (0, 1), (-1, -2), (1, 1), (-2, -1)):  # roots
        m.put(x, 1, z, bark)
    for (x, z), direction in (((-1, -1), (-1, 0, 1)), ((0, 0), (1, 0, -1)), ((0, -1), (0, 0, -1)),
                              ((-1, 0), (-1, 0, 1))):
        for i in range(1, 5):  # branches climbing out of the trunk
            m.put(x + direction[0] * i, 10 + i, z + direction[2] * i, bark)
    leaves = [0x3B8C2A, 0x4A9E33, 0x2E7424, 0x56AE3C, 0x347F27, 0x63B845]
    for cx, cy, cz, r in ((0, 18, 0, 5.2), (-4, 16, 3, 3.8), (4, 16, -3, 3.8), (-3, 17, -3, 3.6),
                          (3, 17, 3, 3.6), (0, 21, 0, 3.4), (-5, 15, -1, 2.8), (5, 15, 1, 2.8)):
        m.ball(cx - 0.5, cy, cz - 0.5, r, r * 0.8, r, varied(leaves, 21))
    m.box(-1, 1, -1, 0, 12, 0, bark)
    m.hollow_out()
    # Apples on the outside of the crown: a cube of leaves facing the air becomes red.
    for c in list(m.cells):
        if c[1] > 12 and m.cells[c] in leaves and noise(*c, 31) < 0.025:
            if any(n not in m.cells for n in neighbours(c)):
                m.put(*c, 0xD23A2E)
    return m


def character():
    m = Model()
    skin, skin_shade, hair, hair_dark = 0xF6C9A4, 0xE8B08A, 0x7A4A26, 0x5C361B
    shirt, shirt_dark, trousers, boots = 0x3C78C8, 0x2C5CA0, 0x3A3F58, 0x6B3E1E
    scarf, gold, white, black = 0xD9342B, 0xF0C030, 0xFFFFFF, 0x1E1E28
    # Legs and boots (y 0 to 5), the right leg at x -2..-1, the left at 1..2.
    for x0 in (-3, 1):
        m.box(x0, 0, -1, x0 + 1, 1, 1, boots)
        m.put(x0, 0, 2, boots)
        m.put(x0 + 1, 0, 2, boots)
        m.box(x0, 2, -1, x0 + 1, 5, 1, trousers)
    m.box(-1, 4, -1, 0, 5, 1, trousers)
    # Body with a belt, arms with hands.
    m.box(-3, 6, -1, 2, 11, 1, shirt)
    m.box(-3, 6, -1, 2, 6, 1, 0x5A3A1E)
    m.put(-1, 6, 1, gold)
    m.put(0, 6, 1, gold)
    m.box(-1, 8, 1, 0, 11, 1, shirt_dark)  # the shirt's opening
    for x in (-5, -4, 3, 4):
        m.box(x, 7, -1, x, 11, 0, shirt)
    for x in (-5, -4, 3, 4):
        m.box(x, 6, -1, x, 6, 0, skin)
    # Backpack on the back (-z).
    m.box(-2, 7, -3, 1, 11, -2, 0x8A5A2C)
    m.box(-2, 9, -3, 1, 9, -3, 0x6A4220)
    # The scarf, its end hanging down the back.
    m.box(-3, 12, -2, 2, 12, 2, scarf)
    m.box(-3, 8, 2, -2, 11, 2, scarf)
    m.box(-3, 8, 2, -2, 8, 2, 0xB82820)
    # Head: eight cubes wide, a face on +z.
    m.box(-4, 13, -3, 3, 20, 4, skin)
    m.box(-4, 13, -3, 3, 13, 4, skin_shade)
    for x, y in ((-3, 16), (-2, 16), (1, 16), (2, 16), (-3, 17), (-2, 17), (1, 17), (2, 17)):
        m.put(x, y, 4, black)
    m.put(-2, 17, 4, white)
    m.put(2, 17, 4, white)
    for x in (-4, 3):
        m.put(x, 15, 4, 0xF2A0A0)
    m.box(-1, 14, 4, 0, 14, 4, 0xC0605A)
    # Hair over the top, back and sides, with a fringe and a tuft.
    m.box(-4, 21, -3, 3, 21, 4, hair)
    m.box(-3, 22, -2, 2, 22, 3, hair)
    m.box(-4, 14, -4, 3, 20, -4, hair)
    for x in (-5, 4):
        m.box(x, 17, -3, x, 20, 3, hair)
        m.box(x, 14, -3, x, 16, -1, hair)
    for x in range(-4, 4):
        m.put(x, 20, 5, hair if (x + 4) % 3 else hair_dark)
        if x in (-4, -1, 2):
            m.put(x, 19, 5, hair)
    m.box(-1, 23, 0, 0, 23, 1, hair_dark)
    m.put(0, 24, 1, hair_dark)
    m.hollow_out()
    return m


def car():
    m = Model()
    road, line = 0x3C3F46, 0xF2F2F2
    m.box(-11, 0, -7, 11, 0, 7, lambda x, y, z: line if z == 0 and x % 4 < 2 else road)
    for z in (-7, 7):
        m.box(-11, 0, z, 11, 0, z, 0x9A9A9A)
    red, dark_red, chrome = 0xD42A2A, 0xA81C1C, Tex("steel plate")
    # Body, low over the wheels, with a white stripe along each side.
    m.box(-8, 2, -3, 8, 4, 3, red)
    m.box(-8, 2, -3, 8, 2, 3, dark_red)
    for z in (-3, 3):
        m.box(-7, 3, z, 7, 3, z, 0xF4F4F4)
    # The cabin: windows all round and a red roof.
    glass = Tex("blue glass")
    m.box(-3, 5, -3, 4, 6, 3, glass, hollow=True)
    for x in (-3, 4):
        for z in (-3, 3):
            m.box(x, 5, z, x, 6, z, red)  # the pillars
    m.box(0, 5, -3, 0, 6, -3, red)
    m.box(0, 5, 3, 0, 6, 3, red)
    m.box(-2, 7, -3, 4, 7, 3, red)
    m.box(-2, 5, -2, 3, 5, 2, 0x303238)  # seats seen through the windows
    # Wheels with hubs, headlights at the front (-x), lights at the back, bumpers and a grille.
    for x in (-5, 5):
        for z in (-4, 4):
            m.box(x - 1, 1, z, x + 1, 3, z, 0x1C1C1E)
            m.put(x, 2, z, 0xB8B8C0)
    for z in (-2, 2):
        m.put(-9, 3, z, 0xFFF2A0)
        m.put(9, 3, z, 0xFF3020)
    m.box(-9, 2, -3, -9, 2, 3, chrome)
    m.box(9, 2, -3, 9, 2, 3, chrome)
    m.box(-9, 3, -1, -9, 3, 1, 0x2A2A2A)
    m.hollow_out()
    return m


def town():
    m = Model()
    road, line, curb = 0x3A3C43, 0xEDEDED, 0xA8A8A8
    size = 27  # the block runs from -size to size
    # Roads around the block with dashed centre lines, pavements, and the inner ground.
    def ground(x, y, z):
        edge = max(abs(x), abs(z))
        if edge > size - 5:
            along_x = abs(z) > size - 5 and abs(x) <= size - 5 or abs(z) >= abs(x)
            centre = abs(z) == size - 2 if along_x else abs(x) == size - 2
            dash = (x if along_x else z) % 4 < 2
            return line if centre and dash and min(abs(x), abs(z)) < size - 5 else road
        if edge == size - 5:
            return curb
        return Tex("floor tiles") if edge > size - 8 else Tex("concrete")
    m.box(-size, 0, -size, size, 0, size, ground)

    def tower(x0, z0, w, d, h, wall, window, roof, every=2):
        m.box(x0, 1, z0, x0 + w - 1, h, z0 + d - 1, wall, hollow=True)
        for y in range(2, h, 2):
            for x in range(x0 + 1, x0 + w - 1):
                if (x - x0) % every:
                    m.put(x, y, z0, window)
                    m.put(x, y, z0 + d - 1, window)
            for z in range(z0 + 1, z0 + d - 1):
                if (z - z0) % every:
                    m.put(x0, y, z, window)
                    m.put(x0 + w - 1, y, z, window)
        m.box(x0, h, z0, x0 + w - 1, h, z0 + d - 1, roof)

    def clear_inside(x0, z0, w, d, h):
        for x in range(x0 + 1, x0 + w - 1):
            for y in range(1, h):
                for z in range(z0 + 1, z0 + d - 1):
                    m.remove(x, y, z)

    glass, blue_glass = Tex("glass"), Tex("blue glass")
    # Back row (-z): an office tower, a brick apartment block, a sandstone hall, a marble tower.
    for x0, w, d, h, wall, window, roof in ((-19, 10, 10, 40, Tex("concrete"), blue_glass, Tex("steel plate")),
                                            (-8, 9, 8, 32, Tex("red bricks"), glass, Tex("slate roof")),
                                            (2, 9, 8, 20, Tex("sandstone"), glass, Tex("white marble")),
                                            (12, 8, 9, 34, Tex("white marble"), blue_glass, Tex("black marble"))):
        tower(x0, -19, w, d, h, wall, window, roof)
        clear_inside(x0, -19, w, d, h)
    m.box(-16, 41, -16, -13, 42, -13, Tex("riveted plate"))  # plant room and mast on the office tower
    m.box(-14, 43, -14, -14, 46, -14, 0x606468)
    m.put(-14, 47, -14, 0xFF3020)
    m.box(14, 35, -17, 15, 36, -16, Tex("copper"))
    # Left row (-x): shops with their windows and awnings towards the street.
    for i, (cloth, wall) in enumerate(((Tex("red cloth"), Tex("brown bricks")),
                                       (Tex("yellow cloth"), Tex("sand bricks")),
                                       (Tex("green cloth"), Tex("stone bricks")),
                                       (Tex("blue cloth"), Tex("red bricks")))):
        z0 = -7 + i * 6
        tower(-19, z0, 7, 6, 8 + 2 * (i % 2), wall, glass, Tex("dark planks"))
        clear_inside(-19, z0, 7, 6, 8 + 2 * (i % 2))
        m.box(-19, 2, z0 + 1, -19, 3, z0 + 4, glass)
        m.box(-20, 4, z0 + 1, -20, 4, z0 + 4, cloth)
    # Houses on the right (+x) with red roofs.
    for i in range(3):
        z0 = -7 + i * 8
        m.box(13, 1, z0, 19, 5, z0 + 4, Tex("birch planks"), hollow=True)
        clear_inside(13, z0, 7, 5, 6)
        m.box(16, 2, z0 + 4, 16, 3, z0 + 4, Tex("oak planks"))
        for x in (14, 18):
            m.put(x, 3, z0 + 4, glass)
            m.put(x, 3, z0, glass)
        for k in range(4):
            m.box(12 + k, 6 + k, z0 - 1, 12 + k, 6 + k, z0 + 5, Tex("red roof tiles"))
            m.box(20 - k, 6 + k, z0 - 1, 20 - k, 6 + k, z0 + 5, Tex("red roof tiles"))
            if k < 3:
                for z in (z0, z0 + 4):
                    m.box(13 + k, 6 + k, z, 19 - k, 6 + k, z, Tex("birch planks"))
        m.box(16, 9, z0 - 1, 16, 9, z0 + 5, Tex("red roof tiles"))
    # The plaza in the middle: a fountain, benches, trees and lamps, with the park towards the front.
    m.box(-4, 1, -4, 4, 1, 4, Tex("white marble"), hollow=True)
    m.box(-3, 1, -3, 3, 1, 3, Tex("water"))
    m.box(-1, 2, -1, 1, 2, 1, Tex("white marble"))
    m.box(0, 3, 0, 0, 4, 0, Tex("white marble"))
    m.put(0, 5, 0, Tex("water"))
    for x, z in ((-8, 7), (8, 7), (-8, -8), (8, -8)):
        m.box(x, 1, z, x, 3, z, Tex("bark"))
        m.ball(x, 5, z, 2.2, 2.0, 2.2, varied([0x3E8E2F, 0x4FA23A, 0x2F7A26, 0x5DB044], 7))
    for x in (-6, 6):
        m.box(x, 1, -1, x, 1, 1, Tex("oak planks"))
    m.box(-11, 0, 11, 10, 0, 19, lambda x, y, z: Tex("flower meadow") if noise(x, 0, z, 9) < 0.1
          else Tex("grass top"))
    m.box(-11, 1, 19, 10, 1, 19, Tex("leaves"))
    for x, z in ((-8, 14), (-3, 17), (3, 14), (8, 16)):
        m.box(x, 1, z, x, 2, z, Tex("bark"))
        m.ball(x, 4, z, 1.8, 1.6, 1.8, varied([0x3B8C2A, 0x4A9E33, 0x2E7424, 0xE07AA0], 13))
    for x, z in ((-11, -9), (10, -9), (-11, 9), (10, 9)):
        m.box(x, 1, z, x, 4, z, 0x3A3D42)
        m.put(x, 5, z, 0xFFE48A)
    # Trees along the pavements.
    for i in range(-15, 16, 6):
        for x, z in ((i, 21), (-21, i), (21, i)):
            m.box(x, 1, z, x, 2, z, Tex("bark"))
            m.ball(x, 4, z, 1.5, 1.4, 1.5, varied([0x3E8E2F, 0x4FA23A, 0x2F7A26, 0x5DB044], 17))
    # Cars on the road.
    for x, z, colour in ((-15, 24, 0xD42A2A), (6, 24, 0x2A62D4), (20, -25, 0xF0C030), (-24, 2, 0x2AA860),
                         (24, -6, 0xF4F4F4)):
        along_x = abs(z) > abs(x)
        w, d = (4, 1) if along_x else (1, 4)
        m.box(x - w, 1, z - d, x + w, 2, z + d, colour)
        m.box(x - w // 2, 3, z - d // 2 * 1, x + w // 2, 3, z + d // 2, Tex("blue glass"))
    m.hollow_out()
    assert 9500 <= len(m.cells) <= 9900, len(m.cells)
    return m


# --------------------------------------------------------------------------
# The picture to import and the palettes

def fuji():
    """Mount Fuji at dawn, 64 x 48: every pixel becomes a cube when the picture is opened."""
    w, h = 64, 48
    img = art.Image(w, h, (0, 0, 0))
    for y in range(h):
        for x in range(w):
            t = y / (h - 1)
            sky = art.mix((86, 146, 222), (250, 196, 160), max(0.0, (t - 0.2) / 0.5))
            img.put(x, y, sky)
    for y in range(6, 15):  # the sun
        for x in range(46, 56):
            if (x - 50.5) ** 2 + (y - 10) ** 2 <= 16:
                img.put(x, y, (232, 52, 40))
    peak_x, peak_y, base_y = 28, 12, 40
    for y in range(peak_y, h):
        half = 3 + (y - peak_y) * 1.15
        for x in range(w):
            if abs(x + 0.5 - peak_x) <= half:
                snow = y < peak_y + 9 + 2 * math.sin(x * 1.3)
                c = (248, 250, 255) if snow else art.mix((70, 92, 150), (44, 60, 110), (y - peak_y) / (h - peak_y))
                if not snow and art.hash01(x, y, 3) < 0.08:
                    c = art.lighten(c, 0.15)
                img.put(x, y, c)
    for y in range(base_y, h):  # a band of trees and a lake
        for x in range(w):
            if y < base_y + 3 and art.hash01(x, 0, 5) < 0.5 + (y - base_y) * 0.25:
                img.put(x, y, (38, 96, 52) if (x + y) % 3 else (52, 120, 64))
            elif y >= base_y + 3:
                img.put(x, y, (64, 120, 190) if (x * 7 + y) % 9 else (150, 190, 230))
    return img


def palette_text(colours):
    assert len(colours) == 64
    lines = ["BlokkenveldPalette"]
    for row in range(8):
        lines.append(" ".join("%x" % (0xFF000000 | art.rgb(*c)[0] << 16 | art.rgb(*c)[1] << 8 | art.rgb(*c)[2])
                              for c in colours[row * 8:row * 8 + 8]))
    return ("\r\n".join(lines) + "\r\n").encode("ascii")


def pastel():
    colours = [art.hsl(0, 0, 0.97 - 0.1 * i) for i in range(8)]
    for hue in (350, 20, 48, 95, 150, 195, 235):
        colours += [art.hsl(hue + 6 * i, 0.55 + 0.04 * (i % 3), 0.90 - 0.045 * i) for i in range(8)]
    return colours


def earth():
    rows = [
        [(255, 231, 209), (246, 210, 180), (234, 186, 150), (214, 160, 120), (190, 132, 94), (158, 104, 70),
         (120, 76, 50), (86, 54, 36)],  # skin
        [(246, 222, 170), (222, 190, 130), (196, 152, 96), (166, 120, 70), (138, 94, 52), (110, 72, 40),
         (84, 54, 30), (58, 38, 22)],  # wood
        [(236, 234, 228), (206, 202, 194), (176, 172, 164), (146, 142, 136), (118, 116, 112), (92, 90, 88),
         (66, 66, 66), (40, 40, 42)],  # stone
        [(214, 236, 160), (174, 212, 110), (128, 184, 72), (92, 156, 56), (66, 128, 46), (48, 102, 40),
         (34, 78, 34), (24, 56, 28)],  # leaves
        [(240, 224, 168), (226, 200, 128), (206, 170, 92), (182, 138, 66), (224, 150, 96), (200, 110, 70),
         (166, 78, 52), (120, 56, 40)],  # sand and clay
        [(200, 228, 244), (150, 200, 232), (100, 166, 214), (64, 130, 190), (42, 100, 160), (32, 74, 126),
         (24, 52, 92), (16, 34, 60)],  # water and sky
        [(252, 220, 120), (246, 186, 60), (236, 140, 40), (214, 92, 36), (186, 52, 36), (150, 34, 40),
         (112, 28, 46), (70, 24, 40)],  # fire and autumn
        [(236, 214, 236), (206, 170, 214), (170, 130, 190), (132, 96, 160), (216, 120, 140), (180, 80, 110),
         (250, 250, 250), (20, 20, 24)],  # flowers, white and black
    ]
    return [c for row in rows for c in row]


def main(argv):
    if len(argv) != 2:
        sys.stderr.write("usage: draw_samples.py OUTDIR\n")
        return 2
    out = argv[1]
    os.makedirs(out, exist_ok=True)
    files = {name + ".bvo": build().object_file()
             for name, build in (("house", house), ("tree", tree), ("character", character), ("car", car),
                                 ("town", town))}
    files["fuji.bmp"] = art.bmp24_bytes(fuji())
    files["pastel.bvp"] = palette_text(pastel())
    files["earth.bvp"] = palette_text(earth())
    for name, data in files.items():
        with open(os.path.join(out, name), "wb") as f:
            f.write(data)
    return 0


if __name__ == "__main__":
    sys.exit(main(sys.argv))
