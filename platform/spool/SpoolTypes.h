// labelplu: pieces shared by the print object's source files (not for
// callers): the page a document is printed on and the device capabilities
// that follow from it.
#ifndef LABELPLU_PLATFORM_SPOOL_SPOOLTYPES_H
#define LABELPLU_PLATFORM_SPOOL_SPOOLTYPES_H

#include <QPageLayout>

#include <cstdint>
#include <string>

class QPaintDevice;

namespace labelplu::gdi {
class Canvas;
}

namespace labelplu::spool {

inline constexpr int32_t kCustomPaperCode = 256;
inline constexpr int32_t kPdfDefaultDpi = 300;
inline constexpr int32_t kRasterDefaultDpi = 203;
inline constexpr int32_t kMaxDpi = 4800;
inline constexpr double kMaxPaperMm = 5000;

// "58 x 40 mm": the name of a custom paper.
std::string CustomPaperName(double widthMm, double heightMm);

// The paper, orientation and resolution of a document. Built-in printers
// have no unprintable margins; a CUPS queue's minimum margins are in
// Layout.
struct PageSetup {
  QPageLayout Layout;
  int32_t DpiX = 300;
  int32_t DpiY = 300;
};

// GetDeviceCaps answers of a printer in a given set-up.
struct DeviceCaps {
  int32_t HorzRes = 0;
  int32_t VertRes = 0;
  int32_t HorzSize = 0;
  int32_t VertSize = 0;
  int32_t PhysicalWidth = 0;
  int32_t PhysicalHeight = 0;
  int32_t OffsetX = 0;
  int32_t OffsetY = 0;
  int32_t LogPixelsX = 0;
  int32_t LogPixelsY = 0;

  int32_t Get(int32_t index) const;
};

// The capabilities of a paint device that is not being painted on (a
// configured QPrinter or QPdfWriter): printable area from the device's own
// metrics, paper and offsets from the set-up's layout.
DeviceCaps CapsOfDevice(const QPaintDevice& device, const PageSetup& setup);

// The capabilities of a canvas (of an open document).
DeviceCaps CapsOfCanvas(const gdi::Canvas& canvas);

// The capabilities of an image of the set-up's paper at its resolution,
// computed as QImage computes its metrics (no image is made).
DeviceCaps CapsOfRaster(const PageSetup& setup);

// The paper of a set-up in whole pixels at its resolution.
int32_t PaperPixelsX(const PageSetup& setup);
int32_t PaperPixelsY(const PageSetup& setup);

}  // namespace labelplu::spool

#endif  // LABELPLU_PLATFORM_SPOOL_SPOOLTYPES_H
