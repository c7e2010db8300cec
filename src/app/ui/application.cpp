#include "app/ui/application.h"

#include <QFileInfo>
#include <QPushButton>
#include <QTabWidget>
#include <QTimer>

#include "app/ui/Toolbox.h"
#include "app/ui/about.h"
#include "app/ui/desktop_settings.h"
#include "app/ui/logxfer_MAIN.h"
#include "calc/ui/calculator.h"
#include "calc/ui/help_calculator.h"
#include "config/ui/configure.h"
#include "files/csv_export.h"
#include "files/log_file.h"
#include "files/ui/logger_notes.h"
#include "library/ui/session_library_window.h"
#include "link/unit_session.h"
#include "live/ui/dyno.h"
#include "live/ui/systemCheck.h"
#include "logger/ui/downloadProgress.h"
#include "logger/ui/log_index.h"
#include "logger/ui/logger.h"
#include "viewer/ui/file_panel.h"
#include "viewer/ui/plot_data.h"
#include "viewer/viewer_units.h"
#include "widgets/com_port_box.h"
#include "widgets/recent_files_button.h"

namespace ardenvis::ui {

Application::Application(core::ProgramState& state, core::SerialDevice& port,
                         const std::string& first_folder, DesktopSettings* settings,
                         const std::string& library_path)
    : state_(state),
      settings_(settings),
      library_(library_path.empty() ? core::default_catalogue_path() : library_path) {
  // Every log data file saved or loaded goes into the session library.
  state_.session_files = &library_;
  // The main window's creation step comes first: windows built later show
  // the state it set up.
  core::initialise_program_state(state_, port, first_folder, settings_ ? settings_->com_port() : 1);
  if (settings_) settings_->restore_folders(state_);

  form1_ = new TForm1;
  adopt(form1_);
  form17_ = new TForm17;
  adopt(form17_);
  host_.set_dialog_parent(form1_);
  host_.set_analysis_progress(form17_);
  connect(form17_, &TForm17::cancel_requested, this, [this] {
    state_.log_cancel = true;
    state_.config_cancel = true;
  });
  wire_navigation();
}

Application::~Application() {
  state_.session_files = nullptr;
  qDeleteAll(built_);
}

void Application::adopt(PelorantWindow* window) {
  built_ << window;
  if (!settings_) return;
  window->keep_placement(settings_->placement(window->objectName()));
  // The port the user chose in any window's COM port box.
  for (ComPortBox* box : window->findChildren<ComPortBox*>()) {
    connect(box, &ComPortBox::port_changed, this,
            [this] { settings_->set_com_port(state_.link.serial_port_number); });
  }
}

TForm2* Application::log_analysis() {
  if (!form2_) {
    form2_ = new TForm2(state_, host_);
    adopt(form2_);
    wire_log_analysis();
  }
  return form2_;
}

TForm3* Application::configuration() {
  if (!form3_) {
    form3_ = new TForm3(state_, host_);
    adopt(form3_);
    connect(form3_, &TForm3::back_to_main, this, [this] { go(form3_, form1_); });
    connect(form3_, &TForm3::gotoCalculator, this, [this] { go(form3_, calculator()); });
    if (settings_) {
      form3_->recent_files()->set_files(settings_->recent_files(core::FileKind::Configuration));
      connect(form3_, &TForm3::config_file_loaded, this,
              [this] { remember_recent(core::FileKind::Configuration); });
    }
  }
  return form3_;
}

TForm4* Application::calculator() {
  if (!form4_) {
    form4_ = new TForm4(state_, host_);
    adopt(form4_);
    // The calculator hands its factors to the configuration's "Calibrate" page.
    form4_->set_calibration_target([this](const std::string& speedo, const std::string& gear) {
      TForm3* config = configuration();
      config->editor().set_text(core::FieldId::speedo_cal_value, speedo);
      config->editor().set_text(core::FieldId::gear_cal_value, gear);
      config->pages()->setCurrentIndex(static_cast<int>(core::Page::Calibrate));
    });
    connect(form4_, &TForm4::back_to_toolbox, this, [this] { go(form4_, tool_box()); });
    connect(form4_, &TForm4::view_help, this, [this] { go(form4_, calculator_help()); });
    connect(form4_, &TForm4::goto_configuration, this, [this] { go(form4_, configuration()); });
  }
  return form4_;
}

TForm6* Application::about() {
  if (!form6_) {
    form6_ = new TForm6;
    adopt(form6_);
    connect(form6_, &TForm6::back_to_main_menu, this, [this] { go(form6_, form1_); });
  }
  return form6_;
}

TForm9* Application::calculator_help() {
  if (!form9_) {
    form9_ = new TForm9;
    adopt(form9_);
    connect(form9_, &TForm9::back_to_calculator, this, [this] { go(form9_, calculator()); });
  }
  return form9_;
}

TForm10* Application::view_data() {
  if (!form10_) {
    form10_ = new TForm10(state_, host_);
    adopt(form10_);
    wire_view_data();
  }
  return form10_;
}

TForm11* Application::setup_notes() {
  if (!form11_) {
    form11_ = new TForm11(state_, host_);
    adopt(form11_);
    connect(form11_, &TForm11::back_to_logger, this, [this] { go(form11_, log_analysis()); });
    connect(form11_, &TForm11::cancel_loggernotes, this, [this] { go(form11_, log_analysis()); });
  }
  return form11_;
}

TForm16* Application::download_menu() {
  if (!form16_) {
    form16_ = new TForm16(state_, host_);
    adopt(form16_);
    connect(form16_, &TForm16::back_to_log_analysis, this, [this] { go(form16_, log_analysis()); });
    connect(form16_, &TForm16::view_data, this, [this] { go(form16_, view_data()); });
    connect(form16_, &TForm16::download_requested, this,
            [this](int session, core::DataSetId target) {
              log_analysis()->get_log_dataSet(session, target);
            });
  }
  return form16_;
}

TForm21* Application::tool_box() {
  if (!form21_) {
    form21_ = new TForm21;
    adopt(form21_);
    connect(form21_, &TForm21::open_calculator, this, [this] { go(form21_, calculator()); });
    connect(form21_, &TForm21::view_plot_data, this, [this] { go(form21_, view_data()); });
    connect(form21_, &TForm21::openDynoMode, this, [this] { go(form21_, virtual_display()); });
    connect(form21_, &TForm21::openSystemCheck, this, [this] { go(form21_, system_check()); });
    connect(form21_, &TForm21::back_to_main, this, [this] { go(form21_, form1_); });
    connect(form21_, &TForm21::open_session_library, this,
            [this] { go(form21_, session_library()); });
  }
  return form21_;
}

TForm23* Application::virtual_display() {
  if (!form23_) {
    form23_ = new TForm23(state_, host_);
    adopt(form23_);
    connect(form23_, &TForm23::back_to_main, this, [this] { go(form23_, tool_box()); });
  }
  return form23_;
}

TForm24* Application::system_check() {
  if (!form24_) {
    form24_ = new TForm24(state_, host_);
    adopt(form24_);
    connect(form24_, &TForm24::back_to_toolbox, this, [this] { go(form24_, tool_box()); });
  }
  return form24_;
}

SessionLibraryWindow* Application::session_library() {
  if (!library_window_) {
    library_window_ = new SessionLibraryWindow(library_, host_);
    adopt(library_window_);
    connect(library_window_, &SessionLibraryWindow::back_to_toolbox, this,
            [this] { go(library_window_, tool_box()); });
    connect(library_window_, &SessionLibraryWindow::open_in_view_data, this,
            [this](core::DataSetId slot, const std::string& path) {
              go(library_window_, view_data());
              view_data()->load_data_set(slot, path);
            });
  }
  return library_window_;
}

void Application::show_main_window() { form1_->show(); }

void Application::start(const QStringList& files) {
  // Loads remember the file's folder: a name relative to where the program
  // was started becomes a whole path first.
  QStringList paths;
  for (const QString& f : files) paths << QFileInfo(f).absoluteFilePath();
  const QString first_file = paths.value(0);
  PelorantWindow* first = form1_;
  if (first_file.endsWith(".pcf") || first_file.endsWith(".cam")) {
    first = configuration();
  } else if (first_file.endsWith(".psu")) {
    first = setup_notes();
  } else if (!paths.isEmpty()) {
    // Log data files, and any other name, which View Data's load refuses
    // with the message of its dialog.
    first = view_data();
  }
  first->show();
  host_.set_dialog_parent(first);
  if (paths.isEmpty()) return;
  // After the window is up, as if the user had clicked its load button.
  QTimer::singleShot(0, this, [this, paths, first_file] {
    if (first_file.endsWith(".pcf")) {
      form3_->load_config_data(first_file.toStdString());
    } else if (first_file.endsWith(".cam")) {
      form3_->load_camera_database(first_file.toStdString());
    } else if (first_file.endsWith(".psu")) {
      form11_->load_setup_file(first_file.toStdString());
    } else {
      form10_->load_data_set(core::DataSetId::A, first_file.toStdString());
      if (paths.size() > 1) form10_->load_data_set(core::DataSetId::B, paths[1].toStdString());
    }
  });
}

void Application::remember_recent(core::FileKind kind) {
  const core::FileLocation& loaded = state_.file(kind);
  show_recent_files(
      kind, settings_->add_recent_file(kind, QString::fromStdString(loaded.folder + loaded.name)));
}

void Application::show_recent_files(core::FileKind kind, const QStringList& files) {
  if (kind == core::FileKind::Configuration) {
    if (form3_) form3_->recent_files()->set_files(files);
    return;
  }
  for (core::DataSetId slot : {core::DataSetId::A, core::DataSetId::B}) {
    if (form2_) form2_->recent_files(slot)->set_files(files);
    if (form10_) {
      form10_->file_panel()->recent_files(slot == core::DataSetId::A ? 0 : 1)->set_files(files);
    }
  }
}

void Application::keep_settings() {
  settings_->save_folders(state_);
  for (PelorantWindow* w : built_) settings_->set_placement(w->objectName(), w->placement());
  settings_->sync();
}

bool Application::load_log_file(core::DataSetId slot, const std::optional<std::string>& named) {
  state_.current_data_set = slot;
  const bool loaded = core::load_log_data(state_, host_, named);
  // A loaded file is shown in the units the viewer shows.
  if (loaded) core::change_loaded_units(state_, slot, {});
  log_analysis()->refresh_labels();
  if (loaded && settings_) remember_recent(core::FileKind::LogData);
  return loaded;
}

void Application::go(PelorantWindow* from, PelorantWindow* to) {
  from->hide();
  to->show();
  to->activateWindow();
  host_.set_dialog_parent(to);
}

void Application::close_form1() {
  if (closed_) return;
  closed_ = true;
  if (settings_) keep_settings();
  core::close_serial_port(state_.link);
  for (PelorantWindow* w : built_) {
    if (w != form1_) w->hide();
  }
  emit finished();
}

void Application::wire_navigation() {
  connect(form1_, &TForm1::open_download, this, [this] { go(form1_, log_analysis()); });
  connect(form1_, &TForm1::open_configure, this, [this] { go(form1_, configuration()); });
  connect(form1_, &TForm1::open_toolbox, this, [this] { go(form1_, tool_box()); });
  connect(form1_, &TForm1::open_about, this, [this] { go(form1_, about()); });
  connect(form1_, &TForm1::exit_form1, this, [this] {
    form1_->hide();
    close_form1();
  });
  connect(form1_, &PelorantWindow::closed_by_user, this, &Application::close_form1);
}

void Application::wire_log_analysis() {
  connect(form2_, &TForm2::back_to_main, this, [this] { go(form2_, form1_); });
  connect(form2_, &TForm2::view_session_data, this, [this] { go(form2_, download_menu()); });
  connect(form2_, &TForm2::view_data, this, [this] { go(form2_, view_data()); });
  // The data files of each data set. Every data set button has made its data
  // set the current one before these run.
  for (core::DataSetId slot : {core::DataSetId::A, core::DataSetId::B}) {
    auto* load = form2_->data_set_button(slot, "load");
    auto* save = form2_->data_set_button(slot, "save");
    auto* excel = form2_->data_set_button(slot, "excel");
    auto* notes = form2_->data_set_button(slot, "notes");
    connect(load, &QPushButton::clicked, this, [this, slot] { load_log_file(slot, {}); });
    connect(form2_->recent_files(slot), &RecentFilesButton::file_chosen, this,
            [this, slot](const QString& path) { load_log_file(slot, path.toStdString()); });
    connect(save, &QPushButton::clicked, this, [this] {
      core::save_log_data(state_, host_);
      form2_->refresh_labels();
    });
    connect(excel, &QPushButton::clicked, this, [this] { core::save_csv_data(state_, host_, {}); });
    connect(notes, &QPushButton::clicked, this, [this] { go(form2_, setup_notes()); });
    for (QPushButton* b : {load, save, excel, notes}) b->setEnabled(true);
  }
  if (settings_)
    show_recent_files(core::FileKind::LogData, settings_->recent_files(core::FileKind::LogData));
}

void Application::wire_view_data() {
  connect(form10_, &TForm10::back_to_main, this, [this] { go(form10_, form1_); });
  connect(form10_, &TForm10::back_to_log_menu, this, [this] { go(form10_, log_analysis()); });
  if (settings_) {
    show_recent_files(core::FileKind::LogData, settings_->recent_files(core::FileKind::LogData));
    connect(form10_, &TForm10::log_file_loaded, this,
            [this] { remember_recent(core::FileKind::LogData); });
  }
}

}  // namespace ardenvis::ui
