// Random crystals for comparing the fast fragment searches with the literal ones:
// chains of plausibly bonded atoms, some loose atoms, oblique cells, positions
// well outside the unit cell and operators of several space groups.
#pragma once

#include <array>
#include <cmath>
#include <random>

#include "fragments/fragment_fixture.hpp"

namespace orbicutter::fragtest {

inline const std::vector<std::vector<std::string>>& operator_sets() {
  static const std::vector<std::vector<std::string>> sets = {
      {"x, y, z"},
      {"x, y, z", "-x, -y, -z"},
      {"x, y, z", "-x, y+1/2, -z+1/2", "-x, -y, -z", "x, -y+1/2, z+1/2"},
      {"x, y, z", "-x+1/2, -y, z+1/2", "-x, y+1/2, -z+1/2", "x+1/2, -y+1/2, -z"},
      {"x, y, z", "-x, y, -z+1/2", "x+1/2, y+1/2, z", "-x+1/2, y+1/2, -z+1/2", "-x, -y, -z", "x, -y, z+1/2",
       "-x+1/2, -y+1/2, -z", "x+1/2, -y+1/2, z+1/2"},
      {"x, y, z", "-y, x-y, z", "-x+y, -x, z"},
  };
  return sets;
}

struct RandomCrystal {
  Cell cell;
  std::vector<std::string> ops;
  std::vector<Atom> atoms;
};

// Fractional position of a Cartesian point (mt is upper triangular).
inline void to_fractional(const Mat3& mt, const double r[3], double f[3]) {
  f[2] = r[2] / mt(3, 3);
  f[1] = (r[1] - mt(2, 3) * f[2]) / mt(2, 2);
  f[0] = (r[0] - mt(1, 2) * f[1] - mt(1, 3) * f[2]) / mt(1, 1);
}

// Atoms for the cell and operators of rc, after those it has: chains of plausibly bonded atoms,
// some bonded to symmetry images of earlier ones, and loose atoms.
inline void add_random_atoms(std::mt19937& rng, int nat, RandomCrystal& rc) {
  std::uniform_real_distribution<double> u(0, 1);
  Crystal probe(rc.cell, rc.ops, {});
  const Mat3& mt = probe.run.geo.mt;
  static const char* const elements[] = {"C", "C", "C", "H", "H", "O", "N", "Cl", "Fe", "Xx", "D"};
  std::vector<std::array<double, 3>> cart;
  std::vector<Vec3> frac;
  for (const auto& a : rc.atoms) {
    Vec3 fv;
    fv(1) = static_cast<real>(a.x);
    fv(2) = static_cast<real>(a.y);
    fv(3) = static_cast<real>(a.z);
    const Vec3 c = cartesian(mt, fv);
    cart.push_back({c(1), c(2), c(3)});
    frac.push_back(fv);
  }
  for (int i = static_cast<int>(rc.atoms.size()); i < nat; ++i) {
    double r[3];
    if (i > 0 && u(rng) < 0.3) {
      // Bonded to a symmetry image of an earlier atom: molecules on symmetry
      // elements, and chains through the crystal.
      const Vec3& from = frac[rng() % frac.size()];
      const int s = 1 + static_cast<int>(rng() % rc.ops.size());
      const Vec3 p = image(probe.run, s, from, translation(static_cast<int>(rng() % 3) - 1, 0, 0));
      const Vec3 pc = cartesian(mt, p);
      const double len = 0.9 + 0.8 * u(rng);
      const double th = std::acos(2 * u(rng) - 1), ph = 6.283185307 * u(rng);
      r[0] = pc(1) + len * std::sin(th) * std::cos(ph);
      r[1] = pc(2) + len * std::sin(th) * std::sin(ph);
      r[2] = pc(3) + len * std::cos(th);
    } else if (i == 0 || u(rng) < 0.15) {
      // A loose atom anywhere from one cell below to one above.
      const double f[3] = {3 * u(rng) - 1, 3 * u(rng) - 1, 3 * u(rng) - 1};
      for (int c = 0; c < 3; ++c) r[c] = mt(c + 1, 1) * f[0] + mt(c + 1, 2) * f[1] + mt(c + 1, 3) * f[2];
    } else {
      const auto& from = cart[rng() % cart.size()];
      const double len = 0.9 + 0.8 * u(rng);
      const double th = std::acos(2 * u(rng) - 1), ph = 6.283185307 * u(rng);
      r[0] = from[0] + len * std::sin(th) * std::cos(ph);
      r[1] = from[1] + len * std::sin(th) * std::sin(ph);
      r[2] = from[2] + len * std::cos(th);
    }
    cart.push_back({r[0], r[1], r[2]});
    double f[3];
    to_fractional(mt, r, f);
    Vec3 fv;
    for (int c = 0; c < 3; ++c) fv.v[c] = static_cast<real>(f[c]);
    frac.push_back(fv);
    const std::string el = elements[rng() % (sizeof elements / sizeof *elements)];
    rc.atoms.push_back({el, label(el, i + 1), f[0], f[1], f[2]});
  }
}

inline RandomCrystal random_crystal(std::mt19937& rng, int nat, bool oblique) {
  std::uniform_real_distribution<double> u(0, 1);
  RandomCrystal rc;
  for (;;) {
    rc.cell = {4 + 8 * u(rng), 4 + 8 * u(rng), 4 + 8 * u(rng), 90, 90, 90};
    if (oblique) {
      rc.cell.alpha = 60 + 60 * u(rng);
      rc.cell.beta = 60 + 60 * u(rng);
      rc.cell.gamma = 60 + 60 * u(rng);
    } else if (u(rng) < 0.5) {
      rc.cell.beta = 90 + 25 * u(rng);
    }
    const double d = 0.017453292;
    const double ca = std::cos(rc.cell.alpha * d), cb = std::cos(rc.cell.beta * d), cg = std::cos(rc.cell.gamma * d);
    if (1 - ca * ca - cb * cb - cg * cg + 2 * ca * cb * cg > 0.05) break;
  }
  const auto& sets = operator_sets();
  rc.ops = sets[static_cast<std::size_t>(rng() % sets.size())];
  if (!oblique && rc.ops.size() == 3) rc.ops.resize(1);
  add_random_atoms(rng, nat, rc);
  return rc;
}

// Operators of high-symmetry groups with the cell they belong to: m-3m (48),
// m-3 with body centring (48) and 6/mmm (24).
struct SymmetricSetting {
  std::vector<std::string> ops;
  bool hexagonal = false;
};

inline std::vector<std::string> cubic_operators(bool all_permutations, bool body_centred) {
  const char* const orders[6][3] = {{"x", "y", "z"}, {"z", "x", "y"}, {"y", "z", "x"},
                                    {"y", "x", "z"}, {"x", "z", "y"}, {"z", "y", "x"}};
  std::vector<std::string> ops;
  for (int c = 0; c < (body_centred ? 2 : 1); ++c)
    for (int p = 0; p < (all_permutations ? 6 : 3); ++p)
      for (int signs = 0; signs < 8; ++signs) {
        std::string op;
        for (int i = 0; i < 3; ++i) {
          if (i > 0) op += ", ";
          if ((signs >> i) & 1) op += "-";
          op += orders[p][i];
          if (c == 1) op += "+1/2";
        }
        ops.push_back(op);
      }
  return ops;
}

inline const std::vector<SymmetricSetting>& symmetric_settings() {
  static const std::vector<SymmetricSetting> settings = {
      {cubic_operators(true, false), false},
      {cubic_operators(false, true), false},
      {{"x, y, z",    "-y, x-y, z",  "-x+y, -x, z", "-x, -y, z",   "y, -x+y, z",  "x-y, x, z",
        "y, x, -z",   "x-y, -y, -z", "-x, -x+y, -z", "-y, -x, -z", "-x+y, y, -z", "x, x-y, -z",
        "-x, -y, -z", "y, -x+y, -z", "x-y, x, -z",  "x, y, -z",    "-y, x-y, -z", "-x+y, -x, -z",
        "-y, -x, z",  "-x+y, y, z",  "x, x-y, z",   "y, x, z",     "x-y, -y, z",  "-x, -x+y, z"},
       true},
  };
  return settings;
}

// A crystal of one of the high-symmetry settings, in its own cell shape.
inline RandomCrystal random_symmetric_crystal(std::mt19937& rng, int nat) {
  std::uniform_real_distribution<double> u(0, 1);
  RandomCrystal rc;
  const auto& settings = symmetric_settings();
  const auto& setting = settings[static_cast<std::size_t>(rng() % settings.size())];
  const double a = 4 + 10 * u(rng);
  rc.cell = setting.hexagonal ? Cell{a, a, 3 + 9 * u(rng), 90, 90, 120} : Cell{a, a, a, 90, 90, 90};
  rc.ops = setting.ops;
  add_random_atoms(rng, nat, rc);
  return rc;
}

// A zigzag carbon chain along a short edge (2.2 to 2.8 angstrom) with nat - 2
// more atoms on it or loose; the chain runs through the whole crystal.
inline RandomCrystal random_polymer_crystal(std::mt19937& rng, int nat) {
  std::uniform_real_distribution<double> u(0, 1);
  RandomCrystal rc;
  const double a = 2.2 + 0.6 * u(rng), b = 4 + 6 * u(rng);
  rc.cell = {a, b, 4 + 6 * u(rng), 90, 90 + 20 * u(rng), 90};
  const auto& sets = operator_sets();
  rc.ops = sets[static_cast<std::size_t>(rng() % (sets.size() - 1))];
  const double x = u(rng), y = u(rng), z = u(rng);
  rc.atoms.push_back({"C", "C1", x, y, z});
  rc.atoms.push_back({"C", "C2", x + 0.5, y + 0.75 / b, z});
  add_random_atoms(rng, nat, rc);
  return rc;
}

}  // namespace orbicutter::fragtest
