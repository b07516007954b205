// The record list pane: window of model rows, scroll bar over every record,
// selection blocks, go-to commands, cursor definition and the repaint timer.
#include "history/HistList.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QScrollBar>
#include <QTableView>
#include <QWheelEvent>

#include <algorithm>
#include <cmath>

#include "app/CommandIds.h"
#include "history/GetDateDialog.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "history/HistListCommands.h"
#include "history/HistListModel.h"
#include "history/HistListOutput.h"
#include "history/HistPaneMenu.h"
#include "history/HistRowText.h"
#include "results/ZK7Doc.h"
#include "results/ZK7Exception.h"
#include "strings/StringTable.h"
#include "ui/FixedFont.h"

namespace zk7 {

namespace {

struct sWaitCursor {
  sWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~sWaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

// The table that draws the window of rows. Mouse, wheel and keys act on the
// list's selection of records, not on the model rows on screen.
class CHistListTable : public QTableView {
public:
  CHistListTable(CHistList& list, QWidget* pParent) : QTableView(pParent), m_list(list) {}

  void keyboardSearch(const QString&) override {}

protected:
  void mousePressEvent(QMouseEvent* pEvent) override {
    // A Ctrl+click would add a second block: it is ignored, so that a mouse
    // selection is always one run of rows.
    if (pEvent->modifiers() & Qt::ControlModifier) {
      pEvent->accept();
      return;
    }
    setFocus(Qt::MouseFocusReason);
    if (pEvent->button() != Qt::LeftButton) {
      pEvent->accept();
      return;
    }
    const QModelIndex index = indexAt(pEvent->position().toPoint());
    if (index.isValid()) {
      m_list.ClickRecord(m_list.GetTopRow() + index.row(), pEvent->modifiers() & Qt::ShiftModifier);
      m_bDragging = true;
    } else if (!(pEvent->modifiers() & Qt::ShiftModifier)) {
      m_list.ClearSelection();
    }
    pEvent->accept();
  }
  void mouseMoveEvent(QMouseEvent* pEvent) override {
    if (!m_bDragging || !(pEvent->buttons() & Qt::LeftButton)) return;
    const int y = pEvent->position().toPoint().y();
    const int nRowHeight = std::max(1, verticalHeader()->defaultSectionSize());
    int nRecord;
    if (y < 0) {
      m_list.SetTopRow(m_list.GetTopRow() - 1);
      nRecord = m_list.GetTopRow();
    } else if (y >= viewport()->height()) {
      m_list.SetTopRow(m_list.GetTopRow() + 1);
      nRecord = m_list.GetTopRow() + m_list.GetPageRows() - 1;
    } else {
      nRecord = m_list.GetTopRow() + y / nRowHeight;
    }
    m_list.ExtendTo(nRecord);
    pEvent->accept();
  }
  void mouseReleaseEvent(QMouseEvent* pEvent) override {
    m_bDragging = false;
    pEvent->accept();
  }
  void mouseDoubleClickEvent(QMouseEvent* pEvent) override { mousePressEvent(pEvent); }
  void wheelEvent(QWheelEvent* pEvent) override {
    const int nDelta = pEvent->angleDelta().y();
    if (nDelta == 0) {
      QTableView::wheelEvent(pEvent);
      return;
    }
    m_nWheel += nDelta;
    const int nSteps = m_nWheel / 120;
    m_nWheel -= nSteps * 120;
    m_list.SetTopRow(m_list.GetTopRow() - nSteps * QApplication::wheelScrollLines());
    pEvent->accept();
  }
  void keyPressEvent(QKeyEvent* pEvent) override {
    const bool bShift = pEvent->modifiers() & Qt::ShiftModifier;
    if (pEvent == QKeySequence::SelectAll) {
      m_list.GetFrame().OnCommand(ID_EDIT_SELECT_ALL);
    } else if (pEvent == QKeySequence::Copy) {
      m_list.GetFrame().OnCommand(ID_EDIT_COPY);
    } else {
      switch (pEvent->key()) {
        case Qt::Key_Up: m_list.MoveFocus(LIST_KEY_UP, bShift); break;
        case Qt::Key_Down: m_list.MoveFocus(LIST_KEY_DOWN, bShift); break;
        case Qt::Key_PageUp: m_list.MoveFocus(LIST_KEY_PAGE_UP, bShift); break;
        case Qt::Key_PageDown: m_list.MoveFocus(LIST_KEY_PAGE_DOWN, bShift); break;
        case Qt::Key_Home: m_list.MoveFocus(LIST_KEY_HOME, bShift); break;
        case Qt::Key_End: m_list.MoveFocus(LIST_KEY_END, bShift); break;
        case Qt::Key_Left: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepSub); break;
        case Qt::Key_Right: horizontalScrollBar()->triggerAction(QAbstractSlider::SliderSingleStepAdd); break;
        default: QWidget::keyPressEvent(pEvent); return;
      }
    }
    pEvent->accept();
  }
  void contextMenuEvent(QContextMenuEvent* pEvent) override {
    const QPoint at = pEvent->reason() == QContextMenuEvent::Keyboard ? viewport()->mapToGlobal(QPoint(5, 5))
                                                                        : pEvent->globalPos();
    m_list.ShowContextMenu(at);
    pEvent->accept();
  }
  void resizeEvent(QResizeEvent* pEvent) override {
    QTableView::resizeEvent(pEvent);
    m_list.UpdateWindow();
  }

private:
  CHistList& m_list;
  bool m_bDragging = false;
  int m_nWheel = 0;
};

CHistList::CHistList(CHistFrame& frame, QWidget* pParent)
    : QWidget(pParent), m_frame(frame), m_pModel(new CHistListModel(this)), m_pTable(new CHistListTable(*this, this)),
      m_pScroll(new QScrollBar(Qt::Vertical, this)) {
  setObjectName(QStringLiteral("listPane"));
  auto* pLayout = new QHBoxLayout(this);
  pLayout->setContentsMargins(0, 0, 0, 0);
  pLayout->setSpacing(0);
  pLayout->addWidget(m_pTable, 1);
  pLayout->addWidget(m_pScroll);
  setFocusProxy(m_pTable);

  m_pTable->setObjectName(QStringLiteral("recordList"));
  m_pTable->setFont(FixedPitchFont());
  m_pTable->setModel(m_pModel);
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pTable->setShowGrid(false);
  m_pTable->setWordWrap(false);
  m_pTable->setCornerButtonEnabled(false);
  m_pTable->setIconSize(QSize(16, 16));
  m_pTable->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  m_pTable->setAutoScroll(false);
  m_nRowHeight = std::max(m_pTable->fontMetrics().height() + 4, 18);
  m_pTable->verticalHeader()->hide();
  m_pTable->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  m_pTable->verticalHeader()->setMinimumSectionSize(1);
  m_pTable->verticalHeader()->setDefaultSectionSize(m_nRowHeight);
  m_pTable->horizontalHeader()->setSectionsClickable(false);
  m_pTable->horizontalHeader()->setHighlightSections(false);
  m_pTable->horizontalHeader()->setStretchLastSection(false);
  m_pTable->horizontalHeader()->setSectionResizeMode(QHeaderView::Interactive);
  // The selection lives in m_selection: the table's own selection model only
  // mirrors it, so what Qt would change by itself is put back.
  m_pScroll->setSingleStep(1);
  connect(m_pScroll, &QScrollBar::valueChanged, this, &CHistList::SetTopRow);

  m_repaintTimer.setInterval(1000);
  connect(&m_repaintTimer, &QTimer::timeout, this, &CHistList::OnTimer);
  connect(&m_frame, &CHistFrame::refreshRequested, this, &CHistList::Rebuild);
  connect(&m_frame, &CHistFrame::listRebuildRequested, this, &CHistList::Rebuild);
}

CHistList::~CHistList() {
  sWaitCursor wait;
  m_repaintTimer.stop();
}

QTableView* CHistList::GetTable() const { return m_pTable; }

const CHistRowText& CHistList::GetRowText() const { return *m_pModel->GetRows(); }

void CHistList::OnInitialUpdate() {
  m_frame.SetTimeFormatFromFile();
  m_repaintTimer.start();
  Rebuild();
}

void CHistList::ResetDisplayedChannels() {
  m_aDisplayed.clear();
  for (int c = 0; c < m_frame.GetDocument().GetChannelCount(); ++c) m_aDisplayed.push_back(c);
}

void CHistList::SetDisplayedChannels(const std::vector<int>& aChannels) {
  m_aDisplayed = aChannels;
  Rebuild();
}

void CHistList::Rebuild() {
  sWaitCursor wait;
  m_selection.Reset();
  if (m_aDisplayed.empty()) ResetDisplayedChannels();
  const sHistViewState& st = m_frame.GetViewState();
  sListOptions options;
  options.m_nTimeFormat = st.m_nTimeFormat == sHistViewState::TIME_FORMAT_TIME ? 1 : 0;
  options.m_bShowFraction = st.m_bShowFraction;
  options.m_nFractionDigits = st.m_nFractionDigits;
  options.m_bMsOffsetColumns = st.m_bMsOffsetColumns;
  options.m_aDisplayedChannels = m_aDisplayed;
  m_pModel->SetRows(std::make_unique<CHistRowText>(m_frame.GetDocument(), std::move(options)));
  ApplyColumns();
  RefreshMarkers();
  UpdateWindow();
}

void CHistList::ApplyColumns() {
  const QFontMetrics metrics(m_pTable->font());
  const QFontMetrics titleMetrics(m_pTable->horizontalHeader()->font());
  const int u = metrics.horizontalAdvance(QLatin1Char('X'));
  const auto& aColumns = GetRowText().GetColumns();
  for (size_t i = 0; i < aColumns.size(); ++i) {
    const QString strTitle = QString::fromLatin1(aColumns[i].strTitle);
    int nWidth = std::max(titleMetrics.horizontalAdvance(strTitle), aColumns[i].nMinWidth * u) + 2 * u;
    // The marker is drawn in the first column, beside the mark number.
    if (i == 0) nWidth += m_pTable->iconSize().width() + 4;
    m_pTable->horizontalHeader()->resizeSection(static_cast<int>(i), nWidth);
  }
}

void CHistList::RefreshMarkers() {
  const sHistViewState& st = m_frame.GetViewState();
  CHistGraph* pGraph = m_frame.GetHistGraph();
  int aRecords[2] = {-1, -1};
  std::string strError;
  for (int n = 1; n <= 2; ++n) {
    const sCursorState& cursor = st.m_aCursors[n - 1];
    if (!pGraph || !cursor.m_bShown || !cursor.m_bLocked) continue;
    // A cursor whose record cannot be read any more loses its marker; the
    // other marks are still drawn.
    try {
      aRecords[n - 1] = m_frame.GetDocument().FindRecordByTime(pGraph->GetCursorX(n));
    } catch (const CZK7Exception& e) {
      strError = e.GetText();
    }
  }
  m_pModel->SetMarkers(pGraph ? st.m_aFixedMarks : std::vector<int>{}, aRecords[0], aRecords[1]);
  if (!strError.empty()) m_frame.ReportReadError(strError);
}

void CHistList::OnTimer() {
  if (!isVisible()) return;
  RefreshMarkers();
  m_pTable->viewport()->repaint();
}

void CHistList::FitColumnsToCells() {
  // An error value with its meaning runs longer than a column is made: the
  // column grows to the widest cell on screen, and does not shrink while the
  // list scrolls (a rebuild starts from the computed widths again).
  const CHistRowText* pRows = m_pModel->GetRows();
  if (!pRows) return;
  const QFontMetrics metrics(m_pTable->font());
  const int u = metrics.horizontalAdvance(QLatin1Char('X'));
  const int nTop = GetTopRow();
  const int nRows = m_pModel->rowCount();
  QHeaderView* pHeader = m_pTable->horizontalHeader();
  for (int c = 1; c < pRows->GetColumnCount(); ++c) {
    int nWidest = 0;
    for (int r = 0; r < nRows; ++r) {
      try {
        const std::string s = pRows->GetCellText(nTop + r, c);
        nWidest = std::max(nWidest, metrics.horizontalAdvance(QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size()))));
      } catch (const CZK7Exception&) {
        // The row is drawn empty; its width does not count.
      }
    }
    if (nWidest + 2 * u > pHeader->sectionSize(c)) pHeader->resizeSection(c, nWidest + 2 * u);
  }
}

