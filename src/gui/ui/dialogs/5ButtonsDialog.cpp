// The five-button question.
#include "ui/dialogs/5ButtonsDialog.h"

#include <QCheckBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include "strings/StringTable.h"
#include "ui/HelpRequest.h"
#include "ui/dialogs/QuestionDialogSupport.h"

namespace zk7 {

C5ButtonsDialog::C5ButtonsDialog(QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(QString::fromLatin1(LoadString(IDS_APP_TITLE)));
  auto* pLayout = new QVBoxLayout(this);
  auto* pTop = new QHBoxLayout;
  m_pIcon = new QLabel(this);
  m_pIcon->setAlignment(Qt::AlignTop | Qt::AlignLeft);
  pTop->addWidget(m_pIcon);
  m_pMessage = new QLabel(this);
  m_pMessage->setAlignment(Qt::AlignCenter);
  m_pMessage->setWordWrap(true);
  m_pMessage->setObjectName(QStringLiteral("message"));
  pTop->addWidget(m_pMessage, 1);
  pLayout->addLayout(pTop);
  m_pCheck = new QCheckBox(this);
  pLayout->addWidget(m_pCheck);
  auto* pRow = new QHBoxLayout;
  const int aIds[5] = {IDC_BUTTON1, IDC_BUTTON2, IDC_BUTTON3, IDC_BUTTON4, IDC_BUTTON5};
  for (int i = 0; i < 5; ++i) {
    m_apButtons[i] = new QPushButton(this);
    m_apButtons[i]->setProperty("controlId", aIds[i]);
    m_apButtons[i]->setMinimumWidth(DialogUnitsX(this, 53));
    pRow->addWidget(m_apButtons[i]);
    const int nId = aIds[i];
    connect(m_apButtons[i], &QPushButton::clicked, this, [this, nId] { OnButton(nId); });
  }
  m_apButtons[0]->setDefault(true);
  pLayout->addLayout(pRow);
  setMinimumWidth(DialogUnitsX(this, 349));
}

QPushButton* C5ButtonsDialog::GetButton(int nId) const {
  for (QPushButton* p : m_apButtons)
    if (p->property("controlId").toInt() == nId)
      return p;
  return nullptr;
}

void C5ButtonsDialog::showEvent(QShowEvent* pEvent) {
  ApplyQuestionFields(this, m_pMessage, m_pCheck, {m_strTitle, m_strMessage, m_bShowCheck, m_strCheck});
  const QString* apCaptions[5] = {&m_strButton1, &m_strButton2, &m_strButton3, &m_strButton4, &m_strButton5};
  for (int i = 0; i < 5; ++i)
    ApplyButtonCaption(m_apButtons[i], *apCaptions[i]);
  m_pCheck->setChecked(m_bCheck);
  const int nIconSize = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
  m_pIcon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxQuestion, nullptr, this).pixmap(nIconSize));
  adjustSize();
  QDialog::showEvent(pEvent);
  FocusDefaultButton(this, m_nDefaultButton);
}

void C5ButtonsDialog::keyPressEvent(QKeyEvent* pEvent) {
  if (pEvent->key() == Qt::Key_F1) {
    RequestHelp(m_nHelpId != 0 ? m_nHelpId : HELP_CONTEXT_QUESTION);
    return;
  }
  QDialog::keyPressEvent(pEvent);
}

void C5ButtonsDialog::OnButton(int nId) {
  m_bCheck = m_pCheck->isChecked();
  done(nId);
}

void C5ButtonsDialog::reject() { done(IDC_CANCEL); }

} // namespace zk7
