// One label printer device for a test: a device list whose module file lies
// in a temporary folder (so bare template names are looked for there), with
// one PrinterDevice, template files written into that folder, its settings,
// and pages printed on the built-in raster printer into the folder's "out".
#ifndef LABELPLU_TESTS_SUPPORT_PRINTERDEVICEFIXTURE_H
#define LABELPLU_TESTS_SUPPORT_PRINTERDEVICEFIXTURE_H

#include <QImage>
#include <QString>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "print/PrinterDevice.h"
#include "tests/support/TempDir.h"

namespace labelplu::test {

// Settings of a device by name, applied in order.
using DeviceSettings = std::vector<std::pair<std::string, std::string>>;

class PrinterDeviceFixture {
 public:
  // Makes the device list from the path of its module file; a test that
  // records what the list's devices do passes its own subclass.
  using ListFactory = std::function<std::unique_ptr<PrinterDeviceList>(const std::string&)>;

  // The folder, the list and its one device, switched off and with the
  // list's default settings. Make it after the application and after
  // anything the device must see when it is made (a private CUPS server).
  explicit PrinterDeviceFixture(const ListFactory& makeList = {}) {
    const std::string module = m_folder.File("labelplu.plu");
    m_list = makeList ? makeList(module) : std::make_unique<PrinterDeviceList>(module);
    m_device = dynamic_cast<PrinterDevice*>(&m_list->AppendDevice());
    if (m_device == nullptr) throw std::logic_error("the list made no PrinterDevice");
  }
  PrinterDeviceFixture(const PrinterDeviceFixture&) = delete;
  PrinterDeviceFixture& operator=(const PrinterDeviceFixture&) = delete;

  const TempDir& Folder() const { return m_folder; }
  PrinterDeviceList& List() { return *m_list; }
  PrinterDevice& Device() { return *m_device; }

  // Writes xml as the template file name in the folder; its full path.
  std::string AddTemplate(const std::string& name, std::string_view xml) const {
    return m_folder.Write(name, std::string(xml)).string();
  }

  void Set(const DeviceSettings& settings) {
    for (const auto& [name, value] : settings) m_device->SetParam(name, value);
  }

  // The built-in raster printer writing its pages into OutputFolder(), at
  // dpi and on paper ("58x40" mm; empty for its default, A4).
  std::string RasterPrinter(int dpi, std::string_view paper = {}) const {
    std::filesystem::create_directories(OutputFolder());
    std::string name = "labelplu Raster; file=" + (OutputFolder() / "page").string() +
                       "; dpi=" + std::to_string(dpi);
    if (!paper.empty()) name += "; paper=" + std::string(paper);
    return name;
  }
  std::filesystem::path OutputFolder() const { return m_folder.Path() / "out"; }

  // The pages printed into OutputFolder(), in the order of their files.
  std::vector<QImage> PrintedPages() const {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator(OutputFolder()))
      files.push_back(entry.path().string());
    std::sort(files.begin(), files.end());
    std::vector<QImage> pages;
    pages.reserve(files.size());
    for (const std::string& file : files) pages.emplace_back(QString::fromStdString(file));
    return pages;
  }

 private:
  TempDir m_folder;  // declared first: removed after the list is gone
  std::unique_ptr<PrinterDeviceList> m_list;
  PrinterDevice* m_device = nullptr;  // owned by m_list
};

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_SUPPORT_PRINTERDEVICEFIXTURE_H
