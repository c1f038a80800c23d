// The symmetry operators checked against the cell and against each other.
// Compared in 8 bytes in both builds, so that both give the same messages.
#include <array>
#include <cmath>
#include <unordered_map>

#include "geometry/geometry.hpp"
#include "input/checks.hpp"
#include "input/input.hpp"
#include "model/stop.hpp"
#include "model/warning.hpp"

namespace orbicutter {
namespace {

// Operators read from text are exact; numeric ones and the thirds of the
// translation regularisation are not, so products are compared this loosely.
constexpr double loose = 1e-3;

struct Operation {
  Mat3T<double> r;
  Vec3T<double> t;
};

Operation operation(const Run& run, int k) {
  Operation op;
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) op.r(i, j) = run.geo.rot(k, i, j);
    op.t(i) = run.geo.trans(k, i);
  }
  return op;
}

// x -> a(b(x)): rotation a.r * b.r, translation a.r * b.t + a.t.
Operation after(const Operation& a, const Operation& b) {
  Operation p;
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j)
      for (int k = 1; k <= 3; ++k) p.r(i, j) += a.r(i, k) * b.r(k, j);
    for (int k = 1; k <= 3; ++k) p.t(i) += a.r(i, k) * b.t(k);
    p.t(i) += a.t(i);
  }
  return p;
}

// The translation folded into [0, 1), as two operations equal modulo whole cells share it.
double folded(double t) { return t - std::floor(t); }

bool same_modulo_cells(const Operation& a, const Operation& b) {
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j)
      if (std::abs(a.r(i, j) - b.r(i, j)) > loose) return false;
    const double d = a.t(i) - b.t(i);
    if (std::abs(d - std::round(d)) > loose) return false;
  }
  return true;
}

bool is_identity(const Operation& op) {
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j)
      if (std::abs(op.r(i, j) - (i == j ? 1.0 : 0.0)) > loose) return false;
    if (std::abs(op.t(i)) > loose) return false;
  }
  return true;
}

bool is_identity_modulo_cells(const Operation& op) {
  Operation identity;
  identity.r(1, 1) = identity.r(2, 2) = identity.r(3, 3) = 1;
  return same_modulo_cells(op, identity);
}

std::string text_of(const Operation& op, bool fold) {
  Mat3 r;
  Vec3 t;
  for (int i = 1; i <= 3; ++i) {
    for (int j = 1; j <= 3; ++j) r(i, j) = static_cast<real>(op.r(i, j));
    const double ti = fold ? folded(op.t(i)) : op.t(i);
    t(i) = static_cast<real>(ti > 1 - loose ? 0 : ti);
  }
  return trim(writesymmop(r, t));
}

std::string named(int k, const Operation& op) { return digits(k) + " (" + text_of(op, false) + ")"; }

// Operations modulo whole cells, found by their rounded rotation and the
// hundredth of the cell their folded translation falls in; a lookup tries the
// neighbouring hundredths too, so a translation on a boundary is not missed.
class OperationSet {
 public:
  void add(const Operation& op, int number) { buckets_[key(op, 0, 0, 0)].push_back({op, number}); }

  // The number of an operation equal to op modulo whole cells (one of them, should
  // several lie within the tolerance), 0 when none.
  int find(const Operation& op) const {
    // The rotation part of the key once; the neighbouring hundredths shift only its last three.
    // The operation's own bin first: there an operation of a group is nearly always found.
    const Key base = key(op, 0, 0, 0);
    if (const int n = find_in(base, op)) return n;
    for (int dx = -1; dx <= 1; ++dx)
      for (int dy = -1; dy <= 1; ++dy)
        for (int dz = -1; dz <= 1; ++dz) {
          if (dx == 0 && dy == 0 && dz == 0) continue;
          Key k = base;
          const int shift[3] = {dx, dy, dz};
          for (std::size_t i = 0; i < 3; ++i) k[9 + i] = ((k[9 + i] + shift[i]) % 100 + 100) % 100;
          if (const int n = find_in(k, op)) return n;
        }
    return 0;
  }

 private:
  using Key = std::array<long long, 12>;
  int find_in(const Key& k, const Operation& op) const {
    const auto it = buckets_.find(k);
    if (it != buckets_.end())
      for (const auto& [other, number] : it->second)
        if (same_modulo_cells(op, other)) return number;
    return 0;
  }
  struct KeyHash {
    std::size_t operator()(const Key& k) const {
      std::size_t h = 0;
      for (long long v : k) h = h * 1000003u + static_cast<std::size_t>(v);
      return h;
    }
  };
  static Key key(const Operation& op, int dx, int dy, int dz) {
    Key k{};
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) k[static_cast<std::size_t>(3 * (i - 1) + j - 1)] = std::llround(op.r(i, j));
    const int shift[3] = {dx, dy, dz};
    for (int i = 1; i <= 3; ++i) {
      const long long bin = static_cast<long long>(std::floor(folded(op.t(i)) * 100)) + shift[i - 1];
      k[static_cast<std::size_t>(8 + i)] = ((bin % 100) + 100) % 100;
    }
    return k;
  }
  std::unordered_map<Key, std::vector<std::pair<Operation, int>>, KeyHash> buckets_;
};

