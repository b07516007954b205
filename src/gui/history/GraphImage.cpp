// Graph images: the drawing with its legend, and the three file formats.
#include "history/GraphImage.h"

#include <QBuffer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QGuiApplication>
#include <QImage>
#include <QMessageBox>
#include <QPdfWriter>
#include <QSaveFile>
#include <QScreen>
#include <QSpinBox>
#include <QSvgGenerator>

#include <algorithm>

#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "history/graph/GraphControl.h"
#include "results/ZK7Doc.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

constexpr int LEGEND_PADDING = 6;
constexpr int LEGEND_SAMPLE = 22;  // the length of the line before a name
constexpr int LEGEND_GAP = 16;     // between two entries

int ScreenDpi() {
  const QScreen* pScreen = QGuiApplication::primaryScreen();
  return pScreen ? std::max(1, qRound(pScreen->logicalDotsPerInch())) : 96;
}

struct sLegendPlace {
  int nX, nRow;
};

// Entries flow left to right and wrap; returns the number of rows.
int LayOutLegend(const QFontMetrics& fm, const std::vector<sGraphLegendEntry>& aLegend, int nWidth,
                 std::vector<sLegendPlace>& aPlaces) {
  aPlaces.clear();
  int x = LEGEND_PADDING, nRow = 0;
  for (const sGraphLegendEntry& e : aLegend) {
    const int nEntry = LEGEND_SAMPLE + 4 + fm.horizontalAdvance(e.strText);
    if (x > LEGEND_PADDING && x + nEntry > nWidth - LEGEND_PADDING) {
      x = LEGEND_PADDING;
      ++nRow;
    }
    aPlaces.push_back({x, nRow});
    x += nEntry + LEGEND_GAP;
  }
  return aLegend.empty() ? 0 : nRow + 1;
}

QByteArray WritePng(CGraphControl& control, const std::vector<sGraphLegendEntry>& aLegend, int w, int h) {
  QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
  if (image.isNull()) return {};
  image.fill(Qt::white);
  {
    QCPPainter painter(&image);
    RenderGraphImage(painter, control, aLegend, w, h);
  }
  QByteArray png;
  QBuffer buffer(&png);
  buffer.open(QIODevice::WriteOnly);
  if (!image.save(&buffer, "PNG")) return {};
  return png;
}

// Draws the image as vectors onto a PDF or SVG device; false when it cannot be painted on.
bool RenderVectorized(QPaintDevice& device, CGraphControl& control, const std::vector<sGraphLegendEntry>& aLegend,
                      int w, int h) {
  QCPPainter painter;
  if (!painter.begin(&device)) return false;
  painter.setMode(QCPPainter::pmVectorized);
  painter.setMode(QCPPainter::pmNoCaching);
  RenderGraphImage(painter, control, aLegend, w, h);
  painter.end();
  return true;
}

QByteArray WritePdf(CGraphControl& control, const std::vector<sGraphLegendEntry>& aLegend, int w, int h) {
  QByteArray pdf;
  QBuffer buffer(&pdf);
  buffer.open(QIODevice::WriteOnly);
  {
    // One page of the image's size at the screen's resolution: the texts and
    // lines keep the proportions they have in the window.
    const int nDpi = ScreenDpi();
    QPdfWriter writer(&buffer);
    writer.setResolution(nDpi);
    writer.setPageSize(QPageSize(QSizeF(w * 72.0 / nDpi, h * 72.0 / nDpi), QPageSize::Point));
    writer.setPageMargins(QMarginsF(0, 0, 0, 0));
    writer.setTitle(QStringLiteral("Graph"));
    if (!RenderVectorized(writer, control, aLegend, w, h)) return {};
  }
  return pdf;
}

} // namespace

eGraphImageFormat GraphImageFormatOf(const QString& strPath) {
  const QString strSuffix = QFileInfo(strPath).suffix().toLower();
  if (strSuffix == QLatin1String("png")) return GRAPH_IMAGE_PNG;
  if (strSuffix == QLatin1String("svg")) return GRAPH_IMAGE_SVG;
  if (strSuffix == QLatin1String("pdf")) return GRAPH_IMAGE_PDF;
  return GRAPH_IMAGE_NONE;
}

