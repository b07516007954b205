// The graph pane's zoom history and point tooltips.
#include "app/CommandIds.h"
#include "format/Formatting.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
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

} // namespace

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
