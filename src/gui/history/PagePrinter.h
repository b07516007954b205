// The drawing service of every printout: the fonts, the page header and footer,
// and pages of tabbed text lines (record list, log list) on a printer or in the
// print preview. The arithmetic of the pages is in core/history/PrintLayout.
#pragma once
#include <QFont>
#include <QString>

#include <functional>
#include <string>
#include <vector>

#include "history/PrintLayout.h"

class QPainter;
class QPrinter;
class QWidget;

namespace zk7 {

// One printout of tabbed lines: the title of what is printed, the column titles,
// the column positions and the rows of the block, in the order printed.
struct sTabbedPrintJob {
  std::string strElement;            // UTF-8 (a file name in any script), shown at the top of each page
  std::string strTitleLine;          // column titles joined by TAB
  std::vector<int> aColumnPositions;  // see ColumnPositions()
  int nRowCount = 0;
  std::function<std::string(int)> rowLine;  // row i of the block: its cells, each followed by TAB
  // Asked before a real print run (not a preview) with the page count; false stops.
  std::function<bool(int nPages)> confirm;
};

class CPagePrinter {
public:
  // "Courier New" 9 pt, or its metric twin "Liberation Mono" where it is absent.
  static QFont RecordFont();
  // "Times New Roman" 10 pt, or "Liberation Serif".
  static QFont HeaderFont();
  // Resolution, printable area and unprintable offsets of a printer, in device pixels.
  static sPrinterMetrics MetricsOf(QPrinter& printer);

  // Measures the record font on the printer and lays out a job of these columns and rows.
  CPagePrinter(QPrinter& printer, const std::vector<int>& aColumnPositions, int nRowCount);
  const sPrintLayout& GetLayout() const { return m_layout; }
  int GetPageCount() const { return m_layout.nPageCount; }

  // Puts the origin of the painter at the top-left corner of the printable area.
  void BeginPage(QPainter& painter) const;
  // The page header and footer with this job's printable size and line height.
  void DrawHeaderFooter(QPainter& painter, const std::string& strElement, int nPage, int nPages) const;
  // The column titles on the first line under the header, the rule under them;
  // returns the y of the first record line.
  int DrawTitleLine(QPainter& painter, const std::string& strTitleLine) const;
  // One line of TAB-separated cells at the column positions, top at y, in the
  // (possibly compressed) record font.
  void DrawTabbedLine(QPainter& painter, int y, const std::string& strLine) const;

  // The page header and footer for any printout (the graph has its own layout):
  // origin at the top-left of the printable area, nLineHeight between lines,
  // drawn in HeaderFont().
  static void DrawHeaderFooter(QPainter& painter, const std::string& strElement, int nPage, int nPages,
                               int nPrintableWidth, int nPrintableHeight, int nLineHeight);

private:
  QPrinter& m_printer;
  sPrintLayout m_layout;
  QFont m_recordFont;
  int m_nAscent = 0;
};

// Prints the job on the printer without any dialog: every page, or the printer's
// page range when one is set (a "to" page beyond the last page stops there).
// False when the printer cannot be opened.
bool PrintTabbedJob(QPrinter& printer, const sTabbedPrintJob& job);
// The print dialog with the job's page range, then the print run; false when
// cancelled or refused.
bool PrintTabbedJobWithDialog(QWidget* pParent, const sTabbedPrintJob& job);
// The print preview of the job.
void PreviewTabbedJob(QWidget* pParent, const sTabbedPrintJob& job);

} // namespace zk7
