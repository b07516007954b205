// The printout of the graph and its key (page 1 the graph on white, then the
// key table in the curve colours, header and footer on every page), and the
// graph's picture for the clipboard.
#pragma once
#include <string>

class QMimeData;
class QPrinter;
class QWidget;

namespace zk7 {

class CGraphControl;
class CHistFrame;

// Lays out the job on this printer: the number of pages.
int GetGraphPrintPageCount(QPrinter& printer, const CHistFrame& frame);
// Prints the pages of the printer's range (all when none is set); false when
// the printer cannot be opened.
bool PrintGraphPages(QPrinter& printer, CGraphControl& control, const CHistFrame& frame);
// The print dialog, then the print run.
bool PrintGraphWithDialog(QWidget* pParent, CGraphControl& control, const CHistFrame& frame);
void PreviewGraph(QWidget* pParent, CGraphControl& control, const CHistFrame& frame);

// The graph as a picture and as SVG ("image/svg+xml").
QMimeData* MakeGraphMimeData(CGraphControl& control);

} // namespace zk7
