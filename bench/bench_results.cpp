// Opening, searching and exporting results files: open_ms, open_rss_mb, find_us,
// export_cells_per_s, export_csv_cells_per_s. Usage: bench_results DATA_DIR
#include <malloc.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include "format/RegionalSettings.h"
#include "history/HistRowText.h"
#include "history/RecordCsv.h"
#include "history/RecordExport.h"
#include "results/ZK7Doc.h"
#include "samples/SampleWriter.h"

using namespace zk7;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double RssMb() {
  std::ifstream f("/proc/self/statm");
  long nPages = 0, nResident = 0;
  f >> nPages >> nResident;
  return static_cast<double>(nResident) * static_cast<double>(sysconf(_SC_PAGESIZE)) / (1024.0 * 1024.0);
}

// A sample file of the given size: real records up to nRealBytes, then a sparse tail.
std::string MakeFile(const std::string& strDir, const std::string& strName, const sSampleSpec& spec, uint64_t nLength) {
  const std::string strPath = strDir + "/" + strName;
  if (std::filesystem::exists(strPath) && std::filesystem::file_size(strPath) == nLength) return strPath;
  CSampleWriter writer(spec);
  std::string strError;
  if (!writer.WriteFile(strPath, &strError)) {
    std::fprintf(stderr, "%s\n", strError.c_str());
    std::exit(1);
  }
  std::filesystem::resize_file(strPath, nLength);
  return strPath;
}

void BenchOpen(const std::string& strLabel, const std::string& strPath) {
  std::vector<double> aMs;
  double dRss = 0;
  for (int i = 0; i < 15; ++i) {
    malloc_trim(0);
    const double dBefore = RssMb();
    const auto t0 = Clock::now();
    {
      CZK7Doc doc;
      if (!doc.OnOpenDocument(strPath)) {
        std::fprintf(stderr, "cannot open %s\n", strPath.c_str());
        std::exit(1);
      }
      aMs.push_back(Ms(Clock::now() - t0));
      dRss = std::max(dRss, RssMb() - dBefore);
    }
  }
  std::sort(aMs.begin(), aMs.end());
  std::printf("open_ms: %.2f ms (%s, median of %zu)\n", aMs[aMs.size() / 2], strLabel.c_str(), aMs.size());
  std::printf("open_rss_mb: %.2f MB (%s)\n", dRss, strLabel.c_str());
}

} // namespace

int main(int argc, char** argv) {
  const std::string strDir = argc > 1 ? argv[1] : "bench-data";
  std::filesystem::create_directories(strDir);
  SetRegionalSettings(CRegionalSettings::Plain());

  // Opening: 10 MB and 4.5 GB files of 16 channels (the large one sparse after 10 MB).
  sSampleSpec open;
  open.nChannels = 16;
  open.nRecords = (10u << 20) / RecordSize(16);
  const std::string strSmall = MakeFile(strDir, "open-10MB.zk", open, 10u << 20);
  const std::string strLarge = MakeFile(strDir, "open-4.5GB.zk", open, 4608ULL << 20);
  BenchOpen("10 MB", strSmall);
  BenchOpen("4.5 GB", strLarge);

  // Search by time in 100,000,000 records (1 channel, one record every 10 ms).
  sSampleSpec find;
  find.nChannels = 1;
  find.nRecords = 100000000;
  find.nPeriodMs = 10;
  CSampleWriter findWriter(find);
  const std::string strFind = MakeFile(strDir, "find-100M.zk", find,
                                       findWriter.GetDataOffset() + 100000000ULL * RecordSize(1));
  {
    CZK7Doc doc;
    if (!doc.OnOpenDocument(strFind)) return 1;
    double dFirst, dLast;
    doc.GetTimeRange(dFirst, dLast);
    std::mt19937_64 rng(42);
    std::uniform_real_distribution<double> when(dFirst, dLast);
    std::vector<double> aTimes(20000);
    for (auto& t : aTimes) t = when(rng);
    long long nCheck = 0;
    // The first pass reads the probed pages from the disk when they are not
    // cached; the figure is the second pass, the search itself.
    const auto tCold = Clock::now();
    for (double t : aTimes) nCheck += doc.FindRecordByTime(t);
    const double dColdUs = Ms(Clock::now() - tCold) * 1000.0 / static_cast<double>(aTimes.size());
    const auto t0 = Clock::now();
    for (double t : aTimes) nCheck += doc.FindRecordByTime(t);
    const double dUs = Ms(Clock::now() - t0) * 1000.0 / static_cast<double>(aTimes.size());
    std::printf("find_us: %.2f us (100,000,000 records, mean of %zu random times, file cached; first pass %.1f us; "
                "check %lld)\n",
                dUs, aTimes.size(), dColdUs, nCheck % 7);
  }

  // Export of 1,000,000 records x 16 channels through the record list's texts.
  sSampleSpec exp;
  exp.nChannels = 16;
  exp.nRecords = 1000000;
  CSampleWriter expWriter(exp);
  const std::string strExport =
      MakeFile(strDir, "export-1M.zk", exp, expWriter.GetDataOffset() + 1000000ULL * RecordSize(16));
  {
    CZK7Doc doc;
    if (!doc.OnOpenDocument(strExport)) return 1;
    sListOptions opt;
    opt.m_nTimeFormat = 0;
    CHistRowText rows(doc, opt);
    std::FILE* f = std::fopen("/dev/null", "wb");
    CFileRecordSink sink(f);
    const auto t0 = Clock::now();
    WriteRecordLines(rows, 0, doc.GetRecordCount(), sink);
    const double dSeconds = Ms(Clock::now() - t0) / 1000.0;
    std::fclose(f);
    std::printf("export_cells_per_s: %.0f cells/s (1,000,000 records x 16 channels in %.2f s)\n", 16e6 / dSeconds,
                dSeconds);
  }
  {
    CZK7Doc doc;
    if (!doc.OnOpenDocument(strExport)) return 1;
    CHistRowText rows(doc, sListOptions{});
    std::FILE* f = std::fopen("/dev/null", "wb");
    CFileRecordSink sink(f);
    const auto t0 = Clock::now();
    WriteCsvLines(rows, 0, doc.GetRecordCount(), CSV_ERRORS_EMPTY, sink);
    const double dSeconds = Ms(Clock::now() - t0) / 1000.0;
    std::fclose(f);
    std::printf("export_csv_cells_per_s: %.0f cells/s (1,000,000 records x 16 channels as CSV in %.2f s)\n",
                16e6 / dSeconds, dSeconds);
  }
  return 0;
}
