// CHistFrame: the window of one results file: the key, graph and record-list
// pane areas in two splitters, the view state they share, and the commands
// routed to them.
//
// A results file may grow while it is shown (a module's acquisition followed
// into it, a copy under way). The frame looks for growth once a second, and
// soon after the file system reports a change (a hint only: notifications are
// lost on some file systems and merged on others). The document counts the
// new whole records without reading the file again; the list then gains its
// rows and scroll range without a rebuild (its selection stays). Following
// ("Follow") keeps the newest records in view: the list shows its last page
// and the graph's period keeps its length and ends at the last record (the
// graph reads that period again). Any move the user makes away from where
// following put the view (scrolling the list, paging or zooming the graph)
// turns following off until the user turns it on again. While following, the
// graph appends the new records to its envelope and moves its axis; it never
// reads the period again (CHistGraph::FollowPeriod). A window that shows a
// file from its first record (a live view) may let its period grow with the
// file, up to the first view's size, before the length is kept. A file cut short or
// replaced is a read error: its message once, the window stays, and the
// checks stop.
#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include <QTimer>
#include <QWidget>

#include "history/HistViewState.h"
#include "ui/CommandTarget.h"

class QFileSystemWatcher;
class QSplitter;

namespace zk7 {

class CHistGraph;
class CHistStatistics;
class CHistToolBars;
class CZK7Doc;

class CHistFrame : public QWidget, public ICommandTarget {
  Q_OBJECT
public:
  CHistFrame(std::shared_ptr<CZK7Doc> pDoc, QWidget* pParent = nullptr);
  ~CHistFrame() override;

  CZK7Doc& GetDocument() const { return *m_pDoc; }
  const std::shared_ptr<CZK7Doc>& GetDocumentPtr() const { return m_pDoc; }
  // The document's title, the element title of printed pages.
  QString GetTitle() const;

  sHistViewState& GetViewState() { return m_state; }
  const sHistViewState& GetViewState() const { return m_state; }

  // The panes; nullptr while a pane is missing.
  QWidget* GetKeyPane() const { return m_pKeyPane; }
  QWidget* GetGraphPane() const { return m_pGraphPane; }
  QWidget* GetListPane() const { return m_pListPane; }
  // The graph pane when the graph area holds one.
  CHistGraph* GetHistGraph() const;
  CHistToolBars* GetToolBars() const { return m_pToolBars; }
  // The "Statistics" view under the record list, hidden until asked for; the
  // graph printout carries its table while it is shown.
  CHistStatistics* GetStatisticsView() const { return m_pStatistics; }
  bool IsStatisticsShown() const { return m_bStatisticsShown; }
  void ShowStatistics(bool bShow);
  // The panes' first display (the graph reads its points); once, also when
  // the first show comes later.
  void InitialUpdate();
  // Puts a pane into its area (key: top left, graph: top right, list: bottom).
  void SetKeyPane(QWidget* pPane);
  void SetGraphPane(QWidget* pPane);
  void SetListPane(QWidget* pPane);

  QSplitter* GetOuterSplitter() const { return m_pOuter; }
  QSplitter* GetInnerSplitter() const { return m_pInner; }

  // Rebuilds the key, the graph and the list, in that order.
  void Refresh();
  // Time format that suits the file (time only within one day).
  void SetTimeFormatFromFile();
  // Redraws every window of the document after a document change.
  void UpdateAllViews();

  // Pane-size commands.
  void ShowGraphOnly();
  void ShowKeyOnly();
  void ShowListOnly();
  void ShowAllPanes();

  // A read failure after the file was opened (a removed medium, a file cut
  // short): the reader's message. What the panes meet by themselves (the
  // list's timer, a redraw) is shown once per window, not at each tick; a
  // command the user gives shows it once for the command, however many panes
  // meet the failure while it runs.
  void ReportReadError(const std::string& strText);
  // Where read failures go instead of a message box (a window drawn without a display).
  void SetReadErrorHandler(std::function<void(const std::string&)> fn) { m_fnReadError = std::move(fn); }
  bool HasShownReadError() const { return m_bReadErrorShown; }

  // Growth: takes the document's new records and updates the panes (the
  // periodic check calls it too). The number of new records; 0 after a read error.
  int CheckGrowth();
  bool IsFollowing() const { return m_bFollow; }
  // Follow on: the newest records come into view now and as they arrive.
  void SetFollow(bool bFollow);
  // While the period starts at the file's first record, it grows with the file
  // as long as the first view would still show the whole file.
  void SetFollowGrowsFromStart(bool bGrow) { m_bFollowGrows = bGrow; }

  bool OnUpdateCommand(unsigned nId, sCommandState& state) override;
  // Every command of the window: a read failure stops the command with the
  // reader's message and leaves the window as it was.
  bool OnCommand(unsigned nId) override;
  void OnActivateFrame(bool bActive) override;

signals:
  // The document gained records (the panes have them already).
  void recordsAppended(int nNew);
  // Emitted by Refresh (panes rebuild on it) and by the ms-offset option (list only).
  void refreshRequested();
  void listRebuildRequested();
  void commandStateChanged();

protected:
  void closeEvent(QCloseEvent* pEvent) override;
  void resizeEvent(QResizeEvent* pEvent) override;
  void showEvent(QShowEvent* pEvent) override;

private:
  void PlacePane(QWidget*& pSlot, QWidget* pArea, QWidget* pPane);
  void TryFirstSizing();
  void FirstSizing();
  void MovePaneFocus(int nStep);
  bool DoCommand(unsigned nId);
  void StartGrowthChecks();
  void TakeNewRecords(int nNew);
  // Brings the newest records into view and notes where, to tell the user's moves from ours.
  void FollowToEnd();
  bool UserMovedAway() const;

  std::shared_ptr<CZK7Doc> m_pDoc;
  sHistViewState m_state;
  QSplitter* m_pOuter;
  QSplitter* m_pInner;
  QWidget* m_pKeyArea;
  QWidget* m_pGraphArea;
  QWidget* m_pListArea;
  QWidget* m_pKeyPane = nullptr;
  QWidget* m_pGraphPane = nullptr;
  QWidget* m_pListPane = nullptr;
  bool m_bFirstSizingPending = true;
  CHistToolBars* m_pToolBars = nullptr;
  CHistStatistics* m_pStatistics = nullptr;
  bool m_bStatisticsShown = false;
  std::function<void(const std::string&)> m_fnReadError;
  bool m_bInitialUpdateDone = false;
  bool m_bReadErrorShown = false;
  int m_nCommandDepth = 0;
  bool m_bReadErrorShownInCommand = false;

  QTimer m_growthTimer;
  QTimer m_hintTimer;
  QFileSystemWatcher* m_pWatcher = nullptr;
  bool m_bFollow = false;
  bool m_bFollowGrows = false;
  int m_nFollowTop = -1;           // the list's top row following set
  double m_dFollowStart = 0.0;     // the graph's period following set
  double m_dFollowEnd = 0.0;
};

} // namespace zk7
