// The graph pane's cursor, scale and period tools.
#include <QApplication>
#include <QClipboard>
#include <QMessageBox>
#include <QTimer>

#include "app/CommandIds.h"
#include "format/Formatting.h"
#include "history/GraphCursors.h"
#include "history/GraphPrintout.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "history/HistViewState.h"
#include "history/graph/GraphControl.h"
#include "history/graph/GraphCursor.h"
#include "results/ZK7Doc.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

CGraphControl::eAxis ScaleAxis(int nAxis) {
  return nAxis == 1 ? CGraphControl::AXIS_X : nAxis == 3 ? CGraphControl::AXIS_Y2 : CGraphControl::AXIS_Y1;
}

void ReportWrongDateFormat(QWidget* pParent, eToolResult e) {
  if (e == TOOL_WRONG_FORMAT)
    QMessageBox::warning(pParent, QString::fromLatin1(LoadString(IDS_APP_TITLE)),
                         QString::fromLatin1(LoadString(IDS_WRONG_DATE_FORMAT)));
}

} // namespace

double CHistGraph::GetCursorX(int n) const { return m_pControl->Cursor(n).GetX() + m_dTimeBase; }
double CHistGraph::GetCursorY(int n) const { return m_pControl->Cursor(n).GetY(); }

void CHistGraph::RefreshCursorTexts(int n) {
  sHistViewState& st = State();
  sCursorState& cs = st.m_aCursors[n - 1];
  const CGraphCursor& c = m_pControl->Cursor(n);
  cs.m_strX = FormatCursorX(c.GetX() + m_dTimeBase, m_nXChannel >= 0, st.m_bShowFraction, st.m_nFractionDigits);
  cs.m_strY = FormatCursorY(c.GetY());
}

void CHistGraph::ShowCursor(int n) {
  sHistViewState& st = State();
  if (st.m_aCursors[n - 1].m_bShown) {
    CGraphControl::eAxis eY = CGraphControl::AXIS_Y1;
    if (!m_pControl->IsAxisShown(CGraphControl::AXIS_Y1)) eY = CGraphControl::AXIS_Y2;
    double y = 0;
    if (m_pControl->IsAxisShown(eY)) {
      double dMin, dMax;
      m_pControl->GetAxisRange(eY, dMin, dMax);
      y = (dMin + dMax) / 2;
    }
    double dXMin, dXMax;
    m_pControl->GetAxisRange(CGraphControl::AXIS_X, dXMin, dXMax);
    CGraphCursor& c = m_pControl->Cursor(n);
    c.SetValueAxis(m_pControl->Axis(eY));
    c.SetPosition(n == 1 ? dXMin : dXMax, y);
    m_nActiveCursor = n;
    m_pControl->setFocus(Qt::OtherFocusReason);
  } else {
    m_nActiveCursor = 0;
  }
  RefreshGraphState();
}

void CHistGraph::OnCursorChange(int nIndex, double, double) {
  if (nIndex == 1 || nIndex == 2) {
    m_nActiveCursor = nIndex;
    RefreshCursorTexts(nIndex);
  } else {
    m_nActiveCursor = 0;
  }
  UpdateDelta();
  emit toolStateChanged();
}

void CHistGraph::UpdateDelta() {
  sHistViewState& st = State();
  if (st.m_aCursors[0].m_bShown && st.m_aCursors[1].m_bShown) {
    const CGraphCursor& c1 = m_pControl->Cursor(1);
    const CGraphCursor& c2 = m_pControl->Cursor(2);
    st.m_strDeltaX = FormatDeltaX(c2.GetX() - c1.GetX(), m_nXChannel >= 0, st.m_bShowFraction, st.m_nFractionDigits);
    st.m_strDeltaY = FormatCursorY(c2.GetY() - c1.GetY());
  } else {
    st.m_strDeltaX.clear();
    st.m_strDeltaY.clear();
  }
  emit toolStateChanged();
}

void CHistGraph::MoveCursorByKey(int nKey, bool bCtrl) {
  const int n = m_nActiveCursor == 1 ? 1 : 2;
  CGraphCursor& c = m_pControl->Cursor(n);
  if (!c.IsVisible()) return;
  sHistViewState& st = State();
  if (c.m_nPlot >= 0) {
    const sLockedMove m = MoveLockedCursor(nKey, c.m_nPoint, m_points.GetPointCount());
    switch (m.m_eKind) {
      case sLockedMove::NONE: return;
      case sLockedMove::TO_POINT:
      case sLockedMove::TO_AXIS_END: m_pControl->SetCursorPoint(n, c.m_nPlot, m.m_nPoint); break;
      case sLockedMove::PREVIOUS_CHANNEL:
      case sLockedMove::NEXT_CHANNEL: {
        int& nChoice = st.m_aCursors[n - 1].m_nChannelChoice;
        nChoice = StepChannelChoice(nChoice, static_cast<int>(st.m_aCursorChannels.size()),
                                    m.m_eKind == sLockedMove::PREVIOUS_CHANNEL);
        RefreshGraphState();
        return;
      }
    }
  } else {
    sAxisBox box;
    m_pControl->GetAxisRange(CGraphControl::AXIS_X, box.dXMin, box.dXMax);
    const CGraphControl::eAxis eY =
        m_pControl->IsAxisShown(CGraphControl::AXIS_Y1) ? CGraphControl::AXIS_Y1 : CGraphControl::AXIS_Y2;
    m_pControl->GetAxisRange(eY, box.dYMin, box.dYMax);
    const double dStepX = FreeCursorStep(box.dXMin, box.dXMax, m_pControl->GetPlotPixelWidth(), bCtrl);
    const double dStepY = FreeCursorStep(box.dYMin, box.dYMax, m_pControl->GetPlotPixelHeight(), bCtrl);
    double x = c.GetX(), y = c.GetY();
    if (!MoveFreeCursor(nKey, x, y, box, dStepX, dStepY)) return;
    c.SetPosition(x, y);
  }
  RefreshCursorTexts(n);
  UpdateDelta();
  Replot();
}

