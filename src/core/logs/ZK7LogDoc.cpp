#include "logs/ZK7LogDoc.h"
#include "format/Formatting.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "format/RegionalSettings.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

const std::string s_strEmpty;

// The number a text starts with, as the C library reads it: leading blanks, a
// sign, then digits; 0 when there is none.
int LeadingNumber(const std::string& s) {
  size_t i = 0;
  while (i < s.size() && (s[i] == ' ' || s[i] == '\t')) ++i;
  bool bNegative = false;
  if (i < s.size() && (s[i] == '+' || s[i] == '-')) bNegative = s[i++] == '-';
  int n = 0;
  while (i < s.size() && s[i] >= '0' && s[i] <= '9') n = n * 10 + (s[i++] - '0');
  return bNegative ? -n : n;
}

std::string Part(const std::string& s, size_t nStart, size_t nCount) {
  return nStart < s.size() ? s.substr(nStart, nCount) : std::string();
}

} // namespace

bool CZK7LogDoc::OnOpenDocument(const std::string& strPath, std::string* pstrError) {
  std::ifstream in(strPath, std::ios::binary);
  if (!in) {
    if (pstrError) *pstrError = "Cannot open the file " + strPath + ": " + std::strerror(errno);
    return false;
  }
  std::ostringstream buf;
  buf << in.rdbuf();
  // An empty file leaves failbit set by the copy; only a read error (badbit) fails.
  if (in.bad() || std::filesystem::is_directory(strPath)) {
    if (pstrError) *pstrError = "Cannot read the file " + strPath;
    return false;
  }
  m_strPathName = strPath;
  LoadFromBytes(buf.str());
  return true;
}

void CZK7LogDoc::LoadFromBytes(const std::string& strBytes) {
  m_aLines.clear();
  m_aWidths.clear();
  m_nColumnCount = 0;
  size_t i = 0;
  while (i < strBytes.size()) {
    size_t nEnd = strBytes.find('\n', i);
    const size_t nNext = nEnd == std::string::npos ? strBytes.size() : nEnd + 1;
    if (nEnd == std::string::npos) nEnd = strBytes.size();
    size_t nLen = nEnd - i;
    if (nLen > 0 && strBytes[i + nLen - 1] == '\r') --nLen;
    m_aLines.push_back(RewriteDate(strBytes.substr(i, nLen)));
    i = nNext;

    const std::string& strLine = m_aLines.back();
    int nField = 0;
    for (size_t nStart = 0;; ++nField) {
      size_t nTab = strLine.find('\t', nStart);
      const size_t nFieldEnd = nTab == std::string::npos ? strLine.size() : nTab;
      if (static_cast<int>(m_aWidths.size()) <= nField) m_aWidths.push_back(0);
      m_aWidths[nField] = std::max(m_aWidths[nField], static_cast<int>(nFieldEnd - nStart));
      if (nTab == std::string::npos) break;
      nStart = nTab + 1;
    }
    m_nColumnCount = std::max(m_nColumnCount, nField + 1);
  }
}

std::string CZK7LogDoc::RewriteDate(const std::string& strLine) {
  const size_t nTab1 = strLine.find('\t');
  if (nTab1 == std::string::npos) return strLine;
  const size_t nTab2 = strLine.find('\t', nTab1 + 1);
  if (nTab2 == std::string::npos) return strLine;
  const std::string strField = strLine.substr(nTab1 + 1, nTab2 - nTab1 - 1);
  const int nYear = LeadingNumber(Part(strField, 0, 4));
  const int nMonth = LeadingNumber(Part(strField, 5, 2));
  const int nDay = LeadingNumber(Part(strField, 8, 2));
  // A day past the end of its month (the 31st of February) is not a date either:
  // the line keeps its text rather than showing a made-up one.
  if (nYear < 2000 || nMonth < 1 || nMonth > 12 || nDay < 1 || nDay > DaysInMonth(nYear, nMonth)) return strLine;
  std::string strOut = strLine;
  ReplaceAll(strOut, strField, GetRegionalSettings().FormatShortDate(nYear, nMonth, nDay));
  return strOut;
}

std::string CZK7LogDoc::GetTitle() const {
  return std::filesystem::path(m_strPathName).filename().string();
}

const std::string& CZK7LogDoc::GetLine(int nLine) const {
  if (nLine < 0 || nLine >= GetLineCount()) return s_strEmpty;
  return m_aLines[static_cast<size_t>(nLine)];
}

