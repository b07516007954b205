// The statistics view: which records and channels it measures, and when.
#include "history/HistStatistics.h"

#include <QLabel>
#include <QVBoxLayout>

#include <algorithm>

#include "history/GraphPeriod.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "history/HistLegendState.h"
#include "history/HistList.h"
#include "history/StatisticsPane.h"
#include "results/ZK7Doc.h"
#include "results/ZK7Exception.h"

namespace zk7 {

namespace {
constexpr int COALESCE_MS = 40;
constexpr int POLL_MS = 300;
} // namespace

CHistStatistics::CHistStatistics(CHistFrame& frame, QWidget* pParent) : QWidget(pParent), m_frame(frame) {
  setObjectName(QStringLiteral("statisticsView"));
  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(0, 2, 0, 0);
  pLayout->setSpacing(2);
  m_pSource = new QLabel(this);
  m_pSource->setObjectName(QStringLiteral("statisticsSource"));
  pLayout->addWidget(m_pSource);
  m_pPane = new CStatisticsPane(frame.GetDocumentPtr(), this);
  pLayout->addWidget(m_pPane, 1);
  m_coalesce.setSingleShot(true);
  m_coalesce.setInterval(COALESCE_MS);
  connect(&m_coalesce, &QTimer::timeout, this, &CHistStatistics::UpdateNow);
  m_poll.setInterval(POLL_MS);
  connect(&m_poll, &QTimer::timeout, this, &CHistStatistics::UpdateNow);
  if (CHistGraph* pGraph = frame.GetHistGraph())
    // Cursor moves, key ticks, scale and period changes all end in the tool state.
    connect(pGraph, &CHistGraph::toolStateChanged, this, &CHistStatistics::ScheduleUpdate);
  connect(&frame, &CHistFrame::refreshRequested, this, &CHistStatistics::ScheduleUpdate);
  connect(&frame, &CHistFrame::commandStateChanged, this, &CHistStatistics::ScheduleUpdate);
}

CHistStatistics::sRange CHistStatistics::CurrentRange() const {
  sRange r;
  const sHistViewState& st = m_frame.GetViewState();
  const CZK7Doc& doc = m_frame.GetDocument();
  r.aChannels = CheckedChannels(st);
  if (doc.GetRecordCount() <= 0) return r;
  const CHistGraph* pGraph = m_frame.GetHistGraph();
  const auto* pList = qobject_cast<const CHistList*>(m_frame.GetListPane());
  if (pGraph && st.m_aCursors[0].m_bShown && st.m_aCursors[1].m_bShown) {
    // The records the list selects between the cursors.
    const int i1 = doc.FindRecordByTime(pGraph->GetCursorX(1));
    const int i2 = doc.FindRecordByTime(pGraph->GetCursorX(2));
    if (i1 >= 0 && i2 >= 0) {
      r.eFrom = SOURCE_CURSORS;
      r.nFirst = std::min(i1, i2);
      r.nLast = std::max(i1, i2);
      return r;
    }
  }
  if (pList && pList->HasSelection()) {
    // Rows selected in blocks are measured from the first to the last.
    r.eFrom = SOURCE_SELECTION;
    r.nFirst = pList->GetSelection().GetFirst();
    r.nLast = pList->GetSelection().GetLast();
    return r;
  }
  int nFirst = 0, nLast = -1;
  GetPlottedRecordRange(doc, {st.m_dHistoryStart, st.m_dHistoryEnd}, nFirst, nLast);
  if (nFirst <= nLast) {
    r.eFrom = SOURCE_HISTORICAL_AREA;
    r.nFirst = nFirst;
    r.nLast = nLast;
  }
  return r;
}

void CHistStatistics::ScheduleUpdate() {
  if (isVisible() && !m_coalesce.isActive()) m_coalesce.start();
}

void CHistStatistics::UpdateNow() {
  sRange r;
  try {
    r = CurrentRange();
  } catch (const CZK7Exception& e) {
    m_poll.stop();
    m_frame.ReportReadError(e.GetText());
    return;
  }
  if (m_bRequested && r == m_requested) return;
  m_requested = r;
  m_bRequested = true;
  const int nCount = r.eFrom == SOURCE_NONE ? 0 : r.nLast - r.nFirst + 1;
  QString strFrom;
  switch (r.eFrom) {
    case SOURCE_CURSORS: strFrom = tr("between the cursors"); break;
    case SOURCE_SELECTION: strFrom = tr("selected in the list"); break;
    case SOURCE_HISTORICAL_AREA: strFrom = tr("of the historical area"); break;
    case SOURCE_NONE: break;
  }
  m_pSource->setText(nCount > 0 ? tr("Statistics of records %1 to %2 (%3 records %4)")
                                      .arg(r.nFirst + 1)
                                      .arg(r.nLast + 1)
                                      .arg(nCount)
                                      .arg(strFrom)
                                : tr("Statistics: no records"));
  m_pPane->SetRange(r.nFirst, r.eFrom == SOURCE_NONE ? r.nFirst - 1 : r.nLast, r.aChannels);
}

void CHistStatistics::showEvent(QShowEvent* pEvent) {
  QWidget::showEvent(pEvent);
  m_poll.start();
  UpdateNow();
}

void CHistStatistics::hideEvent(QHideEvent* pEvent) {
  QWidget::hideEvent(pEvent);
  m_poll.stop();
  m_coalesce.stop();
}

} // namespace zk7
