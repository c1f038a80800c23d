// The keyword input file: reads every keyword and the blocks it announces into
// the run's state, then applies the end-of-input steps and writes the report.
#include <algorithm>
#include <cctype>
#include <cmath>
#include <string>
#include <string_view>
#include <vector>

#include "format/listread.hpp"
#include "input/checks.hpp"
#include "input/input.hpp"
#include "input/report.hpp"
#include "input/skipped_lines.hpp"
#include "model/stop.hpp"
#include "model/warning.hpp"
#include "model/output_switches.hpp"

namespace orbicutter {
namespace {

// Probe points per ring side beyond this are no NICS scan but a typing error;
// the ring phase would allocate and the Gaussian writer print every one of them.
constexpr long long max_nics_points = 100000;

// A file saved by some Windows editors starts with the UTF-8 byte-order mark.
constexpr std::string_view byte_order_mark = "\xEF\xBB\xBF";

// Every real value read must be a finite number: NaN or an infinity (from an
// exponent beyond the range) would run through every phase into the products.
bool finite_values(const std::vector<ReadItem>& items) {
  for (const auto& it : items) {
    if (it.kind == ReadItem::Kind::real4 && !std::isfinite(*static_cast<float*>(it.target))) return false;
    if (it.kind == ReadItem::Kind::real8 && !std::isfinite(*static_cast<double*>(it.target))) return false;
  }
  return true;
}

// A finite value that no crystal needs: the keyword's box and the limit.
[[noreturn]] void fail_beyond(const std::string& key, const std::string& limit) {
  fail_input({" --> Error while reading " + key + " option <--", message_line(limit)});
}
constexpr const char* fraction_limit = "Fractional coordinates must lie within -1000 and 1000";

// The first line that is neither blank nor a comment opens a CIF: a data block,
// a loop or a data name such as _cell_length_a.
bool starts_like_cif(std::string_view text) {
  while (!text.empty()) {
    const std::size_t end = std::min(text.find('\n'), text.size());
    std::string_view line = text.substr(0, end);
    text.remove_prefix(std::min(end + 1, text.size()));
    const std::size_t b = line.find_first_not_of(" \t\r");
    if (b == std::string_view::npos) continue;
    line.remove_prefix(b);
    if (line[0] == '#' || line[0] == '!') continue;
    std::string head(line.substr(0, 5));
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return head == "data_" || head == "loop_" ||
           (line.size() > 1 && line[0] == '_' && std::isalpha(static_cast<unsigned char>(line[1])) != 0);
  }
  return false;
}

// A CIF given instead of a keyword input: one line that says what to do, rather
// than every passed-over line and the missing atoms.
[[noreturn]] void fail_cif() { fail_input({message_line("this is a CIF: convert it with orbicutter-cif")}); }

// The four-letter keywords: the reader's own and the output files' switches.
std::vector<std::string> all_keywords() {
  std::vector<std::string> keys{"CLUS", "FRGM", "TEST", "VERB", "CHRG", "DMAX", "TOLS", "CELL", "STXH",
                                "EXBD", "SYMM", "NFRG", "GECR", "RING", "NICS", "DIMR", "CHOV", "MTOL"};
  for (const auto& p : output_switches()) keys.emplace_back(p.keyword);
  return keys;
}

class KeywordReader {
 public:
  KeywordReader(Run& run, const std::string& contents)
      : run_(run), in_(contents),
        lines_(static_cast<long long>(std::count(contents.begin(), contents.end(), '\n')) + 1),
        chars_(static_cast<long long>(contents.size())) {}

  void read_all();
  // The passed-over lines that look like input, in file order.
  const SkippedLines& skipped() const { return skipped_; }

 private:
  // Any read that does not complete (a bad value or the end of the file) is
  // the keyword's error.
  void need(ReadStatus s, const char* key) {
    if (s != ReadStatus::ok) fail_keyword(key);
  }
  // A read that must complete, and with finite reals.
  void take(const std::vector<ReadItem>& items, const char* key) {
    need(in_.read(items), key);
    if (!finite_values(items)) fail_keyword(key);
  }
  // The same for the keyword line, read again from its start.
  void retake(const std::vector<ReadItem>& items, const char* key) {
    in_.backspace();
    take(items, key);
  }
  // Announced lines each start a line of their own, so a count beyond the
  // number of lines in the file can never be satisfied: refuse it before any
  // table is sized by it.
  void need_count(long long n, const char* key) const {
    if (n < 0 || n > lines_) fail_keyword(key);
  }
  // Two-stage keywords: the switch k alone first; when it is on (k != 0, or
  // k == 1 with `only_one`), the line again for the count n behind it. A second
  // read that finds another switch means the values were spread over lines.
  bool switch_and_count(const char* key, int& k, bool only_one, int& n) {
    retake({item(word_, 4), item(k)}, key);
    if (only_one ? k != 1 : k == 0) return false;
    int again = k;
    retake({item(word_, 4), item(again), item(n)}, key);
    if (again != k) fail_keyword(key);
    return true;
  }
  void once(bool& seen, const char* key) {
    if (seen) fail_keyword(key);
    seen = true;
  }

