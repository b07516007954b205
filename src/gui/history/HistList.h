// CHistList: the record list, the bottom pane of a results-file window. One row
// per record; only the rows on screen exist as model rows, so a file of
// 100,000,000 records lists, scrolls and jumps as fast as a small one. The
// selection is kept as blocks of record indexes beside the view.
#pragma once
#include <QTimer>
#include <QWidget>

#include <vector>

#include "history/RecordSelection.h"
#include "ui/CommandTarget.h"

class QScrollBar;
class QTableView;

namespace zk7 {

class CHistFrame;
class CHistListModel;
class CHistListTable;
class CHistRowText;

class CHistList : public QWidget, public ICommandTarget {
  Q_OBJECT
public:
  explicit CHistList(CHistFrame& frame, QWidget* pParent = nullptr);
  ~CHistList() override;

  CHistFrame& GetFrame() const { return m_frame; }
  QTableView* GetTable() const;
  QScrollBar* GetScrollBar() const { return m_pScroll; }
  CHistListModel* GetModel() const { return m_pModel; }
  // The texts of the list as it stands: columns, options and markers.
  const CHistRowText& GetRowText() const;

  // The first display: time format from the file, the repaint timer, a rebuild.
  void OnInitialUpdate();
  // Columns and row count again from the view options; clears the selection.
  void Rebuild();
  void SetDisplayedChannels(const std::vector<int>& aChannels);
  void ResetDisplayedChannels();
  const std::vector<int>& GetDisplayedChannels() const { return m_aDisplayed; }
  // Reads the cursors and the fixed marks again (the timer does it every second).
  void RefreshMarkers();

  // Go to a cursor's record or to a time; -1 when the cursor is not shown or
  // there is no graph.
  int GoToCursor(int n, bool bEnsureVisible, bool bSelect);
  int GoToTime(double dTime, bool bEnsureVisible, bool bSelect);
  int SelectBetweenCursors(bool bClearOthers);
  void SelectHistoryPeriod();
  void DefineCursorFromList(int n);
  void SelectAll();

  const CRecordSelection& GetSelection() const { return m_selection; }
  bool HasSelection() const { return m_selection.HasSelection(); }
  bool HasSelectionMark() const { return m_selection.GetMark() >= 0; }

  // Scrolling: the first row on screen, and the number of whole rows that fit.
  int GetTopRow() const;
  int GetPageRows() const;
  void SetTopRow(int nTop);
  void EnsureVisible(int nRecord);

  // What the mouse and the keys do (the table hands them over).
  void ClickRecord(int nRecord, bool bShift);
  void ExtendTo(int nRecord);
  void MoveFocus(eListKey eKey, bool bShift);
  void ClearSelection();
  void ShowContextMenu(const QPoint& globalPos);

  bool OnUpdateCommand(unsigned nId, sCommandState& state) override;
  bool OnCommand(unsigned nId) override;

  // The document gained records: the rows, the scroll range, and with bToEnd
  // the last page brought into view. The selection stays.
  void OnRecordsAppended(bool bToEnd);

  // Fits the window of model rows to the table's height (the table calls it when resized).
  void UpdateWindow();

private:
  void ApplyColumns();
  void FitColumnsToCells();
  void SyncView();
  int FinishGoTo(int nRecord, bool bEnsureVisible, bool bSelect);
  void GoToDateCommand();
  void CannotFindRecord();
  void OnTimer();

  CHistFrame& m_frame;
  CHistListModel* m_pModel;
  CHistListTable* m_pTable;
  QScrollBar* m_pScroll;
  QTimer m_repaintTimer;
  std::vector<int> m_aDisplayed;
  CRecordSelection m_selection;
  int m_nRowHeight = 18;
};

} // namespace zk7
