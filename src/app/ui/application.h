#pragma once
// Builds each window once, the main window at start-up and every other one
// when it is first needed (building them all costs more than the rest of
// start-up), and wires the navigation between them: a window that opens
// another hides itself; Back, Main Menu and close boxes return. Only the main
// window's Exit (or its close box) ends the program.

#include <QObject>
#include <QStringList>
#include <memory>
#include <optional>
#include <string>

#include "app/start_up.h"
#include "library/session_library.h"
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
class SessionLibraryWindow;

class Application : public QObject {
  Q_OBJECT
 public:
  // Creates the windows, then runs the main window's creation step (port,
  // file names, start values). File dialogs first open in first_folder. With
  // `settings`, the windows' places, the folders, the recent files and the
  // COM port of the last run are taken up and kept for the next one.
  // library_path is the session library's catalogue (empty: the default).
  Application(core::ProgramState& state, core::SerialDevice& port, const std::string& first_folder,
              DesktopSettings* settings = nullptr, const std::string& library_path = {});
  ~Application() override;

  void show_main_window();
  // Starts with the main window, or, given log data files, with "View Data"
  // showing the first as data set A and the second as B, or, given a
  // configuration file, with "Configuration" showing it. Each file is loaded
  // as its window's load button loads it (after the window is up).
  void start(const QStringList& files);

  core::ProgramState& state() { return state_; }
  QtHost& host() { return host_; }

  // Each window, built on first use.
  TForm1* main_window() const { return form1_; }
  TForm2* log_analysis();
  TForm3* configuration();
  TForm4* calculator();
  TForm6* about();
  TForm9* calculator_help();
  TForm10* view_data();
  TForm11* setup_notes();
  TForm16* download_menu();
  TForm17* analysis_progress() const { return form17_; }
  TForm21* tool_box();
  TForm23* virtual_display();
  TForm24* system_check();
  SessionLibraryWindow* session_library();
  core::SessionLibrary& library() { return library_; }

 signals:
  // The main window closed: the port is closed; the program may end.
  void finished();

 private:
  void go(PelorantWindow* from, PelorantWindow* to);
  void wire_navigation();
  // Wiring of a window just built: its navigation, its load buttons, and
  // what the settings remember of it.
  void wire_log_analysis();
  void wire_view_data();
  void adopt(PelorantWindow* window);
  void close_form1();
  // The Log Analysis window's "Load Data Set": the file dialog, or the file
  // `named`; a loaded file is shown in the viewer's units.
  bool load_log_file(core::DataSetId slot, const std::optional<std::string>& named);
  // Remembered state to the settings.
  void remember_recent(core::FileKind kind);
  void keep_settings();
  void show_recent_files(core::FileKind kind, const QStringList& files);

  core::ProgramState& state_;
  DesktopSettings* settings_;
  QtHost host_;
  core::SessionLibrary library_;
  SessionLibraryWindow* library_window_ = nullptr;
  TForm1* form1_ = nullptr;
  TForm2* form2_ = nullptr;
  TForm3* form3_ = nullptr;
  TForm4* form4_ = nullptr;
  TForm6* form6_ = nullptr;
  TForm9* form9_ = nullptr;
  TForm11* form11_ = nullptr;
  TForm10* form10_ = nullptr;
  TForm16* form16_ = nullptr;
  TForm17* form17_ = nullptr;
  TForm21* form21_ = nullptr;
  TForm23* form23_ = nullptr;
  TForm24* form24_ = nullptr;
  // Every window built so far, in the order built.
  QList<PelorantWindow*> built_;
  bool closed_ = false;
};

}  // namespace ardenvis::ui
