#include "app/ui/application.h"

#include <QPushButton>
#include <QTabWidget>

#include "app/ui/Toolbox.h"
#include "app/ui/about.h"
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
#include "viewer/ui/plot_data.h"
#include "viewer/viewer_units.h"

namespace ardenvis::ui {

Application::Application(core::ProgramState& state, core::SerialDevice& port,
                         const std::string& program_folder, const std::string& library_path)
    : state_(state),
      library_(library_path.empty() ? core::default_catalogue_path() : library_path) {
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
  library_window_ = new SessionLibraryWindow(library_, host_);
  // Every log data file saved or loaded goes into the session library.
  state_.session_files = &library_;

  host_.set_dialog_parent(form1_);
  host_.set_analysis_progress(form17_);
  connect(form17_, &TForm17::cancel_requested, this, [this] {
    state_.log_cancel = true;
    state_.config_cancel = true;
  });

  // The main window's creation step.
  core::initialise_program_state(state_, port, program_folder);
  wire_navigation();
}

Application::~Application() {
  state_.session_files = nullptr;
  for (QWidget* w : std::initializer_list<QWidget*>{form1_, form2_, form3_, form4_, form6_, form9_,
                                                    form11_, form10_, form16_, form17_, form21_,
                                                    form23_, form24_, library_window_}) {
    delete w;
  }
}

void Application::show_main_window() { form1_->show(); }

void Application::go(PelorantWindow* from, PelorantWindow* to) {
  from->hide();
  to->show();
  to->activateWindow();
  host_.set_dialog_parent(to);
}

void Application::close_form1() {
  if (closed_) return;
  closed_ = true;
  core::close_serial_port(state_.link);
  for (QWidget* w : std::initializer_list<QWidget*>{form2_, form3_, form4_, form6_, form9_, form11_,
                                                    form10_, form16_, form17_, form21_, form23_,
                                                    form24_, library_window_}) {
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
  connect(form21_, &TForm21::open_session_library, this, [this] { go(form21_, library_window_); });
  connect(library_window_, &SessionLibraryWindow::back_to_toolbox, this,
          [this] { go(library_window_, form21_); });
  connect(library_window_, &SessionLibraryWindow::open_in_view_data, this,
          [this](core::DataSetId slot, const std::string& path) {
            go(library_window_, form10_);
            form10_->load_file(slot, path);
          });

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
    connect(load, &QPushButton::clicked, this, [this, slot] {
      // A loaded file is shown in the units the viewer shows.
      if (core::load_log_data(state_, host_)) core::change_loaded_units(state_, slot, {});
      form2_->refresh_labels();
    });
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
