#pragma once
// "Data" panel of "View Data" ("Data Select"): which channels are plotted in
// which colours, the lap slips, the line types of A and B, the x-axis choice
// and "Data B on 2nd Axis".

#include <QGroupBox>
#include <array>
#include <string>
#include <utility>
#include <vector>

#include "state/program_state.h"
#include "viewer/display_preferences.h"
#include "viewer/lap_overlay.h"
#include "viewer/plot_pass.h"

class QCheckBox;
class QComboBox;
class QGridLayout;
class QLabel;

namespace ardenvis::ui {

class DataSelectPanel : public QGroupBox {
  Q_OBJECT
 public:
  explicit DataSelectPanel(QWidget* parent = nullptr);

  // The panel's part of the plot settings: channels, colours, lines, x-axis
  // and the second axis.
  void fill_plot_settings(core::PlotSettings& settings) const;
  bool any_channel_checked() const;
  int x_axis_choice() const;
  bool b_on_second_axis() const;
  void set_second_axis_enabled(bool enabled);
  void set_x_axis_enabled(bool enabled);
  void set_slips_enabled(bool enabled);
  // Channel unit labels and the odo slip caption in the units in force.
  void refresh_unit_labels(const core::UnitFlags& flags);
  void reset_line_titles();
  // "Lap Overlay": the line group captions and column headings name the laps.
  void set_lap_captions(const core::LapInfoCaptions& one, const core::LapInfoCaptions& two);
  core::SlipSettings slip_settings() const;
  void set_slip_boxes(const core::SlipBoxes& boxes);
  // Line style boxes follow their "Visible" ticks.
  void enable_line_styles();
  // The panel's part of the display preferences: colours, ticks, line
  // styles, slip traces. show_preferences sets the controls without signals.
  void fill_preferences(core::DisplayPreferences& preferences) const;
  void show_preferences(const core::DisplayPreferences& preferences);

  // The "Math" tab: one row per math channel (caption, unit label), which
  // also become x-axis choices after the logged channels. A row keeps its tick
  // and colours while a channel of its name stays in the library.
  struct MathRowCaption {
    std::string name;
    std::string unit;
  };
  void set_math_channels(const std::vector<MathRowCaption>& rows);
  // The ticked math channels: index into the library, name.
  std::vector<std::pair<int, std::string>> shown_math_channels() const;

 signals:
  // A channel tick or a line style changed: the plot is drawn again.
  void channels_changed();
  void colours_changed();
  void x_axis_changed();
  void second_axis_clicked();
  void line_visibility_changed();
  // "Math Channels..." on the "Math" tab.
  void math_channels_requested();

 private:
  struct ChannelRow {
    QComboBox* colour_a;
    QComboBox* colour_b;
    QCheckBox* shown;
    QLabel* unit;
  };
  QComboBox* make_colour_box(uint32_t colour, const QString& name);

  std::array<ChannelRow, core::kPlotChannelCount> channels_{};
  struct MathRow {
    std::string name;
    ChannelRow row;
  };
  std::vector<MathRow> math_rows_;
  QWidget* math_page_ = nullptr;
  QGridLayout* math_grid_ = nullptr;
  QCheckBox* time_slip_ = nullptr;
  QCheckBox* odo_slip_ = nullptr;
  QComboBox* line_a_ = nullptr;
  QComboBox* line_b_ = nullptr;
  QCheckBox* visible_a_ = nullptr;
  QCheckBox* visible_b_ = nullptr;
  QGroupBox* line_a_box_ = nullptr;
  QGroupBox* line_b_box_ = nullptr;
  QComboBox* x_axis_ = nullptr;
  QCheckBox* b_on_second_axis_ = nullptr;
  QLabel* heading_a_ = nullptr;
  QLabel* heading_b_ = nullptr;
};

}  // namespace ardenvis::ui
