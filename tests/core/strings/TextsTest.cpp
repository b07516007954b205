// The string table, the message formatting and the error catalogue.

#include <gtest/gtest.h>
#include "errors/ErrorCatalogue.h"
#include "strings/StringTable.h"

namespace zk7 {

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

  // The page tokens are found in the templates; unknown ids are empty.
  // The templates name their tokens by the tokens' own texts.
  EXPECT_NE(LoadString(IDS_FOOTER_RIGHT).find(LoadString(IDS_TOKEN_PAGES)), std::string::npos);
  EXPECT_NE(LoadString(IDS_HEADER_CENTRE).find(LoadString(IDS_TOKEN_ELEMENT)), std::string::npos);
  EXPECT_NE(LoadString(IDS_FOOTER_CENTRE).find(LoadString(IDS_TOKEN_TIME)), std::string::npos);
  EXPECT_FALSE(LoadString(IDS_TOKEN_TIME).empty());
  for (unsigned nId : {0u, 127u, 131u, 10079u, 0xFFFFFFFFu}) EXPECT_EQ(LoadString(nId), "") << nId;
}

TEST(Errors, CatalogueAndLookup) {
  const struct { const char* pszTyped; int nCode; const char* pszText; } aCases[] = {
      {"0", 0, "Err. 0:\r\n\r\nOK"}, {"48", 48, "Err. 48:\r\n\r\n???"}, {"100", 100, "Err. 100:\r\n\r\n"},
      {"313", 313, "Err. 313:\r\n\r\nComment can not be logged: user '%1' is not a member of this alarm group"},
      {"1000", 1000, "Err. 1000:\r\n\r\n???"}, {"  12\t", 12, "Err. 12:\r\n\r\nBroken wire (voltage)"},
      {"+7", 7, "Err. 7:\r\n\r\nOverload (too high)"}, {"007", 7, "Err. 7:\r\n\r\nOverload (too high)"},
      {"-0", 0, "Err. 0:\r\n\r\nOK"},
  };
  for (const auto& c : aCases) {
    const sErrorLookup l = LookupErrorNumber(c.pszTyped);
    EXPECT_EQ(std::tuple(l.m_bAccepted, l.m_nCode, l.m_strText), std::tuple(true, c.nCode, std::string(c.pszText))) << c.pszTyped;
  }
  EXPECT_EQ(FormatErrorMeaning(-5), "Err. -5:\r\n\r\n???");

  // Texts that are not whole numbers in range are refused.
  for (const char* psz : {"", "   ", "abc", "12a", "1 2", "1.5", "0x10", "-", "+-5", "99999999999999999999999x", "1001", "-1",
                          "4294967296", "99999999999999999999999"}) {
    const sErrorLookup l = LookupErrorNumber(psz);
    const bool bNumber = std::string(psz).find_first_not_of("-0123456789") == std::string::npos && std::string(psz).size() > 1;
    EXPECT_EQ(std::pair(l.m_bAccepted, l.m_strText),
              std::pair(false, std::string(bNumber ? ERROR_LOOKUP_OUT_OF_RANGE : ERROR_LOOKUP_NOT_A_NUMBER))) << psz;
  }

  // The catalogue holds exactly the two ranges, with their boundary and awkward texts.
  int nBoard = 0, nSystem = 0;
  for (int nCode = -50; nCode < 1100; ++nCode) {
    if (!HasErrorText(nCode)) {
      EXPECT_EQ(GetErrorText(nCode), "???") << nCode;
    } else if (nCode <= 47) {
      ++nBoard;
    } else if (nCode >= 100 && nCode <= 313) {
      ++nSystem;
      // Only 100 is empty; an empty text elsewhere would betray a shifted table.
      EXPECT_EQ(GetErrorText(nCode).empty(), nCode == 100) << nCode;
    } else {
      ADD_FAILURE() << "unexpected entry " << nCode;
    }
  }
  EXPECT_EQ(std::pair(nBoard, nSystem), std::pair(48, 214));
  EXPECT_FALSE(HasErrorText(INT32_MIN) || HasErrorText(INT32_MAX));
  // Texts at the ends of the ranges, and those with stray spaces, marks or accents.
  const std::pair<int, const char*> aTexts[] = {
      {0, "OK"}, {1, "Wrong frame length"}, {40, "ERR_EEPNOTADJUSTED,"},
      {47, "Wrong frame size (insufficient number of parameters)"}, {101, "Can not create results file '%1'- Error:%2"},
      {158, "T\xE2" "che '%1'. Error in the evaluation of the start storage condition: '%2'"},
      {170, "Minimimum periodicity is  %1 ms."}, {173, "Start recording condition. Error at position %1.: "},
      {233, "Object names (channels, tasks...) are limited to 50 characters  and must not contain the "
            "following characters: \\/\"'()-,;}*?<>:"},
      {240, "Can not close file '%1'. Error : "}, {279, "Invalid MAC address. Tessor addresses must begin with '0A:0B:0C"},
      {313, "Comment can not be logged: user '%1' is not a member of this alarm group"},
      // Repeated texts stay under each of their numbers; their neighbours differ.
      {108, "Error in the formula"}, {138, "Error in the formula"}, {206, "Error in the formula"},
      {122, "This channel name does not exist"}, {221, "This channel name does not exist"},
      {107, "Invalid range for this measurement function"}, {139, "0 divide"},
      {222, "This channel is already used by task %1"}};
  for (const auto& [nCode, pszText] : aTexts) EXPECT_EQ(GetErrorText(nCode), pszText) << nCode;
  EXPECT_TRUE(GetErrorText(19) == GetErrorText(119) && GetErrorText(213) == GetErrorText(252));
}

} // namespace zk7
