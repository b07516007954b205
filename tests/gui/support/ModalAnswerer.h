// Answers the modal dialogs that a command under test opens, in the order they
// come, so that GUI tests never wait for a person: a test queues one step per
// expected dialog. A dialog beyond the queue, a step that finds no button, or a
// dialog a step left open is recorded as an error and closed, so that the
// command under test always returns and the test fails instead of hanging; an
// answerer whose steps did not all run, or that recorded an error, fails the
// test when it goes.
#pragma once
#include <functional>
#include <vector>

#include <QtTest>
#include <QtWidgets>

namespace zk7 {

class CWaitDialog;

// Names the case of a table-driven test in the log when the test fails in it.
struct sCaseTrace {
  QString strName;
  ~sCaseTrace() { QTest::currentTestFailed() ? qWarning("in case \"%s\"", qPrintable(strName)) : void(); }
};

// The text a user reads in a dialog: a message box's text, else the texts of its
// visible labels, one per line.
QString GetDialogText(QWidget* pDialog);
// The visible button of pParent whose caption reads strText; the mnemonic marks
// do not count, since standard buttons carry them or not depending on the platform.
QAbstractButton* FindDialogButton(QWidget* pParent, const QString& strText);

// Types the full path into a file dialog's name field and confirms, as a user
// does; false when the dialog has no such field.
bool AnswerFileDialog(QWidget* pDialog, const QString& strPath);

class CModalAnswerer : public QObject {
public:
  using Step = std::function<void(QWidget* pModal)>;

  CModalAnswerer();
  ~CModalAnswerer() override;

  // Runs fnStep on the next modal dialog.
  void Then(Step fnStep);
  // Records the next dialog's title and text, then clicks its button strButton.
  void ThenClick(const QString& strButton);
  // The next dialog must be a message box reading strText; strButton is clicked.
  void ThenMessage(const QString& strText, const QString& strButton = QStringLiteral("OK"));

  // For steps: click a button (an error when there is none or it is disabled),
  // and checks that record an error instead of leaving the dialog open.
  void Click(QWidget* pModal, const QString& strButton);
  void Fail(const QString& strText) { m_aErrors << strText; }
  void Check(bool bOk, const QString& strWhat) { bOk ? void() : Fail(strWhat); }
  void Compare(const QVariant& actual, const QVariant& expected, const QString& strWhat);

  // No more answers: a later command gets its own answerer.
  void Stop() { m_timer.stop(); }

  // What was seen: title and text of the dialogs answered by ThenClick and ThenMessage.
  const QStringList& Titles() const { return m_aTitles; }
  const QStringList& Texts() const { return m_aTexts; }
  // Icons of the message boxes answered (QMessageBox::Icon), -1 for other dialogs.
  const std::vector<int>& Icons() const { return m_aIcons; }
  // Every step used and nothing wrong; else what went wrong, for the failure message.
  bool AllAnswered() const { return m_aErrors.isEmpty() && m_aSteps.empty(); }
  QString Report() const;

protected:
  bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
  void Poll();
  void Record(QWidget* pModal);

  QTimer m_timer;
  std::vector<Step> m_aSteps;
  // The dialog answered last, until it hides: a dialog object shown again is a new question.
  QPointer<QWidget> m_pHandled;
  QElapsedTimer m_handledFor;
  QStringList m_aTitles;
  QStringList m_aTexts;
  QStringList m_aSeen;
  QStringList m_aErrors;
  std::vector<int> m_aIcons;
};

// Watches the wait dialogs of long work from the event loop they pump: every
// caption they take, in order, and fnAct on the visible one at each poll until
// it returns true. CancelAt clicks Cancel as a user would (queued, seen at the
// next poll) once the dialog shows strStatus, any status when empty.
class CWaitWatcher : public QObject {
public:
  explicit CWaitWatcher(std::function<bool(CWaitDialog& wait)> fnAct = {});
  ~CWaitWatcher() override;
  static std::function<bool(CWaitDialog&)> CancelAt(const QString& strStatus = QString());
  static CWaitDialog* Visible();
  // Whether fnAct was done, and the dialog's title and status text then; every caption seen.
  bool Done() const { return m_bDone; }
  const QString& Title() const { return m_strTitle; }
  const QString& Status() const { return m_strStatus; }
  const QStringList& Titles() const { return m_aTitles; }

protected:
  bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
  QTimer m_timer;
  std::function<bool(CWaitDialog&)> m_fnAct;
  bool m_bDone = false;
  QString m_strTitle, m_strStatus;
  QStringList m_aTitles;
};

} // namespace zk7
