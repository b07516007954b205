// CStatisticsPane: the statistics of the displayed channels between the two
// cursors (or any record range), one row per channel. The figures are computed
// on a thread of their own, so that dragging a cursor over millions of records
// never stalls the window: the newest range wins, an older computation still
// running is abandoned, and a computation that lasts beyond a second shows its
// progress with a Cancel button.
#pragma once
#include <QWidget>

#include <atomic>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "history/ChannelStatistics.h"

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QTimer;

namespace zk7 {

class CZK7Doc;

class CStatisticsPane : public QWidget {
  Q_OBJECT
public:
  explicit CStatisticsPane(std::shared_ptr<const CZK7Doc> pDoc, QWidget* pParent = nullptr);
  ~CStatisticsPane() override;

  // Asks for the statistics of records [nFirst, nLast] of the channels (0-based).
  void SetRange(int nFirst, int nLast, const std::vector<int>& aChannels);
  // Stops the computation under way; the table keeps the last figures.
  void CancelComputation();
  bool IsBusy() const { return m_worker.joinable(); }

  const std::vector<sChannelStatistics>& GetResults() const { return m_aResults; }
  QTableWidget* GetTable() const { return m_pTable; }
  QPushButton* GetCancelButton() const { return m_pCancel; }
  // The table as TAB-separated text, as Copy puts it on the clipboard.
  QString GetTabText() const;
  void Copy() const;

signals:
  // The table shows the figures of the newest range.
  void resultsReady();

protected:
  void keyPressEvent(QKeyEvent* pEvent) override;
  void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
  struct sRequest {
    int nFirst = 0, nLast = -1;
    std::vector<int> aChannels;
  };
  void StartWorker();
  void OnWorkerDone(unsigned nGeneration, bool bComplete, std::vector<sChannelStatistics> aResults,
                    QString strError);
  void ShowResults();

  std::shared_ptr<const CZK7Doc> m_pDoc;
  std::vector<sChannelStatistics> m_aResults;
  sRequest m_pending;
  bool m_bPending = false;
  std::thread m_worker;
  std::atomic<unsigned> m_nGeneration{0};  // a computation of an older generation gives up
  std::atomic<int64_t> m_nDone{0}, m_nTotal{0};
  QTableWidget* m_pTable;
  QLabel* m_pStatus;
  QProgressBar* m_pProgress;
  QPushButton* m_pCancel;
  QTimer* m_pProgressTimer;
  int m_nBusyTicks = 0;
};

} // namespace zk7