  bool dispatch(const std::string& key);
  void note_skipped(std::size_t line);
  void read_switch(const char* key, int& target);
  void read_test();
  void read_chrg();
  void read_frgm();
  void read_dmax();
  void read_tols();
  void read_mtol();
  void read_cell();
  void read_stxh();
  void read_exbd();
  void read_symm();
  void read_nfrg();
  void read_gecr();
  void read_ring();
  void read_nics();

  Run& run_;
  ListReader in_;
  long long lines_;
  long long chars_;
  std::string word_ = std::string(4, ' ');  // the keyword item of a re-read, not used
  bool seen_symm_ = false, seen_nfrg_ = false, seen_ring_ = false, seen_stxh_ = false, seen_exbd_ = false;
  bool charges_read_ = false;
  std::vector<std::string> keywords_ = all_keywords();
  SkippedLines skipped_;
};

void KeywordReader::read_all() {
  for (;;) {
    std::string first(4, ' ');
    const ReadStatus s = in_.read({item(first, 4)});
    if (s == ReadStatus::end_of_file) break;
    // A line whose first item cannot be read would otherwise end the reading
    // silently and lose every keyword after it.
    if (s == ReadStatus::error) fail_input({" --> Error while reading keyword <--"});
    if (first[0] == '!') continue;
    in_.backspace();
    std::string key(4, ' ');
    if (in_.read({item(key, 4)}) != ReadStatus::ok) fail_input({" --> Error while reading keyword <--"});
    const std::size_t line = in_.line_number();
    if (!dispatch(key)) note_skipped(line);
  }
}

void KeywordReader::note_skipped(std::size_t line) {
  const std::string& text = in_.line_text(line);
  std::string reason = lookalike_reason(text, keywords_);
  if (reason.empty()) return;
  if (++skipped_.count <= SkippedLines::named) skipped_.first.push_back({line, quoted_line(text), std::move(reason)});
}

// Reads the keyword's values; false when the key is no keyword.
bool KeywordReader::dispatch(const std::string& key) {
  auto& kw = run_.kw;
  if (key == "CLUS") read_switch("CLUS", kw.kbuild);
  else if (key == "FRGM") read_frgm();
  else if (key == "TEST") read_test();
  else if (key == "VERB") read_switch("VERB", kw.kver);
  else if (key == "CHRG") read_chrg();
  else if (key == "DMAX") read_dmax();
  else if (key == "TOLS") read_tols();
  else if (key == "MTOL") read_mtol();
  else if (key == "CELL") read_cell();
  else if (key == "STXH") read_stxh();
  else if (key == "EXBD") read_exbd();
  else if (key == "SYMM") read_symm();
  else if (key == "NFRG") read_nfrg();
  else if (key == "GECR") read_gecr();
  else if (key == "RING") read_ring();
  else if (key == "NICS") read_nics();
  else if (key == "DIMR") read_switch("DIMR", kw.kdimer);
  else if (key == "CHOV") read_switch("CHOV", kw.kchover);
  else {
    // The switches of the output files; anything else is no keyword and its line is passed over.
    for (const auto& p : output_switches())
      if (key == p.keyword) {
        read_switch(p.keyword, kw.*p.flag);
        return true;
      }
    return false;
  }
  return true;
}

void KeywordReader::read_switch(const char* key, int& target) {
  retake({item(word_, 4), item(target)}, key);
}

void KeywordReader::read_test() {
  int k = run_.kw.ktestmol;
  retake({item(word_, 4), item(k)}, "TEST");
  // Any nonzero value is test mode and is kept as 1.
  run_.kw.ktestmol = k != 0 ? 1 : 0;
}

void KeywordReader::read_chrg() {
  int k = run_.kw.kcharge;
  retake({item(word_, 4), item(k)}, "CHRG");
  // Atoms already read without charges cannot be given charges afterwards.
  if (k == 1 && seen_nfrg_ && !charges_read_) fail_keyword("CHRG");
  run_.kw.kcharge = k;
}

void KeywordReader::read_frgm() {
  auto& kw = run_.kw;
  retake({item(word_, 4), item(kw.kfragsft), item(kw.kfragbld), item(kw.kfragmentize)}, "FRGM");
}

void KeywordReader::read_dmax() { retake({item(word_, 4), item(run_.geo.dmax)}, "DMAX"); }

void KeywordReader::read_tols() {
  auto& gv = run_.gv;
  retake({item(word_, 4), item(gv.tol1), item(gv.tol2), item(gv.tol3), item(gv.tol4)}, "TOLS");
}

// MTOL t: pairs with a metal are bonded up to the sum of the radii plus t.
void KeywordReader::read_mtol() {
  auto& gv = run_.gv;
  retake({item(word_, 4), item(gv.mtol)}, "MTOL");
  // Beyond 2 A every metal would bond to its second neighbours.
  if (!(gv.mtol >= 0 && gv.mtol <= 2)) fail_beyond("MTOL", "The tolerance for bonds to metals must lie within 0 and 2 A");
  run_.kw.kmtol = 1;
}

void KeywordReader::read_cell() {
  auto& g = run_.geo;
  retake({item(word_, 4), item(g.a), item(g.b), item(g.c), item(g.alpha), item(g.beta), item(g.gamma)}, "CELL");
}

// STXH k n: the count only when the switch is on; |n| manual entries follow
// when n is not 0.
void KeywordReader::read_stxh() {
  once(seen_stxh_, "STXH");
  auto& gv = run_.gv;
  int n = gv.nxh;
  if (!switch_and_count("STXH", run_.kw.kstxh, false, n)) return;
  const long long count = std::llabs(static_cast<long long>(n));
  need_count(count, "STXH");
  gv.nxh = n;
  if (n == 0) return;
  const int rows = static_cast<int>(count);
  gv.axh.allocate(rows, 2, 0);
  gv.dxh.allocate(rows, 0);
  for (int i = 1; i <= rows; ++i)
    take({item(gv.axh(i, 1)), item(gv.axh(i, 2)), item(gv.dxh(i))}, "STXH");
}

// EXBD k n: n pairs of element symbols when the switch is on.
void KeywordReader::read_exbd() {
  once(seen_exbd_, "EXBD");
  auto& gv = run_.gv;
  int n = gv.nex;
  if (!switch_and_count("EXBD", run_.kw.kexbd, false, n)) return;
  need_count(n, "EXBD");
  gv.nex = n;
  gv.aex.allocate(n, 2, std::string(3, ' '));
  for (int i = 1; i <= n; ++i) take({item(gv.aex(i, 1), 3), item(gv.aex(i, 2), 3)}, "EXBD");
}

// SYMM n f: n operators, as nine rotation elements and a translation (f = 1)
// or one line of text each.
void KeywordReader::read_symm() {
  once(seen_symm_, "SYMM");
  auto& gv = run_.gv;
  auto& geo = run_.geo;
  int n = gv.nsym;
  retake({item(word_, 4), item(n), item(run_.kw.ksymmf)}, "SYMM");
  // Every operator starts on a line of its own.
  need_count(n, "SYMM");
  gv.nsym = n;
  geo.rot.allocate(n, 3, 3, 0);
  geo.trans.allocate(n, 3, 0);
  for (int k = 1; k <= n; ++k) {
    if (run_.kw.ksymmf == 1) {
      take({item(geo.rot(k, 1, 1)), item(geo.rot(k, 1, 2)), item(geo.rot(k, 1, 3)), item(geo.rot(k, 2, 1)),
            item(geo.rot(k, 2, 2)), item(geo.rot(k, 2, 3)), item(geo.rot(k, 3, 1)), item(geo.rot(k, 3, 2)),
            item(geo.rot(k, 3, 3))},
           "SYMM");
      take({item(geo.trans(k, 1)), item(geo.trans(k, 2)), item(geo.trans(k, 3))}, "SYMM");
      for (int i = 1; i <= 3; ++i)
        if (std::abs(geo.trans(k, i)) > max_fraction)
          fail_beyond("SYMM", "Translations must lie within -1000 and 1000 (in fractions of the cell)");
    } else {
      std::string text(100, ' ');
      need(in_.read_line(text, 100), "SYMM");
      Mat3 r;
      Vec3 t;
      readsymmop(text, r, t);
      for (int i = 1; i <= 3; ++i) {
        for (int j = 1; j <= 3; ++j) geo.rot(k, i, j) = r(i, j);
        geo.trans(k, i) = t(i);
      }
    }
  }
  regularise_translations(run_);
}

// NFRG N F: F fragment blocks, a header (text, number, count) and count atom lines each.
void KeywordReader::read_nfrg() {
  once(seen_nfrg_, "NFRG");
  auto& gv = run_.gv;
  auto& at = run_.at;
  int nat = gv.nat, nfrag = gv.nfrag;
  retake({item(word_, 4), item(nat), item(nfrag)}, "NFRG");
  if (nat < 0 || nfrag < 0) fail_keyword("NFRG");
  if (nfrag > nat)
    fail_input({" --> Number of fragments exceeds total <--", " --> number of atoms (nfrag>nat)       <--"});
  // Each header and each atom starts a line of its own.
  need_count(static_cast<long long>(nat) + nfrag, "NFRG");
  gv.nat = nat;
  gv.nfrag = nfrag;
  const bool charged = run_.kw.kcharge == 1;
  at.fatns.allocate(nat, 2, std::string(3, ' '));
  at.finfo.allocate(nat, input_info_columns, 0);
  at.fgeom.allocate(nat, 3, 0);
  if (charged) at.fcharge.allocate(nat, 0);
  at.frag.allocate(nfrag, 2, 0);
  charges_read_ = charged;

  int t = 0;
  for (int m = 1; m <= nfrag; ++m) {
    std::string name(3, ' ');
    int number = 0, count = 0;
    take({item(name, 3), item(number), item(count)}, "NFRG");
    // The blocks must fill the N rows exactly, each with at least one atom: an
    // empty fragment has no centre to report or to build a cluster around.
    if (count < 1 || count > nat - t) fail_keyword("NFRG");
    at.frag(m, frag_id) = m;
    at.frag(m, frag_size) = count;
    for (int i = 1; i <= count; ++i) {
      ++t;
      if (charged) {
        take({item(at.fatns(t, 1), 3), item(at.fatns(t, 2), 3), item(at.fgeom(t, 1)), item(at.fgeom(t, 2)),
              item(at.fgeom(t, 3)), item(at.fcharge(t))},
             "NFRG");
      } else {
        take({item(at.fatns(t, 1), 3), item(at.fatns(t, 2), 3), item(at.fgeom(t, 1)), item(at.fgeom(t, 2)),
              item(at.fgeom(t, 3))},
             "NFRG");
      }
      for (int k = 1; k <= 3; ++k)
        if (std::abs(at.fgeom(t, k)) > max_fraction) fail_beyond("NFRG", fraction_limit);
      at.finfo(t, total_atom) = t;
      at.finfo(t, fragment_atom) = i;
      at.finfo(t, fragment_number) = number;
    }
  }
  if (t != nat) fail_keyword("NFRG");
}

void KeywordReader::read_gecr() {
  auto& geo = run_.geo;
  retake({item(word_, 4), item(run_.kw.kgecr)}, "GECR");
  if (run_.kw.kgecr == 1) {
    take({item(geo.geomcentfix(1)), item(geo.geomcentfix(2)), item(geo.geomcentfix(3))}, "GECR");
    for (int k = 1; k <= 3; ++k)
      if (std::abs(geo.geomcentfix(k)) > max_fraction) fail_beyond("GECR", fraction_limit);
  }
}

// RING k n s1 .. sn: with k = 1, n lines of atom numbers, line i holding si of them.
void KeywordReader::read_ring() {
  once(seen_ring_, "RING");
  auto& gv = run_.gv;
  auto& at = run_.at;
  int n = gv.nrings;
  if (!switch_and_count("RING", run_.kw.kring, true, n)) return;
  const int k = run_.kw.kring;
  need_count(n, "RING");

  std::vector<int> sizes(static_cast<std::size_t>(n), 0);
  int k3 = k, n3 = n;
  std::vector<ReadItem> items{item(word_, 4), item(k3), item(n3)};
  for (auto& s : sizes) items.push_back(item(s));
  retake(items, "RING");
  if (k3 != k || n3 != n) fail_keyword("RING");

  // A ring cannot list more atoms than the file has characters to write them,
  // and the ring table stays within a small multiple of the file's size.
  long long largest = 0;
  for (int s : sizes) {
    if (s < 0 || s > chars_) fail_keyword("RING");
    largest = std::max(largest, static_cast<long long>(s));
  }
  if (largest * n > 64 * chars_) fail_keyword("RING");

  gv.nrings = n;
  at.rings.allocate(n, 0);
  at.specrings.allocate(n, 0);
  at.ringatoms.allocate(n, static_cast<int>(largest), 0);
  for (int i = 1; i <= n; ++i) {
    at.rings(i) = sizes[static_cast<std::size_t>(i - 1)];
    std::vector<ReadItem> line;
    for (int j = 1; j <= at.rings(i); ++j) line.push_back(item(at.ringatoms(i, j)));
    take(line, "RING");
  }
}

// NICS k d m: the distance and the number of probe points when k = 1.
void KeywordReader::read_nics() {
  auto& gv = run_.gv;
  int k = run_.kw.knics;
  retake({item(word_, 4), item(k)}, "NICS");
  run_.kw.knics = k;
  if (k != 1) return;
  int k2 = k, m = gv.nnics;
  retake({item(word_, 4), item(k2), item(gv.dnics), item(m)}, "NICS");
  if (k2 != k || m < 0 || m > max_nics_points) fail_keyword("NICS");
  gv.nnics = m;
}

// The cell can be orthogonalised only with positive edges and angles that
// leave the volume factor positive. A flat angle (0 or 180 degrees) is refused
// as well: rounding can leave the volume factor a hair above 0 while the
// orthogonalisation divides by a sine that is 0 or nearly so.
bool usable_cell(const Geometry& g) {
  for (real e : {g.a, g.b, g.c})
    if (!(e > 0) || !std::isfinite(e)) return false;
  for (real angle : {g.alpha, g.beta, g.gamma})
    if (!(angle > 0 && angle / degree < 180)) return false;
  const real ca = std::cos(g.alpha), cb = std::cos(g.beta), cg = std::cos(g.gamma);
  const real v = (((1 - ca * ca) - cb * cb) - cg * cg) + ((2 * ca) * cb) * cg;
  return v > 0;
}

}  // namespace

void readinp(Run& run, const std::string& contents) {
  auto& gv = run.gv;
  auto& kw = run.kw;
  auto& geo = run.geo;
  auto& at = run.at;

  kw = Keywords{};
  gv.tol1 = sp(0.05f);
  gv.tol2 = sp(0.10f);
  gv.tol3 = sp(0.08f);
  gv.tol4 = 0;
  gv.mtol = 0;
  gv.nat = gv.nfrag = gv.nsym = gv.nrings = gv.nxh = gv.nex = gv.nnics = 0;
  gv.dnics = 0;
  geo.dmax = 0;
  geo.a = geo.b = geo.c = 0;
  geo.alpha = geo.beta = geo.gamma = 0;

  // A leading byte-order mark is no part of the first line. A file with CR
  // line ends alone reads as one long line: say so rather than miss its keywords.
  // A line or two added by another editor leaves the rest of the file as long lines.
  std::string_view text = contents;
  if (text.starts_with(byte_order_mark)) text.remove_prefix(byte_order_mark.size());
  std::size_t lf = 0, lone_cr = 0;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n') ++lf;
    if (text[i] == '\r' && (i + 1 == text.size() || text[i + 1] != '\n')) ++lone_cr;
  }
  if (lone_cr > lf)
    fail_input({message_line("The input file has CR line ends alone (old Mac text)"),
                message_line("Save it with LF or CR LF line ends")});

