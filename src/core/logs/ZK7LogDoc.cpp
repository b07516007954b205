#include "logs/ZK7LogDoc.h"
#include "format/Formatting.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>

#include "format/NumberScan.h"
#include "format/RegionalSettings.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

// The number a text starts with: leading blanks, a sign, then digits; 0 when
// there is none. The texts are at most four characters.
int LeadingNumber(std::string_view s) {
  while (!s.empty() && (s.front() == ' ' || s.front() == '\t')) s.remove_prefix(1);
  int64_t n = 0;
  ScanIntPrefix(s, n);
  return static_cast<int>(n);
}

} // namespace

bool CZK7LogDoc::OnOpenDocument(const std::string& strPath, std::string* pstrError) {
  std::ifstream in(strPath, std::ios::binary);
  if (!in) {
    if (pstrError) *pstrError = "Cannot open the file " + strPath + ": " + std::strerror(errno);
    return false;
  }
  std::error_code ec;
  if (std::filesystem::is_directory(strPath, ec)) {
    if (pstrError) *pstrError = "Cannot read the file " + strPath;
    return false;
  }
  // Read into one buffer of the file's size: a string stream would hold it twice.
  std::string strBytes;
  const auto nSize = std::filesystem::file_size(strPath, ec);
  try {
    if (!ec) strBytes.reserve(static_cast<size_t>(nSize));
    char buf[1 << 16];
    while (in.read(buf, sizeof buf) || in.gcount() > 0) strBytes.append(buf, static_cast<size_t>(in.gcount()));
  } catch (const std::bad_alloc&) {
    if (pstrError) *pstrError = "Cannot read the file " + strPath + ": not enough memory";
    return false;
  }
  // The copy loop ends with failbit set at the end of the file; only a read error (badbit) fails.
  if (in.bad()) {
    if (pstrError) *pstrError = "Cannot read the file " + strPath;
    return false;
  }
  m_strPathName = strPath;
  try {
    LoadFromBytes(strBytes);
  } catch (const std::bad_alloc&) {
    LoadFromBytes(std::string());
    if (pstrError) *pstrError = "Cannot read the file " + strPath + ": not enough memory";
    return false;
  }
  return true;
}

namespace {

// The short date that replaces a line's field 1, when the field holds a valid
// year-first date. Consecutive lines share their date: the last one is kept.
struct sDateRewriter {
  int nYear = 0, nMonth = 0, nDay = 0;
  std::string strDate;

  bool Of(std::string_view strLine, std::string_view& strField) {
    const size_t nTab1 = strLine.find('\t');
    if (nTab1 == std::string_view::npos) return false;
    const size_t nTab2 = strLine.find('\t', nTab1 + 1);
    if (nTab2 == std::string_view::npos) return false;
    strField = strLine.substr(nTab1 + 1, nTab2 - nTab1 - 1);
    auto part = [&](size_t nStart, size_t nCount) {
      return nStart < strField.size() ? strField.substr(nStart, nCount) : std::string_view();
    };
    const int y = LeadingNumber(part(0, 4)), m = LeadingNumber(part(5, 2)), d = LeadingNumber(part(8, 2));
    // A day past the end of its month (the 31st of February) is not a date either:
    // the line keeps its text rather than showing a made-up one.
    if (y < 2000 || m < 1 || m > 12 || d < 1 || d > DaysInMonth(y, m)) return false;
    if (y != nYear || m != nMonth || d != nDay || strDate.empty()) {
      strDate = GetRegionalSettings().FormatShortDate(y, m, d);
      nYear = y;
      nMonth = m;
      nDay = d;
    }
    return true;
  }
};

// Occurrences of strFrom in s, left to right without overlap, as ReplaceAll counts them.
size_t CountOccurrences(std::string_view s, std::string_view strFrom) {
  if (strFrom.empty()) return 0;
  size_t n = 0;
  for (size_t i = 0; (i = s.find(strFrom, i)) != std::string_view::npos; i += strFrom.size()) ++n;
  return n;
}

void AppendReplaced(std::string& strOut, std::string_view s, std::string_view strFrom, std::string_view strTo) {
  size_t i = 0;
  for (size_t j; (j = s.find(strFrom, i)) != std::string_view::npos; i = j + strFrom.size()) {
    strOut.append(s.substr(i, j - i));
    strOut.append(strTo);
  }
  strOut.append(s.substr(i));
}

// Calls fn(line) for each line of the bytes, without its line end.
template <typename F>
void ForEachLine(std::string_view strBytes, F fn) {
  size_t i = 0;
  while (i < strBytes.size()) {
    size_t nEnd = strBytes.find('\n', i);
    const size_t nNext = nEnd == std::string_view::npos ? strBytes.size() : nEnd + 1;
    if (nEnd == std::string_view::npos) nEnd = strBytes.size();
    size_t nLen = nEnd - i;
    if (nLen > 0 && strBytes[i + nLen - 1] == '\r') --nLen;
    fn(strBytes.substr(i, nLen));
    i = nNext;
  }
}

} // namespace

