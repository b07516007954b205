// The results-file window: splitter layout, shared view state and the commands
// that belong to the frame or to the document.
#include "history/HistFrame.h"

#include <QCloseEvent>
#include <QDateTime>
#include <QFileSystemWatcher>
#include <QMdiSubWindow>
#include <QMessageBox>
#include <QPointer>
#include <QResizeEvent>
#include <QShowEvent>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

#include "app/CommandIds.h"
#include "format/Formatting.h"
#include "history/DlgInfosResFile.h"
#include "history/GraphImage.h"
#include "history/GraphPeriod.h"
#include "history/HistGraph.h"
#include "history/HistLegend.h"
#include "history/HistList.h"
#include "history/HistListOutput.h"
#include "history/HistStatistics.h"
#include "history/HistToolBars.h"
#include "results/ZK7Doc.h"
#include "results/ZK7Exception.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

// Every frame, so that a document change reaches all windows of that document.
std::vector<CHistFrame*>& AllFrames() {
  static std::vector<CHistFrame*> s_aFrames;
  return s_aFrames;
}

double LocalNow() {
  const QDateTime now = QDateTime::currentDateTime();
  const QDate date = now.date();
  const QTime time = now.time();
  return DayNumberFromCalendar(date.year(), date.month(), date.day(), time.hour(), time.minute(),
                               time.second() + time.msec() / 1000.0);
}

QWidget* MakeArea(QWidget* pParent, const char* pszName) {
  auto* pArea = new QWidget(pParent);
  pArea->setObjectName(QString::fromLatin1(pszName));
  auto* pLayout = new QVBoxLayout(pArea);
  pLayout->setContentsMargins(0, 0, 0, 0);
  return pArea;
}

} // namespace

CHistFrame::CHistFrame(std::shared_ptr<CZK7Doc> pDoc, QWidget* pParent)
    : QWidget(pParent), m_pDoc(std::move(pDoc)), m_state(MakeInitialHistViewState(LocalNow())) {
  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(0, 0, 0, 0);
  m_pOuter = new QSplitter(Qt::Vertical, this);
  m_pOuter->setObjectName(QStringLiteral("outerSplitter"));
  m_pInner = new QSplitter(Qt::Horizontal, m_pOuter);
  m_pInner->setObjectName(QStringLiteral("innerSplitter"));
  m_pInner->setFrameShape(QFrame::StyledPanel);
  m_pKeyArea = MakeArea(m_pInner, "keyPaneArea");
  m_pGraphArea = MakeArea(m_pInner, "graphPaneArea");
  m_pListArea = MakeArea(m_pOuter, "listPaneArea");
  m_pInner->addWidget(m_pKeyArea);
  m_pInner->addWidget(m_pGraphArea);
  m_pOuter->addWidget(m_pInner);
  m_pOuter->addWidget(m_pListArea);
  for (QSplitter* p : {m_pOuter, m_pInner})
    p->setChildrenCollapsible(true);
  pLayout->addWidget(m_pOuter);
  setWindowTitle(GetTitle());
  SetTimeFormatFromFile();
  AllFrames().push_back(this);
  // The key first: the panes rebuild in the order they were made (key, graph, list).
  SetKeyPane(new CHistLegend(*this));
  SetGraphPane(new CHistGraph(*this));
  m_pToolBars = new CHistToolBars(*this, GetHistGraph());
  SetListPane(new CHistList(*this));
  // Under the list, which it shares the bottom row with: the table is as wide as the list.
  m_pStatistics = new CHistStatistics(*this, m_pListArea);
  static_cast<QBoxLayout*>(m_pListArea->layout())->addWidget(m_pStatistics, 2);
  m_pStatistics->hide();

  m_growthTimer.setInterval(1000);
  connect(&m_growthTimer, &QTimer::timeout, this, [this] { CheckGrowth(); });
  // A burst of notifications (a writer's many small writes) makes one check.
  m_hintTimer.setSingleShot(true);
  m_hintTimer.setInterval(50);
  connect(&m_hintTimer, &QTimer::timeout, this, [this] { CheckGrowth(); });
}

