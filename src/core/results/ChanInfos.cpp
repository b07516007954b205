#include "results/ChanInfos.h"

#include <tinyxml.h>

#include <cctype>
#include <cstdlib>
#include <cstring>

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
  if (const char* pszValue = limit.Attribute("value")) l.fValue = static_cast<float>(LeadingDouble(pszValue));
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

int LeadingInt(const char* psz) {
  // Leading blanks and a sign, then digits; saturates rather than overflowing.
  while (*psz == ' ' || *psz == '\t' || *psz == '\n' || *psz == '\r' || *psz == '\v' || *psz == '\f') ++psz;
  bool bNeg = false;
  if (*psz == '+' || *psz == '-') bNeg = *psz++ == '-';
  long long n = 0;
  while (std::isdigit(static_cast<unsigned char>(*psz))) {
    if (n < 10000000000LL) n = n * 10 + (*psz - '0');
    ++psz;
  }
  if (bNeg) n = -n;
  if (n > 2147483647LL) n = 2147483647LL;
  if (n < -2147483647LL - 1) n = -2147483647LL - 1;
  return static_cast<int>(n);
}

double LeadingDouble(const char* psz) {
  // Only plain decimal notation with a point counts (no hexadecimal, "inf" or
  // "nan"); the scanned prefix is then converted by strtod, whose C locale uses
  // the point whatever the user's conventions.
  const char* p = psz;
  while (*p == ' ' || *p == '\t' || *p == '\n' || *p == '\r') ++p;
  const char* pStart = p;
  if (*p == '+' || *p == '-') ++p;
  bool bDigits = false;
  while (std::isdigit(static_cast<unsigned char>(*p))) { ++p; bDigits = true; }
  if (*p == '.') {
    ++p;
    while (std::isdigit(static_cast<unsigned char>(*p))) { ++p; bDigits = true; }
  }
  if (!bDigits) return 0.0;
  if (*p == 'e' || *p == 'E') {
    const char* q = p + 1;
    if (*q == '+' || *q == '-') ++q;
    if (std::isdigit(static_cast<unsigned char>(*q))) {
      while (std::isdigit(static_cast<unsigned char>(*q))) ++q;
      p = q;
    }
  }
  return std::strtod(std::string(pStart, p).c_str(), nullptr);
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
