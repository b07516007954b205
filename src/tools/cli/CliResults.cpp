#include "CliResults.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "format/NumberScan.h"
#include "errors/ErrorCatalogue.h"
#include "format/Formatting.h"
#include "history/HistRowText.h"
#include "history/RecordExport.h"
#include "results/ZK7Doc.h"
#include "samples/SampleWriter.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

void PrintError(const std::string& strText) {
  std::fprintf(stderr, "%s\n", Latin1ToUtf8(strText).c_str());
}

// Whole number in [nMin, nMax]; false for anything else.
bool ParseInt(const std::string& s, long long nMin, long long nMax, long long& n) {
  int64_t v = 0;
  if (!ScanInt(s, nMin, nMax, v)) return false;
  n = v;
  return true;
}

bool ParseIntList(const std::string& s, long long nMin, long long nMax, std::vector<int>& a) {
  size_t i = 0;
  while (i <= s.size()) {
    size_t j = s.find(',', i);
    if (j == std::string::npos) j = s.size();
    long long n;
    if (!ParseInt(s.substr(i, j - i), nMin, nMax, n)) return false;
    a.push_back(static_cast<int>(n));
    i = j + 1;
  }
  return true;
}

bool OpenDoc(const std::string& strPath, CZK7Doc& doc) {
  std::string strError;
  if (!doc.OnOpenDocument(strPath, &strError)) {
    PrintError(strError);
    return false;
  }
  return true;
}

std::string LimitText(const CZK7Doc& doc, int c) {
  std::string s;
  for (int l = 0; l < 4; ++l) {
    const ChannelLimit& lim = doc.GetChannels()[static_cast<size_t>(c)].aLimits[static_cast<size_t>(l)];
    if (!lim.bOn) continue;
    if (!s.empty()) s += ", ";
    s += std::to_string(l + 1) + (lim.bHigh ? " high " : " low ") + FormatSignificant(lim.fValue, 7);
  }
  return s.empty() ? "none" : s;
}

} // namespace

int RunInfo(int argc, char** argv) {
  CCliArgs args;
  std::string strError;
  if (!args.Parse(argc, argv, 2, {}, strError) || args.Positional().size() != 1) {
    if (!strError.empty()) PrintError("zk7-cli info: " + strError);
    return CLI_USAGE;
  }
  CZK7Doc doc;
  if (!OpenDoc(args.Positional()[0], doc)) return CLI_FAILURE;
  try {
    const sResultsFileInfo info = doc.GetFileInformation();
    for (const auto& line : GetInformationLines(info))
      std::printf("%s %s\n", line.pszLabel, Latin1ToUtf8(*line.pstrValue).c_str());
    for (int c = 0; c < doc.GetChannelCount(); ++c) {
      const CChanInfos& ch = doc.GetChannels()[static_cast<size_t>(c)];
      std::printf("%03d\t%s\t%s\tresolution %d\tlimits %s\n", c + 1, Latin1ToUtf8(ch.strName).c_str(),
                  Latin1ToUtf8(ch.strUnit).c_str(), ch.nResolution, LimitText(doc, c).c_str());
    }
  } catch (const std::exception& e) {
    PrintError(e.what());
    return CLI_FAILURE;
  }
  return CLI_OK;
}

