// labelplu: the built-in raster printer's PNG files.
#include "platform/spool/RasterJob.h"

#include <QFile>
#include <QSaveFile>

#include <cstdio>

#include "platform/gdi/RasterTarget.h"
#include "platform/spool/BuiltinOutput.h"
#include "platform/spool/PrintObject.h"

namespace labelplu::spool {
namespace {

std::string FourDigits(int32_t n) {
  char text[16];
  std::snprintf(text, sizeof text, "%04d", static_cast<int>(n));
  return text;
}

}  // namespace

RasterJob::RasterJob(std::string printerName, std::string base)
    : m_printerName(std::move(printerName)), m_base(std::move(base)) {}

RasterJob::~RasterJob() {
  AbortDoc();
}

void RasterJob::Fail(const std::string& what) const {
  throw SpoolError("printer \"" + m_printerName + "\": " + what);
}

void RasterJob::BeginDoc(const PageSetup& setup, int32_t copies) {
  MakeParentFolder(m_printerName, m_base);
  try {
    m_image =
        gdi::CreateRasterImage(PaperPixelsX(setup), PaperPixelsY(setup), setup.DpiX, setup.DpiY);
    m_canvas = std::make_unique<gdi::Canvas>(m_image);
  } catch (const std::exception& e) {
    m_canvas.reset();
    m_image = QImage();
    Fail(std::string("cannot make the page: ") + e.what());
  }
  ++m_document;
  m_page = 0;
  m_copies = copies < 1 ? 1 : copies;
  m_documentFiles.clear();
}

void RasterJob::SavePage() {
  for (int32_t copy = 0; copy < m_copies; ++copy) {
    ++m_page;
    const std::string path =
        m_base + "-" + FourDigits(m_document) + "-" + FourDigits(m_page) + ".png";
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly) || !m_image.save(&file, "PNG") || !file.commit()) {
      Fail("cannot write the file \"" + path + "\": " + file.errorString().toStdString());
    }
    m_documentFiles.push_back(path);
  }
}

void RasterJob::NewPage() {
  SavePage();
  QPainter& painter = m_canvas->Painter();
  painter.save();
  painter.setClipping(false);
  painter.resetTransform();
  painter.setCompositionMode(QPainter::CompositionMode_Source);
  painter.fillRect(m_image.rect(), Qt::white);
  painter.restore();
}

void RasterJob::EndDoc() {
  SavePage();
  m_canvas.reset();
  m_image = QImage();
  m_files.insert(m_files.end(), m_documentFiles.begin(), m_documentFiles.end());
  m_documentFiles.clear();
}

void RasterJob::AbortDoc() noexcept {
  m_canvas.reset();
  m_image = QImage();
  for (const std::string& path : m_documentFiles) QFile::remove(QString::fromStdString(path));
  m_documentFiles.clear();
}

}  // namespace labelplu::spool
