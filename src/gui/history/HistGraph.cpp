// The graph pane: rebuild from the document, state refresh, alarm lines, fixed
// marks, paging, keys, the context menu and the commands it carries out.
#include "history/HistGraph.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMenu>
#include <QMessageBox>
#include <QTimer>
#include <QVBoxLayout>

#include "app/CommandIds.h"
#include "history/GraphAssignment.h"
#include "history/GraphAxisText.h"
#include "history/GraphCursors.h"
#include "history/GraphLoading.h"
#include "history/HistFrame.h"
#include "history/HistViewState.h"
#include "history/graph/GraphControl.h"
#include "history/graph/GraphCursor.h"
#include "results/ZK7Doc.h"
#include "results/ZK7Exception.h"
#include "settings/SettingsRecord.h"
#include "strings/StringTable.h"

namespace zk7 {

namespace {

QColor DisplayColour(int nIndex) { return ColourFromRef(GetDisplayColour(nIndex)); }

// The wait cursor for the length of a scope.
struct sWaitCursor {
  sWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~sWaitCursor() { QApplication::restoreOverrideCursor(); }
};

CGraphControl::eAxis AxisOfPlace(int nPlace) {
  switch (nPlace) {
    case PLOT_Y1: return CGraphControl::AXIS_Y1;
    case PLOT_Y2: return CGraphControl::AXIS_Y2;
    default: return CGraphControl::AXIS_HIDDEN;
  }
}

} // namespace

CHistGraph::CHistGraph(CHistFrame& frame, QWidget* pParent) : QWidget(pParent), m_frame(frame) {
  setObjectName(QStringLiteral("graphPane"));
  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(4, 2, 4, 4);
  pLayout->setSpacing(2);
  auto* pTexts = new QHBoxLayout;
  m_pTextLeft = new QLabel(this);
  m_pTextLeft->setObjectName(QStringLiteral("textHL"));
  m_pTextRight = new QLabel(this);
  m_pTextRight->setObjectName(QStringLiteral("textHR"));
  pTexts->addWidget(m_pTextLeft);
  pTexts->addStretch(1);
  pTexts->addWidget(m_pTextRight);
  pLayout->addLayout(pTexts);
  m_pControl = new CGraphControl(this);
  m_pControl->setObjectName(QStringLiteral("graphControl"));
  m_pControl->setMinimumSize(200, 120);
  pLayout->addWidget(m_pControl, 1);
  setFocusProxy(m_pControl);
  // The plot keeps its mouse events to itself, the right click too: its menu
  // requests are passed here, or the pane would have no menu at all.
  m_pControl->setContextMenuPolicy(Qt::CustomContextMenu);
  connect(m_pControl, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
    QContextMenuEvent e(QContextMenuEvent::Mouse, m_pControl->mapTo(this, at), m_pControl->mapToGlobal(at));
    contextMenuEvent(&e);
  });

  connect(m_pControl, &CGraphControl::mouseDownLeft, this, &CHistGraph::OnMouseDownLeft);
  connect(m_pControl, &CGraphControl::keyDown, this, &CHistGraph::OnKeyDown);
  connect(m_pControl, &CGraphControl::cursorDragged, this, &CHistGraph::OnCursorChange);
  connect(m_pControl, &CGraphControl::graphDoubleClicked, this, [this] { m_frame.OnCommand(ID_SCALES_TOOLS); });
  connect(m_pControl, &CGraphControl::viewChangedByUser, this, [this] {
    RefreshGraphState();
    RecordView();
  });
  m_pControl->SetToolTipSource([this](int nPlot, int nPoint) { return GetPointToolTip(nPlot, nPoint); });
  connect(&m_frame, &CHistFrame::refreshRequested, this, &CHistGraph::RebuildGraph);
}

CHistGraph::~CHistGraph() { m_pControl->SetPoints(nullptr); }

QSize CHistGraph::sizeHint() const {
  const int nFrame = m_frame.height();
  return {640, nFrame > 0 ? std::min(420, nFrame * 3 / 5) : 420};
}

CZK7Doc& CHistGraph::Doc() const { return m_frame.GetDocument(); }
sHistViewState& CHistGraph::State() const { return m_frame.GetViewState(); }
sHistoryPeriod CHistGraph::Period() const { return {State().m_dHistoryStart, State().m_dHistoryEnd}; }