int CHistList::GetTopRow() const { return m_pModel->GetTop(); }

int CHistList::GetPageRows() const { return std::max(1, m_pTable->viewport()->height() / m_nRowHeight); }

void CHistList::SetTopRow(int nTop) {
  nTop = ClampTopRow(nTop, GetPageRows(), m_pModel->GetRecordCount());
  if (nTop == m_pModel->GetTop()) return;
  m_pModel->SetWindow(nTop, m_pModel->rowCount());
  UpdateWindow();
}

void CHistList::UpdateWindow() {
  const int nCount = m_pModel->GetRecordCount();
  const int nPage = GetPageRows();
  // A partly visible last row is drawn too.
  const int nWindow = (m_pTable->viewport()->height() + m_nRowHeight - 1) / m_nRowHeight;
  const int nTop = ClampTopRow(m_pModel->GetTop(), nPage, nCount);
  m_pModel->SetWindow(nTop, std::max(nWindow, 1));
  m_pScroll->setRange(0, std::max(0, nCount - nPage));
  m_pScroll->setPageStep(nPage);
  m_pScroll->setValue(nTop);
  FitColumnsToCells();
  SyncView();
}

void CHistList::OnRecordsAppended(bool bToEnd) {
  m_pModel->OnRecordsAppended();
  UpdateWindow();
  if (bToEnd) SetTopRow(m_pModel->GetRecordCount());
}

