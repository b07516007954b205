// C3ButtonsDialog: a question with up to three stacked buttons and an optional check box.
#pragma once
#include <QDialog>
#include <QString>

class QCheckBox;
class QLabel;
class QPushButton;

namespace zk7 {

// Results of the question dialogs: the control id of the button pressed.
enum : int {
  IDC_BUTTON1 = 1053,
  IDC_BUTTON2 = 1095,
  IDC_BUTTON3 = 1096,
  IDC_BUTTON4 = 6,
  IDC_BUTTON5 = 1010,
  IDC_CANCEL = 2,
};

class C3ButtonsDialog : public QDialog {
  Q_OBJECT
public:
  explicit C3ButtonsDialog(QWidget* pParent = nullptr);

  QString m_strTitle;              // empty keeps "ZK7"
  QString m_strMessage;            // empty hides the message
  QString m_strButton1, m_strButton2, m_strButton3;   // an empty caption hides its button
  int m_nDefaultButton = IDC_BUTTON1;
  unsigned m_nHelpId = 0;          // 0: the dialogs' common help context
  bool m_bShowCheck = false;
  QString m_strCheck;
  bool m_bCheck = false;           // read back when a button is pressed

  // Shows the dialog modally; the button's id, or IDC_CANCEL for Cancel, Escape and the close box.
  int DoModal() { return exec(); }

  QPushButton* GetButton(int nId) const;
  QCheckBox* GetCheckBox() const { return m_pCheck; }

public slots:
  void reject() override;

protected:
  void showEvent(QShowEvent* pEvent) override;
  void keyPressEvent(QKeyEvent* pEvent) override;

private:
  void OnButton(int nId);

  QLabel* m_pMessage;
  QPushButton* m_apButtons[3];
  QCheckBox* m_pCheck;
};

} // namespace zk7
