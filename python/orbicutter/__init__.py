"""orbicutter in Python: whole molecules, clusters and dimers of a molecular
crystal, as numpy arrays and ASE Atoms, without files.

    s = orbicutter.Structure.from_cif("4021067.cif", centre="largest")
    cluster = s.cluster(radius=12.0)
    atoms = cluster.to_ase()
"""

import os as _os

from . import _orbicutter

__all__ = ["Error", "Structure", "AtomTable", "Crystal", "Molecules", "Cluster", "Dimer", "Warning",
           "formats", "version", "cif_available"]

version = _orbicutter.version()
cif_available = bool(_orbicutter.cif_available)


def formats():
    """The names write() takes, one per row of the table of writers."""
    return list(_orbicutter.formats())


class Error(Exception):
    """The input was refused, the CIF could not be converted, or a step cannot go on.

    messages: the lines of the error box, without their arrows.
    origin: "input" (the keyword reader), "cif" (the converter) or "run".
    """

    def __init__(self, messages, origin="run"):
        self.messages = list(messages)
        self.origin = origin
        super().__init__(" ".join(self.messages) if self.messages else "orbicutter error")

    def __reduce__(self):  # survives pickling between Dask workers
        return (type(self), (self.messages, self.origin))


_orbicutter._set_error_type(Error)


class Warning:  # noqa: A001 - the run's own word for it
    """A warning box of a step: the step ("READINP", "FRAGMENTS", "CLUSTER", "CIF") and its lines."""

    __slots__ = ("phase", "messages")

    def __init__(self, phase, messages):
        self.phase = phase
        self.messages = list(messages)

    def __repr__(self):
        return f"Warning({self.phase!r}, {self.messages!r})"

    def __str__(self):
        return f"{self.phase}: " + " ".join(self.messages)


class AtomTable:
    """Atoms as arrays, one row per atom (no Python object per atom but the names).

    positions: (N, 3) float64, angstrom, x along a and y in the ab plane
    fractional: (N, 3) float64; elements, labels: lists of str
    molecule, input_atom, operation: (N,) int32 (numbers count from 1)
    translation: (N, 3) int32 whole-cell translations; charges: (N,) float64 (0 without CHRG)
    """

    periodic = False

    def __init__(self, table, cell_matrix=None):
        self.positions = table["positions"]
        self.fractional = table["fractional"]
        self.elements = table["elements"]
        self.labels = table["labels"]
        self.molecule = table["molecule"]
        self.input_atom = table["input_atom"]
        self.operation = table["operation"]
        self.translation = table["translation"]
        self.charges = table["charges"]
        self.cell_matrix = cell_matrix

    def __len__(self):
        return len(self.elements)

    def to_ase(self):
        """ase.Atoms with "molecule" and "label" in atoms.arrays; the cell and
        periodic boundaries when the table describes the crystal."""
        import ase  # only here: the module itself needs nothing but numpy
        import numpy as np

        atoms = ase.Atoms(symbols=self.elements, positions=self.positions)
        if self.periodic and self.cell_matrix is not None:
            atoms.set_cell(self.cell_matrix)
            atoms.set_pbc(True)
        atoms.set_array("molecule", np.asarray(self.molecule, dtype=np.int32))
        atoms.set_array("label", np.array(self.labels, dtype=object))
        if np.any(self.charges):
            atoms.set_initial_charges(self.charges)
        return atoms


class _MoleculeRows:
    """Per molecule (arrays of length M): its first atom row and atom count, the
    fragment it copies, the operation and translation of its first atom, its formula."""

    def __init__(self, rows):
        self.molecule_first = rows["first"]
        self.molecule_count = rows["count"]
        self.molecule_fragment = rows["fragment"]
        self.molecule_operation = rows["operation"]
        self.molecule_translation = rows["translation"]
        self.formulas = rows["formulas"]


class Crystal(AtomTable):
    """The crystal as read: the asymmetric unit's atoms, the cell and the operators."""

    periodic = True

    def __init__(self, table):
        super().__init__(table, table["cell_matrix"])
        self.cell = table["cell"]
        self.crystal_system = table["crystal_system"]
        self.operations = table["operations"]


class Molecules(AtomTable, _MoleculeRows):
    """The whole molecules of the asymmetric unit, in the frame of the cell."""

    periodic = True

    def __init__(self, table, cell_matrix):
        AtomTable.__init__(self, table, cell_matrix)
        _MoleculeRows.__init__(self, table["molecules"])

    def census(self):
        """Number of molecules of each formula, formulas in order of first appearance."""
        counts = {}
        for f in self.formulas:
            counts[f] = counts.get(f, 0) + 1
        return counts


class Cluster(AtomTable, _MoleculeRows):
    """The cluster, central molecule first; positions from the cluster centre."""

    def __init__(self, table, core):
        AtomTable.__init__(self, table)
        _MoleculeRows.__init__(self, table["molecules"])
        self.centre = table["centre"]
        self.centre_cartesian = table["centre_cartesian"]
        self._core = core

    def write(self, path, format):
        """Writes this cluster as the executable would (format: see formats()).
        Returns the paths written (the ORCA point charges beside the input with CHRG 1)."""
        return self._core.write(_os.fspath(path), format)


