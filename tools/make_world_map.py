#!/usr/bin/env python3
"""Draws the world map picture (resources/worldmap.png, 540 x 341 pixels, 16 colours) from the
Natural Earth land polygons of the npm package world-atlas (land-110m.json, public domain).

    npm install world-atlas@2 && tools/make_world_map.py node_modules/world-atlas/land-110m.json

The whole world lies linearly in longitude and latitude in x 20..519, y 45..294: column x holds
longitudes from (x - 20) * 360 / 499 - 180 on, row y latitudes from 90 - (y - 45) * 180 / 249 down,
as the viewer projects stations. The data stop at 85.6 S; the band below is land (Antarctica).
"""
import json
import struct
import sys
import zlib

WIDTH, HEIGHT = 540, 341
LEFT, TOP, RIGHT, BOTTOM = 20, 45, 520, 295  # right and bottom exclusive

PALETTE = [
    (255, 255, 255),  # 0 margin
    (186, 214, 236),  # 1 sea
    (236, 228, 196),  # 2 land
    (112, 128, 96),   # 3 coastline
    (150, 178, 204),  # 4 graticule over sea
    (206, 196, 160),  # 5 graticule over land
    (0, 0, 0),        # 6 frame and labels
    (96, 96, 96),     # 7 label grey
] + [(0, 0, 0)] * 8
MARGIN, SEA, LAND, COAST, GRID_SEA, GRID_LAND, INK, GREY = range(8)

# 3 x 5 pixel glyphs for the degree labels.
GLYPHS = {
    "0": ["111", "101", "101", "101", "111"], "1": ["010", "110", "010", "010", "111"],
    "2": ["111", "001", "111", "100", "111"], "3": ["111", "001", "011", "001", "111"],
    "4": ["101", "101", "111", "001", "001"], "5": ["111", "100", "111", "001", "111"],
    "6": ["111", "100", "111", "101", "111"], "7": ["111", "001", "010", "010", "010"],
    "8": ["111", "101", "111", "101", "111"], "9": ["111", "101", "111", "001", "111"],
    "N": ["101", "111", "111", "111", "101"], "S": ["111", "100", "111", "001", "111"],
    "E": ["111", "100", "110", "100", "111"], "W": ["101", "101", "111", "111", "101"],
}


def map_x(lon):
    return LEFT + (lon + 180.0) * 499.0 / 360.0


def map_y(lat):
    return TOP + (90.0 - lat) * 249.0 / 180.0


def decode_arcs(topology):
    sx, sy = topology["transform"]["scale"]
    tx, ty = topology["transform"]["translate"]
    arcs = []
    for arc in topology["arcs"]:
        x = y = 0
        points = []
        for dx, dy in arc:  # quantised and delta-encoded: keep running sums
            x += dx
            y += dy
            points.append((x * sx + tx, y * sy + ty))
        arcs.append(points)
    return arcs


def ring_points(ring, arcs):
    points = []
    for index in ring:
        arc = arcs[index] if index >= 0 else list(reversed(arcs[~index]))
        points.extend(arc if not points else arc[1:])
    return points


def unwrap(points):
    """Makes longitudes continuous across the antimeridian; a ring around a pole is closed
    along that pole."""
    out = [points[0]]
    for lon, lat in points[1:]:
        prev = out[-1][0]
        while lon - prev > 180:
            lon -= 360
        while lon - prev < -180:
            lon += 360
        out.append((lon, lat))
    drift = out[-1][0] - out[0][0]
    if abs(drift) > 180:
        pole = -90.0 if sum(lat for _, lat in out) < 0 else 90.0
        out += [(out[-1][0], pole), (out[0][0], pole)]
    return out


def rings_of(topology, arcs):
    # Each ring is drawn three times, shifted by a turn each way, so that the parts beyond the
    # antimeridian appear at the other edge of the map.
    rings = []
    for geometry in topology["objects"]["land"]["geometries"]:
        polygons = geometry["arcs"] if geometry["type"] == "MultiPolygon" else [geometry["arcs"]]
        for polygon in polygons:
            for ring in polygon:
                points = unwrap(ring_points(ring, arcs))
                for shift in (-360.0, 0.0, 360.0):
                    rings.append([(map_x(lon + shift), map_y(lat)) for lon, lat in points])
    return rings


