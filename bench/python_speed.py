#!/usr/bin/env python3
"""Speed of the Python module against the programs (a benchmark, not a test).

1. CIFs per second per core: from_cif + molecules + census in this one process,
   against one `orbicutter-cif --check` process per CIF.
2. A 50 A cluster of aspirin: Structure.from_file + cluster() with its arrays,
   against a run of the executable.

CPU seconds are counted (this process's, or the children's), so that other
work on the machine weighs less; wall seconds are shown beside them.

    PYTHONPATH=build/python python3 bench/python_speed.py --build build [--cifs ../shared/cif/cod-dev]
"""
import argparse
import os
import resource
import shutil
import subprocess
import sys
import tempfile
import time


def children_cpu():
    r = resource.getrusage(resource.RUSAGE_CHILDREN)
    return r.ru_utime + r.ru_stime


def own_cpu():
    return time.process_time()


def in_process(cifs):
    import orbicutter

    failed = 0
    wall, cpu = time.perf_counter(), own_cpu()
    for path in cifs:
        try:
            orbicutter.Structure.from_cif(path).molecules().census()
        except orbicutter.Error:
            failed += 1
    return time.perf_counter() - wall, own_cpu() - cpu, failed


def per_process(cifs, exe, scratch):
    failed = 0
    wall, cpu = time.perf_counter(), children_cpu()
    for k, path in enumerate(cifs):
        r = subprocess.run([exe, path, "--check", "-o", os.path.join(scratch, f"{k}.inp")],
                           stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        failed += r.returncode != 0
    return time.perf_counter() - wall, children_cpu() - cpu, failed


def cluster_in_python(inp):
    import orbicutter

    wall, cpu = time.perf_counter(), own_cpu()
    c = orbicutter.Structure.from_file(inp).cluster()
    n = len(c)
    return time.perf_counter() - wall, own_cpu() - cpu, n


def cluster_by_program(inp, exe, scratch):
    shutil.copy(inp, scratch)
    wall, cpu = time.perf_counter(), children_cpu()
    subprocess.run([exe, os.path.basename(inp)], cwd=scratch, stdout=subprocess.DEVNULL, check=True)
    return time.perf_counter() - wall, children_cpu() - cpu, 0


def best(runs):
    return min(runs, key=lambda r: r[1])


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    p = argparse.ArgumentParser()
    p.add_argument("--build", default=os.path.join(here, "..", "build"))
    p.add_argument("--cifs", default=os.path.join(here, "..", "..", "shared", "cif", "cod-dev"))
    p.add_argument("--repeat", type=int, default=3)
    args = p.parse_args()
    sys.path.insert(0, os.path.join(args.build, "python"))

    cifs = sorted(os.path.join(args.cifs, n) for n in os.listdir(args.cifs) if n.endswith(".cif"))
    cif_exe = os.path.abspath(os.path.join(args.build, "orbicutter-cif"))
    exe = os.path.abspath(os.path.join(args.build, "orbicutter"))
    with tempfile.TemporaryDirectory() as scratch:
        mine = best([in_process(cifs) for _ in range(args.repeat)])
        theirs = best([per_process(cifs, cif_exe, scratch) for _ in range(args.repeat)])
    n = len(cifs)
    print(f"{n} CIFs ({mine[2]} refused in process, {theirs[2]} by the program)")
    print(f"  in process      : {n / mine[1]:8.1f} CIFs/s/core  ({mine[1]:.3f} s CPU, {mine[0]:.3f} s wall)")
    print(f"  orbicutter-cif  : {n / theirs[1]:8.1f} CIFs/s/core  ({theirs[1]:.3f} s CPU, {theirs[0]:.3f} s wall)")
    print(f"  ratio           : {theirs[1] / mine[1]:8.1f} x")

    inp = os.path.join(here, "data", "aspirin-d50.inp")
    py = best([cluster_in_python(inp) for _ in range(args.repeat)])
    runs = []
    for _ in range(args.repeat):
        with tempfile.TemporaryDirectory() as scratch:
            runs.append(cluster_by_program(inp, exe, scratch))
    prog = best(runs)
    print(f"50 A cluster of aspirin ({py[2]} atoms)")
    print(f"  Python          : {py[1]:.3f} s CPU ({py[0]:.3f} s wall)")
    print(f"  orbicutter      : {prog[1]:.3f} s CPU ({prog[0]:.3f} s wall)")
    print(f"  ratio           : {py[1] / prog[1]:.2f} x")


if __name__ == "__main__":
    main()
