// The Qt widgets the control kinds are made of. Standard widgets (push button, line edit,
// check box, radio button, group box) keep their behaviour and accessibility and paint the
// flat skin when one is on; labels, hyperlink boxes, picture boxes and spin buttons are
// painted here. None of them decides anything: they show what the window's mirror tells
// them and hand user actions to the callbacks their window gives them.
#pragma once

#include <functional>
#include <string_view>

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QImage>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QWidget>

#include "ui/qt/qt_backend.h"
#include "ui/window_template.h"

namespace autoshutdown::ui::qt {

// Program texts (GBK) as Qt strings.
QString ToQString(std::string_view gbk);
// A template colour; the default colour is the platform's button face.
QColor ToQColor(Colour colour);
QColor ToQColor(Colour colour, QColor default_colour);
QColor ButtonFace();
QColor WindowColour();
// A template font: its face, else an installed CJK face, at its pixel height; the
// application's font at the GUI font's pixel height when the template gives none.
QFont ToQFont(const Font& font);
// The Qt image of a decoded picture (copied: the widget keeps it).
QImage ToQImage(const ArgbImage& image);

// Registers the accessible roles of the painted widgets below; once per process.
void InstallAccessibleRoles();

class PushButton final : public QPushButton {
 public:
  PushButton(const LookContext& look, QWidget* parent) : QPushButton(parent), look_(look) {}

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const LookContext& look_;
};

// Check boxes and radio buttons leave their checked state to the layer: a click only
// reports itself (nextCheckState does nothing), and a press anywhere on them counts.
class CheckBox final : public QCheckBox {
 public:
  CheckBox(const LookContext& look, const ControlTemplate& tmpl, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void nextCheckState() override {}
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

 private:
  const LookContext& look_;
  const ControlTemplate& tmpl_;
};

// Not auto-exclusive (the layer decides), so it has its own accessible interface: Qt's calls
// a button that is checkable and not auto-exclusive a check box.
class RadioButton final : public QRadioButton {
  Q_OBJECT
 public:
  RadioButton(const LookContext& look, const ControlTemplate& tmpl, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void nextCheckState() override {}
  bool hitButton(const QPoint& pos) const override { return rect().contains(pos); }

 private:
  const LookContext& look_;
  const ControlTemplate& tmpl_;
};

class GroupBox final : public QGroupBox {
 public:
  GroupBox(const LookContext& look, const ControlTemplate& tmpl, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const LookContext& look_;
  const ControlTemplate& tmpl_;
};

// An edit box: the line edit inside a frame of two 1-pixel lines (skinned) or a sunken
// edge (not skinned), two pixels wide either way.
class EditBox final : public QWidget {
 public:
  EditBox(const LookContext& look, const ControlTemplate& tmpl, QWidget* parent);
  QLineEdit* Edit() const { return edit_; }

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  const LookContext& look_;
  const ControlTemplate& tmpl_;
  QLineEdit* edit_;
};

// The spin button of an edit box: an up arrow over a down arrow; each press (and each
// repeat while held) reports its direction.
class SpinButton final : public QWidget {
 public:
  SpinButton(const LookContext& look, QWidget* parent, std::function<void(bool up)> on_press);

 protected:
  void resizeEvent(QResizeEvent* event) override;

 private:
  class Arrow;
  Arrow* up_;
  Arrow* down_;
};

// A label or a transparent label, painted: gradient or background colour (not for the
// transparent kind), then the caption.
class LabelBox final : public QWidget {
  Q_OBJECT
 public:
  LabelBox(const ControlTemplate& tmpl, QWidget* parent);
  void SetCaption(const QString& caption);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;

 private:
  const ControlTemplate& tmpl_;
  QString caption_;
  QImage gradient_;  // one row, stretched down at paint time
};

class HyperlinkBox final : public QWidget {
  Q_OBJECT
 public:
  struct Callbacks {
    std::function<void(bool inside)> hover;
    std::function<void()> press;
  };
  HyperlinkBox(const ControlTemplate& tmpl, QWidget* parent, Callbacks callbacks);
  void SetLook(const QString& text, QColor colour);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void enterEvent(QEnterEvent* event) override;
  void leaveEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;

 private:
  const ControlTemplate& tmpl_;
  Callbacks callbacks_;
  QString text_;
  QColor colour_;
};

class PictureBox final : public QWidget {
  Q_OBJECT
 public:
  PictureBox(const ControlTemplate& tmpl, QImage picture, QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  const ControlTemplate& tmpl_;
  QImage picture_;
};

}  // namespace autoshutdown::ui::qt
