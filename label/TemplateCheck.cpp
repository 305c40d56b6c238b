// labelplu: checking a template and a job's data.
#include "label/TemplateCheck.h"

#include <algorithm>
#include <cmath>
#include <map>
#include <numbers>
#include <optional>
#include <unordered_map>

#include "base/TextUtils.h"
#include "label/Cp1251.h"
#include "label/DataSources.h"
#include "label/ItemClasses.h"
#include "label/Label.h"
#include "label/LabelItem.h"
#include "label/LabelView.h"
#include "label/LinearBarcodeItem.h"
#include "label/MatrixBarcodeItem.h"
#include "label/PictureItem.h"
#include "label/PixelRound.h"
#include "label/PropText.h"
#include "label/TemplateError.h"
#include "label/TemplateFile.h"
#include "platform/sys/ModulePath.h"

namespace labelplu {

namespace {

// Where a loaded item came from.
struct ItemOrigin {
  int32_t Line = 0;
  int32_t Number = 0;
};

// What the load skipped, kept until the items' data sources are final.
struct SkippedEntry {
  CheckProblem Problem;
  const LabelItem* Item = nullptr;
};

class LoadCollector : public TemplateLoadObserver {
 public:
  void UnknownClass(int32_t line, int32_t itemNumber, std::string_view className) override {
    SkippedEntry entry;
    entry.Problem.Kind = CheckKind::UnknownClass;
    entry.Problem.Line = line;
    entry.Problem.Item.Number = itemNumber;
    entry.Problem.Item.ClassName = std::string(className);
    entry.Problem.Name = std::string(className);
    Skipped.push_back(std::move(entry));
  }
  void ItemLoaded(const LabelItem& item, int32_t line, int32_t itemNumber) override {
    Origins[&item] = ItemOrigin{line, itemNumber};
  }
  void SettingSkipped(const LabelItem& item, int32_t line, SkippedSetting why,
                      std::string_view name, std::string_view value,
                      std::string_view detail) override {
    SkippedEntry entry;
    switch (why) {
      case SkippedSetting::Incomplete:
        entry.Problem.Kind = CheckKind::IncompleteSetting;
        break;
      case SkippedSetting::UnknownProperty:
        entry.Problem.Kind = CheckKind::UnknownProperty;
        break;
      case SkippedSetting::EmptyValue:
        entry.Problem.Kind = CheckKind::EmptyValue;
        break;
      case SkippedSetting::BadValue:
        entry.Problem.Kind = CheckKind::BadValue;
        break;
    }
    entry.Problem.Line = line;
    entry.Problem.Name = std::string(name);
    entry.Problem.Value = std::string(value);
    entry.Problem.Detail = std::string(detail);
    entry.Item = &item;
    Skipped.push_back(std::move(entry));
  }

  std::map<const LabelItem*, ItemOrigin> Origins;
  std::vector<SkippedEntry> Skipped;
};

class ReportBuilder {
 public:
  ReportBuilder(CheckReport& report, size_t limit) : m_report(report), m_limit(limit) {}

  void Add(CheckProblem problem) {
    (SeverityOf(problem.Kind) == CheckSeverity::Error ? m_report.Errors : m_report.Warnings) += 1;
    size_t& listed = m_listed[static_cast<size_t>(problem.Kind)];
    if (listed >= m_limit) {
      ++m_report.Unlisted[static_cast<size_t>(problem.Kind)];
      return;
    }
    ++listed;
    m_report.Problems.push_back(std::move(problem));
  }

