// The log list: one row per line of a log file, sortable by its column titles,
// with select all, copy, print and print preview of the selected rows.
#pragma once
#include <QTableView>

#include <memory>
#include <string>
#include <vector>

#include "history/PagePrinter.h"
#include "logs/ZK7LogDoc.h"

class QPrinter;

namespace zk7 {

class CLogTableModel;

class CZK7LogView : public QTableView {
  Q_OBJECT
public:
  explicit CZK7LogView(std::shared_ptr<const CZK7LogDoc> pDoc, QWidget* pParent = nullptr);

  const CZK7LogDoc& GetDocument() const { return *m_pDoc; }
  CLogTableModel* GetModel() const { return m_pModel; }

  // A click on the title of column nColumn (what the header does).
  void ClickColumn(int nColumn);
  // The selected display rows, in display order, and their lines.
  std::vector<int> GetSelectedRows() const;
  std::vector<int> GetSelectedLines() const;
  bool HasSelection() const;

  // The copy command: the selected lines on the clipboard as 8-bit plain text;
  // a message box when the clipboard refuses. Nothing without a selection.
  void Copy();
  // The same without any message box, for callers that report it themselves.
  eClipboardFailure CopyToClipboard();

  // The printout of the selected rows, as the list shows them.
  sTabbedPrintJob MakePrintJob() const;
  // Prints without a dialog (every page, or the printer's page range).
  bool PrintTo(QPrinter& printer) const;
  void Print();
  void PrintPreview();

protected:
  void mousePressEvent(QMouseEvent* pEvent) override;
  void mouseReleaseEvent(QMouseEvent* pEvent) override;
  void mouseDoubleClickEvent(QMouseEvent* pEvent) override;
  void keyPressEvent(QKeyEvent* pEvent) override;

private:
  void SetUpColumns();

  std::shared_ptr<const CZK7LogDoc> m_pDoc;
  CLogTableModel* m_pModel;
};

} // namespace zk7
