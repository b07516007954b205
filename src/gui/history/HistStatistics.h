// CHistStatistics: the "Statistics" view of a results window. It measures the
// displayed channels over the records between the two cursors when both are
// shown, else over the list's selection, else over the historical area, and
// follows every change of them. Changes are gathered and passed on at most
// every few tens of milliseconds; the figures themselves come from the
// statistics pane's own thread, so a cursor drag never waits for them.
#pragma once
#include <QTimer>
#include <QWidget>

#include <vector>

class QLabel;

namespace zk7 {

class CHistFrame;
class CStatisticsPane;

class CHistStatistics : public QWidget {
  Q_OBJECT
public:
  explicit CHistStatistics(CHistFrame& frame, QWidget* pParent = nullptr);

  CStatisticsPane* GetPane() const { return m_pPane; }

  enum eSource { SOURCE_NONE, SOURCE_CURSORS, SOURCE_SELECTION, SOURCE_HISTORICAL_AREA };
  struct sRange {
    eSource eFrom = SOURCE_NONE;
    int nFirst = 0, nLast = -1;  // records, inclusive
    std::vector<int> aChannels;  // 0-based, the ticked ones
    bool operator==(const sRange&) const = default;
  };
  // The range the view measures now (reads the cursors, the list and the key).
  sRange CurrentRange() const;
  // The range last handed to the pane.
  const sRange& GetRequestedRange() const { return m_requested; }

  // Something the range depends on may have changed: looked at shortly.
  void ScheduleUpdate();
  // Looks at the range now and asks the pane for new figures when it changed.
  void UpdateNow();

protected:
  void showEvent(QShowEvent* pEvent) override;
  void hideEvent(QHideEvent* pEvent) override;

private:
  CHistFrame& m_frame;
  CStatisticsPane* m_pPane;
  QLabel* m_pSource;
  QTimer m_coalesce;  // one look per burst of changes
  QTimer m_poll;      // the list's selection tells nobody when it changes
  sRange m_requested;
  bool m_bRequested = false;
};

} // namespace zk7
