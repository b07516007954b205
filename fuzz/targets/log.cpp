// The log-file parser on hostile logs: lines, fields, widths, the date rewrite
// in each regional convention, every sort, the copied and printed texts. The
// first byte picks the conventions; the rest is the file.
#include "FuzzSupport.h"
#include "logs/ZK7LogDoc.h"

using namespace zk7;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  if (nSize < 1) return 0;
  SetRegionalSettings(fuzz::RegionalSettingsOf(pData[0]));
  CZK7LogDoc doc;
  doc.LoadFromBytes(std::string(reinterpret_cast<const char*>(pData + 1), nSize - 1));

  const int nLines = doc.GetLineCount();
  std::vector<int> aOrder;
  for (int i = 0; i < nLines; ++i) {
    aOrder.push_back(i);
    const std::string_view strLine = doc.GetLine(i);
    ZK7_FUZZ_CHECK(strLine.find('\n') == std::string_view::npos, "a line holds a line end");
    for (int c = 0; c <= doc.GetColumnCount(); ++c)
      ZK7_FUZZ_CHECK(static_cast<int>(doc.GetField(i, c).size()) <= doc.GetColumnWidth(c), "field wider than its column");
  }
  doc.GetField(-1, 0);
  doc.GetField(nLines, 0);
  doc.GetColumnWidth(-1);

  CLogSortState sort;
  for (int c = 0; c < doc.GetColumnCount() && c < 8; ++c) {
    for (int nClick = 0; nClick < 2; ++nClick) {
      sort.Click(c);
      std::vector<int> aSorted = aOrder;
      sort.Sort(doc, aSorted);
      std::vector<bool> aSeen(aSorted.size());
      for (int n : aSorted) {
        ZK7_FUZZ_CHECK(n >= 0 && n < nLines && !aSeen[static_cast<size_t>(n)], "sorting lost or doubled a line");
        aSeen[static_cast<size_t>(n)] = true;
      }
    }
  }
  BuildLogCopyText(doc, aOrder);
  LogPrintTitleLine(doc);
  if (nLines > 0) LogPrintRowLine(doc, nLines - 1);
  return 0;
}