int RunExport(int argc, char** argv) {
  const std::vector<sCliOptionSpec> specs = {
      {"-o", true},          {"--append", false},     {"--records", true},    {"--from", true},
      {"--to", true},        {"--channels", true},    {"--time-format", true}, {"--resolution", true},
      {"--ms-offsets", false}, {"--errors", true},    {"--marks", true},
  };
  CCliArgs args;
  std::string strError;
  if (!args.Parse(argc, argv, 2, specs, strError) || args.Positional().size() != 1) {
    if (!strError.empty()) PrintError("zk7-cli export: " + strError);
    return CLI_USAGE;
  }
  auto usage = [](const std::string& s) {
    PrintError("zk7-cli export: " + s);
    return CLI_USAGE;
  };
  if (args.Has("--append") && !args.Has("-o")) return usage("--append needs -o OUT");
  if (args.Has("--records") && (args.Has("--from") || args.Has("--to")))
    return usage("--records cannot be combined with --from/--to");

  CZK7Doc doc;
  if (!OpenDoc(args.Positional()[0], doc)) return CLI_FAILURE;

  sListOptions opt;
  opt.m_nTimeFormat = TimeFormatFromFile(doc);
  if (args.Has("--time-format")) {
    const std::string s = args.Value("--time-format");
    if (s == "date-time") opt.m_nTimeFormat = 0;
    else if (s == "time") opt.m_nTimeFormat = 1;
    else return usage("--time-format takes date-time or time");
  }
  const std::string strRes = args.Value("--resolution", "1ms");
  if (strRes == "1s") {
    opt.m_bShowFraction = false;
    opt.m_nFractionDigits = 0;
  } else if (strRes == "100ms" || strRes == "10ms" || strRes == "1ms") {
    opt.m_bShowFraction = true;
    opt.m_nFractionDigits = strRes == "100ms" ? 1 : (strRes == "10ms" ? 2 : 3);
  } else {
    return usage("--resolution takes 1s, 100ms, 10ms or 1ms");
  }
  opt.m_bMsOffsetColumns = args.Has("--ms-offsets");
  const std::string strErrors = args.Value("--errors", "number");
  if (strErrors == "meaning") doc.SetErrorDisplayFormat(CZK7Doc::ERRORS_NUMBER_AND_MEANING);
  else if (strErrors != "number") return usage("--errors takes number or meaning");
  if (args.Has("--channels")) {
    std::vector<int> a;
    if (!ParseIntList(args.Value("--channels"), 1, doc.GetChannelCount(), a))
      return usage("--channels takes channel numbers from 1 to " + std::to_string(doc.GetChannelCount()));
    for (int c : a) opt.m_aDisplayedChannels.push_back(c - 1);
  }
  if (args.Has("--marks")) {
    std::vector<int> a;
    if (!ParseIntList(args.Value("--marks"), 1, doc.GetRecordCount(), a))
      return usage("--marks takes record numbers from 1 to " + std::to_string(doc.GetRecordCount()));
    for (int r : a) opt.m_aFixedMarks.push_back(r - 1);
  }

  int nFirst = 0, nLast = doc.GetRecordCount() - 1;
  try {
    if (args.Has("--records")) {
      const std::string s = args.Value("--records");
      const auto nDash = s.find('-');
      long long a, b;
      if (nDash == std::string::npos || !ParseInt(s.substr(0, nDash), 1, doc.GetRecordCount(), a) ||
          !ParseInt(s.substr(nDash + 1), 1, doc.GetRecordCount(), b) || b < a)
        return usage("--records takes FIRST-LAST, record numbers from 1 to " + std::to_string(doc.GetRecordCount()));
      nFirst = static_cast<int>(a - 1);
      nLast = static_cast<int>(b - 1);
    }
    for (const char* pszOpt : {"--from", "--to"}) {
      if (!args.Has(pszOpt)) continue;
      double dDate;
      if (ParseDateTime(args.Value(pszOpt), dDate) != PARSE_DATE_OK) {
        PrintError(LoadString(IDS_WRONG_DATE_FORMAT) + ": " + args.Value(pszOpt));
        return CLI_FAILURE;
      }
      (std::strcmp(pszOpt, "--from") == 0 ? nFirst : nLast) = doc.FindRecordByTime(dDate);
    }
    if (nLast < nFirst) {
      PrintError("zk7-cli export: the range holds no record");
      return CLI_FAILURE;
    }

    std::FILE* f = stdout;
    const std::string strOut = args.Value("-o");
    if (!strOut.empty()) {
      f = std::fopen(strOut.c_str(), args.Has("--append") ? "ab" : "wb");
      if (!f) {
        PrintError("Cannot create file: " + strOut);
        return CLI_FAILURE;
      }
    }
    CHistRowText rows(doc, opt);
    CFileRecordSink sink(f);
    unsigned nError = WriteRecordLines(rows, nFirst, nLast - nFirst + 1, sink);
    if (std::fflush(f) != 0) nError = EXPORT_WRITE_ERROR;
    if (f != stdout && std::fclose(f) != 0) nError = EXPORT_WRITE_ERROR;
    if (nError) {
      PrintError(EXPORT_WRITE_ERROR_TEXT);
      return CLI_FAILURE;
    }
  } catch (const std::exception& e) {
    PrintError(e.what());
    return CLI_FAILURE;
  }
  return CLI_OK;
}

