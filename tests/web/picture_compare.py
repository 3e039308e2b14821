"""Pictures of the Windows program and of the page, compared as a user would see them: the same outlines at the
same pixels, the same face colours within a few levels."""
import os
import subprocess
import sys

sys.path.insert(0, os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "e2e"))
from harness import parse_ppm  # noqa: E402


class Picture:
    def __init__(self, width, height, data):
        self.width, self.height, self.data = width, height, data

    @classmethod
    def read(cls, path):
        """Any image ImageMagick reads, as 8-bit RGB."""
        ppm = subprocess.run(["convert", path, "-depth", "8", "ppm:-"], capture_output=True, check=True,
                             timeout=60).stdout
        return cls(*parse_ppm(ppm))

    def pixel(self, x, y):
        i = (y * self.width + x) * 3
        return self.data[i], self.data[i + 1], self.data[i + 2]

    def save_png(self, path):
        subprocess.run(["convert", "-size", f"{self.width}x{self.height}", "-depth", "8", "rgb:-", path],
                       input=self.data, check=True, timeout=60)


def edges(picture, box, step=48):
    """Pixels of box that differ from a horizontal or vertical neighbour by more than step in some channel: the
    outlines of faces, lines and panels."""
    left, top, right, bottom = box
    found = set()
    for y in range(top, bottom):
        for x in range(left, right):
            p = picture.pixel(x, y)
            for nx, ny in ((x + 1, y), (x, y + 1)):
                if nx < right and ny < bottom:
                    q = picture.pixel(nx, ny)
                    if max(abs(p[i] - q[i]) for i in range(3)) > step:
                        found.add((x, y))
                        found.add((nx, ny))
    return found


def near(points, others, reach):
    """Share of points that have a point of others within reach pixels (either way along each axis)."""
    if not points:
        return 1.0
    hits = 0
    for x, y in points:
        if any((x + dx, y + dy) in others for dx in range(-reach, reach + 1) for dy in range(-reach, reach + 1)):
            hits += 1
    return hits / len(points)


def compare(a, b, box, tolerance=3, reach=1):
    """Outlines of a and b over box, each matched within reach pixels of the other's, and the colours of every
    pixel away from any outline (more than reach from an outline of either picture) within tolerance levels."""
    edges_a, edges_b = edges(a, box), edges(b, box)
    around = set()
    for x, y in edges_a | edges_b:
        for dx in range(-reach, reach + 1):
            for dy in range(-reach, reach + 1):
                around.add((x + dx, y + dy))
    left, top, right, bottom = box
    inside, within, worst = 0, 0, 0
    for y in range(top, bottom):
        for x in range(left, right):
            if (x, y) in around:
                continue
            inside += 1
            pa, pb = a.pixel(x, y), b.pixel(x, y)
            d = max(abs(pa[i] - pb[i]) for i in range(3))
            worst = max(worst, d)
            if d <= tolerance:
                within += 1
    return {
        "outline_a_in_b": near(edges_a, edges_b, reach),
        "outline_b_in_a": near(edges_b, edges_a, reach),
        "outline_pixels": (len(edges_a), len(edges_b)),
        "faces_within": within / max(1, inside),
        "face_pixels": inside,
        "worst_face_difference": worst,
    }


def exact(a, b, box):
    """Share of the pixels of box that are the same in both pictures."""
    left, top, right, bottom = box
    same = sum(1 for y in range(top, bottom) for x in range(left, right) if a.pixel(x, y) == b.pixel(x, y))
    return same / max(1, (right - left) * (bottom - top))