void CHistList::EnsureVisible(int nRecord) {
  SetTopRow(TopRowShowing(GetTopRow(), nRecord, GetPageRows(), m_pModel->GetRecordCount()));
}

void CHistList::SyncView() {
  QItemSelectionModel* pSelection = m_pTable->selectionModel();
  if (!pSelection) return;
  const int nTop = GetTopRow();
  const int nRows = m_pModel->rowCount();
  const int nLastColumn = m_pModel->columnCount() - 1;
  QItemSelection selection;
  if (nRows > 0 && nLastColumn >= 0)
    for (const sRowBlock& b : m_selection.GetBlocks()) {
      const int a = std::max(b.nFirst, nTop) - nTop;
      const int z = std::min(b.nLast, nTop + nRows - 1) - nTop;
      if (a <= z) selection.select(m_pModel->index(a, 0), m_pModel->index(z, nLastColumn));
    }
  pSelection->select(selection, QItemSelectionModel::ClearAndSelect);
  const int nFocus = m_selection.GetFocus() - nTop;
  if (nFocus >= 0 && nFocus < nRows)
    pSelection->setCurrentIndex(m_pModel->index(nFocus, 0), QItemSelectionModel::NoUpdate);
  else
    pSelection->clearCurrentIndex();
  emit m_frame.commandStateChanged();
}

