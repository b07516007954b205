// The five-button question.
#include "ui/dialogs/5ButtonsDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "ui/dialogs/QuestionDialogSupport.h"

namespace zk7 {

C5ButtonsDialog::C5ButtonsDialog(QWidget* pParent) : CQuestionDialog(pParent) {
  CreateControls(5);
  auto* pLayout = new QVBoxLayout(this);
  auto* pTop = new QHBoxLayout;
  m_pIcon = new QLabel(this);
  m_pIcon->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  pTop->addWidget(m_pIcon);
  pTop->addWidget(m_pMessage, 1);
  pLayout->addLayout(pTop);
  pLayout->addWidget(m_pCheck);
  auto* pRow = new QHBoxLayout;
  for (QPushButton* pButton : m_apButtons) {
    pButton->setMinimumWidth(DialogUnitsX(this, 53));
    pRow->addWidget(pButton);
  }
  pLayout->addLayout(pRow);
  setMinimumWidth(DialogUnitsX(this, 349));
}

void C5ButtonsDialog::showEvent(QShowEvent* pEvent) {
  ApplyFields({&m_strButton1, &m_strButton2, &m_strButton3, &m_strButton4, &m_strButton5});
  const int nIconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  m_pIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(nIconSize));
  adjustSize();
  QDialog::showEvent(pEvent);
  FocusDefaultButton(this, m_nDefaultButton);
}

} // namespace zk7
