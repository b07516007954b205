// The built-in catalogue of module error numbers and their English meanings.
#pragma once
#include <string>

namespace zk7 {

// Meaning of a module error number; "???" for a number without an entry.
// Placeholders such as %1 in a meaning are returned as they stand.
std::string GetErrorText(int nCode);

// True when the number has an entry (0..47 and 100..313).
bool HasErrorText(int nCode);

// "Err. N:\r\n\r\n" followed by the meaning: what the "Error Codes" dialog shows for N.
std::string FormatErrorMeaning(int nCode);

// The "Error Codes" dialog accepts whole numbers from 0 to 1000 only.
constexpr int ERROR_LOOKUP_MIN = 0;
constexpr int ERROR_LOOKUP_MAX = 1000;
inline constexpr const char* ERROR_LOOKUP_NOT_A_NUMBER = "Please enter an integer.";
inline constexpr const char* ERROR_LOOKUP_OUT_OF_RANGE = "Please enter an integer between 0 and 1000.";

struct sErrorLookup {
  bool m_bAccepted = false;  // false: the field refuses the text and the meaning shown stays as it was
  int m_nCode = 0;           // the number, when accepted
  std::string m_strText;     // accepted: FormatErrorMeaning(m_nCode); refused: the validation message
};

// Checks the text typed in the dialog's "Error number:" field (blanks around it,
// an optional sign) and gives the meaning to show or the message that refuses it.
sErrorLookup LookupErrorNumber(const std::string& strTyped);

} // namespace zk7
