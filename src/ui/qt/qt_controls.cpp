// Painting and small behaviours of the Qt widgets behind the control kinds; see qt_controls.h.
#include "ui/qt/qt_controls.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionButton>
#include <QtWidgets/qdrawutil.h>

#include "services/text/codec.h"
#include "ui/look.h"

namespace autoshutdown::ui::qt {
namespace {

// Indicator of check boxes and radio buttons, and the gap before their text (as on Windows).
constexpr int kIndicator = 13;
constexpr int kIndicatorGap = 3;
constexpr int kGuiFontPixels = 12;

// A focus mark only once the keyboard has moved the focus, as Windows does.
bool ShowsFocus(const QWidget& widget) {
  return widget.hasFocus() && widget.window()->testAttribute(Qt::WA_KeyboardFocusChange);
}

QColor Darker(QColor colour, int by) {
  return QColor(std::max(colour.red() - by, 0), std::max(colour.green() - by, 0), std::max(colour.blue() - by, 0));
}

// Draws a border style and returns the area inside it.
QRect DrawBorder(QPainter& painter, QRect area, Border border) {
  const QPalette palette = QApplication::palette();
  const auto raised_frame = [&](QRect r) {
    // A dialog frame: a raised edge and one line of button face, three pixels in all.
    qDrawWinPanel(&painter, r, palette, false);
    painter.setPen(ButtonFace());
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(r.adjusted(2, 2, -3, -3));
    return r.adjusted(3, 3, -3, -3);
  };
  switch (border) {
    case Border::kNone: return area;
    case Border::kSunken:
      qDrawWinPanel(&painter, area, palette, true);
      return area.adjusted(2, 2, -2, -2);
    case Border::kRaisedFrame: return raised_frame(area);
    case Border::kThin:
      qDrawShadeRect(&painter, area, palette, true, 1, 0);
      return area.adjusted(1, 1, -1, -1);
    case Border::kSunkenInRaised: {
      const QRect inner = raised_frame(area);
      qDrawWinPanel(&painter, inner, palette, true);
      return inner.adjusted(2, 2, -2, -2);
    }
    case Border::kLine:
      painter.setPen(Qt::black);
      painter.setBrush(Qt::NoBrush);
      painter.drawRect(area.adjusted(0, 0, -1, -1));
      return area.adjusted(1, 1, -1, -1);
  }
  return area;
}

void DrawFlatFrame(QPainter& painter, QRect area, QColor colour) {
  painter.setPen(colour);
  painter.setBrush(Qt::NoBrush);
  painter.drawRect(area.adjusted(0, 0, -1, -1));
}

Qt::Alignment AlignmentOf(const ControlTemplate& tmpl) {
  Qt::Alignment flags = tmpl.align == HAlign::kCentre  ? Qt::AlignHCenter
                        : tmpl.align == HAlign::kRight ? Qt::AlignRight
                                                       : Qt::AlignLeft;
  flags |= tmpl.valign == VAlign::kTop      ? Qt::AlignTop
           : tmpl.valign == VAlign::kBottom ? Qt::AlignBottom
                                            : Qt::AlignVCenter;
  return flags;
}

// Check boxes and radio buttons: the template's background behind everything, the
// indicator at the left, vertically centred, and the caption after it.
void PaintOption(QAbstractButton& button, const LookContext& look, const ControlTemplate& tmpl, bool radio) {
  QPainter painter(&button);
  const QRect area = button.rect();
  painter.fillRect(area, ToQColor(tmpl.background));
  const QRect box(0, (area.height() - kIndicator) / 2, kIndicator, kIndicator);
  const bool enabled = button.isEnabled();
  if (look.skin) {
    const QColor frame = ToQColor(look.skin->frame);
    const QColor mark = enabled ? QColor(Qt::black) : QColor(128, 128, 128);
    painter.setRenderHint(QPainter::Antialiasing, radio);
    painter.setPen(frame);
    painter.setBrush(enabled ? WindowColour() : ButtonFace());
    if (radio) {
      painter.drawEllipse(QRectF(box).adjusted(0.5, 0.5, -0.5, -0.5));
      if (button.isChecked()) {
        painter.setPen(Qt::NoPen);
        painter.setBrush(mark);
        painter.drawEllipse(QRectF(box).adjusted(4, 4, -4, -4));
      }
    } else {
      painter.drawRect(box.adjusted(0, 0, -1, -1));
      if (button.isChecked()) {
        painter.setPen(QPen(mark, 2));
        painter.drawPolyline(QPolygon({box.topLeft() + QPoint(3, 6), box.topLeft() + QPoint(5, 9),
                                       box.topLeft() + QPoint(10, 3)}));
      }
    }
    painter.setRenderHint(QPainter::Antialiasing, false);
  } else {
    QStyleOptionButton option;
    option.initFrom(&button);
    option.rect = box;
    option.state |= button.isChecked() ? QStyle::State_On : QStyle::State_Off;
    if (button.isDown()) option.state |= QStyle::State_Sunken;
    button.style()->drawPrimitive(radio ? QStyle::PE_IndicatorRadioButton : QStyle::PE_IndicatorCheckBox, &option,
                                  &painter, &button);
  }
  const QRect text_area = area.adjusted(kIndicator + kIndicatorGap, 0, 0, 0);
  painter.setPen(enabled ? ToQColor(tmpl.text_colour) : QApplication::palette().color(QPalette::Disabled, QPalette::Text));
  painter.setFont(button.font());
  painter.drawText(text_area, Qt::AlignLeft | Qt::AlignVCenter | Qt::TextShowMnemonic, button.text());
  if (ShowsFocus(button)) {
    painter.setPen(QPen(ToQColor(tmpl.text_colour), 1, Qt::DotLine));
    painter.drawRect(painter.boundingRect(text_area, Qt::AlignLeft | Qt::AlignVCenter, button.text())
                         .adjusted(-1, 0, 0, -1) & area.adjusted(0, 0, -1, -1));
  }
}

class RadioAccessible final : public QAccessibleWidget {
 public:
  explicit RadioAccessible(QAbstractButton* button) : QAccessibleWidget(button, QAccessible::RadioButton) {}
  QString text(QAccessible::Text kind) const override {
    if (kind == QAccessible::Name) return qt_accStripAmp(Button()->text());
    return QAccessibleWidget::text(kind);
  }
  QAccessible::State state() const override {
    QAccessible::State state = QAccessibleWidget::state();
    state.checkable = true;
    state.checked = Button()->isChecked();
    return state;
  }
  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && Button()->isEnabled()) Button()->click();
  }

