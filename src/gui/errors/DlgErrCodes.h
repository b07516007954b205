// CDlgErrCodes: the "Error Codes" dialog, in which the user types a module error
// number and reads its meaning.
#pragma once
#include <QDialog>

class QLineEdit;
class QPlainTextEdit;
class QPushButton;

namespace zk7 {

class CDlgErrCodes : public QDialog {
  Q_OBJECT
public:
  explicit CDlgErrCodes(QWidget* pParent = nullptr);

  QLineEdit* GetNumberField() const { return m_pNumber; }
  QPlainTextEdit* GetMeaningField() const { return m_pMeaning; }
  QPushButton* GetOkButton() const { return m_pOk; }
  QPushButton* GetCloseButton() const { return m_pClose; }

private:
  // "OK": looks the number up; the dialog stays open for the next one.
  void OnLookUp();

  QLineEdit* m_pNumber;
  QPlainTextEdit* m_pMeaning;
  QPushButton* m_pOk;
  QPushButton* m_pClose;
};

} // namespace zk7
