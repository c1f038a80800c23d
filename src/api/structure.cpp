// The library's steps over one run context, and the plain results read from its tables.
#include "orbicutter/structure.hpp"

#include <array>
#include <exception>
#include <filesystem>
#include <map>
#include <optional>
#include <ostream>
#include <sstream>

#include "api/whole_files.hpp"
#include "cluster/cluster.hpp"
#include "format/log_forms.hpp"
#include "pipeline/pipeline.hpp"
#include "geometry/elements.hpp"
#include "geometry/geometry.hpp"
#include "input/input.hpp"
#include "model/stop.hpp"
#include "orbicutter/version.hpp"
#include "model/output_switches.hpp"
#include "writers/products.hpp"

namespace orbicutter {
namespace {

Fractional fractional(const Vec3& v) { return {v(1), v(2), v(3)}; }
Cartesian cartesian_of(const Vec3& v) { return {v(1), v(2), v(3)}; }

Options options_of(const Run& run) {
  const auto& kw = run.kw;
  const auto& gv = run.gv;
  Options o;
  o.dmax = run.geo.dmax;
  o.cluster_method = kw.kbuild;
  o.fragment_shift = kw.kfragsft == 1;
  o.fragment_completion = kw.kfragbld == 1;
  o.fragment_search = kw.kfragmentize == 1;
  o.bond_tolerance = gv.tol1;
  o.metal_tolerance = run.kw.kmtol == 1;
  o.metal_bond_tolerance = gv.mtol;
  o.ring_tolerance = gv.tol2;
  o.group_tolerance = gv.tol3;
  o.contact_tolerance = gv.tol4;
  o.charges = kw.kcharge == 1;
  o.verbosity = kw.kver;
  o.test_mode = kw.ktestmol != 0;
  o.standardise_xh = kw.kstxh == 1;
  o.manual_xh = gv.nxh;
  o.exclude_bonds = kw.kexbd == 1;
  o.rings = kw.kring == 1;
  o.nics = kw.knics == 1;
  o.nics_distance = gv.dnics;
  o.nics_points = gv.nnics;
  o.fixed_centre = kw.kgecr == 1;
  o.centre = fractional(run.geo.geomcentfix);
  o.dimers = kw.kdimer == 1;
  o.xyz_file = kw.kxyz;
  o.shelx_file = kw.kshelx;
  o.crystal_file = kw.kcrystal;
  o.gaussian_file = kw.kgaussian;
  o.adf_file = kw.kadf;
  o.orca_file = kw.korca;
  return o;
}

// Row i of one of the atom table sets: names, description, coordinates.
template <class Name>
Atom atom_of(const Run& run, const Table<Name>& atns, const Table<int>& info, const Table<real>& geom, int i) {
  Atom a;
  a.element = trim(atns(i, 1));
  a.label = trim(atns(i, 2));
  a.fractional = fractional(row3(geom, i));
  a.cartesian = cartesian_of(cartesian(run.geo.mt, row3(geom, i)));
  a.input_atom = info(i, total_atom);
  a.molecule = info(i, fragment_number);
  if (info.cols() >= translation_c) {
    a.operation = info(i, symmetry_operation);
    a.translation = {info(i, translation_a), info(i, translation_b), info(i, translation_c)};
  }
  return a;
}

Crystal crystal_of(const Run& run) {
  const auto& geo = run.geo;
  const auto& at = run.at;
  Crystal c;
  c.cell = {geo.a, geo.b, geo.c, geo.alpha / degree, geo.beta / degree, geo.gamma / degree};
  c.crystal_system = trim(run.gv.sysname);
  for (int s = 1; s <= run.gv.nsym; ++s) {
    SymmetryOperation op;
    op.number = s;
    op.text = trim(writesymmop(run, s));
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) op.rotation[i - 1][j - 1] = geo.rot(s, i, j);
    op.translation = {geo.trans(s, 1), geo.trans(s, 2), geo.trans(s, 3)};
    c.operations.push_back(op);
  }
  for (int i = 1; i <= run.gv.nat; ++i) {
    Atom a = atom_of(run, at.fatns, at.finfo, at.fgeom, i);
    if (run.kw.kcharge == 1) a.charge = at.fcharge(i);
    c.atoms.push_back(a);
  }
  return c;
}

// The molecules of an atom list: a new one wherever the pair (fragment, copy number) changes.
std::vector<Molecule> molecules_of(const std::vector<Atom>& atoms, const std::vector<int>& copy) {
  std::vector<Molecule> list;
  for (std::size_t i = 0; i < atoms.size(); ++i) {
    if (i == 0 || atoms[i].molecule != atoms[i - 1].molecule || copy[i] != copy[i - 1]) {
      Molecule m;
      m.number = static_cast<int>(list.size()) + 1;
      m.fragment = atoms[i].molecule;
      m.first = static_cast<int>(i);
      m.operation = atoms[i].operation;
      m.translation = atoms[i].translation;
      list.push_back(m);
    }
    ++list.back().count;
  }
  return list;
}

Molecules molecules_from(const Run& run) {
  const auto& at = run.at;
  Molecules result;
  for (int i = 1; i <= run.gv.nat; ++i) {
    Atom a = atom_of(run, at.allatns, at.allinfo, at.allgeom, i);
    if (run.kw.kcharge == 1) a.charge = at.allcharge(i);
    result.atoms.push_back(a);
  }
  result.molecules = molecules_of(result.atoms, std::vector<int>(result.atoms.size(), 0));
  result.bonds.resize(result.atoms.size());
  for (int i = 1; i <= run.gv.nat && i <= at.allbonds.rows(); ++i)
    for (int c = 1; c <= at.allbonds.cols() && at.allbonds(i, c) != 0; ++c)
      result.bonds[static_cast<std::size_t>(i - 1)].push_back(at.allbonds(i, c) - 1);
  return result;
}

// The cluster's atoms as plain atoms: Cartesian positions from the cluster centre.
Cluster cluster_from(const Run& run, const ClusterModel& model) {
  Cluster result;
  result.centre = fractional(model.centre);
  result.centre_cartesian = cartesian_of(model.centre_cartesian);
  std::vector<int> copy;
  for (int i = 1; i <= model.size(); ++i) {
    const ClusterAtom& c = model.atom(i);
    Atom a;
    a.element = trim(c.element);
    a.label = trim(c.label);
    a.fractional = fractional(c.position);
    a.cartesian = cartesian_of(centred_cartesian(run.geo.mt, model.centre, c.position));
    a.input_atom = c.input_atom;
    a.molecule = c.fragment;
    a.operation = c.operation;
    a.translation = {c.cell[0], c.cell[1], c.cell[2]};
    if (run.kw.kcharge == 1) a.charge = c.charge;
    result.atoms.push_back(a);
    copy.push_back(c.copy);
  }
  result.molecules = molecules_of(result.atoms, copy);
  // Atoms name their molecule by its number in the cluster.
  for (const auto& m : result.molecules)
    for (int k = m.first; k < m.first + m.count; ++k) result.atoms[static_cast<std::size_t>(k)].molecule = m.number;
  return result;
}

std::vector<Dimer> dimers_from(const ClusterModel& model, const std::vector<DimerEntry>& entries) {
  std::vector<Dimer> result;
  for (const DimerEntry& e : entries) {
    const ClusterAtom& first = model.atom(e.first);
    Dimer d;
    d.number = e.number;
    d.molecule = e.number + 1;  // the central molecule is number 1
    d.operation = first.operation;
    d.translation = {first.cell[0], first.cell[1], first.cell[2]};
    d.symmetry_code =
        format_record("(5I1)", std::array<Value, 5>{Value(d.translation.a + 5), Value(d.translation.b + 5),
                                                    Value(d.translation.c + 5), Value(0), Value(d.operation)});
    d.fragment = first.fragment;
    std::map<std::string, int> count;
    for (int i = e.first; i < e.first + e.atoms; ++i) ++count[trim(model.atom(i).element)];
    d.formula = hill_formula(count);
    d.distance = e.distance;
    d.multiplicity = e.multiplicity;
    result.push_back(d);
  }
  return result;
}

}  // namespace