 private:
  QAbstractButton* Button() const { return static_cast<QAbstractButton*>(widget()); }
  static QString qt_accStripAmp(QString text) { return text.remove(QLatin1Char('&')); }
};

// The painted widgets' accessible roles; their names are their accessible names.
QAccessibleInterface* PaintedAccessible(const QString& class_name, QObject* object) {
  auto* widget = qobject_cast<QWidget*>(object);
  if (!widget) return nullptr;
  if (class_name == QLatin1String(RadioButton::staticMetaObject.className())) {
    return new RadioAccessible(static_cast<QAbstractButton*>(widget));
  }
  if (class_name == QLatin1String(LabelBox::staticMetaObject.className())) {
    return new QAccessibleWidget(widget, QAccessible::StaticText);
  }
  if (class_name == QLatin1String(HyperlinkBox::staticMetaObject.className())) {
    return new QAccessibleWidget(widget, QAccessible::Link);
  }
  if (class_name == QLatin1String(PictureBox::staticMetaObject.className())) {
    return new QAccessibleWidget(widget, QAccessible::Graphic);
  }
  return nullptr;
}

}  // namespace

QString ToQString(std::string_view gbk) { return QString::fromStdString(codec::GbkToUtf8(gbk)); }

QColor ButtonFace() { return QApplication::palette().color(QPalette::Active, QPalette::Button); }
QColor WindowColour() { return QApplication::palette().color(QPalette::Active, QPalette::Base); }
QColor ToQColor(Colour colour, QColor default_colour) {
  if (colour == kDefaultColour) return default_colour;
  return QColor(RedOf(colour), GreenOf(colour), BlueOf(colour));
}

