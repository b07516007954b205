// The page header and footer: templates from the string table, reserved lines,
// token expansion.
#include <gtest/gtest.h>

#include <QDate>

#include "format/RegionalSettings.h"
#include "history/PageHeader.h"

using namespace zk7;

namespace {

sPageFields Fields(const std::string& strElement, int nPage, int nPages) {
  sPageFields f;
  f.strElement = strElement;
  f.nPage = nPage;
  f.nPages = nPages;
  f.strDate = "15/03/2017";
  f.strTime = "10:20:30";
  f.strProductVersion = "ZK7 Desktop-1.0.0";
  return f;
}

using Lines = std::vector<std::string>;

} // namespace

TEST(PageHeader, PageTwoOfFiveAndTheReservedLines) {
  InitPageTemplates("ZK7 Desktop", "1.0.0");
  EXPECT_EQ(GetProductVersionText(), "ZK7 Desktop-1.0.0");
  const sPageTexts texts = ExpandPageTexts(GetPageTemplates(), Fields("run.zk", 2, 5));
  EXPECT_EQ(texts.aHeader[PAGE_LEFT], Lines{});
  EXPECT_EQ(texts.aHeader[PAGE_CENTRE], (Lines{"run.zk", ""}));
  EXPECT_EQ(texts.aHeader[PAGE_RIGHT], Lines{});
  EXPECT_EQ(texts.aFooter[PAGE_LEFT], Lines{"  "});
  EXPECT_EQ(texts.aFooter[PAGE_CENTRE], (Lines{"", "Printed 15/03/2017 at 10:20:30"}));
  EXPECT_EQ(texts.aFooter[PAGE_RIGHT], Lines{"Page 2 from 5"});
  int nHeader = -1, nFooter = -1;
  GetHeaderFooterLines(nHeader, nFooter);
  EXPECT_EQ(nHeader, 3);
  EXPECT_EQ(nFooter, 3);

  EXPECT_EQ((std::vector<int>{TemplateLineCount(""), TemplateLineCount("x"), TemplateLineCount("\r\n"),
                              TemplateLineCount("a\nb\nc")}),
            (std::vector<int>{0, 1, 2, 3}));
  sPageTemplates custom;
  GetHeaderFooterLines(custom, nHeader, nFooter);
  EXPECT_EQ(nHeader + nFooter, 0) << "no blank separating line without a template";
  custom.aHeader[PAGE_RIGHT] = "a\nb\nc";
  custom.aHeader[PAGE_LEFT] = "x";
  custom.aFooter[PAGE_CENTRE] = "y";
  GetHeaderFooterLines(custom, nHeader, nFooter);
  EXPECT_EQ(nHeader, 4);
  EXPECT_EQ(nFooter, 2);
}

TEST(PageHeader, TokensAndTheirOrder) {
  const std::string strAll =
      "&[Page]/&[Pages] &[Page]|&[Date]|&[Heure]|&[Utilisateur]|&[ProductVersion]|&[Fichier]|&[Element]\r\nend";
  EXPECT_EQ(ExpandPageTemplate(strAll, Fields("log 7.log", 12, 40)),
            (Lines{"12/40 12|15/03/2017|10:20:30|???|ZK7 Desktop-1.0.0|&[Fichier]|log 7.log", "end"}));
  // The title goes in last: tokens inside it stay as written.
  EXPECT_EQ(ExpandPageTemplate("&[Element] p&[Page]", Fields("a&[Page]b&[Date]\r.zk", 3, 4)),
            Lines{"a&[Page]b&[Date].zk p3"});
  EXPECT_EQ(ExpandPageTemplate("", Fields("x", 1, 1)), Lines{});
  EXPECT_EQ(ExpandPageTemplate("a\n\nb\n", Fields("x", 1, 1)), (Lines{"a", "", "b", ""}));
}

TEST(PageHeader, CurrentDateAndTimeInTheUserFormat) {
  SetRegionalSettings(CRegionalSettings(',', '.', '-', "yyyy-MM-dd"));
  const QDate before = QDate::currentDate();
  const sPageFields f = MakePageFields("run.zk", 2, 5);
  const QDate after = QDate::currentDate();
  EXPECT_TRUE(f.strDate == before.toString("yyyy-MM-dd").toStdString() ||
              f.strDate == after.toString("yyyy-MM-dd").toStdString())
      << f.strDate;
  ASSERT_EQ(f.strTime.size(), 8u) << f.strTime;
  EXPECT_EQ(f.strTime[2], '.');
  EXPECT_EQ(f.strTime[5], '.');
  EXPECT_EQ(f.strElement, "run.zk");
  EXPECT_EQ(std::pair(f.nPage, f.nPages), std::pair(2, 5));
  EXPECT_EQ(f.strProductVersion, GetProductVersionText());
  SetRegionalSettings(CRegionalSettings::Plain());
}
