// Desktop entry rewriting for the file-type registration.
#include "app/DesktopEntry.h"

#include <sstream>

namespace zk7 {

std::string QuoteExecArgument(const std::string& strArg) {
  static const std::string s_strReserved = " \t\n\"'\\><~|&;$*?#()`";
  const bool bQuote = strArg.empty() || strArg.find_first_of(s_strReserved) != std::string::npos;
  std::string strExec;
  if (bQuote)
    strExec += '"';
  for (char c : strArg) {
    if (bQuote && (c == '"' || c == '`' || c == '$' || c == '\\'))
      strExec += '\\';
    strExec += c;
  }
  if (bQuote)
    strExec += '"';
  // The entry's own string escapes come on top of the Exec quoting.
  std::string strValue;
  for (char c : strExec) {
    if (c == '\\')
      strValue += "\\\\";
    else if (c == '%')
      strValue += "%%";
    else
      strValue += c;
  }
  return strValue;
}

std::string MakeDesktopEntry(const std::string& strTemplate, const std::string& strProgram) {
  std::istringstream in(strTemplate);
  std::string strOut;
  std::string strLine;
  while (std::getline(in, strLine)) {
    if (strLine.rfind("Exec=", 0) == 0)
      strLine = "Exec=" + QuoteExecArgument(strProgram) + " %f";
    strOut += strLine;
    strOut += '\n';
  }
  return strOut;
}

} // namespace zk7