// Beyond this many different operations (a space group has at most 192 in
// its conventional cell) the products are not checked: their number grows with
// the square.
constexpr int most_checked = 384;
// The missing products named in the box.
constexpr std::size_t most_named = 10;

}  // namespace

void check_operator_metric(const Run& run) {
  const Mat3 gr = metric_tensor(run.geo);
  double largest = 0;
  for (int i = 1; i <= 3; ++i)
    for (int j = 1; j <= 3; ++j) largest = std::max(largest, std::abs(static_cast<double>(gr(i, j))));
  std::vector<std::string> wrong;
  for (int k = 1; k <= run.gv.nsym; ++k) {
    const Operation op = operation(run, k);
    const auto& r = op.r;
    double worst = 0;
    for (int i = 1; i <= 3; ++i)
      for (int j = 1; j <= 3; ++j) {
        double m = 0;  // (R^T G R)(i, j)
        for (int p = 1; p <= 3; ++p)
          for (int q = 1; q <= 3; ++q) m += r(p, i) * static_cast<double>(gr(p, q)) * r(q, j);
        worst = std::max(worst, std::abs(m - static_cast<double>(gr(i, j))));
      }
    const double det = r(1, 1) * (r(2, 2) * r(3, 3) - r(2, 3) * r(3, 2)) -
                       r(1, 2) * (r(2, 1) * r(3, 3) - r(2, 3) * r(3, 1)) +
                       r(1, 3) * (r(2, 1) * r(3, 2) - r(2, 2) * r(3, 1));
    if (!(worst <= loose * largest) || !(std::abs(std::abs(det) - 1) <= loose)) wrong.push_back(named(k, op));
  }
  if (wrong.empty()) return;
  fail_input({message_line("Not a symmetry of this cell: operation" + std::string(wrong.size() > 1 ? "s " : " ") +
                           name_list(wrong, 10, "; ")),
              message_line("A rotation must keep the lengths and angles of the cell: check SYMM and CELL")});
}

void operator_warnings(Run& run) {
  const int n = run.gv.nsym;
  std::vector<Operation> ops;
  int identity = 0;
  for (int k = 1; k <= n; ++k) {
    ops.push_back(operation(run, k));
    if (identity == 0 && is_identity(ops.back())) identity = k;
  }
  if (identity == 0)
    warn(run.sink, run.diag, "READINP",
         {message_line("No symmetry operation is the identity x, y, z"),
          message_line("Give x, y, z as operation 1 of SYMM")});
  else if (identity != 1)
    warn(run.sink, run.diag, "READINP",
         {message_line("Symmetry operation 1 (" + text_of(ops[0], false) + ") is not the identity; operation " +
                       digits(identity) + " is"),
          message_line("Give x, y, z as operation 1 of SYMM")});

  // Closure: every product of two operations is one of them, modulo whole cells.
  OperationSet listed;
  std::vector<int> distinct;  // the first of each operation repeated modulo cells
  for (int k = 1; k <= n; ++k)
    if (listed.find(ops[static_cast<std::size_t>(k - 1)]) == 0) {
      listed.add(ops[static_cast<std::size_t>(k - 1)], k);
      distinct.push_back(k);
    }
  if (static_cast<int>(distinct.size()) > most_checked) return;
  OperationSet missing;
  std::vector<std::string> named_missing;
  for (int a : distinct)
    for (int b : distinct) {
      const Operation p = after(ops[static_cast<std::size_t>(a - 1)], ops[static_cast<std::size_t>(b - 1)]);
      // Without any identity its own box has said so; the products need not repeat it.
      if (listed.find(p) != 0 || missing.find(p) != 0 || (identity == 0 && is_identity_modulo_cells(p))) continue;
      missing.add(p, 1);
      // Only the first are written out; the others are counted.
      named_missing.push_back(named_missing.size() < most_named
                                  ? text_of(p, true) + " (" + digits(a) + " after " + digits(b) + ")"
                                  : std::string());
    }
  if (named_missing.empty()) return;
  warn(run.sink, run.diag, "READINP",
       {message_line(operations_not_closed),
        message_line("Missing: " + name_list(named_missing, most_named, "; ")),
        message_line("Check SYMM against the operations of the space group: an operation or a sign may be missing")});
}

}  // namespace orbicutter
