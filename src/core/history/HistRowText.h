// The texts of the record list: its columns and the text of every cell and line.
// The list, the export file, the clipboard, the printout and `zk7-cli export`
// all take their texts from here.
#pragma once
#include <string>
#include <vector>

namespace zk7 {

class CZK7Doc;

struct sColumnDesc {
  int nMinWidth;   // in characters
  int nAlign;      // 0 left, 1 right
  std::string strTitle;
};

// What shapes the list: the view options of the history window, and where the
// cursors lie.
struct sListOptions {
  int m_nTimeFormat = 0;            // 0 date and time, 1 time only
  bool m_bShowFraction = true;
  int m_nFractionDigits = 3;
  bool m_bMsOffsetColumns = false;
  std::vector<int> m_aDisplayedChannels;  // empty: every channel
  std::vector<int> m_aFixedMarks;         // record indexes, in the order added
  int m_nCursor1Record = -1;  // record under cursor 1 when it is shown and locked, else -1
  int m_nCursor2Record = -1;
};

enum eRowMarker { MARKER_NONE = 0, MARKER_CURSOR1 = 1, MARKER_CURSOR2 = 2, MARKER_BOTH = 3, MARKER_FIXED = 4 };

class CHistRowText {
public:
  CHistRowText(const CZK7Doc& doc, sListOptions options);

  const sListOptions& GetOptions() const { return m_options; }
  const CZK7Doc& GetDocument() const { return m_doc; }
  const std::vector<sColumnDesc>& GetColumns() const { return m_aColumns; }
  int GetColumnCount() const { return static_cast<int>(m_aColumns.size()); }
  int GetRowCount() const;

  void AppendCell(int nRow, int nColumn, std::string& strOut) const;
  std::string GetCellText(int nRow, int nColumn) const;
  int GetRowMarker(int nRow) const;

  // Titles joined by TAB (no line end).
  std::string GetTitleLine() const;
  // Cells joined by TAB (no line end); an empty "M" cell becomes the marker text.
  void AppendRowLine(int nRow, std::string& strOut) const;
  std::string GetRowLine(int nRow) const;

  static const char* MarkerText(int nMarker);

private:
  const CZK7Doc& m_doc;
  sListOptions m_options;
  std::vector<sColumnDesc> m_aColumns;
};

// Time format of a file: 1 (time only) when its first and last records fall on
// the same day, else 0.
int TimeFormatFromFile(const CZK7Doc& doc);

} // namespace zk7
