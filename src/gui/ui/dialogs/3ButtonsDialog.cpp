// The three-button question.
#include "ui/dialogs/3ButtonsDialog.h"

#include <QCheckBox>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "ui/dialogs/QuestionDialogSupport.h"

namespace zk7 {

C3ButtonsDialog::C3ButtonsDialog(QWidget* pParent) : CQuestionDialog(pParent) {
  CreateControls(3);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->addWidget(m_pMessage);
  pLayout->addSpacing(fontMetrics().height() / 2);
  for (QPushButton* pButton : m_apButtons) pLayout->addWidget(pButton);
  pLayout->addWidget(m_pCheck);
  setMinimumWidth(DialogUnitsX(this, 280));
}

void C3ButtonsDialog::showEvent(QShowEvent* pEvent) {
  ApplyFields({&m_strButton1, &m_strButton2, &m_strButton3});
  adjustSize();
  QDialog::showEvent(pEvent);
  FocusDefaultButton(this, m_nDefaultButton);
}

} // namespace zk7
