// Page metrics of the tabbed-text printouts (record list, log list): margins,
// printable area, record-font compression, lines per page, pages and their rows.
// Everything here is arithmetic on numbers a printer reports; the drawing is in
// gui/history/PagePrinter.
#pragma once
#include <string>
#include <vector>

namespace zk7 {

// What a printer reports, in its device units.
struct sPrinterMetrics {
  int nDpiX = 0, nDpiY = 0;                  // pixels per inch
  int nDeviceWidth = 0, nDeviceHeight = 0;   // printable area of the device
  int nOffsetX = 0, nOffsetY = 0;            // unprintable margin before that area
};

// The layout of one print job, in device units unless said otherwise.
struct sPrintLayout {
  int nMarginX = 0, nMarginY = 0;            // origin of our printable area in the device's
  int nPrintableWidth = 0, nPrintableHeight = 0;
  int nLineHeight = 0;
  double dCharWidth = 0;                     // of the (possibly compressed) record font
  double dCompression = 1.0;                 // horizontal scale of the record font, <= 1
  int nHeaderLines = 0, nFooterLines = 0;
  int nLinesPerPage = 0;                     // record lines
  int nPageCount = 1;
  std::vector<int> aColumnPositions;         // in characters; last entry = total line width
};

// 15 mm in device units (multiply, then divide), less the unprintable offset when
// the offset is smaller; otherwise the offset itself.
int PageMargin(int nDpi, int nOffset);

// Column positions from the column widths in characters: start at 1, each column
// advances by its width + 1, and a final entry one past the end.
std::vector<int> ColumnPositions(const std::vector<int>& aWidths);
// Grows aWidths (one per column) to the lengths of the TAB-separated cells of a line.
void WidenColumns(std::vector<int>& aWidths, const std::string& strTabbedLine);

// Horizontal scale that makes a line of nTotalChars characters of width
// dCharWidth fit nPrintableWidth: 1 when it fits, else the compressed character
// width (truncated to whole device units, at least 1) over dCharWidth.
double CompressionRatio(int nPrintableWidth, int nTotalChars, double dCharWidth);

// Record lines per page: the printable height less the header, the footer, and
// the column-title line with its rule (one and a half lines), at least 1.
int LinesPerPage(int nPrintableHeight, int nLineHeight, int nHeaderLines, int nFooterLines);
int PageCount(int nRows, int nLinesPerPage);
// The rows of page nPage (from 1) of a block of nCount rows: [nFrom, nTo]
// inclusive, as indexes into the block; false when the page holds none.
bool PageRows(int nCount, int nLinesPerPage, int nPage, int& nFrom, int& nTo);

// The whole layout: margins, printable size, compression of the record font
// (measured line height and character width given), lines and pages.
sPrintLayout ComputePrintLayout(const sPrinterMetrics& printer, int nLineHeight, double dCharWidth,
                                const std::vector<int>& aColumnPositions, int nRowCount);

// Where each TAB-separated cell of a printed line starts, in characters: the
// first cell at 0, cell j at column position j, or one blank after the previous
// cell when that one runs longer than its column.
struct sTabbedCell {
  int nStart;
  std::string strText;
};
std::vector<sTabbedCell> LayOutTabbedLine(const std::string& strLine, const std::vector<int>& aColumnPositions);

} // namespace zk7
