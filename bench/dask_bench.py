#!/usr/bin/env python3
"""loopweave.dask beside the single process: wall time and peak memory.

    dask_bench.py [--segments N] [--kind random|rooms] [--workers 1,2] [--driver PATH] [--distributed]

random: N segments of length 30 at random places and directions in a
square whose side grows with the square root of N (one giant contact
group); rooms: N/4 unit squares on a grid with gaps (as many groups). With
--driver (bench's loopweave_driver), random takes the driver's random:N
instead, the input of `make bench`. --distributed leaves the clusters'
results on the workers (gather=False), as for drawings larger than the
client, and waits until every layer is there.

Every run is a process of its own, so that its peak resident size is its
own: the single process, and each cluster's workers (the client holds the
input and the gathered result, and is reported too). Run by Debian's
interpreter with the package on PYTHONPATH.
"""

import argparse
import json
import os
import resource
import subprocess
import sys
import tempfile
import time

import numpy as np


def drawing(kind, n, driver):
    if kind == "random" and driver:
        with tempfile.NamedTemporaryFile(suffix=".f64") as dump:
            subprocess.run([driver, "--dump", f"random:{n}", dump.name], check=True)
            return np.fromfile(dump.name, dtype=np.float64).reshape(-1, 4)
    rng = np.random.default_rng(1)
    if kind == "random":
        side = 30.0 * np.sqrt(n) / 3
        start = rng.uniform(0, side, (n, 2))
        angle = rng.uniform(0, 2 * np.pi, n)
        return np.hstack([start, start + 30.0 * np.column_stack([np.cos(angle), np.sin(angle)])])
    rooms = n // 4
    columns = int(np.ceil(np.sqrt(rooms)))
    x, y = np.arange(rooms) % columns * 3.0, np.arange(rooms) // columns * 3.0
    corners = [(x, y), (x + 1, y), (x + 1, y + 1), (x, y + 1)]
    sides = [np.column_stack([*corners[i], *corners[(i + 1) % 4]]) for i in range(4)]
    return np.stack(sides, axis=1).reshape(-1, 4)


def peak_mib():
    return resource.getrusage(resource.RUSAGE_SELF).ru_maxrss / 1024


def run_single(lines):
    import loopweave

    start = time.perf_counter()
    result = loopweave.polygonize(lines)
    return {"seconds": time.perf_counter() - start, "faces": len(result.faces), "peak_mib": peak_mib()}


def run_cluster(lines, workers, distributed):
    import dask.array as da
    from distributed import Client, wait

    import loopweave.dask

    with loopweave.dask.local_cluster(workers, memory_limit=0) as cluster, Client(cluster) as client:
        chunks = max(1, len(lines) // (4 * workers))
        array = da.from_array(lines, chunks=(chunks, 4))
        start = time.perf_counter()
        result = loopweave.dask.polygonize(array, client=client, gather=not distributed)
        if distributed:
            result = type(result)(*client.persist(list(result)))
            wait(list(result))
        seconds = time.perf_counter() - start
        faces = len(result.faces)
        worker_peaks = sorted(client.run(peak_mib).values())
    return {"seconds": seconds, "faces": faces, "peak_mib": worker_peaks, "client_peak_mib": peak_mib()}


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("--segments", type=int, default=1000000)
    parser.add_argument("--kind", choices=["random", "rooms"], default="random")
    parser.add_argument("--workers", default="1,2")
    parser.add_argument("--driver")
    parser.add_argument("--distributed", action="store_true")
    parser.add_argument("--one", help=argparse.SUPPRESS)  # "single" or a worker count: one run, as JSON
    options = parser.parse_args()
    lines = drawing(options.kind, options.segments, options.driver)
    if options.one:
        one = run_single(lines) if options.one == "single" else run_cluster(lines, int(options.one), options.distributed)
        print(json.dumps(one))
        return
    print(f"{options.kind}, {len(lines)} segments")
    print(f"{'run':<12}{'seconds':>9}{'faces':>10}  peak MiB per process")
    for run in ["single"] + options.workers.split(","):
        command = [sys.executable, __file__, "--segments", str(options.segments), "--kind", options.kind,
                   "--one", run] + (["--driver", options.driver] if options.driver else []) + \
                  (["--distributed"] if options.distributed else [])
        result = json.loads(subprocess.run(command, check=True, capture_output=True, text=True).stdout.splitlines()[-1])
        name = "single" if run == "single" else f"{run} worker{'s' if run != '1' else ''}"
        memory = (f"{result['peak_mib']:.0f}" if run == "single" else
                  " ".join(f"{m:.0f}" for m in result["peak_mib"]) + f" (client {result['client_peak_mib']:.0f})")
        print(f"{name:<12}{result['seconds']:>9.2f}{result['faces']:>10}  {memory}", flush=True)


if __name__ == "__main__":
    main()
