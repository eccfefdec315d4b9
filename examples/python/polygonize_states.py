#!/usr/bin/env python3
"""The U.S. state borders, read with GeoPandas, polygonized by the loopweave
package and drawn with matplotlib: every face coloured, the frame's sea face
left white, and the points the diagnosis found in red.

    PYTHONPATH=build/release/python /usr/bin/python3 examples/python/polygonize_states.py \\
        data/us_state_borders.geojson build/demo/states.png
"""

import sys

import geopandas as gpd
import matplotlib

matplotlib.use("Agg")  # draws to a file, without a display
import matplotlib.pyplot as plt  # noqa: E402

import loopweave  # noqa: E402


def main(source, picture):
    borders = gpd.read_file(source)
    result = loopweave.polygonize(borders, frame="extent", frame_margin=10)
    faces = result.faces
    # The sea is the face the frame bounds: its keys hold the frame's -1,-1.
    sea = faces["keys"].str.contains("-1,-1")
    print(f"{len(borders)} border lines -> {len(faces)} faces ({faces.holes.sum()} holes), "
          f"{len(result.dangles)} dangles, {len(result.errors)} error points")
    for _, face in faces[~sea].nlargest(3, "area").iterrows():
        print(f"  face {face.polygon}: area {face.area:.0f}, {face.elements} elements, {face.holes} holes")

    figure, axes = plt.subplots(figsize=(10, 6.5))
    faces[sea].plot(ax=axes, color="white", edgecolor="grey", linewidth=0.3)
    land = faces[~sea]
    # Twenty colours, dealt out in steps of seven so that faces formed one
    # after the other, often neighbours, rarely share one.
    colours = [plt.cm.tab20((7 * number) % 20) for number in land["polygon"]]
    land.plot(ax=axes, color=colours, edgecolor="black", linewidth=0.3)
    if not result.errors.empty:
        result.errors.plot(ax=axes, color="red", markersize=12)
    axes.set_title(f"{source}: {len(faces)} faces, {len(result.errors)} error points")
    # GeoJSON says nothing of its coordinates, so they pass for degrees, which
    # GeoPandas would stretch by latitude; these are plain planar units.
    axes.set_aspect("equal")
    axes.set_axis_off()
    figure.savefig(picture, dpi=100, bbox_inches="tight")
    print(f"wrote {picture}")


if __name__ == "__main__":
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    main(sys.argv[1], sys.argv[2])
