import os
import shutil
import subprocess
from pathlib import Path

import pytest

SOURCE = Path(os.environ.get("ORBICUTTER_SOURCE", Path(__file__).resolve().parents[2]))
CRYSTALS = SOURCE / "tests" / "data" / "crystals"
CIFS = SOURCE / "tests" / "data" / "cif"


def run_program(input_file, *extra_lines):
    """The executable on a copy of `input_file` with `extra_lines` appended, in a
    folder of its own; returns that folder."""
    exe = os.environ.get("ORBICUTTER_EXE")
    if not exe:
        pytest.skip("ORBICUTTER_EXE not set")
    folder = Path(input_file).parent
    text = Path(input_file).read_text() + "".join(l + "\n" for l in extra_lines)
    Path(input_file).write_text(text)
    r = subprocess.run([exe, Path(input_file).name], cwd=folder, capture_output=True, text=True)
    assert r.returncode == 0, r.stdout[-2000:]
    return folder


@pytest.fixture
def aspirin_copy(tmp_path):
    """examples' aspirin as tmp/aspirin.inp."""
    dst = tmp_path / "aspirin.inp"
    shutil.copy(SOURCE / "examples" / "aspirin.inp", dst)
    return dst
