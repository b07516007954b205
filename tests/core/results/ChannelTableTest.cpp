// The channel table read from the embedded configuration.
#include <gtest/gtest.h>
#include <tinyxml.h>

#include "results/ChanInfos.h"
#include "results/ZK7Exception.h"

using namespace zk7;

namespace {

std::vector<CChanInfos> Table(const std::string& strSession, std::string* pstrName = nullptr) {
  TiXmlDocument doc;
  doc.Parse(("<fieldacq><session>" + strSession + "</session></fieldacq>").c_str());
  EXPECT_FALSE(doc.Error()) << doc.ErrorDesc();
  std::vector<CChanInfos> a{CChanInfos{}};  // emptied by the build
  std::string strName = "unchanged";
  BuildChannelTable(doc, a, strName);
  if (pstrName) *pstrName = strName;
  return a;
}

TEST(ChannelTable, ResolutionsNamesAndUnits) {
  const auto a = Table(
      "<inputchan><name>Oven</name><unit>\xB0" "C</unit><display resolution=\"auto\"/></inputchan>"
      "<numchan><name>Count</name></numchan>"
      "<outputchan><display resolution=\"2\"/></outputchan>"
      "<relaychan><display resolution=\"x\"/></relaychan>"
      "<calcchan><display resolution=\" -3\"/><name/></calcchan>"
      "<inputchan><display/></inputchan>");
  ASSERT_EQ(a.size(), 6u);
  EXPECT_EQ(a[0].strName, "Oven");
  EXPECT_EQ(a[0].strUnit, "\xB0" "C");
  EXPECT_EQ(a[0].nResolution, 6) << "auto";
  EXPECT_EQ(a[1].nResolution, 6) << "no display element";
  EXPECT_EQ(a[1].strUnit, "");
  EXPECT_EQ(a[2].nResolution, 2);
  EXPECT_EQ(a[3].nResolution, 0) << "not a number";
  EXPECT_EQ(a[4].nResolution, -3);
  EXPECT_EQ(a[4].strName, "") << "a name element without text";
  EXPECT_EQ(a[5].nResolution, 6) << "no resolution attribute";
}

TEST(ChannelTable, Limits) {
  const auto a = Table(
      "<inputchan>"
      "<limit number=\"2\" onoff=\"on\" level=\"high\" value=\"12.5\"/>"
      "<limit number=\"7\" onoff=\"on\" level=\"low\" value=\"-3.25\"/>"
      "<limit number=\"0\" onoff=\"off\" level=\"high\" value=\"1\"/>"
      "</inputchan>"
      "<inputchan>"
      "<limit onoff=\"on\" level=\"high\" value=\"5\"/>"
      "<limit number=\"1\" level=\"high\" value=\"5\"/>"
      "<limit number=\"3\" onoff=\"ON\" level=\"HIGH\" value=\"abc\"/>"
      "<limit number=\"4\" onoff=\"on\" value=\"1e2\"/>"
      "<limit number=\"4\" onoff=\"off\"/>"
      "</inputchan>");
  ASSERT_EQ(a.size(), 2u);
  // Each limit as "on/off high/low value".
  auto limits = [](const CChanInfos& c) {
    std::vector<std::string> aTexts;
    for (const auto& l : c.aLimits)
      aTexts.push_back(std::string(l.bOn ? "on " : "off ") + (l.bHigh ? "high " : "low ") + std::to_string(l.fValue));
    return aTexts;
  };
  // Number 0 names limit 1 and numbers above 4 limit 4.
  EXPECT_EQ(limits(a[0]), (std::vector<std::string>{"off high 1.000000", "on high 12.500000", "off low 0.000000",
                                                     "on low -3.250000"}));
  // Without number or onoff nothing is taken; ON or HIGH in capitals are not on or
  // high; a later limit of the same number overrides, keeping a value set
  // earlier; a plain decimal has no exponent.
  EXPECT_EQ(limits(a[1]), (std::vector<std::string>{"off low 0.000000", "off low 0.000000", "off low 0.000000",
                                                     "off low 1.000000"}));
}

TEST(ChannelTable, OnlyChannelElementsCountInDocumentOrder) {
  std::string strName;
  const auto a = Table(
      "<task/><relaychan><name>R</name></relaychan><command><configuration><name>First</name></configuration>"
      "</command><task><inputchan><name>nested</name></inputchan></task><calcchan><name>C</name></calcchan>"
      "<foo/><command><configuration><name>Second</name></configuration></command><numchan><name>N</name></numchan>",
      &strName);
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[0].strName, "R");
  EXPECT_EQ(a[1].strName, "C");
  EXPECT_EQ(a[2].strName, "N");
  EXPECT_EQ(strName, "Second") << "a later command replaces the name";

  EXPECT_TRUE(Table("").empty());

  TiXmlDocument doc;
  doc.Parse("<other><session><inputchan/></session></other>");
  std::vector<CChanInfos> t;
  BuildChannelTable(doc, t, strName);
  EXPECT_EQ(t.size(), 1u) << "the root's name is not checked";

  TiXmlDocument noSession;
  noSession.Parse("<fieldacq><command/></fieldacq>");
  try {
    BuildChannelTable(noSession, t, strName);
    FAIL() << "no session must be refused";
  } catch (const CZK7Exception& e) {
    EXPECT_EQ(e.GetId(), 1157u);
  }
}

} // namespace
