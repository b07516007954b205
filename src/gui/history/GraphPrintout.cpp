// Graph printout and clipboard picture.
#include "history/GraphPrintout.h"

#include <QMessageBox>
#include <QGuiApplication>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QScreen>

#include <algorithm>
#include <utility>

#include "history/GraphImage.h"
#include "history/HistFrame.h"
#include "history/HistStatistics.h"
#include "history/StatisticsPane.h"
#include "history/KeyTable.h"
#include "history/PageHeader.h"
#include "history/PagePrinter.h"
#include "history/PrintLayout.h"
#include "history/graph/GraphControl.h"
#include "results/ZK7Exception.h"
#include "settings/SettingsRecord.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

struct sGraphJob {
  sKeyTable table;
  std::vector<int> aTicked;  // rows of the table that are printed
  std::vector<int> aPositions;
  int nLinesPerPage = 1;
  int nPages = 1;
  // The statistics table after the key, on pages of its own, while the view is shown.
  std::string strStatsTitles;
  std::vector<std::string> aStatsRows;
  std::vector<int> aStatsPositions;
  int nStatsLinesPerPage = 1;
  int nKeyPages = 1;  // the graph page and the key pages
};

std::string Joined(const std::vector<std::string>& aCells);

void PrepareStatistics(QPrinter& printer, const CHistFrame& frame, sGraphJob& job) {
  const CHistStatistics* pView = frame.GetStatisticsView();
  if (!frame.IsStatisticsShown() || !pView) return;
  const std::vector<sChannelStatistics>& aResults = pView->GetPane()->GetResults();
  if (aResults.empty()) return;
  job.strStatsTitles = Joined(StatisticsColumnTitles());
  std::vector<int> aWidths(StatisticsColumnTitles().size(), 0);
  WidenColumns(aWidths, job.strStatsTitles);
  for (const sChannelStatistics& r : aResults) {
    job.aStatsRows.push_back(Joined(StatisticsRowCells(frame.GetDocument(), r)));
    WidenColumns(aWidths, job.aStatsRows.back());
  }
  for (int& n : aWidths) n += 2;
  job.aStatsPositions = ColumnPositions(aWidths);
  const CPagePrinter pages(printer, job.aStatsPositions, static_cast<int>(job.aStatsRows.size()));
  const sPrintLayout& layout = pages.GetLayout();
  // A line less than the key's pages: the table's own title stands above its column titles.
  job.nStatsLinesPerPage = std::max(
      1, GraphKeyLinesPerPage(layout.nPrintableHeight, layout.nLineHeight, layout.nHeaderLines, layout.nFooterLines) - 1);
  const int nRows = static_cast<int>(job.aStatsRows.size());
  job.nPages += (nRows + job.nStatsLinesPerPage - 1) / job.nStatsLinesPerPage;
}

sGraphJob PrepareJob(QPrinter& printer, const CHistFrame& frame, sPrintLayout& layout) {
  sGraphJob job;
  job.table = BuildKeyTable(frame.GetDocument(), frame.GetViewState(), false);
  for (size_t r = 0; r < job.table.aRows.size(); ++r)
    if (job.table.aChecked[r]) job.aTicked.push_back(static_cast<int>(r));
  job.aPositions = ColumnPositions(KeyColumnWidths(job.table));
  const CPagePrinter pages(printer, job.aPositions, static_cast<int>(job.aTicked.size()));
  layout = pages.GetLayout();
  job.nLinesPerPage =
      GraphKeyLinesPerPage(layout.nPrintableHeight, layout.nLineHeight, layout.nHeaderLines, layout.nFooterLines);
  job.nPages = GraphPrintPageCount(static_cast<int>(job.aTicked.size()), job.nLinesPerPage);
  job.nKeyPages = job.nPages;
  PrepareStatistics(printer, frame, job);
  return job;
}

std::string Joined(const std::vector<std::string>& aCells) {
  std::string str;
  for (size_t k = 0; k < aCells.size(); ++k) {
    if (k) str += '\t';
    str += aCells[k];
  }
  return str;
}

int ScreenDpi() {
  const QScreen* pScreen = QGuiApplication::primaryScreen();
  return pScreen ? std::max(1, qRound(pScreen->logicalDotsPerInch())) : 96;
}

void PrintGraphPage(QCPPainter& painter, CGraphControl& control, const sPrintLayout& layout, QPrinter& printer) {
  const int nTop = layout.nHeaderLines * layout.nLineHeight;
  const int nHeight = layout.nPrintableHeight - (layout.nHeaderLines + layout.nFooterLines) * layout.nLineHeight;
  if (nHeight <= 0 || layout.nPrintableWidth <= 0) return;
  // Drawn at screen size and scaled up, so that texts and lines keep their
  // proportions on paper; the plot area on white.
  const int nScreenDpi = ScreenDpi();
  const double dScale = static_cast<double>(printer.logicalDpiX()) / nScreenDpi;
  const QColor background = control.GetPlotAreaColour();
  control.SetPlotAreaColour(Qt::white);
  painter.save();
  painter.translate(0, nTop);
  painter.scale(dScale, dScale);
  control.RenderAtScreenSize(painter, qRound(layout.nPrintableWidth / dScale), qRound(nHeight / dScale), nScreenDpi);
  painter.restore();
  control.SetPlotAreaColour(background);
}

