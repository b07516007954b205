#include "history/RecordExport.h"

#include "history/HistRowText.h"

namespace zk7 {

unsigned WriteRecordLines(const CHistRowText& rows, int nFirst, int nCount, IRecordSink& sink,
                          const ExportProgress& progress, int64_t* pnWritten) {
  std::vector<sRowBlock> aBlocks;
  if (nCount > 0) aBlocks.push_back({nFirst, nFirst + nCount - 1});
  return WriteRecordLines(rows, aBlocks, sink, progress, pnWritten);
}

unsigned WriteRecordLines(const CHistRowText& rows, const std::vector<sRowBlock>& aBlocks, IRecordSink& sink,
                          const ExportProgress& progress, int64_t* pnWritten) {
  int64_t nTotal = 0;
  for (const sRowBlock& b : aBlocks) nTotal += static_cast<int64_t>(b.nLast) - b.nFirst + 1;
  int64_t nWritten = 0;
  if (pnWritten) *pnWritten = 0;
  std::string strBuffer = rows.GetTitleLine();
  strBuffer += "\r\n";
  // Lines are gathered into blocks of about 256 KB: one write per block keeps a
  // million-row export from spending its time in the file layer. A write error
  // is still reported at the row where it happens within a few blocks.
  constexpr size_t FLUSH_AT = 256 * 1024;
  bool bError = false;
  bool bStop = false;
  for (const sRowBlock& b : aBlocks) {
    for (int r = b.nFirst; r <= b.nLast && !bStop; ++r) {
      rows.AppendRowLine(r, strBuffer);
      strBuffer += "\r\n";
      ++nWritten;
      if (strBuffer.size() >= FLUSH_AT) {
        if (!sink.Write(strBuffer.data(), strBuffer.size())) {
          bError = bStop = true;
          break;
        }
        strBuffer.clear();
      }
      if (nWritten % EXPORT_ROWS_PER_PROGRESS == 0 && progress && !progress(nWritten, nTotal)) bStop = true;
    }
    if (bStop) break;
  }
  if (!bError && !strBuffer.empty() && !sink.Write(strBuffer.data(), strBuffer.size())) bError = true;
  if (pnWritten) *pnWritten = nWritten;
  return bError ? static_cast<unsigned>(EXPORT_WRITE_ERROR) : 0u;
}

std::string ProposeExportFileName(const std::string& strDocTitle) {
  std::string s = strDocTitle;
  const auto nDot = s.rfind('.');
  // A title without a full stop keeps its whole name: ".txt" alone would be a hidden file.
  if (nDot != std::string::npos) s.erase(nDot);
  const auto nBad = s.find_first_of("\\/:*?\"<>|");
  if (nBad != std::string::npos) s.erase(nBad);
  return s + ".txt";
}

} // namespace zk7
