#!/usr/bin/env python3
"""Fetches the benchmarks' real maps from the npm registry and converts them.

    python3 bench/maps/fetch_maps.py OUT_DIR

Writes OUT_DIR/counties-10m.segments (the U.S. county borders of us-atlas)
and OUT_DIR/countries-10m.segments (the world's country borders of
world-atlas): every arc of each topology, as topojson_segments.py converts
it. A file already there is kept. Exits 1, after trying every map, when one
cannot be fetched or read.
"""

import json
import os
import pathlib
import subprocess
import sys
import tarfile
import tempfile

from topojson_segments import arc_segments, write_segment_file

# Exact versions, so that every run measures the same maps.
MAPS = [
    ("us-atlas@3.0.1", "counties-10m.json"),
    ("world-atlas@2.0.2", "countries-10m.json"),
]


def fetch_topology(package, member, folder):
    """The JSON of `member` in the npm package's tarball."""
    packed = subprocess.run(["npm", "pack", package, "--pack-destination", folder, "--silent"],
                            check=True, capture_output=True, text=True)
    tarball = pathlib.Path(folder) / packed.stdout.strip().splitlines()[-1]
    with tarfile.open(tarball) as archive:
        return json.load(archive.extractfile("package/" + member))


def convert(package, member, out_dir):
    path = out_dir / (pathlib.Path(member).stem + ".segments")
    if path.exists():
        print(f"{path}: already there")
        return
    with tempfile.TemporaryDirectory() as folder:
        topology = fetch_topology(package, member, folder)
    partial = path.with_suffix(".partial")
    count = write_segment_file(arc_segments(topology), partial, f"{member} of {package}")
    os.replace(partial, path)
    print(f"{path}: {count} segments from {member} of {package}")


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__.strip().split("\n\n")[1].strip())
    out_dir = pathlib.Path(sys.argv[1])
    out_dir.mkdir(parents=True, exist_ok=True)
    failed = False
    for package, member in MAPS:
        try:
            convert(package, member, out_dir)
        except (OSError, KeyError, ValueError, subprocess.CalledProcessError) as error:
            detail = getattr(error, "stderr", None) or error
            print(f"cannot fetch {member} of {package}: {str(detail).strip()}", file=sys.stderr)
            failed = True
    sys.exit(1 if failed else 0)


if __name__ == "__main__":
    main()