 private:
  CheckReport& m_report;
  size_t m_limit;
  std::array<size_t, static_cast<size_t>(CheckKind::Count)> m_listed{};
};

std::string SourceText(const LabelItem& item) {
  return item.DataSource() == dsNone ? std::string() : GetPropText(&item, "DS");
}

// The line of the first byte above 0x7F.
int32_t FirstNonAsciiLine(std::string_view bytes) {
  int32_t line = 1;
  for (const char c : bytes) {
    if (static_cast<unsigned char>(c) >= 0x80) return line;
    if (c == '\n') ++line;
  }
  return 0;
}

// The key a value name fills, as Label::FillValue finds it.
std::string FeedKey(std::string_view name) {
  if (const auto key = FindKeyByCaption(name)) return std::string(*key);
  return std::string(name);
}

// The names that fill data source key: its caption (when the caption leads
// back to it) and the key itself.
std::vector<std::string> NamesFeeding(const std::string& key) {
  std::vector<std::string> names;
  if (const CaptionRow* row = FindCaptionByKey(key); row != nullptr && !row->Caption.empty()) {
    const auto back = FindKeyByCaption(row->Caption);
    if (back && SameText(*back, key)) names.emplace_back(row->Caption);
  }
  names.push_back(key);
  return names;
}

std::string DotsText(int32_t width, int32_t height) {
  return std::to_string(width) + "×" + std::to_string(height);
}

// Why the prepared barcode item does not print its value; nothing when it
// does. tooLarge tells a matrix symbol that would be squeezed below one dot
// per module (symbol and box sizes in value and box).
std::optional<std::string> PreparedTrouble(LabelItem& item, bool& tooLarge, std::string& value,
                                           std::string& box) {
  if (auto* linear = dynamic_cast<LinearBarcodeItem*>(&item)) {
    linear->Prepare();
    if (!linear->ErrorMessage().empty()) return linear->ErrorMessage();
    return std::nullopt;
  }
  if (auto* matrix = dynamic_cast<MatrixBarcodeItem*>(&item)) {
    matrix->Prepare();
    if (!matrix->ErrorMessage().empty()) return matrix->ErrorMessage();
    // At one dot per module a symbol larger than its box is scaled down
    // by the fit: its modules would be less than a dot. MaxiCode's picture
    // is drawn finer than its modules and scales down without that loss.
    if (matrix->BRType2D() == MatrixSymbology::br2MaxiCode) return std::nullopt;
    const MatrixBarcodeGenerator* generator = matrix->Generator();
    const double boxW = matrix->PixelsPerMmX() * matrix->Width();
    const double boxH = matrix->PixelsPerMmY() * matrix->Height();
    if (generator != nullptr && matrix->ModulePixels() == 1 &&
        (generator->Image().width() > boxW || generator->Image().height() > boxH)) {
      tooLarge = true;
      value = DotsText(generator->Image().width(), generator->Image().height());
      box = DotsText(RoundPx(boxW), RoundPx(boxH));
      return value + " > " + box;
    }
  }
  return std::nullopt;
}

std::optional<std::string> BarcodeTrouble(LabelItem& item, bool& tooLarge, std::string& value,
                                          std::string& box) {
  tooLarge = false;
  try {
    return PreparedTrouble(item, tooLarge, value, box);
  } catch (const std::bad_alloc&) {
    throw;
  } catch (const std::exception& e) {
    // What stops the preparation (a box beyond the bitmap's limits) stops
    // the print job as well.
    return std::string(e.what());
  }
}

// The property a setting's dotted name reaches, as SetPropText resolves it.
const PropertyInfo* SettingProperty(const PublishedObject& object, std::string_view path) {
  const size_t dot = path.find('.');
  if (dot == std::string_view::npos) return FindProperty(object, path);
  const PropertyInfo* head = FindProperty(object, path.substr(0, dot));
  if (head == nullptr || head->Kind != PropertyKind::Object) return nullptr;
  return SettingProperty(head->GetObject(object), path.substr(dot + 1));
}

// The names a template may set on object ("Font.Size" for the font's).
void AddPropertyNames(const PublishedObject& object, const std::string& prefix,
                      std::vector<std::string>& names) {
  for (const PropertyInfo& prop : object.Properties()) {
    if (prop.Kind == PropertyKind::Object)
      AddPropertyNames(prop.GetObject(object), prefix + std::string(prop.Name) + ".", names);
    else
      names.push_back(prefix + std::string(prop.Name));
  }
}

bool IsBarcode(const LabelItem& item) {
  return dynamic_cast<const LinearBarcodeItem*>(&item) != nullptr ||
         dynamic_cast<const MatrixBarcodeItem*>(&item) != nullptr;
}

bool IsPicture(const LabelItem& item) {
  return dynamic_cast<const PictureItem*>(&item) != nullptr;
}

class TemplateChecker {
 public:
  TemplateChecker(const CheckInput& input, CheckReport& report)
      : m_input(input),
        m_out(report, input.ListLimit),
        m_view(nullptr, input.Dpi, input.Dpi),
        m_pictureFolder(input.PictureFolder.empty() ? sys::ModuleDirectory()
                                                    : input.PictureFolder) {}
  ~TemplateChecker() { m_label.SetView(nullptr); }
  TemplateChecker(const TemplateChecker&) = delete;
  TemplateChecker& operator=(const TemplateChecker&) = delete;

