// The keyword reader on small files, in process: the state it leaves behind.
#include <gtest/gtest.h>

#include <memory>
#include <random>

#include "input/input.hpp"
#include "model/stop.hpp"
#include "support/crystal.hpp"
#include "support/folder.hpp"
#include "support/runner.hpp"

using namespace orbicutter;
using orbicutter::testing::MemoryRun;
using orbicutter::testing::read_file;
using orbicutter::testing::ScratchFolder;

namespace {

const std::string cell = "CELL 10.0 11.0 12.0 90.0 95.0 90.0\n";
const std::string symm = "SYMM 2 0\nx, y, z\n-x, -y, -z\n";
const std::string nfrg = "NFRG 2 1\nMOL 1 2\nC C1 0.10 0.20 0.30\nO O1 0.20 0.20 0.30\n";
const std::string essentials = cell + symm + nfrg;

// Verbosity stays 0 here: the echo file would land in the working folder.
std::unique_ptr<MemoryRun> read(const std::string& text) {
  auto r = std::make_unique<MemoryRun>();
  r->run.gv.inpf = "mol.inp";
  r->run.gv.outf = "mol";
  readinp(r->run, text);
  return r;
}

// The message lines of the box a file stops with ("" when it reads).
std::string failure(const std::string& text) {
  try {
    read(text);
  } catch (const Error& e) {
    EXPECT_EQ(e.origin(), Error::Origin::input);
    std::string m;
    for (const auto& line : e.messages()) m += line;
    return m;
  }
  return "";
}

std::string option_error(const std::string& key) { return " --> Error while reading " + key + " option <--"; }

TEST(ReadInp, DefaultsAndEndOfInputSteps) {
  const auto r = read("! remark\n\n   \n" + essentials);
  const auto& kw = r->run.kw;
  const auto& gv = r->run.gv;
  const auto& geo = r->run.geo;
  EXPECT_EQ(kw.kbuild, 1);
  EXPECT_EQ(kw.kfragsft, 1);
  EXPECT_EQ(kw.kfragbld, 0);
  EXPECT_EQ(kw.kfragmentize, 1);
  EXPECT_EQ(kw.kxyz, 1);
  EXPECT_EQ(kw.kstxh, 1);
  EXPECT_EQ(kw.kver + kw.ktestmol + kw.kcharge + kw.kadf + kw.kgaussian + kw.kshelx + kw.kcrystal + kw.kgecr +
                kw.kexbd + kw.kring + kw.knics + kw.kdimer + kw.kchover + kw.ksymmf,
            0);
  EXPECT_EQ(gv.tol1, static_cast<real>(sp(0.05f)));
  EXPECT_EQ(gv.tol2, static_cast<real>(sp(0.10f)));
  EXPECT_EQ(gv.tol3, static_cast<real>(sp(0.08f)));
#ifndef ORBICUTTER_SINGLE
  EXPECT_EQ(gv.tol1, 0.05000000074505806);
  EXPECT_EQ(gv.tol2, 0.10000000149011612);
  EXPECT_EQ(gv.tol3, 0.07999999821186066);
#endif
  EXPECT_EQ(gv.tol4, 0);
  EXPECT_EQ(geo.dmax, 0);
  EXPECT_EQ(gv.ncells, 2);
  EXPECT_EQ(gv.nat, 2);
  EXPECT_EQ(gv.natasym, 2);
  EXPECT_EQ(gv.nxh, 0);
  EXPECT_EQ(gv.nex, 0);
  // Angles in radians: degrees times the single-precision factor.
  EXPECT_EQ(geo.alpha, static_cast<real>(90.0) * degree);
  EXPECT_EQ(geo.beta, static_cast<real>(95.0) * degree);
  // No ring given: the placeholder tables.
  EXPECT_EQ(gv.nrings, 0);
  ASSERT_EQ(r->run.at.ringatoms.rows(), 1);
  ASSERT_EQ(r->run.at.ringatoms.cols(), 1);
  EXPECT_EQ(r->run.at.ringatoms(1, 1), 0);
  ASSERT_EQ(r->run.at.specrings.size(), 1);
  EXPECT_EQ(r->run.at.specrings(1), 0);
  EXPECT_FALSE(r->run.at.fcharge.allocated());
  // No verbosity or fragment-search warning at verbosity 0 with one fragment;
  // only the one for the missing DMAX.
  EXPECT_EQ(r->out.str(),
            " ======\n !! WARNING in READINP !!\n"
            " --> DMAX is 0.00 (0 when it is missing): the cluster will hold the central molecule alone <--\n"
            " --> Give DMAX, the cluster radius in angstrom (for example DMAX 12.0) <--\n ======\n\n");
}

TEST(ReadInp, KeywordLines) {
  const auto r = read(essentials +
                      "cell 1 1 1 90 90 90\n"       // lower case: no keyword
                      "CLUS 2 remark behind it\n"
                      "DMAX\n  7.5\n"               // the value on the next line
                      "TEST 5\n"
                      "FRGM 0 1 0\n"
                      "XYZF 0\nADFF 1\nGAUF 1\nSHLX 1\nCRYF 1\nDIMR 1\nCHOV 3\n"
                      "TOLS 0.1 0.2 0.3 0.4\n"
                      "UNKNOWN 5 6\n"
                      "  ! indented remark\n");
  const auto& kw = r->run.kw;
  EXPECT_EQ(r->run.geo.a, static_cast<real>(10.0));
  EXPECT_EQ(kw.kbuild, 2);
  EXPECT_EQ(r->run.geo.dmax, static_cast<real>(7.5));
  EXPECT_EQ(kw.ktestmol, 1) << "any nonzero TEST is kept as 1";
  EXPECT_EQ(kw.kfragsft, 0);
  EXPECT_EQ(kw.kfragbld, 1);
  EXPECT_EQ(kw.kfragmentize, 0);
  EXPECT_EQ(kw.kxyz, 0);
  EXPECT_EQ(kw.kadf + kw.kgaussian + kw.kshelx + kw.kcrystal + kw.kdimer, 5);
  EXPECT_EQ(kw.kchover, 3);
  EXPECT_EQ(r->run.gv.tol1, static_cast<real>(0.1));
  EXPECT_EQ(r->run.gv.tol4, static_cast<real>(0.4));
}

TEST(ReadInp, LongKeywordsAreCutToFour) {
  const auto r = read(cell + "SYMMETRY 1 0\n-x,y,-z\n" + nfrg);
  ASSERT_EQ(r->run.gv.nsym, 1);
  EXPECT_EQ(r->run.geo.rot(1, 1, 1), -1);
}

TEST(ReadInp, FragmentBlocksAndCharges) {
  const auto r = read(cell + symm +
                      "CHRG 1\n"
                      "NFRG 3 2\n"
                      "first 7 2\n"
                      "Cl Cl12 0.1 0.2 0.3 -0.5\n"
                      "H H1 0.4 0.5\n0.6 0.5\n"  // a value on the next line
                      "second 9 1\n"
                      "Na Na1 0.7 0.8 0.9 1.0 ignored\n");
  const auto& at = r->run.at;
  ASSERT_EQ(r->run.gv.nat, 3);
  ASSERT_EQ(r->run.gv.nfrag, 2);
  EXPECT_EQ(at.fatns(1, 1), "Cl ");
  EXPECT_EQ(at.fatns(1, 2), "Cl1");
  EXPECT_EQ(at.fatns(2, 1), "H  ");
  EXPECT_EQ(at.fatns(3, 2), "Na1");
  // Running number, number within the fragment, number from the header.
  const int info[3][3] = {{1, 1, 7}, {2, 2, 7}, {3, 1, 9}};
  for (int t = 1; t <= 3; ++t)
    for (int j = 1; j <= 3; ++j) EXPECT_EQ(at.finfo(t, j), info[t - 1][j - 1]) << t << "," << j;
  EXPECT_EQ(at.frag(1, frag_id), 1);
  EXPECT_EQ(at.frag(1, frag_size), 2);
  EXPECT_EQ(at.frag(2, frag_id), 2);
  EXPECT_EQ(at.frag(2, frag_size), 1);
  EXPECT_EQ(at.fgeom(2, 3), static_cast<real>(0.6));
  ASSERT_EQ(at.fcharge.size(), 3);
  EXPECT_EQ(at.fcharge(1), static_cast<real>(-0.5));
  EXPECT_EQ(at.fcharge(2), static_cast<real>(0.5));
  EXPECT_EQ(at.fcharge(3), static_cast<real>(1.0));
}

TEST(ReadInp, WithoutChrgASixthItemIsIgnored) {
  const auto r = read(cell + symm + "NFRG 1 1\nM 1 1\nC C1 0.1 0.2 0.3 0.9\nDMAX 3\n");
  EXPECT_FALSE(r->run.at.fcharge.allocated());
  EXPECT_EQ(r->run.geo.dmax, 3);
}

TEST(ReadInp, AsManyFragmentsAsAtoms) {
  const auto r = read(cell + symm + "NFRG 2 2\nA 1 1\nC C1 0.1 0.2 0.3\nB 2 1\nO O1 0.5 0.5 0.5\n");
  EXPECT_EQ(r->run.gv.nfrag, 2);
  EXPECT_EQ(failure(cell + symm + "NFRG 1 2\nA 1 1\nC C1 0.1 0.2 0.3\nB 2 0\n"),
            " --> Number of fragments exceeds total <-- --> number of atoms (nfrag>nat)       <--");
}

TEST(ReadInp, NumericOperatorsAndRegularisation) {
  // A hexagonal cell, which the three-fold rotation keeps.
  const auto r = read("CELL 10.0 10.0 12.0 90.0 90.0 120.0\n"
                      "SYMM 2 1\n"
                      "1 0 0 0 1 0 0 0 1\n0 0 0\n"
                      "0 -1 0\n1 -1 0\n0 0 1\n"
                      "0.333333 -0.666667\n0.1\n" +
                      nfrg);
  const auto& geo = r->run.geo;
  ASSERT_EQ(r->run.gv.nsym, 2);
  EXPECT_EQ(r->run.kw.ksymmf, 1);
  EXPECT_EQ(geo.rot(2, 1, 2), -1);
  EXPECT_EQ(geo.rot(2, 2, 1), 1);
  EXPECT_EQ(geo.rot(2, 2, 2), -1);
  EXPECT_EQ(geo.trans(2, 1), static_cast<real>(0.3333333432674408));
  EXPECT_EQ(geo.trans(2, 2), static_cast<real>(-0.6666666865348816));
  EXPECT_EQ(geo.trans(2, 3), static_cast<real>(0.1));
}

TEST(ReadInp, TextOperatorsIncludingABlankLine) {
  // A blank line is an operator of zeros, which no cell allows.
  EXPECT_EQ(failure(cell + "SYMM 3 0\nx+1/3,y,z\n\n  -X , Y+1/2 , -Z\n" + nfrg),
            " --> Not a symmetry of this cell: operation 2 (, ,) <--"
            " --> A rotation must keep the lengths and angles of the cell: check SYMM and CELL <--");
  const auto r = read(cell + "SYMM 2 0\nx+1/3,y,z\n  -X , Y+1/2 , -Z\n" + nfrg);
  const auto& geo = r->run.geo;
  ASSERT_EQ(r->run.gv.nsym, 2);
  EXPECT_EQ(geo.trans(1, 1), static_cast<real>(0.3333333432674408));
  EXPECT_EQ(geo.rot(2, 1, 1), -1);
  EXPECT_EQ(geo.trans(2, 2), sp(0.5f));
}

TEST(ReadInp, XhStandardisationSwitchAndCount) {
  // Switch 0 reads nothing more; the lines after it are no keywords.
  auto r = read(essentials + "STXH 0 2\n1 2 1.0\n3 4 1.0\n");
  EXPECT_EQ(r->run.kw.kstxh, 0);
  EXPECT_EQ(r->run.gv.nxh, 0);
  r = read(essentials + "STXH 1 0\n");
  EXPECT_EQ(r->run.kw.kstxh, 1);
  EXPECT_EQ(r->run.gv.nxh, 0);
  r = read(essentials + "STXH 1 -2\n1 2 1.09\n2 1 0.96\n");
  ASSERT_EQ(r->run.gv.nxh, -2);
  ASSERT_EQ(r->run.gv.axh.rows(), 2);
  EXPECT_EQ(r->run.gv.axh(2, 1), 2);
  EXPECT_EQ(r->run.gv.axh(2, 2), 1);
  EXPECT_EQ(r->run.gv.dxh(1), static_cast<real>(1.09));
}

TEST(ReadInp, ExcludedPairs) {
  auto r = read(essentials + "EXBD 0 2\nC O\nDMAX 4\n");
  EXPECT_EQ(r->run.kw.kexbd, 0);
  EXPECT_EQ(r->run.gv.nex, 0);
  EXPECT_EQ(r->run.geo.dmax, 4);
  r = read(essentials + "EXBD 1 2\nC O\nCl1x Na\n");
  ASSERT_EQ(r->run.gv.nex, 2);
  EXPECT_EQ(r->run.gv.aex(1, 2), "O  ");
  EXPECT_EQ(r->run.gv.aex(2, 1), "Cl1");
  EXPECT_EQ(r->run.gv.aex(2, 2), "Na ");
}

TEST(ReadInp, FixedCentre) {
  auto r = read(essentials + "GECR 1\n0.25 0.5 0.75\n");
  EXPECT_EQ(r->run.kw.kgecr, 1);
  EXPECT_EQ(r->run.geo.geomcentfix(3), sp(0.75f));
  r = read(essentials + "GECR 2\nDMAX 5\n");
  EXPECT_EQ(r->run.kw.kgecr, 2);
  EXPECT_EQ(r->run.geo.geomcentfix(1), 0);
  EXPECT_EQ(r->run.geo.dmax, 5);
}

TEST(ReadInp, RingsAndNics) {
  auto r = read(essentials + "RING 1 2 5 6\n1 2 3 4 5\n6 7 8 9 10 11\nNICS 1 1.5 3\n");
  const auto& at = r->run.at;
  ASSERT_EQ(r->run.gv.nrings, 2);
  EXPECT_EQ(at.rings(1), 5);
  EXPECT_EQ(at.rings(2), 6);
  ASSERT_EQ(at.ringatoms.rows(), 2);
  ASSERT_EQ(at.ringatoms.cols(), 6);
  EXPECT_EQ(at.ringatoms(1, 5), 5);
  EXPECT_EQ(at.ringatoms(1, 6), 0);
  EXPECT_EQ(at.ringatoms(2, 6), 11);
  ASSERT_EQ(at.specrings.size(), 2);
  EXPECT_EQ(at.specrings(1) + at.specrings(2), 0);
  EXPECT_EQ(r->run.kw.knics, 1);
  EXPECT_EQ(r->run.gv.dnics, sp(1.5f));
  EXPECT_EQ(r->run.gv.nnics, 3);

  // Switch 0, or count 0: no ring lines, the placeholder tables.
  for (const char* ring : {"RING 0 2 5 6\n", "RING 1 0\n"}) {
    r = read(essentials + ring + "DMAX 6\n");
    EXPECT_EQ(r->run.gv.nrings, 0) << ring;
    EXPECT_EQ(r->run.at.ringatoms.rows(), 1) << ring;
    EXPECT_EQ(r->run.geo.dmax, 6) << ring;
  }
  // NICS needs RING 1; its values are still read.
  r = read(essentials + "NICS 1 2.0 4\n");
  EXPECT_EQ(r->run.kw.knics, 0);
  EXPECT_EQ(r->run.gv.nnics, 4);
  r = read(essentials + "RING 2 1 3\nNICS 1 2.0 4\n");
  EXPECT_EQ(r->run.kw.kring, 2);
  EXPECT_EQ(r->run.kw.knics, 0);
  // A NICS switch other than 1 reads nothing more.
  r = read(essentials + "RING 1 1 3\n1 2 3\nNICS 2 x\n");
  EXPECT_EQ(r->run.kw.knics, 2);
  EXPECT_EQ(r->run.gv.nnics, 0);
}

TEST(ReadInp, ChargesAndTheOrderOfEssentials) {
  // Charges already read: CHRG after the atoms changes nothing that exists.
  EXPECT_EQ(failure("CHRG 1\n" + cell + symm + "NFRG 1 1\nM 1 1\nC C1 0 0 0 0.5\nCHRG 1\nCHRG 0\n"), "");
  EXPECT_EQ(failure(essentials + "CHRG 1\n"), option_error("CHRG"));
  // Atoms first, then the cell, then the operators.
  EXPECT_EQ(failure(""), option_error("NFRG"));
  EXPECT_EQ(failure(nfrg), option_error("CELL"));
  EXPECT_EQ(failure(cell + nfrg), option_error("SYMM"));
  // A cell that is almost flat but still has a volume is accepted.
  EXPECT_EQ(failure("CELL 10 11 12 90 90 179\n" + symm + nfrg), "");
  // gamma 0 leaves the square-root argument a rounding error above 0, but the
  // orthogonalisation would divide by its sine.
  EXPECT_EQ(failure("CELL 10 11 12 90 90 0\n" + symm + nfrg), option_error("CELL"));
  // Nor a straight one: 180 degrees in radians leaves a sine of about -1e-7.
  EXPECT_EQ(failure("CELL 10 10 10 90 90 180\n" + symm + nfrg), option_error("CELL"));
  EXPECT_EQ(failure("CELL 10 10 10 180 90 90\n" + symm + nfrg), option_error("CELL"));
}

TEST(ReadInp, RingTableStaysInProportionToTheFile) {
  // 69 empty rings and one whose size only repeat counts could supply: the
  // 70 x size table would dwarf the file.
  std::string lines;
  for (int i = 0; i < 69; ++i) lines += "\n";
  const auto build = [&](long long size) {
    std::string s = std::to_string(size);
    s = std::string(8 - s.size(), '0') + s;
    return essentials + "RING 1 70 69*0 " + s + "\n" + lines + std::to_string(size) + "*1\n";
  };
  const long long chars = static_cast<long long>(build(0).size());
  EXPECT_EQ(failure(build(chars)), option_error("RING"));
  const auto r = read(build(60));
  EXPECT_EQ(r->run.at.ringatoms.rows(), 70);
  EXPECT_EQ(r->run.at.ringatoms(70, 60), 1);
}

// Mutated copies of real inputs either read or stop with a box; nothing else
// (no index fault, no other exception) may come out of the reader.
TEST(ReadInp, MutatedInputsReadOrStopCleanly) {
  const ScratchFolder scratch("orbicutter-readinp");  // verbose mutants write their echo file here
  const std::string data = ORBICUTTER_TEST_DATA;
  const std::string seeds[] = {read_file(data + "/crystals/water.inp"), read_file(data + "/input/verb1.inp"),
                               read_file(data + "/input/verb0.inp")};
  const std::string alphabet = std::string("0123456789-+.,/*'\"! \t\nxyzXYZEeCNHO") + '\0' + '\xff';
  std::mt19937 rng(20180301);
  int stopped = 0, read_ok = 0;
  for (int n = 0; n < 1500; ++n) {
    std::string text = seeds[n % 3];
    const int edits = 1 + static_cast<int>(rng() % 4);
    for (int e = 0; e < edits && !text.empty(); ++e) {
      const std::size_t p = rng() % text.size();
      const char c = alphabet[rng() % alphabet.size()];
      switch (rng() % 4) {
        case 0: text[p] = c; break;
        case 1: text.erase(p, 1); break;
        case 2: text.insert(p, 1, c); break;
        default: {  // repeat a line
          const std::size_t b = text.rfind('\n', p);
          const std::size_t from = b == std::string::npos ? 0 : b + 1;
          const std::size_t end = text.find('\n', p);
          const std::string line = text.substr(from, end == std::string::npos ? std::string::npos : end - from + 1);
          text.insert(from, line);
        }
      }
    }
    try {
      read(text);
      ++read_ok;
    } catch (const Error&) {
      ++stopped;
    } catch (const std::exception& ex) {
      ADD_FAILURE() << ex.what() << " on input:\n" << text;
    }
  }
  EXPECT_GT(stopped, 100);
  EXPECT_GT(read_ok, 100);
}

}  // namespace
