#!/usr/bin/env python3
"""Runs the benchmarks' drivers, one process per input and engine, and
prints their results as a table.

    python3 bench/run_bench.py BUILD_TREE [--compare] [--python] [--operations]

BUILD_TREE is a configured and built CMake tree. Every input that
`loopweave_driver --list` names (the BENCH_INPUTS environment variable, or the
default ladder) runs through this library's driver; with --compare also
through GEOS's and CGAL's, followed by the ratios of this library's time and
memory to theirs; with --python also through the Python package and
through Shapely (bench/python_driver.py, with the tree's package and Debian's
interpreter); with --operations also through each operation of
operations_bench (Google Benchmark), one process per case.

Each process gets BENCH_TIMEOUT seconds (default 300). A case that runs out
is listed as timed out, and the larger inputs of the same kind are not tried
on that engine: they would time out too. A process killed by SIGKILL, as the
kernel kills one that runs the machine out of memory, is treated alike.
BENCH_MAX_SEGMENTS skips the inputs with more segments. Exits 1 when a driver
failed, after the whole table.
"""

import argparse
import json
import os
import pathlib
import platform
import re
import signal
import subprocess
import sys

ENGINES = {"loopweave": "bench/loopweave_driver", "geos": "bench/peers/geos_driver", "cgal": "bench/peers/cgal_driver"}
PYTHON_ENGINES = ["python", "shapely"]
PYTHON_DRIVER = pathlib.Path(__file__).with_name("python_driver.py")
OPERATIONS = ["cut", "form", "strip", "frame", "pipeline"]
STATUS_TEXT = {"over-cap": "over the cap", "no-data": "no data (make bench-data)"}
ROW = "{:<24} {:<9} {:>9} {:>10} {:>9} {:>9} {:>9} {:>9} {:>9}"


def kind_of(input_name):
    """Inputs of one kind differ in size alone: "random:1000" and "random:10000";
    a drawing turned, scaled or moved far from the origin
    ("grid:1000/30", "random:1000*100@5000000") is of a kind of its own."""
    drawing, moved, distance = input_name.partition("@")
    drawing, scaled, scale = drawing.partition("*")
    drawing, turned, angle = drawing.partition("/")
    kind = drawing if drawing.startswith("map:") else drawing.split(":")[0]
    return kind + turned + angle + scaled + scale + moved + distance


class Runner:
    """Runs processes under the time limit, remembering which tasks ran out
    on which kinds of input."""

    def __init__(self, timeout):
        self.timeout = timeout
        self.timed_out = set()  # (task, kind) pairs
        self.failed = False

    def run(self, task, input_name, command, env=None, after=()):
        """The process's stdout, or None with the reason it has none. A task
        that ran out of time on a smaller input of the kind, or one of the
        tasks `after` that it repeats first, is not tried."""
        kind = kind_of(input_name)
        for earlier in (task, *after):
            if (earlier, kind) in self.timed_out:
                return None, f"skipped: {earlier} timed out on a smaller or equal input"
        try:
            done = subprocess.run(command, capture_output=True, text=True, timeout=self.timeout, env=env)
        except subprocess.TimeoutExpired:
            self.timed_out.add((task, kind))
            return None, f"timed out (over {self.timeout:g} s)"
        if done.returncode == -signal.SIGKILL:
            # Killed from outside, as the kernel kills a process that runs the
            # machine out of memory: a limit reached, like the time limit.
            self.timed_out.add((task, kind))
            return None, "killed (SIGKILL: out of memory?)"
        if done.returncode != 0:
            self.failed = True
            reason = (done.stderr.strip().splitlines() or [f"exit status {done.returncode}"])[-1]
            return None, "failed: " + reason
        return done.stdout, None


def driver_result(runner, tree, engine, input_name):
    """The fields of a driver's line, or a dict holding only the reason it has none."""
    if engine in PYTHON_ENGINES:
        command = ["/usr/bin/python3", str(PYTHON_DRIVER), engine, str(tree), input_name]
        env = dict(os.environ, PYTHONPATH=str(tree / "python"))
    else:
        command, env = [str(tree / ENGINES[engine]), input_name], None
    stdout, reason = runner.run(engine, input_name, command, env=env)
    if reason:
        return {"status": reason}
    return parse_fields(stdout)


def parse_fields(line):
    fields = dict(field.split("=", 1) for field in line.split())
    fields["status"] = STATUS_TEXT.get(fields["status"], fields["status"])
    return fields


def seconds(fields):
    return float(fields["cut_s"]) + float(fields["form_s"])


def pipeline_row(input_name, engine, fields):
    if fields["status"] != "ok":
        return f"{input_name:<24} {engine:<9} {fields.get('elements', ''):>9}  {fields['status']}"
    return ROW.format(input_name, engine, fields["elements"], fields["edges"], fields["polygons"],
                      f"{float(fields['cut_s']):.3f}", f"{float(fields['form_s']):.3f}", f"{seconds(fields):.3f}",
                      f"{int(fields['peak_kib']) / 1024:.1f}")


def ratio(ours, peer, value):
    if ours["status"] != "ok" or peer["status"] != "ok" or value(peer) == 0:
        return "-"
    return f"{value(ours) / value(peer):.2f}"