  void Run(std::string_view bytes, const std::string& fileName) {
    if (DetectTemplateEncoding(bytes) == TemplateEncoding::Windows1251 && IsNonAsciiUtf8(bytes)) {
      CheckProblem problem;
      problem.Kind = CheckKind::Utf8Undeclared;
      problem.Line = FirstNonAsciiLine(bytes);
      m_out.Add(std::move(problem));
    }
    if (!Load(bytes, fileName)) return;
    for (SkippedEntry& entry : m_collector.Skipped) {
      if (entry.Item != nullptr) entry.Problem.Item = Describe(*entry.Item);
      AddHints(entry);
      m_out.Add(std::move(entry.Problem));
    }
    CheckPlacement();
    CheckTemplateBarcodes();
    CheckTemplatePictures();
    if (m_input.Data != nullptr) {
      CheckFeeds();
      CheckRecords();
    }
  }

 private:
  bool Load(std::string_view bytes, const std::string& fileName) {
    try {
      const std::string text = DecodeTemplateFileBytes(bytes, fileName);
      m_label.SetView(&m_view);
      m_label.LoadFromXmlObserved(text, fileName, m_collector);
      m_label.SetMode(kModeOffScreen);
      return true;
    } catch (const TemplateError& e) {
      CheckProblem problem;
      problem.Kind = CheckKind::NotLoaded;
      problem.Line = e.Line();
      problem.Detail = e.Reason();
      m_out.Add(std::move(problem));
      return false;
    }
  }

  // What the template could have written instead.
  static void AddHints(SkippedEntry& entry) {
    CheckProblem& problem = entry.Problem;
    if (problem.Kind == CheckKind::UnknownClass) {
      for (const ItemClass& cls : RegisteredItemClasses()) problem.Names.push_back(cls.ClassName);
    } else if (problem.Kind == CheckKind::UnknownProperty && entry.Item != nullptr) {
      AddPropertyNames(*entry.Item, {}, problem.Names);
    } else if (problem.Kind == CheckKind::BadValue && entry.Item != nullptr) {
      const PropertyInfo* prop = SettingProperty(*entry.Item, problem.Name);
      if (prop != nullptr && prop->Type != nullptr)
        for (const std::string_view name : prop->Type->Names) problem.Names.emplace_back(name);
    }
  }

  CheckItem Describe(const LabelItem& item) const {
    CheckItem described;
    const auto found = m_collector.Origins.find(&item);
    if (found != m_collector.Origins.end()) described.Number = found->second.Number;
    described.ClassName = std::string(item.ClassName());
    described.Source = SourceText(item);
    return described;
  }

  int32_t LineOf(const LabelItem& item) const {
    const auto found = m_collector.Origins.find(&item);
    return found == m_collector.Origins.end() ? 0 : found->second.Line;
  }

  CheckProblem About(CheckKind kind, const LabelItem& item) const {
    CheckProblem problem;
    problem.Kind = kind;
    problem.Line = LineOf(item);
    problem.Item = Describe(item);
    return problem;
  }

  // The item's box turned by its angle about its centre, against the label.
  void CheckPlacement() {
    constexpr double kToleranceMm = 0.01;
    for (int32_t i = 0; i < m_label.ItemCount(); ++i) {
      const LabelItem& item = m_label.Item(i);
      const double turn = item.Angle() * std::numbers::pi / 180.0;
      const double c = std::abs(std::cos(turn));
      const double s = std::abs(std::sin(turn));
      const double halfW = (c * item.Width() + s * item.Height()) / 2;
      const double halfH = (s * item.Width() + c * item.Height()) / 2;
      const double cx = item.Left() + item.Width() / 2;
      const double cy = item.Top() + item.Height() / 2;
      const double left = cx - halfW, right = cx + halfW, top = cy - halfH, bottom = cy + halfH;
      const double w = m_label.Width(), h = m_label.Height();
      std::optional<CheckKind> kind;
      if (right <= kToleranceMm || bottom <= kToleranceMm || left >= w - kToleranceMm ||
          top >= h - kToleranceMm) {
        kind = CheckKind::OutsideLabel;
      } else if (left < -kToleranceMm || top < -kToleranceMm || right > w + kToleranceMm ||
                 bottom > h + kToleranceMm) {
        kind = CheckKind::PartlyOutside;
      }
      if (!kind) continue;
      CheckProblem problem = About(*kind, item);
      problem.Value = FormatRealText(w);
      problem.Detail = FormatRealText(h);
      m_out.Add(std::move(problem));
    }
  }

