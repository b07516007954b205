// The modal-dialog answering helper of the GUI tests.
#include "ModalAnswerer.h"

#include "ui/dialogs/WaitDialog.h"

namespace zk7 {

namespace {
// A step answers at once; a dialog still up this long after its step is stuck.
constexpr qint64 STUCK_MS = 5000;

void Dismiss(QWidget* pModal) { qobject_cast<QDialog*>(pModal) ? qobject_cast<QDialog*>(pModal)->reject() : void(pModal->close()); }
} // namespace

QString GetDialogText(QWidget* pDialog) {
  if (auto* pBox = qobject_cast<QMessageBox*>(pDialog)) return pBox->text();
  QStringList aLines;
  for (QLabel* pLabel : pDialog->findChildren<QLabel*>())
    if (pLabel->isVisible() && !pLabel->text().isEmpty()) aLines << pLabel->text();
  return aLines.join(QLatin1Char('\n'));
}

QAbstractButton* FindDialogButton(QWidget* pParent, const QString& strText) {
  auto plain = [](QString str) { return str.remove(QLatin1Char('&')); };
  for (QAbstractButton* p : pParent->findChildren<QAbstractButton*>())
    if (p->isVisible() && plain(p->text()) == plain(strText)) return p;
  return nullptr;
}

bool AnswerFileDialog(QWidget* pDialog, const QString& strPath) {
  auto* pEdit = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  auto* pFileDialog = qobject_cast<QDialog*>(pDialog);
  if (!pEdit || !pFileDialog) return false;
  // A file the dialog selected in its list would win over the typed name, as
  // it does when a user types without first clicking into the field.
  for (QAbstractItemView* pView : pDialog->findChildren<QAbstractItemView*>())
    if (pView->selectionModel()) pView->selectionModel()->clear();
  pEdit->setFocus();
  pEdit->setText(strPath);
  pFileDialog->accept();
  return true;
}

CModalAnswerer::CModalAnswerer() {
  // Polling, because a modal dialog runs its own event loop: the timer fires
  // inside it. The interval only spares the processor.
  connect(&m_timer, &QTimer::timeout, this, &CModalAnswerer::Poll);
  m_timer.start(5);
}

// A step left unused or a dialog answered wrongly fails the test the answerer served.
CModalAnswerer::~CModalAnswerer() {
  m_timer.stop();
  if (!AllAnswered() && !QTest::currentTestFailed()) QTest::qFail(qPrintable("modal dialogs: " + Report()), __FILE__, __LINE__);
}

void CModalAnswerer::Then(Step fnStep) { m_aSteps.push_back(std::move(fnStep)); }

void CModalAnswerer::ThenClick(const QString& strButton) {
  Then([this, strButton](QWidget* pModal) { Record(pModal), Click(pModal, strButton); });
}

void CModalAnswerer::ThenMessage(const QString& strText, const QString& strButton) {
  Then([this, strText, strButton](QWidget* pModal) {
    Record(pModal);
    if (!qobject_cast<QMessageBox*>(pModal))
      Fail(QStringLiteral("expected a message box \"%1\", got \"%2\"").arg(strText, pModal->windowTitle()));
    else if (GetDialogText(pModal) != strText)
      Fail(QStringLiteral("message \"%1\", expected \"%2\"").arg(GetDialogText(pModal), strText));
    Click(pModal, strButton);
  });
}

void CModalAnswerer::Click(QWidget* pModal, const QString& strButton) {
  QAbstractButton* pButton = FindDialogButton(pModal, strButton);
  if (!pButton || !pButton->isEnabled())
    return Fail(QStringLiteral("no enabled button \"%1\" in \"%2\"").arg(strButton, GetDialogText(pModal))), Dismiss(pModal);
  pButton->click();
}

void CModalAnswerer::Compare(const QVariant& actual, const QVariant& expected, const QString& strWhat) {
  if (actual != expected) Fail(QStringLiteral("%1: \"%2\", expected \"%3\"").arg(strWhat, actual.toString(), expected.toString()));
}

QString CModalAnswerer::Report() const {
  QStringList a = m_aErrors;
  if (!m_aSteps.empty())
    a << QStringLiteral("%1 dialogs did not come; seen: %2").arg(m_aSteps.size()).arg(m_aSeen.join(QStringLiteral(" | ")));
  return a.join(QLatin1Char('\n'));
}

void CModalAnswerer::Record(QWidget* pModal) {
  m_aTitles << pModal->windowTitle();
  m_aTexts << GetDialogText(pModal);
  m_aIcons.push_back(qobject_cast<QMessageBox*>(pModal) ? static_cast<int>(qobject_cast<QMessageBox*>(pModal)->icon()) : -1);
}

bool CModalAnswerer::eventFilter(QObject* pObject, QEvent* pEvent) {
  // A dialog object shown again is a new question.
  if (pEvent->type() == QEvent::Hide && pObject == m_pHandled) {
    pObject->removeEventFilter(this);
    m_pHandled = nullptr;
  }
  return QObject::eventFilter(pObject, pEvent);
}

void CModalAnswerer::Poll() {
  QWidget* pModal = QApplication::activeModalWidget();
  if (m_pHandled && !m_pHandled->isVisible()) m_pHandled = nullptr;
  if (pModal && pModal == m_pHandled) {
    if (m_handledFor.elapsed() > STUCK_MS) {
      m_aErrors << QStringLiteral("dialog left open: ") + pModal->windowTitle() + QLatin1Char(' ') + GetDialogText(pModal);
      m_pHandled = nullptr;
      Dismiss(pModal);
    }
    return;
  }
  // A dialog disabled by some other work in progress (a wait dialog over its
  // owner) is answered once it can be used, as a user would.
  if (!pModal || !pModal->isVisible() || !pModal->isEnabled()) return;
  m_pHandled = pModal;
  pModal->installEventFilter(this);
  m_handledFor.start();
  m_aSeen << pModal->windowTitle();
  if (m_aSteps.empty()) {
    m_aErrors << QStringLiteral("unexpected dialog: ") + pModal->windowTitle() + QLatin1Char(' ') + GetDialogText(pModal);
    return Dismiss(pModal);
  }
  Step fnStep = std::move(m_aSteps.front());
  m_aSteps.erase(m_aSteps.begin());
  // A timer does not fire again while its own slot runs: restarted, it goes on
  // polling inside any nested dialog the answer opens.
  m_timer.start(5);
  fnStep(pModal);
}

CWaitWatcher::CWaitWatcher(std::function<bool(CWaitDialog&)> fnAct) : m_fnAct(std::move(fnAct)) {
  qApp->installEventFilter(this);
  connect(&m_timer, &QTimer::timeout, this, [this] {
    CWaitDialog* pWait = Visible();
    if (m_bDone || !m_fnAct || !pWait) return;
    m_strTitle = pWait->windowTitle();
    m_strStatus = pWait->GetStatusText();
    m_bDone = m_fnAct(*pWait);
  });
  m_timer.start(0);
}

CWaitWatcher::~CWaitWatcher() { qApp->removeEventFilter(this); }

CWaitDialog* CWaitWatcher::Visible() {
  for (QWidget* p : QApplication::topLevelWidgets())
    if (auto* pWait = qobject_cast<CWaitDialog*>(p); pWait && pWait->isVisible()) return pWait;
  return nullptr;
}

bool CWaitWatcher::eventFilter(QObject* pObject, QEvent* pEvent) {
  if (pEvent->type() == QEvent::WindowTitleChange)
    if (auto* pWait = qobject_cast<CWaitDialog*>(pObject)) m_aTitles << pWait->windowTitle();
  return false;
}

std::function<bool(CWaitDialog&)> CWaitWatcher::CancelAt(const QString& strStatus) {
  return [strStatus](CWaitDialog& wait) {
    if (!strStatus.isEmpty() && wait.GetStatusText() != strStatus) return false;
    QPushButton* pCancel = wait.GetCancelButton();
    QMetaObject::invokeMethod(pCancel, [pCancel] { pCancel->click(); }, Qt::QueuedConnection);
    return true;
  };
}

} // namespace zk7
