// zk7-cli: the application's work without windows.
#include <cstdio>
#include <cstring>
#include <string>

#include "CliArgs.h"
#include "CliInstrument.h"
#include "CliLog.h"
#include "CliPlot.h"
#include "CliResults.h"
#include "CliStats.h"

namespace {

void PrintUsage(std::FILE* f) {
  std::fprintf(f,
               "usage: zk7-cli COMMAND [ARGS]\n"
               "\n"
               "Results files:\n"
               "  info FILE.zk                      what the file holds: configuration, times, channels\n"
               "  export FILE.zk [-o OUT [--append]] [--records FIRST-LAST] [--from DATETIME] [--to DATETIME]\n"
               "         [--channels 1,3,...] [--time-format date-time|time] [--resolution 1s|100ms|10ms|1ms]\n"
               "         [--ms-offsets] [--errors number|meaning] [--marks N,...] [--format text|csv]\n"
               "                                    the selected records as the record list shows them, or as\n"
               "                                    CSV (UTF-8, ISO 8601 times, point decimals; an error gives an\n"
               "                                    empty cell, or its text with --errors);\n"
               "                                    DATETIME as the program shows dates in your locale,\n"
               "                                    or ISO 8601 (2026-01-01T12:00:00, 2026-01-01 12:00:00.000)\n"
               "  stats FILE.zk [--records FIRST-LAST | --from DATETIME --to DATETIME] [--channels 1,3,...]\n"
               "         [--format text|tsv]     count, errors, min, max, mean, RMS, deviation and integral per channel\n"
               "  plot FILE.zk -o OUT.png|OUT.svg|OUT.pdf [--width W] [--height H]\n"
               "         [--records FIRST-LAST | --from DATETIME --to DATETIME] [--channels 1,3,...]\n"
               "                                    the history window's graph with a legend of its channels,\n"
               "                                    W x H pixels (default 1200 x 700); needs no display\n"
               "  error N                           the meaning of a module error number\n"
               "  make-sample OUT.zk [--channels N] [--records K] [--period-ms P]\n"
               "         [--start YYYY-MM-DDTHH:MM:SS] [--seed S] [--style busy|plant]\n"
               "                                    writes a realistic results file\n"
               "\n"
               "Log files:\n"
               "  log FILE.log [--click COLUMN]...  the lines the log window copies, after clicks on those columns (1 = first)\n");
  const char* pszInstrument = zk7::InstrumentUsage();
  if (pszInstrument && *pszInstrument) std::fprintf(f, "\nInstrument:\n%s", pszInstrument);
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    PrintUsage(stderr);
    return zk7::CLI_USAGE;
  }
  const std::string strCommand = argv[1];
  if (strCommand == "--version") {
    std::printf("zk7-cli %s\n", ZK7_VERSION);
    return zk7::CLI_OK;
  }
  if (strCommand == "-h" || strCommand == "--help" || strCommand == "help") {
    PrintUsage(stdout);
    return zk7::CLI_OK;
  }
  int nResult;
  if (strCommand == "info") nResult = zk7::RunInfo(argc, argv);
  else if (strCommand == "export") nResult = zk7::RunExport(argc, argv);
  else if (strCommand == "stats") nResult = zk7::RunStats(argc, argv);
  else if (strCommand == "plot") nResult = zk7::RunPlot(argc, argv);
  else if (strCommand == "error") nResult = zk7::RunError(argc, argv);
  else if (strCommand == "make-sample") nResult = zk7::RunMakeSample(argc, argv);
  else if (strCommand == "log") nResult = zk7::RunLog(argc, argv);
  else if (zk7::IsInstrumentCommand(argv[1])) nResult = zk7::RunInstrumentCommand(argc, argv);
  else {
    std::fprintf(stderr, "zk7-cli: unknown command '%s'\n", argv[1]);
    nResult = zk7::CLI_USAGE;
  }
  if (nResult == zk7::CLI_USAGE) PrintUsage(stderr);
  return nResult;
}
