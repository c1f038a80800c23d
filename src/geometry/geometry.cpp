// Cell metric, orthogonalisation and distances, in a fixed arithmetic order so
// that both precisions print reproducibly.
#include "geometry/geometry.hpp"

#include <cmath>

namespace orbicutter {

Mat3 orthogonalisation(const Geometry& geo) {
  const real ca = std::cos(geo.alpha), cb = std::cos(geo.beta), cg = std::cos(geo.gamma);
  const real sg = std::sin(geo.gamma);
  Mat3 mt;
  mt(1, 1) = geo.a;
  mt(1, 2) = geo.b * cg;
  mt(1, 3) = geo.c * cb;
  mt(2, 2) = geo.b * sg;
  mt(2, 3) = (geo.c * (ca - cb * cg)) / sg;
  mt(3, 3) = (geo.c * std::sqrt((((real(1) - ca * ca) - cb * cb) - cg * cg) + ((real(2) * ca) * cb) * cg)) / sg;
  return mt;
}

Mat3 metric_tensor(const Geometry& geo) {
  Mat3 g;
  g(1, 1) = geo.a * geo.a;
  g(2, 2) = geo.b * geo.b;
  g(3, 3) = geo.c * geo.c;
  g(1, 2) = g(2, 1) = (geo.a * geo.b) * std::cos(geo.gamma);
  g(1, 3) = g(3, 1) = (geo.a * geo.c) * std::cos(geo.beta);
  g(2, 3) = g(3, 2) = (geo.b * geo.c) * std::cos(geo.alpha);
  return g;
}


real calcdist(const Mat3& g, const Vec3& p, const Vec3& q) {
  real d[3];
  for (int i = 0; i < 3; ++i) d[i] = q.v[i] - p.v[i];
  real gd[3];
  for (int i = 0; i < 3; ++i) gd[i] = g.m[i][0] * d[0] + g.m[i][1] * d[1] + g.m[i][2] * d[2];
  const real s = d[0] * gd[0] + d[1] * gd[1] + d[2] * gd[2];
  return std::sqrt(s);
}

real matdist(const Mat3& a, const Mat3& b) {
  real s = 0;
  for (int j = 1; j <= 3; ++j)
    for (int i = 1; i <= 3; ++i) {
      const real d = a(i, j) - b(i, j);
      s += d * d;
    }
  return std::sqrt(s);
}

real matdist(const Vec3& a, const Vec3& b) {
  real s = 0;
  for (int i = 1; i <= 3; ++i) {
    const real d = a(i) - b(i);
    s += d * d;
  }
  return std::sqrt(s);
}

Vec3 cartesian(const Mat3& mt, const Vec3& v) {
  Vec3 r;
  for (int i = 1; i <= 3; ++i) r(i) = mt(i, 1) * v(1) + mt(i, 2) * v(2) + mt(i, 3) * v(3);
  return r;
}

Vec3 centred_cartesian(const Mat3& mt, const Vec3& centre, const Vec3& f) {
  Vec3 v;
  for (int k = 1; k <= 3; ++k) v(k) = f(k) - centre(k);
  return cartesian(mt, v);
}

real cartesian_length(const Vec3& r) { return std::sqrt((r(1) * r(1) + r(2) * r(2)) + r(3) * r(3)); }

Vec3 image_base(const Geometry& geo, int s, const Vec3& f) {
  const auto& rot = geo.rot;
  const auto& trans = geo.trans;
  Vec3 x;
  for (int i = 1; i <= 3; ++i) x(i) = (rot(s, i, 1) * f(1) + rot(s, i, 2) * f(2) + rot(s, i, 3) * f(3)) + trans(s, i);
  return x;
}

Vec3 image(const Geometry& geo, int s, const Vec3& f, const Vec3& u) { return translated(image_base(geo, s, f), u); }

}  // namespace orbicutter