void CHistList::ClickRecord(int nRecord, bool bShift) {
  if (nRecord < 0 || nRecord >= m_pModel->GetRecordCount()) return;
  m_selection.ClickRow(nRecord, bShift);
  EnsureVisible(nRecord);
  SyncView();
}

void CHistList::ExtendTo(int nRecord) {
  nRecord = std::clamp(nRecord, 0, std::max(0, m_pModel->GetRecordCount() - 1));
  if (m_selection.GetFocus() == nRecord) return;
  ClickRecord(nRecord, true);
}

void CHistList::MoveFocus(eListKey eKey, bool bShift) {
  const int nRow = StepFocusRow(m_selection.GetFocus(), eKey, GetPageRows(), m_pModel->GetRecordCount());
  if (nRow >= 0) ClickRecord(nRow, bShift);
}

void CHistList::ClearSelection() {
  m_selection.Clear();
  SyncView();
}

int CHistList::FinishGoTo(int nRecord, bool bEnsureVisible, bool bSelect) {
  if (bEnsureVisible) EnsureVisible(nRecord);
  if (bSelect) m_selection.Select(nRecord, nRecord);
  m_pTable->setFocus(Qt::OtherFocusReason);
  m_selection.SetFocus(nRecord);
  SyncView();
  return nRecord;
}

int CHistList::GoToCursor(int n, bool bEnsureVisible, bool bSelect) {
  CHistGraph* pGraph = m_frame.GetHistGraph();
  if (!pGraph || (n != 1 && n != 2)) return -1;
  if (!m_frame.GetViewState().m_aCursors[n - 1].m_bShown) return -1;
  return FinishGoTo(m_frame.GetDocument().FindRecordByTime(pGraph->GetCursorX(n)), bEnsureVisible, bSelect);
}

int CHistList::GoToTime(double dTime, bool bEnsureVisible, bool bSelect) {
  return FinishGoTo(m_frame.GetDocument().FindRecordByTime(dTime), bEnsureVisible, bSelect);
}

int CHistList::SelectBetweenCursors(bool bClearOthers) {
  const sHistViewState& st = m_frame.GetViewState();
  if (!st.m_aCursors[0].m_bShown || !st.m_aCursors[1].m_bShown) return -1;
  const int i1 = GoToCursor(1, false, false);
  if (i1 < 0) return -1;
  const int i2 = GoToCursor(2, false, false);
  if (i2 < 0) return -1;
  const int nLow = std::min(i1, i2), nHigh = std::max(i1, i2);
  if (bClearOthers) m_selection.Clear();
  m_selection.Select(nLow, nHigh);
  EnsureVisible(nLow);
  SyncView();
  return nLow;
}

void CHistList::SelectHistoryPeriod() {
  const sHistViewState& st = m_frame.GetViewState();
  const CZK7Doc& doc = m_frame.GetDocument();
  const int nLow = doc.FindRecordByTime(st.m_dHistoryStart);
  const int nHigh = doc.FindRecordByTime(st.m_dHistoryEnd);
  EnsureVisible(nLow);
  if (nLow <= nHigh) m_selection.Select(nLow, nHigh);
  SyncView();
}