def fill(rings, image):
    # Even-odd scanline fill at pixel centres.
    edges = []
    for ring in rings:
        for (x1, y1), (x2, y2) in zip(ring, ring[1:] + ring[:1]):
            if y1 != y2:
                edges.append((x1, y1, x2, y2))
    for row in range(TOP, BOTTOM):
        yc = row + 0.5
        crossings = []
        for x1, y1, x2, y2 in edges:
            if (y1 <= yc < y2) or (y2 <= yc < y1):
                crossings.append(x1 + (yc - y1) * (x2 - x1) / (y2 - y1))
        crossings.sort()
        for start, end in zip(crossings[0::2], crossings[1::2]):
            for col in range(max(LEFT, int(start + 0.5)), min(RIGHT, int(end + 0.5))):
                image[row][col] = LAND


def draw_text(image, text, x, y, colour=INK):
    for i, ch in enumerate(text):
        for gy, line in enumerate(GLYPHS[ch]):
            for gx, bit in enumerate(line):
                if bit == "1":
                    image[y + gy][x + i * 4 + gx] = colour


def lon_label(lon):
    return "0" if lon == 0 else "%d%s" % (abs(lon), "E" if lon > 0 else "W")


def lat_label(lat):
    return "0" if lat == 0 else "%d%s" % (abs(lat), "N" if lat > 0 else "S")


def write_png(path, image):
    raw = bytearray()
    for row in image:
        raw.append(0)
        for i in range(0, WIDTH, 2):
            raw.append((row[i] << 4) | (row[i + 1] if i + 1 < WIDTH else 0))

    def chunk(kind, data):
        return (struct.pack(">I", len(data)) + kind + data +
                struct.pack(">I", zlib.crc32(kind + data) & 0xFFFFFFFF))

    png = b"\x89PNG\r\n\x1a\n"
    png += chunk(b"IHDR", struct.pack(">IIBBBBB", WIDTH, HEIGHT, 4, 3, 0, 0, 0))
    png += chunk(b"PLTE", b"".join(struct.pack("BBB", *c) for c in PALETTE))
    png += chunk(b"IDAT", zlib.compress(bytes(raw), 9))
    png += chunk(b"IEND", b"")
    with open(path, "wb") as out:
        out.write(png)


def main():
    source = sys.argv[1] if len(sys.argv) > 1 else "node_modules/world-atlas/land-110m.json"
    output = sys.argv[2] if len(sys.argv) > 2 else "resources/worldmap.png"
    with open(source) as f:
        topology = json.load(f)
    arcs = decode_arcs(topology)

    image = [[MARGIN] * WIDTH for _ in range(HEIGHT)]
    for row in range(TOP, BOTTOM):
        for col in range(LEFT, RIGHT):
            image[row][col] = SEA
    fill(rings_of(topology, arcs), image)
    south_edge = topology["transform"]["translate"][1]
    for row in range(TOP, BOTTOM):
        if 90.0 - (row + 0.5 - TOP) * 180.0 / 249.0 < south_edge:
            for col in range(LEFT, RIGHT):
                image[row][col] = LAND

    for lon in range(-150, 180, 30):
        col = int(map_x(lon))
        for row in range(TOP, BOTTOM):
            image[row][col] = GRID_LAND if image[row][col] == LAND else GRID_SEA
    for lat in range(-60, 90, 30):
        row = int(map_y(lat))
        for col in range(LEFT, RIGHT):
            image[row][col] = GRID_LAND if image[row][col] == LAND else GRID_SEA

    land = [[image[r][c] in (LAND, GRID_LAND) for c in range(WIDTH)] for r in range(HEIGHT)]
    for row in range(TOP, BOTTOM):
        for col in range(LEFT, RIGHT):
            if not land[row][col]:
                continue
            for dr, dc in ((0, 1), (0, -1), (1, 0), (-1, 0)):
                r, c = row + dr, col + dc
                if TOP <= r < BOTTOM and LEFT <= c < RIGHT and not land[r][c]:
                    image[row][col] = COAST
                    break

    for col in range(LEFT - 1, RIGHT + 1):
        image[TOP - 1][col] = INK
        image[BOTTOM][col] = INK
    for row in range(TOP - 1, BOTTOM + 1):
        image[row][LEFT - 1] = INK
        image[row][RIGHT] = INK

    for lon in range(-180, 181, 30):
        text = lon_label(lon)
        x = min(max(int(map_x(lon)) - len(text) * 2 + 1, 0), WIDTH - len(text) * 4)
        draw_text(image, text, x, TOP - 9)
        draw_text(image, text, x, BOTTOM + 4)
    for lat in range(-90, 91, 30):
        text = lat_label(lat)
        y = min(max(int(map_y(lat)) - 2, TOP - 1), BOTTOM - 4)
        draw_text(image, text, LEFT - 2 - len(text) * 4, y, GREY)
        draw_text(image, text, RIGHT + 3, y, GREY)

    write_png(output, image)
    print("wrote %s" % output)


if __name__ == "__main__":
    main()
