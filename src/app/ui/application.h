#pragma once
// Builds every window once, in start-up order, and wires the navigation
// between them: a window that opens another hides itself; Back, Main Menu and
// close boxes return. Only the main window's Exit (or its close box) ends the
// program.

#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "app/start_up.h"
#include "state/program_state.h"
#include "widgets/qt_host.h"

namespace ardenvis::ui {

class TForm1;
class TForm2;
class TForm3;
class TForm4;
class TForm6;
class TForm9;
class TForm10;
class TForm11;
class TForm16;
class TForm17;
class TForm21;
class TForm23;
class TForm24;
class PelorantWindow;
class DesktopSettings;

class Application : public QObject {
  Q_OBJECT
 public:
  // Creates the windows, then runs the main window's creation step (port,
  // file names, start values). File dialogs first open in first_folder. With
  // `settings`, the windows' places, the folders, the recent files and the
  // COM port of the last run are taken up and kept for the next one.
  Application(core::ProgramState& state, core::SerialDevice& port, const std::string& first_folder,
              DesktopSettings* settings = nullptr);
  ~Application() override;

  void show_main_window();
  // Starts with the main window, or, given log data files, with "View Data"
  // showing the first as data set A and the second as B, or, given a
  // configuration file, with "Configuration" showing it. Each file is loaded
  // as its window's load button loads it (after the window is up).
  void start(const QStringList& files);

  core::ProgramState& state() { return state_; }
  QtHost& host() { return host_; }

  TForm1* main_window() const { return form1_; }
  TForm2* log_analysis() const { return form2_; }
  TForm3* configuration() const { return form3_; }
  TForm4* calculator() const { return form4_; }
  TForm6* about() const { return form6_; }
  TForm9* calculator_help() const { return form9_; }
  TForm10* view_data() const { return form10_; }
  TForm11* setup_notes() const { return form11_; }
  TForm16* download_menu() const { return form16_; }
  TForm17* analysis_progress() const { return form17_; }
  TForm21* tool_box() const { return form21_; }
  TForm23* virtual_display() const { return form23_; }
  TForm24* system_check() const { return form24_; }

 signals:
  // The main window closed: the port is closed; the program may end.
  void finished();

 private:
  void go(PelorantWindow* from, PelorantWindow* to);
  void wire_navigation();
  void close_form1();
  // The Log Analysis window's "Load Data Set": the file dialog, or the file
  // `named`; a loaded file is shown in the viewer's units.
  bool load_log_file(core::DataSetId slot, const std::optional<std::string>& named);
  // Remembered state to and from the settings.
  void take_up_settings();
  void remember_recent(core::FileKind kind);
  void keep_settings();
  QList<PelorantWindow*> windows() const;

  core::ProgramState& state_;
  DesktopSettings* settings_;
  QtHost host_;
  TForm1* form1_;
  TForm2* form2_;
  TForm3* form3_;
  TForm4* form4_;
  TForm6* form6_;
  TForm9* form9_;
  TForm11* form11_;
  TForm10* form10_;
  TForm16* form16_;
  TForm17* form17_;
  TForm21* form21_;
  TForm23* form23_;
  TForm24* form24_;
  bool closed_ = false;
};

}  // namespace ardenvis::ui
