// CHistListModel: the rows of the record list that are on screen, a window over
// every record of the document. It holds no row data: each cell's text, the
// row markers and the column titles come from CHistRowText when asked.
#pragma once
#include <QAbstractTableModel>
#include <QPixmap>

#include <memory>

#include "history/HistRowText.h"

namespace zk7 {

class CHistListModel : public QAbstractTableModel {
  Q_OBJECT
public:
  explicit CHistListModel(QObject* pParent = nullptr);
  ~CHistListModel() override;

  // New columns and options (a rebuild): the model is reset.
  void SetRows(std::unique_ptr<CHistRowText> pRows);
  // New fixed marks and cursor records with the same columns: the window's cells change.
  void SetMarkers(const std::vector<int>& aFixedMarks, int nCursor1Record, int nCursor2Record);
  const CHistRowText* GetRows() const { return m_pRows.get(); }
  // The records as the view knows them: the document's count when the rows were
  // set or last grew, so that the view's rows never change behind its back.
  int GetRecordCount() const { return m_nRecordCount; }
  // The document gained records: rows on screen that now have a record appear.
  void OnRecordsAppended();

  // The window: nRows rows from record nTop (fewer at the end of the file).
  void SetWindow(int nTop, int nRows);
  int GetTop() const { return m_nTop; }
  int RecordOfRow(int nRow) const { return m_nTop + nRow; }

  int rowCount(const QModelIndex& parent = QModelIndex()) const override;
  int columnCount(const QModelIndex& parent = QModelIndex()) const override;
  QVariant data(const QModelIndex& index, int nRole = Qt::DisplayRole) const override;
  QVariant headerData(int nSection, Qt::Orientation eOrientation, int nRole = Qt::DisplayRole) const override;

  // The five 16x16 row markers: none, cursor 1, cursor 2, both cursors, fixed mark.
  static const QPixmap& MarkerPixmap(int nMarker);

private:
  int WindowRows() const;

  std::unique_ptr<CHistRowText> m_pRows;
  int m_nTop = 0;
  int m_nWindowRows = 0;
  int m_nRecordCount = 0;
};

} // namespace zk7
