// The whole-file graph: graph_full_s and graph_full_rss_mb for 16 channels x
// 1,250,000 records (20,000,000 values) and 16 x 12,500,000 (200,000,000
// values, 1.7 GB, removed afterwards), then graph_full_cached_s: the same again
// with the envelope cache the first showing wrote. Each showing runs in a child
// process of its own (peak RSS of the whole process: Qt, the window and the
// points), with the file already in the page cache and the envelope cache under
// DATA_DIR/cache. Usage: bench_graph_full DATA_DIR
#include <QApplication>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "BenchGraphSupport.h"
#include "history/GraphPoints.h"
#include "history/graph/GraphControl.h"
#include "results/ZK7Doc.h"
#include "samples/SampleWriter.h"
#include "settings/SettingsRecord.h"

using namespace zk7;
using Clock = std::chrono::steady_clock;

namespace {

constexpr int CHANNELS = 16;

std::string Grouped(long long n) {
  std::string s = std::to_string(n);
  for (int i = static_cast<int>(s.size()) - 3; i > 0; i -= 3) s.insert(static_cast<size_t>(i), ",");
  return s;
}

long PeakRssKb() {
  std::ifstream f("/proc/self/status");
  std::string strLine;
  while (std::getline(f, strLine))
    if (strLine.rfind("VmHWM:", 0) == 0) return std::strtol(strLine.c_str() + 6, nullptr, 10);
  return -1;
}

std::string MakeFile(const std::string& strDir, int nRecords) {
  const std::string strPath = strDir + "/graph-full-" + std::to_string(nRecords) + ".zk";
  sSampleSpec spec;
  spec.nChannels = CHANNELS;
  spec.nRecords = nRecords;
  CSampleWriter writer(spec);
  const uint64_t nLength = writer.GetDataOffset() + static_cast<uint64_t>(writer.GetRecordSize()) * nRecords;
  if (std::filesystem::exists(strPath) && std::filesystem::file_size(strPath) == nLength) return strPath;
  if (std::filesystem::space(strDir).available < nLength + (1ull << 30)) {
    std::fprintf(stderr, "not enough disk space for %s\n", strPath.c_str());
    std::exit(1);
  }
  std::string strError;
  if (!writer.WriteFile(strPath, &strError)) {
    std::fprintf(stderr, "%s\n", strError.c_str());
    std::exit(1);
  }
  return strPath;
}

void WarmPageCache(const std::string& strPath) {
  std::ifstream f(strPath, std::ios::binary);
  std::vector<char> aBuf(8 << 20);
  while (f.read(aBuf.data(), static_cast<std::streamsize>(aBuf.size())) || f.gcount() > 0) {
  }
}

// The child: open, prepare the whole file, show it whole in a window.
int Measure(int argc, char** argv, const std::string& strPath, bool bCached) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  CGraphControl control;
  control.resize(1600 + 80, 600);
  control.show();
  const auto t0 = Clock::now();
  CZK7Doc doc;
  std::string strError;
  if (!doc.OnOpenDocument(strPath, &strError)) {
    std::fprintf(stderr, "cannot open %s: %s\n", strPath.c_str(), strError.c_str());
    return 1;
  }
  CGraphPoints pts;
  if (pts.Load(doc, 0, doc.GetRecordCount() - 1, 0.0, -1, [](int) { return true; }) != CGraphPoints::LOAD_OK) {
    std::fprintf(stderr, "loading failed\n");
    return 1;
  }
  double dMin, dMax;
  ShowWholeGraph(control, doc, pts, dMin, dMax);
  const double dSeconds = std::chrono::duration<double>(Clock::now() - t0).count();
  const std::string strValues = Grouped(static_cast<long long>(doc.GetRecordCount()) * doc.GetChannelCount());
  if (bCached) {
    std::printf("graph_full_cached_s: %.2f s (%s values)\n", dSeconds, strValues.c_str());
    std::fflush(stdout);
    return 0;
  }
  std::printf("graph_full_s: %.2f s (%s values)\n", dSeconds, strValues.c_str());
  std::printf("graph_full_rss_mb: %ld MB (%s values)\n", (PeakRssKb() + 512) / 1024, strValues.c_str());
  std::printf("graph_full_points_mb: %.1f MB (%s values)\n", static_cast<double>(pts.GetMemoryBytes()) / (1 << 20),
              strValues.c_str());
  std::fflush(stdout);
  return 0;
}

} // namespace

int main(int argc, char** argv) {
  if (argc == 4 && std::string(argv[1]) == "--child") return Measure(1, argv, argv[2], std::string(argv[3]) == "cached");
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_graph_full DATA_DIR\n");
    return 2;
  }
  const std::string strDir = argv[1];
  std::filesystem::create_directories(strDir);
  const std::string strCache = std::filesystem::absolute(strDir + "/cache").string();
  ::setenv("XDG_CACHE_HOME", strCache.c_str(), 1);
  for (const int nRecords : {1250000, 12500000}) {
    const std::string strPath = MakeFile(strDir, nRecords);
    WarmPageCache(strPath);
    std::filesystem::remove_all(strCache);
    const std::string strCommand = std::string("'") + argv[0] + "' --child '" + strPath + "' ";
    int nStatus = std::system((strCommand + "full").c_str());
    if (nStatus == 0 && nRecords > 2000000) nStatus = std::system((strCommand + "cached").c_str());
    if (nRecords > 2000000) std::filesystem::remove(strPath);
    std::filesystem::remove_all(strCache);
    if (nStatus != 0) return 1;
  }
  return 0;
}
