#!/usr/bin/env python3
"""Turns the arcs of a TopoJSON topology into GeoJSON line strings.

    python3 data/topojson_arcs.py TOPOLOGY.json OBJECT OUT.geojson [--flip-y HEIGHT]

Each arc of the topology is one border, drawn once however many areas share
it, which is the input Loopweave wants: loose lines that meet at their ends.
One LineString feature per arc used by OBJECT (a geometry collection such as
"states"), with integer properties "arc" (its index in the topology) and
"area_a", "area_b" (the numeric ids of the areas on its two sides; 0 where
there is none). --flip-y turns a screen projection's downward y upwards.

Quantized arcs are delta-encoded integers; the transform scales and
translates them. Coordinates are written with three decimals, finer than the
quantization step of the atlases this is meant for, so points that are one
point in the topology stay one point.
"""

import argparse
import json


def decode_arcs(topology):
    transform = topology.get("transform")
    arcs = []
    for arc in topology["arcs"]:
        if transform is None:
            arcs.append([tuple(p[:2]) for p in arc])
            continue
        (sx, sy), (tx, ty) = transform["scale"], transform["translate"]
        x = y = 0
        points = []
        for dx, dy in (p[:2] for p in arc):
            x += dx
            y += dy
            points.append((x * sx + tx, y * sy + ty))
        arcs.append(points)
    return arcs


def arc_indices(geometry):
    """Every arc index of a Polygon or MultiPolygon, reversed ones (~i) undone."""
    rings = {"Polygon": lambda a: a, "MultiPolygon": lambda a: [r for p in a for r in p]}
    convert = rings.get(geometry["type"])
    if convert is None:
        return []
    return [i if i >= 0 else ~i for ring in convert(geometry["arcs"]) for i in ring]


def areas_of_arcs(collection):
    sides = {}
    for geometry in collection["geometries"]:
        area = int(geometry.get("id", 0))
        for index in arc_indices(geometry):
            sides.setdefault(index, []).append(area)
    return sides


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n")[0])
    parser.add_argument("topology")
    parser.add_argument("object")
    parser.add_argument("output")
    parser.add_argument("--flip-y", type=float, metavar="HEIGHT")
    args = parser.parse_args()

    with open(args.topology, encoding="utf-8") as f:
        topology = json.load(f)
    arcs = decode_arcs(topology)
    sides = areas_of_arcs(topology["objects"][args.object])

    flip = (lambda y: args.flip_y - y) if args.flip_y is not None else (lambda y: y)
    features = []
    for index in sorted(sides):
        a, b = (sorted(sides[index]) + [0, 0])[:2]
        coordinates = [[round(x, 3), round(flip(y), 3)] for x, y in arcs[index]]
        features.append({
            "type": "Feature",
            "properties": {"arc": index, "area_a": a, "area_b": b},
            "geometry": {"type": "LineString", "coordinates": coordinates},
        })
    with open(args.output, "w", encoding="utf-8") as f:
        json.dump({"type": "FeatureCollection", "features": features}, f, separators=(",", ":"))
        f.write("\n")


if __name__ == "__main__":
    main()