void CHistGraph::StorePeriod(const sHistoryPeriod& p) {
  State().m_dHistoryStart = p.dStart;
  State().m_dHistoryEnd = p.dEnd;
}

void CHistGraph::Replot() { m_pControl->replot(QCustomPlot::rpQueuedReplot); }

void CHistGraph::SetStacked(bool bStacked) {
  m_pControl->SetStacked(bStacked);
  m_pControl->replot();
  emit toolStateChanged();
}

bool CHistGraph::IsStacked() const { return m_pControl->IsStacked(); }

void CHistGraph::OnInitialUpdate() {
  m_frame.SetTimeFormatFromFile();
  StorePeriod(InitialHistoryPeriod(Doc()));
  // Without a key every channel is drawn, on Y1.
  if (State().m_aChanStates.size() != static_cast<size_t>(Doc().GetChannelCount()))
    State().m_aChanStates.assign(static_cast<size_t>(Doc().GetChannelCount()), _tChanStateLegend{true, SCALE_Y1});
  RebuildGraph();
}

void CHistGraph::RebuildGraph() {
  static bool s_bBusy = false;  // the wait dialog dispatches events: no rebuild inside a rebuild
  if (s_bBusy) {
    QTimer::singleShot(0, this, &CHistGraph::RebuildGraph);
    return;
  }
  s_bBusy = true;
  m_bRebuilding = true;
  m_bStopRebuild = false;
  const int nWasActive = m_nActiveCursor;
  try {
    RebuildFromDocument();
  } catch (const CZK7Exception& e) {
    // The file failed under the window (a removed medium): an empty graph and
    // the reader's message; the window stays.
    m_pControl->SetPoints(nullptr);
    m_points.Clear();
    m_pControl->RemoveAllPlotData();
    m_frame.ReportReadError(e.GetText());
  }
  // The cursors stay shown through a rebuild, and so does the one the keys move.
  m_nActiveCursor = KeepActiveCursor(nWasActive, m_pControl->Cursor(1).IsVisible(), m_pControl->Cursor(2).IsVisible());
  Replot();
  m_bRebuilding = false;
  s_bBusy = false;
}

void CHistGraph::RebuildFromDocument() {
  const sHistViewState& st = State();
  CZK7Doc& doc = Doc();
  // Cleared first: a failure below leaves no cursor of the old axis.
  for (int n = 1; n <= 2; ++n) m_pControl->Cursor(n).SetVisible(false);
  m_dTimeBase = st.m_nTimeFormat == sHistViewState::TIME_FORMAT_DELAY ? doc.GetRecordTime(0, 0) : 0.0;
  sWaitCursor wait;
  // Clear the control.
  m_pControl->SetPoints(nullptr);
  m_points.Clear();
  m_pControl->RemoveAllPlots();
  m_pControl->RemoveFixedMarks();
  m_pControl->SetPlotAreaColour(DisplayColour(DISPLAY_COLOUR_BACKGROUND));
  m_pTextLeft->clear();
  m_pTextRight->clear();

  // X axis.
  if (m_nXChannel >= 0) {
    m_pControl->SetValueXAxis();
    m_pControl->SetAutoScale(CGraphControl::AXIS_X, true);
  } else {
    m_pControl->SetTimeAxis(st.m_nTimeFormat, st.m_bShowFraction, st.m_nFractionDigits,
                            GetTimeAxisDivisions(st.m_nTimeFormat));
    m_pControl->SetAutoScale(CGraphControl::AXIS_X, false);
    m_pControl->SetAxisRange(CGraphControl::AXIS_X, st.m_dHistoryStart - m_dTimeBase, st.m_dHistoryEnd - m_dTimeBase);
  }
  m_pControl->SetAxisCaption(CGraphControl::AXIS_X, QString());

  // One plot per channel, in the channel's curve colour.
  for (int c = 0; c < doc.GetChannelCount(); ++c)
    m_pControl->AddPlot(QString::fromLatin1(doc.GetChannelName(c)), DisplayColour(GetChannelColourIndex(c)));
  m_aLastPlaces.clear();

  // The cursors go back to the ends of the X axis, free.
  double dXMin, dXMax;
  m_pControl->GetAxisRange(CGraphControl::AXIS_X, dXMin, dXMax);
  for (int n = 1; n <= 2; ++n) {
    CGraphCursor& c = m_pControl->Cursor(n);
    c.SetColour(DisplayColour(n == 1 ? DISPLAY_COLOUR_CURSOR1 : DISPLAY_COLOUR_CURSOR2));
    c.m_nPlot = -1;
    c.m_nPoint = -1;
    c.SetValueAxis(m_pControl->Axis(CGraphControl::AXIS_Y1));
    c.SetPosition(n == 1 ? dXMin : dXMax, 0);
    c.SetVisible(false);
  }
  for (int k = 0; k < 4; ++k)
    m_pControl->SetAlarmLine(k, false, 0, DisplayColour(DISPLAY_COLOUR_ALARM0 + k + 1), CGraphControl::AXIS_Y1);

  // The points of the plotted records, one pass for all channels.
  int nFirst = 0, nLast = -1;
  GetPlottedRecordRange(doc, Period(), nFirst, nLast);
  // A read failure goes to RebuildGraph, which reports it.
  const CGraphPoints::eLoadResult eResult =
      LoadGraphPoints(m_points, doc, nFirst, nLast, m_dTimeBase, m_nXChannel, this, &m_bStopRebuild);
  if (eResult == CGraphPoints::LOAD_OK) {
    m_pControl->SetPoints(&m_points);
    {
      // One entry for the whole rebuild, after the scales settled; a read
      // failure on the way must not leave the history held.
      struct sHold {
        int& n;
        ~sHold() { --n; }
      } hold{++m_nViewRecordHold};
      HistoricalGlobalView();
      RefreshGraphState();
    }
    RecordView();
    DrawFixedMarks();
    ShowAlarmLines();
  } else {
    m_points.Clear();
    m_pControl->RemoveAllPlotData();
    if (eResult == CGraphPoints::LOAD_NO_MEMORY)
      QMessageBox::warning(window(), QString::fromLatin1(LoadString(IDS_APP_TITLE)),
                           QString::fromLatin1(LoadString(IDS_GRAPH_NO_MEMORY)));
  }
}