void CHistFrame::ShowStatistics(bool bShow) {
  m_bStatisticsShown = bShow;
  m_pStatistics->setVisible(bShow);
  // Shown over a list that the pane-size commands had closed: the bottom row opens.
  if (bShow && m_pOuter->sizes().value(1) == 0) ShowAllPanes();
}

void CHistFrame::StartGrowthChecks() {
  if (m_growthTimer.isActive()) return;
  m_growthTimer.start();
  m_pWatcher = new QFileSystemWatcher(this);
  m_pWatcher->addPath(QString::fromStdString(m_pDoc->GetPathName()));
  connect(m_pWatcher, &QFileSystemWatcher::fileChanged, &m_hintTimer, qOverload<>(&QTimer::start));
}

int CHistFrame::CheckGrowth() {
  // A graph being read dispatches events: the next check comes soon enough.
  if (CHistGraph* pGraph = GetHistGraph(); pGraph && pGraph->IsRebuilding()) return 0;
  int nNew = 0;
  try {
    nNew = m_pDoc->CheckGrowth();
  } catch (const CZK7Exception& e) {
    // The file is not the one shown any more: no further checks, one message.
    m_growthTimer.stop();
    m_hintTimer.stop();
    if (m_pWatcher) m_pWatcher->removePaths(m_pWatcher->files());
    ReportReadError(e.GetText());
    return 0;
  }
  if (nNew == 0) return 0;
  // The document is shared by its windows: every one of them takes the records.
  const std::vector<CHistFrame*> aFrames = AllFrames();
  for (CHistFrame* pFrame : aFrames)
    if (pFrame->m_pDoc == m_pDoc) pFrame->TakeNewRecords(nNew);
  return nNew;
}

void CHistFrame::TakeNewRecords(int nNew) {
  try {
    if (m_bFollow && UserMovedAway()) m_bFollow = false;
    if (auto* pList = qobject_cast<CHistList*>(m_pListPane)) pList->OnRecordsAppended(false);
    if (m_bFollow) FollowToEnd();
  } catch (const CZK7Exception& e) {
    ReportReadError(e.GetText());
  }
  emit recordsAppended(nNew);
  emit commandStateChanged();
}

bool CHistFrame::UserMovedAway() const {
  auto* pList = qobject_cast<CHistList*>(m_pListPane);
  if (pList && m_nFollowTop >= 0 && pList->GetTopRow() != m_nFollowTop) return true;
  CHistGraph* pGraph = GetHistGraph();
  if (!pGraph || pGraph->GetXChannel() >= 0) return false;
  return m_state.m_dHistoryStart != m_dFollowStart || m_state.m_dHistoryEnd != m_dFollowEnd || pGraph->IsZoomed();
}

void CHistFrame::FollowToEnd() {
  if (auto* pList = qobject_cast<CHistList*>(m_pListPane)) {
    pList->OnRecordsAppended(true);
    m_nFollowTop = pList->GetTopRow();
  }
  CHistGraph* pGraph = GetHistGraph();
  if (pGraph && pGraph->GetXChannel() < 0) {
    double dFirst = 0.0, dLast = 0.0;
    m_pDoc->GetTimeRange(dFirst, dLast);
    sHistoryPeriod period{m_state.m_dHistoryStart, m_state.m_dHistoryEnd};
    // The chosen length is kept; a period of no length (a file of one record)
    // grows with the file instead.
    const bool bGrow = !(period.dEnd > period.dStart) ||
                       (m_bFollowGrows && period.dStart <= dFirst &&
                        InitialFirstRecord(m_pDoc->GetChannelCount(), m_pDoc->GetRecordCount()) == 0);
    period = bGrow ? sHistoryPeriod{period.dStart, dLast} : PeriodEndingAt(period, dLast);
    if (period.dStart != m_state.m_dHistoryStart || period.dEnd != m_state.m_dHistoryEnd || pGraph->IsZoomed())
      pGraph->FollowPeriod(period);
  }
  m_dFollowStart = m_state.m_dHistoryStart;
  m_dFollowEnd = m_state.m_dHistoryEnd;
}