void CZK7LogDoc::LoadFromBytes(const std::string& strBytes) {
  m_strText.clear();
  m_strText.shrink_to_fit();
  m_aMarks.clear();
  m_aMarks.shrink_to_fit();
  m_aWidths.clear();
  m_nColumnCount = 0;
  m_nLineCount = 0;

  // First the exact sizes, so that the text is allocated once.
  sDateRewriter rewriter;
  size_t nTextSize = 0;
  int64_t nLines = 0;
  ForEachLine(strBytes, [&](std::string_view strLine) {
    std::string_view strField;
    nTextSize += strLine.size() + 1;
    if (rewriter.Of(strLine, strField)) {
      const size_t nCount = CountOccurrences(strLine, strField);
      nTextSize += nCount * rewriter.strDate.size();
      nTextSize -= nCount * strField.size();
    }
    ++nLines;
  });
  // Line numbers are ints for the list; lines past that cannot be shown.
  nLines = std::min<int64_t>(nLines, std::numeric_limits<int>::max());
  m_strText.reserve(nTextSize);
  m_aMarks.reserve(static_cast<size_t>((nLines + LINES_PER_MARK - 1) / LINES_PER_MARK));

  ForEachLine(strBytes, [&](std::string_view strLine) {
    if (m_nLineCount >= nLines) return;
    if (m_nLineCount % LINES_PER_MARK == 0) m_aMarks.push_back(m_strText.size());
    const size_t nStart = m_strText.size();
    std::string_view strField;
    if (rewriter.Of(strLine, strField))
      AppendReplaced(m_strText, strLine, strField, rewriter.strDate);
    else
      m_strText.append(strLine);
    const std::string_view strStored = std::string_view(m_strText).substr(nStart);
    m_strText += '\n';
    ++m_nLineCount;

    int nField = 0;
    for (size_t nFieldStart = 0;; ++nField) {
      const size_t nTab = strStored.find('\t', nFieldStart);
      const size_t nFieldEnd = nTab == std::string_view::npos ? strStored.size() : nTab;
      if (static_cast<int>(m_aWidths.size()) <= nField) m_aWidths.push_back(0);
      m_aWidths[nField] = std::max(m_aWidths[nField], static_cast<int>(std::min<size_t>(nFieldEnd - nFieldStart, INT32_MAX)));
      if (nTab == std::string_view::npos) break;
      nFieldStart = nTab + 1;
    }
    m_nColumnCount = std::max(m_nColumnCount, nField + 1);
  });
}

std::string CZK7LogDoc::RewriteDate(const std::string& strLine) {
  sDateRewriter rewriter;
  std::string_view strField;
  if (!rewriter.Of(strLine, strField)) return strLine;
  std::string strOut;
  AppendReplaced(strOut, strLine, strField, rewriter.strDate);
  return strOut;
}

std::string CZK7LogDoc::GetTitle() const {
  return std::filesystem::path(m_strPathName).filename().string();
}

std::string_view CZK7LogDoc::GetLine(int nLine) const {
  if (nLine < 0 || nLine >= m_nLineCount) return {};
  const std::string_view strText(m_strText);
  size_t nStart = static_cast<size_t>(m_aMarks[static_cast<size_t>(nLine / LINES_PER_MARK)]);
  for (int k = nLine % LINES_PER_MARK; k > 0; --k) nStart = strText.find('\n', nStart) + 1;
  return strText.substr(nStart, strText.find('\n', nStart) - nStart);
}

std::string_view CZK7LogDoc::GetFieldView(int nLine, int nColumn) const {
  if (nColumn < 0) return {};
  const std::string_view s = GetLine(nLine);
  size_t nStart = 0;
  for (int c = 0; c < nColumn; ++c) {
    nStart = s.find('\t', nStart);
    if (nStart == std::string_view::npos) return {};
    ++nStart;
  }
  const size_t nEnd = s.find('\t', nStart);
  return s.substr(nStart, nEnd == std::string_view::npos ? std::string_view::npos : nEnd - nStart);
}

std::string CZK7LogDoc::GetField(int nLine, int nColumn) const { return std::string(GetFieldView(nLine, nColumn)); }

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
  const std::string_view strA = doc.GetFieldView(a, m_nSortColumn);
  const std::string_view strB = doc.GetFieldView(b, m_nSortColumn);
  // string_view compares char as unsigned bytes, as the rule wants.
  return m_bFlag ? strA < strB : strB < strA;
}

void CLogSortState::Sort(const CZK7LogDoc& doc, std::vector<int>& aLineOrder) const {
  if (m_nSortColumn <= 2) {
    std::sort(aLineOrder.begin(), aLineOrder.end(), [&](int a, int b) { return Less(doc, a, b); });
    return;
  }
  // Cut each row's field once: a comparison sort would otherwise split lines
  // n log n times.
  std::vector<std::pair<std::string_view, int>> aKeys;
  aKeys.reserve(aLineOrder.size());
  for (int nLine : aLineOrder) aKeys.emplace_back(doc.GetFieldView(nLine, m_nSortColumn), nLine);
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
