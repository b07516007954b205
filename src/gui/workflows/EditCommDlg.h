// The "Connecting to device" dialog: the module's address, the port, the
// user name and the password that the connect command logs in with.
#pragma once
#include <QDialog>
#include <QString>

class QLineEdit;

namespace zk7 {

class CEditCommDlg : public QDialog {
  Q_OBJECT
public:
  explicit CEditCommDlg(QWidget* pParent = nullptr);

  // Copied into the edit boxes when the dialog opens, and back when OK is accepted.
  QString m_strUser;
  QString m_strAddress;
  int m_nPort = 80;
  QString m_strPassword;

  int exec() override;
  void accept() override;

  // The standard texts of a refused integer field.
  static QString IntegerRangeMessage(int nMin, int nMax);
  static QString IntegerMessage();

private:
  // Shows why OK was refused and puts the user back in the field at fault.
  void Refuse(const QString& strText, QLineEdit* pField);

  QLineEdit* m_pUser = nullptr;
  QLineEdit* m_pAddress = nullptr;
  QLineEdit* m_pPort = nullptr;
  QLineEdit* m_pPassword = nullptr;
};

} // namespace zk7
