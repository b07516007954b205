// The rows of the log list: one per line of the log document, in the current
// sort order, with the column titles and the sort mark.
#pragma once
#include <QAbstractTableModel>
#include <QIcon>

#include <memory>
#include <vector>

#include "logs/ZK7LogDoc.h"

namespace zk7 {

class CLogTableModel : public QAbstractTableModel {
  Q_OBJECT
public:
  // Role of a cell giving the index of the row's line in the document.
  static constexpr int LineIndexRole = Qt::UserRole + 1;

  explicit CLogTableModel(std::shared_ptr<const CZK7LogDoc> pDoc, QObject* pParent = nullptr);

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
  QVariant headerData(int nSection, Qt::Orientation eOrientation, int nRole = Qt::DisplayRole) const override;

  const CZK7LogDoc& GetDocument() const { return *m_pDoc; }
  const CLogSortState& GetSortState() const { return m_sort; }
  // The line shown in display row nRow; -1 out of range.
  int LineOfRow(int nRow) const;
  // A click on column nColumn's title: new sort state, rows reordered; the
  // selection follows its lines.
  void ClickColumn(int nColumn);

  // The two sort marks: 0 shown while the direction flag is on, 1 while off.
  static QIcon SortMarkIcon(int nIcon);

private:
  std::shared_ptr<const CZK7LogDoc> m_pDoc;
  std::vector<int> m_aOrder;
  CLogSortState m_sort;
  QIcon m_aMarks[2];
};

} // namespace zk7
