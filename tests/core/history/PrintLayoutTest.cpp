// Page metrics of the tabbed-text printouts.
#include <gtest/gtest.h>

#include "history/PageHeader.h"
#include "history/PrintLayout.h"

using namespace zk7;

TEST(PrintLayout, MarginsLessTheUnprintableOffset) {
  EXPECT_EQ(PageMargin(600, 0), 354) << "15 mm at 600 dpi, truncated";
  EXPECT_EQ(PageMargin(600, 353), 1);
  EXPECT_EQ(PageMargin(600, 354), 354) << "an offset as large as the margin becomes the margin";
}

TEST(PrintLayout, ColumnPositionsAndWidths) {
  EXPECT_EQ(ColumnPositions({3, 10, 5}), (std::vector<int>{1, 5, 16, 23}));
  EXPECT_EQ(ColumnPositions({}), (std::vector<int>{2}));

  std::vector<int> aWidths;
  WidenColumns(aWidths, "M\tN\xB0\tDate");
  WidenColumns(aWidths, " \t12\t15/03/2017 10:20:30\t");
  WidenColumns(aWidths, "\t\t\t\t7");
  EXPECT_EQ(aWidths, (std::vector<int>{1, 2, 19, 0, 1}));
}

TEST(PrintLayout, CompressionOnlyWhenTheLineDoesNotFit) {
  EXPECT_DOUBLE_EQ(CompressionRatio(1000, 50, 10.0), 1.0);
  EXPECT_DOUBLE_EQ(CompressionRatio(1000, 100, 10.0), 1.0) << "exactly the width fits";
  EXPECT_DOUBLE_EQ(CompressionRatio(1000, 200, 10.0), 0.5);
  EXPECT_DOUBLE_EQ(CompressionRatio(1000, 150, 10.0), 0.6) << "6.67 truncated to 6 device units";
  EXPECT_DOUBLE_EQ(CompressionRatio(10, 1000, 10.0), 0.1) << "never a zero width";
  EXPECT_DOUBLE_EQ(CompressionRatio(1000, 0, 10.0), 1.0);
  // Whatever the numbers, a compressed line fits.
  for (int nChars : {101, 137, 250, 999})
    for (double cw : {7.0, 13.5, 90.0})
      EXPECT_LE(nChars * cw * CompressionRatio(5000, nChars, cw), 5000.0 + 1e-9) << nChars << " " << cw;
}

TEST(PrintLayout, RecordLinesStayClearOfHeaderAndFooter) {
  EXPECT_EQ(LinesPerPage(1000, 10, 3, 3), 92);
  EXPECT_EQ(LinesPerPage(50, 10, 3, 3), 1) << "never zero lines";
  EXPECT_EQ(LinesPerPage(1000, 0, 3, 3), 1);
  for (int nHeight : {900, 6308, 6309, 6315, 3000})
    for (int nLine : {9, 10, 11, 52, 61}) {
      const int n = LinesPerPage(nHeight, nLine, 3, 3);
      // Title line at 3 lines, its rule, half a line, then the rows.
      const int nRowsTop = 4 * nLine + nLine / 2;
      const int nFooterTop = nHeight - (3 - 1) * nLine;
      EXPECT_LE(nRowsTop + n * nLine, nFooterTop - nLine) << "a blank line above the footer";
      EXPECT_GT(nRowsTop + (n + 1) * nLine, nFooterTop - nLine) << "no room left for one more line";
    }
}

TEST(PrintLayout, PagesAndTheirRows) {
  EXPECT_EQ(PageCount(230, 50), 5);
  EXPECT_EQ(PageCount(250, 50), 5);
  EXPECT_EQ(PageCount(251, 50), 6);
  EXPECT_EQ(PageCount(1, 50), 1);
  EXPECT_EQ(PageCount(0, 50), 1);
  int nFrom = -1, nTo = -1;
  ASSERT_TRUE(PageRows(230, 50, 1, nFrom, nTo));
  EXPECT_EQ(nFrom, 0);
  EXPECT_EQ(nTo, 49);
  ASSERT_TRUE(PageRows(230, 50, 2, nFrom, nTo));
  EXPECT_EQ(nFrom, 50);
  EXPECT_EQ(nTo, 99);
  ASSERT_TRUE(PageRows(230, 50, 5, nFrom, nTo));
  EXPECT_EQ(nFrom, 200);
  EXPECT_EQ(nTo, 229);
  EXPECT_FALSE(PageRows(230, 50, 6, nFrom, nTo));
  EXPECT_FALSE(PageRows(230, 50, 0, nFrom, nTo));
  EXPECT_FALSE(PageRows(0, 50, 1, nFrom, nTo));
}

TEST(PrintLayout, TabbedCellsStartAtTheirColumns) {
  const std::vector<int> aPos = ColumnPositions({2, 3, 0, 1});  // 1, 4, 8, 9, 12
  const auto cells = LayOutTabbedLine("12\tabc\t\tx\t", aPos);
  ASSERT_EQ(cells.size(), 4u) << "a closing TAB opens no cell";
  EXPECT_EQ(cells[0].nStart, 0);
  EXPECT_EQ(cells[0].strText, "12");
  EXPECT_EQ(cells[1].nStart, 4);
  EXPECT_EQ(cells[1].strText, "abc");
  EXPECT_EQ(cells[2].nStart, 8);
  EXPECT_EQ(cells[2].strText, "");
  EXPECT_EQ(cells[3].nStart, 9);
  EXPECT_EQ(cells[3].strText, "x");

  const auto over = LayOutTabbedLine("123456\tb\tc\td\te", aPos);
  ASSERT_EQ(over.size(), 5u);
  EXPECT_EQ(over[1].nStart, 7) << "one blank after a cell longer than its column";
  EXPECT_EQ(over[2].nStart, 9);
  EXPECT_EQ(over[3].nStart, 11) << "column position 3 is 9, taken: one blank after c";
  EXPECT_EQ(over[4].nStart, 13) << "beyond the last column: one blank after the previous cell";
}
