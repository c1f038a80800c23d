from os import PathLike
from typing import Any, Literal, Sequence

import numpy as np
import numpy.typing as npt

__all__ = ["Error", "Structure", "AtomTable", "Crystal", "Molecules", "Cluster", "Dimer", "Warning",
           "formats", "version", "cif_available"]

version: str
cif_available: bool

Format = Literal["xyz", "extxyz", "res", "adf", "gaussian", "orca", "crystal"]
_Path = str | PathLike[str]

def formats() -> list[str]: ...

class Error(Exception):
    messages: list[str]
    origin: Literal["input", "cif", "run"]
    def __init__(self, messages: Sequence[str], origin: str = ...) -> None: ...

class Warning:
    phase: str
    messages: list[str]
    def __init__(self, phase: str, messages: Sequence[str]) -> None: ...

class AtomTable:
    periodic: bool
    positions: npt.NDArray[np.float64]
    fractional: npt.NDArray[np.float64]
    elements: list[str]
    labels: list[str]
    molecule: npt.NDArray[np.int32]
    input_atom: npt.NDArray[np.int32]
    operation: npt.NDArray[np.int32]
    translation: npt.NDArray[np.int32]
    charges: npt.NDArray[np.float64]
    cell_matrix: npt.NDArray[np.float64] | None
    def __len__(self) -> int: ...
    def to_ase(self) -> Any: ...

class Crystal(AtomTable):
    cell: tuple[float, float, float, float, float, float]
    crystal_system: str
    operations: list[str]

class _MoleculeRows:
    molecule_first: npt.NDArray[np.int32]
    molecule_count: npt.NDArray[np.int32]
    molecule_fragment: npt.NDArray[np.int32]
    molecule_operation: npt.NDArray[np.int32]
    molecule_translation: npt.NDArray[np.int32]
    formulas: list[str]

class Molecules(AtomTable, _MoleculeRows):
    def census(self) -> dict[str, int]: ...

class Cluster(AtomTable, _MoleculeRows):
    centre: tuple[float, float, float]
    centre_cartesian: tuple[float, float, float]
    def write(self, path: _Path, format: Format) -> list[str]: ...

class Dimer:
    number: int
    molecule: int
    fragment: int
    formula: str
    operation: int
    translation: tuple[int, int, int]
    symmetry_code: str
    distance: float
    multiplicity: int

class Structure:
    notes: list[str]
    @classmethod
    def from_input(cls, text: str, name: str = ...) -> Structure: ...
    @classmethod
    def from_file(cls, path: _Path, name: str | None = ...) -> Structure: ...
    @classmethod
    def from_cif(cls, path: _Path, **options: Any) -> Structure: ...
    @property
    def name(self) -> str: ...
    @property
    def input_text(self) -> str: ...
    @property
    def options(self) -> dict[str, Any]: ...
    def crystal(self) -> Crystal: ...
    def molecules(self) -> Molecules: ...
    def cluster(self, radius: float | None = ..., method: Literal[1, 2, 3] | None = ...) -> Cluster: ...
    def dimers(self) -> list[Dimer]: ...
    @property
    def warnings(self) -> list[Warning]: ...
    def write(self, path: _Path, format: Format) -> list[str]: ...
