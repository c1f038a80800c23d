// The floor of the crystal benchmark: a bare program that writes n XYZ rows with
// plain fprintf in the layout of the cluster file ("%8s" and three "%15.6f"),
// coordinates spread over a sphere of the cluster's radius.
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: %s rows radius file\n", argv[0]);
    return 2;
  }
  const long n = std::atol(argv[1]);
  const double radius = std::atof(argv[2]);
  std::FILE* f = std::fopen(argv[3], "w");
  if (!f) return 1;
  std::fprintf(f, "%6ld\n%s\n", n, "bench");
  unsigned long long seed = 12345;
  auto uniform = [&seed] {  // in [-1, 1)
    seed = seed * 6364136223846793005ULL + 1442695040888963407ULL;
    return static_cast<double>(seed >> 11) / 4503599627370496.0 - 1.0;
  };
  for (long i = 1; i <= n; ++i) {
    // Label: element and row number (written by hand, so the floor pays only for the rows).
    char label[16];
    char* p = label + sizeof label;
    *--p = '\0';
    for (long k = i; k > 0; k /= 10) *--p = static_cast<char>('0' + k % 10);
    *--p = i % 4 == 1 ? 'C' : 'H';
    std::fprintf(f, "%8s%15.6f%15.6f%15.6f\n", label, radius * uniform(), radius * uniform(), radius * uniform());
  }
  std::fputs("\n", f);
  return std::fclose(f) == 0 ? 0 : 1;
}
