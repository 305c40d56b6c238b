// labelplu: the built-in PDF printer's output file.
#include "platform/spool/PdfJob.h"

#include <QPageSize>
#include <QPainter>

#include "platform/spool/BuiltinOutput.h"
#include "platform/spool/PrintObject.h"

namespace labelplu::spool {

PdfJob::PdfJob(std::string printerName, std::string path, const std::string& title)
    : m_printerName(std::move(printerName)), m_path(std::move(path)) {
  MakeParentFolder(m_printerName, m_path);
  m_file.setFileName(QString::fromStdString(m_path));
  if (!m_file.open(QIODevice::WriteOnly)) {
    Fail("cannot write the file \"" + m_path + "\": " + m_file.errorString().toStdString());
  }
  m_writer = std::make_unique<QPdfWriter>(&m_file);
  m_writer->setTitle(QString::fromStdString(title));
  m_writer->setCreator(QStringLiteral("labelplu"));
}

PdfJob::~PdfJob() {
  Discard();
}

void PdfJob::Fail(const std::string& what) const {
  throw SpoolError("printer \"" + m_printerName + "\": " + what);
}

void PdfJob::ApplySetup(QPdfWriter& writer, const PageSetup& setup) const {
  writer.setResolution(setup.DpiX);
  QPageLayout layout = setup.Layout;
  layout.setMode(QPageLayout::FullPageMode);
  writer.setPageLayout(layout);
}

DeviceCaps PdfJob::Caps(const PageSetup& setup) {
  QBuffer buffer;
  QPdfWriter writer(&buffer);
  writer.setResolution(setup.DpiX);
  QPageLayout layout = setup.Layout;
  layout.setMode(QPageLayout::FullPageMode);
  writer.setPageLayout(layout);
  return CapsOfDevice(writer, setup);
}

// The writer's next free page in the set-up's layout.
void PdfJob::StartWriterPage(const PageSetup& setup) {
  if (!m_writerCanvas) {
    ApplySetup(*m_writer, setup);
    try {
      m_writerCanvas = std::make_unique<gdi::Canvas>(*m_writer);
    } catch (const std::exception& e) {
      Fail("cannot begin the file \"" + m_path + "\": " + e.what());
    }
  } else if (m_writerPageUsed) {
    ApplySetup(*m_writer, setup);
    if (!m_writer->newPage()) Fail("cannot add a page to \"" + m_path + "\"");
  }
  m_writerPageUsed = true;
  m_writerCanvas->SetPageMetrics(gdi::PageMetrics{m_writer->width(), m_writer->height(), 0, 0});
}

void PdfJob::BeginDoc(const PageSetup& setup, int32_t copies) {
  m_setup = setup;
  m_copies = copies < 1 ? 1 : copies;
  m_holdBack = m_documentsDone > 0;
  m_recording = m_holdBack || m_copies > 1;
  m_heldPages.clear();
  if (m_recording) {
    m_model = std::make_unique<QPdfWriter>(&m_modelBuffer);
    ApplySetup(*m_model, setup);
    StartRecordedPage();
  } else {
    StartWriterPage(setup);
  }
  m_open = true;
}

void PdfJob::StartRecordedPage() {
  std::optional<CanvasState> state;
  if (m_pageCanvas) {
    state = SaveCanvasState(*m_pageCanvas);
    m_pageCanvas.reset();
  }
  m_page = std::make_unique<PageRecorder>(*m_model);
  try {
    m_pageCanvas.emplace(*m_page);
  } catch (const std::exception& e) {
    Fail(std::string("cannot record a page: ") + e.what());
  }
  m_pageCanvas->SetPageMetrics(gdi::PageMetrics{m_model->width(), m_model->height(), 0, 0});
  if (state) RestoreCanvasState(*state, *m_pageCanvas);
}

void PdfJob::FinishRecordedPage() {
  m_pageCanvas->End();
  if (m_holdBack) {
    m_heldPages.push_back(std::move(m_page));
  } else {
    Replay(*m_page, m_setup, m_copies);
    m_page.reset();
  }
}

void PdfJob::Replay(const PageRecorder& page, const PageSetup& setup, int32_t times) {
  for (int32_t i = 0; i < times; ++i) {
    StartWriterPage(setup);
    page.PlayOn(m_writerCanvas->Painter());
  }
}

gdi::Canvas* PdfJob::Canvas() {
  if (!m_open) return nullptr;
  if (m_recording) return m_pageCanvas ? &*m_pageCanvas : nullptr;
  return m_writerCanvas.get();
}

void PdfJob::NewPage() {
  if (m_recording) {
    FinishRecordedPage();
    StartRecordedPage();
  } else {
    StartWriterPage(m_setup);
  }
}

void PdfJob::EndDoc() {
  if (m_recording) {
    FinishRecordedPage();
    for (const auto& page : m_heldPages) Replay(*page, m_setup, m_copies);
    m_heldPages.clear();
    m_pageCanvas.reset();
    m_model.reset();
  }
  m_open = false;
  ++m_documentsDone;
}

bool PdfJob::AbortDoc() noexcept {
  m_open = false;
  m_pageCanvas.reset();
  m_page.reset();
  m_heldPages.clear();
  m_model.reset();
  if (m_holdBack) return true;
  Discard();
  return false;
}

void PdfJob::Finish() {
  if (!m_writerCanvas) Fail("no page was printed into \"" + m_path + "\"");
  m_writerCanvas->End();
  m_writerCanvas.reset();
  m_writer.reset();
  if (!m_file.commit()) {
    Fail("cannot write the file \"" + m_path + "\": " + m_file.errorString().toStdString());
  }
}

void PdfJob::Discard() noexcept {
  m_pageCanvas.reset();
  try {
    if (m_writerCanvas) m_writerCanvas->End();
  } catch (...) {
  }
  m_writerCanvas.reset();
  m_writer.reset();
  // The temporary file goes when the QSaveFile does, uncommitted.
  m_file.cancelWriting();
}

}  // namespace labelplu::spool
