// A value array of texts for the print tests: the tables a host hands to a
// print job (common parameters, field names, records).
#ifndef LABELPLU_TESTS_SUPPORT_TEXTTABLE_H
#define LABELPLU_TESTS_SUPPORT_TEXTTABLE_H

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ole/Variant.h"
#include "values/ValueArray.h"

namespace labelplu::test {

using Rows = std::vector<std::vector<std::string>>;

// rows.size() × cols cells (cols < 0: the first row's width) holding the
// texts, as a late-bound value array.
inline ole::OleVariant Table(const Rows& rows, int32_t cols = -1) {
  ole::ComPtr<ValueArray> table = ValueArray::Create();
  if (cols < 0) cols = rows.empty() ? 0 : static_cast<int32_t>(rows[0].size());
  EXPECT_EQ(table->SetBounds(static_cast<int32_t>(rows.size()), cols), S_OK);
  for (size_t r = 0; r < rows.size(); ++r) {
    for (size_t c = 0; c < rows[r].size(); ++c) {
      const ole::OleVariant cell{std::string_view(rows[r][c])};
      EXPECT_EQ(table->SetValue(static_cast<int32_t>(r), static_cast<int32_t>(c), &cell.get()),
                S_OK);
    }
  }
  return ole::OleVariant(static_cast<IDispatch*>(table.get()));
}

}  // namespace labelplu::test

#endif  // LABELPLU_TESTS_SUPPORT_TEXTTABLE_H
