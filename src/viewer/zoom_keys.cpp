#include "viewer/zoom_keys.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace ardenvis::core {
namespace {

constexpr double kZoomOutFactor = 1.4;
constexpr double kZoomInFactor = 0.7142857142857143;  // 1 / 1.4

PlotRange zoom(const PlotRange& r, double factor) {
  const float cx = static_cast<float>((r.x_low + r.x_high) / 2);
  const float hx = static_cast<float>((r.x_high - r.x_low) / 2);
  const float cy = static_cast<float>((r.y_low + r.y_high) / 2);
  const float hy = static_cast<float>((r.y_high - r.y_low) / 2);
  return {cx - factor * hx, cy - factor * hy, cx + factor * hx, cy + factor * hy};
}

constexpr std::array<ZoomPanChoice, 9> kPlotChoices = {{
    {"Off", false, false, MouseMode::CrossHairDrag},
    {"Zoom Box", true, true, MouseMode::ZoomBox},
    {"Zoom Pan", true, true, MouseMode::ZoomPan},
    {"Pan Axis 1", true, false, MouseMode::Pan},
    {"Pan Axis 2", false, true, MouseMode::Pan},
    {"Pan Axis 1 Horiz Only", true, false, MouseMode::PanHorizontal},
    {"Pan Axis 2 Horiz Only", false, true, MouseMode::PanHorizontal},
    {"Pan All", true, true, MouseMode::Pan},
    {"Pan All Horiz Only", true, true, MouseMode::PanHorizontal},
}};
constexpr std::array<ZoomPanChoice, 4> kTrackChoices = {{
    {"Off", false, false, MouseMode::None},
    {"Zoom Pan", true, false, MouseMode::ZoomPan},
    {"Zoom Box", true, false, MouseMode::ZoomBox},
    {"Pan XY", true, false, MouseMode::Pan},
}};
constexpr std::array<ZoomPanChoice, 3> kGCircleChoices = {{
    {"Off", false, false, MouseMode::None},
    {"Zoom Box", true, false, MouseMode::ZoomBox},
    {"Pan XY", true, false, MouseMode::Pan},
}};

}  // namespace

PlotRange zoom_out(const PlotRange& range) { return zoom(range, kZoomOutFactor); }
PlotRange zoom_in(const PlotRange& range) { return zoom(range, kZoomInFactor); }

TrackFullView track_full_view(const PlotRange& extent) {
  double dx = extent.x_high - extent.x_low;
  double dy = extent.y_high - extent.y_low;
  const double cx = (extent.x_low + extent.x_high) / 2;
  const double cy = (extent.y_low + extent.y_high) / 2;
  double span = std::max(dx, dy);
  // A track of one point still gets a window around it.
  if (!(span > 0) || !std::isfinite(span)) span = 1;
  dx = dy = span;
  const double margin = 0.02 * span;
  TrackFullView view;
  view.range = {cx - dx / 2 - margin, cy - dy / 2 - margin, cx + dx / 2 + margin,
                cy + dy / 2 + margin};
  view.grid_spacing = span / 20;
  return view;
}

std::span<const ZoomPanChoice> plot_zoom_pan_choices() { return kPlotChoices; }
std::span<const ZoomPanChoice> track_zoom_choices() { return kTrackChoices; }
std::span<const ZoomPanChoice> g_circle_zoom_choices() { return kGCircleChoices; }

std::optional<ZoomChart> page_chart(ViewPage page) {
  switch (page) {
    case ViewPage::PlotData:
      return ZoomChart::Plot;
    case ViewPage::TrackMap:
      return ZoomChart::TrackMap;
    case ViewPage::GCircle:
      return ZoomChart::GCircle;
    default:
      return std::nullopt;
  }
}

KeyAction FunctionKeys::key_down(int function_key, ViewPage page) {
  const bool ready = ready_;
  if (function_key != 1) ready_ = false;
  if (!ready) return KeyAction::None;
  const bool has_chart = page_chart(page).has_value();
  switch (function_key) {
    case 1:
      return KeyAction::ShowGuide;
    case 2:
      return has_chart ? KeyAction::ZoomBoxHeld : KeyAction::None;
    case 3:
      return has_chart ? KeyAction::PanHeld : KeyAction::None;
    case 4:
      return has_chart ? KeyAction::ZoomOut : KeyAction::None;
    case 5:
      return has_chart ? KeyAction::ZoomIn : KeyAction::None;
    case 6:
      return KeyAction::MarkersOn;
    case 7:
      return KeyAction::MarkersOff;
    case 9:
      return has_chart ? KeyAction::Full : KeyAction::None;
    default:
      return KeyAction::None;
  }
}

}  // namespace ardenvis::core
