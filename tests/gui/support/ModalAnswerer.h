// Answers the modal dialogs that a command under test opens, in the order they
// come, so that GUI tests never wait for a person: a test queues one step per
// expected dialog; a dialog beyond the queue is recorded and closed.
#pragma once
#include <functional>
#include <vector>

#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QTimer>

class QAbstractButton;
class QWidget;

namespace zk7 {

// The text a user reads in a dialog: a message box's text, else the texts of its
// visible labels, one per line.
QString GetDialogText(QWidget* pDialog);
// The visible button of pParent whose caption reads strText (mnemonic marks ignored).
QAbstractButton* FindDialogButton(QWidget* pParent, const QString& strText);

class CModalAnswerer : public QObject {
public:
  using Step = std::function<void(QWidget* pModal)>;

  CModalAnswerer();
  ~CModalAnswerer() override;

  // Runs fnStep on the next modal dialog.
  void Then(Step fnStep);
  // Records the next dialog's title and text, then clicks its button strButton.
  void ThenClick(const QString& strButton);
  // Records the next dialog, then sends it one key (Escape, Return...).
  void ThenKey(int nKey);

  // What was seen, one entry per dialog answered: title and text.
  const QStringList& Titles() const { return m_aTitles; }
  const QStringList& Texts() const { return m_aTexts; }
  // Steps not used yet; dialogs that came with no step left (closed by rejecting them).
  int PendingSteps() const { return static_cast<int>(m_aSteps.size()); }
  const QStringList& Unexpected() const { return m_aUnexpected; }
  // Icons of the message boxes answered (QMessageBox::Icon), -1 for other dialogs.
  const std::vector<int>& Icons() const { return m_aIcons; }

protected:
  bool eventFilter(QObject* pObject, QEvent* pEvent) override;

private:
  void Poll();
  void Record(QWidget* pModal);

  QTimer m_timer;
  std::vector<Step> m_aSteps;
  // The dialog answered last, until it hides: a dialog object shown again is a new question.
  QPointer<QWidget> m_pLastHandled;
  QStringList m_aTitles;
  QStringList m_aTexts;
  QStringList m_aUnexpected;
  std::vector<int> m_aIcons;
};

} // namespace zk7