def run_pipeline(runner, tree, inputs, engines):
    print(ROW.format("input", "engine", "elements", "edges", "polygons", "cut s", "form s", "total s", "peak MiB"))
    results = {}
    for input_name in inputs:
        # Over the cap or without data for one engine is so for all: one row.
        check = subprocess.run([str(tree / ENGINES["loopweave"]), "--check", input_name], check=True,
                               capture_output=True, text=True)
        fields = parse_fields(check.stdout)
        if fields["status"] in STATUS_TEXT.values():
            results.update({(input_name, engine): fields for engine in engines})
            print(pipeline_row(input_name, "-", fields), flush=True)
            continue
        for engine in engines:
            results[input_name, engine] = driver_result(runner, tree, engine, input_name)
            print(pipeline_row(input_name, engine, results[input_name, engine]), flush=True)
    return results


def print_ratios(results, inputs):
    print("\nratios of this library to its peers (below 1: faster, or less memory)")
    print("{:<24} {:>11} {:>11} {:>13} {:>13}".format("input", "time/CGAL", "time/GEOS", "memory/CGAL",
                                                     "memory/GEOS"))
    memory = lambda fields: int(fields["peak_kib"])  # noqa: E731
    for input_name in inputs:
        ours = results[input_name, "loopweave"]
        if ours["status"] in STATUS_TEXT.values():
            continue
        cgal, geos = results[input_name, "cgal"], results[input_name, "geos"]
        print("{:<24} {:>11} {:>11} {:>13} {:>13}".format(input_name, ratio(ours, cgal, seconds),
                                                         ratio(ours, geos, seconds), ratio(ours, cgal, memory),
                                                         ratio(ours, geos, memory)))


def benchmark_filter(case):
    """A filter that picks one case. Google Benchmark reads it as a POSIX
    extended regular expression, which rejects escapes of anything but its
    special characters: Python's re.escape also escapes the "-" of
    "map:counties-10m", and the program then ran nothing."""
    return "^" + re.sub(r"([][.^$*+?(){}|\\])", r"\\\1", case) + "(/|$)"


def operation_time(runner, tree, input_name, operation):
    """Milliseconds per run of one operation on one input, or why there are none."""
    case = f"{operation}/{input_name}"
    command = [str(tree / "bench/operations_bench"), f"--benchmark_filter={benchmark_filter(case)}",
               "--benchmark_format=json"]
    # Form, strip and the pipeline cut the input first.
    after = () if operation in ("cut", "frame") else ("cut",)
    stdout, reason = runner.run(operation, input_name, command, env=dict(os.environ, BENCH_INPUTS=input_name),
                                after=after)
    if reason:
        return reason.split(":")[0].split(" (")[0]
    try:
        return f"{json.loads(stdout)['benchmarks'][0]['real_time']:.3f}"
    except (ValueError, LookupError):
        runner.failed = True
        return "failed"


def run_operations(runner, tree, inputs, results):
    """One row per input that this library's driver could run."""
    print("\nmilliseconds per operation (operations_bench; form and strip start from the cut input)")
    print("{:<24} ".format("input") + " ".join(f"{op:>12}" for op in OPERATIONS))
    for input_name in inputs:
        status = results[input_name, "loopweave"]["status"]
        if status in STATUS_TEXT.values():
            print(f"{input_name:<24} {status}", flush=True)
            continue
        times = [operation_time(runner, tree, input_name, op) for op in OPERATIONS]
        print("{:<24} ".format(input_name) + " ".join(f"{t:>12}" for t in times), flush=True)


def describe_machine():
    model = "unknown CPU"
    cpuinfo = pathlib.Path("/proc/cpuinfo")
    if cpuinfo.exists():
        names = re.findall(r"^model name\s*:\s*(.+)$", cpuinfo.read_text(), re.M)
        model = names[0] if names else model
    return f"{model}, {os.cpu_count()} cores, {platform.system()} {platform.release()}"


def main():
    parser = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    parser.add_argument("tree", type=pathlib.Path)
    parser.add_argument("--compare", action="store_true", help="also run GEOS and CGAL and print the ratios")
    parser.add_argument("--python", action="store_true", help="also run the Python package and Shapely")
    parser.add_argument("--operations", action="store_true", help="also time each operation with operations_bench")
    args = parser.parse_args()

    timeout = float(os.environ.get("BENCH_TIMEOUT") or 300)
    cap = os.environ.get("BENCH_MAX_SEGMENTS") or "none"
    listed = subprocess.run([str(args.tree / ENGINES["loopweave"]), "--list"], check=True, capture_output=True,
                            text=True)
    inputs = listed.stdout.split()
    engines = ["loopweave", "geos", "cgal"] if args.compare else ["loopweave"]
    if args.python:
        engines += PYTHON_ENGINES

    print(f"machine: {describe_machine()}")
    print(f"limits: BENCH_MAX_SEGMENTS={cap}, BENCH_TIMEOUT={timeout:g} s per process\n", flush=True)
    runner = Runner(timeout)
    results = run_pipeline(runner, args.tree, inputs, engines)
    if args.compare:
        print_ratios(results, inputs)
    if args.operations:
        run_operations(runner, args.tree, inputs, results)
    sys.exit(1 if runner.failed else 0)


if __name__ == "__main__":
    main()