class Dimer:
    """The central molecule and a touching neighbour, standing for all at the same distance."""

    __slots__ = ("number", "molecule", "fragment", "formula", "operation", "translation",
                 "symmetry_code", "distance", "multiplicity")

    def __init__(self, d):
        for k in self.__slots__:
            setattr(self, k, d[k])

    def __repr__(self):
        return (f"Dimer({self.number}, {self.formula!r}, {self.symmetry_code}, "
                f"{self.distance:.4f} A, x{self.multiplicity})")


def _number(value):
    return repr(float(value))


class Structure:
    """One crystal from a keyword input or a CIF. Each step runs once, on first use,
    without the interpreter lock."""

    def __init__(self, core, notes=(), cif_warnings=()):
        self._core = core
        self._derived = {}
        self.notes = list(notes)
        self._cif_warnings = [Warning("CIF", [w]) for w in cif_warnings]

    @classmethod
    def from_input(cls, text, name="input"):
        """From keyword input text; `name` plays the input file's name (the system name is
        the part before its first dot, and goes into the written files)."""
        return cls(_orbicutter.CoreStructure(text, name))

    @classmethod
    def from_file(cls, path, name=None):
        """From a keyword input file; the system name comes from the file's name."""
        path = _os.fspath(path)
        try:
            with open(path, "rb") as f:
                text = f.read().decode("utf-8", errors="surrogateescape")
        except OSError as e:
            raise Error(["Input file cannot be opened", f"{path}: {e.strerror}"], "input") from None
        return cls(_orbicutter.CoreStructure(text, name or _os.path.basename(path)))

    @classmethod
    def from_cif(cls, path, **options):
        """From a CIF, converted in memory with the converter's options as keywords:
        centre="largest", charges="none", min_occupancy=0.5, mtol=0.3, dmax=8.0,
        method="centre", dimers=True, tols=(t1, t2, t3, t4), nics=(d, m), no_xh=True,
        block="name", disorder_group=1, drop=["C1"], keyword=["LINE"],
        molecule_charge={"C9H14N": 1}, xyz="extended", orca=True, ..."""
        if not cif_available:
            raise Error(["The CIF converter was not built (gemmi not found)"], "cif")
        args = []
        for key, value in options.items():
            flag = "--" + key.replace("_", "-")
            if value is None or value is False:
                continue
            if value is True:
                args.append(flag)
            elif key == "molecule_charge" and isinstance(value, dict):
                for formula, charge in value.items():
                    args += [flag, f"{formula}={int(charge)}"]
            elif key == "drop" and not isinstance(value, str):
                args += [flag, ",".join(value)]
            elif key in ("tols", "nics"):
                args += [flag] + [str(v) for v in value]
            elif key in ("keyword", "molecule_charge") and not isinstance(value, str):
                for v in value:
                    args += [flag, str(v)]
            else:
                args += [flag, _number(value) if isinstance(value, float) else str(value)]
        text, notes, warnings, input_name = _orbicutter.cif_input(_os.fspath(path), args)
        return cls(_orbicutter.CoreStructure(text, input_name), notes, warnings)

    @property
    def name(self):
        """The input file name the structure stands for ("aspirin.inp")."""
        return self._core.name

    @property
    def input_text(self):
        """The keyword input text read (for a CIF: the one the converter would write)."""
        return self._core.text

    @property
    def options(self):
        return self._core.options()

    def crystal(self):
        return Crystal(self._core.crystal())

    def molecules(self):
        return Molecules(self._core.molecules(), self._core.cell_matrix())

    def cluster(self, radius=None, method=None):
        """The cluster. `radius` (angstrom) and `method` (1, 2, 3) stand for DMAX and CLUS;
        when given, the input is read again with them as its last lines."""
        return Cluster(*self._with(radius, method).cluster())

    def dimers(self):
        return [Dimer(d) for d in self._core.dimers()]

    @property
    def warnings(self):
        """The converter's warnings, then those of the steps run so far."""
        return self._cif_warnings + [Warning(p, m) for p, m in self._core.warnings()]

    def write(self, path, format):
        """Writes the cluster of the input's own DMAX and CLUS; see Cluster.write."""
        return self._core.write(_os.fspath(path), format)

    def _with(self, radius, method):
        core = self._core
        if radius is not None or method is not None:
            key = (None if radius is None else float(radius), None if method is None else int(method))
            if key not in self._derived:
                self._derived[key] = _derive(core, *key)
            core = self._derived[key]
        return _CoreCluster(core)


class _CoreCluster:
    def __init__(self, core):
        self.core = core

    def cluster(self):
        return self.core.cluster(), self.core


def _derive(core, radius, method):
    if radius is not None and not (radius > 0 and radius < float("inf")):
        raise Error([f"The cluster radius must be a positive distance, not {radius}"], "input")
    if method is not None and method not in (1, 2, 3):
        raise Error([f"The cluster method is 1, 2 or 3, not {method}"], "input")
    text = core.text
    if text and not text.endswith("\n"):
        text += "\n"
    # A keyword given again takes its last value: the lines go after everything.
    if radius is not None:
        text += f"DMAX {_number(radius)}\n"
    if method is not None:
        text += f"CLUS {method}\n"
    derived = _orbicutter.CoreStructure(text, core.name)
    got = derived.options()
    if (radius is not None and got["dmax"] != radius) or (method is not None and got["cluster_method"] != method):
        raise Error(["The input does not take another cluster radius or method"], "input")
    return derived