void CHistGraph::SetTimeAxisRange(bool bFromRecords) {
  if (m_nXChannel >= 0) {
    m_pControl->SetAutoScale(CGraphControl::AXIS_X, true);
    m_pControl->RescaleNow(CGraphControl::AXIS_X);
    return;
  }
  double dMin = State().m_dHistoryStart, dMax = State().m_dHistoryEnd;
  if (bFromRecords && !m_points.IsEmpty()) {
    dMin = Doc().GetRecordTime(m_points.GetFirstRecord(), 0);
    dMax = Doc().GetRecordTime(m_points.GetFirstRecord() + m_points.GetPointCount() - 1, 0);
  }
  m_pControl->SetAxisRange(CGraphControl::AXIS_X, dMin - m_dTimeBase, dMax - m_dTimeBase);
}

void CHistGraph::SetHistoryPeriod(double dStart, double dEnd, bool bPostRefresh) {
  if (m_nXChannel >= 0) return;
  SetFixedTo(true);
  StorePeriod({dStart, dEnd});
  if (bPostRefresh)
    QTimer::singleShot(0, &m_frame, [f = &m_frame] { f->OnCommand(ID_REFRESH); });
  else
    RebuildGraph();
  SetFixedTo(true);
}

bool CHistGraph::IsZoomed() const {
  double dMin, dMax;
  m_pControl->GetAxisRange(CGraphControl::AXIS_X, dMin, dMax);
  const sHistoryPeriod p = Period();
  return zk7::IsZoomed(m_nXChannel >= 0, {p.dStart - m_dTimeBase, p.dEnd - m_dTimeBase}, dMin, dMax);
}

void CHistGraph::SetFixedTo(bool bFixed) {
  State().m_scales.m_bFixedTo = bFixed;
  emit toolStateChanged();
}

