// A page as a label printer would print it, decoded from the printer
// language that CUPS's label driver (rastertolabel) writes.
#ifndef LABELPLU_TESTS_LABELDRIVERS_DRIVERPAGE_H
#define LABELPLU_TESTS_LABELDRIVERS_DRIVERPAGE_H

#include <QImage>

namespace labelplu::test {

struct DriverPage {
  // The dots of the page, top row first, as 8-bit grey: 0 a printed
  // (black) dot, 255 none.
  QImage Image;
  // How many times the printer is told to print the page.
  int Copies = 1;
  // The printer is told to turn the page half a turn (ZPL "^POI") before it
  // prints; Image is the page as sent, not turned.
  bool Turned = false;
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_LABELDRIVERS_DRIVERPAGE_H
