#include "history/RecordExport.h"

#include "history/HistRowText.h"

namespace zk7 {

unsigned WriteRecordLines(const CHistRowText& rows, int nFirst, int nCount, IRecordSink& sink,
                          const ExportProgress& progress, int64_t* pnWritten) {
  int64_t nWritten = 0;
  if (pnWritten) *pnWritten = 0;
  std::string strBuffer = rows.GetTitleLine();
  strBuffer += "\r\n";
  // Lines are gathered into blocks of about 256 KB: one write per block keeps a
  // million-row export from spending its time in the file layer. A write error
  // is still reported at the row where it happens within a few blocks.
  constexpr size_t FLUSH_AT = 256 * 1024;
  bool bError = false;
  const int nLast = nFirst + nCount - 1;
  for (int r = nFirst; r <= nLast; ++r) {
    rows.AppendRowLine(r, strBuffer);
    strBuffer += "\r\n";
    ++nWritten;
    if (strBuffer.size() >= FLUSH_AT) {
      if (!sink.Write(strBuffer.data(), strBuffer.size())) {
        bError = true;
        break;
      }
      strBuffer.clear();
    }
    if (nWritten % EXPORT_ROWS_PER_PROGRESS == 0 && progress && !progress(nWritten, nCount)) break;
  }
  if (!bError && !strBuffer.empty() && !sink.Write(strBuffer.data(), strBuffer.size())) bError = true;
  if (pnWritten) *pnWritten = nWritten;
  return bError ? static_cast<unsigned>(EXPORT_WRITE_ERROR) : 0u;
}

std::string ProposeExportFileName(const std::string& strDocTitle) {
  std::string s = strDocTitle;
  const auto nDot = s.rfind('.');
  s = (nDot == std::string::npos) ? std::string() : s.substr(0, nDot);
  const auto nBad = s.find_first_of("\\/:*?\"<>|");
  if (nBad != std::string::npos) s.erase(nBad);
  return s + ".txt";
}

} // namespace zk7
