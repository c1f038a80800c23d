#!/usr/bin/env python3
"""Screens a folder of CIFs on Dask: each CIF is converted in memory, its whole
molecules are rebuilt and counted, and its dimers found; one table row per CIF.
A CIF that fails gives a row with its message; the run goes on.

    python3 screen.py CIF_FOLDER -o screen.tsv                 # a local cluster
    python3 screen.py CIF_FOLDER --scheduler tcp://host:8786   # any Dask scheduler
"""

import argparse
import csv
import os
import sys
import time

COLUMNS = ["file", "status", "formulas", "molecules", "warnings", "dimers", "message"]


def screen_one(path, options):
    """One row for one CIF; never raises."""
    import orbicutter

    row = dict.fromkeys(COLUMNS, "")
    row["file"] = os.path.basename(path)
    try:
        s = orbicutter.Structure.from_cif(path, **options)
        census = s.molecules().census()
        dimers = s.dimers()
        row["status"] = "ok"
        row["formulas"] = "; ".join(f"{n} x {f}" for f, n in census.items())
        row["molecules"] = sum(census.values())
        row["dimers"] = "; ".join(f"{d.formula} {d.symmetry_code} {d.distance:.3f}" for d in dimers)
        row["warnings"] = " | ".join(str(w) for w in s.warnings)
    except Exception as e:  # one CIF's failure is its row, never the end of the run
        row["status"] = "error"
        row["message"] = " ".join(getattr(e, "messages", None) or [str(e) or type(e).__name__])
    return row


def write_table(out, rows, delimiter):
    w = csv.DictWriter(out, fieldnames=COLUMNS, delimiter=delimiter, lineterminator="\n")
    w.writeheader()
    w.writerows(rows)


def cif_files(folder):
    names = sorted(n for n in os.listdir(folder) if n.lower().endswith(".cif"))
    return [os.path.join(folder, n) for n in names]


def main(argv=None):
    p = argparse.ArgumentParser(description=__doc__.split("\n\n")[0])
    p.add_argument("folder", help="folder of CIF files")
    p.add_argument("-o", "--output", default="-", help="table file (.csv: commas, else tabs); - for standard output")
    p.add_argument("--scheduler", help="address of a running Dask scheduler (default: a local cluster)")
    p.add_argument("--workers", type=int, default=os.cpu_count() or 1, help="local cluster: worker processes")
    p.add_argument("--dmax", type=float, default=8.0, help="cluster radius for the dimers (default 8)")
    args = p.parse_args(argv)

    from dask.distributed import Client, LocalCluster

    files = cif_files(args.folder)
    options = {"dmax": args.dmax}
    cluster = None
    if args.scheduler:
        client = Client(args.scheduler)
    else:
        cluster = LocalCluster(n_workers=args.workers, threads_per_worker=1, processes=True,
                               dashboard_address=None)
        client = Client(cluster)
    start = time.perf_counter()
    try:
        futures = client.map(screen_one, files, options=options, pure=False)
        rows = client.gather(futures)
    finally:
        client.close()
        if cluster is not None:
            cluster.close()
    seconds = time.perf_counter() - start

    delimiter = "," if args.output.endswith(".csv") else "\t"
    if args.output == "-":
        write_table(sys.stdout, rows, delimiter)
    else:  # complete or not at all: written aside, then renamed over the name
        partial = f"{args.output}.{os.getpid()}.tmp"
        try:
            with open(partial, "w", newline="") as out:
                write_table(out, rows, delimiter)
            os.replace(partial, args.output)
        finally:
            if os.path.exists(partial):
                os.remove(partial)
    sys.stdout.flush()
    failed = sum(r["status"] != "ok" for r in rows)
    print(f"{len(rows)} CIFs ({failed} failed) in {seconds:.2f} s", file=sys.stderr)
    return 0


if __name__ == "__main__":
    sys.exit(main())
