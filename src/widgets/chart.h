#pragma once
// The chart the viewer draws on: a thin wrapper over QCustomPlot offering the
// operations the plot, track map and G circle need and nothing more. Only
// the chart's own files see QCustomPlot (its header is heavy), so windows
// include this.
//
// Layers are scale pairs numbered 1..4: layer 1 is the bottom X and left Y
// scale, layer 2 a second bottom X and the right Y scale, layers 3 and 4 top
// X scales with a left and a right Y scale. Long series are drawn as sorted
// graphs with adaptive sampling, so a frame costs what the pixels cost, not
// what the samples cost.

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QPainter;
class QPaintDevice;

namespace ardenvis::ui {

enum class ChartPen { Solid, Dotted, Dashed, Invisible };
// What a mouse drag does on the data area.
enum class ChartMouseMode { CrossHairDrag, ZoomBox, ZoomPan, Pan, PanHorizontal, None };
enum class ChartGrid { Both, VerticalOnly, HorizontalOnly, None };

// A run of a path drawn with one pen: points from..to (0-based, inclusive).
struct ChartPathRun {
  long from = 0;
  long to = 0;
  QColor colour;
  int width = 1;
  ChartPen style = ChartPen::Solid;
};

struct ChartRange {
  double x_low = 0;
  double y_low = 0;
  double x_high = 1;
  double y_high = 1;
};

class Chart : public QWidget {
  Q_OBJECT
 public:
  static constexpr int kLayers = 4;
  static constexpr int kLabels = 20;

  explicit Chart(QWidget* parent = nullptr);
  ~Chart() override;

  // Scales of a layer.
  void set_x_caption(int layer, const QString& caption);
  void set_y_caption(int layer, const QString& caption);
  QString x_caption(int layer) const;
  void set_scales_visible(int layer, bool visible);
  bool scales_visible(int layer) const;
  void set_scale_colour(int layer, const QColor& colour);
  ChartRange range(int layer) const;
  void set_range(int layer, const ChartRange& range);
  // No zoom or pan goes beyond these.
  void set_range_limits(const ChartRange& limits);

  // Drawing into a layer. move_to/draw_to/mark_at build small drawings point
  // by point; draw_series hands over a whole series at once (count points
  // x[i] - x_offset, y[i] - y_offset), which is how long data is drawn.
  void set_pen(const QColor& colour, ChartPen style, int width = 1);
  void move_to(int layer, double x, double y);
  void draw_to(double x, double y);
  void mark_at(int layer, double x, double y, int shape);
  void draw_series(int layer, const double* x, const double* y, long count, double x_offset,
                   double y_offset, bool x_sorted, std::optional<int> mark_shape = {});
  // A polyline whose runs have pens of their own (the track map's colours).
  void draw_path(int layer, const double* x, const double* y, long count,
                 std::vector<ChartPathRun> runs);
  void clear();
  // Long sorted series are drawn from a min/max envelope per pixel column (on
  // by default); off, they go to QCustomPlot whole, with its own sampling.
  // Applies to series drawn afterwards.
  void set_envelope(bool on);
  // The dense traces of a layer are composed into one picture a frame (on by
  // default); off, each trace fills its own pixel columns: the same picture,
  // slower.
  void set_composed_traces(bool on);
  // Repaints on the next pass of the event loop (several calls, one paint).
  void repaint_chart();
  // Paints now (for measurements and grabs).
  void repaint_now();

  // Fixed room around the data area, in pixels, instead of the room the
  // scales ask for: charts stacked one above another then line up.
  void set_fixed_margins(int left, int top, int right, int bottom);

  // The range of everything drawn in a layer; nullopt when it holds nothing.
  std::optional<ChartRange> fit_range(int layer) const;
  // The x and y extent of the points of a layer inside a window.
  std::optional<ChartRange> extent(int layer, const ChartRange& window) const;

  // Grid lines follow the scales of one layer (0 = no grid); spacing 0 is
  // automatic.
  void set_grid(ChartGrid grid, Qt::PenStyle line, const QColor& colour);
  void set_grid_layer(int layer);
  int grid_layer() const;
  void set_grid_spacing(double x_spacing, double y_spacing);

  // A small text at layer 1's data coordinates, left aligned, removed by clear()
  // like the drawn items (scale captions drawn by the program).
  void text_at(double x, double y, const QString& caption, const QColor& colour);

  // Text labels 1..20 on layer 1's data coordinates.
  void set_label(int label, double x, double y, const QString& caption);
  void set_label_visible(int label, bool visible);
  void set_labels_style(const QColor& text, const QColor& background, bool shadowed);
  QString label_caption(int label) const;
  QPointF label_position(int label) const;
  bool label_visible(int label) const;

  // A picture behind the data area; false when the file cannot be read.
  bool set_background_image(const QString& path);
  void clear_background_image();

  // Cross-hair markers 1 and 2 on layer 1: a vertical and a horizontal line
  // through their position. In cross-hair drag mode a press within a few
  // pixels of a shown marker's vertical line (or of the left axis, where a
  // marker waits) drags it.
  void set_marker_visible(int marker, bool visible, const QColor& colour);
  bool marker_visible(int marker) const;
  void set_marker_position(int marker, double x, double y);
  QPointF marker_position(int marker) const;

  // Repaints only the markers and dots over the last painted traces.
  void repaint_markers();

  // A round dot at layer 1's coordinates known by a tag (1 or 2: the
  // markers' dots on the track map and the G circle); clear() keeps it.
  void set_dot(int tag, bool shown, double x = 0, double y = 0, const QColor& colour = Qt::red);

  // Mouse modes, with the layers that take part in zoom and pan.
  void set_mouse_mode(ChartMouseMode mode, bool layer1 = true, bool layer2 = false);
  ChartMouseMode mouse_mode() const;

  void copy_to_clipboard();
  bool save_bitmap(const QString& path);
  // Paints the chart into `painter` with its top-left corner at `origin`.
  void render_into(QPainter& painter, const QPoint& origin, double scale);

  // Figures (PNG, SVG, PDF, report pages). figure_painter opens a painter on
  // a device that charts can paint into at any size: on a picture device it
  // paints pixels, on any other (SVG, PDF) lines and text stay vectors.
  // paint_figure lays the chart out afresh at `size` pixels and paints it
  // into `target` (in the painter's coordinates) of a painter made that way
  // (any other painter gets nothing); the chart on screen is left as it was.
  using FigurePainter = std::unique_ptr<QPainter, void (*)(QPainter*)>;
  static FigurePainter figure_painter(QPaintDevice* device);
  void paint_figure(QPainter& painter, const QRectF& target, const QSize& size);

  // Points held by the graphs of a layer (before sampling), for tests.
  long point_count(int layer) const;
  // The points handed to the painter for the current view (after the
  // envelope), and the data area's width in pixels, for tests.
  std::vector<QPointF> drawn_points(int layer) const;
  int data_area_width() const;

 signals:
  // Every mouse move: inside the data area or not, and layer 1 coordinates.
  void cursor_moved(bool inside, double x, double y);
  void clicked(double x, double y);
  // A marker was dragged to (x, y).
  void marker_moved(int marker, double x, double y);
  // A zoom or pan changed the visible range.
  void ranges_changed();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace ardenvis::ui
