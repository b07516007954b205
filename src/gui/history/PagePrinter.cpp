#include "history/PagePrinter.h"

#include <QFontDatabase>
#include <QFontMetrics>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QMessageBox>
#include <QPainter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

#include <algorithm>
#include <utility>

#include "history/PageHeader.h"
#include "results/ZK7Exception.h"

namespace zk7 {

namespace {

// The faces the printouts were designed with, or their metric-compatible twins
// from fonts-liberation, so that a line takes the same width everywhere.
QString Family(const char* pszPreferred, const char* pszTwin) {
  return QFontDatabase::hasFamily(QString::fromLatin1(pszPreferred)) ? QString::fromLatin1(pszPreferred)
                                                                     : QString::fromLatin1(pszTwin);
}

} // namespace

QFont CPagePrinter::RecordFont() {
  QFont font(Family("Courier New", "Liberation Mono"));
  font.setPointSizeF(9);
  font.setWeight(QFont::Normal);
  font.setStyleHint(QFont::TypeWriter);
  font.setFixedPitch(true);
  font.setKerning(false);
  return font;
}

QFont CPagePrinter::HeaderFont() {
  QFont font(Family("Times New Roman", "Liberation Serif"));
  font.setPointSizeF(10);
  font.setWeight(QFont::Normal);
  font.setStyleHint(QFont::Serif);
  return font;
}

sPrinterMetrics CPagePrinter::MetricsOf(QPrinter& printer) {
  sPrinterMetrics m;
  m.nDpiX = printer.logicalDpiX();
  m.nDpiY = printer.logicalDpiY();
  m.nDeviceWidth = printer.width();
  m.nDeviceHeight = printer.height();
  if (!printer.fullPage()) {
    const QRectF page = printer.pageRect(QPrinter::DevicePixel);
    m.nOffsetX = qRound(page.left());
    m.nOffsetY = qRound(page.top());
  }
  return m;
}

CPagePrinter::CPagePrinter(QPrinter& printer, const std::vector<int>& aColumnPositions, int nRowCount)
    : m_printer(printer), m_recordFont(RecordFont()) {
  const QFontMetrics fm(m_recordFont, &printer);
  const QFontMetricsF fmf(m_recordFont, &printer);
  m_nAscent = fm.ascent();
  m_layout = ComputePrintLayout(MetricsOf(printer), fm.lineSpacing(), fmf.horizontalAdvance(QLatin1Char('X')),
                                aColumnPositions, nRowCount);
}

void CPagePrinter::BeginPage(QPainter& painter) const {
  painter.setTransform(QTransform::fromTranslate(m_layout.nMarginX, m_layout.nMarginY));
  painter.setBackgroundMode(Qt::TransparentMode);
}

void CPagePrinter::DrawHeaderFooter(QPainter& painter, const std::string& strElement, int nPage, int nPages) const {
  DrawHeaderFooter(painter, strElement, nPage, nPages, m_layout.nPrintableWidth, m_layout.nPrintableHeight,
                   m_layout.nLineHeight);
}

void CPagePrinter::DrawHeaderFooter(QPainter& painter, const std::string& strElement, int nPage, int nPages,
                                    int nPrintableWidth, int nPrintableHeight, int nLineHeight) {
  painter.save();
  painter.setBackgroundMode(Qt::TransparentMode);
  painter.setFont(HeaderFont());
  const QFontMetricsF fm(painter.font(), painter.device());
  // The templates are 8-bit texts, the element a file name in any script: it
  // goes in after the decoding, in place of a mark no template holds.
  static const QString s_strMark(QChar(0x01));
  const QString strElementText = QString::fromUtf8(strElement);
  const sPageTexts texts = ExpandPageTexts(GetPageTemplates(), MakePageFields("\x01", nPage, nPages));
  int nHeaderLines, nFooterLines;
  GetHeaderFooterLines(nHeaderLines, nFooterLines);

  // Each line's top at y, the text left of, centred on or right of x.
  auto draw = [&](const std::vector<std::string>& aLines, double x, int y, ePagePosition ePos) {
    for (size_t i = 0; i < aLines.size(); ++i) {
      const QString str = QString::fromLatin1(aLines[i].c_str(), static_cast<qsizetype>(aLines[i].size()))
                              .replace(s_strMark, strElementText);
      const double dWidth = fm.horizontalAdvance(str);
      const double dLeft = ePos == PAGE_LEFT ? x : (ePos == PAGE_CENTRE ? x - dWidth / 2 : x - dWidth);
      painter.drawText(QPointF(dLeft, y + static_cast<double>(i) * nLineHeight + fm.ascent()), str);
    }
  };
  const double aX[3] = {0.0, nPrintableWidth / 2.0, static_cast<double>(nPrintableWidth)};
  const int nFooterTop = nPrintableHeight - (nFooterLines - 1) * nLineHeight;
  for (int i = 0; i < 3; ++i) {
    draw(texts.aHeader[i], aX[i], 0, static_cast<ePagePosition>(i));
    draw(texts.aFooter[i], aX[i], nFooterTop, static_cast<ePagePosition>(i));
  }
  painter.restore();
}

int CPagePrinter::DrawTitleLine(QPainter& painter, const std::string& strTitleLine) const {
  int y = m_layout.nHeaderLines * m_layout.nLineHeight;
  DrawTabbedLine(painter, y, strTitleLine);
  y += m_layout.nLineHeight;
  painter.drawLine(0, y - 1, m_layout.nPrintableWidth, y - 1);
  return y + m_layout.nLineHeight / 2;
}

void CPagePrinter::DrawTabbedLine(QPainter& painter, int y, const std::string& strLine) const {
  painter.save();
  painter.setFont(m_recordFont);
  for (const sTabbedCell& cell : LayOutTabbedLine(strLine, m_layout.aColumnPositions)) {
    if (cell.strText.empty()) continue;
    const QString str = QString::fromLatin1(cell.strText.c_str(), static_cast<qsizetype>(cell.strText.size()));
    const QPointF at(cell.nStart * m_layout.dCharWidth, y + m_nAscent);
    if (m_layout.dCompression < 1.0) {
      // The record font squeezed horizontally so that the widest line fits.
      painter.save();
      painter.translate(at);
      painter.scale(m_layout.dCompression, 1.0);
      painter.drawText(QPointF(0, 0), str);
      painter.restore();
    } else {
      painter.drawText(at, str);
    }
  }
  painter.restore();
}

bool PrintTabbedJob(QPrinter& printer, const sTabbedPrintJob& job) {
  CPagePrinter pages(printer, job.aColumnPositions, job.nRowCount);
  const sPrintLayout& layout = pages.GetLayout();
  int nFrom = 1, nTo = layout.nPageCount;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    nFrom = printer.fromPage();
    if (printer.toPage() > 0) nTo = std::min(nTo, printer.toPage());
  }
  QPainter painter;
  if (!painter.begin(&printer)) return false;
  for (int nPage = nFrom; nPage <= nTo; ++nPage) {
    if (nPage != nFrom) printer.newPage();
    pages.BeginPage(painter);
    pages.DrawHeaderFooter(painter, job.strElement, nPage, layout.nPageCount);
    int y = pages.DrawTitleLine(painter, job.strTitleLine);
    int nFirst, nLast;
    if (!job.rowLine || !PageRows(job.nRowCount, layout.nLinesPerPage, nPage, nFirst, nLast)) continue;
    for (int i = nFirst; i <= nLast; ++i, y += layout.nLineHeight) pages.DrawTabbedLine(painter, y, job.rowLine(i));
  }
  return painter.end();
}

