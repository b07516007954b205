// Parsing of the application's command line.
#include "app/CommandLine.h"

#include <cctype>
#include <filesystem>
#include <system_error>

namespace zk7 {

namespace {

bool EqualsNoCase(const std::string& a, const char* b) {
  size_t i = 0;
  for (; i < a.size() && b[i] != '\0'; ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return i == a.size() && b[i] == '\0';
}

bool NamesExistingPath(const std::string& strArg) {
  std::error_code ec;
  return std::filesystem::exists(std::filesystem::path(strArg), ec);
}

} // namespace

bool HasRegServerToken(const std::string& strRaw) {
  std::string strToken;
  for (size_t i = 0; i <= strRaw.size(); ++i) {
    const char c = i < strRaw.size() ? strRaw[i] : ' ';
    if (c == '-' || c == '/' || c == ' ') {
      if (EqualsNoCase(strToken, "RegServer"))
        return true;
      strToken.clear();
    } else {
      strToken += c;
    }
  }
  return false;
}

sAppCommandLine ParseAppCommandLine(const std::vector<std::string>& aArgs) {
  sAppCommandLine cmd;
  for (const std::string& strArg : aArgs) {
    if (strArg.empty())
      continue;
    bool bFile = NamesExistingPath(strArg);
    if (!bFile) {
      if (HasRegServerToken(strArg))
        cmd.m_bRegServer = true;
      else
        bFile = strArg[0] != '-';
    }
    if (bFile && cmd.m_strFile.empty())
      cmd.m_strFile = strArg;
  }
  return cmd;
}

} // namespace zk7
