// C5ButtonsDialog: a question with a question-mark icon, up to five buttons in a
// row and an optional check box.
#pragma once
#include <QDialog>
#include <QString>

#include "ui/dialogs/3ButtonsDialog.h"

namespace zk7 {

class C5ButtonsDialog : public QDialog {
  Q_OBJECT
public:
  explicit C5ButtonsDialog(QWidget* pParent = nullptr);

  QString m_strTitle;
  QString m_strMessage;
  QString m_strButton1, m_strButton2, m_strButton3, m_strButton4, m_strButton5;
  int m_nDefaultButton = IDC_BUTTON1;
  unsigned m_nHelpId = 0;
  bool m_bShowCheck = false;
  QString m_strCheck;
  bool m_bCheck = false;

  int DoModal() { return exec(); }

  QPushButton* GetButton(int nId) const;
  QCheckBox* GetCheckBox() const { return m_pCheck; }
  QLabel* GetIcon() const { return m_pIcon; }

public slots:
  void reject() override;

protected:
  void showEvent(QShowEvent* pEvent) override;
  void keyPressEvent(QKeyEvent* pEvent) override;

private:
  void OnButton(int nId);

  QLabel* m_pIcon;
  QLabel* m_pMessage;
  QPushButton* m_apButtons[5];
  QCheckBox* m_pCheck;
};

} // namespace zk7
