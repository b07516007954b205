// The printouts' page header and footer (templates, reserved lines, tokens)
// and the metrics of the tabbed-text pages.

#include <gtest/gtest.h>
#include <QDate>

#include "format/RegionalSettings.h"
#include "history/PageHeader.h"
#include "history/PrintLayout.h"

using namespace zk7;

namespace {

sPageFields Fields(const std::string& strElement, int nPage, int nPages) {
  return {strElement, nPage, nPages, "15/03/2017", "10:20:30", "ZK7 Desktop-1.0.0"};
}

using Lines = std::vector<std::string>;

} // namespace

TEST(PageHeader, PageTwoOfFiveAndTheReservedLines) {
  InitPageTemplates("ZK7 Desktop", "1.0.0");
  EXPECT_EQ(GetProductVersionText(), "ZK7 Desktop-1.0.0");
  const sPageTexts texts = ExpandPageTexts(GetPageTemplates(), Fields("run.zk", 2, 5));
  EXPECT_EQ((std::vector<Lines>{texts.aHeader[PAGE_LEFT], texts.aHeader[PAGE_CENTRE], texts.aHeader[PAGE_RIGHT],
                                texts.aFooter[PAGE_LEFT], texts.aFooter[PAGE_CENTRE], texts.aFooter[PAGE_RIGHT]}),
            (std::vector<Lines>{{}, {"run.zk", ""}, {}, {"  "}, {"", "Printed 15/03/2017 at 10:20:30"}, {"Page 2 from 5"}}));
  int nHeader = -1, nFooter = -1;
  GetHeaderFooterLines(nHeader, nFooter);
  EXPECT_EQ(std::pair(nHeader, nFooter), std::pair(3, 3));

  EXPECT_EQ((std::vector<int>{TemplateLineCount(""), TemplateLineCount("x"), TemplateLineCount("\r\n"),
                              TemplateLineCount("a\nb\nc")}),
            (std::vector<int>{0, 1, 2, 3}));
  sPageTemplates custom;
  GetHeaderFooterLines(custom, nHeader, nFooter);
  EXPECT_EQ(nHeader + nFooter, 0) << "no blank separating line without a template";
  custom.aHeader[PAGE_RIGHT] = "a\nb\nc", custom.aHeader[PAGE_LEFT] = "x", custom.aFooter[PAGE_CENTRE] = "y";
  GetHeaderFooterLines(custom, nHeader, nFooter);
  EXPECT_EQ(std::pair(nHeader, nFooter), std::pair(4, 2));

  // Tokens and their order.
  const std::string strAll =
      "&[Page]/&[Pages] &[Page]|&[Date]|&[Heure]|&[Utilisateur]|&[ProductVersion]|&[Fichier]|&[Element]\r\nend";
  EXPECT_EQ(ExpandPageTemplate(strAll, Fields("log 7.log", 12, 40)),
            (Lines{"12/40 12|15/03/2017|10:20:30|???|ZK7 Desktop-1.0.0|&[Fichier]|log 7.log", "end"}));
  // The title goes in last: tokens inside it stay as written.
  EXPECT_EQ(ExpandPageTemplate("&[Element] p&[Page]", Fields("a&[Page]b&[Date]\r.zk", 3, 4)),
            Lines{"a&[Page]b&[Date].zk p3"});
  EXPECT_TRUE(ExpandPageTemplate("", Fields("x", 1, 1)).empty());
  EXPECT_EQ(ExpandPageTemplate("a\n\nb\n", Fields("x", 1, 1)), (Lines{"a", "", "b", ""}));

  // The current date and time in the user's format.
  SetRegionalSettings(CRegionalSettings(',', '.', '-', "yyyy-MM-dd"));
  const QDate before = QDate::currentDate();
  const sPageFields f = MakePageFields("run.zk", 2, 5);
  const QDate after = QDate::currentDate();
  EXPECT_TRUE(f.strDate == before.toString("yyyy-MM-dd").toStdString() ||
              f.strDate == after.toString("yyyy-MM-dd").toStdString())
      << f.strDate;
  EXPECT_TRUE(f.strTime.size() == 8u && f.strTime[2] == '.' && f.strTime[5] == '.') << f.strTime;
  EXPECT_EQ(std::tuple(f.strElement, f.nPage, f.nPages, f.strProductVersion),
            std::tuple(std::string("run.zk"), 2, 5, GetProductVersionText()));
  SetRegionalSettings(CRegionalSettings::Plain());
}

