// Tool bars of the results-file window.
#include "history/HistToolBars.h"

#include <QCheckBox>
#include <QGuiApplication>
#include <QMdiArea>
#include <QScreen>

#include <algorithm>

#include "app/CommandIds.h"
#include "history/CursorsToolBar.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "history/ScalesToolBar.h"
#include "history/graph/GraphControl.h"
#include "ui/CommandTarget.h"

namespace zk7 {

CHistToolBars::CHistToolBars(CHistFrame& frame, CHistGraph* pGraph)
    : QObject(&frame), m_frame(frame), m_pGraph(pGraph) {
  m_pCursors = new CCursorsToolBar(&frame);
  m_pScales = new CScalesToolBar(&frame);
  m_pCursors->hide();
  m_pScales->hide();
  Connect();
  Fill();
}

CHistToolBars::~CHistToolBars() = default;

void CHistToolBars::Connect() {
  sHistViewState& st = m_frame.GetViewState();
  CHistGraph* g = m_pGraph;
  if (!g) return;
  // The bars live with the frame, the graph with its pane: nothing reaches a
  // graph that is gone.
  auto* pContext = g;
  // A control first copies its whole bar into the frame.
  connect(m_pCursors, &CCursorsToolBar::shownToggled, pContext, [this, &st, g](int n) {
    m_pCursors->CopyTo(st);
    g->ShowCursor(n);
  });
  connect(m_pCursors, &CCursorsToolBar::lockModeClicked, pContext, [this, &st, g](int n) {
    m_pCursors->CopyTo(st);
    g->SetActiveCursor(n);
    g->GetControl()->setFocus(Qt::OtherFocusReason);
    g->RefreshGraphState();
  });
  connect(m_pCursors, &CCursorsToolBar::channelChosen, pContext, [this, &st, g] {
    m_pCursors->CopyTo(st);
    g->RefreshGraphState();
  });
  auto copyScales = [this, &st] { m_pScales->CopyTo(st.m_scales); };
  connect(m_pScales, &CScalesToolBar::applyScale, pContext, [copyScales, g](int nAxis) {
    copyScales();
    g->ApplyScaleText(nAxis);
  });
  connect(m_pScales, &CScalesToolBar::autoScale, pContext, [copyScales, g](int nAxis) {
    copyScales();
    g->AutoScale(nAxis);
  });
  connect(m_pScales, &CScalesToolBar::fixedToToggled, this, [this, copyScales] {
    copyScales();
    Fill();
  });
  connect(m_pScales, &CScalesToolBar::applyFixedDate, pContext, [copyScales, g] {
    copyScales();
    g->ApplyFixedDate();
  });
  connect(m_pScales, &CScalesToolBar::applyHistoryLength, pContext, [copyScales, g] {
    copyScales();
    g->ApplyHistoryLength();
  });
  connect(m_pScales, &CScalesToolBar::fullFile, pContext, [copyScales, g] {
    copyScales();
    g->FileGlobalView();
  });
  connect(g, &CHistGraph::toolStateChanged, this, &CHistToolBars::Fill);
}

void CHistToolBars::Fill() {
  m_pCursors->Fill(m_frame.GetViewState());
  m_pScales->Fill(m_frame.GetViewState().m_scales);
}

void CHistToolBars::Place(QWidget* pBar, bool bRight) {
  // The first time: the bottom-left or bottom-right corner of the document area.
  QWidget* pArea = m_frame.window();
  if (auto* pMdi = m_frame.window()->findChild<QMdiArea*>()) pArea = pMdi;
  const QRect r(pArea->mapToGlobal(QPoint(0, 0)), pArea->size());
  pBar->adjustSize();
  const QSize s = pBar->frameSize();
  QRect bar(QPoint(bRight ? r.right() - s.width() - 2 : r.left() + 2, r.bottom() - s.height() + 1), s);
  // Over the record list the bar would hide the rows "Go to Cursor" and the
  // selection scroll to: it goes up to stand just above the list instead.
  if (const QWidget* pList = m_frame.GetListPane(); pList && pList->isVisible() && pList->height() > 0) {
    const QRect list(pList->mapToGlobal(QPoint(0, 0)), pList->size());
    if (bar.intersects(list)) bar.moveBottom(std::max(r.top() + s.height() - 1, list.top() - 1));
  }
  pBar->move(bar.topLeft());
}

bool CHistToolBars::OnUpdateCommand(unsigned nId, sCommandState& state) const {
  if (nId != ID_CURSORS_TOOLS && nId != ID_SCALES_TOOLS) return false;
  state.m_bEnabled = true;
  state.m_bChecked = (nId == ID_CURSORS_TOOLS ? static_cast<QWidget*>(m_pCursors) : m_pScales)->isVisible();
  return true;
}

bool CHistToolBars::OnCommand(unsigned nId) {
  if (nId != ID_CURSORS_TOOLS && nId != ID_SCALES_TOOLS) return false;
  const int i = nId == ID_CURSORS_TOOLS ? 0 : 1;
  QWidget* pBar = i == 0 ? static_cast<QWidget*>(m_pCursors) : m_pScales;
  if (pBar->isVisible()) {
    pBar->hide();
    return true;
  }
  Fill();
  if (!m_aPlaced[i]) Place(pBar, i == 1);
  pBar->show();
  // Once more now that the window frame around the bar is known.
  if (!m_aPlaced[i]) {
    Place(pBar, i == 1);
    m_aPlaced[i] = true;
  }
  if (m_pGraph) m_pGraph->RefreshGraphState();
  return true;
}

void CHistToolBars::OnActivateFrame(bool bActive) {
  sHistViewState& st = m_frame.GetViewState();
  if (!bActive) {
    st.m_bCursorsBarWasVisible = m_pCursors->isVisible();
    st.m_bScalesBarWasVisible = m_pScales->isVisible();
    m_pCursors->hide();
    m_pScales->hide();
    return;
  }
  if (st.m_bCursorsBarWasVisible) m_pCursors->show();
  if (st.m_bScalesBarWasVisible) m_pScales->show();
  if (m_pGraph) m_pGraph->RefreshGraphState();
}

} // namespace zk7