void CHistGraph::RefreshGraphState() {
  sHistViewState& st = State();
  sScalesToolState& sc = st.m_scales;
  std::vector<sChannelState> aStates;
  for (size_t i = 0; i < st.m_aChanStates.size(); ++i)
    aStates.push_back({static_cast<int>(i), st.m_aChanStates[i].m_bChecked, st.m_aChanStates[i].m_nScale});
  const sGraphAssignment a = AssignPlots(Doc(), aStates);

  // Curves onto their axes; an axis whose curves changed fits them again when it scales itself.
  bool aAxisChanged[2] = {false, false};
  for (int i = 0; i < m_pControl->GetPlotCount() && i < static_cast<int>(a.aPlotPlace.size()); ++i) {
    const int nPlace = a.aPlotPlace[static_cast<size_t>(i)];
    const int nOld = i < static_cast<int>(m_aLastPlaces.size()) ? m_aLastPlaces[static_cast<size_t>(i)] : -1;
    if (nPlace != nOld) {
      for (int p : {nPlace, nOld}) {
        if (p == PLOT_Y1) aAxisChanged[0] = true;
        if (p == PLOT_Y2) aAxisChanged[1] = true;
      }
    }
    m_pControl->SetPlotAxis(i, AxisOfPlace(nPlace));
    m_pControl->ShowPlot(i, nPlace == PLOT_Y1 || nPlace == PLOT_Y2);
  }
  m_aLastPlaces = a.aPlotPlace;
  st.m_aCursorChannelTexts = a.aChoiceTexts;
  st.m_aCursorChannels = a.aChoiceChannels;
  for (sCursorState& c : st.m_aCursors)
    c.m_nChannelChoice = KeepChannelChoice(c.m_nChannelChoice, static_cast<int>(a.aChoiceChannels.size()));

  m_pControl->SetAxisCaption(CGraphControl::AXIS_Y1, QString::fromLatin1(a.strY1Caption));
  m_pControl->SetAxisCaption(CGraphControl::AXIS_Y2, QString::fromLatin1(a.strY2Caption));
  m_pControl->ShowAxis(CGraphControl::AXIS_Y1, a.nY1Count != 0);
  m_pControl->ShowAxis(CGraphControl::AXIS_Y2, a.nY2Count != 0);
  if (a.nXChannel >= 0) m_pControl->SetAxisCaption(CGraphControl::AXIS_X, QString::fromLatin1(a.strXCaption));
  sc.m_bY1Used = a.nY1Count != 0;
  sc.m_bY2Used = a.nY2Count != 0;
  if (aAxisChanged[0] && m_pControl->IsAutoScale(CGraphControl::AXIS_Y1)) m_pControl->RescaleNow(CGraphControl::AXIS_Y1);
  if (aAxisChanged[1] && m_pControl->IsAutoScale(CGraphControl::AXIS_Y2)) m_pControl->RescaleNow(CGraphControl::AXIS_Y2);

  const bool bXChanged = a.nXChannel != m_nXChannel;
  m_nXChannel = a.nXChannel;
  sc.m_bXChannelSet = m_nXChannel >= 0;
  UpdateScaleTexts();
  SetHistoryTexts(sc, Period(), st.m_bShowFraction, st.m_nFractionDigits);
  m_pTextLeft->setText(QString::fromLatin1(FormatHistoryStartText(st.m_dHistoryStart, st.m_nTimeFormat)));

  if (bXChanged) {
    st.m_aCursors[0].m_bShown = st.m_aCursors[1].m_bShown = false;
    // Views of the other X axis mean nothing on this one.
    m_zoomHistory.Clear();
  }
  for (int n = 1; n <= 2; ++n) {
    sCursorState& cs = st.m_aCursors[n - 1];
    CGraphCursor& c = m_pControl->Cursor(n);
    if (cs.m_bShown) {
      const bool bValid = cs.m_nChannelChoice >= 0 && cs.m_nChannelChoice < static_cast<int>(st.m_aCursorChannels.size());
      if (cs.m_bLocked && bValid) {
        m_pControl->LockCursor(n, st.m_aCursorChannels[static_cast<size_t>(cs.m_nChannelChoice)]);
      } else {
        m_pControl->LockCursor(n, -1);
        c.SetValueAxis(m_pControl->Axis(a.nY1Count == 0 && a.nY2Count != 0 ? CGraphControl::AXIS_Y2 : CGraphControl::AXIS_Y1));
      }
      RefreshCursorTexts(n);
    } else {
      cs.m_strX.clear();
      cs.m_strY.clear();
    }
    c.SetVisible(cs.m_bShown);
  }
  UpdateDelta();
  m_pControl->SetGrid(m_bGrid);
  m_pControl->SetLinkPoints(m_bLinkPoints);
  emit toolStateChanged();
  if (bXChanged)
    RebuildGraph();
  else
    Replot();
}

