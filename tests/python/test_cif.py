"""A CIF in memory, and the screening example over a few of them on Dask."""
import csv
import os
import shutil
import subprocess
import sys

import pytest

import orbicutter
from conftest import CIFS, SOURCE

pytestmark = pytest.mark.skipif(not orbicutter.cif_available, reason="the CIF converter was not built")


def test_cif_in_memory_is_the_converters_input(tmp_path, monkeypatch):
    shutil.copy(CIFS / "4021067.cif", tmp_path / "4021067.cif")
    monkeypatch.chdir(tmp_path)  # the input's comments name the CIF as given
    s = orbicutter.Structure.from_cif("4021067.cif", dmax=10.0, centre="largest")
    assert s.name == "4021067.inp"
    census = s.molecules().census()
    assert sum(census.values()) == len(s.molecules().molecule_first) >= 1
    assert s.options["dmax"] == 10.0
    exe = os.environ.get("ORBICUTTER_CIF_EXE")
    if exe:
        r = subprocess.run([exe, "4021067.cif", "--dmax", "10"], cwd=tmp_path, capture_output=True, text=True)
        assert r.returncode == 0, r.stderr
        assert (tmp_path / "4021067.inp").read_text() == s.input_text


def test_a_cif_that_cannot_be_converted_raises_error():
    with pytest.raises(orbicutter.Error) as e:
        orbicutter.Structure.from_cif(CIFS / "1001012-no-cell.cif")
    assert e.value.origin == "cif" and e.value.messages
    with pytest.raises(orbicutter.Error) as e:
        orbicutter.Structure.from_cif(CIFS / "4021067.cif", min_occupancy=2.0)
    assert "min-occupancy" in e.value.messages[0]
    with pytest.raises(orbicutter.Error):  # the command line's own options stay there
        orbicutter.Structure.from_cif(CIFS / "4021067.cif", run=True)


def test_screen_gives_one_row_per_cif_and_a_failed_one(tmp_path):
    pytest.importorskip("distributed")
    folder = tmp_path / "cifs"
    folder.mkdir()
    for name in ["4021067.cif", "2010359.cif", "2013611.cif", "own-not-a-cif.cif"]:
        shutil.copy(CIFS / name, folder / name)
    table = tmp_path / "screen.tsv"
    r = subprocess.run([sys.executable, str(SOURCE / "examples" / "python" / "screen.py"), str(folder),
                        "-o", str(table), "--workers", "2"], capture_output=True, text=True, timeout=300)
    assert r.returncode == 0, r.stderr[-3000:]
    with open(table, newline="") as f:
        rows = list(csv.DictReader(f, delimiter="\t"))
    assert [row["file"] for row in rows] == sorted(os.listdir(folder))
    bad = rows[-1]
    assert bad["file"] == "own-not-a-cif.cif" and bad["status"] == "error" and bad["message"]
    assert all(row["status"] == "ok" and int(row["molecules"]) >= 1 for row in rows[:-1])


def test_a_salts_charges_reach_the_molecules_and_the_orca_input(tmp_path):
    cif = CIFS / "2013611.cif"  # C20 H18 N O4 +, C H O2 -, C4 H6 O4
    labels = orbicutter.Structure.from_cif(cif).crystal().labels
    given = {label: 0.0 for label in labels}
    given.update({"N7": 1.0, "O9": -1.0})  # O9 opens the last molecule
    charges = tmp_path / "q.txt"
    charges.write_text("".join(f"{label} {q}\n" for label, q in given.items()))
    s = orbicutter.Structure.from_cif(cif, charges=str(charges))
    m = s.molecules()
    sums = {f: round(float(m.charges[a:a + n].sum()), 9)
            for f, a, n in zip(m.formulas, m.molecule_first, m.molecule_count)}
    assert sums == {"C20 H18 N O4": 1.0, "C4 H6 O4": 0.0, "C H O2": -1.0}
    cluster = s.cluster()
    central = cluster.molecule_count[0]
    assert cluster.charges[:central].sum() == 1.0
    written = cluster.write(tmp_path / "salt.orca.inp", "orca")
    assert "* xyz 1 1  #** MAY-BE-CHANGED\n" in (tmp_path / "salt.orca.inp").read_text()
    point_charges = (tmp_path / "2013611.orca.pc").read_text().splitlines()
    assert written[1] == str(tmp_path / "2013611.orca.pc")
    assert int(point_charges[0]) == len(cluster) - central == len(point_charges) - 1
