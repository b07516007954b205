// The graph as an image file (PNG, SVG or PDF) with a legend of the displayed
// channels in their curve colours: what "Save Graph As..." and zk7-cli plot
// write, drawn by the same code so that both give the same picture.
#pragma once
#include <QByteArray>
#include <QColor>
#include <QString>

#include <vector>

class QCPPainter;
class QWidget;

namespace zk7 {

class CGraphControl;
class CHistFrame;

struct sGraphLegendEntry {
  QString strText;
  QColor colour;
};

enum eGraphImageFormat { GRAPH_IMAGE_NONE, GRAPH_IMAGE_PNG, GRAPH_IMAGE_SVG, GRAPH_IMAGE_PDF };
// The format a file name asks for by its extension (any case); NONE for others.
eGraphImageFormat GraphImageFormatOf(const QString& strPath);

// Image sizes we accept, in pixels per side: beyond them a PNG would need
// gigabytes of memory.
inline constexpr int GRAPH_IMAGE_MIN_SIDE = 50;
inline constexpr int GRAPH_IMAGE_MAX_SIDE = 20000;

// The shown channels of the graph (on Y1 or Y2), in channel order: number,
// name and unit in the curve's colour.
std::vector<sGraphLegendEntry> GraphLegendEntries(const CHistFrame& frame);

// Draws the graph into the painter at nWidth x nHeight logical pixels, with
// the legend in a strip under it (no strip for an empty legend).
void RenderGraphImage(QCPPainter& painter, CGraphControl& control, const std::vector<sGraphLegendEntry>& aLegend,
                      int nWidth, int nHeight);
// The drawing as an SVG document, or as a PDF page of nWidth x nHeight pixels
// at the screen's resolution.
QByteArray GraphSvg(CGraphControl& control, const std::vector<sGraphLegendEntry>& aLegend, int nWidth, int nHeight);

// Writes the graph of the window to strPath in the format of its extension.
// The file is replaced only once the whole image is written. False with the
// reason in strError (an unknown extension, a size out of range, a write failure).
bool SaveGraphImage(const CHistFrame& frame, const QString& strPath, int nWidth, int nHeight, QString& strError);

// File > Save Graph As...: the file and size dialogs, then the image.
void RunSaveGraphAsCommand(CHistFrame& frame);

} // namespace zk7
