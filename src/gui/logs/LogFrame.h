// The content of the window of one log file: its document and its list, and
// the state of the log window's commands.
#pragma once
#include <QString>
#include <QWidget>

#include <memory>

class QPrinter;

namespace zk7 {

class CZK7LogDoc;
class CZK7LogView;

class CLogFrame : public QWidget {  // content of the MDI child of one log file
  Q_OBJECT
public:
  // Loads the file; nullptr with the message in *pstrError when it cannot be read.
  static CLogFrame* Create(const QString& strPath, QWidget* pParent, QString* pstrError);

  QString GetPathName() const;
  QString GetTitle() const;
  bool CanCopy() const;   // state handlers of the log window's commands
  bool CanPrint() const;
  void Copy();
  void SelectAll();
  void Print();
  void PrintPreview();
  // Prints the selected rows without a dialog (the seam of Print for tests and batch use).
  bool PrintTo(QPrinter& printer) const;
  CZK7LogView* GetView() const { return m_pView; }
  const CZK7LogDoc& GetDocument() const { return *m_pDoc; }

signals:
  void commandStateChanged();  // selection changed: re-evaluate the command states

private:
  CLogFrame(const QString& strPath, std::shared_ptr<CZK7LogDoc> pDoc, QWidget* pParent);

  QString m_strPath;
  std::shared_ptr<CZK7LogDoc> m_pDoc;
  CZK7LogView* m_pView;
};

} // namespace zk7
