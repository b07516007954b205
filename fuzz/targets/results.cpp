// The results-file reader on hostile files: open, every record's times and
// value texts, the search by time, the information texts and a few exported
// rows. Bytes 0-15 of a file are not examined by the reader; the target takes
// its own choices from them (regional conventions, error texts, list options).
#include <cmath>
#include <cstdint>
#include <cstring>

#include "FuzzSupport.h"
#include "history/HistRowText.h"
#include "history/RecordExport.h"
#include "results/ZK7Doc.h"

using namespace zk7;

namespace {

constexpr int MAX_RECORDS_VISITED = 256;

void VisitRecord(const CZK7Doc& doc, int nRecord) {
  for (int c = 0; c < doc.GetChannelCount(); ++c) {
    unsigned nError = 0;
    double dTime = 0;
    const float fValue = doc.GetChannelValue(c, nRecord, nError, dTime);
    ZK7_FUZZ_CHECK(std::isfinite(dTime), "sample time");
    const std::string strText = doc.FormatChannelValue(c, nRecord);
    if (nError == 0 && std::isfinite(fValue))
      ZK7_FUZZ_CHECK(strText.size() <= 9, "value text '" + strText + "' wider than its column");
  }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  size_t nBytes;
  uint64_t nLength;
  fuzz::SplitHoleTrailer(pData, nSize, nBytes, nLength);
  const uint8_t aChoice[3] = {nBytes > 0 ? pData[0] : uint8_t(0), nBytes > 1 ? pData[1] : uint8_t(0),
                              nBytes > 2 ? pData[2] : uint8_t(0)};
  SetRegionalSettings(fuzz::RegionalSettingsOf(aChoice[0]));

  fuzz::CMemoryFile file(pData, nBytes, nLength);
  CZK7Doc doc;
  std::string strError;
  unsigned nId = 0;
  if (!doc.OnOpenDocument(file.GetPath(), &strError, &nId)) {
    ZK7_FUZZ_CHECK(!strError.empty(), "a refusal without a message");
    ZK7_FUZZ_CHECK(doc.GetRecordCount() == 0 && doc.GetChannelCount() == 0, "a refused file left state behind");
    return 0;
  }
  const int nRecords = doc.GetRecordCount();
  ZK7_FUZZ_CHECK(nRecords >= 1 && doc.GetChannelCount() >= 1, "an opened file without records or channels");
  doc.SetErrorDisplayFormat((aChoice[1] & 1) ? CZK7Doc::ERRORS_NUMBER_AND_MEANING : CZK7Doc::ERRORS_NUMBER_ONLY);

  for (int r = 0; r < nRecords && r < MAX_RECORDS_VISITED; ++r) VisitRecord(doc, r);
  if (nRecords > MAX_RECORDS_VISITED) {
    VisitRecord(doc, nRecords - 1);
    VisitRecord(doc, nRecords / 2);
  }
  for (int c = -1; c <= doc.GetChannelCount(); ++c) {
    doc.GetChannelName(c);
    doc.GetChannelUnit(c);
    for (int l = -1; l <= 4; ++l) {
      float fLimit;
      bool bHigh;
      doc.GetChannelLimit(c, l, fLimit, bHigh);
    }
  }

  double dFirst = 0, dLast = 0;
  doc.GetTimeRange(dFirst, dLast);
  const double aTimes[] = {dFirst - 1, dFirst, dLast, dLast + 1, (dFirst + dLast) / 2,
                           (doc.GetRecordTime(0, 0) + doc.GetRecordTime(1, 0)) / 2,
                           doc.GetRecordTime(nRecords / 2, 0)};
  for (double t : aTimes) {
    const int n = doc.FindRecordByTime(t);
    ZK7_FUZZ_CHECK(n >= 0 && n < nRecords, "search by time out of the records");
  }
  doc.GetFileInformation();

  sListOptions options;
  options.m_nTimeFormat = (aChoice[1] >> 1) & 1;
  options.m_bShowFraction = (aChoice[1] >> 2) & 1;
  options.m_nFractionDigits = 1 + aChoice[2] % 9;
  options.m_bMsOffsetColumns = (aChoice[1] >> 3) & 1;
  options.m_aFixedMarks = {0, nRecords - 1};
  options.m_nCursor1Record = nRecords / 2;
  const CHistRowText rows(doc, options);
  CStringRecordSink sink;
  const int nRows = nRecords < 4 ? nRecords : 4;
  ZK7_FUZZ_CHECK(WriteRecordLines(rows, 0, nRows, sink) == 0, "export to a text failed");
  ZK7_FUZZ_CHECK(WriteRecordLines(rows, nRecords - nRows, nRows, sink) == 0, "export to a text failed");
  const std::string& strText = sink.Text();
  ZK7_FUZZ_CHECK(strText.size() >= 2 && strText.compare(strText.size() - 2, 2, "\r\n") == 0,
                 "exported lines end with CR LF");
  return 0;
}