int RunError(int argc, char** argv) {
  CCliArgs args;
  std::string strError;
  long long n;
  if (!args.Parse(argc, argv, 2, {}, strError) || args.Positional().size() != 1 ||
      !ParseInt(args.Positional()[0], -2147483647LL - 1, 2147483647LL, n)) {
    PrintError("zk7-cli error: give one whole number");
    return CLI_USAGE;
  }
  std::printf("%s\n", Latin1ToUtf8(GetErrorText(static_cast<int>(n))).c_str());
  return CLI_OK;
}

int RunMakeSample(int argc, char** argv) {
  const std::vector<sCliOptionSpec> specs = {
      {"--channels", true}, {"--records", true}, {"--period-ms", true}, {"--start", true}, {"--seed", true}};
  CCliArgs args;
  std::string strError;
  if (!args.Parse(argc, argv, 2, specs, strError) || args.Positional().size() != 1) {
    if (!strError.empty()) PrintError("zk7-cli make-sample: " + strError);
    return CLI_USAGE;
  }
  auto usage = [](const std::string& s) {
    PrintError("zk7-cli make-sample: " + s);
    return CLI_USAGE;
  };
  sSampleSpec spec;
  long long n;
  if (args.Has("--channels")) {
    if (!ParseInt(args.Value("--channels"), 1, 10000, n)) return usage("--channels takes 1 to 10000");
    spec.nChannels = static_cast<int>(n);
  }
  if (args.Has("--records")) {
    if (!ParseInt(args.Value("--records"), 1, 2147483647LL, n)) return usage("--records takes 1 to 2147483647");
    spec.nRecords = n;
  }
  if (args.Has("--period-ms")) {
    if (!ParseInt(args.Value("--period-ms"), 1, 86400000LL, n)) return usage("--period-ms takes 1 to 86400000");
    spec.nPeriodMs = static_cast<int>(n);
  }
  if (args.Has("--seed")) {
    if (!ParseInt(args.Value("--seed"), 0, 9223372036854775807LL, n)) return usage("--seed takes a whole number");
    spec.nSeed = static_cast<uint64_t>(n);
  }
  if (args.Has("--start")) {
    const std::string str = args.Value("--start");
    double dDate = 0;
    // Whole seconds: the file's base time has no fraction.
    if (str.size() != 19 || !ParseIsoDateTime(str, dDate)) return usage("--start takes YYYY-MM-DDTHH:MM:SS");
    const double dDays = dDate - 25569.0;
    const long long nSeconds = static_cast<long long>(std::llround(dDays * 86400.0));
    if (nSeconds < -2147483647LL - 1 || nSeconds > 2147483647LL) return usage("--start lies outside 1901-2038");
    spec.nStartSeconds = nSeconds;
  }
  CSampleWriter writer(spec);
  if (!writer.WriteFile(args.Positional()[0], &strError)) {
    PrintError(strError);
    return CLI_FAILURE;
  }
  return CLI_OK;
}

} // namespace zk7
