// About box lines.
#include "app/AboutTexts.h"

#include "strings/StringTable.h"

namespace zk7 {

std::string FormatAboutProductLine(const std::string& strName, const std::string& strVersion) {
  return strName + " " + LoadString(IDS_VERSION) + " " + strVersion;
}

std::string FormatAboutComponentLine(const std::string& strName, const std::string& strFile,
                                     const std::string& strVersion) {
  std::string strLine = strName;
  if (!strFile.empty())
    strLine += " (" + strFile + ")";
  return strLine + " " + LoadString(IDS_VERSION) + " " + strVersion;
}

} // namespace zk7