std::vector<sGraphLegendEntry> GraphLegendEntries(const CHistFrame& frame) {
  std::vector<sGraphLegendEntry> aLegend;
  const CHistGraph* pGraph = frame.GetHistGraph();
  if (!pGraph) return aLegend;
  const CGraphControl& control = *pGraph->GetControl();
  const CZK7Doc& doc = frame.GetDocument();
  // Plot c carries channel c.
  for (int c = 0; c < control.GetPlotCount() && c < doc.GetChannelCount(); ++c) {
    const CGraphControl::eAxis eOn = control.GetPlotAxis(c);
    if (!control.IsPlotShown(c) || (eOn != CGraphControl::AXIS_Y1 && eOn != CGraphControl::AXIS_Y2)) continue;
    QString strText = QString::number(c + 1) + QLatin1Char(' ') + QString::fromLatin1(doc.GetChannelName(c));
    const std::string strUnit = doc.GetChannelUnit(c);
    if (!strUnit.empty()) strText += QLatin1String(" (") + QString::fromLatin1(strUnit) + QLatin1Char(')');
    if (eOn == CGraphControl::AXIS_Y2) strText += QLatin1String(" [Y2]");
    aLegend.push_back({strText, control.GetPlotColour(c)});
  }
  return aLegend;
}

void RenderGraphImage(QCPPainter& painter, CGraphControl& control, const std::vector<sGraphLegendEntry>& aLegend,
                      int nWidth, int nHeight) {
  int nLegendHeight = 0;
  std::vector<sLegendPlace> aPlaces;
  QFont font = control.font();
  painter.setFont(font);
  const QFontMetrics fm = painter.fontMetrics();
  const int nLine = fm.height() + 2;
  if (!aLegend.empty()) {
    const int nRows = LayOutLegend(fm, aLegend, nWidth, aPlaces);
    // The graph keeps at least half of the height; rows beyond are cut.
    nLegendHeight = std::min(nRows * nLine + 2 * LEGEND_PADDING, nHeight / 2);
  }
  const int nGraphHeight = nHeight - nLegendHeight;
  painter.save();
  control.RenderTo(painter, nWidth, nGraphHeight);
  painter.restore();
  if (nLegendHeight == 0) return;
  painter.save();
  painter.setClipRect(QRect(0, nGraphHeight, nWidth, nLegendHeight));
  painter.fillRect(QRect(0, nGraphHeight, nWidth, nLegendHeight), Qt::white);
  painter.setFont(font);
  for (size_t i = 0; i < aLegend.size(); ++i) {
    const int yTop = nGraphHeight + LEGEND_PADDING + aPlaces[i].nRow * nLine;
    const int yMid = yTop + nLine / 2;
    painter.setPen(QPen(aLegend[i].colour, 2));
    painter.drawLine(QLineF(aPlaces[i].nX, yMid, aPlaces[i].nX + LEGEND_SAMPLE, yMid));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(aPlaces[i].nX + LEGEND_SAMPLE + 4, yTop, nWidth, nLine), Qt::AlignLeft | Qt::AlignVCenter,
                     aLegend[i].strText);
  }
  painter.restore();
}

QByteArray GraphSvg(CGraphControl& control, const std::vector<sGraphLegendEntry>& aLegend, int nWidth, int nHeight) {
  QByteArray svg;
  QBuffer buffer(&svg);
  buffer.open(QIODevice::WriteOnly);
  QSvgGenerator generator;
  generator.setOutputDevice(&buffer);
  generator.setSize(QSize(nWidth, nHeight));
  generator.setViewBox(QRect(0, 0, nWidth, nHeight));
  // Its size in millimetres is that of the pixels on the screen.
  generator.setResolution(ScreenDpi());
  generator.setTitle(QStringLiteral("Graph"));
  if (!RenderVectorized(generator, control, aLegend, nWidth, nHeight)) return {};
  return svg;
}

