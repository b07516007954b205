// The key pane: building its rows from the key table, check boxes spread over
// the selection, scale buttons, hidden unchecked channels, copy.
#include "history/HistLegend.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMimeData>
#include <QPainter>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/CommandIds.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "history/HistLegendState.h"
#include "history/HistList.h"
#include "history/HistListCommands.h"
#include "history/HistPaneMenu.h"
#include "history/KeyTable.h"
#include "history/graph/GraphControl.h"
#include "results/ZK7Doc.h"
#include "settings/SettingsRecord.h"

namespace zk7 {

namespace {

struct sWaitCursor {
  sWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
  ~sWaitCursor() { QApplication::restoreOverrideCursor(); }
};

QString Latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

Qt::Alignment AlignmentOf(int nAlign) {
  switch (nAlign) {
    case sKeyColumnFormat::RIGHT: return Qt::AlignRight | Qt::AlignVCenter;
    case sKeyColumnFormat::CENTRE: return Qt::AlignHCenter | Qt::AlignVCenter;
    default: return Qt::AlignLeft | Qt::AlignVCenter;
  }
}

QIcon ChannelSquare(int nChannel) {
  QPixmap pixmap(16, 16);
  pixmap.fill(ColourFromRef(GetDisplayColour(GetChannelColourIndex(nChannel))));
  return QIcon(pixmap);
}

} // namespace

CHistLegend::CHistLegend(CHistFrame& frame, QWidget* pParent)
    : QWidget(pParent), m_frame(frame), m_pLabel(new QLabel(QStringLiteral("Assign scale:"), this)),
      m_pTable(new QTableWidget(this)) {
  setObjectName(QStringLiteral("keyPane"));
  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(6, 6, 6, 6);
  pLayout->setSpacing(4);
  auto* pTop = new QHBoxLayout;
  pTop->addStretch(1);
  pTop->addWidget(m_pLabel);
  static const char* const CAPTIONS[3] = {"Y1", "Y2", "X"};
  static const int SCALES[3] = {1, 2, 0};
  for (int i = 0; i < 3; ++i) {
    m_apButtons[i] = new QPushButton(QString::fromLatin1(CAPTIONS[i]), this);
    m_apButtons[i]->setFixedWidth(m_apButtons[i]->fontMetrics().horizontalAdvance(QStringLiteral("Y2")) + 12);
    m_apButtons[i]->setFocusPolicy(Qt::NoFocus);
    const int nScale = SCALES[i];
    connect(m_apButtons[i], &QPushButton::clicked, this, [this, nScale] { AssignScale(nScale); });
    pTop->addWidget(m_apButtons[i]);
  }
  pLayout->addLayout(pTop);
  pLayout->addWidget(m_pTable, 1);
  setFocusProxy(m_pTable);

  m_pTable->setObjectName(QStringLiteral("keyList"));
  m_pTable->setShowGrid(true);
  m_pTable->setSelectionBehavior(QAbstractItemView::SelectRows);
  m_pTable->setSelectionMode(QAbstractItemView::ExtendedSelection);
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pTable->setWordWrap(false);
  m_pTable->setIconSize(QSize(16, 16));
  m_pTable->verticalHeader()->hide();
  m_pTable->horizontalHeader()->setStretchLastSection(false);
  m_pTable->horizontalHeader()->setSectionsClickable(false);
  connect(m_pTable, &QTableWidget::itemChanged, this, &CHistLegend::OnItemChanged);
  connect(m_pTable, &QTableWidget::itemSelectionChanged, this, &CHistLegend::OnSelectionChanged);
  connect(&m_frame, &CHistFrame::refreshRequested, this, &CHistLegend::Rebuild);
}

QPushButton* CHistLegend::GetScaleButton(int nScale) const {
  return nScale == 1 ? m_apButtons[0] : nScale == 2 ? m_apButtons[1] : nScale == 0 ? m_apButtons[2] : nullptr;
}

void CHistLegend::OnInitialUpdate() {
  m_frame.SetTimeFormatFromFile();
  sHistViewState& st = m_frame.GetViewState();
  st.m_aChanStates.clear();
  NormaliseChanStates(st, m_frame.GetDocument().GetChannelCount());
  if (CHistGraph* pGraph = m_frame.GetHistGraph()) {
    pGraph->SetKeySelectionSource([this] { return GetFirstSelectedChannel(); });
    connect(pGraph, &CHistGraph::fixedMarksChanged, this, &CHistLegend::Rebuild, Qt::UniqueConnection);
  }
  Rebuild();
}

void CHistLegend::Rebuild() {
  sWaitCursor wait;
  sHistViewState& st = m_frame.GetViewState();
  NormaliseChanStates(st, m_frame.GetDocument().GetChannelCount());
  const sKeyTable table = BuildKeyTable(m_frame.GetDocument(), st, m_bHideUnchecked);
  m_bBusy = true;
  m_pTable->clear();
  m_pTable->setColumnCount(static_cast<int>(table.aTitles.size()));
  m_pTable->setRowCount(static_cast<int>(table.aRows.size()));
  QStringList aTitles;
  for (const std::string& s : table.aTitles) aTitles << Latin1(s);
  m_pTable->setHorizontalHeaderLabels(aTitles);
  for (size_t r = 0; r < table.aRows.size(); ++r) {
    const int nChannel = table.aChannels[r];
    for (size_t c = 0; c < table.aRows[r].size(); ++c) {
      auto* pItem = new QTableWidgetItem(Latin1(table.aRows[r][c]));
      pItem->setTextAlignment(AlignmentOf(KeyColumnFormat(static_cast<int>(c)).nAlign));
      Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
      if (c == 0) {
        flags |= Qt::ItemIsUserCheckable;
        pItem->setCheckState(table.aChecked[r] ? Qt::Checked : Qt::Unchecked);
        pItem->setIcon(ChannelSquare(nChannel));
        pItem->setData(Qt::UserRole, nChannel);
      }
      pItem->setFlags(flags);
      m_pTable->setItem(static_cast<int>(r), static_cast<int>(c), pItem);
    }
  }
  m_aRowChannels = table.aChannels;
  if (!table.strReadError.empty()) m_frame.ReportReadError(table.strReadError);
  // Computed widths, then every column but the last fitted to its contents.
  const int u = m_pTable->fontMetrics().horizontalAdvance(QLatin1Char('X'));
  const QFontMetrics titleMetrics(m_pTable->horizontalHeader()->font());
  const int nColumns = m_pTable->columnCount();
  for (int c = 0; c < nColumns; ++c) {
    const int nTitle = titleMetrics.horizontalAdvance(aTitles[c]);
    m_pTable->setColumnWidth(c, std::max(nTitle, KeyColumnFormat(c).nMinWidth * u) + 2 * u);
  }
  for (int c = 0; c + 1 < nColumns; ++c) m_pTable->resizeColumnToContents(c);
  m_bBusy = false;
}

std::set<int> CHistLegend::SelectedRows() const {
  std::set<int> aRows;
  if (m_pTable->selectionModel())
    for (const QModelIndex& index : m_pTable->selectionModel()->selectedRows()) aRows.insert(index.row());
  return aRows;
}

int CHistLegend::GetFirstSelectedChannel() const {
  const std::set<int> aRows = SelectedRows();
  if (aRows.empty()) return -1;
  const int nRow = *aRows.begin();
  return static_cast<size_t>(nRow) < m_aRowChannels.size() ? m_aRowChannels[static_cast<size_t>(nRow)] : -1;
}

void CHistLegend::OnItemChanged(QTableWidgetItem* pItem) {
  if (m_bBusy || !pItem || pItem->column() != 0) return;
  const int nRow = pItem->row();
  if (nRow < 0 || static_cast<size_t>(nRow) >= m_aRowChannels.size()) return;
  sHistViewState& st = m_frame.GetViewState();
  const bool bChecked = pItem->checkState() != Qt::Unchecked;
  if (bChecked == IsChannelChecked(st, m_aRowChannels[static_cast<size_t>(nRow)])) return;
  m_bBusy = true;
  for (int r : ApplyKeyCheck(st, m_aRowChannels, SelectedRows(), nRow, bChecked))
    if (QTableWidgetItem* pOther = m_pTable->item(r, 0)) pOther->setCheckState(bChecked ? Qt::Checked : Qt::Unchecked);
  m_bBusy = false;
  // The row leaves the key after the notification is over: its item is still in use.
  if (m_bHideUnchecked && !bChecked) QTimer::singleShot(0, this, &CHistLegend::Rebuild);
  ApplyChecks();
}

void CHistLegend::ApplyChecks() {
  if (CHistGraph* pGraph = m_frame.GetHistGraph()) pGraph->RefreshGraphState();
  if (auto* pList = qobject_cast<CHistList*>(m_frame.GetListPane()))
    pList->SetDisplayedChannels(CheckedChannels(m_frame.GetViewState()));
}

void CHistLegend::OnSelectionChanged() {
  if (m_bBusy) return;
  if (CHistGraph* pGraph = m_frame.GetHistGraph()) pGraph->ShowAlarmLines();
  emit m_frame.commandStateChanged();
}

void CHistLegend::AssignScale(int nScale) {
  sHistViewState& st = m_frame.GetViewState();
  m_bBusy = true;
  AssignKeyScale(st, m_aRowChannels, SelectedRows(), nScale);
  const sKeyTable table = BuildKeyTable(m_frame.GetDocument(), st, m_bHideUnchecked);
  constexpr int SCALE_COLUMN = 3;
  for (size_t r = 0; r < table.aRows.size() && r < static_cast<size_t>(m_pTable->rowCount()); ++r)
    if (QTableWidgetItem* pItem = m_pTable->item(static_cast<int>(r), SCALE_COLUMN))
      pItem->setText(Latin1(table.aRows[r][SCALE_COLUMN]));
  m_bBusy = false;
  if (CHistGraph* pGraph = m_frame.GetHistGraph()) pGraph->RefreshGraphState();
}

long CHistLegend::CopyKey() {
  QClipboard* pClipboard = QGuiApplication::clipboard();
  if (!pClipboard) return 1;
  const sKeyTable table = BuildKeyTable(m_frame.GetDocument(), m_frame.GetViewState(), m_bHideUnchecked);
  // A key with unreadable mark cells is not copied as if it were whole.
  if (!table.strReadError.empty()) {
    m_frame.ReportReadError(table.strReadError);
    return 1;
  }
  const std::string strText = KeyClipboardText(table);
  const QByteArray bytes(strText.data(), static_cast<qsizetype>(strText.size()));
  auto* pData = new QMimeData;
  pData->setText(QString::fromLatin1(bytes));
  pData->setData(QStringLiteral("text/plain;charset=ISO-8859-1"), bytes);
  // The list as it is on screen, in a one-pixel black frame.
  QImage image = m_pTable->grab(m_pTable->contentsRect()).toImage();
  if (!image.isNull()) {
    QPainter painter(&image);
    painter.setPen(Qt::black);
    painter.drawRect(0, 0, image.width() - 1, image.height() - 1);
    painter.end();
    pData->setImageData(image);
  }
  pClipboard->setMimeData(pData);
  return 0;
}

void CHistLegend::contextMenuEvent(QContextMenuEvent* pEvent) {
  const QPoint at =
      pEvent->reason() == QContextMenuEvent::Keyboard ? mapToGlobal(QPoint(5, 5)) : pEvent->globalPos();
  ExecPaneMenu(m_frame, GetKeyContextMenu(), this, at);
  pEvent->accept();
}

bool CHistLegend::OnUpdateCommand(unsigned nId, sCommandState& state) {
  if (nId != ID_HIDE_UNCHECKED_CHANNELS) return false;
  state.m_bEnabled = true;
  state.m_bChecked = m_bHideUnchecked;
  return true;
}

bool CHistLegend::OnCommand(unsigned nId) {
  if (nId != ID_HIDE_UNCHECKED_CHANNELS) return false;
  m_bHideUnchecked = !m_bHideUnchecked;
  Rebuild();
  return true;
}

} // namespace zk7