  // A keyword input may hold such a line among its remarks: only a file that
  // cannot be read as keyword input gets the CIF box.
  const bool cif = starts_like_cif(text);
  KeywordReader reader(run, std::string(text));
  try {
    reader.read_all();
  } catch (const Error&) {
    if (cif) fail_cif();
    throw;
  }

  // End-of-input steps.
  gv.ncells = 2;
  geo.alpha = geo.alpha * degree;
  geo.beta = geo.beta * degree;
  geo.gamma = geo.gamma * degree;
  if (kw.kring != 1) kw.knics = 0;
  if (gv.nrings == 0) {
    at.ringatoms.allocate(1, 1, 0);
    at.specrings.allocate(1, 0);
  }
  gv.natasym = gv.nat;

  // What no run can do without.
  if (gv.nat == 0 || !usable_cell(geo) || gv.nsym == 0) {
    if (cif) fail_cif();
    warn_skipped_lines(run, reader.skipped());
  }
  if (gv.nat == 0) fail_keyword("NFRG");
  if (!usable_cell(geo)) fail_keyword("CELL");
  if (gv.nsym == 0) fail_keyword("SYMM");
  for (real e : {geo.a, geo.b, geo.c})
    if (e > max_edge) fail_beyond("CELL", "Cell edges must not exceed 10000 A");
  check_operator_metric(run);
  const std::vector<int> renamed = clean_atom_names(run);

  write_input_report(run);
  input_warnings(run, reader.skipped(), renamed);
}

}  // namespace orbicutter
