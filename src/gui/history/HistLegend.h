// CHistLegend: the key of a results-file window, the pane at the top left. One
// row per channel with its colour, check box, number, name, unit, scale and
// values at the fixed marks; its checks and scale buttons drive the graph and
// the record list.
#pragma once
#include <QWidget>

#include <set>
#include <vector>

#include "ui/CommandTarget.h"

class QLabel;
class QPushButton;
class QTableWidget;
class QTableWidgetItem;

namespace zk7 {

class CHistFrame;

class CHistLegend : public QWidget, public ICommandTarget {
  Q_OBJECT
public:
  explicit CHistLegend(CHistFrame& frame, QWidget* pParent = nullptr);

  QTableWidget* GetTable() const { return m_pTable; }
  // The "Y1", "Y2" and "X" buttons by scale: 1, 2, 0.
  QPushButton* GetScaleButton(int nScale) const;
  // The channel of each row, top to bottom.
  const std::vector<int>& GetRowChannels() const { return m_aRowChannels; }
  // The channel of the first selected row; -1 when no row is selected.
  int GetFirstSelectedChannel() const;
  bool IsHidingUnchecked() const { return m_bHideUnchecked; }

  // The first display: time format from the file, one state per channel, a rebuild.
  void OnInitialUpdate();
  void Rebuild();
  // The "Assign scale" buttons: 1 Y1, 2 Y2 for the selected rows; 0 makes the
  // first selected row the only X channel.
  void AssignScale(int nScale);
  // The key on the clipboard: its text and its picture. 0, or 1 when there is no clipboard.
  long CopyKey();

  bool OnUpdateCommand(unsigned nId, sCommandState& state) override;
  bool OnCommand(unsigned nId) override;

protected:
  void contextMenuEvent(QContextMenuEvent* pEvent) override;

private:
  std::set<int> SelectedRows() const;
  void OnItemChanged(QTableWidgetItem* pItem);
  void OnSelectionChanged();
  void ApplyChecks();

  CHistFrame& m_frame;
  QLabel* m_pLabel;
  QPushButton* m_apButtons[3];  // Y1, Y2, X
  QTableWidget* m_pTable;
  std::vector<int> m_aRowChannels;
  bool m_bHideUnchecked = false;
  bool m_bBusy = false;
};

} // namespace zk7