QColor ToQColor(Colour colour) { return ToQColor(colour, ButtonFace()); }

QFont ToQFont(const Font& font) {
  QFont result = QApplication::font();
  // The GUI font: the desktop's face at the 12-pixel height the layouts were drawn for.
  if (!font.face) {
    result.setPixelSize(kGuiFontPixels);
    return result;
  }
  // 宋体 is rarely installed on Linux: fall back to a CJK face that is.
  result.setFamilies({ToQString(font.face), QStringLiteral("SimSun"), QStringLiteral("WenQuanYi Zen Hei"),
                      QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Serif CJK SC"),
                      QStringLiteral("AR PL UMing CN")});
  result.setPixelSize(std::max(font.height, 1));
  result.setBold(font.bold);
  return result;
}

QImage ToQImage(const ArgbImage& image) {
  if (image.empty()) return {};
  return QImage(reinterpret_cast<const uchar*>(image.pixels.data()), image.width, image.height,
                image.width * 4, QImage::Format_ARGB32)
      .copy();
}

void InstallAccessibleRoles() { QAccessible::installFactory(PaintedAccessible); }

// --- push button

void PushButton::paintEvent(QPaintEvent* event) {
  if (!look_.skin) return QPushButton::paintEvent(event);
  QPainter painter(this);
  const QRect area = rect();
  painter.fillRect(area, isDown() ? Darker(ButtonFace(), 16) : ButtonFace());
  DrawFlatFrame(painter, area, ToQColor(look_.skin->frame));
  painter.setPen(palette().color(isEnabled() ? QPalette::Active : QPalette::Disabled, QPalette::ButtonText));
  painter.setFont(font());
  const QRect text_area = isDown() ? area.translated(1, 1) : area;
  painter.drawText(text_area, Qt::AlignCenter | Qt::TextShowMnemonic, text());
  if (ShowsFocus(*this)) {
    painter.setPen(QPen(QColor(Qt::black), 1, Qt::DotLine));
    painter.drawRect(area.adjusted(3, 3, -4, -4));
  }
}

// --- check box, radio button

CheckBox::CheckBox(const LookContext& look, const ControlTemplate& tmpl, QWidget* parent)
    : QCheckBox(parent), look_(look), tmpl_(tmpl) {}

void CheckBox::paintEvent(QPaintEvent*) { PaintOption(*this, look_, tmpl_, false); }

RadioButton::RadioButton(const LookContext& look, const ControlTemplate& tmpl, QWidget* parent)
    : QRadioButton(parent), look_(look), tmpl_(tmpl) {
  setAutoExclusive(false);
}

void RadioButton::paintEvent(QPaintEvent*) { PaintOption(*this, look_, tmpl_, true); }

// --- group box

GroupBox::GroupBox(const LookContext& look, const ControlTemplate& tmpl, QWidget* parent)
    : QGroupBox(parent), look_(look), tmpl_(tmpl) {}

void GroupBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect();
  painter.fillRect(area, ToQColor(tmpl_.background));
  const QFontMetrics metrics(font());
  const QRect frame = area.adjusted(0, metrics.height() / 2, 0, 0);
  if (look_.skin) {
    DrawFlatFrame(painter, frame, ToQColor(look_.skin->frame));
  } else {
    // The etched frame of a Windows group box.
    painter.setPen(Darker(ButtonFace(), 80));
    painter.drawRect(frame.adjusted(0, 0, -2, -2));
    painter.setPen(Qt::white);
    painter.drawRect(frame.adjusted(1, 1, -1, -1));
  }
  if (title().isEmpty()) return;
  const int title_width = metrics.horizontalAdvance(title());
  const QRect title_area(8, 0, title_width + 2, metrics.height());
  painter.fillRect(title_area, ToQColor(tmpl_.background));
  painter.setPen(ToQColor(tmpl_.text_colour));
  painter.setFont(font());
  painter.drawText(title_area.adjusted(1, 0, 0, 0), Qt::AlignLeft | Qt::AlignTop, title());
}

