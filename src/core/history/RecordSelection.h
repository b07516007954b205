// The selected rows of the record list as sorted, disjoint blocks of record
// indexes (a selection of every row of a 100,000,000-record file is one block),
// with the selection mark and focus row, and the scrolling arithmetic of a list
// that shows a window of its rows.
#pragma once
#include <cstdint>
#include <vector>

namespace zk7 {

struct sRowBlock {
  int nFirst;
  int nLast;  // inclusive
  bool operator==(const sRowBlock&) const = default;
};

class CRecordSelection {
public:
  // Nothing selected; the mark and the focus row are forgotten too.
  void Reset();
  // Deselects every row; the mark and the focus row stay.
  void Clear() { m_aBlocks.clear(); }
  // Adds rows [min(a, b), max(a, b)] to the selection.
  void Select(int a, int b);

  bool IsSelected(int nRow) const;
  bool HasSelection() const { return !m_aBlocks.empty(); }
  int64_t GetCount() const;
  int GetFirst() const { return m_aBlocks.empty() ? -1 : m_aBlocks.front().nFirst; }
  int GetLast() const { return m_aBlocks.empty() ? -1 : m_aBlocks.back().nLast; }
  const std::vector<sRowBlock>& GetBlocks() const { return m_aBlocks; }
  // The i-th selected row in row order (0-based); -1 beyond the selection.
  int GetSelectedRow(int64_t i) const;

  // The row a Shift+click or Shift+arrow extends from; -1 when none.
  int GetMark() const { return m_nMark; }
  void SetMark(int nRow) { m_nMark = nRow; }
  // The row that has the keyboard focus; -1 when none.
  int GetFocus() const { return m_nFocus; }
  void SetFocus(int nRow) { m_nFocus = nRow; }

  // A click (or arrow key) on a row: that row alone, marked and focused. With
  // Shift: the block from the mark (the focus row, else the clicked row) to the
  // row, which takes the focus; the mark stays.
  void ClickRow(int nRow, bool bShift);

private:
  std::vector<sRowBlock> m_aBlocks;
  int m_nMark = -1;
  int m_nFocus = -1;
};

// Keys that move the focus row of the list.
enum eListKey { LIST_KEY_UP, LIST_KEY_DOWN, LIST_KEY_PAGE_UP, LIST_KEY_PAGE_DOWN, LIST_KEY_HOME, LIST_KEY_END };

// The focus row after a key, for a list of nCount rows showing nPageRows whole
// rows: a page key moves by the page less one row, as list controls do; -1 for
// an empty list. Without a focus row, End goes to the last row, any other key
// to row 0.
int StepFocusRow(int nFocus, eListKey eKey, int nPageRows, int nCount);

// The top row of a list showing nPageRows whole rows that is at most the last
// possible top: max(0, nCount - nPageRows).
int ClampTopRow(int nTop, int nPageRows, int nCount);
// The top row that shows nRow wholly, scrolling as little as possible from nTop.
int TopRowShowing(int nTop, int nRow, int nPageRows, int nCount);

} // namespace zk7
