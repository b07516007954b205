// A module's log file read into lines and TAB-separated fields, and the rules of
// the log list that need no window: column titles, sort clicks, copied text.
#pragma once
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace zk7 {

class CZK7LogDoc {
public:
  // Reads the file (the whole file, then closes it); false with a message in
  // *pstrError when it cannot be opened or read. An empty file is an empty document.
  bool OnOpenDocument(const std::string& strPath, std::string* pstrError = nullptr);
  // The same from the file's bytes already in memory.
  void LoadFromBytes(const std::string& strBytes);
  // A log is only ever read from a module's file, never created here.
  bool OnNewDocument() { return false; }

  const std::string& GetPathName() const { return m_strPathName; }
  // The file name without its folder, as the window and the printout show it.
  std::string GetTitle() const;

  int GetLineCount() const { return m_nLineCount; }
  // Empty text when out of range. The view lives as long as the document.
  std::string_view GetLine(int nLine) const;
  // Empty text when the line or the column is out of range, or the line has fewer fields.
  std::string GetField(int nLine, int nColumn) const;
  std::string_view GetFieldView(int nLine, int nColumn) const;
  int GetColumnCount() const { return m_nColumnCount; }
  // Largest length in characters of that field over all lines; 0 when out of range.
  int GetColumnWidth(int nColumn) const;
  const std::vector<int>& GetColumnWidths() const { return m_aWidths; }

  // Column title by position: "N°", "Date", "Hour", "Event", "User", "Parameter",
  // "Comment", then empty.
  static std::string GetColumnTitle(int nColumn);
  // 1 (right) for the number column, 0 (left) for the others.
  static int GetColumnAlign(int nColumn) { return nColumn == 0 ? 1 : 0; }

  // The line as stored: a valid year-first date in field 1 is rewritten, everywhere
  // in the line, as the user's short date. Exposed for the tests of the rule.
  static std::string RewriteDate(const std::string& strLine);

private:
  std::string m_strPathName;
  // All lines, each followed by a LF, in one text: a log of short lines held
  // as one string per line took some fifty times the file's size.
  std::string m_strText;
  // The start of every LINES_PER_MARK-th line in m_strText; the lines between
  // are found by their LFs.
  static constexpr int LINES_PER_MARK = 16;
  std::vector<uint64_t> m_aMarks;
  int m_nLineCount = 0;
  std::vector<int> m_aWidths;
  int m_nColumnCount = 0;
};

// The sort state of the log list: the column sorted last and the direction flag.
// A click on the sorted column inverts the flag; a click elsewhere moves the mark
// there and sets the flag on.
class CLogSortState {
public:
  // Applies a click on column nColumn; returns the column whose mark must be
  // removed, or -1.
  int Click(int nColumn);
  int GetSortColumn() const { return m_nSortColumn; }
  bool GetFlag() const { return m_bFlag; }
  // The column showing a mark (none before the first click), and which mark:
  // 0 the first icon (flag on), 1 the second (flag off).
  int GetMarkedColumn() const { return m_nMarkedColumn; }
  int GetMarkIcon() const { return m_bFlag ? 0 : 1; }

  // The display order after sorting: aLineOrder holds the line index of each row
  // and is reordered. The number, date and hour columns order by line index
  // (flag on: latest line first; off: file order); the others by the bytes of the
  // field (flag on: ascending; off: descending). Rows of equal texts keep their order.
  void Sort(const CZK7LogDoc& doc, std::vector<int>& aLineOrder) const;
  // True when the row of line a sorts before the row of line b.
  bool Less(const CZK7LogDoc& doc, int a, int b) const;

private:
  int m_nSortColumn = 0;
  bool m_bFlag = false;
  int m_nMarkedColumn = -1;
};

// The copy text of the given lines (in display order): CR LF between lines,
// none after the last.
std::string BuildLogCopyText(const CZK7LogDoc& doc, const std::vector<int>& aLineIndexes);

// The printout's lines: column titles joined by TAB, and a row's cells each
// followed by a TAB.
std::string LogPrintTitleLine(const CZK7LogDoc& doc);
std::string LogPrintRowLine(const CZK7LogDoc& doc, int nLine);

// What can go wrong when the copied text is handed to the clipboard, and what
// the user is told.
enum eClipboardFailure { CLIPBOARD_OK = 0, CLIPBOARD_CANNOT_OPEN, CLIPBOARD_CANNOT_EMPTY, CLIPBOARD_CANNOT_SET };
const char* ClipboardFailureText(eClipboardFailure eFailure);

} // namespace zk7