bool PrintTabbedJobWithDialog(QWidget* pParent, const sTabbedPrintJob& job) {
  QPrinter printer(QPrinter::HighResolution);
  // The range offered in the dialog comes from the default printer; without one
  // the job counts one page until a printer is chosen.
  const int nOldCount =
      printer.isValid() ? CPagePrinter(printer, job.aColumnPositions, job.nRowCount).GetPageCount() : 1;
  QPrintDialog dialog(&printer, pParent);
  dialog.setMinMax(1, nOldCount);
  if (dialog.exec() != QDialog::Accepted) return false;
  const int nNewCount = CPagePrinter(printer, job.aColumnPositions, job.nRowCount).GetPageCount();
  if (printer.printRange() == QPrinter::PageRange && printer.toPage() == nOldCount)
    printer.setFromTo(printer.fromPage(), nNewCount);
  if (job.confirm && !job.confirm(nNewCount)) return false;
  return PrintTabbedJob(printer, job);
}

void PreviewTabbedJob(QWidget* pParent, const sTabbedPrintJob& job) {
  QPrinter printer(QPrinter::HighResolution);
  QPrintPreviewDialog dialog(&printer, pParent);
  // The preview draws again at each zoom: a read failure is told once.
  bool bTold = false;
  QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, [&job, &bTold, &dialog](QPrinter* pPrinter) {
    try {
      PrintTabbedJob(*pPrinter, job);
    } catch (const CZK7Exception& e) {
      if (!std::exchange(bTold, true))
        QMessageBox::warning(&dialog, QGuiApplication::applicationDisplayName(), QString::fromLatin1(e.GetText()));
    }
  });
  dialog.exec();
}

} // namespace zk7
