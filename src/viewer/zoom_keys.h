#pragma once
// Zoom and pan of the viewer's charts: zoom in and out about the centre,
// "Full" for the track map, the "Zoom and Pan" selector's table, and the
// function keys with their readiness flag.

#include <optional>
#include <span>
#include <string>

#include "viewer/plot_pass.h"

namespace ardenvis::core {

// The three charts the zoom acts on.
enum class ZoomChart { Plot, TrackMap, GCircle };

// Zoom out widens each scale by 1.4 about its centre, zoom in narrows it by
// 1 / 1.4. The centre and half-span are held in single precision, so zooming
// out then in comes back within float rounding.
PlotRange zoom_out(const PlotRange& range);
PlotRange zoom_in(const PlotRange& range);
// With "Data B on 2nd Axis", zoom in acts on layer 2 of any chart too, zoom
// out only on the plot's.
inline bool zoom_layer_two(ZoomChart chart, bool zoom_in_step, bool b_on_second_axis) {
  return b_on_second_axis && (zoom_in_step || chart == ZoomChart::Plot);
}

// "Full" on the track map: the drawn extent made square (the smaller span
// widened to the larger about its centre) with 2 % of the span added on every
// side; the grid spacing is the span / 20.
struct TrackFullView {
  PlotRange range;
  double grid_spacing = 0;
};
TrackFullView track_full_view(const PlotRange& extent);
// The window the track extent is searched in.
inline constexpr double kTrackExtentLimit = 1000000;
// "Full" on the G circle: both layers x, y in [-2.5, 2.5].
inline constexpr PlotRange kGCircleFull{-2.5, -2.5, 2.5, 2.5};

// What a mouse drag does on a chart's data area.
enum class MouseMode { CrossHairDrag, ZoomBox, ZoomPan, Pan, PanHorizontal, None };

// "Zoom and Pan" (plot): which layers take part, and the mouse mode.
struct ZoomPanChoice {
  const char* item;
  bool layer1;
  bool layer2;
  MouseMode mode;
};
std::span<const ZoomPanChoice> plot_zoom_pan_choices();
// The track map's and the G circle's "Zoom Options (F1 for Help)".
std::span<const ZoomPanChoice> track_zoom_choices();
std::span<const ZoomPanChoice> g_circle_zoom_choices();

// The right-hand pages, in tab order.
enum class ViewPage { PlotData, LapTimes, DataANotes, DataBNotes, TrackMap, GCircle };
// The chart a page shows, if any.
std::optional<ZoomChart> page_chart(ViewPage page);

enum class KeyAction {
  None,
  ShowGuide,    // F1
  ZoomBoxHeld,  // F2: zoom box while held
  PanHeld,      // F3: pan while held
  ZoomOut,      // F4
  ZoomIn,       // F5
  MarkersOn,    // F6
  MarkersOff,   // F7
  Full,         // F9
};

inline constexpr const char* kFunctionKeyGuide =
    "Function Key Guide:\r\rF1  Show this Guide\rF2  Hold down and Zoom Box\rF3  Hold down and "
    "Pan\rF4  Zoom Out\rF5  Zoom In\rF6  Markers On\rF7  Markers Off\rF9  Zoom Full";
inline constexpr const char* kFunctionKeyNote = "Press F1 for Function Key Help";

// ctrltoZOOM / ctrlendZoom: a key acts only while the readiness flag is set;
// any press but F1 clears it, every release sets it again. Zoom keys act on
// the chart of the page shown and do nothing on pages without one.
class FunctionKeys {
 public:
  // function_key: 1..12 for F1..F12, 0 for any other key.
  KeyAction key_down(int function_key, ViewPage page);
  void key_up() { ready_ = true; }
  void window_shown() { ready_ = true; }
  bool ready() const { return ready_; }

 private:
  bool ready_ = true;
};

}  // namespace ardenvis::core
