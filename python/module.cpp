// The extension under the Python package: one crystal's steps as plain
// dictionaries of numpy arrays and lists; the package's classes are built on them.
#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>
#include <pybind11/stl.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <map>
#include <memory>
#include <mutex>
#include <numbers>
#include <string>
#include <vector>

#include "geometry/elements.hpp"
#include "orbicutter/orbicutter.hpp"
#ifdef ORBICUTTER_PYTHON_CIF
#include "cif_adapter.hpp"
#endif

namespace py = pybind11;
using namespace orbicutter;

namespace {

// An error box's lines without their arrows, as warnings() gives them.
std::vector<std::string> plain_lines(const std::vector<std::string>& box) {
  std::vector<std::string> lines;
  for (const std::string& m : box) {
    const bool framed = m.size() >= 9 && m.starts_with(" --> ") && m.ends_with(" <--");
    std::string l = framed ? m.substr(5, m.size() - 9) : m;
    while (!l.empty() && l.back() == ' ') l.pop_back();
    while (!l.empty() && l.front() == ' ') l.erase(0, 1);
    lines.push_back(l);
  }
  return lines;
}

// A (rows, 3) array filled from one member of each atom.
template <class T, class Get>
py::array_t<T> rows3(const std::vector<Atom>& atoms, Get get) {
  py::array_t<T> a(std::vector<py::ssize_t>{static_cast<py::ssize_t>(atoms.size()), 3});
  auto v = a.template mutable_unchecked<2>();
  for (py::ssize_t i = 0; i < static_cast<py::ssize_t>(atoms.size()); ++i) {
    const auto [x, y, z] = get(atoms[static_cast<std::size_t>(i)]);
    v(i, 0) = x;
    v(i, 1) = y;
    v(i, 2) = z;
  }
  return a;
}

template <class T, class Get>
py::array_t<T> column(const std::vector<Atom>& atoms, Get get) {
  py::array_t<T> a(static_cast<py::ssize_t>(atoms.size()));
  auto v = a.template mutable_unchecked<1>();
  for (py::ssize_t i = 0; i < static_cast<py::ssize_t>(atoms.size()); ++i) v(i) = get(atoms[static_cast<std::size_t>(i)]);
  return a;
}

py::dict atom_table(const std::vector<Atom>& atoms) {
  py::dict d;
  d["positions"] = rows3<double>(atoms, [](const Atom& a) { return std::array{a.cartesian.x, a.cartesian.y, a.cartesian.z}; });
  d["fractional"] =
      rows3<double>(atoms, [](const Atom& a) { return std::array{a.fractional.x, a.fractional.y, a.fractional.z}; });
  py::list elements(atoms.size()), labels(atoms.size());
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    elements[i] = py::str(atoms[i].element);
    labels[i] = py::str(atoms[i].label);
  }
  d["elements"] = elements;
  d["labels"] = labels;
  d["molecule"] = column<std::int32_t>(atoms, [](const Atom& a) { return a.molecule; });
  d["input_atom"] = column<std::int32_t>(atoms, [](const Atom& a) { return a.input_atom; });
  d["operation"] = column<std::int32_t>(atoms, [](const Atom& a) { return a.operation; });
  d["translation"] = rows3<std::int32_t>(
      atoms, [](const Atom& a) { return std::array{a.translation.a, a.translation.b, a.translation.c}; });
  d["charges"] = column<double>(atoms, [](const Atom& a) { return a.charge; });
  return d;
}

// One row per molecule: first atom, atom count, fragment, operation and translation.
py::dict molecule_table(const std::vector<Molecule>& molecules, const std::vector<Atom>& atoms) {
  const auto n = static_cast<py::ssize_t>(molecules.size());
  py::array_t<std::int32_t> first(n), count(n), fragment(n), operation(n), translation(std::vector<py::ssize_t>{n, 3});
  auto f = first.mutable_unchecked<1>();
  auto c = count.mutable_unchecked<1>();
  auto g = fragment.mutable_unchecked<1>();
  auto o = operation.mutable_unchecked<1>();
  auto t = translation.mutable_unchecked<2>();
  py::list formulas(molecules.size());
  for (py::ssize_t k = 0; k < n; ++k) {
    const Molecule& m = molecules[static_cast<std::size_t>(k)];
    f(k) = m.first;
    c(k) = m.count;
    g(k) = m.fragment;
    o(k) = m.operation;
    t(k, 0) = m.translation.a;
    t(k, 1) = m.translation.b;
    t(k, 2) = m.translation.c;
    std::map<std::string, int> elements;
    for (int i = m.first; i < m.first + m.count; ++i) ++elements[atoms[static_cast<std::size_t>(i)].element];
    formulas[static_cast<std::size_t>(k)] = py::str(hill_formula(elements));
  }
  py::dict d;
  d["first"] = first;
  d["count"] = count;
  d["fragment"] = fragment;
  d["operation"] = operation;
  d["translation"] = translation;
  d["formulas"] = formulas;
  return d;
}

