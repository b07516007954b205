#include "strings/StringTable.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace zk7 {
namespace {

TEST(StringsTable, PageTokensAreFoundInTheTemplatesAndUnknownIdsAreEmpty) {
  // The templates name their tokens by the tokens' own texts.
  EXPECT_NE(LoadString(IDS_FOOTER_RIGHT).find(LoadString(IDS_TOKEN_PAGES)), std::string::npos);
  EXPECT_NE(LoadString(IDS_HEADER_CENTRE).find(LoadString(IDS_TOKEN_ELEMENT)), std::string::npos);
  EXPECT_NE(LoadString(IDS_FOOTER_CENTRE).find(LoadString(IDS_TOKEN_TIME)), std::string::npos);
  EXPECT_FALSE(LoadString(IDS_TOKEN_TIME).empty());
  for (unsigned nId : {0u, 127u, 131u, 10079u, 0xFFFFFFFFu}) EXPECT_EQ(LoadString(nId), "") << nId;
}

TEST(StringsFormatMessage, FillsNumberedPlaceholdersOnceAndLeavesTheRest) {
  // Each row: what FormatMessage made, what it must make.
  const std::pair<std::string, std::string> aCases[] = {
      {FormatMessage("%2 before %1", {"a", "b"}), "b before a"},
      {FormatMessage("%1-%1-%1", {"x"}), "x-x-x"},
      {FormatMessage("%9|%1", {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}), "nine|1"},
      {FormatMessage("N\xB0 %1", {"\xE9t\xE9"}), "N\xB0 \xE9t\xE9"},
      {FormatMessage("%10", {"x"}), "x0"},  // single digits only
      {FormatMessage("Task '%1': %2.", {"T1"}), "Task 'T1': %2."},
      {FormatMessage("%0 %% %a 100%", {"x"}), "%0 %% %a 100%"},
      {FormatMessage("", {"x"}), ""},
      {FormatMessage("%1 and %2", {"%2", "b"}), "%2 and b"},  // an argument is not expanded again
  };
  for (size_t i = 0; i < std::size(aCases); ++i) EXPECT_EQ(aCases[i].first, aCases[i].second) << i;
}

} // namespace
} // namespace zk7
