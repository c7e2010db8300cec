#pragma once
// TForm17: "Ardenvis Analysis", the progress window of downloads, decoding and
// the camera database transfers.

#include "common/host.h"
#include "widgets/pelorant_window.h"

class QLabel;
class QProgressBar;

namespace ardenvis::ui {

class TForm17 : public PelorantWindow, public core::AnalysisProgress {
  Q_OBJECT
 public:
  explicit TForm17(QWidget* parent = nullptr);

  // core::AnalysisProgress
  void show() override;
  void hide() override;
  void set_stage(const std::string& text) override;
  void set_bar(core::ProgressBar bar, long position, long maximum) override;
  void set_efficiency(const std::string& text) override;

  QProgressBar* bar(core::ProgressBar which) const;
  QString stage() const;
  QString efficiency() const;

 signals:
  // "Cancel" or the close box: the transfer in progress must stop.
  void cancel_requested();

 protected:
  void activated() override;

 private:
  QLabel* stage_;
  QLabel* efficiency_;
  QProgressBar* bars_[4];
};

}  // namespace ardenvis::ui