void CHistFrame::SetFollow(bool bFollow) {
  m_bFollow = bFollow;
  // Before the panes' first display there is no view to move: that display follows.
  if (bFollow && m_bInitialUpdateDone) {
    StartGrowthChecks();
    FollowToEnd();
  }
  emit commandStateChanged();
}

CHistGraph* CHistFrame::GetHistGraph() const { return qobject_cast<CHistGraph*>(m_pGraphPane); }

void CHistFrame::InitialUpdate() {
  if (m_bInitialUpdateDone)
    return;
  m_bInitialUpdateDone = true;
  // A file that fails under a window before its first display (a new window
  // on a removed medium) still gets the window, with the reader's message.
  auto guarded = [this](auto fnUpdate) {
    try {
      fnUpdate();
    } catch (const CZK7Exception& e) {
      ReportReadError(e.GetText());
    }
  };
  if (auto* pKey = qobject_cast<CHistLegend*>(m_pKeyPane))
    guarded([pKey] { pKey->OnInitialUpdate(); });
  if (CHistGraph* pGraph = GetHistGraph())
    guarded([pGraph] { pGraph->OnInitialUpdate(); });
  if (auto* pList = qobject_cast<CHistList*>(m_pListPane))
    guarded([pList] { pList->OnInitialUpdate(); });
  if (!m_bReadErrorShown) StartGrowthChecks();
  if (m_bFollow && !m_bReadErrorShown) guarded([this] { FollowToEnd(); });
  // The graph takes the keys first: cursor keys and paging act at once.
  if (CHistGraph* pGraph = GetHistGraph())
    pGraph->setFocus(Qt::OtherFocusReason);
}

void CHistFrame::showEvent(QShowEvent* pEvent) {
  QWidget::showEvent(pEvent);
  TryFirstSizing();
  // After the window is on the screen, so that the wait dialog has an owner to stand on.
  if (!m_bInitialUpdateDone)
    QTimer::singleShot(0, this, &CHistFrame::InitialUpdate);
}

void CHistFrame::OnActivateFrame(bool bActive) { m_pToolBars->OnActivateFrame(bActive); }

CHistFrame::~CHistFrame() { std::erase(AllFrames(), this); }

QString CHistFrame::GetTitle() const { return QString::fromUtf8(m_pDoc->GetTitle()); }

void CHistFrame::PlacePane(QWidget*& pSlot, QWidget* pArea, QWidget* pPane) {
  delete pSlot;
  pSlot = pPane;
  // First in its area: the list area also holds the statistics view under the list.
  if (pPane)
    static_cast<QBoxLayout*>(pArea->layout())->insertWidget(0, pPane, 3);
}

void CHistFrame::SetKeyPane(QWidget* pPane) { PlacePane(m_pKeyPane, m_pKeyArea, pPane); }
void CHistFrame::SetGraphPane(QWidget* pPane) { PlacePane(m_pGraphPane, m_pGraphArea, pPane); }
void CHistFrame::SetListPane(QWidget* pPane) { PlacePane(m_pListPane, m_pListArea, pPane); }

void CHistFrame::Refresh() { emit refreshRequested(); }

void CHistFrame::SetTimeFormatFromFile() {
  double dFirst = 0.0, dLast = 0.0;
  m_pDoc->GetTimeRange(dFirst, dLast);
  m_state.m_nTimeFormat = GetTimeFormatForRange(dFirst, dLast);
}

void CHistFrame::UpdateAllViews() {
  for (CHistFrame* pFrame : AllFrames())
    if (pFrame->m_pDoc == m_pDoc)
      pFrame->Refresh();
}