  // Whether some value name of the job fills the item's data source.
  bool IsFed(const LabelItem& item) const {
    if (m_input.Data == nullptr || item.DataSource() == dsNone) return false;
    const std::string source = SourceText(item);
    return std::any_of(m_keys.begin(), m_keys.end(),
                       [&](const FeedingName& name) { return SameText(name.Key, source); });
  }

  // Barcodes print their template's own value unless the data replaces it.
  void CheckTemplateBarcodes() {
    CollectKeys();
    for (int32_t i = 0; i < m_label.ItemCount(); ++i) {
      LabelItem& item = m_label.Item(i);
      if (!IsBarcode(item) || IsFed(item)) continue;
      bool tooLarge = false;
      std::string symbol, box;
      const std::optional<std::string> trouble = BarcodeTrouble(item, tooLarge, symbol, box);
      if (!trouble) continue;
      CheckProblem problem =
          About(tooLarge ? CheckKind::BarcodeTooLarge : CheckKind::BarcodeFails, item);
      if (tooLarge) {
        problem.Value = symbol;
        problem.Detail = box;
      } else {
        problem.Value = GetPropText(&item, "Value");
        problem.Detail = *trouble;
      }
      m_out.Add(std::move(problem));
    }
  }

  // Why a picture name shows no picture in the job: empty when nothing of
  // that name is found, the reason when the file cannot be read; nothing
  // when it shows its picture.
  std::optional<std::string> PictureTrouble(const std::string& name) const {
    try {
      if (m_label.FindImageIn(name, m_pictureFolder).isNull()) return std::string();
      return std::nullopt;
    } catch (const std::bad_alloc&) {
      throw;
    } catch (const std::exception& e) {
      return std::string(e.what());
    }
  }

  void AddPictureProblem(CheckProblem problem, const std::string& name,
                         const std::string& trouble) {
    problem.Value = name;
    problem.Detail = trouble;
    problem.Names = {Label::PictureFilePath(name, m_pictureFolder)};
    m_out.Add(std::move(problem));
  }

  // Pictures print their template's own name unless the data replaces it;
  // an empty name prints no picture, as meant.
  void CheckTemplatePictures() {
    for (int32_t i = 0; i < m_label.ItemCount(); ++i) {
      const LabelItem& item = m_label.Item(i);
      if (!IsPicture(item) || IsFed(item)) continue;
      const std::string name = item.GetValue();
      if (name.empty()) continue;
      if (const std::optional<std::string> trouble = PictureTrouble(name))
        AddPictureProblem(About(CheckKind::PictureNotFound, item), name, *trouble);
    }
  }

  struct FeedingName {
    std::string Name;
    std::string Key;
    bool Common = false;
    size_t Index = 0;  // into Common or FieldNames
  };

  // Every value name the job fills, in the order it fills them.
  void CollectKeys() {
    m_keys.clear();
    if (m_input.Data == nullptr) return;
    const CheckData& data = *m_input.Data;
    for (size_t i = 0; i < data.Common.size(); ++i)
      m_keys.push_back({data.Common[i].first, FeedKey(data.Common[i].first), true, i});
    for (size_t j = 0; j < data.FieldNames.size(); ++j) {
      if (SameText(data.FieldNames[j], kCopiesField)) continue;
      m_keys.push_back({data.FieldNames[j], FeedKey(data.FieldNames[j]), false, j});
    }
  }

  void CheckFeeds() {
    for (int32_t i = 0; i < m_label.ItemCount(); ++i) {
      const LabelItem& item = m_label.Item(i);
      if (item.DataSource() == dsNone || IsFed(item)) continue;
      CheckProblem problem = About(CheckKind::UnfedSource, item);
      problem.Name = SourceText(item);
      problem.Value = GetPropText(&item, "Value");
      problem.Names = NamesFeeding(problem.Name);
      m_out.Add(std::move(problem));
    }
    for (const FeedingName& name : m_keys) {
      if (name.Common && SameText(name.Name, kTemplateValue)) continue;
      bool feeds = false;
      for (int32_t i = 0; i < m_label.ItemCount() && !feeds; ++i)
        feeds = SameText(GetPropText(&m_label.Item(i), "DS"), name.Key);
      if (feeds) continue;
      CheckProblem problem;
      problem.Kind = name.Common ? CheckKind::UnusedCommonValue : CheckKind::UnusedField;
      problem.Name = name.Name;
      m_out.Add(std::move(problem));
    }
  }

