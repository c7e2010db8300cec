#pragma once
// Base of every top-level window: created once, then only shown and hidden.
// It centres itself on the screen each time it is shown, and its close box
// does not end the program: it announces that the user left, and the
// application shows the window to return to.

#include <QWidget>

class QBoxLayout;
class QPushButton;

namespace ardenvis::ui {

class PelorantWindow : public QWidget {
  Q_OBJECT
 public:
  explicit PelorantWindow(const QString& caption, QWidget* parent = nullptr);

  // top = (screen height - height) / 2, left = (screen width - width) / 2,
  // truncated toward zero.
  void centre_on_screen();

  // Where the window stood when last hidden (Qt's saved geometry), to show it
  // there again instead of centring it. A window keeps its place only once
  // the program asks it to; until it has a place it centres as before.
  void keep_placement(const QByteArray& saved);
  QByteArray placement() const;

  // A push button with caption, hint (tool tip) and an object name tests find.
  static QPushButton* make_button(const QString& caption, const QString& hint,
                                  const QString& object_name, QWidget* parent);

  // Room for a window's contents on the smallest screen the program is made
  // for, a 1366 x 768 laptop, after its title bar, its borders and the
  // desktop's task bar. Windows open no larger than this.
  static QSize laptop_room();

  // A page that cannot shrink as far as the window can, in a frameless scroll
  // area: it fills the area when there is room and scrolls when there is not.
  // A column scrolls up and down only: the area keeps the page's width.
  enum class Scroll { Both, Column };
  static QWidget* scrolled(QWidget* page, QWidget* parent, Scroll scroll = Scroll::Both);

 signals:
  // The user closed the window with its close box.
  void closed_by_user();

 protected:
  void showEvent(QShowEvent* event) override;
  void closeEvent(QCloseEvent* event) override;
  void hideEvent(QHideEvent* event) override;
  // Called on every activation, after centring; windows refresh from state here.
  virtual void activated() {}

 private:
  bool keeps_placement_ = false;
  QByteArray placement_;
};

// Lays out a window whose own controls are still to come: an optional row
// (the COM port box), a short description of what the window is for, and a
// right-aligned row of buttons.
class WindowShell {
 public:
  WindowShell(PelorantWindow* window, const QString& description, QWidget* top_row = nullptr);
  QPushButton* add_button(const QString& caption, const QString& hint, const QString& object_name);

 private:
  PelorantWindow* window_;
  QBoxLayout* buttons_;
};

}  // namespace ardenvis::ui
