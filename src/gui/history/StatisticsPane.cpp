#include "history/StatisticsPane.h"

#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTableWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "results/ZK7Doc.h"
#include "results/ZK7Exception.h"

namespace zk7 {

namespace {

QString Latin1(const std::string& s) { return QString::fromLatin1(s.data(), static_cast<qsizetype>(s.size())); }

constexpr int PROGRESS_TICK_MS = 100;
constexpr int TICKS_BEFORE_PROGRESS = 10;  // a second

} // namespace

CStatisticsPane::CStatisticsPane(std::shared_ptr<const CZK7Doc> pDoc, QWidget* pParent)
    : QWidget(pParent), m_pDoc(std::move(pDoc)) {
  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(0, 0, 0, 0);
  m_pTable = new QTableWidget(this);
  const std::vector<std::string> aTitles = StatisticsColumnTitles();
  m_pTable->setColumnCount(static_cast<int>(aTitles.size()));
  QStringList aHeader;
  for (const std::string& s : aTitles) aHeader << Latin1(s);
  m_pTable->setHorizontalHeaderLabels(aHeader);
  m_pTable->verticalHeader()->hide();
  m_pTable->setEditTriggers(QAbstractItemView::NoEditTriggers);
  m_pTable->setSelectionMode(QAbstractItemView::NoSelection);
  m_pTable->setFocusPolicy(Qt::NoFocus);
  pLayout->addWidget(m_pTable);

  auto* pBar = new QHBoxLayout;
  m_pStatus = new QLabel(this);
  m_pProgress = new QProgressBar(this);
  m_pProgress->setRange(0, 1000);
  m_pCancel = new QPushButton(tr("Cancel"), this);
  pBar->addWidget(m_pStatus, 1);
  pBar->addWidget(m_pProgress);
  pBar->addWidget(m_pCancel);
  pLayout->addLayout(pBar);
  m_pProgress->hide();
  m_pCancel->hide();
  connect(m_pCancel, &QPushButton::clicked, this, &CStatisticsPane::CancelComputation);

  m_pProgressTimer = new QTimer(this);
  m_pProgressTimer->setInterval(PROGRESS_TICK_MS);
  connect(m_pProgressTimer, &QTimer::timeout, this, [this] {
    if (++m_nBusyTicks < TICKS_BEFORE_PROGRESS) return;
    const int64_t nTotal = m_nTotal.load();
    m_pProgress->setValue(nTotal > 0 ? static_cast<int>(m_nDone.load() * 1000 / nTotal) : 0);
    m_pProgress->show();
    m_pCancel->show();
  });
  setFocusPolicy(Qt::ClickFocus);
}

CStatisticsPane::~CStatisticsPane() {
  ++m_nGeneration;
  if (m_worker.joinable()) m_worker.join();
}

void CStatisticsPane::SetRange(int nFirst, int nLast, const std::vector<int>& aChannels) {
  m_pending = {nFirst, nLast, aChannels};
  m_bPending = true;
  ++m_nGeneration;  // whatever runs now is already out of date
  if (!m_worker.joinable()) StartWorker();
}

void CStatisticsPane::CancelComputation() {
  m_bPending = false;
  ++m_nGeneration;
}

void CStatisticsPane::StartWorker() {
  const sRequest request = m_pending;
  m_bPending = false;
  const unsigned nGeneration = m_nGeneration.load();
  m_nDone = 0;
  m_nTotal = std::max(0, request.nLast - request.nFirst + 1);
  m_nBusyTicks = 0;
  m_pProgressTimer->start();
  m_worker = std::thread([this, request, nGeneration, pDoc = m_pDoc] {
    std::vector<sChannelStatistics> aResults;
    QString strError;
    bool bComplete = false;
    try {
      // The record reads of a pass do not touch the document's record window,
      // so the window goes on reading its rows meanwhile.
      bComplete = CChannelStatistics::Compute(*pDoc, request.nFirst, request.nLast, request.aChannels, aResults,
                                              [this, nGeneration](int64_t nDone, int64_t) {
                                                m_nDone = nDone;
                                                return m_nGeneration.load() == nGeneration;
                                              });
    } catch (const std::exception& e) {
      strError = QString::fromLocal8Bit(e.what());
    }
    QMetaObject::invokeMethod(
        this,
        [this, nGeneration, bComplete, aResults = std::move(aResults), strError]() mutable {
          OnWorkerDone(nGeneration, bComplete, std::move(aResults), strError);
        },
        Qt::QueuedConnection);
  });
}

void CStatisticsPane::OnWorkerDone(unsigned nGeneration, bool bComplete, std::vector<sChannelStatistics> aResults,
                                   QString strError) {
  if (m_worker.joinable()) m_worker.join();
  m_pProgressTimer->stop();
  m_pProgress->hide();
  m_pCancel->hide();
  if (m_bPending) {
    StartWorker();
    return;
  }
  if (!strError.isEmpty()) {
    m_pStatus->setText(strError);
    return;
  }
  if (!bComplete || nGeneration != m_nGeneration.load()) {
    m_pStatus->setText(tr("Statistics cancelled"));
    return;
  }
  m_aResults = std::move(aResults);
  m_pStatus->clear();
  ShowResults();
  emit resultsReady();
}

void CStatisticsPane::ShowResults() {
  m_pTable->setRowCount(static_cast<int>(m_aResults.size()));
  for (int r = 0; r < static_cast<int>(m_aResults.size()); ++r) {
    const std::vector<std::string> aCells = StatisticsRowCells(*m_pDoc, m_aResults[static_cast<size_t>(r)]);
    for (int c = 0; c < static_cast<int>(aCells.size()); ++c) {
      auto* pItem = new QTableWidgetItem(Latin1(aCells[static_cast<size_t>(c)]));
      if (c == 0 || c >= 3) pItem->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
      m_pTable->setItem(r, c, pItem);
    }
  }
  m_pTable->resizeColumnsToContents();
}

QString CStatisticsPane::GetTabText() const { return Latin1(StatisticsTabText(*m_pDoc, m_aResults)); }

void CStatisticsPane::Copy() const { QApplication::clipboard()->setText(GetTabText()); }

void CStatisticsPane::keyPressEvent(QKeyEvent* pEvent) {
  if (pEvent->matches(QKeySequence::Copy)) {
    Copy();
    return;
  }
  QWidget::keyPressEvent(pEvent);
}

void CStatisticsPane::contextMenuEvent(QContextMenuEvent* pEvent) {
  QMenu menu(this);
  menu.addAction(tr("Copy"), this, &CStatisticsPane::Copy);
  menu.exec(pEvent->globalPos());
}

} // namespace zk7
