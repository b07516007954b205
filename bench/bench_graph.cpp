// The history graph: graph_prepare_s and graph_bytes_per_value for 10 channels x
// 1,000,000 records, graph_replot_ms after a zoom and after a pan with
// 10,000,000 values on a plot 1600 pixels wide. Usage: bench_graph DATA_DIR
#include <QApplication>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
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

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> a) {
  std::sort(a.begin(), a.end());
  return a[a.size() / 2];
}

std::string MakeFile(const std::string& strDir, int nChannels, int nRecords) {
  const std::string strPath =
      strDir + "/graph-" + std::to_string(nChannels) + "x" + std::to_string(nRecords) + ".zk";
  sSampleSpec spec;
  spec.nChannels = nChannels;
  spec.nRecords = nRecords;
  CSampleWriter writer(spec);
  const uint64_t nLength = writer.GetDataOffset() + static_cast<uint64_t>(writer.GetRecordSize()) * nRecords;
  if (std::filesystem::exists(strPath) && std::filesystem::file_size(strPath) == nLength) return strPath;
  std::string strError;
  if (!writer.WriteFile(strPath, &strError)) {
    std::fprintf(stderr, "%s\n", strError.c_str());
    std::exit(1);
  }
  return strPath;
}

void Open(CZK7Doc& doc, const std::string& strPath) {
  std::string strError;
  if (!doc.OnOpenDocument(strPath, &strError)) {
    std::fprintf(stderr, "cannot open %s: %s\n", strPath.c_str(), strError.c_str());
    std::exit(1);
  }
}

} // namespace

int main(int argc, char** argv) {
  if (argc < 2) {
    std::fprintf(stderr, "usage: bench_graph DATA_DIR\n");
    return 2;
  }
  const std::string strDir = argv[1];
  std::filesystem::create_directories(strDir);
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);

  CZK7Doc doc;
  Open(doc, MakeFile(strDir, 10, 1000000));
  // The file is in the page cache after the first pass; the figure is the
  // preparation itself, one sequential pass over all channels.
  // Without the envelope cache: it is measured by bench_graph_full.
  const std::string strCache = std::filesystem::absolute(strDir + "/cache-prepare").string();
  qputenv("XDG_CACHE_HOME", strCache.c_str());
  std::vector<double> aPrepare;
  CGraphPoints pts;
  for (int i = 0; i < 5; ++i) {
    std::filesystem::remove_all(strCache);
    const auto t0 = Clock::now();
    if (pts.Load(doc, 0, doc.GetRecordCount() - 1, 0.0, -1, [](int) { return true; }) != CGraphPoints::LOAD_OK) {
      std::fprintf(stderr, "loading failed\n");
      return 1;
    }
    aPrepare.push_back(Ms(Clock::now() - t0) / 1000.0);
  }
  std::filesystem::remove_all(strCache);
  std::printf("graph_prepare_s: %.3f s\n", Median(aPrepare));
  std::printf("graph_bytes_per_value: %.2f bytes\n",
              static_cast<double>(pts.GetMemoryBytes()) / (static_cast<double>(pts.GetChannelCount()) * pts.GetPointCount()));

  // 10,000,000 values on a plot 1600 pixels wide.
  CGraphControl control;
  control.resize(1600 + 80, 600);
  control.show();
  double dMin, dMax;
  ShowWholeGraph(control, doc, pts, dMin, dMax);
  const double dSpan = dMax - dMin;
  std::vector<double> aZoom, aZoomIn, aZoomOut, aPan;
  for (int i = 0; i < 21; ++i) {
    // Zoom into a tenth of the file, then back out to all of it.
    const double dFrom = dMin + dSpan * (0.05 + 0.04 * (i % 10));
    auto t0 = Clock::now();
    control.SetAxisRange(CGraphControl::AXIS_X, dFrom, dFrom + dSpan / 10);
    control.replot();
    aZoom.push_back(Ms(Clock::now() - t0));
    aZoomIn.push_back(aZoom.back());
    t0 = Clock::now();
    control.SetAxisRange(CGraphControl::AXIS_X, dMin, dMax);
    control.replot();
    aZoom.push_back(Ms(Clock::now() - t0));
    aZoomOut.push_back(aZoom.back());
  }
  control.SetAxisRange(CGraphControl::AXIS_X, dMin, dMin + dSpan / 2);
  control.replot();
  for (int i = 0; i < 41; ++i) {
    // A drag: the half of the file in view moves by a step of 1 % each time.
    const double dShift = dSpan * 0.01 * (i % 20 < 10 ? 1 : -1);
    const QCPRange r = control.xAxis->range();
    const auto t0 = Clock::now();
    control.SetAxisRange(CGraphControl::AXIS_X, r.lower + dShift, r.upper + dShift);
    control.replot();
    aPan.push_back(Ms(Clock::now() - t0));
  }
  std::printf("graph_replot_ms: %.1f ms (zoom)\n", Median(aZoom));
  std::printf("graph_replot_ms: %.1f ms (pan)\n", Median(aPan));
  std::printf("graph_replot_ms: %.1f ms (zoom in to a tenth)\n", Median(aZoomIn));
  std::printf("graph_replot_ms: %.1f ms (zoom out to all)\n", Median(aZoomOut));
  return 0;
}
