// The record list: list_jump_ms (jump to the last row of a 100,000,000-record
// file in an offscreen list) and list_export_cells_per_s (1,000,000 rows x 16
// channels written through the list's export path). Usage: bench_list DATA_DIR
#include <QApplication>
#include <QImage>
#include <QTableView>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "format/RegionalSettings.h"
#include "history/HistFrame.h"
#include "history/HistList.h"
#include "history/HistListModel.h"
#include "history/HistListOutput.h"
#include "history/RecordExport.h"
#include "results/ZK7Doc.h"
#include "samples/SampleWriter.h"

using namespace zk7;
using Clock = std::chrono::steady_clock;

namespace {

double Ms(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

// The files bench_results measures too, made the same way when missing.
std::string MakeFile(const std::string& strDir, const std::string& strName, const sSampleSpec& spec) {
  const std::string strPath = strDir + "/" + strName;
  CSampleWriter writer(spec);
  const uint64_t nLength = writer.GetDataOffset() + static_cast<uint64_t>(spec.nRecords) * RecordSize(spec.nChannels);
  if (std::filesystem::exists(strPath) && std::filesystem::file_size(strPath) == nLength) return strPath;
  std::string strError;
  if (!writer.WriteFile(strPath, &strError)) {
    std::fprintf(stderr, "%s\n", strError.c_str());
    std::exit(1);
  }
  return strPath;
}

std::shared_ptr<CZK7Doc> Open(const std::string& strPath) {
  auto pDoc = std::make_shared<CZK7Doc>();
  if (!pDoc->OnOpenDocument(strPath)) {
    std::fprintf(stderr, "cannot open %s\n", strPath.c_str());
    std::exit(1);
  }
  return pDoc;
}

} // namespace

int main(int argc, char** argv) {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  const std::string strDir = argc > 1 ? argv[1] : "bench-data";
  std::filesystem::create_directories(strDir);
  SetRegionalSettings(CRegionalSettings::Plain());

  {
    sSampleSpec find;
    find.nChannels = 1;
    find.nRecords = 100000000;
    find.nPeriodMs = 10;
    CHistFrame frame(Open(MakeFile(strDir, "find-100M.zk", find)));
    CHistList list(frame);
    list.resize(1200, 600);
    list.show();
    QApplication::processEvents();
    const auto t0 = Clock::now();
    list.OnInitialUpdate();
    QImage picture = list.GetTable()->viewport()->grab().toImage();
    const double dOpenMs = Ms(Clock::now() - t0);
    std::vector<double> aMs;
    for (int i = 0; i < 21; ++i) {
      list.SetTopRow(i * 1000);
      list.ClickRecord(i * 1000, false);
      picture = list.GetTable()->viewport()->grab().toImage();
      // The End key, then the rows drawn: every visible cell formatted and painted.
      const auto t1 = Clock::now();
      list.MoveFocus(LIST_KEY_END, false);
      picture = list.GetTable()->viewport()->grab().toImage();
      aMs.push_back(Ms(Clock::now() - t1));
    }
    std::sort(aMs.begin(), aMs.end());
    const int nTop = list.GetTopRow();
    if (picture.isNull()) return 1;
    std::printf("list_jump_ms: %.2f ms (100,000,000 records, End key and the rows drawn, median of %zu; first display %.1f ms;"
                " top row %d)\n",
                aMs[aMs.size() / 2], aMs.size(), dOpenMs, nTop);
  }

  {
    sSampleSpec exp;
    exp.nChannels = 16;
    exp.nRecords = 1000000;
    CHistFrame frame(Open(MakeFile(strDir, "export-1M.zk", exp)));
    CHistList list(frame);
    list.resize(1200, 600);
    list.show();
    list.OnInitialUpdate();
    list.SelectAll();
    std::FILE* f = std::fopen("/dev/null", "wb");
    CFileRecordSink sink(f);
    const auto t0 = Clock::now();
    const std::string strError = WriteSelectedLines(list, sink);
    const double dSeconds = Ms(Clock::now() - t0) / 1000.0;
    std::fclose(f);
    if (!strError.empty()) {
      std::fprintf(stderr, "%s\n", strError.c_str());
      return 1;
    }
    std::printf("list_export_cells_per_s: %.0f cells/s (1,000,000 rows x 16 channels through the list's export, "
                "wait dialog polled every 64 rows, in %.2f s)\n",
                16e6 / dSeconds, dSeconds);
  }
  return 0;
}