TEST(PrintLayout, MarginsColumnsCompressionAndPages) {
  // 15 mm at 600 dpi, truncated; an offset as large as the margin becomes the margin.
  EXPECT_EQ(std::tuple(PageMargin(600, 0), PageMargin(600, 353), PageMargin(600, 354)), std::tuple(354, 1, 354));
  EXPECT_EQ(ColumnPositions({3, 10, 5}), (std::vector<int>{1, 5, 16, 23}));
  EXPECT_EQ(ColumnPositions({}), (std::vector<int>{2}));
  std::vector<int> aWidths;
  for (const char* pszLine : {"M\tN\xB0\tDate", " \t12\t15/03/2017 10:20:30\t", "\t\t\t\t7"}) WidenColumns(aWidths, pszLine);
  EXPECT_EQ(aWidths, (std::vector<int>{1, 2, 19, 0, 1}));

  // Exactly the width fits; 6.67 truncated to 6 device units; never a zero width.
  EXPECT_EQ((std::vector<double>{CompressionRatio(1000, 100, 10.0), CompressionRatio(1000, 150, 10.0),
                                 CompressionRatio(10, 1000, 10.0), CompressionRatio(1000, 0, 10.0)}),
            (std::vector<double>{1.0, 0.6, 0.1, 1.0}));
  for (int nChars : {101, 137, 250, 999})
    for (double cw : {7.0, 13.5, 90.0})
      EXPECT_LE(nChars * cw * CompressionRatio(5000, nChars, cw), 5000.0 + 1e-9) << "a compressed line fits";

  // Tabbed cells start at their columns.
  const std::vector<int> aPos = ColumnPositions({2, 3, 0, 1});  // 1, 4, 8, 9, 12
  auto starts = [&](const std::string& strLine) {
    std::vector<std::pair<int, std::string>> a;
    for (const auto& c : LayOutTabbedLine(strLine, aPos)) a.emplace_back(c.nStart, c.strText);
    return a;
  };
  using Cells = std::vector<std::pair<int, std::string>>;
  EXPECT_EQ(starts("12\tabc\t\tx\t"), (Cells{{0, "12"}, {4, "abc"}, {8, ""}, {9, "x"}})) << "a closing TAB opens no cell";
  // One blank after a cell longer than its column, or beyond the last column.
  EXPECT_EQ(starts("123456\tb\tc\td\te"), (Cells{{0, "123456"}, {7, "b"}, {9, "c"}, {11, "d"}, {13, "e"}}));

  // Lines per page, and pages that share the rows.
  // Rows from four and a half lines down (header, title line and its rule) to a
  // blank line above the footer.
  EXPECT_EQ(std::tuple(LinesPerPage(1000, 10, 3, 3), LinesPerPage(50, 10, 3, 3), LinesPerPage(1000, 0, 3, 3)), std::tuple(92, 1, 1))
      << "never zero lines";
  // Every row on exactly one page, in order; one page even for no row.
  for (int nRows : {0, 1, 230, 250, 251}) {
    const int nPages = PageCount(nRows, 50);
    EXPECT_EQ(nPages, std::max(1, (nRows + 49) / 50)) << nRows;
    int nNext = 0, nFrom = -1, nTo = -1;
    EXPECT_EQ(PageRows(nRows, 50, 1, nFrom, nTo), nRows > 0);
    for (int p = 1; p <= nPages && nRows > 0; ++p) {
      ASSERT_TRUE(PageRows(nRows, 50, p, nFrom, nTo));
      EXPECT_TRUE(nFrom == nNext && nTo - nFrom <= 49) << nFrom << ".." << nTo;
      nNext = nTo + 1;
    }
    EXPECT_EQ(nNext, nRows);
    EXPECT_FALSE(PageRows(nRows, 50, nPages + 1, nFrom, nTo) || PageRows(nRows, 50, 0, nFrom, nTo));
  }
}

