// labelplu: the colour scheme of the driver's dialogs.
#include "ui/ThemedDialog.h"

#include <QAbstractButton>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPalette>
#include <QPushButton>
#include <QToolButton>

#include "devices/DialogColours.h"

namespace labelplu {

namespace {

void SetBackground(QWidget& widget, const QColor& colour) {
  if (!colour.isValid()) return;
  QPalette palette = widget.palette();
  palette.setColor(QPalette::Window, colour);
  widget.setPalette(palette);
  widget.setAutoFillBackground(true);
}

void SetText(QWidget& widget, const QColor& colour) {
  if (!colour.isValid()) return;
  QPalette palette = widget.palette();
  palette.setColor(QPalette::WindowText, colour);
  palette.setColor(QPalette::ButtonText, colour);
  palette.setColor(QPalette::Text, colour);
  widget.setPalette(palette);
}

}  // namespace

ThemedDialog::ThemedDialog(QWidget* parent) : QDialog(parent) {}

QColor ThemedDialog::ColourOf(int32_t value) {
  if (value < 0) return QColor();
  const auto v = static_cast<uint32_t>(value);
  return QColor(static_cast<int>(v & 0xFF), static_cast<int>((v >> 8) & 0xFF),
                static_cast<int>((v >> 16) & 0xFF));
}

void ThemedDialog::ApplyColourScheme() {
  const DialogColours colours = CurrentDialogColours();
  const QColor form = ColourOf(colours.Form);
  const QColor body = ColourOf(colours.Body);
  const QColor font = ColourOf(colours.Font);
  SetBackground(*this, form);
  for (QWidget* child : findChildren<QWidget*>()) {
    // Group boxes and plain frames are the panels; scroll areas, lists and
    // other frame subclasses keep their look.
    const bool panel = qobject_cast<QGroupBox*>(child) != nullptr ||
                       child->metaObject() == &QFrame::staticMetaObject;
    // A label is a frame too: only its text colour changes, as that of a
    // push or tool button with an icon.
    const auto* button = qobject_cast<QAbstractButton*>(child);
    const bool textOnly =
        qobject_cast<QLabel*>(child) != nullptr || (button != nullptr && !button->icon().isNull() &&
                                                    (qobject_cast<QPushButton*>(child) != nullptr ||
                                                     qobject_cast<QToolButton*>(child) != nullptr));
    if (panel) SetBackground(*child, body);
    if (panel || textOnly) SetText(*child, font);
  }
}

}  // namespace labelplu
