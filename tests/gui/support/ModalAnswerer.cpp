// The modal-dialog answering helper of the GUI tests.
#include "ModalAnswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTest>

namespace zk7 {

QString GetDialogText(QWidget* pDialog) {
  if (auto* pBox = qobject_cast<QMessageBox*>(pDialog))
    return pBox->text();
  QStringList aLines;
  for (QLabel* pLabel : pDialog->findChildren<QLabel*>())
    if (pLabel->isVisible() && !pLabel->text().isEmpty())
      aLines << pLabel->text();
  return aLines.join(QLatin1Char('\n'));
}

QAbstractButton* FindDialogButton(QWidget* pParent, const QString& strText) {
  auto plain = [](QString str) { return str.remove(QLatin1Char('&')); };
  for (QAbstractButton* p : pParent->findChildren<QAbstractButton*>())
    if (p->isVisible() && plain(p->text()) == plain(strText))
      return p;
  return nullptr;
}

CModalAnswerer::CModalAnswerer() {
  // Polling, because a modal dialog runs its own event loop: the timer fires
  // inside it. The interval only spares the processor.
  connect(&m_timer, &QTimer::timeout, this, &CModalAnswerer::Poll);
  m_timer.start(5);
}

CModalAnswerer::~CModalAnswerer() { m_timer.stop(); }

void CModalAnswerer::Then(Step fnStep) { m_aSteps.push_back(std::move(fnStep)); }

void CModalAnswerer::ThenClick(const QString& strButton) {
  Then([this, strButton](QWidget* pModal) {
    Record(pModal);
    if (QAbstractButton* pButton = FindDialogButton(pModal, strButton))
      pButton->click();
    else {
      m_aUnexpected << QStringLiteral("no button '%1' in '%2'").arg(strButton, GetDialogText(pModal));
      if (auto* pDialog = qobject_cast<QDialog*>(pModal))
        pDialog->reject();
    }
  });
}

void CModalAnswerer::ThenKey(int nKey) {
  Then([this, nKey](QWidget* pModal) {
    Record(pModal);
    QWidget* pTarget = pModal->focusWidget() ? pModal->focusWidget() : pModal;
    QTest::keyClick(pTarget, static_cast<Qt::Key>(nKey));
  });
}

void CModalAnswerer::Record(QWidget* pModal) {
  m_aTitles << pModal->windowTitle();
  m_aTexts << GetDialogText(pModal);
  auto* pBox = qobject_cast<QMessageBox*>(pModal);
  m_aIcons.push_back(pBox ? static_cast<int>(pBox->icon()) : -1);
}

bool CModalAnswerer::eventFilter(QObject* pObject, QEvent* pEvent) {
  if (pEvent->type() == QEvent::Hide && pObject == m_pLastHandled) {
    pObject->removeEventFilter(this);
    m_pLastHandled = nullptr;
  }
  return QObject::eventFilter(pObject, pEvent);
}

void CModalAnswerer::Poll() {
  QWidget* pModal = QApplication::activeModalWidget();
  if (!pModal || !pModal->isVisible() || pModal == m_pLastHandled)
    return;
  m_pLastHandled = pModal;
  pModal->installEventFilter(this);
  if (m_aSteps.empty()) {
    m_aUnexpected << GetDialogText(pModal);
    if (auto* pDialog = qobject_cast<QDialog*>(pModal))
      pDialog->reject();
    else
      pModal->close();
    return;
  }
  Step fnStep = std::move(m_aSteps.front());
  m_aSteps.erase(m_aSteps.begin());
  fnStep(pModal);
}

} // namespace zk7
