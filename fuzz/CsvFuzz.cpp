// libFuzzer target: labelhost's CSV reader (DecodeCsv, ParseCsv,
// DetectCsvDelimiter) and the value array built from its rows.
//
// Any text must end in rows or a HostError, never a crash, a hang or an
// allocation beyond what the text describes. Every row has a start line,
// lines never go back, and the table has the rows and widest row's columns.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "fuzz/FuzzSetup.h"
#include "host/CsvReader.h"
#include "host/HostError.h"
#include "host/ValueArrays.h"

using namespace labelplu;

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  fuzz::Setup();
  return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  // Automatic decoding refuses only text that mixes UTF-8 and other bytes;
  // Windows-1251 never fails.
  std::string text;
  try {
    text = host::DecodeCsv(bytes, host::CsvEncoding::Auto, "fuzz.csv");
  } catch (const host::HostError&) {
    text = host::DecodeCsv(bytes, host::CsvEncoding::Cp1251, "fuzz.csv");
  }
  const char delimiter = host::DetectCsvDelimiter(text);
  if (delimiter != ',' && delimiter != ';' && delimiter != '\t')
    fuzz::Finding("delimiter neither ',' nor ';' nor tab");
  std::vector<int> lines;
  host::CsvRows rows;
  try {
    rows = host::ParseCsv(text, "fuzz.csv", delimiter, &lines);
  } catch (const host::HostError&) {
    return 0;
  }
  if (lines.size() != rows.size()) fuzz::Finding("a row without its line");
  if (!std::is_sorted(lines.begin(), lines.end())) fuzz::Finding("row lines go back");
  if (!lines.empty() && lines.front() < 1) fuzz::Finding("a line before the first");
  size_t cols = 0;
  for (const auto& row : rows) cols = std::max(cols, row.size());
  if (static_cast<int64_t>(rows.size()) * static_cast<int64_t>(cols) > host::kMaxValueArrayCells)
    return 0;
  ole::ComPtr<ISafeArray> table = host::ValueArrayFromTextRows(rows);
  int32_t tableRows = 0;
  int32_t tableCols = 0;
  host::GetBounds(table.get(), &tableRows, &tableCols);
  if (rows.empty() ? tableRows != 0
                   : (static_cast<size_t>(tableRows) != rows.size() ||
                      static_cast<size_t>(tableCols) != cols))
    fuzz::Finding("table bounds differ from the rows");
  return 0;
}
