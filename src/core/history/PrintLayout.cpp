#include "history/PrintLayout.h"

#include <algorithm>
#include <cmath>

#include "history/PageHeader.h"

namespace zk7 {

int PageMargin(int nDpi, int nOffset) {
  const int nMargin = static_cast<int>(1500LL * nDpi / 2540);
  return nMargin > nOffset ? nMargin - nOffset : nOffset;
}

std::vector<int> ColumnPositions(const std::vector<int>& aWidths) {
  std::vector<int> aPositions;
  aPositions.reserve(aWidths.size() + 1);
  int nPos = 1;
  for (int nWidth : aWidths) {
    aPositions.push_back(nPos);
    nPos += nWidth + 1;
  }
  aPositions.push_back(nPos + 1);
  return aPositions;
}

void WidenColumns(std::vector<int>& aWidths, const std::string& strTabbedLine) {
  size_t nStart = 0;
  for (size_t nColumn = 0;; ++nColumn) {
    const size_t nTab = strTabbedLine.find('\t', nStart);
    const size_t nEnd = nTab == std::string::npos ? strTabbedLine.size() : nTab;
    // A line's closing TAB opens no column.
    if (nTab == std::string::npos && nEnd == nStart && nColumn > 0) break;
    if (aWidths.size() <= nColumn) aWidths.push_back(0);
    aWidths[nColumn] = std::max(aWidths[nColumn], static_cast<int>(nEnd - nStart));
    if (nTab == std::string::npos) break;
    nStart = nTab + 1;
  }
}

double CompressionRatio(int nPrintableWidth, int nTotalChars, double dCharWidth) {
  if (nTotalChars <= 0 || dCharWidth <= 0) return 1.0;
  const double dRatio = static_cast<double>(nPrintableWidth) / nTotalChars / dCharWidth;
  if (dRatio >= 1.0) return 1.0;
  // A line too long even for one device unit per character keeps that much
  // rather than a zero width, which a font would take as "any width".
  const double dCompressed = std::max(1.0, std::floor(dCharWidth * dRatio));
  return dCompressed / dCharWidth;
}

int LinesPerPage(int nPrintableHeight, int nLineHeight, int nHeaderLines, int nFooterLines) {
  if (nLineHeight <= 0) return 1;
  // The column-title line and the half line under its rule are not record lines;
  // counting them keeps the last record off the footer's first line.
  const int nTitleBlock = nLineHeight + nLineHeight / 2;
  const int nLines = (nPrintableHeight - nTitleBlock) / nLineHeight - nHeaderLines - nFooterLines;
  // A page too small for one line still prints one, rather than dividing by zero.
  return std::max(1, nLines);
}

int PageCount(int nRows, int nLinesPerPage) {
  if (nRows <= 0) return 1;
  if (nLinesPerPage <= 0) nLinesPerPage = 1;
  return (nRows + nLinesPerPage - 1) / nLinesPerPage;
}

bool PageRows(int nCount, int nLinesPerPage, int nPage, int& nFrom, int& nTo) {
  if (nLinesPerPage <= 0 || nPage < 1) return false;
  const long long nStart = static_cast<long long>(nPage - 1) * nLinesPerPage;
  if (nStart >= nCount) return false;
  nFrom = static_cast<int>(nStart);
  nTo = static_cast<int>(std::min<long long>(nStart + nLinesPerPage - 1, nCount - 1));
  return true;
}

sPrintLayout ComputePrintLayout(const sPrinterMetrics& printer, int nLineHeight, double dCharWidth,
                                const std::vector<int>& aColumnPositions, int nRowCount) {
  sPrintLayout layout;
  layout.nMarginX = PageMargin(printer.nDpiX, printer.nOffsetX);
  layout.nMarginY = PageMargin(printer.nDpiY, printer.nOffsetY);
  layout.nPrintableWidth = printer.nDeviceWidth - 2 * layout.nMarginX;
  layout.nPrintableHeight = printer.nDeviceHeight - 2 * layout.nMarginY;
  layout.aColumnPositions = aColumnPositions;
  const int nTotalChars = aColumnPositions.empty() ? 0 : aColumnPositions.back();
  layout.dCompression = CompressionRatio(layout.nPrintableWidth, nTotalChars, dCharWidth);
  layout.dCharWidth = dCharWidth * layout.dCompression;
  layout.nLineHeight = nLineHeight;
  GetHeaderFooterLines(layout.nHeaderLines, layout.nFooterLines);
  layout.nLinesPerPage = LinesPerPage(layout.nPrintableHeight, nLineHeight, layout.nHeaderLines, layout.nFooterLines);
  layout.nPageCount = PageCount(nRowCount, layout.nLinesPerPage);
  return layout;
}

std::vector<sTabbedCell> LayOutTabbedLine(const std::string& strLine, const std::vector<int>& aColumnPositions) {
  std::vector<sTabbedCell> aCells;
  size_t nStart = 0;
  int nPrevEnd = 0;
  for (size_t k = 0;; ++k) {
    const size_t nTab = strLine.find('\t', nStart);
    const size_t nEnd = nTab == std::string::npos ? strLine.size() : nTab;
    if (nTab == std::string::npos && nEnd == nStart && k > 0) break;
    int nPos = 0;
    if (k > 0) {
      nPos = nPrevEnd + 1;
      if (k < aColumnPositions.size()) nPos = std::max(nPos, aColumnPositions[k]);
    }
    sTabbedCell cell{nPos, strLine.substr(nStart, nEnd - nStart)};
    nPrevEnd = nPos + static_cast<int>(cell.strText.size());
    aCells.push_back(std::move(cell));
    if (nTab == std::string::npos) break;
    nStart = nTab + 1;
  }
  return aCells;
}

} // namespace zk7
