// labelplu: the print object's device modes, papers and capabilities.
#include <QPageSize>
#include <QPrinter>

#include <cmath>

#include "platform/spool/CupsScheduler.h"
#include "platform/spool/SpoolPrintObject.h"

namespace labelplu::spool {
namespace {

int32_t CodeOf(const QPageSize& size) {
  const int id = size.windowsId();
  return id > 0 && id != kCustomPaperCode ? id : kCustomPaperCode;
}

PaperInfo PaperOf(const QPageSize& size) {
  const QSizeF mm = size.size(QPageSize::Millimeter);
  return PaperInfo{size.name().toStdString(), CodeOf(size), mm.width(), mm.height()};
}

}  // namespace

PageSettings SpoolPrintObject::DefaultMode(int32_t index) const {
  PageSettings mode;
  const int32_t slot = BuiltinSlot(index);
  if (slot >= 0) {
    const BuiltinOptions& options = m_builtinOptions[static_cast<size_t>(slot)];
    if (options.PaperWidthMm > 0 && options.PaperHeightMm > 0) {
      mode.PaperCode = kCustomPaperCode;
      mode.PaperWidthMm = options.PaperWidthMm;
      mode.PaperHeightMm = options.PaperHeightMm;
    } else {
      mode.PaperCode = QPageSize(QPageSize::A4).windowsId();
    }
    const int32_t dpi = options.Dpi > 0 ? options.Dpi
                        : slot == 0     ? kPdfDefaultDpi
                                        : kRasterDefaultDpi;
    mode.ResolutionX = mode.ResolutionY = dpi;
    return mode;
  }
  const QPrinterInfo& queue = m_queues.at(static_cast<size_t>(index));
  const QPageSize size = queue.defaultPageSize();
  mode.PaperCode = CodeOf(size);
  if (mode.PaperCode == kCustomPaperCode) {
    const QSizeF mm = size.size(QPageSize::Millimeter);
    mode.PaperWidthMm = mm.width();
    mode.PaperHeightMm = mm.height();
  }
  const QList<int> resolutions = queue.supportedResolutions();
  const int32_t dpi = resolutions.isEmpty() ? kPdfDefaultDpi : resolutions.front();
  mode.ResolutionX = mode.ResolutionY = dpi;
  return mode;
}

void SpoolPrintObject::ResetDeviceMode() {
  m_mode = DefaultMode(m_index);
  m_caps.reset();
}

void SpoolPrintObject::SetDeviceMode(const PageSettings& mode) {
  RequireNotPrinting("change the device mode");
  const auto bad = [&](const std::string& what) {
    throw SpoolError("printer \"" + PrinterName() + "\": " + what);
  };
  if (mode.ResolutionX < 1 || mode.ResolutionX > kMaxDpi || mode.ResolutionY < 1 ||
      mode.ResolutionY > kMaxDpi) {
    bad("resolution " + std::to_string(mode.ResolutionX) + " x " +
        std::to_string(mode.ResolutionY) + " is outside 1..4800 dpi");
  }
  const bool sized = mode.PaperWidthMm > 0 || mode.PaperHeightMm > 0;
  if (sized && !(mode.PaperWidthMm >= 1 && mode.PaperWidthMm <= kMaxPaperMm &&
                 mode.PaperHeightMm >= 1 && mode.PaperHeightMm <= kMaxPaperMm)) {
    bad("paper " + CustomPaperName(mode.PaperWidthMm, mode.PaperHeightMm) +
        " is outside 1..5000 mm");
  }
  if (!sized && !QPageSize(QPageSize::id(mode.PaperCode)).isValid()) {
    bad("paper code " + std::to_string(mode.PaperCode) + " is unknown and no size is given");
  }
  m_mode = mode;
  m_caps.reset();
}

PageSetup SpoolPrintObject::SetupOf(const PageSettings& mode) const {
  QPageSize size;
  if (mode.PaperWidthMm > 0 && mode.PaperHeightMm > 0) {
    const QSizeF mm(mode.PaperWidthMm, mode.PaperHeightMm);
    // A queue's own size of those dimensions keeps its name (the PPD's key).
    if (BuiltinSlot(m_index) < 0) {
      for (const QPageSize& s : m_queues.at(static_cast<size_t>(m_index)).supportedPageSizes()) {
        const QSizeF q = s.size(QPageSize::Millimeter);
        if (std::abs(q.width() - mm.width()) < 0.5 && std::abs(q.height() - mm.height()) < 0.5) {
          size = s;
          break;
        }
      }
    }
    if (!size.isValid()) {
      size = QPageSize(mm, QPageSize::Millimeter,
                       QString::fromStdString(CustomPaperName(mm.width(), mm.height())),
                       QPageSize::ExactMatch);
    }
  } else {
    size = QPageSize(QPageSize::id(mode.PaperCode));
  }
  PageSetup setup;
  setup.Layout =
      QPageLayout(size, mode.Orientation == 2 ? QPageLayout::Landscape : QPageLayout::Portrait,
                  QMarginsF(0, 0, 0, 0));
  setup.DpiX = mode.ResolutionX;
  setup.DpiY = mode.ResolutionY;
  return setup;
}

std::vector<PaperInfo> SpoolPrintObject::Papers(std::string_view printerName) const {
  std::vector<PaperInfo> papers;
  const int32_t index = IndexOfPrinter(printerName);
  if (index < 0) return papers;
  const int32_t slot = BuiltinSlot(index);
  if (slot < 0) {
    for (const QPageSize& size : m_queues.at(static_cast<size_t>(index)).supportedPageSizes()) {
      papers.push_back(PaperOf(size));
    }
    return papers;
  }
  for (const auto& [id, name] : {std::pair{QPageSize::A4, "A4"}, std::pair{QPageSize::A5, "A5"},
                                 std::pair{QPageSize::Letter, "Letter"}}) {
    PaperInfo paper = PaperOf(QPageSize(id));
    paper.Name = name;  // Qt's own names are longer ("Letter / ANSI A")
    papers.push_back(paper);
  }
  // The custom size in force: the selected built-in's device mode, else the
  // built-in's options.
  const BuiltinOptions& options = m_builtinOptions[static_cast<size_t>(slot)];
  double w = options.PaperWidthMm;
  double h = options.PaperHeightMm;
  if (index == m_index && m_mode.PaperWidthMm > 0 && m_mode.PaperHeightMm > 0) {
    w = m_mode.PaperWidthMm;
    h = m_mode.PaperHeightMm;
  }
  if (w > 0 && h > 0) papers.push_back(PaperInfo{CustomPaperName(w, h), kCustomPaperCode, w, h});
  return papers;
}

int32_t SpoolPrintObject::GetDeviceCaps(int32_t index) const {
  if (m_open != OpenKind::None) {
    const gdi::Canvas* canvas = const_cast<SpoolPrintObject*>(this)->Canvas();
    if (canvas != nullptr) return CapsOfCanvas(*canvas).Get(index);
  }
  if (!m_caps) {
    const PageSetup setup = SetupOf(m_mode);
    const int32_t slot = BuiltinSlot(m_index);
    if (slot == 0) {
      m_caps = PdfJob::Caps(setup);
    } else if (slot == 1) {
      m_caps = CapsOfRaster(setup);
    } else {
      RequireAnsweringScheduler();
      QPrinter printer(m_queues.at(static_cast<size_t>(m_index)), QPrinter::HighResolution);
      ConfigureQueuePrinter(printer, setup);
      m_caps = CapsOfDevice(printer, PageSetup{printer.pageLayout(), setup.DpiX, setup.DpiY});
    }
  }
  return m_caps->Get(index);
}

bool SpoolPrintObject::SupportsCopies() const {
  return !IsBuiltin(m_index);
}

}  // namespace labelplu::spool
