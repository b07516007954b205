#include "CliLog.h"

#include <cstdio>
#include <string>
#include <vector>

#include "CliArgs.h"
#include "format/NumberScan.h"
#include "logs/ZK7LogDoc.h"

namespace zk7 {

namespace {

void PrintError(const std::string& strText) {
  std::fprintf(stderr, "%s\n", Latin1ToUtf8(strText).c_str());
}

} // namespace

int RunLog(int argc, char** argv) {
  CCliArgs args;
  std::string strError;
  if (!args.Parse(argc, argv, 2, {{"--click", true}}, strError) || args.Positional().size() != 1) {
    if (!strError.empty()) PrintError("zk7-cli log: " + strError);
    return CLI_USAGE;
  }
  CZK7LogDoc doc;
  if (!doc.OnOpenDocument(args.Positional()[0], &strError)) {
    PrintError(strError);
    return CLI_FAILURE;
  }

  std::vector<int> aRows;
  for (int i = 0; i < doc.GetLineCount(); ++i) aRows.push_back(i);
  CLogSortState sort;
  for (const std::string& strClick : args.Values("--click")) {
    int64_t n = 0;
    if (!ScanInt(strClick, 1, doc.GetColumnCount(), n)) {
      PrintError("zk7-cli log: --click takes a column number from 1 to " + std::to_string(doc.GetColumnCount()));
      return CLI_USAGE;
    }
    sort.Click(static_cast<int>(n - 1));
    sort.Sort(doc, aRows);
  }

  // The bytes the log window puts on the clipboard with every row selected.
  const std::string strText = BuildLogCopyText(doc, aRows);
  if (std::fwrite(strText.data(), 1, strText.size(), stdout) != strText.size() || std::fflush(stdout) != 0) {
    PrintError("zk7-cli log: cannot write the lines");
    return CLI_FAILURE;
  }
  return CLI_OK;
}

} // namespace zk7
