#include "CliArgs.h"

#include <cctype>

namespace zk7 {

bool CCliArgs::Parse(int argc, char** argv, int nFirst, const std::vector<sCliOptionSpec>& specs,
                     std::string& strError) {
  m_aPositional.clear();
  m_aValues.clear();
  bool bOnlyPositional = false;
  for (int i = nFirst; i < argc; ++i) {
    std::string strArg = argv[i];
    // A negative number is a value, not an option.
    const bool bNumber = strArg.size() >= 2 && strArg[0] == '-' && std::isdigit(static_cast<unsigned char>(strArg[1]));
    if (bOnlyPositional || strArg.size() < 2 || strArg[0] != '-' || bNumber) {
      m_aPositional.push_back(strArg);
      continue;
    }
    if (strArg == "--") {
      bOnlyPositional = true;
      continue;
    }
    std::string strValue;
    bool bInlineValue = false;
    auto eq = strArg.find('=');
    if (strArg.rfind("--", 0) == 0 && eq != std::string::npos) {
      strValue = strArg.substr(eq + 1);
      strArg = strArg.substr(0, eq);
      bInlineValue = true;
    }
    const sCliOptionSpec* pSpec = nullptr;
    for (const auto& spec : specs)
      if (spec.strName == strArg) pSpec = &spec;
    if (!pSpec) {
      strError = "unknown option " + strArg;
      return false;
    }
    if (pSpec->bTakesValue) {
      if (!bInlineValue) {
        if (i + 1 >= argc) {
          strError = "option " + strArg + " needs a value";
          return false;
        }
        strValue = argv[++i];
      }
    } else if (bInlineValue) {
      strError = "option " + strArg + " takes no value";
      return false;
    }
    m_aValues.emplace(strArg, strValue);
  }
  return true;
}

std::string CCliArgs::Value(const std::string& strName, const std::string& strDefault) const {
  auto range = m_aValues.equal_range(strName);
  if (range.first == range.second) return strDefault;
  auto last = range.first;
  for (auto it = range.first; it != range.second; ++it) last = it;
  return last->second;
}

std::vector<std::string> CCliArgs::Values(const std::string& strName) const {
  std::vector<std::string> a;
  auto range = m_aValues.equal_range(strName);
  for (auto it = range.first; it != range.second; ++it) a.push_back(it->second);
  return a;
}

std::string Latin1ToUtf8(const std::string& str) {
  std::string out;
  out.reserve(str.size());
  for (unsigned char c : str) {
    if (c < 0x80) {
      out += static_cast<char>(c);
    } else {
      out += static_cast<char>(0xC0 | (c >> 6));
      out += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
  return out;
}

} // namespace zk7