void PrintKeyPage(QCPPainter& painter, const CPagePrinter& pages, const sGraphJob& job, int nPage, bool bColour) {
  const sPrintLayout& layout = pages.GetLayout();
  const int lh = layout.nLineHeight;
  int y = (layout.nHeaderLines + 1) * lh;
  pages.DrawTabbedLine(painter, y, Joined(job.table.aTitles));
  y += lh;
  painter.drawLine(QLineF(0, y - 1, layout.nPrintableWidth, y - 1));
  y += lh / 2;
  const size_t nFrom = static_cast<size_t>(nPage - 2) * static_cast<size_t>(job.nLinesPerPage);
  for (size_t i = nFrom; i < job.aTicked.size() && i < nFrom + static_cast<size_t>(job.nLinesPerPage); ++i) {
    const int r = job.aTicked[i];
    painter.save();
    // Each channel in its own curve colour (a hidden row does not shift the colours).
    if (bColour)
      painter.setPen(ColourFromRef(GetDisplayColour(GetChannelColourIndex(job.table.aChannels[static_cast<size_t>(r)]))));
    pages.DrawTabbedLine(painter, y, Joined(job.table.aRows[static_cast<size_t>(r)]));
    painter.restore();
    y += lh;
  }
}

void PrintStatisticsPage(QCPPainter& painter, QPrinter& printer, const sGraphJob& job, int nPage) {
  const CPagePrinter pages(printer, job.aStatsPositions, static_cast<int>(job.aStatsRows.size()));
  pages.BeginPage(painter);
  const int lh = pages.GetLayout().nLineHeight;
  int y = (pages.GetLayout().nHeaderLines + 1) * lh;
  pages.DrawTabbedLine(painter, y, "Statistics");
  y += lh;
  pages.DrawTabbedLine(painter, y, job.strStatsTitles);
  y += lh;
  painter.drawLine(QLineF(0, y - 1, pages.GetLayout().nPrintableWidth, y - 1));
  y += lh / 2;
  const size_t nFrom = static_cast<size_t>(nPage - job.nKeyPages - 1) * static_cast<size_t>(job.nStatsLinesPerPage);
  for (size_t i = nFrom; i < job.aStatsRows.size() && i < nFrom + static_cast<size_t>(job.nStatsLinesPerPage); ++i) {
    pages.DrawTabbedLine(painter, y, job.aStatsRows[i]);
    y += lh;
  }
}

} // namespace

int GetGraphPrintPageCount(QPrinter& printer, const CHistFrame& frame) {
  sPrintLayout layout;
  return PrepareJob(printer, frame, layout).nPages;
}

bool PrintGraphPages(QPrinter& printer, CGraphControl& control, const CHistFrame& frame) {
  sPrintLayout layout;
  const sGraphJob job = PrepareJob(printer, frame, layout);
  // A key whose mark cells cannot be read is not printed as if it were whole.
  if (!job.table.strReadError.empty()) throw CZK7Exception(CZK7Exception::FILE_ERROR, job.table.strReadError);
  const CPagePrinter pages(printer, job.aPositions, static_cast<int>(job.aTicked.size()));
  int nFrom = 1, nTo = job.nPages;
  if (printer.printRange() == QPrinter::PageRange && printer.fromPage() > 0) {
    nFrom = std::max(1, printer.fromPage());
    nTo = std::min(job.nPages, printer.toPage() > 0 ? printer.toPage() : job.nPages);
  }
  QCPPainter painter;
  if (!painter.begin(&printer)) return false;
  const bool bColour = printer.colorMode() == QPrinter::Color;
  const std::string strElement = frame.GetTitle().toUtf8().toStdString();
  for (int nPage = nFrom; nPage <= nTo; ++nPage) {
    if (nPage > nFrom) printer.newPage();
    pages.BeginPage(painter);
    CPagePrinter::DrawHeaderFooter(painter, strElement, nPage, job.nPages, layout.nPrintableWidth,
                                   layout.nPrintableHeight, layout.nLineHeight);
    if (nPage == 1)
      PrintGraphPage(painter, control, layout, printer);
    else if (nPage <= job.nKeyPages)
      PrintKeyPage(painter, pages, job, nPage, bColour);
    else
      PrintStatisticsPage(painter, printer, job, nPage);
  }
  painter.end();
  return true;
}

bool PrintGraphWithDialog(QWidget* pParent, CGraphControl& control, const CHistFrame& frame) {
  QPrinter printer(QPrinter::HighResolution);
  QPrintDialog dlg(&printer, pParent);
  dlg.setMinMax(1, GetGraphPrintPageCount(printer, frame));
  if (dlg.exec() != QDialog::Accepted) return false;
  return PrintGraphPages(printer, control, frame);
}

void PreviewGraph(QWidget* pParent, CGraphControl& control, const CHistFrame& frame) {
  QPrinter printer(QPrinter::HighResolution);
  QPrintPreviewDialog dlg(&printer, pParent);
  // The preview draws again at each zoom: a read failure is told once.
  bool bTold = false;
  QObject::connect(&dlg, &QPrintPreviewDialog::paintRequested, &dlg, [&](QPrinter* p) {
    try {
      PrintGraphPages(*p, control, frame);
    } catch (const CZK7Exception& e) {
      if (!std::exchange(bTold, true))
        QMessageBox::warning(&dlg, QString::fromLatin1(LoadString(IDS_APP_TITLE)), QString::fromLatin1(e.GetText()));
    }
  });
  dlg.exec();
}

QMimeData* MakeGraphMimeData(CGraphControl& control) {
  const int w = std::max(1, control.width()), h = std::max(1, control.height());
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  image.fill(Qt::white);
  {
    QCPPainter painter(&image);
    control.RenderTo(painter, w, h);
  }
  const QByteArray svg = GraphSvg(control, {}, w, h);
  auto* pData = new QMimeData;
  pData->setImageData(image);
  pData->setData(QStringLiteral("image/svg+xml"), svg);
  return pData;
}

} // namespace zk7