void CHistFrame::closeEvent(QCloseEvent* pEvent) {
  // The graph's points are read while events are dispatched: closing now would
  // pull the window from under the reading. Stop it, and close once it is over.
  CHistGraph* pGraph = GetHistGraph();
  if (pGraph && pGraph->IsRebuilding()) {
    pGraph->StopRebuild();
    pEvent->ignore();
    QPointer<QWidget> pTarget = qobject_cast<QMdiSubWindow*>(parentWidget()) ? parentWidget() : this;
    QTimer::singleShot(0, this, [pTarget] {
      if (pTarget) pTarget->close();
    });
    return;
  }
  QWidget::closeEvent(pEvent);
}

void CHistFrame::resizeEvent(QResizeEvent* pEvent) {
  QWidget::resizeEvent(pEvent);
  TryFirstSizing();
}

void CHistFrame::TryFirstSizing() {
  // The size the window is shown with, not the default size it has before it is maximised.
  if (m_bFirstSizingPending && isVisible() && width() > 0 && height() > 0) {
    m_bFirstSizingPending = false;
    FirstSizing();
  }
}

namespace {
// The space a splitter shares among its panes (its size less the handles):
// sizes that add up to it are applied as given, not scaled.
// Before the first layout the panes have no size yet: the splitter's length less its handle.
int PaneSpace(const QSplitter* pSplitter) {
  int nTotal = 0;
  for (int n : pSplitter->sizes())
    nTotal += n;
  if (nTotal > 0)
    return nTotal;
  const QWidget* pSized = pSplitter->width() > 0 ? pSplitter : pSplitter->parentWidget();
  const int nLength = pSplitter->orientation() == Qt::Vertical ? pSized->height() : pSized->width();
  return std::max(0, nLength - pSplitter->handleWidth());
}
} // namespace

void CHistFrame::FirstSizing() {
  // The panes' preferred sizes give the first layout; without them the key
  // takes a quarter of the width and the graph three fifths of the height.
  const int nWidth = PaneSpace(m_pInner);
  const int nHeight = PaneSpace(m_pOuter);
  // A pane never takes so much that its neighbours vanish at the start.
  m_state.m_nAllPanesKeyWidth = std::min(m_pKeyPane ? m_pKeyPane->sizeHint().width() : nWidth / 4, nWidth / 2);
  m_state.m_nAllPanesGraphHeight =
      std::min(m_pGraphPane ? m_pGraphPane->sizeHint().height() : nHeight * 3 / 5, nHeight * 3 / 4);
  ShowAllPanes();
}


void CHistFrame::ShowGraphOnly() {
  m_pOuter->setSizes({PaneSpace(m_pOuter), 0});
  m_pInner->setSizes({0, PaneSpace(m_pInner)});
}

void CHistFrame::ShowKeyOnly() {
  m_pOuter->setSizes({PaneSpace(m_pOuter), 0});
  m_pInner->setSizes({PaneSpace(m_pInner), 0});
}

void CHistFrame::ShowListOnly() {
  m_pOuter->setSizes({0, PaneSpace(m_pOuter)});
  m_pInner->setSizes({0, PaneSpace(m_pInner)});
}

void CHistFrame::ShowAllPanes() {
  const int nHeight = std::max(PaneSpace(m_pOuter), m_state.m_nAllPanesGraphHeight);
  const int nWidth = std::max(PaneSpace(m_pInner), m_state.m_nAllPanesKeyWidth);
  m_pOuter->setSizes({m_state.m_nAllPanesGraphHeight, nHeight - m_state.m_nAllPanesGraphHeight});
  m_pInner->setSizes({m_state.m_nAllPanesKeyWidth, nWidth - m_state.m_nAllPanesKeyWidth});
}

