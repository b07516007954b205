#include "errors/ErrorCatalogue.h"

#include <gtest/gtest.h>

#include <cstdint>

namespace zk7 {
namespace {

TEST(ErrorsCatalogue, EntriesAtTheBoundariesAndTheAwkwardTexts) {
  const struct {
    int nCode;
    const char* pszText;
  } aCases[] = {
      {0, "OK"},
      {1, "Wrong frame length"},
      {40, "ERR_EEPNOTADJUSTED,"},
      {47, "Wrong frame size (insufficient number of parameters)"},
      {100, ""},
      {101, "Can not create results file '%1'- Error:%2"},
      {153, "Rack %1, board %2. Error: '%3'."},
      {158, "T\xE2" "che '%1'. Error in the evaluation of the start storage condition: '%2'"},
      {170, "Minimimum periodicity is  %1 ms."},
      {173, "Start recording condition. Error at position %1.: "},
      {233, "Object names (channels, tasks...) are limited to 50 characters  and must not contain the "
            "following characters: \\/\"'()-,;}*?<>:"},
      {240, "Can not close file '%1'. Error : "},
      {279, "Invalid MAC address. Tessor addresses must begin with '0A:0B:0C"},
      {284, "*** %1 : Signaling an alarm ***"},
      {313, "Comment can not be logged: user '%1' is not a member of this alarm group"},
  };
  for (const auto& c : aCases) {
    SCOPED_TRACE(c.nCode);
    EXPECT_TRUE(HasErrorText(c.nCode));
    EXPECT_EQ(GetErrorText(c.nCode), c.pszText);
  }
}

TEST(ErrorsCatalogue, NumbersWithoutEntryGiveQuestionMarks) {
  for (int nCode : {-1, -100, 48, 75, 99, 314, 1000, 1001, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(nCode);
    EXPECT_FALSE(HasErrorText(nCode));
    EXPECT_EQ(GetErrorText(nCode), "???");
  }
}

TEST(ErrorsCatalogue, HoldsExactlyTheTwoRanges) {
  int nBoard = 0;
  int nSystem = 0;
  for (int nCode = -50; nCode < 1100; ++nCode) {
    if (!HasErrorText(nCode))
      continue;
    if (nCode >= 0 && nCode <= 47)
      ++nBoard;
    else if (nCode >= 100 && nCode <= 313)
      ++nSystem;
    else
      ADD_FAILURE() << "unexpected entry " << nCode;
  }
  EXPECT_EQ(nBoard, 48);
  EXPECT_EQ(nSystem, 214);
  // Only 100 is empty; an empty text elsewhere would betray a shifted table.
  for (int nCode = 101; nCode <= 313; ++nCode)
    EXPECT_FALSE(GetErrorText(nCode).empty()) << nCode;
}

TEST(ErrorsCatalogue, RepeatedTextsStayUnderEachOfTheirNumbers) {
  for (int nCode : {108, 138, 206})
    EXPECT_EQ(GetErrorText(nCode), "Error in the formula") << nCode;
  for (int nCode : {122, 135, 221})
    EXPECT_EQ(GetErrorText(nCode), "This channel name does not exist") << nCode;
  EXPECT_EQ(GetErrorText(19), GetErrorText(119));
  EXPECT_EQ(GetErrorText(213), GetErrorText(252));
  // Neighbours of the repeated entries are different texts.
  EXPECT_EQ(GetErrorText(107), "Invalid range for this measurement function");
  EXPECT_EQ(GetErrorText(139), "0 divide");
  EXPECT_EQ(GetErrorText(222), "This channel is already used by task %1");
}

TEST(ErrorsLookup, AcceptedNumbersShowTheNumberABlankLineAndTheMeaning) {
  const struct {
    const char* pszTyped;
    int nCode;
    const char* pszText;
  } aCases[] = {
      {"0", 0, "Err. 0:\r\n\r\nOK"},
      {"47", 47, "Err. 47:\r\n\r\nWrong frame size (insufficient number of parameters)"},
      {"48", 48, "Err. 48:\r\n\r\n???"},
      {"99", 99, "Err. 99:\r\n\r\n???"},
      {"100", 100, "Err. 100:\r\n\r\n"},
      {"313", 313, "Err. 313:\r\n\r\nComment can not be logged: user '%1' is not a member of this alarm group"},
      {"314", 314, "Err. 314:\r\n\r\n???"},
      {"1000", 1000, "Err. 1000:\r\n\r\n???"},
      {"  12\t", 12, "Err. 12:\r\n\r\nBroken wire (voltage)"},
      {"+7", 7, "Err. 7:\r\n\r\nOverload (too high)"},
      {"007", 7, "Err. 7:\r\n\r\nOverload (too high)"},
      {"-0", 0, "Err. 0:\r\n\r\nOK"},
  };
  for (const auto& c : aCases) {
    SCOPED_TRACE(c.pszTyped);
    const sErrorLookup lookup = LookupErrorNumber(c.pszTyped);
    EXPECT_TRUE(lookup.m_bAccepted);
    EXPECT_EQ(lookup.m_nCode, c.nCode);
    EXPECT_EQ(lookup.m_strText, c.pszText);
  }
  EXPECT_EQ(FormatErrorMeaning(-5), "Err. -5:\r\n\r\n???");
}

TEST(ErrorsLookup, RefusesTextsThatAreNotWholeNumbersInRange) {
  const struct {
    const char* pszTyped;
    const char* pszMessage;
  } aCases[] = {
      {"", ERROR_LOOKUP_NOT_A_NUMBER},
      {"   ", ERROR_LOOKUP_NOT_A_NUMBER},
      {"abc", ERROR_LOOKUP_NOT_A_NUMBER},
      {"12a", ERROR_LOOKUP_NOT_A_NUMBER},
      {"1 2", ERROR_LOOKUP_NOT_A_NUMBER},
      {"1.5", ERROR_LOOKUP_NOT_A_NUMBER},
      {"0x10", ERROR_LOOKUP_NOT_A_NUMBER},
      {"-", ERROR_LOOKUP_NOT_A_NUMBER},
      {"+-5", ERROR_LOOKUP_NOT_A_NUMBER},
      {"99999999999999999999999x", ERROR_LOOKUP_NOT_A_NUMBER},
      {"1001", ERROR_LOOKUP_OUT_OF_RANGE},
      {"-1", ERROR_LOOKUP_OUT_OF_RANGE},
      {"4294967296", ERROR_LOOKUP_OUT_OF_RANGE},
      {"99999999999999999999999", ERROR_LOOKUP_OUT_OF_RANGE},
  };
  for (const auto& c : aCases) {
    SCOPED_TRACE(c.pszTyped);
    const sErrorLookup lookup = LookupErrorNumber(c.pszTyped);
    EXPECT_FALSE(lookup.m_bAccepted);
    EXPECT_EQ(lookup.m_strText, c.pszMessage);
  }
}

} // namespace
} // namespace zk7