struct Structure::State {
  Run run;
  Options options;
  Crystal crystal;
  std::optional<Molecules> molecules;
  std::optional<ClusterModel> model;  // the cluster stage's result, which the dimers read
  std::optional<Cluster> cluster;
  std::optional<std::vector<Dimer>> dimers;
  std::exception_ptr failure;

  // A step runs once; after a failure the tables are half filled, so nothing runs again.
  template <class Work>
  void step(Work&& work) {
    if (failure) std::rethrow_exception(failure);
    try {
      work();
    } catch (...) {
      failure = std::current_exception();
      throw;
    }
  }
};

Structure::Structure(std::string_view input, LogStreams logs, std::string_view name) : state_(new State) {
  Run& run = state_->run;
  if (logs.log) run.sink.log = Unit::memory(*logs.log);
  if (logs.screen) run.sink.out = Unit::memory(*logs.screen);
  run.gv.inpf = trim(std::string(name));
  run.gv.outf = system_name(run.gv.inpf);
  read_crystal(run, std::string(input));
  run.geo.mt = orthogonalisation(run.geo);
  run.geo.g = metric_tensor(run.geo);
  state_->options = options_of(run);
  state_->crystal = crystal_of(run);
}

Structure::~Structure() = default;
Structure::Structure(Structure&&) noexcept = default;
Structure& Structure::operator=(Structure&&) noexcept = default;