// --- edit box

EditBox::EditBox(const LookContext& look, const ControlTemplate& tmpl, QWidget* parent)
    : QWidget(parent), look_(look), tmpl_(tmpl), edit_(new QLineEdit(this)) {
  edit_->setFrame(false);
  edit_->setReadOnly(tmpl.read_only);
  edit_->setFont(ToQFont(tmpl.font));
  edit_->setAlignment((tmpl.align == HAlign::kCentre  ? Qt::AlignHCenter
                       : tmpl.align == HAlign::kRight ? Qt::AlignRight
                                                      : Qt::AlignLeft) |
                      Qt::AlignVCenter);
  QPalette colours = edit_->palette();
  const QColor background = ToQColor(tmpl.background, WindowColour());
  for (const QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive, QPalette::Disabled}) {
    colours.setColor(group, QPalette::Base, background);
  }
  colours.setColor(QPalette::Active, QPalette::Text, ToQColor(tmpl.text_colour, Qt::black));
  colours.setColor(QPalette::Inactive, QPalette::Text, ToQColor(tmpl.text_colour, Qt::black));
  edit_->setPalette(colours);
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void EditBox::resizeEvent(QResizeEvent*) { edit_->setGeometry(rect().adjusted(2, 2, -2, -2)); }

void EditBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect area = rect();
  if (!look_.skin) {
    painter.fillRect(area, edit_->palette().color(QPalette::Base));
    DrawBorder(painter, area, Border::kSunken);
    return;
  }
  const EditFrame lines = SkinnedEditFrame(*look_.skin, !isEnabled(), tmpl_.read_only,
                                           Rgb(ButtonFace().red(), ButtonFace().green(), ButtonFace().blue()),
                                           Rgb(WindowColour().red(), WindowColour().green(), WindowColour().blue()));
  DrawFlatFrame(painter, area, ToQColor(lines.outer));
  DrawFlatFrame(painter, area.adjusted(1, 1, -1, -1), ToQColor(lines.inner));
}

// --- spin button

class SpinButton::Arrow final : public QAbstractButton {
 public:
  Arrow(const LookContext& look, bool up, QWidget* parent) : QAbstractButton(parent), look_(look), up_(up) {
    setFocusPolicy(Qt::NoFocus);
    setAutoRepeat(true);
    setAccessibleName(up ? QStringLiteral("增加") : QStringLiteral("减少"));
  }

 protected:
  void paintEvent(QPaintEvent*) override {
    QPainter painter(this);
    const QRect area = rect();
    if (look_.skin) {
      painter.fillRect(area, isDown() ? Darker(ButtonFace(), 16) : ButtonFace());
      DrawFlatFrame(painter, area, ToQColor(look_.skin->frame));
    } else {
      qDrawWinButton(&painter, area, palette(), isDown(), nullptr);
    }
    // A small solid triangle in the middle.
    const QPoint centre = area.center() + (isDown() ? QPoint(1, 1) : QPoint());
    const int half = std::max(std::min(area.width(), area.height()) / 4, 2);
    const int dir = up_ ? -1 : 1;
    const QPolygon triangle({centre + QPoint(-half, -dir * half / 2), centre + QPoint(half, -dir * half / 2),
                             centre + QPoint(0, dir * (half - half / 2))});
    const QColor mark = isEnabled() ? QColor(Qt::black) : QColor(160, 160, 160);
    painter.setPen(mark);
    painter.setBrush(mark);
    painter.drawPolygon(triangle);
  }

 private:
  const LookContext& look_;
  bool up_;
};

SpinButton::SpinButton(const LookContext& look, QWidget* parent, std::function<void(bool up)> on_press)
    : QWidget(parent), up_(new Arrow(look, true, this)), down_(new Arrow(look, false, this)) {
  QObject::connect(up_, &QAbstractButton::pressed, this, [on_press] { on_press(true); });
  QObject::connect(down_, &QAbstractButton::pressed, this, [on_press] { on_press(false); });
}

