#include "history/RecordSelection.h"

#include <algorithm>

namespace zk7 {

void CRecordSelection::Reset() {
  m_aBlocks.clear();
  m_nMark = -1;
  m_nFocus = -1;
}

void CRecordSelection::Select(int a, int b) {
  sRowBlock block{std::min(a, b), std::max(a, b)};
  if (block.nLast < 0) return;
  block.nFirst = std::max(block.nFirst, 0);
  // Blocks that overlap or touch the new one are merged into it.
  auto it = std::lower_bound(m_aBlocks.begin(), m_aBlocks.end(), block,
                             [](const sRowBlock& x, const sRowBlock& y) { return x.nLast + 1LL < y.nFirst; });
  auto itEnd = it;
  while (itEnd != m_aBlocks.end() && itEnd->nFirst <= block.nLast + 1LL) {
    block.nFirst = std::min(block.nFirst, itEnd->nFirst);
    block.nLast = std::max(block.nLast, itEnd->nLast);
    ++itEnd;
  }
  it = m_aBlocks.erase(it, itEnd);
  m_aBlocks.insert(it, block);
}

bool CRecordSelection::IsSelected(int nRow) const {
  auto it = std::lower_bound(m_aBlocks.begin(), m_aBlocks.end(), nRow,
                             [](const sRowBlock& b, int r) { return b.nLast < r; });
  return it != m_aBlocks.end() && it->nFirst <= nRow;
}

int64_t CRecordSelection::GetCount() const {
  int64_t n = 0;
  for (const sRowBlock& b : m_aBlocks) n += static_cast<int64_t>(b.nLast) - b.nFirst + 1;
  return n;
}

int CRecordSelection::GetSelectedRow(int64_t i) const {
  if (i < 0) return -1;
  for (const sRowBlock& b : m_aBlocks) {
    const int64_t nSize = static_cast<int64_t>(b.nLast) - b.nFirst + 1;
    if (i < nSize) return static_cast<int>(b.nFirst + i);
    i -= nSize;
  }
  return -1;
}

void CRecordSelection::ClickRow(int nRow, bool bShift) {
  if (!bShift || m_nMark < 0) {
    m_aBlocks.clear();
    Select(nRow, nRow);
    m_nMark = nRow;
    m_nFocus = nRow;
    return;
  }
  m_aBlocks.clear();
  Select(m_nMark, nRow);
  m_nFocus = nRow;
}

int StepFocusRow(int nFocus, eListKey eKey, int nPageRows, int nCount) {
  if (nCount <= 0) return -1;
  if (nFocus < 0) return eKey == LIST_KEY_END ? nCount - 1 : 0;
  const int64_t nPage = std::max(1, nPageRows - 1);
  int64_t n = nFocus;
  switch (eKey) {
    case LIST_KEY_UP: n -= 1; break;
    case LIST_KEY_DOWN: n += 1; break;
    case LIST_KEY_PAGE_UP: n -= nPage; break;
    case LIST_KEY_PAGE_DOWN: n += nPage; break;
    case LIST_KEY_HOME: n = 0; break;
    case LIST_KEY_END: n = nCount - 1; break;
  }
  return static_cast<int>(std::clamp<int64_t>(n, 0, nCount - 1));
}

int ClampTopRow(int nTop, int nPageRows, int nCount) {
  const int nMaxTop = std::max(0, nCount - std::max(1, nPageRows));
  return std::clamp(nTop, 0, nMaxTop);
}

int TopRowShowing(int nTop, int nRow, int nPageRows, int nCount) {
  const int nPage = std::max(1, nPageRows);
  if (nRow < nTop) nTop = nRow;
  else if (nRow >= nTop + nPage) nTop = nRow - nPage + 1;
  return ClampTopRow(nTop, nPage, nCount);
}

} // namespace zk7
