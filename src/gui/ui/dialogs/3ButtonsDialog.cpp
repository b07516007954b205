// The three-button question.
#include "ui/dialogs/3ButtonsDialog.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "strings/StringTable.h"
#include "ui/HelpRequest.h"
#include "ui/dialogs/QuestionDialogSupport.h"

namespace zk7 {

C3ButtonsDialog::C3ButtonsDialog(QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(QString::fromLatin1(LoadString(IDS_APP_TITLE)));
  auto* pLayout = new QVBoxLayout(this);
  m_pMessage = new QLabel(this);
  m_pMessage->setAlignment(Qt::AlignCenter);
  m_pMessage->setWordWrap(true);
  m_pMessage->setObjectName(QStringLiteral("message"));
  pLayout->addWidget(m_pMessage);
  pLayout->addSpacing(fontMetrics().height() / 2);
  const int aIds[3] = {IDC_BUTTON1, IDC_BUTTON2, IDC_BUTTON3};
  for (int i = 0; i < 3; ++i) {
    m_apButtons[i] = new QPushButton(this);
    m_apButtons[i]->setProperty("controlId", aIds[i]);
    pLayout->addWidget(m_apButtons[i]);
    const int nId = aIds[i];
    connect(m_apButtons[i], &QPushButton::clicked, this, [this, nId] { OnButton(nId); });
  }
  m_apButtons[0]->setDefault(true);
  m_pCheck = new QCheckBox(this);
  pLayout->addWidget(m_pCheck);
  setMinimumWidth(DialogUnitsX(this, 280));
}

QPushButton* C3ButtonsDialog::GetButton(int nId) const {
  for (QPushButton* p : m_apButtons)
    if (p->property("controlId").toInt() == nId)
      return p;
  return nullptr;
}

void C3ButtonsDialog::showEvent(QShowEvent* pEvent) {
  ApplyQuestionFields(this, m_pMessage, m_pCheck, {m_strTitle, m_strMessage, m_bShowCheck, m_strCheck});
  ApplyButtonCaption(m_apButtons[0], m_strButton1);
  ApplyButtonCaption(m_apButtons[1], m_strButton2);
  ApplyButtonCaption(m_apButtons[2], m_strButton3);
  m_pCheck->setChecked(m_bCheck);
  adjustSize();
  QDialog::showEvent(pEvent);
  FocusDefaultButton(this, m_nDefaultButton);
}

void C3ButtonsDialog::keyPressEvent(QKeyEvent* pEvent) {
  if (pEvent->key() == Qt::Key_F1) {
    RequestHelp(m_nHelpId != 0 ? m_nHelpId : HELP_CONTEXT_QUESTION);
    return;
  }
  QDialog::keyPressEvent(pEvent);
}

void C3ButtonsDialog::OnButton(int nId) {
  m_bCheck = m_pCheck->isChecked();
  done(nId);
}

void C3ButtonsDialog::reject() { done(IDC_CANCEL); }

} // namespace zk7
