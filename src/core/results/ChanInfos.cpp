#include "results/ChanInfos.h"

#include <tinyxml.h>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "format/NumberScan.h"
#include "results/ZK7Exception.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

std::string ChildText(const TiXmlElement& parent, const char* pszName) {
  const TiXmlElement* p = parent.FirstChildElement(pszName);
  if (!p) return {};
  const char* psz = p->GetText();
  return psz ? psz : "";
}

void ReadLimit(const TiXmlElement& limit, CChanInfos& info) {
  const char* pszNumber = limit.Attribute("number");
  if (!pszNumber) return;
  int nIndex = LeadingInt(pszNumber) - 1;
  if (nIndex < 0) nIndex = 0;
  if (nIndex > 3) nIndex = 3;
  const char* pszOnOff = limit.Attribute("onoff");
  if (!pszOnOff) return;
  ChannelLimit& l = info.aLimits[static_cast<size_t>(nIndex)];
  l.bOn = std::strcmp(pszOnOff, "on") == 0;
  if (const char* pszLevel = limit.Attribute("level")) l.bHigh = std::strcmp(pszLevel, "high") == 0;
  if (const char* pszValue = limit.Attribute("value")) {
    // A value no float can hold is as unreadable as one that is not a number.
    const double d = LeadingDouble(pszValue);
    l.fValue = std::fabs(d) <= std::numeric_limits<float>::max() ? static_cast<float>(d) : 0.0f;
  }
}

CChanInfos ReadChannel(const TiXmlElement& e) {
  CChanInfos info;
  info.strName = ChildText(e, "name");
  info.strUnit = ChildText(e, "unit");
  if (const TiXmlElement* pDisplay = e.FirstChildElement("display")) {
    const char* pszRes = pDisplay->Attribute("resolution");
    if (pszRes && std::strcmp(pszRes, "auto") != 0) info.nResolution = LeadingInt(pszRes);
  }
  for (const TiXmlElement* pLimit = e.FirstChildElement("limit"); pLimit;
       pLimit = pLimit->NextSiblingElement("limit"))
    ReadLimit(*pLimit, info);
  return info;
}

} // namespace

bool IsChannelElementName(const std::string& strName) {
  return strName == "inputchan" || strName == "numchan" || strName == "outputchan" || strName == "relaychan" ||
         strName == "calcchan";
}

namespace {
const char* SkipLeadingBlanks(const char* psz) {
  while (*psz == ' ' || *psz == '\t' || *psz == '\n' || *psz == '\r' || *psz == '\v' || *psz == '\f') ++psz;
  return psz;
}
} // namespace

int LeadingInt(const char* psz) {
  int64_t n = 0;
  ScanIntPrefix(SkipLeadingBlanks(psz), n);
  return static_cast<int>(std::clamp<int64_t>(n, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

double LeadingDouble(const char* psz) {
  double d = 0;
  if (ScanDecimalPrefix(SkipLeadingBlanks(psz), d) == 0) return 0.0;
  return d;
}

void BuildChannelTable(const TiXmlDocument& doc, std::vector<CChanInfos>& aChannels, std::string& strConfigName) {
  const TiXmlElement* pRoot = doc.RootElement();
  const TiXmlElement* pSession = pRoot ? pRoot->FirstChildElement("session") : nullptr;
  if (!pSession) throw CZK7Exception(IDS_NO_SESSION_ELEMENT);
  aChannels.clear();
  for (const TiXmlElement* e = pSession->FirstChildElement(); e; e = e->NextSiblingElement()) {
    const std::string strName = e->ValueStr();
    if (IsChannelElementName(strName)) {
      aChannels.push_back(ReadChannel(*e));
    } else if (strName == "command") {
      const TiXmlElement* pConfig = e->FirstChildElement("configuration");
      const TiXmlElement* pName = pConfig ? pConfig->FirstChildElement("name") : nullptr;
      if (pName && pName->GetText()) strConfigName = pName->GetText();
    }
  }
}

} // namespace zk7