// Rows a, b, c in the frame of the positions: x along a, y in the ab plane.
py::array_t<double> cell_matrix(const Cell& cell) {
  const double r = std::numbers::pi / 180;
  const double ca = std::cos(cell.alpha * r), cb = std::cos(cell.beta * r), cg = std::cos(cell.gamma * r),
               sg = std::sin(cell.gamma * r);
  const double cy = (ca - cb * cg) / sg;
  const double cz = std::sqrt(std::max(0.0, 1 - cb * cb - cy * cy));
  py::array_t<double> m(std::vector<py::ssize_t>{3, 3});
  auto v = m.mutable_unchecked<2>();
  const double rows[3][3] = {{cell.a, 0, 0}, {cell.b * cg, cell.b * sg, 0}, {cell.c * cb, cell.c * cy, cell.c * cz}};
  for (int i = 0; i < 3; ++i)
    for (int j = 0; j < 3; ++j) v(i, j) = rows[i][j];
  return m;
}

// One crystal and its steps. The mutex keeps two Python threads, which run
// without the interpreter lock while a step computes, out of the same tables.
class CoreStructure {
  std::mutex mutex_;  // one step at a time: the structure's tables are not shared between threads

  // A step of the structure without the interpreter lock, one thread at a time.
  template <class Work>
  auto step(Work&& work) {
    py::gil_scoped_release unlocked;
    const std::lock_guard lock(mutex_);
    return work();
  }

 public:
  CoreStructure(std::string text, std::string name) : text_(std::move(text)), name_(std::move(name)) {
    py::gil_scoped_release unlocked;
    structure_ = std::make_unique<Structure>(text_, LogStreams{}, name_);
  }

  const std::string& text() const { return text_; }
  const std::string& name() const { return name_; }

  py::dict options() const {
    const Options& o = structure_->options();
    py::dict d;
    d["dmax"] = o.dmax;
    d["cluster_method"] = o.cluster_method;
    d["charges"] = o.charges;
    d["dimers"] = o.dimers;
    d["standardise_xh"] = o.standardise_xh;
    d["bond_tolerance"] = o.bond_tolerance;
    d["contact_tolerance"] = o.contact_tolerance;
    d["metal_tolerance"] = o.metal_tolerance ? py::object(py::float_(o.metal_bond_tolerance)) : py::object(py::none());
    d["test_mode"] = o.test_mode;
    return d;
  }

  py::dict crystal() const {
    const Crystal& c = structure_->crystal();
    py::dict d = atom_table(c.atoms);
    d["cell"] = py::make_tuple(c.cell.a, c.cell.b, c.cell.c, c.cell.alpha, c.cell.beta, c.cell.gamma);
    d["cell_matrix"] = cell_matrix(c.cell);
    d["crystal_system"] = c.crystal_system;
    py::list ops;
    for (const SymmetryOperation& op : c.operations) ops.append(op.text);
    d["operations"] = ops;
    return d;
  }

  py::array_t<double> cell() const { return cell_matrix(structure_->crystal().cell); }

  py::dict molecules() {
    const Molecules* m = step([&] { return &structure_->molecules(); });
    py::dict d = atom_table(m->atoms);
    d["molecules"] = molecule_table(m->molecules, m->atoms);
    return d;
  }

  py::dict cluster() {
    const Cluster* c = step([&] { return &structure_->cluster(); });
    py::dict d = atom_table(c->atoms);
    d["molecules"] = molecule_table(c->molecules, c->atoms);
    d["centre"] = py::make_tuple(c->centre.x, c->centre.y, c->centre.z);
    d["centre_cartesian"] = py::make_tuple(c->centre_cartesian.x, c->centre_cartesian.y, c->centre_cartesian.z);
    return d;
  }

