#include "strings/StringTable.h"

#include <gtest/gtest.h>

namespace zk7 {
namespace {

TEST(StringsTable, NumberedTextsAreExact) {
  const struct {
    unsigned nId;
    const char* pszText;
  } aCases[] = {
      {128, "ZK7"},
      {129, "\nZK7Res \n\nZK7 results files (*.zk)\n.zk\nZK7.ResultFile\nZK7 Result File"},
      {130, "\nZK7Log\n\nZK7 log files (*.log)\n.log\nZK7.LogFile\nZK7 Log File"},
      {157, "Version:"},
      {471, "&[Heure]"},
      {472, "&[Fichier]"},
      {475, "&[Element]\r\n"},
      {477, "\r\nPrinted &[Date] at &[Heure]"},
      {478, "  "},
      {479, "Page &[Page] from &[Pages]"},
      {1152, "This file is not a valid ZK7 results file"},
      {1156, "Error: Some channels cannot be fount into the XML configuration contained in this file."},
      {1157, "Erreur: The XML configuration contained in this file has no 'session' element."},
      {1158, "M"},
      {1159, "N\xB0"},
      {1162, "Delay"},
      {1170, "internal flash"},
      {1174, "Glogal Logs"},
      {1197, "The system does not have enough memory available to display the results in graphic "
             "form.\nUse the \"Scales\" tool to reduce the duration displayed in the graph."},
      {10002, "N\xB0\tChannel\tUnit\tScale\t"},
      {10005, "Please wait..."},
      {10008, "j"},
      {10009, "Wrong date format"},
      {10010, "Cannot find Record"},
      {10078, "Exporting records"},
  };
  for (const auto& c : aCases) {
    SCOPED_TRACE(c.nId);
    EXPECT_EQ(LoadString(c.nId), c.pszText);
  }
}

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
  for (unsigned nId : {0u, 1u, 127u, 131u, 467u, 480u, 1151u, 1163u, 1169u, 1175u, 10001u, 10011u, 10079u,
                       40003u, 0xFFFFFFFFu})
    EXPECT_EQ(LoadString(nId), "") << nId;
}

TEST(StringsFormatMessage, ReplacesNumberedPlaceholders) {
  EXPECT_EQ(FormatMessage("%1 records from %2 exported", {"0", "250"}), "0 records from 250 exported");
  EXPECT_EQ(FormatMessage("%2 before %1", {"a", "b"}), "b before a");
  EXPECT_EQ(FormatMessage("%1-%1-%1", {"x"}), "x-x-x");
  EXPECT_EQ(FormatMessage("%9|%1", {"1", "2", "3", "4", "5", "6", "7", "8", "nine"}), "nine|1");
  EXPECT_EQ(FormatMessage("%1", {""}), "");
  EXPECT_EQ(FormatMessage("N\xB0 %1", {"\xE9t\xE9"}), "N\xB0 \xE9t\xE9");
  // Single digits only: %10 is the first argument followed by a zero.
  EXPECT_EQ(FormatMessage("%10", {"x"}), "x0");
}

TEST(StringsFormatMessage, LeavesWhatItCannotFillAsItStands) {
  EXPECT_EQ(FormatMessage("Task '%1': %2.", {"T1"}), "Task 'T1': %2.");
  EXPECT_EQ(FormatMessage("Rack %1, board %2", {}), "Rack %1, board %2");
  EXPECT_EQ(FormatMessage("no placeholder", {"unused"}), "no placeholder");
  EXPECT_EQ(FormatMessage("%0 %% %a 100%", {"x"}), "%0 %% %a 100%");
  EXPECT_EQ(FormatMessage("", {"x"}), "");
  // One pass: an argument that looks like a placeholder is not expanded again.
  EXPECT_EQ(FormatMessage("%1 and %2", {"%2", "b"}), "%2 and b");
}

} // namespace
} // namespace zk7