void CHistList::DefineCursorFromList(int n) {
  CHistGraph* pGraph = m_frame.GetHistGraph();
  if (!pGraph || (n != 1 && n != 2)) return;
  sHistViewState& st = m_frame.GetViewState();
  sCursorState& cursor = st.m_aCursors[n - 1];
  if (!cursor.m_bShown) {
    cursor.m_bShown = cursor.m_bLocked = true;
    pGraph->RefreshGraphState();
  }
  const int nRecord = m_selection.GetFirst();
  if (nRecord < 0) return;
  const double dTime = m_frame.GetDocument().GetRecordTime(nRecord, 0);
  if (!m_aDisplayed.empty()) {
    const auto& aChoices = st.m_aCursorChannels;
    const auto it = std::find(aChoices.begin(), aChoices.end(), m_aDisplayed.front());
    if (it != aChoices.end()) {
      cursor.m_bLocked = true;
      cursor.m_nChannelChoice = static_cast<int>(it - aChoices.begin());
    }
  }
  pGraph->PlaceCursor(n, dTime);
}

void CHistList::SelectAll() {
  const int nCount = m_pModel->GetRecordCount();
  if (nCount > 0) m_selection.Select(0, nCount - 1);
  SyncView();
}

void CHistList::ShowContextMenu(const QPoint& globalPos) {
  ExecPaneMenu(m_frame, GetListContextMenu(), this, globalPos);
}

void CHistList::CannotFindRecord() {
  QMessageBox::information(this, QGuiApplication::applicationDisplayName(),
                           QString::fromLatin1(LoadString(IDS_CANNOT_FIND_RECORD)));
}

void CHistList::GoToDateCommand() {
  const sHistViewState& st = m_frame.GetViewState();
  CGetDateDialog dialog(true, st.m_bShowFraction, this);
  dialog.SetDate(st.m_dHistoryEnd);
  if (dialog.exec() != QDialog::Accepted) return;
  if (GoToTime(dialog.GetDate(), true, false) < 0) CannotFindRecord();
}

bool CHistList::OnUpdateCommand(unsigned nId, sCommandState& state) {
  const sHistViewState& st = m_frame.GetViewState();
  switch (nId) {
    case ID_GOTO_DATE:
    case ID_SELECT_HIST_AREA_IN_LIST:
    case ID_EDIT_SELECT_ALL: state.m_bEnabled = true; return true;
    case ID_GOTO_CURSOR1: state.m_bEnabled = st.m_aCursors[0].m_bShown; return true;
    case ID_GOTO_CURSOR2: state.m_bEnabled = st.m_aCursors[1].m_bShown; return true;
    case ID_SELECT_BETWEEN_CURSORS:
      state.m_bEnabled = st.m_aCursors[0].m_bShown && st.m_aCursors[1].m_bShown;
      return true;
    case ID_CURSOR1_FROM_LIST:
    case ID_CURSOR2_FROM_LIST: state.m_bEnabled = HasSelectionMark(); return true;
    case ID_LIST_PRINT_PREVIEW:
    case ID_LIST_PRINT:
    case ID_LIST_EXPORT: state.m_bEnabled = HasSelection(); return true;
    default: return false;
  }
}

bool CHistList::OnCommand(unsigned nId) {
  switch (nId) {
    case ID_GOTO_DATE: GoToDateCommand(); return true;
    case ID_GOTO_CURSOR1:
    case ID_GOTO_CURSOR2:
      if (GoToCursor(nId == ID_GOTO_CURSOR1 ? 1 : 2, true, false) < 0) CannotFindRecord();
      return true;
    case ID_SELECT_BETWEEN_CURSORS: SelectBetweenCursors(true); return true;
    case ID_CURSOR1_FROM_LIST: DefineCursorFromList(1); return true;
    case ID_CURSOR2_FROM_LIST: DefineCursorFromList(2); return true;
    case ID_SELECT_HIST_AREA_IN_LIST: SelectHistoryPeriod(); return true;
    case ID_EDIT_SELECT_ALL: SelectAll(); return true;
    case ID_LIST_PRINT_PREVIEW: PreviewSelectedLines(*this); return true;
    case ID_LIST_PRINT: PrintSelectedLines(*this); return true;
    case ID_LIST_EXPORT: ExportSelection(*this); return true;
    default: return false;
  }
}

} // namespace zk7
