"""The module against the executable's own files and the written examples."""
import os
import shutil
import subprocess

import numpy as np
import pytest

import orbicutter
from conftest import CIFS, CRYSTALS, SOURCE, run_program

ASPIRIN = SOURCE / "examples" / "aspirin.inp"


def xyz_rows(path):
    lines = path.read_text().splitlines()
    n = int(lines[0])
    rows = [l.split() for l in lines[2:2 + n]]
    return [r[0] for r in rows], np.array([[float(v) for v in r[1:4]] for r in rows])


def test_aspirin_cluster_is_the_examples_xyz():
    cluster = orbicutter.Structure.from_file(ASPIRIN).cluster()
    labels, positions = xyz_rows(CRYSTALS / "expected" / "aspirin_d8" / "aspirin_d8.xyz")
    assert cluster.positions.shape == (len(labels), 3) and cluster.positions.dtype == np.float64
    # The file rounds to 6 decimals; every row, the last atom's included.
    assert np.abs(cluster.positions - positions).max() <= 5.1e-7
    # Its labels are element, row number from 1 and the operation other than the identity.
    mine = [f"{e}{i + 1}" + ("" if op == 1 else f"_{op}")
            for i, (e, op) in enumerate(zip(cluster.elements, cluster.operation))]
    assert mine == labels
    # Molecule rows cover the atoms without gap; the central molecule first.
    first, count = cluster.molecule_first, cluster.molecule_count
    assert first[0] == 0 and first[-1] + count[-1] == len(cluster)
    assert list(cluster.molecule[first[-1]:]) == [len(first)] * count[-1]


def test_to_ase_keeps_molecules_labels_and_the_cell():
    pytest.importorskip("ase")
    s = orbicutter.Structure.from_file(ASPIRIN)
    cluster = s.cluster()
    atoms = cluster.to_ase()
    assert not atoms.pbc.any()
    assert atoms.get_chemical_symbols() == cluster.elements
    np.testing.assert_array_equal(atoms.positions, cluster.positions)
    np.testing.assert_array_equal(atoms.arrays["molecule"], cluster.molecule)
    assert list(atoms.arrays["label"]) == cluster.labels



@pytest.mark.parametrize("cell", ["11.233 6.5440 11.231 90.00 95.89 90.00", "11.233 6.5440 11.231 80.00 95.89 110.00"])
def test_to_ase_of_the_crystal_has_its_cell(cell):
    pytest.importorskip("ase")
    # Every angle oblique in the second: P1, so that any cell is a sound one.
    text = ASPIRIN.read_text().replace("CELL 11.233 6.5440 11.231 90.00 95.89 90.00", "CELL " + cell)
    text = text.replace("SYMM 4 0", "SYMM 1 0").replace("-x, y+1/2, -z+1/2\n-x, -y, -z\nx, -y-1/2, z-1/2\n", "")
    s = orbicutter.Structure.from_input(text)
    molecules = s.molecules()
    crystal = molecules.to_ase()
    assert crystal.pbc.all()
    np.testing.assert_allclose(crystal.cell.cellpar(), s.crystal().cell, atol=1e-6)
    # Cartesian rows are the fractional ones through the cell, the last atom's too.
    np.testing.assert_allclose(crystal.get_scaled_positions(wrap=False)[-1], molecules.fractional[-1], atol=1e-6)


def test_charges_follow_the_input_atom(tmp_path):
    s = orbicutter.Structure.from_file(CRYSTALS / "aspirin_chrg.inp")
    crystal = s.crystal()
    given = dict(zip(crystal.labels, crystal.charges))
    cluster = s.cluster()
    # Every copy carries its input atom's charge (the labels are unique), the last one's too.
    assert list(cluster.charges) == [given[l] for l in cluster.labels]
    assert cluster.labels[-1] == "H7" and cluster.charges[-1] == given["H7"] != 0


