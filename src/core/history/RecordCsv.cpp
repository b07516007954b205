#include "history/RecordCsv.h"

#include <cmath>

#include "format/Formatting.h"
#include "history/HistRowText.h"
#include "results/ZK7Doc.h"

namespace zk7 {

std::string ChannelColumnTitle(const std::string& strName, const std::string& strUnit) {
  return strUnit.empty() ? strName : strName + " [" + strUnit + "]";
}

void AppendLatin1AsUtf8(std::string& strOut, std::string_view str) {
  for (const char ch : str) {
    const auto c = static_cast<unsigned char>(ch);
    if (c < 0x80) {
      strOut += ch;
    } else {
      strOut += static_cast<char>(0xC0 | (c >> 6));
      strOut += static_cast<char>(0x80 | (c & 0x3F));
    }
  }
}

void AppendCsvField(std::string& strOut, std::string_view strField, bool bQuote) {
  if (!bQuote && strField.find_first_of(",\"\r\n") == std::string_view::npos) {
    strOut += strField;
    return;
  }
  strOut += '"';
  for (const char c : strField) {
    if (c == '"') strOut += '"';
    strOut += c;
  }
  strOut += '"';
}

unsigned WriteCsvLines(const CHistRowText& rows, int nFirst, int nCount, eCsvErrors eErrors, IRecordSink& sink,
                       const ExportProgress& progress, int64_t* pnWritten) {
  std::vector<sRowBlock> aBlocks;
  if (nCount > 0) aBlocks.push_back({nFirst, nFirst + nCount - 1});
  return WriteCsvLines(rows, aBlocks, eErrors, true, sink, progress, pnWritten);
}

unsigned WriteCsvLines(const CHistRowText& rows, const std::vector<sRowBlock>& aBlocks, eCsvErrors eErrors,
                       bool bHeader, IRecordSink& sink, const ExportProgress& progress, int64_t* pnWritten) {
  const CZK7Doc& doc = rows.GetDocument();
  const std::vector<int>& aChannels = rows.GetOptions().m_aDisplayedChannels;
  const char cDecimal = GetDecimalSeparator();
  int64_t nTotal = 0;
  for (const sRowBlock& b : aBlocks) nTotal += static_cast<int64_t>(b.nLast) - b.nFirst + 1;
  int64_t nWritten = 0;
  if (pnWritten) *pnWritten = 0;

  std::string strBuffer;
  std::string strCell;
  if (bHeader) {
    strBuffer = "time";
    for (const int c : aChannels) {
      strCell.clear();
      AppendLatin1AsUtf8(strCell, ChannelColumnTitle(doc.GetChannelName(c), doc.GetChannelUnit(c)));
      strBuffer += ',';
      AppendCsvField(strBuffer, strCell);
    }
    strBuffer += "\r\n";
  }

  // Gathered into blocks of about 256 KB, as the text export does.
  constexpr size_t FLUSH_AT = 256 * 1024;
  bool bError = false;
  bool bStop = false;
  std::string strError;
  for (const sRowBlock& b : aBlocks) {
    doc.ForEachRecord(b.nFirst, b.nLast - b.nFirst + 1, [&](int, const ResultsRecord& rec) {
      AppendIsoDateTime(strBuffer, doc.GetRecordTime(rec, 0));
      for (const int c : aChannels) {
        strBuffer += ',';
        const unsigned nError = rec.Sample(c).nError;
        if (nError != 0 && eErrors == CSV_ERRORS_EMPTY) continue;
        // The list's asterisks for a value that is no number would be text in a column of numbers.
        if (nError == 0 && !std::isfinite(rec.Sample(c).fValue)) continue;
        // The list's own text, written in place, then without its padding and with a point.
        const size_t nAt = strBuffer.size();
        doc.AppendChannelValue(c, rec, strBuffer);
        if (nError != 0) {
          strCell.assign(strBuffer, nAt);
          strBuffer.resize(nAt);
          strError.clear();
          AppendLatin1AsUtf8(strError, strCell);
          AppendCsvField(strBuffer, strError, true);
          continue;
        }
        size_t i = nAt;
        while (i < strBuffer.size() && strBuffer[i] == ' ') ++i;
        if (i > nAt) strBuffer.erase(nAt, i - nAt);
        if (cDecimal != '.')
          for (size_t j = nAt; j < strBuffer.size(); ++j)
            if (strBuffer[j] == cDecimal) strBuffer[j] = '.';
      }
      strBuffer += "\r\n";
      ++nWritten;
      if (strBuffer.size() >= FLUSH_AT) {
        if (!sink.Write(strBuffer.data(), strBuffer.size())) {
          bError = bStop = true;
          return false;
        }
        strBuffer.clear();
      }
      if (nWritten % EXPORT_ROWS_PER_PROGRESS == 0 && progress && !progress(nWritten, nTotal)) bStop = true;
      return !bStop;
    });
    if (bStop) break;
  }
  if (!bError && !strBuffer.empty() && !sink.Write(strBuffer.data(), strBuffer.size())) bError = true;
  if (pnWritten) *pnWritten = nWritten;
  return bError ? static_cast<unsigned>(EXPORT_WRITE_ERROR) : 0u;
}

std::string ProposeCsvFileName(const std::string& strDocTitle) {
  std::string s = ProposeExportFileName(strDocTitle);
  return s.substr(0, s.size() - 4) + ".csv";
}

} // namespace zk7
