#include "ui/dialogs/QuestionDialog.h"

#include <QCheckBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>

#include "strings/StringTable.h"
#include "ui/HelpRequest.h"
#include "ui/dialogs/QuestionDialogSupport.h"

namespace zk7 {

CQuestionDialog::CQuestionDialog(QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(QString::fromLatin1(LoadString(IDS_APP_TITLE)));
}

void CQuestionDialog::CreateControls(int nButtons) {
  m_pMessage = new QLabel(this);
  m_pMessage->setAlignment(Qt::AlignCenter);
  m_pMessage->setWordWrap(true);
  m_pMessage->setObjectName(QStringLiteral("message"));
  m_pCheck = new QCheckBox(this);
  const int aIds[5] = {IDC_BUTTON1, IDC_BUTTON2, IDC_BUTTON3, IDC_BUTTON4, IDC_BUTTON5};
  for (int i = 0; i < nButtons && i < 5; ++i) {
    auto* pButton = new QPushButton(this);
    const int nId = aIds[i];
    pButton->setProperty("controlId", nId);
    connect(pButton, &QPushButton::clicked, this, [this, nId] { OnButton(nId); });
    m_apButtons.push_back(pButton);
  }
  if (!m_apButtons.empty()) m_apButtons[0]->setDefault(true);
}

QPushButton* CQuestionDialog::GetButton(int nId) const {
  for (QPushButton* p : m_apButtons)
    if (p->property("controlId").toInt() == nId) return p;
  return nullptr;
}

void CQuestionDialog::ApplyFields(const std::vector<const QString*>& aCaptions) {
  ApplyQuestionFields(this, m_pMessage, m_pCheck, {m_strTitle, m_strMessage, m_bShowCheck, m_strCheck});
  for (size_t i = 0; i < m_apButtons.size() && i < aCaptions.size(); ++i)
    ApplyButtonCaption(m_apButtons[i], *aCaptions[i]);
  m_pCheck->setChecked(m_bCheck);
}

void CQuestionDialog::keyPressEvent(QKeyEvent* pEvent) {
  if (pEvent->key() == Qt::Key_F1) {
    RequestHelp(m_nHelpId != 0 ? m_nHelpId : HELP_CONTEXT_QUESTION);
    return;
  }
  QDialog::keyPressEvent(pEvent);
}

void CQuestionDialog::OnButton(int nId) {
  m_bCheck = m_pCheck->isChecked();
  done(nId);
}

void CQuestionDialog::reject() { done(IDC_CANCEL); }

} // namespace zk7
