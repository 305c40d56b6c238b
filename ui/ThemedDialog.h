// labelplu: the base of the driver's dialogs: applies the process-wide
// colour scheme (the host's "ColorItem" element, devices/DialogColours.h)
// to the form and to every widget it contains.
//
//   the form                          background := Form
//   frames (panels), group boxes      background := Body, text := Font
//   labels                            text := Font
//   push and tool buttons with icon   text := Font
//
// A colour of -1 leaves the designed colour. Colours are the platform's
// colour values (0x00BBGGRR). A derived dialog builds its widgets and then
// calls ApplyColourScheme() at the end of its constructor.
//
// Threads: the GUI thread.
#ifndef LABELPLU_UI_THEMEDDIALOG_H
#define LABELPLU_UI_THEMEDDIALOG_H

#include <QColor>
#include <QDialog>

#include <cstdint>

namespace labelplu {

class ThemedDialog : public QDialog {
 public:
  explicit ThemedDialog(QWidget* parent = nullptr);

  // The Qt colour of a platform colour value; invalid for -1 (or any
  // negative value).
  static QColor ColourOf(int32_t value);

 protected:
  // Applies the colours in force to this form and, recursively, to the
  // widgets it holds.
  void ApplyColourScheme();
};

}  // namespace labelplu

#endif  // LABELPLU_UI_THEMEDDIALOG_H