std::string CZK7LogDoc::GetField(int nLine, int nColumn) const {
  if (nColumn < 0 || nLine < 0 || nLine >= GetLineCount()) return std::string();
  const std::string& s = m_aLines[static_cast<size_t>(nLine)];
  size_t nStart = 0;
  for (int c = 0; c < nColumn; ++c) {
    nStart = s.find('\t', nStart);
    if (nStart == std::string::npos) return std::string();
    ++nStart;
  }
  const size_t nEnd = s.find('\t', nStart);
  return s.substr(nStart, nEnd == std::string::npos ? std::string::npos : nEnd - nStart);
}

int CZK7LogDoc::GetColumnWidth(int nColumn) const {
  if (nColumn < 0 || nColumn >= static_cast<int>(m_aWidths.size())) return 0;
  return m_aWidths[static_cast<size_t>(nColumn)];
}

std::string CZK7LogDoc::GetColumnTitle(int nColumn) {
  switch (nColumn) {
    case 0: return LoadString(IDS_COLUMN_NUMBER);
    case 1: return LoadString(IDS_COLUMN_DATE);
    case 2: return LoadString(IDS_COLUMN_HOUR);
    case 3: return "Event";
    case 4: return "User";
    case 5: return "Parameter";
    case 6: return "Comment";
    default: return std::string();
  }
}

int CLogSortState::Click(int nColumn) {
  int nUnmark = -1;
  if (nColumn == m_nSortColumn) {
    m_bFlag = !m_bFlag;
  } else {
    nUnmark = m_nMarkedColumn;
    m_bFlag = true;
  }
  m_nSortColumn = nColumn;
  m_nMarkedColumn = nColumn;
  return nUnmark;
}

bool CLogSortState::Less(const CZK7LogDoc& doc, int a, int b) const {
  if (m_nSortColumn <= 2) return m_bFlag ? a > b : a < b;
  const std::string strA = doc.GetField(a, m_nSortColumn);
  const std::string strB = doc.GetField(b, m_nSortColumn);
  // std::string compares char as unsigned bytes, as the rule wants.
  return m_bFlag ? strA < strB : strB < strA;
}

void CLogSortState::Sort(const CZK7LogDoc& doc, std::vector<int>& aLineOrder) const {
  if (m_nSortColumn <= 2) {
    std::sort(aLineOrder.begin(), aLineOrder.end(), [&](int a, int b) { return Less(doc, a, b); });
    return;
  }
  // Cut each row's field once: a comparison sort would otherwise split lines
  // n log n times.
  std::vector<std::pair<std::string, int>> aKeys;
  aKeys.reserve(aLineOrder.size());
  for (int nLine : aLineOrder) aKeys.emplace_back(doc.GetField(nLine, m_nSortColumn), nLine);
  const bool bAscending = m_bFlag;
  std::stable_sort(aKeys.begin(), aKeys.end(), [bAscending](const auto& x, const auto& y) {
    return bAscending ? x.first < y.first : y.first < x.first;
  });
  for (size_t i = 0; i < aKeys.size(); ++i) aLineOrder[i] = aKeys[i].second;
}

std::string BuildLogCopyText(const CZK7LogDoc& doc, const std::vector<int>& aLineIndexes) {
  std::string strText;
  for (size_t i = 0; i < aLineIndexes.size(); ++i) {
    if (i) strText += "\r\n";
    strText += doc.GetLine(aLineIndexes[i]);
  }
  return strText;
}

std::string LogPrintTitleLine(const CZK7LogDoc& doc) {
  std::string s;
  for (int c = 0; c < doc.GetColumnCount(); ++c) {
    if (c) s += '\t';
    s += CZK7LogDoc::GetColumnTitle(c);
  }
  return s;
}

std::string LogPrintRowLine(const CZK7LogDoc& doc, int nLine) {
  std::string s;
  for (int c = 0; c < doc.GetColumnCount(); ++c) {
    s += doc.GetField(nLine, c);
    s += '\t';
  }
  return s;
}

const char* ClipboardFailureText(eClipboardFailure eFailure) {
  switch (eFailure) {
    case CLIPBOARD_CANNOT_OPEN: return "Cannot open the Clipboard";
    case CLIPBOARD_CANNOT_EMPTY: return "Cannot empty the Clipboard";
    case CLIPBOARD_CANNOT_SET: return "Unable to set Clipboard data";
    case CLIPBOARD_OK: break;
  }
  return "";
}

} // namespace zk7