void CHistGraph::UpdateScaleTexts() {
  sScalesToolState& sc = State().m_scales;
  double dMin, dMax;
  if (sc.m_bY1Used) {
    m_pControl->GetAxisRange(CGraphControl::AXIS_Y1, dMin, dMax);
    sc.m_strY1Min = FormatScaleLimit(dMin);
    sc.m_strY1Max = FormatScaleLimit(dMax);
    sc.m_bY1Manual = !m_pControl->IsAutoScale(CGraphControl::AXIS_Y1);
  }
  if (sc.m_bY2Used) {
    m_pControl->GetAxisRange(CGraphControl::AXIS_Y2, dMin, dMax);
    sc.m_strY2Min = FormatScaleLimit(dMin);
    sc.m_strY2Max = FormatScaleLimit(dMax);
    sc.m_bY2Manual = !m_pControl->IsAutoScale(CGraphControl::AXIS_Y2);
  }
  if (sc.m_bXChannelSet) {
    m_pControl->GetAxisRange(CGraphControl::AXIS_X, dMin, dMax);
    sc.m_strXMin = FormatScaleLimit(dMin);
    sc.m_strXMax = FormatScaleLimit(dMax);
    sc.m_bXManual = !m_pControl->IsAutoScale(CGraphControl::AXIS_X);
  }
}

void CHistGraph::ShowAlarmLines() {
  const int nChannel = m_fnKeySelection ? m_fnKeySelection() : -1;
  const auto aLines = GetAlarmLines(Doc(), nChannel, GetAppSettings());
  const CGraphControl::eAxis eOn = nChannel >= 0 && nChannel < m_pControl->GetPlotCount() &&
                                           m_pControl->GetPlotAxis(nChannel) == CGraphControl::AXIS_Y2
                                       ? CGraphControl::AXIS_Y2
                                       : CGraphControl::AXIS_Y1;
  for (int k = 0; k < 4; ++k) {
    const sAlarmLine& l = aLines[static_cast<size_t>(k)];
    m_pControl->SetAlarmLine(k, l.bShown, l.dValue, ColourFromRef(l.nColour), eOn);
  }
  Replot();
}

void CHistGraph::DrawFixedMarks() {
  m_pControl->RemoveFixedMarks();
  const std::vector<int>& aMarks = State().m_aFixedMarks;
  std::string strError;
  for (size_t m = 0; m < aMarks.size(); ++m) {
    // A mark whose record cannot be read any more is left out; the others are drawn.
    try {
      m_pControl->AddFixedMark(Doc().GetRecordTime(aMarks[m], 0), static_cast<int>(m) + 1);
    } catch (const CZK7Exception& e) {
      strError = e.GetText();
    }
  }
  Replot();
  if (!strError.empty()) m_frame.ReportReadError(strError);
}

void CHistGraph::ShowPrevious() {
  double dFirst, dLast;
  Doc().GetTimeRange(dFirst, dLast);
  sHistoryPeriod p = Period();
  if (ShowPreviousPeriod(p, dFirst)) {
    StorePeriod(p);
    RebuildGraph();
  }
}

void CHistGraph::ShowNext() {
  double dFirst, dLast;
  Doc().GetTimeRange(dFirst, dLast);
  sHistoryPeriod p = Period();
  if (ShowNextPeriod(p, dLast)) {
    StorePeriod(p);
    RebuildGraph();
  }
}

void CHistGraph::PageKey(bool bDown) {
  if (!State().m_scales.m_bFixedTo || m_nXChannel >= 0) return;
  const sHistoryPeriod p = Period();
  if (IsZoomed()) {
    double dMin, dMax;
    m_pControl->GetAxisRange(CGraphControl::AXIS_X, dMin, dMax);
    PageZoomedRange(dMin, dMax, {p.dStart - m_dTimeBase, p.dEnd - m_dTimeBase}, bDown);
    m_pControl->SetAxisRange(CGraphControl::AXIS_X, dMin, dMax);
    Replot();
    RecordView();
    return;
  }
  double dFirst, dLast;
  Doc().GetTimeRange(dFirst, dLast);
  sHistoryPeriod q = p;
  if (!PagePeriod(q, dFirst, dLast, bDown)) return;
  StorePeriod(q);
  RebuildGraph();
  SetFixedTo(true);
}