void CHistGraph::PlaceCursor(int n, double dX) {
  CGraphCursor& c = m_pControl->Cursor(n);
  c.m_nPoint = -1;
  c.SetPosition(dX - m_dTimeBase, c.GetY());
  m_nActiveCursor = n;
  RefreshGraphState();
}

void CHistGraph::ApplyScaleText(int nAxis) {
  const sScalesToolState& sc = State().m_scales;
  const std::string& strMin = nAxis == 1 ? sc.m_strXMin : nAxis == 3 ? sc.m_strY2Min : sc.m_strY1Min;
  const std::string& strMax = nAxis == 1 ? sc.m_strXMax : nAxis == 3 ? sc.m_strY2Max : sc.m_strY1Max;
  const CGraphControl::eAxis e = ScaleAxis(nAxis);
  m_pControl->SetAutoScale(e, false);
  // An unreadable limit reads as the lowest double: the plot refuses that
  // range and keeps its own, which the texts then show again.
  m_pControl->SetAxisRange(e, ParseScaleLimit(strMin), ParseScaleLimit(strMax));
  RefreshGraphState();
}

void CHistGraph::AutoScale(int nAxis) {
  if (nAxis == 1) {
    SetTimeAxisRange(false);
  } else {
    const CGraphControl::eAxis e = ScaleAxis(nAxis);
    m_pControl->SetAutoScale(e, true);
    m_pControl->RescaleNow(e);
  }
  RefreshGraphState();
}

void CHistGraph::ApplyFixedDate() {
  sHistoryPeriod p = Period();
  const eToolResult e = zk7::ApplyFixedDate(State().m_scales, p);
  ReportWrongDateFormat(this, e);
  if (e != TOOL_APPLIED) return;
  StorePeriod(p);
  RebuildGraph();
  SetFixedTo(true);
}

void CHistGraph::ApplyHistoryLength() {
  sHistoryPeriod p = Period();
  const eToolResult e = zk7::ApplyHistoryLength(State().m_scales, p);
  ReportWrongDateFormat(this, e);
  if (e != TOOL_APPLIED) return;
  StorePeriod(p);
  RebuildGraph();
  SetFixedTo(true);
}

void CHistGraph::FileGlobalView() {
  const bool bFixed = State().m_scales.m_bFixedTo;
  SetFixedTo(false);
  double dFirst, dLast;
  Doc().GetTimeRange(dFirst, dLast);
  StorePeriod({dFirst, dLast});
  SetFixedTo(bFixed);
  QTimer::singleShot(0, &m_frame, [f = &m_frame] { f->OnCommand(ID_REFRESH); });
}

void CHistGraph::HistoricalGlobalView() {
  sScalesToolState& sc = State().m_scales;
  const bool bFixed = sc.m_bFixedTo;
  SetFixedTo(false);
  SetTimeAxisRange(false);
  if (sc.m_bY1Manual) {
    m_pControl->SetAutoScale(CGraphControl::AXIS_Y1, false);
    m_pControl->SetAxisRange(CGraphControl::AXIS_Y1, ParseScaleLimit(sc.m_strY1Min), ParseScaleLimit(sc.m_strY1Max));
  } else {
    m_pControl->RescaleNow(CGraphControl::AXIS_Y1);
    m_pControl->RescaleNow(CGraphControl::AXIS_Y2);
  }
  SetFixedTo(bFixed);
  RefreshGraphState();
  RecordView();
}

void CHistGraph::DefineHistoryFromCursors() {
  if (m_nXChannel >= 0) return;
  // Whichever cursor is on the left starts the period.
  const sHistoryPeriod p = PeriodFromCursors(GetCursorX(1), GetCursorX(2));
  // Both cursors at one time give no period: the axis would have no length.
  if (!(p.dEnd > p.dStart)) {
    QApplication::beep();
    return;
  }
  SetHistoryPeriod(p.dStart, p.dEnd, false);
}

void CHistGraph::AddFixedMark() {
  if (m_nActiveCursor != 1 && m_nActiveCursor != 2) return;
  State().m_aFixedMarks.push_back(Doc().FindRecordByTime(GetCursorX(m_nActiveCursor)));
  emit fixedMarksChanged();
  DrawFixedMarks();
}

void CHistGraph::EraseFixedMarks() {
  State().m_aFixedMarks.clear();
  emit fixedMarksChanged();
  DrawFixedMarks();
}

long CHistGraph::CopyGraphToClipboard() {
  constexpr long FAILED = static_cast<long>(0x80004005L);
  QClipboard* pClipboard = QApplication::clipboard();
  if (!pClipboard) return FAILED;
  pClipboard->setMimeData(MakeGraphMimeData(*m_pControl));
  return 0;
}

void CHistGraph::PrintGraph() { PrintGraphWithDialog(this, *m_pControl, m_frame); }

void CHistGraph::PrintPreviewGraph() { PreviewGraph(this, *m_pControl, m_frame); }

} // namespace zk7
