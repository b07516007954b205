// The channel table built from the acquisition configuration embedded in a results file.
#pragma once
#include <array>
#include <string>
#include <vector>

class TiXmlDocument;

namespace zk7 {

struct ChannelLimit {
  int bOn = 0;
  float fValue = 0.0f;
  int bHigh = 0;
};

struct CChanInfos {
  std::string strName;
  std::string strUnit;
  int nResolution = 6;
  std::array<ChannelLimit, 4> aLimits{};
};

// Fills the table (emptied first) and the configuration name from the parsed
// configuration; throws CZK7Exception 1157 without a root or a `session`.
void BuildChannelTable(const TiXmlDocument& doc, std::vector<CChanInfos>& aChannels,
                       std::string& strConfigName);

// True for the five channel element names.
bool IsChannelElementName(const std::string& strName);

// Leading whole number of a text (leading blanks and a sign accepted), 0 when none.
int LeadingInt(const char* psz);
// Leading plain decimal number with a point (no exponent, "inf", "nan" or
// hexadecimal), 0 when none, whatever the C library's locale.
double LeadingDouble(const char* psz);

} // namespace zk7
