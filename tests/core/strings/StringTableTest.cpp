#include "strings/StringTable.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>

namespace zk7 {
namespace {

TEST(StringsTable, EveryNamedIdHasAText) {
  const unsigned aIds[] = {
      IDS_APP_TITLE, IDS_RESULTS_DOC_TYPE, IDS_LOG_DOC_TYPE, IDS_VERSION,
      IDS_TOKEN_PAGE, IDS_TOKEN_PAGES, IDS_TOKEN_DATE, IDS_TOKEN_TIME, IDS_TOKEN_FILE, IDS_TOKEN_USER,
      IDS_TOKEN_PRODUCT_VERSION, IDS_HEADER_CENTRE, IDS_TOKEN_ELEMENT, IDS_FOOTER_CENTRE, IDS_FOOTER_LEFT,
      IDS_FOOTER_RIGHT, IDS_NOT_ZK7_FILE, IDS_NO_MEMORY_FOR_FILE, IDS_FILE_EMPTY, IDS_XML_ERRONEOUS,
      IDS_CHANNELS_NOT_FOUND, IDS_NO_SESSION_ELEMENT, IDS_COLUMN_MARK, IDS_COLUMN_NUMBER, IDS_COLUMN_DATE,
      IDS_COLUMN_HOUR, IDS_COLUMN_DELAY, IDS_STORAGE_INTERNAL, IDS_STORAGE_USB, IDS_STORAGE_SDCARD,
      IDS_STORAGE_CONFIGS, IDS_STORAGE_LOGS, IDS_GRAPH_NO_MEMORY, IDS_KEY_COLUMN_TITLES, IDS_CURSORS_TITLE,
      IDS_SCALES_TITLE, IDS_PLEASE_WAIT, IDS_PREPARING_GRAPH, IDS_RECORDS, IDS_DAYS_SUFFIX,
      IDS_WRONG_DATE_FORMAT, IDS_CANNOT_FIND_RECORD, IDS_EXPORTING_RECORDS,
  };
  for (unsigned nId : aIds)
    EXPECT_FALSE(LoadString(nId).empty()) << nId;
  // The page tokens are found in the templates by their own text.
  EXPECT_NE(LoadString(IDS_FOOTER_RIGHT).find(LoadString(IDS_TOKEN_PAGES)), std::string::npos);
  EXPECT_NE(LoadString(IDS_HEADER_CENTRE).find(LoadString(IDS_TOKEN_ELEMENT)), std::string::npos);
  EXPECT_NE(LoadString(IDS_FOOTER_CENTRE).find(LoadString(IDS_TOKEN_TIME)), std::string::npos);
}

TEST(StringsTable, UnknownIdsAreEmpty) {
  for (unsigned nId : {0u, 127u, 131u, 10079u, 0xFFFFFFFFu})
    EXPECT_EQ(LoadString(nId), "") << nId;
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
  for (size_t i = 0; i < std::size(aCases); ++i) {
    SCOPED_TRACE(i);
    EXPECT_EQ(aCases[i].first, aCases[i].second);
  }
}

} // namespace
} // namespace zk7