  py::list dimers() {
    const std::vector<Dimer>* list = step([&] { return &structure_->dimers(); });
    py::list out;
    for (const Dimer& x : *list) {
      py::dict d;
      d["number"] = x.number;
      d["molecule"] = x.molecule;
      d["fragment"] = x.fragment;
      d["formula"] = x.formula;
      d["operation"] = x.operation;
      d["translation"] = py::make_tuple(x.translation.a, x.translation.b, x.translation.c);
      d["symmetry_code"] = x.symmetry_code;
      d["distance"] = x.distance;
      d["multiplicity"] = x.multiplicity;
      out.append(d);
    }
    return out;
  }

  py::list warnings() {
    std::vector<Warning> list;
    {
      const std::lock_guard lock(mutex_);
      list = structure_->warnings();
    }
    py::list out;
    for (const Warning& w : list) out.append(py::make_tuple(w.phase, w.messages));
    return out;
  }

  std::vector<std::string> write(const std::string& path, const std::string& format) {
    return step([&] { return structure_->write(path, format); });
  }

 private:
  std::string text_, name_;
  std::unique_ptr<Structure> structure_;
};

// Kept for the life of the process: an object released after the interpreter
// has gone would crash the exit.
py::object& error_type() {
  static auto* type = new py::object(py::none());
  return *type;
}

// Sets the package's Error as the pending Python exception.
void raise(const std::vector<std::string>& lines, const char* origin) {
  if (error_type().is_none()) {
    PyErr_SetString(PyExc_RuntimeError, lines.empty() ? "orbicutter error" : lines.front().c_str());
    return;
  }
  py::object exc = error_type()(py::cast(lines), origin);
  PyErr_SetObject(error_type().ptr(), exc.ptr());
}

}  // namespace

PYBIND11_MODULE(_orbicutter, m) {
  m.doc() = "orbicutter's library: whole molecules, clusters and dimers of a molecular crystal";
  // The package's Error(Exception) with .messages; set by the package on import.
  m.def("_set_error_type", [](py::object type) { error_type() = std::move(type); });
  py::register_exception_translator([](std::exception_ptr p) {
    try {
      if (p) std::rethrow_exception(p);
    } catch (const Error& e) {
      raise(plain_lines(e.messages()), e.origin() == Error::Origin::input ? "input" : "run");
    }
  });

  py::class_<CoreStructure>(m, "CoreStructure")
      .def(py::init<std::string, std::string>(), py::arg("text"), py::arg("name"))
      .def_property_readonly("text", &CoreStructure::text)
      .def_property_readonly("name", &CoreStructure::name)
      .def("options", &CoreStructure::options)
      .def("crystal", &CoreStructure::crystal)
      .def("cell_matrix", &CoreStructure::cell)
      .def("molecules", &CoreStructure::molecules)
      .def("cluster", &CoreStructure::cluster)
      .def("dimers", &CoreStructure::dimers)
      .def("warnings", &CoreStructure::warnings)
      .def("write", &CoreStructure::write, py::arg("path"), py::arg("format"));

  m.def("version", &project_version);
  m.def("program_version", &version);
  m.def("formats", [] {
    std::vector<std::string> names;
    for (const OutputWriter& w : output_writers()) names.push_back(w.form == "extended" ? "extxyz" : w.option);
    return names;
  });

#ifdef ORBICUTTER_PYTHON_CIF
  m.attr("cif_available") = true;
  m.def("cif_input", [](const std::string& path, const std::vector<std::string>& args) {
    python::CifInput r;
    std::vector<std::string> failure;
    {
      py::gil_scoped_release unlocked;
      try {
        r = python::cif_input(path, args);
      } catch (const Error& e) {
        failure = e.messages().empty() ? std::vector<std::string>{e.what()} : plain_lines(e.messages());
      } catch (const std::exception& e) {  // the converter's one-line message
        failure = {e.what()};
      }
    }
    if (!failure.empty()) {
      raise(failure, "cif");
      throw py::error_already_set();
    }
    return py::make_tuple(r.input_text, r.notes, r.warnings, r.input_name);
  });
#else
  m.attr("cif_available") = false;
#endif
}
