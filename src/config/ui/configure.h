#pragma once
// TForm3: "Configuration". The unit configuration editor: twelve pages of
// fields generated from the field table, read and write with the unit, and
// configuration files. The window owns the editor model its pages share.

#include <array>
#include <memory>
#include <optional>
#include <string>

#include "config/config_editor.h"
#include "widgets/com_port_box.h"

class QTabWidget;

namespace ardenvis::ui {

class CameraPage;
class ConfigPage;
class FieldControls;
class GeneralPage;
class RecentFilesButton;
class TForm12;

class TForm3 : public UnitWindow {
  Q_OBJECT
 public:
  explicit TForm3(core::ProgramState& state, core::Host& host, QWidget* parent = nullptr);
  ~TForm3() override;

  core::ConfigEditor& editor() { return *editor_; }
  FieldControls& fields() { return *fields_; }
  QTabWidget* pages() const { return tabs_; }
  ConfigPage* page(core::Page page) const { return pages_[static_cast<size_t>(page)]; }
  CameraPage* camera_page() const;
  TForm12* password_window() const { return password_; }
  // The recent configuration files beside "Load Config".
  RecentFilesButton* recent_files() const { return recent_; }

  // Handlers (the window's own names).
  void setup_configure_form();
  void config_tab_change(int tab);
  void get_config_data();
  void set_config_data();
  void save_config_data();
  // A file `named` (dropped, picked from the recent files) is loaded without
  // the dialog. True when the file was loaded.
  bool load_config_data(const std::optional<std::string>& named = std::nullopt);
  // Shows the "Camera" page and loads a camera database file there.
  void load_camera_database(const std::string& path);
  void check_password(bool checked);

 signals:
  // A configuration file was loaded; the configuration location names it.
  void config_file_loaded();
  void back_to_main();
  void gotoCalculator();

 protected:
  void activated() override;
  // A configuration file dropped anywhere on the window loads as "Load Config".
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  void refresh();

  core::ProgramState& state_;
  core::Host& host_;
  std::unique_ptr<core::ConfigEditor> editor_;
  FieldControls* fields_;
  QTabWidget* tabs_;
  std::array<ConfigPage*, core::kPageCount> pages_{};
  TForm12* password_;
  RecentFilesButton* recent_ = nullptr;
};

}  // namespace ardenvis::ui