void CHistFrame::MovePaneFocus(int nStep) {
  QWidget* aAreas[3] = {m_pKeyArea, m_pGraphArea, m_pListArea};
  int nCurrent = -1;
  for (int i = 0; i < 3; ++i)
    if (aAreas[i]->isAncestorOf(focusWidget()) || aAreas[i] == focusWidget())
      nCurrent = i;
  for (int n = 1; n <= 3; ++n) {
    QWidget* pArea = aAreas[((nCurrent < 0 ? 0 : nCurrent) + 3 + nStep * n) % 3];
    if (pArea->width() > 0 && pArea->height() > 0) {
      // The first widget of the pane that takes the focus, else the area itself.
      QWidget* pTarget = pArea;
      for (QWidget* p : pArea->findChildren<QWidget*>())
        if (p->focusPolicy() != Qt::NoFocus && p->isVisible()) {
          pTarget = p;
          break;
        }
      pTarget->setFocus(Qt::OtherFocusReason);
      return;
    }
  }
}

bool CHistFrame::OnUpdateCommand(unsigned nId, sCommandState& state) {
  // Copy is the frame's dialog, whatever pane is active.
  if (nId == ID_EDIT_COPY) {
    state.m_bEnabled = true;
    return true;
  }
  for (QWidget* pPane : {m_pKeyPane, m_pListPane})
    if (auto* pTarget = dynamic_cast<ICommandTarget*>(pPane); pTarget && pTarget->OnUpdateCommand(nId, state))
      return true;
  if (m_pToolBars->OnUpdateCommand(nId, state))
    return true;
  if (CHistGraph* pGraph = GetHistGraph(); pGraph && pGraph->OnUpdateCommand(nId, state))
    return true;
  const CZK7Doc::eErrorDisplay eErrors = m_pDoc->GetErrorDisplayFormat();
  switch (nId) {
    case ID_GRAPH_PANE_ONLY:
    case ID_KEY_PANE_ONLY:
    case ID_LIST_PANE_ONLY:
    case ID_ALL_PANES:
    case ID_REFRESH:
    case ID_FILE_INFORMATION:
    case ID_NEXT_PANE:
    case ID_PREV_PANE:
    case ID_SAVE_GRAPH_AS:
      state.m_bEnabled = true;
      return true;
    case ID_VIEW_STATISTICS:
      state.m_bEnabled = true;
      state.m_bChecked = m_bStatisticsShown;
      return true;
    case ID_FOLLOW:
      state.m_bEnabled = true;
      state.m_bChecked = m_bFollow;
      return true;
    case ID_TIME_FORMAT_DATE_TIME:
    case ID_TIME_FORMAT_TIME:
      state.m_bEnabled = true;
      state.m_bChecked = m_state.m_nTimeFormat ==
                         (nId == ID_TIME_FORMAT_TIME ? sHistViewState::TIME_FORMAT_TIME : sHistViewState::TIME_FORMAT_DATE_TIME);
      return true;
    case ID_RESOLUTION_1S:
    case ID_RESOLUTION_100MS:
    case ID_RESOLUTION_10MS:
    case ID_RESOLUTION_1MS:
      state.m_bEnabled = true;
      state.m_bChecked = IsTimeResolution(m_state, static_cast<int>(nId - ID_RESOLUTION_1S));
      return true;
    case ID_MS_OFFSET_COLUMNS:
      state.m_bEnabled = true;
      state.m_bChecked = m_state.m_bMsOffsetColumns;
      return true;
    case ID_ERRORS_NUMBER_ONLY:
      state.m_bEnabled = true;
      state.m_bChecked = eErrors == CZK7Doc::ERRORS_NUMBER_ONLY;
      return true;
    case ID_ERRORS_NUMBER_AND_MEANING:
      state.m_bEnabled = true;
      state.m_bChecked = eErrors == CZK7Doc::ERRORS_NUMBER_AND_MEANING;
      return true;
    default:
      return false;
  }
}