void CHistGraph::OnMouseDownLeft(Qt::KeyboardModifiers modifiers) {
  const Qt::KeyboardModifiers eKeys = modifiers & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier);
  if (eKeys == Qt::ShiftModifier) {
    SetFixedTo(true);
    m_pControl->SetTrackMode(CGraphControl::TRACK_PAN);
  } else if (eKeys == Qt::ControlModifier) {
    m_pControl->SetTrackMode(CGraphControl::TRACK_ZOOM_RECT);
  } else {
    m_pControl->SetTrackMode(CGraphControl::TRACK_CURSORS);
  }
}

void CHistGraph::OnKeyDown(int nKey, Qt::KeyboardModifiers modifiers) {
  const bool bCtrl = modifiers & Qt::ControlModifier;
  // The window's keys reach the graph too when no shortcut took them first.
  if ((modifiers & Qt::AltModifier) && (nKey == Qt::Key_Left || nKey == Qt::Key_Right)) {
    m_frame.OnCommand(nKey == Qt::Key_Left ? ID_ZOOM_BACK : ID_ZOOM_FORWARD);
    return;
  }
  switch (nKey) {
    case Qt::Key_Escape: HistoricalGlobalView(); break;
    case Qt::Key_PageUp: PageKey(false); break;
    case Qt::Key_PageDown: PageKey(true); break;
    case Qt::Key_End: MoveCursorByKey(CURSOR_KEY_END, bCtrl); break;
    case Qt::Key_Home: MoveCursorByKey(CURSOR_KEY_HOME, bCtrl); break;
    case Qt::Key_Left: MoveCursorByKey(CURSOR_KEY_LEFT, bCtrl); break;
    case Qt::Key_Up: MoveCursorByKey(CURSOR_KEY_UP, bCtrl); break;
    case Qt::Key_Right: MoveCursorByKey(CURSOR_KEY_RIGHT, bCtrl); break;
    case Qt::Key_Down: MoveCursorByKey(CURSOR_KEY_DOWN, bCtrl); break;
    default: break;
  }
}

void CHistGraph::contextMenuEvent(QContextMenuEvent* pEvent) {
  struct sItem { unsigned nId; const char* pszText; };
  static const sItem ITEMS[] = {
      {ID_GRAPH_PANE_ONLY, "Full Window"}, {ID_ALL_PANES, "All Panes"}, {ID_REFRESH, "Refresh\tF5"}, {0, nullptr},
      {ID_HIST_PREVIOUS, "Display previous measurements on the graph"},
      {ID_HIST_NEXT, "Display next measurements on the graph"}, {0, nullptr},
      {ID_CURSORS_TOOLS, "&Cursors Tools"}, {ID_SCALES_TOOLS, "&Scales Tools"}, {0, nullptr},
      {ID_GOTO_CURSOR1, "Go to Cursor 1 in the List"}, {ID_GOTO_CURSOR2, "Go to Cursor 2 in the List"},
      {ID_SELECT_BETWEEN_CURSORS, "Select List between Cursors 1 and 2"},
      {ID_HIST_AREA_FROM_CURSORS, "Define Historical Area from Cursors 1 and 2"}, {0, nullptr},
      {ID_ADD_FIXED_MARK, "Add a &Fixed Mark"}, {ID_ERASE_FIXED_MARKS, "Erase All Fi&xed Marks"}, {0, nullptr},
      {ID_SELECT_HIST_AREA_IN_LIST, "Select Historical Area in the list"},
      {ID_HIST_GLOBAL_VIEW, "Historical &Global View\tEch"}, {ID_FILE_GLOBAL_VIEW, "&File Global View"}, {0, nullptr},
      {ID_SHOW_DATES_ON_AXIS, "Show &Dates on Axis"}, {ID_LINK_POINTS, "Link &Points"}, {ID_GRID, "&Grid"},
      {ID_STACKED_VIEW, "S&tacked"},
      {0, nullptr}, {ID_EDIT_COPY, "&Copy\tCtrl+C"}};
  static const sItem RESOLUTIONS[] = {{ID_RESOLUTION_1S, "1 s"}, {ID_RESOLUTION_100MS, "100 ms"},
                                      {ID_RESOLUTION_10MS, "10 ms"}, {ID_RESOLUTION_1MS, "1 ms"}};
  QMenu menu(this);
  auto add = [this](QMenu& m, const sItem& item) {
    if (!item.pszText) {
      m.addSeparator();
      return;
    }
    QString strText = QString::fromLatin1(item.pszText);
    const QStringList parts = strText.split(QLatin1Char('\t'));
    QAction* pAction = m.addAction(parts.front());
    if (parts.size() > 1) pAction->setShortcut(QKeySequence(parts.back() == QLatin1String("Ech") ? QStringLiteral("Esc") : parts.back()));
    sCommandState st;
    m_frame.OnUpdateCommand(item.nId, st);
    pAction->setEnabled(st.m_bEnabled);
    pAction->setCheckable(st.m_bChecked);
    pAction->setChecked(st.m_bChecked);
    const unsigned nId = item.nId;
    connect(pAction, &QAction::triggered, &m_frame, [f = &m_frame, nId] { f->OnCommand(nId); });
  };
  for (size_t i = 0; i < std::size(ITEMS); ++i) {
    add(menu, ITEMS[i]);
    if (ITEMS[i].nId == ID_FILE_GLOBAL_VIEW) {
      QMenu* pSub = menu.addMenu(QStringLiteral("Time Display Resolution"));
      for (const sItem& r : RESOLUTIONS) add(*pSub, r);
    }
  }
  const QPoint at = pEvent->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(5, 5)) : pEvent->globalPos();
  menu.exec(at);
}

