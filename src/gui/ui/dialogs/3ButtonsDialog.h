// C3ButtonsDialog: a question with up to three stacked buttons and an optional check box.
#pragma once
#include "ui/dialogs/QuestionDialog.h"

namespace zk7 {

class C3ButtonsDialog : public CQuestionDialog {
  Q_OBJECT
public:
  explicit C3ButtonsDialog(QWidget* pParent = nullptr);

  QString m_strButton1, m_strButton2, m_strButton3;   // an empty caption hides its button

protected:
  void showEvent(QShowEvent* pEvent) override;
};

} // namespace zk7