const Options& Structure::options() const { return state_->options; }
const Crystal& Structure::crystal() const { return state_->crystal; }

const Molecules& Structure::molecules() {
  if (!state_->molecules)
    state_->step([&] {
      build_molecules(state_->run);
      state_->molecules = molecules_from(state_->run);
    });
  return *state_->molecules;
}

const Cluster& Structure::cluster() {
  molecules();
  if (!state_->cluster)
    state_->step([&] {
      cluster_head(state_->run);
      state_->model = build_cluster(state_->run);
      state_->cluster = cluster_from(state_->run, *state_->model);
    });
  return *state_->cluster;
}

const std::vector<Dimer>& Structure::dimers() {
  cluster();
  if (!state_->dimers)
    state_->step([&] {
      state_->dimers = dimers_from(*state_->model, find_dimers(state_->run, *state_->model));
    });
  return *state_->dimers;
}

std::vector<Warning> Structure::warnings() const {
  std::vector<Warning> list;
  for (const WarningBox& box : state_->run.diag.warnings) {
    Warning w{box.phase, {}};
    for (const std::string& m : box.messages) {
      const bool framed = m.size() >= 9 && m.starts_with(" --> ") && m.ends_with(" <--");
      w.messages.push_back(framed ? trim(m.substr(5, m.size() - 9)) : m);
    }
    list.push_back(w);
  }
  return list;
}

std::vector<std::string> Structure::write(const std::string& path, const std::string& option) {
  // "extxyz" names the extended form of the XYZ switch; every other name is a row's own.
  const std::string wanted = option == "extxyz" ? "xyz" : option;
  const char* form = option == "extxyz" ? "extended" : option == "xyz" ? "plain" : nullptr;
  const OutputSwitch* product = nullptr;
  for (const OutputSwitch& p : output_switches())
    if (p.option != nullptr && wanted == p.option && (form == nullptr || (p.form != nullptr && p.form == std::string(form))))
      product = &p;
  if (product == nullptr) {
    std::string known;
    for (const OutputWriter& w : output_writers()) known += " " + (w.form == "extended" ? std::string("extxyz") : w.option);
    fail({" --> Unknown output format " + option + " <--", " --> Known:" + known + " <--"});
  }
  cluster();
  // No step: a file that cannot be written leaves the results as they were.
  const Run& run = state_->run;
  const WriterInput in = writer_input(run, *state_->model);
  const ProductWriter writer = writer_of(*product);
  std::vector<std::string> written{path};
  std::vector<std::string> texts(1);
  {
    std::ostringstream text;
    Unit unit = Unit::memory(text);
    writer.write(in, unit);
    unit.close();
    texts[0] = text.str();
  }
  // Asked for by this call, whatever the input's switch says.
  if (product->companion != nullptr && product->companion_wanted(run.kw)) {
    // The first file names its companion without a folder: it goes beside it.
    const std::string name = std::filesystem::path(companion_file(*product, run.gv.outf)).filename().string();
    written.push_back((std::filesystem::path(path).parent_path() / name).string());
    std::ostringstream text;
    Unit unit = Unit::memory(text);
    writer.write_companion(in, unit);
    unit.close();
    texts.push_back(text.str());
  }
  write_files(run.gv.inpf, written, texts);
  return written;
}

std::string version() { return program_version; }

std::string project_version() { return ORBICUTTER_VERSION; }

int real_bytes() { return static_cast<int>(sizeof(real)); }

std::vector<OutputWriter> output_writers() {
  std::vector<OutputWriter> list;
  for (const OutputSwitch& p : output_switches())
    list.push_back({p.keyword, p.value, p.option, p.form != nullptr ? p.form : "", p.suffix,
                    p.companion != nullptr ? p.companion : "", p.about});
  return list;
}

}  // namespace orbicutter
