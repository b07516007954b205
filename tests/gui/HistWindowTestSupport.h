// Results-window fixtures of the GUI tests: small files with known times,
// values, offsets and errors, sample files, and a window on one of them.
#pragma once
#include <QtPrintSupport>

#include <filesystem>

#include "ModalAnswerer.h"
#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "app/CommandIds.h"
#include "format/Formatting.h"
#include "format/RegionalSettings.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "history/HistLegend.h"
#include "history/HistList.h"
#include "history/HistListModel.h"
#include "history/graph/GraphControl.h"
#include "history/graph/GraphCursor.h"
#include "results/ZK7Doc.h"
#include "samples/SampleWriter.h"
#include "ui/CommandTarget.h"

namespace zk7 {

inline constexpr uint32_t NEW_YEAR_2026 = 1767225600u;  // 2026-01-01 00:00:00 UTC

// Records one second apart from nBase; channel "T1" (°C, 1 decimal) = 20 + i/2
// with offset 0, "N" = i with offset +12 ms, "P" (kW, 3 decimals) = 1.5 with
// offset -7 ms and error 12 on record 2.
inline void WriteTestResults(const std::string& strPath, int nRecords, uint32_t nBase = NEW_YEAR_2026,
                             int nChannels = 3) {
  CResultsFileBuilder::HistoryFile(nRecords, nBase, nChannels).WriteTo(strPath);
}

// A file of the sample writer, written once per path.
inline std::string WriteSample(const std::string& strPath, int nChannels, int nRecords, int nPeriodMs = 1000) {
  const sSampleSpec spec{.nChannels = nChannels, .nRecords = nRecords, .nPeriodMs = nPeriodMs};
  if (!std::filesystem::exists(strPath) && !CSampleWriter(spec).WriteFile(strPath)) qFatal("cannot write %s", strPath.c_str());
  return strPath;
}

// A printer into a PDF file on A4.
inline void PrintToPdf(QPrinter& printer, const std::string& strPdf) {
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setPageSize(QPageSize(QPageSize::A4));
  printer.setOutputFileName(QString::fromStdString(strPdf));
}

// A results window with its three panes, shown offscreen, after the first display.
struct sHistWindow {
  std::unique_ptr<CHistFrame> pFrame;
  CHistList* pList = nullptr;
  CHistLegend* pKey = nullptr;
  CHistGraph* pGraph = nullptr;

  explicit sHistWindow(const std::string& strPath) {
    auto pDoc = std::make_shared<CZK7Doc>();
    if (!pDoc->OnOpenDocument(strPath)) qFatal("cannot open %s", strPath.c_str());
    pFrame = std::make_unique<CHistFrame>(pDoc);
    pFrame->resize(1100, 700);
    pFrame->show();
    pFrame->InitialUpdate();
    pList = qobject_cast<CHistList*>(pFrame->GetListPane());
    pKey = qobject_cast<CHistLegend*>(pFrame->GetKeyPane());
    pGraph = pFrame->GetHistGraph();
    if (!pList || !pKey || !pGraph) qFatal("a pane is missing");
    QApplication::processEvents();
    pGraph->GetControl()->replot();
  }
  sHistViewState& State() const { return pFrame->GetViewState(); }
  // The period shown, and the graph's first record and number of points.
  std::pair<double, double> Period() const { return {State().m_dHistoryStart, State().m_dHistoryEnd}; }
  std::pair<int, int> Points() const { return {pGraph->GetPoints().GetFirstRecord(), pGraph->GetPoints().GetPointCount()}; }
  CGraphControl& Control() const { return *pGraph->GetControl(); }
  bool Enabled(unsigned nId) const {
    sCommandState st;
    pFrame->OnUpdateCommand(nId, st);
    return st.m_bEnabled;
  }
  // Cursor n shown (free or locked to a channel choice) where the graph puts it.
  void ShowCursor(int n, bool bLocked = false, int nChoice = 0) const {
    sCursorState& cursor = State().m_aCursors[n - 1];
    std::tie(cursor.m_bShown, cursor.m_bLocked, cursor.m_nChannelChoice) = std::tuple(true, bLocked, nChoice);
    pGraph->ShowCursor(n);
  }
  CZK7Doc& Doc() const { return pFrame->GetDocument(); }
  QTableView* Table() const { return pList->GetTable(); }
  // The list's header titles, as shown.
  QStringList Titles() const {
    QStringList a;
    for (int c = 0; c < Table()->model()->columnCount(); ++c)
      a << Table()->model()->headerData(c, Qt::Horizontal).toString();
    return a;
  }
  // The text the list shows for a record (which must be on screen).
  QString Cell(int nRecord, int nColumn) const {
    auto* pModel = pList->GetModel();
    return pModel->data(pModel->index(nRecord - pModel->GetTop(), nColumn)).toString();
  }
  // Cursor n shown and locked at the time of record r (channel 0).
  void PlaceCursor(int n, int nRecord, bool bLocked = true) const {
    std::tie(State().m_aCursors[n - 1].m_bShown, State().m_aCursors[n - 1].m_bLocked) = std::tuple(true, bLocked);
    pGraph->PlaceCursor(n, Doc().GetRecordTime(nRecord, 0));
    pList->RefreshMarkers();
  }
};

// A left-button drag from a to b with the modifiers held, as the window system sends it.
inline void Drag(QWidget* w, QPoint a, QPoint b, Qt::KeyboardModifiers mods) {
  auto send = [w, mods](QEvent::Type t, QPoint p, Qt::MouseButtons buttons) {
    QMouseEvent e(t, QPointF(p), w->mapToGlobal(QPointF(p)), Qt::LeftButton, buttons, mods);
    QApplication::sendEvent(w, &e);
  };
  send(QEvent::MouseButtonPress, a, Qt::LeftButton);
  for (int i = 1; i <= 4; ++i) send(QEvent::MouseMove, a + (b - a) * i / 4, Qt::LeftButton);
  send(QEvent::MouseButtonRelease, b, Qt::NoButton);
}

// A wheel turn of nDelta at a point with the modifiers held.
inline void Wheel(QWidget* w, QPoint at, int nDelta, Qt::KeyboardModifiers mods) {
  QWheelEvent e(QPointF(at), w->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, nDelta), Qt::NoButton, mods, Qt::NoScrollPhase, false);
  QApplication::sendEvent(w, &e);
}

} // namespace zk7