void SpinButton::resizeEvent(QResizeEvent*) {
  const int upper = height() / 2;
  up_->setGeometry(0, 0, width(), upper);
  down_->setGeometry(0, upper, width(), height() - upper);
}

// --- label

LabelBox::LabelBox(const ControlTemplate& tmpl, QWidget* parent) : QWidget(parent), tmpl_(tmpl) {
  // A label paints all of itself; a transparent one lets its parent show through.
  if (tmpl.kind == ControlKind::kLabel) setAttribute(Qt::WA_OpaquePaintEvent);
  setFont(ToQFont(tmpl.font));
}

void LabelBox::SetCaption(const QString& caption) {
  if (caption == caption_) return;
  caption_ = caption;
  setAccessibleName(caption);
  update();
}

void LabelBox::resizeEvent(QResizeEvent*) {
  const std::span<const Colour> colours = LabelGradient(tmpl_);
  if (colours.empty() || width() <= 0) {
    gradient_ = QImage();
    return;
  }
  gradient_ = QImage(width(), 1, QImage::Format_RGB32);
  for (int x = 0; x < width(); ++x) {
    const Colour c = GradientColourAt(colours, x, width());
    gradient_.setPixel(x, 0, qRgb(RedOf(c), GreenOf(c), BlueOf(c)));
  }
}

void LabelBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  if (tmpl_.kind == ControlKind::kLabel) {
    if (!gradient_.isNull()) {
      painter.drawImage(rect(), gradient_);
    } else {
      painter.fillRect(rect(), ToQColor(tmpl_.background));
    }
  }
  const QRect area = DrawBorder(painter, rect(), tmpl_.border);
  painter.setPen(ToQColor(tmpl_.text_colour, Qt::black));
  Qt::Alignment flags = AlignmentOf(tmpl_);
  int text_flags = static_cast<int>(flags);
  if (tmpl_.word_wrap) text_flags = (text_flags & ~Qt::AlignVertical_Mask) | Qt::AlignTop | Qt::TextWordWrap;
  painter.drawText(area, text_flags | Qt::TextDontClip, caption_);
}

// --- hyperlink box

HyperlinkBox::HyperlinkBox(const ControlTemplate& tmpl, QWidget* parent, Callbacks callbacks)
    : QWidget(parent), tmpl_(tmpl), callbacks_(std::move(callbacks)) {
  setCursor(Qt::PointingHandCursor);
  setAttribute(Qt::WA_OpaquePaintEvent);
  setFont(ToQFont(tmpl.font));
  setAccessibleDescription(ToQString(tmpl.address).trimmed());
}

void HyperlinkBox::SetLook(const QString& text, QColor colour) {
  if (text == text_ && colour == colour_) return;
  text_ = text;
  colour_ = colour;
  setAccessibleName(text.trimmed());
  update();
}

void HyperlinkBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(tmpl_.background));
  const QRect area = DrawBorder(painter, rect(), tmpl_.border);
  painter.setClipRect(area);
  painter.setPen(colour_);
  // One line centred both ways; a longer text shows its middle, cut at the edges.
  painter.drawText(area, Qt::AlignCenter | Qt::TextSingleLine | Qt::TextDontClip, text_);
}

void HyperlinkBox::enterEvent(QEnterEvent*) { callbacks_.hover(true); }
void HyperlinkBox::leaveEvent(QEvent*) { callbacks_.hover(false); }

void HyperlinkBox::mousePressEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) callbacks_.press();
}

// --- picture box

PictureBox::PictureBox(const ControlTemplate& tmpl, QImage picture, QWidget* parent)
    : QWidget(parent), tmpl_(tmpl), picture_(std::move(picture)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBox::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  painter.fillRect(rect(), ToQColor(tmpl_.background));
  const QRect area = DrawBorder(painter, rect(), tmpl_.border);
  if (picture_.isNull()) return;
  painter.setRenderHint(QPainter::SmoothPixmapTransform);
  painter.drawImage(area, picture_);
}

}  // namespace autoshutdown::ui::qt
