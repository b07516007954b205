// Command-line parsing shared by the zk7-cli commands: options may stand before
// or after the positional arguments.
#pragma once
#include <map>
#include <set>
#include <string>
#include <vector>

namespace zk7 {

struct sCliOptionSpec {
  std::string strName;   // "--records"
  bool bTakesValue;
};

class CCliArgs {
public:
  // Parses argv[first..argc); false with a text for an unknown option or a
  // missing value.
  bool Parse(int argc, char** argv, int nFirst, const std::vector<sCliOptionSpec>& specs, std::string& strError);

  const std::vector<std::string>& Positional() const { return m_aPositional; }
  bool Has(const std::string& strName) const { return m_aValues.count(strName) != 0; }
  // Last value given for the option; strDefault when absent.
  std::string Value(const std::string& strName, const std::string& strDefault = "") const;
  // Every value given for a repeatable option, in order.
  std::vector<std::string> Values(const std::string& strName) const;

private:
  std::vector<std::string> m_aPositional;
  std::multimap<std::string, std::string> m_aValues;
};

// Latin-1 (the files' and module's 8-bit texts) to UTF-8 for the terminal.
std::string Latin1ToUtf8(const std::string& str);

// Exit codes.
enum : int { CLI_OK = 0, CLI_FAILURE = 1, CLI_USAGE = 2 };

} // namespace zk7
