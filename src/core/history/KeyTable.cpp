// Key texts and the graph printout's page arithmetic.
#include "history/KeyTable.h"

#include <algorithm>
#include <cstdio>

#include "format/Formatting.h"
#include "history/HistViewState.h"
#include "results/ZK7Doc.h"
#include "results/ZK7Exception.h"
#include "strings/StringTable.h"

namespace zk7 {

sKeyTable BuildKeyTable(const CZK7Doc& doc, const sHistViewState& state, bool bHideUnchecked) {
  sKeyTable t;
  const std::string strTitles = LoadString(IDS_KEY_COLUMN_TITLES);
  size_t nFrom = 0;
  for (size_t nTab; (nTab = strTitles.find('\t', nFrom)) != std::string::npos; nFrom = nTab + 1)
    t.aTitles.push_back(strTitles.substr(nFrom, nTab - nFrom));
  // A mark whose record cannot be read keeps its column with empty texts.
  auto readOrEmpty = [&t](const auto& fnRead) -> std::string {
    try {
      return fnRead();
    } catch (const CZK7Exception& e) {
      if (t.strReadError.empty()) t.strReadError = e.GetText();
      return {};
    }
  };
  char buf[48];
  for (size_t k = 0; k < state.m_aFixedMarks.size(); ++k) {
    std::snprintf(buf, sizeof buf, "%d: ", static_cast<int>(k) + 1);
    const std::string strFull = readOrEmpty([&] {
      return FormatDateTime(doc.GetRecordTime(state.m_aFixedMarks[k], 0), state.m_nTimeFormat == 0,
                            state.m_bShowFraction, state.m_nFractionDigits);
    });
    t.aTitles.push_back(buf + strFull);
  }
  for (int c = 0; c < doc.GetChannelCount(); ++c) {
    const bool bHasState = static_cast<size_t>(c) < state.m_aChanStates.size();
    const bool bChecked = !bHasState || state.m_aChanStates[static_cast<size_t>(c)].m_bChecked;
    const int nScale = bHasState ? state.m_aChanStates[static_cast<size_t>(c)].m_nScale : 1;
    if (bHideUnchecked && !bChecked) continue;
    std::vector<std::string> aCells;
    std::snprintf(buf, sizeof buf, "%.3d", c + 1);
    aCells.push_back(buf);
    aCells.push_back(doc.GetChannelName(c));
    aCells.push_back(doc.GetChannelUnit(c));
    if (nScale == 0) {
      aCells.push_back("X");
    } else {
      std::snprintf(buf, sizeof buf, "Y%d", nScale);
      aCells.push_back(buf);
    }
    for (int nMark : state.m_aFixedMarks)
      aCells.push_back(readOrEmpty([&] { return doc.FormatChannelValue(c, nMark); }));
    t.aRows.push_back(std::move(aCells));
    t.aChannels.push_back(c);
    t.aChecked.push_back(bChecked);
  }
  return t;
}

std::vector<int> KeyColumnWidths(const sKeyTable& table) {
  std::vector<int> a;
  for (const std::string& s : table.aTitles) a.push_back(static_cast<int>(s.size()));
  if (!a.empty()) a[0] = std::max(a[0], 2);
  for (size_t r = 0; r < table.aRows.size(); ++r) {
    for (size_t k = 0; k < table.aRows[r].size() && k < a.size(); ++k)
      a[k] = std::max(a[k], static_cast<int>(table.aRows[r][k].size()));
  }
  return a;
}

int GraphKeyLinesPerPage(int nPrintableHeight, int nLineHeight, int nHeaderLines, int nFooterLines) {
  if (nLineHeight <= 0) return 1;
  return std::max(1, nPrintableHeight / nLineHeight - 2 - (nHeaderLines + nFooterLines));
}

int GraphPrintPageCount(int nTickedRows, int nLinesPerPage) {
  if (nLinesPerPage <= 0) nLinesPerPage = 1;
  return 1 + (nTickedRows > 0 ? (nTickedRows + nLinesPerPage - 1) / nLinesPerPage : 0);
}

} // namespace zk7
