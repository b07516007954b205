// The wait dialog: the running operation keeps control and pumps the event queue
// through SetPos, CheckCancel and PumpMessages.
#include "ui/dialogs/WaitDialog.h"

#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "strings/StringTable.h"
#include "ui/WaitProgress.h"
#include "ui/dialogs/QuestionDialogSupport.h"

namespace zk7 {

namespace {
QWidget* FindMainWindow() {
  for (QWidget* p : QApplication::topLevelWidgets())
    if (qobject_cast<QMainWindow*>(p) && p->isVisible())
      return p;
  return nullptr;
}
} // namespace

CWaitDialog::CWaitDialog(unsigned nCaptionId)
    : QDialog(nullptr), m_nCaptionId(nCaptionId != 0 ? nCaptionId : unsigned(IDS_PLEASE_WAIT)) {
  auto* pLayout = new QVBoxLayout(this);
  m_pStatus = new QLabel(this);
  m_pStatus->setObjectName(QStringLiteral("status"));
  pLayout->addWidget(m_pStatus);
  m_pPercent = new QLabel(QStringLiteral(" 0 %"), this);
  m_pPercent->setObjectName(QStringLiteral("percentage"));
  m_pPercent->setAlignment(Qt::AlignCenter);
  pLayout->addWidget(m_pPercent);
  m_pProgress = new QProgressBar(this);
  m_pProgress->setTextVisible(false);
  pLayout->addWidget(m_pProgress);
  m_pCancel = new QPushButton(QStringLiteral("Cancel"), this);
  m_pCancel->setObjectName(QStringLiteral("cancel"));
  pLayout->addWidget(m_pCancel, 0, Qt::AlignHCenter);
  connect(m_pCancel, &QPushButton::clicked, this, &CWaitDialog::reject);
  setMinimumWidth(DialogUnitsX(this, 186));
}

CWaitDialog::~CWaitDialog() { DestroyWindow(); }

int CWaitDialog::Create(QWidget* pParent) {
  m_pOwner = pParent ? pParent->window() : FindMainWindow();
  if (m_pOwner && m_pOwner->isEnabled()) {
    m_pOwnerFocus = m_pOwner->focusWidget();
    m_pOwner->setEnabled(false);
    m_bOwnerDisabled = true;
  }
  // A window of its own, kept above its owner: a child window would be disabled with it.
  if (m_pOwner)
    setParent(m_pOwner, Qt::Dialog);
  setEnabled(true);
  setWindowModality(Qt::NonModal);
  SetRange(m_nLower, m_nUpper);
  SetStep(m_nStep);
  m_pProgress->setValue(m_nLower);
  setWindowTitle(QString::fromLatin1(LoadString(m_nCaptionId)));
  show();
  return 1;
}

void CWaitDialog::SetRange(int nLower, int nUpper) {
  m_nLower = nLower;
  m_nUpper = nUpper;
  m_pProgress->setRange(nLower, nUpper);
}

void CWaitDialog::SetPos(int nPos) {
  PumpMessages();
  ShowPos(nPos);
}

void CWaitDialog::ShowPos(int nPos) {
  m_pProgress->setValue(nPos);
  const QString strText = QString::fromLatin1(FormatWaitPercentage(GetWaitPercentage(nPos, m_nLower, m_nUpper)));
  if (m_pPercent->text() != strText)
    m_pPercent->setText(strText);
}

void CWaitDialog::SetStep(int nStep) { m_nStep = nStep; }

void CWaitDialog::SetStatusText(const QString& strText) { m_pStatus->setText(strText); }

int CWaitDialog::CheckCancel() {
  PumpMessages();
  const bool bCancelled = m_bCancelled;
  m_bCancelled = false;
  return bCancelled ? 1 : 0;
}

void CWaitDialog::PumpMessages() { QCoreApplication::processEvents(QEventLoop::AllEvents); }

void CWaitDialog::DestroyWindow() {
  if (m_bOwnerDisabled) {
    if (m_pOwner)
      m_pOwner->setEnabled(true);
    if (m_pOwnerFocus)
      m_pOwnerFocus->setFocus(Qt::OtherFocusReason);
    m_bOwnerDisabled = false;
  }
  const bool bWasActive = isActiveWindow();
  hide();
  // The keys go back to the window the work was for, not to no window at all
  // where the window system hands the activation on by itself to nobody.
  if (bWasActive && m_pOwner && m_pOwner->isVisible()) m_pOwner->activateWindow();
}

QString CWaitDialog::GetPercentText() const { return m_pPercent->text(); }
QString CWaitDialog::GetStatusText() const { return m_pStatus->text(); }

void CWaitDialog::reject() {
  m_bCancelled = true;
  emit cancelRequested();
}

void CWaitDialog::closeEvent(QCloseEvent* pEvent) {
  // The close box is one more way of asking to cancel; the operation closes the window.
  m_bCancelled = true;
  pEvent->ignore();
  emit cancelRequested();
}

} // namespace zk7
