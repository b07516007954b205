#include "history/HistRowText.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "format/Formatting.h"
#include "results/ZK7Doc.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

void AppendInt(std::string& s, long long n) {
  char buf[24];
  int len = std::snprintf(buf, sizeof buf, "%lld", n);
  s.append(buf, static_cast<size_t>(len));
}

} // namespace

CHistRowText::CHistRowText(const CZK7Doc& doc, sListOptions options) : m_doc(doc), m_options(std::move(options)) {
  auto& aShown = m_options.m_aDisplayedChannels;
  aShown.erase(std::remove_if(aShown.begin(), aShown.end(),
                              [&](int c) { return c < 0 || c >= doc.GetChannelCount(); }),
               aShown.end());
  if (aShown.empty())
    for (int c = 0; c < doc.GetChannelCount(); ++c) aShown.push_back(c);
  m_aColumns.push_back({2, 1, LoadString(IDS_COLUMN_MARK)});
  m_aColumns.push_back({6, 1, LoadString(IDS_COLUMN_NUMBER)});
  m_aColumns.push_back({23, 0, LoadString(m_options.m_nTimeFormat == 0 ? IDS_COLUMN_DATE : IDS_COLUMN_HOUR)});
  for (int c : aShown) {
    if (m_options.m_bMsOffsetColumns) m_aColumns.push_back({4, 1, "ms"});
    m_aColumns.push_back({10, 1, doc.GetChannelName(c) + " (" + doc.GetChannelUnit(c) + ")"});
  }
}

int CHistRowText::GetRowCount() const { return m_doc.GetRecordCount(); }

void CHistRowText::AppendCell(int nRow, int nColumn, std::string& s) const {
  if (nColumn == 0) {
    const auto& aMarks = m_options.m_aFixedMarks;
    auto it = std::find(aMarks.begin(), aMarks.end(), nRow);
    if (it != aMarks.end()) AppendInt(s, (it - aMarks.begin()) + 1);
    return;
  }
  if (nColumn == 1) {
    AppendInt(s, static_cast<long long>(nRow) + 1);
    return;
  }
  if (nColumn == 2) {
    AppendDateTime(s, m_doc.GetRecordTime(nRow, 0), m_options.m_nTimeFormat == 0, m_options.m_bShowFraction,
                   m_options.m_nFractionDigits);
    return;
  }
  const int k = nColumn - 3;
  const bool bOffsets = m_options.m_bMsOffsetColumns;
  const size_t nPos = static_cast<size_t>(bOffsets ? k / 2 : k);
  if (k < 0 || nPos >= m_options.m_aDisplayedChannels.size()) return;
  const int nChannel = m_options.m_aDisplayedChannels[nPos];
  if (bOffsets && k % 2 == 0) {
    const double dOffset = (m_doc.GetRecordTime(nRow, nChannel) - m_doc.GetRecordTime(nRow, 0)) * 86400000.0;
    AppendInt(s, static_cast<long long>(std::floor(dOffset + 0.5)));
    return;
  }
  m_doc.AppendChannelValue(nChannel, m_doc.GetRecord(nRow), s);
}

std::string CHistRowText::GetCellText(int nRow, int nColumn) const {
  std::string s;
  AppendCell(nRow, nColumn, s);
  return s;
}

int CHistRowText::GetRowMarker(int nRow) const {
  const bool c1 = m_options.m_nCursor1Record >= 0;
  const bool c2 = m_options.m_nCursor2Record >= 0;
  if (!c1 && !c2 && m_options.m_aFixedMarks.empty()) return MARKER_NONE;
  int nMarker = MARKER_NONE;
  if (c1 && m_options.m_nCursor1Record == nRow) nMarker = MARKER_CURSOR1;
  if (c2 && m_options.m_nCursor2Record == nRow) nMarker = nMarker == MARKER_CURSOR1 ? MARKER_BOTH : MARKER_CURSOR2;
  if (nMarker == MARKER_NONE) {
    const auto& a = m_options.m_aFixedMarks;
    if (std::find(a.begin(), a.end(), nRow) != a.end()) nMarker = MARKER_FIXED;
  }
  return nMarker;
}

const char* CHistRowText::MarkerText(int nMarker) {
  switch (nMarker) {
    case MARKER_CURSOR1: return ">";
    case MARKER_CURSOR2: return ">>";
    case MARKER_BOTH: return ">>>";
    default: return " ";
  }
}

std::string CHistRowText::GetTitleLine() const {
  std::string s;
  for (size_t i = 0; i < m_aColumns.size(); ++i) {
    if (i) s += '\t';
    s += m_aColumns[i].strTitle;
  }
  return s;
}

void CHistRowText::AppendRowLine(int nRow, std::string& s) const {
  const size_t nStart = s.size();
  AppendCell(nRow, 0, s);
  if (s.size() == nStart) s += MarkerText(GetRowMarker(nRow));
  const int nColumns = GetColumnCount();
  for (int c = 1; c < nColumns; ++c) {
    s += '\t';
    AppendCell(nRow, c, s);
  }
}

std::string CHistRowText::GetRowLine(int nRow) const {
  std::string s;
  AppendRowLine(nRow, s);
  return s;
}

int TimeFormatFromFile(const CZK7Doc& doc) {
  double dFirst, dLast;
  doc.GetTimeRange(dFirst, dLast);
  return std::floor(dFirst) == std::floor(dLast) ? 1 : 0;
}

} // namespace zk7
