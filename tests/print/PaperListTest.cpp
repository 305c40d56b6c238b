// The paper list of a printer.
#include <gtest/gtest.h>

#include "print/PaperList.h"
#include "tests/print/FakePrintObjectSupport.h"

namespace labelplu::test {
namespace {

TEST(PaperList, ListOfAnInstalledPrinterAndLookUpByCode) {
  FakePrintObject printer;
  printer.PaperList = {{"A4", 9, 210, 297}, {"Roll", 0x10100, 58, 40}, {"A4 again", 9, 1, 1}};
  EXPECT_TRUE(BuildPaperList(printer, "Nowhere").empty());

  const PaperList papers = BuildPaperList(printer, "office");
  ASSERT_EQ(papers.size(), 3u);
  EXPECT_EQ(papers[1].Name, "Roll");
  EXPECT_EQ(papers[1].Code, 0x100);  // platform paper numbers are 16-bit
  EXPECT_EQ(papers[1].Width, 58);
  EXPECT_EQ(papers[1].Height, 40);

  EXPECT_EQ(FindPaperByCode(papers, 9), &papers[0]);
  EXPECT_EQ(FindPaperByCode(papers, 0x100), &papers[1]);
  EXPECT_EQ(FindPaperByCode(papers, 11), nullptr);
}

}  // namespace
}  // namespace labelplu::test
