// Shared opening steps of the question dialogs.
#include "ui/dialogs/QuestionDialogSupport.h"

#include <QCheckBox>
#include <QDialog>
#include <QFontMetrics>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

namespace zk7 {

int DialogUnitsX(const QWidget* pWidget, int nUnits) {
  return QFontMetrics(pWidget->font()).averageCharWidth() * nUnits / 4;
}

void ApplyQuestionFields(QDialog* pDialog, QLabel* pMessage, QCheckBox* pCheck, const sQuestionFields& fields) {
  if (!fields.m_strTitle.isEmpty())
    pDialog->setWindowTitle(fields.m_strTitle);
  pMessage->setText(fields.m_strMessage);
  pMessage->setVisible(!fields.m_strMessage.isEmpty());
  pCheck->setText(fields.m_strCheck);
  pCheck->setVisible(fields.m_bShowCheck);
  pCheck->setEnabled(fields.m_bShowCheck);
}

void ApplyButtonCaption(QPushButton* pButton, const QString& strCaption) {
  pButton->setText(strCaption);
  pButton->setVisible(!strCaption.isEmpty());
}

void FocusDefaultButton(QDialog* pDialog, int nId) {
  // Queued, as the focus moves only once the dialog is on screen.
  QPointer<QDialog> pGuard(pDialog);
  QTimer::singleShot(0, pDialog, [pGuard, nId] {
    if (!pGuard)
      return;
    for (QPushButton* pButton : pGuard->findChildren<QPushButton*>()) {
      const bool bDefault = pButton->property("controlId").toInt() == nId && pButton->isVisible();
      pButton->setDefault(bDefault);
      if (bDefault)
        pButton->setFocus(Qt::OtherFocusReason);
    }
  });
}

} // namespace zk7
