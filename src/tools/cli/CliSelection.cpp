#include "CliSelection.h"

#include <cstdio>

#include "format/Formatting.h"
#include "format/NumberScan.h"
#include "results/ZK7Doc.h"
#include "strings/StringTable.h"

namespace zk7 {

std::vector<sCliOptionSpec> SelectionOptionSpecs() {
  return {{"--records", true}, {"--from", true}, {"--to", true}, {"--channels", true}};
}

bool ParseCliInt(const std::string& s, long long nMin, long long nMax, long long& n) {
  int64_t v = 0;
  if (!ScanInt(s, nMin, nMax, v)) return false;
  n = v;
  return true;
}

bool ParseCliIntList(const std::string& s, long long nMin, long long nMax, std::vector<int>& a) {
  size_t i = 0;
  while (i <= s.size()) {
    size_t j = s.find(',', i);
    if (j == std::string::npos) j = s.size();
    long long n;
    if (!ParseCliInt(s.substr(i, j - i), nMin, nMax, n)) return false;
    a.push_back(static_cast<int>(n));
    i = j + 1;
  }
  return true;
}

int ReadSelection(const CCliArgs& args, const CZK7Doc& doc, const std::string& strCommand, sCliSelection& sel) {
  auto fail = [&](const std::string& s, int nCode) {
    std::fprintf(stderr, "%s\n", Latin1ToUtf8(s).c_str());
    return nCode;
  };
  const int nRecords = doc.GetRecordCount();
  if (args.Has("--records") && (args.Has("--from") || args.Has("--to")))
    return fail(strCommand + ": --records cannot be combined with --from/--to", CLI_USAGE);
  sel = sCliSelection();
  sel.nLast = nRecords - 1;
  if (args.Has("--channels")) {
    if (!ParseCliIntList(args.Value("--channels"), 1, doc.GetChannelCount(), sel.aChannels))
      return fail(strCommand + ": --channels takes channel numbers from 1 to " + std::to_string(doc.GetChannelCount()),
                  CLI_USAGE);
    for (int& c : sel.aChannels) --c;
  }
  if (args.Has("--records")) {
    const std::string s = args.Value("--records");
    const auto nDash = s.find('-');
    long long a, b;
    if (nDash == std::string::npos || !ParseCliInt(s.substr(0, nDash), 1, nRecords, a) ||
        !ParseCliInt(s.substr(nDash + 1), 1, nRecords, b) || b < a)
      return fail(strCommand + ": --records takes FIRST-LAST, record numbers from 1 to " + std::to_string(nRecords),
                  CLI_USAGE);
    sel.nFirst = static_cast<int>(a - 1);
    sel.nLast = static_cast<int>(b - 1);
  }
  for (const char* pszOpt : {"--from", "--to"}) {
    if (!args.Has(pszOpt)) continue;
    double dDate;
    if (ParseDateTime(args.Value(pszOpt), dDate) != PARSE_DATE_OK)
      return fail(LoadString(IDS_WRONG_DATE_FORMAT) + ": " + args.Value(pszOpt), CLI_FAILURE);
    (pszOpt[2] == 'f' ? sel.nFirst : sel.nLast) = doc.FindRecordByTime(dDate);
  }
  if (sel.nLast < sel.nFirst) return fail(strCommand + ": the range holds no record", CLI_FAILURE);
  return CLI_OK;
}

} // namespace zk7
