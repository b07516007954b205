// The graph pane's zoom history, point tooltips, and the period that follows a
// growing file. Following appends: each second's new records are added to the
// envelope (CGraphPoints::Append reads only them) and the axis moves to the
// new period, so a file followed for hours costs a second's records a second,
// not a re-read of the period; the envelope's own budget bounds its memory.
// A jump too large to append without a wait dialog is a rebuild, with one.
#include "app/CommandIds.h"
#include "format/Formatting.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "history/GraphPeriod.h"
#include "history/HistViewState.h"
#include "history/graph/GraphControl.h"
#include "results/ZK7Doc.h"
#include "results/ZK7Exception.h"

namespace zk7 {

namespace {

// Holds the recording of views for the length of a scope.
struct sHold {
  int& n;
  explicit sHold(int& nCount) : n(nCount) { ++n; }
  ~sHold() { --n; }
};

// Beyond this many new records, following reads under the wait dialog.
constexpr int MAX_RECORDS_APPENDED_QUIETLY = 1000000;

} // namespace

void CHistGraph::FollowPeriod(const sHistoryPeriod& period) {
  StorePeriod(period);
  int nFirst = 0, nLast = -1;
  GetPlottedRecordRange(Doc(), period, nFirst, nLast);
  const int nPointsEnd = m_points.GetFirstRecord() + m_points.GetPointCount();
  if (m_points.IsEmpty() || m_nXChannel >= 0 || m_bRebuilding || nFirst < m_points.GetFirstRecord() ||
      nLast - nPointsEnd >= MAX_RECORDS_APPENDED_QUIETLY) {
    RebuildGraph();
    return;
  }
  // A read failure goes to the frame's command or growth check, which reports it.
  if (m_points.Append(Doc(), nLast) != CGraphPoints::LOAD_OK) {
    RebuildGraph();
    return;
  }
  m_pControl->SetPoints(&m_points);
  {
    // The view follows the file, not the user: no zoom-history entry.
    sHold hold(m_nViewRecordHold);
    HistoricalGlobalView();
  }
  Replot();
}

sGraphView CHistGraph::GetView() const {
  sGraphView v;
  v.dStart = State().m_dHistoryStart;
  v.dEnd = State().m_dHistoryEnd;
  const CGraphControl::eAxis aAxes[] = {CGraphControl::AXIS_X, CGraphControl::AXIS_Y1, CGraphControl::AXIS_Y2};
  for (size_t i = 0; i < 3; ++i) m_pControl->GetAxisRange(aAxes[i], v.aAxes[i].dMin, v.aAxes[i].dMax);
  return v;
}

void CHistGraph::RecordView() {
  if (m_nViewRecordHold == 0 && !m_points.IsEmpty()) m_zoomHistory.Record(GetView());
}

bool CHistGraph::ZoomBack() {
  sGraphView v;
  if (!m_zoomHistory.Back(v)) return false;
  ApplyView(v);
  return true;
}

bool CHistGraph::ZoomForward() {
  sGraphView v;
  if (!m_zoomHistory.Forward(v)) return false;
  ApplyView(v);
  return true;
}

void CHistGraph::ApplyView(const sGraphView& v) {
  sHold hold(m_nViewRecordHold);
  if (v.dStart != State().m_dHistoryStart || v.dEnd != State().m_dHistoryEnd) {
    // A view of another period (paging): its points first.
    StorePeriod({v.dStart, v.dEnd});
    RebuildGraph();
  }
  const CGraphControl::eAxis aAxes[] = {CGraphControl::AXIS_X, CGraphControl::AXIS_Y1, CGraphControl::AXIS_Y2};
  for (size_t i = 0; i < 3; ++i) m_pControl->SetAxisRange(aAxes[i], v.aAxes[i].dMin, v.aAxes[i].dMax);
  RefreshGraphState();
}

QString CHistGraph::GetPointToolTip(int nPlot, int nPoint) const {
  const CZK7Doc& doc = Doc();
  if (nPlot < 0 || nPlot >= doc.GetChannelCount() || nPoint < 0 || nPoint >= m_points.GetPointCount()) return {};
  const int nRecord = m_points.GetFirstRecord() + nPoint;
  const sHistViewState& st = State();
  try {
    std::string strValue = doc.FormatChannelValue(nPlot, nRecord);
    const std::string strUnit = doc.GetChannelUnit(nPlot);
    if (!strUnit.empty()) strValue += " " + strUnit;
    const std::string strTime = FormatDateTime(doc.GetRecordTime(nRecord, nPlot),
                                               st.m_nTimeFormat == sHistViewState::TIME_FORMAT_DATE_TIME,
                                               st.m_bShowFraction, st.m_nFractionDigits);
    // The list's value text is padded to its column.
    return QString::fromLatin1(doc.GetChannelName(nPlot)) + QLatin1Char('\n') + QString::fromLatin1(strTime) +
           QLatin1Char('\n') + QString::fromLatin1(strValue).trimmed();
  } catch (const CZK7Exception&) {
    // The file failed under the window: no tooltip; the next rebuild reports it.
    return {};
  }
}

} // namespace zk7
