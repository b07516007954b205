#include "CliStats.h"

#include <cstdio>
#include <exception>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "CliSelection.h"
#include "history/ChannelStatistics.h"
#include "results/ZK7Doc.h"

namespace zk7 {

int RunStats(int argc, char** argv) {
  std::vector<sCliOptionSpec> specs = SelectionOptionSpecs();
  specs.push_back({"--format", true});
  CCliArgs args;
  std::string strError;
  if (!args.Parse(argc, argv, 2, specs, strError) || args.Positional().size() != 1) {
    if (!strError.empty()) std::fprintf(stderr, "zk7-cli stats: %s\n", strError.c_str());
    return CLI_USAGE;
  }
  const std::string strFormat = args.Value("--format", "text");
  if (strFormat != "text" && strFormat != "tsv") {
    std::fprintf(stderr, "zk7-cli stats: --format takes text or tsv\n");
    return CLI_USAGE;
  }
  CZK7Doc doc;
  if (!doc.OnOpenDocument(args.Positional()[0], &strError)) {
    std::fprintf(stderr, "%s\n", Latin1ToUtf8(strError).c_str());
    return CLI_FAILURE;
  }
  try {
    sCliSelection sel;
    if (const int nResult = ReadSelection(args, doc, "zk7-cli stats", sel); nResult != CLI_OK) return nResult;
    if (sel.aChannels.empty())
      for (int c = 0; c < doc.GetChannelCount(); ++c) sel.aChannels.push_back(c);
    std::vector<sChannelStatistics> aResults;
    CChannelStatistics::Compute(doc, sel.nFirst, sel.nLast, sel.aChannels, aResults);
    const std::string strOut =
        strFormat == "tsv" ? StatisticsTsvText(doc, aResults) : StatisticsAlignedText(doc, aResults);
    std::fputs(Latin1ToUtf8(strOut).c_str(), stdout);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "%s\n", Latin1ToUtf8(e.what()).c_str());
    return CLI_FAILURE;
  }
  return std::fflush(stdout) == 0 ? CLI_OK : CLI_FAILURE;
}

} // namespace zk7