bool CHistGraph::OnUpdateCommand(unsigned nId, sCommandState& state) {
  double dFirst, dLast;
  Doc().GetTimeRange(dFirst, dLast);
  const sHistViewState& st = State();
  const bool bTime = m_nXChannel < 0;
  const bool bCursorShown = st.m_aCursors[0].m_bShown || st.m_aCursors[1].m_bShown;
  switch (nId) {
    case ID_HIST_PREVIOUS: state.m_bEnabled = CanShowPrevious(Period(), dFirst); return true;
    case ID_HIST_NEXT: state.m_bEnabled = CanShowNext(Period(), dLast); return true;
    case ID_LINK_POINTS: state.m_bEnabled = true, state.m_bChecked = m_bLinkPoints; return true;
    case ID_GRID: state.m_bEnabled = true, state.m_bChecked = m_bGrid; return true;
    case ID_STACKED_VIEW: state.m_bEnabled = true, state.m_bChecked = m_pControl->IsStacked(); return true;
    case ID_ZOOM_BACK: state.m_bEnabled = m_zoomHistory.CanGoBack(); return true;
    case ID_ZOOM_FORWARD: state.m_bEnabled = m_zoomHistory.CanGoForward(); return true;
    case ID_HIST_GLOBAL_VIEW:
    case ID_FILE_GLOBAL_VIEW:
    case ID_FILE_PRINT:
    case ID_FILE_PRINT_PREVIEW: state.m_bEnabled = true; return true;
    case ID_HIST_AREA_FROM_CURSORS:
    case ID_ADD_FIXED_MARK: state.m_bEnabled = bCursorShown && bTime; return true;
    case ID_ERASE_FIXED_MARKS: state.m_bEnabled = !st.m_aFixedMarks.empty() && bTime; return true;
    default: return false;
  }
}

bool CHistGraph::OnCommand(unsigned nId) {
  switch (nId) {
    case ID_HIST_PREVIOUS: ShowPrevious(); return true;
    case ID_HIST_NEXT: ShowNext(); return true;
    case ID_LINK_POINTS: m_bLinkPoints = !m_bLinkPoints; RefreshGraphState(); return true;
    case ID_GRID: m_bGrid = !m_bGrid; RefreshGraphState(); return true;
    case ID_STACKED_VIEW: SetStacked(!m_pControl->IsStacked()); return true;
    case ID_ZOOM_BACK: ZoomBack(); return true;
    case ID_ZOOM_FORWARD: ZoomForward(); return true;
    case ID_HIST_GLOBAL_VIEW: HistoricalGlobalView(); return true;
    case ID_FILE_GLOBAL_VIEW: FileGlobalView(); return true;
    case ID_HIST_AREA_FROM_CURSORS: DefineHistoryFromCursors(); return true;
    case ID_ADD_FIXED_MARK: AddFixedMark(); return true;
    case ID_ERASE_FIXED_MARKS: EraseFixedMarks(); return true;
    case ID_FILE_PRINT: PrintGraph(); return true;
    case ID_FILE_PRINT_PREVIEW: PrintPreviewGraph(); return true;
    default: return false;
  }
}

} // namespace zk7
