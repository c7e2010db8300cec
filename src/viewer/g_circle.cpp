#include "viewer/g_circle.h"

#include <algorithm>
#include <cmath>
#include <unordered_set>

#include "common/format.h"
#include "viewer/plot_channels.h"

namespace ardenvis::core {
namespace {

constexpr double kDiagonal = 0.7071;
// Places per g: 200, half a pixel of a 500-pixel chart at the full view of
// +-2.5 g. The load-time smoothing makes every sample's G a little different,
// so finer places would keep nearly all of a full log's samples.
constexpr double kPlaceResolution = 200;

// A sample's place on a grid of half-pixels at the full view.
uint64_t place_key(double x, double y) {
  const auto qx = static_cast<int64_t>(std::llround(std::clamp(x, -1e6, 1e6) * kPlaceResolution));
  const auto qy = static_cast<int64_t>(std::llround(std::clamp(y, -1e6, 1e6) * kPlaceResolution));
  // Both fit in 32 bits after the clamp, so the key is exact.
  return static_cast<uint64_t>(qx + (1LL << 31)) << 32 | static_cast<uint64_t>(qy + (1LL << 31));
}

}  // namespace

GCirclePoints g_circle_points(const DataSet& set, long first, long last) {
  GCirclePoints points;
  const Series& lat = set[Channel::GLat];
  const Series& lon = set[Channel::GLong];
  const Series& brake = set[Channel::Brake];
  first = std::max(first, 1L);
  last = std::min(last, std::min(lat.size(), lon.size()));
  if (last < first) return points;
  std::unordered_set<uint64_t> seen_normal;
  std::unordered_set<uint64_t> seen_braking;
  seen_normal.reserve(8192);
  seen_braking.reserve(8192);
  for (long i = first; i <= last; ++i) {
    const double x = lat[i] / 10;
    const double y = lon[i] / 10;
    if (!std::isfinite(x) || !std::isfinite(y)) continue;
    const bool braking = brake[i] != 0;
    auto& seen = braking ? seen_braking : seen_normal;
    if (!seen.insert(place_key(x, y)).second) continue;
    (braking ? points.braking : points.normal).push_back({x, y});
  }
  return points;
}

uint32_t g_point_colour(int style, bool braking) {
  if (style == 0) return braking ? colour::lime : colour::green;
  return braking ? colour::fuchsia : colour::purple;
}

int g_point_shape(int style, bool lap_window) {
  if (style == 0) return lap_window ? 16 : 17;
  return lap_window ? 10 : 11;
}

GPolyline g_circle_ring(int ring) {
  GPolyline line;
  const double r = 0.5 * ring;
  line.points.reserve(64);
  line.points.push_back({r, 0});
  for (int a = 0; a <= 62; ++a) {
    const double angle = 0.1 * a;
    line.points.push_back({r * std::cos(angle), r * std::sin(angle)});
  }
  return line;
}

std::vector<GLabel> g_circle_labels(bool lap_window) {
  std::vector<GLabel> labels;
  const int count = lap_window ? 5 : kGCircleRings;
  for (int i = 1; i <= count; ++i) {
    const double r = lap_window ? i : 0.5 * i;
    const std::string text = format("%1.1fg", r);
    for (const auto& [sx, sy] : {std::pair{1, 1}, {-1, 1}, {-1, -1}, {1, -1}}) {
      labels.push_back({sx * r * kDiagonal, sy * r * kDiagonal, text});
    }
  }
  return labels;
}

bool toggle_g_axis(DataSet& set, GAxisToggle toggle) {
  if (!set.has_data()) return false;
  GAxisCorrections c;
  c.swap_lat_long = toggle == GAxisToggle::SwapLatLong;
  c.change_lat_sign = toggle == GAxisToggle::ChangeLatSign;
  c.change_long_sign = toggle == GAxisToggle::ChangeLongSign;
  apply_g_axis_corrections(set, c);
  return true;
}

}  // namespace ardenvis::core
