// The key of a results-file window as a table of texts: its column titles and,
// per channel, the cells the key shows; and the page count of the graph
// printout, whose pages after the first print this table.
#pragma once
#include <string>
#include <vector>

namespace zk7 {

class CZK7Doc;
struct sHistViewState;

struct sKeyTable {
  std::vector<std::string> aTitles;              // "N°", "Channel", "Unit", "Scale", then one per fixed mark
  std::vector<std::vector<std::string>> aRows;   // one per listed channel, cells in column order
  std::vector<int> aChannels;                    // the channel of each row
  std::vector<bool> aChecked;                    // its check box
  // The reader's message when a mark's record could not be read (a removed
  // medium, a file cut short): its cells stay empty, the rest is the table.
  std::string strReadError;
};

// Every channel in channel order (only the ticked ones when bHideUnchecked),
// with the channel states, scales and fixed marks of the view state. A channel
// without a state entry counts as ticked, on Y1.
sKeyTable BuildKeyTable(const CZK7Doc& doc, const sHistViewState& state, bool bHideUnchecked);

// Column widths of the printed key: the longest of the title and the cells of
// the listed rows, at least 2 for the first column.
std::vector<int> KeyColumnWidths(const sKeyTable& table);

// Key lines per printed page: the printable height in lines, less two, less the
// header and footer lines; at least 1.
int GraphKeyLinesPerPage(int nPrintableHeight, int nLineHeight, int nHeaderLines, int nFooterLines);
// The graph page and the pages of the ticked rows: 1 + ceil(rows / lines per page).
int GraphPrintPageCount(int nTickedRows, int nLinesPerPage);

} // namespace zk7
