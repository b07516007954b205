// C5ButtonsDialog: a question with a question-mark icon, up to five buttons in a
// row and an optional check box.
#pragma once
#include "ui/dialogs/QuestionDialog.h"

namespace zk7 {

class C5ButtonsDialog : public CQuestionDialog {
  Q_OBJECT
public:
  explicit C5ButtonsDialog(QWidget* pParent = nullptr);

  QString m_strButton1, m_strButton2, m_strButton3, m_strButton4, m_strButton5;

  QLabel* GetIcon() const { return m_pIcon; }

protected:
  void showEvent(QShowEvent* pEvent) override;

private:
  QLabel* m_pIcon;
};

} // namespace zk7
