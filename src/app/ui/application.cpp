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
                         const std::string& first_folder, DesktopSettings* settings)
    : state_(state), settings_(settings) {
  // Windows are created once, in this order, and live for the whole run.
  form1_ = new TForm1;
  form2_ = new TForm2(state_, host_);
  form3_ = new TForm3(state_, host_);
  form4_ = new TForm4(state_, host_);
  // The calculator hands its factors to the configuration's "Calibrate" page.
  form4_->set_calibration_target([this](const std::string& speedo, const std::string& gear) {
    form3_->editor().set_text(core::FieldId::speedo_cal_value, speedo);
    form3_->editor().set_text(core::FieldId::gear_cal_value, gear);
    form3_->pages()->setCurrentIndex(static_cast<int>(core::Page::Calibrate));
  });
  form6_ = new TForm6;
  form9_ = new TForm9;
  form11_ = new TForm11(state_, host_);
  form10_ = new TForm10(state_, host_);
  form16_ = new TForm16(state_, host_);
  form17_ = new TForm17;
  form21_ = new TForm21;
  form23_ = new TForm23(state_, host_);
  form24_ = new TForm24(state_, host_);

  host_.set_dialog_parent(form1_);
  host_.set_analysis_progress(form17_);
  connect(form17_, &TForm17::cancel_requested, this, [this] {
    state_.log_cancel = true;
    state_.config_cancel = true;
  });

  // The main window's creation step.
  core::initialise_program_state(state_, port, first_folder, settings_ ? settings_->com_port() : 1);
  wire_navigation();
  if (settings_) take_up_settings();
}

Application::~Application() {
  for (QWidget* w :
       std::initializer_list<QWidget*>{form1_, form2_, form3_, form4_, form6_, form9_, form11_,
                                       form10_, form16_, form17_, form21_, form23_, form24_}) {
    delete w;
  }
}

void Application::show_main_window() { form1_->show(); }

void Application::start(const QStringList& files) {
  QStringList plr, pcf;
  for (const QString& f : files) {
    // Loads remember the file's folder: a name relative to where the program
    // was started becomes a whole path first.
    const QString path = QFileInfo(f).absoluteFilePath();
    (f.endsWith(".pcf") ? pcf : plr) << path;
  }
  PelorantWindow* first = form1_;
  if (!plr.isEmpty()) {
    first = form10_;
  } else if (!pcf.isEmpty()) {
    first = form3_;
  }
  first->show();
  host_.set_dialog_parent(first);
  // After the window is up, as if the user had clicked its load button.
  QTimer::singleShot(0, this, [this, plr, pcf] {
    if (!plr.isEmpty()) form10_->load_data_set(core::DataSetId::A, plr[0].toStdString());
    if (plr.size() > 1) form10_->load_data_set(core::DataSetId::B, plr[1].toStdString());
    if (plr.isEmpty() && !pcf.isEmpty()) form3_->load_config_data(pcf[0].toStdString());
  });
}

QList<PelorantWindow*> Application::windows() const {
  return {form1_,  form2_,  form3_,  form4_,  form6_,  form9_, form11_,
          form10_, form16_, form17_, form21_, form23_, form24_};
}

void Application::take_up_settings() {
  settings_->restore_folders(state_);
  for (PelorantWindow* w : windows()) w->keep_placement(settings_->placement(w->objectName()));
  for (core::DataSetId slot : {core::DataSetId::A, core::DataSetId::B}) {
    form2_->recent_files(slot)->set_files(settings_->recent_files(core::FileKind::LogData));
    form10_->file_panel()
        ->recent_files(slot == core::DataSetId::A ? 0 : 1)
        ->set_files(settings_->recent_files(core::FileKind::LogData));
  }
  form3_->recent_files()->set_files(settings_->recent_files(core::FileKind::Configuration));
  connect(form10_, &TForm10::log_file_loaded, this,
          [this] { remember_recent(core::FileKind::LogData); });
  connect(form3_, &TForm3::config_file_loaded, this,
          [this] { remember_recent(core::FileKind::Configuration); });
  // The port the user chose in any window's COM port box.
  for (PelorantWindow* w : windows()) {
    for (ComPortBox* box : w->findChildren<ComPortBox*>()) {
      connect(box, &ComPortBox::port_changed, this,
              [this] { settings_->set_com_port(state_.link.serial_port_number); });
    }
  }
}

