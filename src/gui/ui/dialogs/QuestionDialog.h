// CQuestionDialog: the common ground of the three- and five-button questions:
// their fields, their buttons by control id, Cancel, F1 and the opening steps.
#pragma once
#include <QDialog>
#include <QString>
#include <vector>

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

class CQuestionDialog : public QDialog {
  Q_OBJECT
public:
  QString m_strTitle;              // empty keeps "ZK7"
  QString m_strMessage;            // empty hides the message
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
  explicit CQuestionDialog(QWidget* pParent);
  // Creates the message label, the check box and the first nButtons buttons
  // (ids IDC_BUTTON1...); the subclass lays them out.
  void CreateControls(int nButtons);
  // The opening steps, with the captions of the buttons in order.
  void ApplyFields(const std::vector<const QString*>& aCaptions);
  void keyPressEvent(QKeyEvent* pEvent) override;

  QLabel* m_pMessage = nullptr;
  QCheckBox* m_pCheck = nullptr;
  std::vector<QPushButton*> m_apButtons;

private:
  void OnButton(int nId);
};

} // namespace zk7