void CHistFrame::ReportReadError(const std::string& strText) {
  if (m_fnReadError) {
    m_fnReadError(strText);
    return;
  }
  bool& bShown = m_nCommandDepth > 0 ? m_bReadErrorShownInCommand : m_bReadErrorShown;
  if (bShown) return;
  // Set before the box is up: the timers keep running while it waits.
  bShown = m_bReadErrorShown = true;
  QMessageBox::warning(this, QString::fromLatin1(LoadString(IDS_APP_TITLE)), QString::fromLatin1(strText));
}

bool CHistFrame::OnCommand(unsigned nId) {
  struct sDepth {
    int& n;
    ~sDepth() { --n; }
  } depth{m_nCommandDepth};
  if (m_nCommandDepth++ == 0) m_bReadErrorShownInCommand = false;
  try {
    return DoCommand(nId);
  } catch (const CZK7Exception& e) {
    ReportReadError(e.GetText());
    emit commandStateChanged();
    return true;
  }
}

bool CHistFrame::DoCommand(unsigned nId) {
  if (nId == ID_EDIT_COPY) {
    RunHistCopyCommand(*this);
    emit commandStateChanged();
    return true;
  }
  for (QWidget* pPane : {m_pKeyPane, m_pListPane})
    if (auto* pTarget = dynamic_cast<ICommandTarget*>(pPane); pTarget && pTarget->OnCommand(nId)) {
      emit commandStateChanged();
      return true;
    }
  CHistGraph* pGraph = GetHistGraph();
  if (m_pToolBars->OnCommand(nId) || (pGraph && pGraph->OnCommand(nId))) {
    emit commandStateChanged();
    return true;
  }
  switch (nId) {
    case ID_GRAPH_PANE_ONLY: ShowGraphOnly(); break;
    case ID_KEY_PANE_ONLY: ShowKeyOnly(); break;
    case ID_LIST_PANE_ONLY: ShowListOnly(); break;
    case ID_ALL_PANES: ShowAllPanes(); break;
    case ID_REFRESH: Refresh(); break;
    case ID_FOLLOW: SetFollow(!m_bFollow); break;
    case ID_NEXT_PANE: MovePaneFocus(1); break;
    case ID_PREV_PANE: MovePaneFocus(-1); break;
    case ID_VIEW_STATISTICS: ShowStatistics(!m_bStatisticsShown); break;
    case ID_SAVE_GRAPH_AS: RunSaveGraphAsCommand(*this); break;
    case ID_TIME_FORMAT_DATE_TIME:
    case ID_TIME_FORMAT_TIME:
      m_state.m_nTimeFormat =
          nId == ID_TIME_FORMAT_TIME ? sHistViewState::TIME_FORMAT_TIME : sHistViewState::TIME_FORMAT_DATE_TIME;
      Refresh();
      break;
    case ID_RESOLUTION_1S:
    case ID_RESOLUTION_100MS:
    case ID_RESOLUTION_10MS:
    case ID_RESOLUTION_1MS:
      SetTimeResolution(m_state, static_cast<int>(nId - ID_RESOLUTION_1S));
      Refresh();
      break;
    case ID_MS_OFFSET_COLUMNS:
      m_state.m_bMsOffsetColumns = !m_state.m_bMsOffsetColumns;
      emit listRebuildRequested();
      break;
    case ID_ERRORS_NUMBER_ONLY:
    case ID_ERRORS_NUMBER_AND_MEANING:
      if (m_pDoc->SetErrorDisplayFormat(nId == ID_ERRORS_NUMBER_ONLY ? CZK7Doc::ERRORS_NUMBER_ONLY
                                                                     : CZK7Doc::ERRORS_NUMBER_AND_MEANING))
        UpdateAllViews();
      break;
    case ID_FILE_INFORMATION: {
      CDlgInfosResFile dlg(m_pDoc->GetFileInformation(), this);
      dlg.exec();
      break;
    }
    default:
      return false;
  }
  emit commandStateChanged();
  return true;
}

} // namespace zk7