void Application::remember_recent(core::FileKind kind) {
  const core::FileLocation& loaded = state_.file(kind);
  const QStringList recent =
      settings_->add_recent_file(kind, QString::fromStdString(loaded.folder + loaded.name));
  if (kind == core::FileKind::Configuration) {
    form3_->recent_files()->set_files(recent);
    return;
  }
  for (core::DataSetId slot : {core::DataSetId::A, core::DataSetId::B}) {
    form2_->recent_files(slot)->set_files(recent);
    form10_->file_panel()->recent_files(slot == core::DataSetId::A ? 0 : 1)->set_files(recent);
  }
}

void Application::keep_settings() {
  settings_->save_folders(state_);
  for (PelorantWindow* w : windows()) settings_->set_placement(w->objectName(), w->placement());
  settings_->sync();
}

bool Application::load_log_file(core::DataSetId slot, const std::optional<std::string>& named) {
  state_.current_data_set = slot;
  const bool loaded = core::load_log_data(state_, host_, named);
  // A loaded file is shown in the units the viewer shows.
  if (loaded) core::change_loaded_units(state_, slot, {});
  form2_->refresh_labels();
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
  for (QWidget* w :
       std::initializer_list<QWidget*>{form2_, form3_, form4_, form6_, form9_, form11_, form10_,
                                       form16_, form17_, form21_, form23_, form24_}) {
    w->hide();
  }
  emit finished();
}

void Application::wire_navigation() {
  // Main window.
  connect(form1_, &TForm1::open_download, this, [this] { go(form1_, form2_); });
  connect(form1_, &TForm1::open_configure, this, [this] { go(form1_, form3_); });
  connect(form1_, &TForm1::open_toolbox, this, [this] { go(form1_, form21_); });
  connect(form1_, &TForm1::open_about, this, [this] { go(form1_, form6_); });
  connect(form1_, &TForm1::exit_form1, this, [this] {
    form1_->hide();
    close_form1();
  });
  connect(form1_, &PelorantWindow::closed_by_user, this, &Application::close_form1);

  // Tool box.
  connect(form21_, &TForm21::open_calculator, this, [this] { go(form21_, form4_); });
  connect(form21_, &TForm21::view_plot_data, this, [this] { go(form21_, form10_); });
  connect(form21_, &TForm21::openDynoMode, this, [this] { go(form21_, form23_); });
  connect(form21_, &TForm21::openSystemCheck, this, [this] { go(form21_, form24_); });
  connect(form21_, &TForm21::back_to_main, this, [this] { go(form21_, form1_); });

  connect(form6_, &TForm6::back_to_main_menu, this, [this] { go(form6_, form1_); });
  connect(form3_, &TForm3::back_to_main, this, [this] { go(form3_, form1_); });
  connect(form3_, &TForm3::gotoCalculator, this, [this] { go(form3_, form4_); });

  // Calculator and its help.
  connect(form4_, &TForm4::back_to_toolbox, this, [this] { go(form4_, form21_); });
  connect(form4_, &TForm4::view_help, this, [this] { go(form4_, form9_); });
  connect(form4_, &TForm4::goto_configuration, this, [this] { go(form4_, form3_); });
  connect(form9_, &TForm9::back_to_calculator, this, [this] { go(form9_, form4_); });

  // Logger.
  connect(form2_, &TForm2::back_to_main, this, [this] { go(form2_, form1_); });
  connect(form2_, &TForm2::view_session_data, this, [this] { go(form2_, form16_); });
  connect(form2_, &TForm2::view_data, this, [this] { go(form2_, form10_); });
  connect(form16_, &TForm16::back_to_log_analysis, this, [this] { go(form16_, form2_); });
  connect(form16_, &TForm16::view_data, this, [this] { go(form16_, form10_); });
  connect(
      form16_, &TForm16::download_requested, form2_,
      [this](int session, core::DataSetId target) { form2_->get_log_dataSet(session, target); });
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
    connect(notes, &QPushButton::clicked, this, [this] { go(form2_, form11_); });
    for (QPushButton* b : {load, save, excel, notes}) b->setEnabled(true);
  }
  connect(form11_, &TForm11::back_to_logger, this, [this] { go(form11_, form2_); });
  connect(form11_, &TForm11::cancel_loggernotes, this, [this] { go(form11_, form2_); });

  // Viewer and live windows.
  connect(form10_, &TForm10::back_to_main, this, [this] { go(form10_, form1_); });
  connect(form10_, &TForm10::back_to_log_menu, this, [this] { go(form10_, form2_); });
  connect(form23_, &TForm23::back_to_main, this, [this] { go(form23_, form21_); });
  connect(form24_, &TForm24::back_to_toolbox, this, [this] { go(form24_, form21_); });
}

}  // namespace ardenvis::ui