bool SaveGraphImage(const CHistFrame& frame, const QString& strPath, int nWidth, int nHeight, QString& strError) {
  const eGraphImageFormat eFormat = GraphImageFormatOf(strPath);
  if (eFormat == GRAPH_IMAGE_NONE) {
    strError = QStringLiteral("%1: the image must be a .png, .svg or .pdf file").arg(strPath);
    return false;
  }
  if (nWidth < GRAPH_IMAGE_MIN_SIDE || nWidth > GRAPH_IMAGE_MAX_SIDE || nHeight < GRAPH_IMAGE_MIN_SIDE ||
      nHeight > GRAPH_IMAGE_MAX_SIDE) {
    strError = QStringLiteral("The image size must be %1 to %2 pixels a side")
                   .arg(GRAPH_IMAGE_MIN_SIDE)
                   .arg(GRAPH_IMAGE_MAX_SIDE);
    return false;
  }
  CHistGraph* pGraph = frame.GetHistGraph();
  if (!pGraph) {
    strError = QStringLiteral("The window has no graph");
    return false;
  }
  CGraphControl& control = *pGraph->GetControl();
  const std::vector<sGraphLegendEntry> aLegend = GraphLegendEntries(frame);
  const QByteArray data = eFormat == GRAPH_IMAGE_PNG   ? WritePng(control, aLegend, nWidth, nHeight)
                          : eFormat == GRAPH_IMAGE_SVG ? GraphSvg(control, aLegend, nWidth, nHeight)
                                                       : WritePdf(control, aLegend, nWidth, nHeight);
  if (data.isEmpty()) {
    strError = QStringLiteral("%1: the image could not be drawn").arg(strPath);
    return false;
  }
  QSaveFile file(strPath);
  if (!file.open(QIODevice::WriteOnly) || file.write(data) != data.size() || !file.commit()) {
    strError = QStringLiteral("%1: %2").arg(strPath, file.errorString());
    return false;
  }
  return true;
}

void RunSaveGraphAsCommand(CHistFrame& frame) {
  CHistGraph* pGraph = frame.GetHistGraph();
  if (!pGraph) return;
  const QString strTitle = QString::fromLatin1(LoadString(IDS_APP_TITLE));
  QString strFilter = QStringLiteral("PNG image (*.png)");
  QString strPath = QFileDialog::getSaveFileName(
      &frame, QStringLiteral("Save Graph As"), QFileInfo(frame.GetTitle()).completeBaseName() + QStringLiteral(".png"),
      QStringLiteral("PNG image (*.png);;SVG drawing (*.svg);;PDF document (*.pdf)"), &strFilter);
  if (strPath.isEmpty()) return;
  if (GraphImageFormatOf(strPath) == GRAPH_IMAGE_NONE)
    strPath += strFilter.contains(QLatin1String("svg"))   ? QStringLiteral(".svg")
               : strFilter.contains(QLatin1String("pdf")) ? QStringLiteral(".pdf")
                                                          : QStringLiteral(".png");

  // The size, the graph's own on screen unless the user asks for another.
  QDialog dlg(&frame);
  dlg.setWindowTitle(QStringLiteral("Image Size"));
  auto* pForm = new QFormLayout(&dlg);
  auto makeBox = [&dlg](int nValue) {
    auto* pBox = new QSpinBox(&dlg);
    pBox->setRange(GRAPH_IMAGE_MIN_SIDE, GRAPH_IMAGE_MAX_SIDE);
    pBox->setSuffix(QStringLiteral(" px"));
    pBox->setValue(nValue);
    return pBox;
  };
  const CGraphControl& control = *pGraph->GetControl();
  QSpinBox* pWidth = makeBox(std::max(GRAPH_IMAGE_MIN_SIDE, control.width()));
  QSpinBox* pHeight = makeBox(std::max(GRAPH_IMAGE_MIN_SIDE, control.height()));
  pWidth->setObjectName(QStringLiteral("imageWidth"));
  pHeight->setObjectName(QStringLiteral("imageHeight"));
  pForm->addRow(QStringLiteral("Width:"), pWidth);
  pForm->addRow(QStringLiteral("Height:"), pHeight);
  auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dlg);
  QObject::connect(pButtons, &QDialogButtonBox::accepted, &dlg, &QDialog::accept);
  QObject::connect(pButtons, &QDialogButtonBox::rejected, &dlg, &QDialog::reject);
  pForm->addRow(pButtons);
  if (dlg.exec() != QDialog::Accepted) return;

  QString strError;
  if (!SaveGraphImage(frame, strPath, pWidth->value(), pHeight->value(), strError))
    QMessageBox::warning(&frame, strTitle, strError);
}

} // namespace zk7