def test_write_is_the_executables_file_byte_for_byte(tmp_path):
    program = tmp_path / "program"
    program.mkdir()
    shutil.copy(CRYSTALS / "aspirin_chrg.inp", program / "aspirin_chrg.inp")
    run_program(program / "aspirin_chrg.inp", "ORCF 1", "CRYF 1", "SHLX 1")
    s = orbicutter.Structure.from_file(program / "aspirin_chrg.inp")
    out = tmp_path / "mine"
    out.mkdir()
    suffixes = {"orca": ".orca.inp", "gaussian": ".gjf", "adf": ".adf", "res": ".res", "crystal": ".d12", "xyz": ".xyz"}
    for fmt, suffix in suffixes.items():
        written = s.write(out / f"aspirin_chrg{suffix}", fmt)
        assert (out / f"aspirin_chrg{suffix}").read_bytes() == (program / f"aspirin_chrg{suffix}").read_bytes(), fmt
    # With charges the ORCA input names its point charges, which go beside it.
    assert written == [str(out / "aspirin_chrg.xyz")]
    assert s.write(out / "x.inp", "orca") == [str(out / "x.inp"), str(out / "aspirin_chrg.orca.pc")]
    assert (out / "aspirin_chrg.orca.pc").read_bytes() == (program / "aspirin_chrg.orca.pc").read_bytes()
    assert sorted(p.name for p in out.iterdir()) == sorted(
        [f"aspirin_chrg{x}" for x in suffixes.values()] + ["x.inp", "aspirin_chrg.orca.pc"])


def test_extended_xyz_and_unknown_format(tmp_path):
    shutil.copy(ASPIRIN, tmp_path / "aspirin.inp")
    run_program(tmp_path / "aspirin.inp", "XYZF 2")
    s = orbicutter.Structure.from_file(tmp_path / "aspirin.inp")
    s.write(tmp_path / "mine.xyz", "extxyz")
    assert (tmp_path / "mine.xyz").read_bytes() == (tmp_path / "aspirin.xyz").read_bytes()
    with pytest.raises(orbicutter.Error) as e:
        s.write(tmp_path / "a.pdb", "pdb")
    assert not (tmp_path / "a.pdb").exists()
    assert "Unknown output format pdb" in e.value.messages[0]
    # A folder that is not there: an error, and the structure still works.
    with pytest.raises(orbicutter.Error):
        s.write(tmp_path / "none" / "a.xyz", "xyz")
    assert len(s.cluster()) == 462


def test_bad_input_raises_error_with_the_box_lines():
    text = ASPIRIN.read_text().replace("DMAX 8.0", "DMAX eight")
    with pytest.raises(orbicutter.Error) as e:
        orbicutter.Structure.from_input(text)
    assert e.value.messages == ["Error while reading DMAX option"] and e.value.origin == "input"
    with pytest.raises(orbicutter.Error) as e:
        orbicutter.Structure.from_file(SOURCE / "no-such.inp")
    assert e.value.messages[0] == "Input file cannot be opened"


def test_radius_and_method_replace_the_inputs_own():
    s = orbicutter.Structure.from_file(ASPIRIN)
    text = ASPIRIN.read_text().replace("DMAX 8.0", "DMAX 11.5\nCLUS 2")
    wanted = orbicutter.Structure.from_input(text, "aspirin.inp").cluster()
    got = s.cluster(radius=11.5, method=2)
    np.testing.assert_array_equal(got.positions, wanted.positions)
    assert len(s.cluster()) == 462  # the structure's own cluster is untouched
    with pytest.raises(orbicutter.Error):
        s.cluster(radius=0.0)
    with pytest.raises(orbicutter.Error):
        s.cluster(method=4)


def test_a_lone_molecule_has_no_dimers():
    text = ASPIRIN.read_text().replace("DMAX 8.0", "DMAX 0.1")
    s = orbicutter.Structure.from_input(text)
    assert s.dimers() == []
    assert len(s.cluster().molecule_first) == 1