  // A barcode or picture the records fill, and the names that fill it in
  // filling order: the last one present wins, as in the job.
  struct FedBarcode {
    LabelItem* Item = nullptr;
    std::vector<const FeedingName*> Feeds;
    std::string LastValue;
    std::optional<std::string> LastTrouble;
    bool Prepared = false;
    std::unordered_map<std::string, std::optional<std::string>> Seen;
  };

  void CheckRecords() {
    const CheckData& data = *m_input.Data;
    if (data.Records == nullptr || data.Records->empty()) return;
    std::vector<FedBarcode> barcodes;
    std::vector<FedBarcode> pictures;
    for (int32_t i = 0; i < m_label.ItemCount(); ++i) {
      LabelItem& item = m_label.Item(i);
      const bool picture = IsPicture(item);
      if ((!IsBarcode(item) && !picture) || item.DataSource() == dsNone) continue;
      FedBarcode fed;
      fed.Item = &item;
      const std::string source = SourceText(item);
      for (const FeedingName& name : m_keys)
        if (SameText(name.Key, source)) fed.Feeds.push_back(&name);
      if (!fed.Feeds.empty()) (picture ? pictures : barcodes).push_back(std::move(fed));
    }
    if (barcodes.empty() && pictures.empty()) return;
    constexpr size_t kMaxRemembered = 4096;
    for (size_t r = 0; r < data.Records->size(); ++r) {
      const std::vector<std::string>& record = (*data.Records)[r];
      for (FedBarcode& fed : pictures) {
        const FeedingName* from = fed.Feeds.back();
        if (!from->Common && from->Index >= record.size()) continue;
        const std::string& value =
            from->Common ? data.Common[from->Index].second : record[from->Index];
        if (value.empty()) continue;
        std::optional<std::string> trouble;
        if (const auto seen = fed.Seen.find(value); seen != fed.Seen.end()) {
          trouble = seen->second;
        } else {
          trouble = PictureTrouble(value);
          if (fed.Seen.size() < kMaxRemembered) fed.Seen.emplace(value, trouble);
        }
        if (!trouble) continue;
        CheckProblem problem = About(CheckKind::RecordPictureNotFound, *fed.Item);
        problem.Record = static_cast<int64_t>(r) + 1;
        problem.Name = from->Name;
        AddPictureProblem(std::move(problem), value, *trouble);
      }
      for (FedBarcode& fed : barcodes) {
        const FeedingName* from = fed.Feeds.back();
        if (!from->Common && from->Index >= record.size()) continue;
        const std::string& value =
            from->Common ? data.Common[from->Index].second : record[from->Index];
        std::optional<std::string> trouble;
        const auto seen = fed.Seen.find(value);
        if (fed.Prepared && value == fed.LastValue) {
          trouble = fed.LastTrouble;
        } else if (seen != fed.Seen.end()) {
          trouble = seen->second;
        } else {
          // Filled as Label::FillValue fills it.
          SetPropText(fed.Item, "Value", value);
          bool tooLarge = false;
          std::string symbol, box;
          trouble = BarcodeTrouble(*fed.Item, tooLarge, symbol, box);
          if (tooLarge) *trouble = symbol.append(" dots > ").append(box);
          if (fed.Seen.size() < kMaxRemembered) fed.Seen.emplace(value, trouble);
          fed.Prepared = true;
          fed.LastValue = value;
          fed.LastTrouble = trouble;
        }
        if (!trouble) continue;
        CheckProblem problem = About(CheckKind::RecordFails, *fed.Item);
        problem.Record = static_cast<int64_t>(r) + 1;
        problem.Name = from->Name;
        problem.Value = value;
        problem.Detail = *trouble;
        m_out.Add(std::move(problem));
      }
    }
  }

  const CheckInput& m_input;
  ReportBuilder m_out;
  CanvasView m_view;
  Label m_label;
  LoadCollector m_collector;
  std::vector<FeedingName> m_keys;
  std::string m_pictureFolder;
};

}  // namespace

CheckSeverity SeverityOf(CheckKind kind) {
  switch (kind) {
    case CheckKind::PartlyOutside:
    case CheckKind::UnusedField:
    case CheckKind::UnusedCommonValue:
      return CheckSeverity::Warning;
    default:
      return CheckSeverity::Error;
  }
}

CheckReport CheckTemplate(std::string_view bytes, const std::string& fileName,
                          const CheckInput& input) {
  CheckReport report;
  TemplateChecker checker(input, report);
  checker.Run(bytes, fileName);
  return report;
}

}  // namespace labelplu
