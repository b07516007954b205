// For the instrument workflow tests: files on both sides, and a scripted user who
// answers the modal dialogs in turn.
#pragma once
#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QVariant>
#include <QTreeWidget>
#include <QWidget>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

#include "SimProcess.h"

namespace zk7 {

inline std::string ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  return ss.str();
}

inline void WriteBytes(const std::filesystem::path& path, const std::string& strBytes) {
  std::filesystem::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << strBytes;
}

// Bytes that differ from one file to the next.
inline std::string Content(const std::string& strName, size_t nSize) {
  std::string str(nSize, '\0');
  for (size_t i = 0; i < nSize; ++i) str[i] = static_cast<char>(strName[i % strName.size()] + i * 7);
  return str;
}

inline QTreeWidgetItem* FindChildItem(QTreeWidgetItem* pParent, const QString& strText) {
  for (int i = 0; i < pParent->childCount(); ++i)
    if (pParent->child(i)->text(0) == strText) return pParent->child(i);
  return nullptr;
}

inline QTreeWidgetItem* FindTopItem(QTreeWidget* pTree, const QString& strText) {
  for (int i = 0; i < pTree->topLevelItemCount(); ++i)
    if (pTree->topLevelItem(i)->text(0) == strText) return pTree->topLevelItem(i);
  return nullptr;
}

// The text a user reads in a modal dialog: a message box's text, else the title.
inline QString ModalText(QWidget* pModal) {
  if (auto* pBox = qobject_cast<QMessageBox*>(pModal)) return pBox->text();
  return pModal->windowTitle();
}

// The visible button whose caption reads strText; the mnemonic marks do not count,
// since standard buttons carry them or not depending on the platform.
inline QAbstractButton* FindButton(QWidget* pParent, const QString& strText) {
  auto plain = [](QString str) { return str.remove(QLatin1Char('&')); };
  for (QAbstractButton* p : pParent->findChildren<QAbstractButton*>())
    if (plain(p->text()) == plain(strText) && p->isVisible()) return p;
  return nullptr;
}

// Types the full path into a file dialog's name field and confirms, as a user does.
inline bool AnswerFileDialog(QFileDialog* pDialog, const QString& strPath) {
  auto* pEdit = pDialog->findChild<QLineEdit*>(QStringLiteral("fileNameEdit"));
  if (!pEdit) return false;
  pEdit->setText(strPath);
  static_cast<QDialog*>(pDialog)->accept();
  return true;
}

// Answers the modal dialogs of a command, one step per dialog, in the order they
// come. A dialog beyond the script, or a step that fails, is recorded and closed
// so that the command under test always returns.
class CScriptedUser : public QObject {
public:
  using Step = std::function<void(QWidget* pModal)>;

  CScriptedUser() {
    connect(&m_timer, &QTimer::timeout, this, &CScriptedUser::Poll);
    m_timer.start(5);
  }

  // No more answers: a later command gets its own scripted user.
  void Stop() { m_timer.stop(); }

  void Then(Step step) { m_aSteps.push_back(std::move(step)); }
  // A message box: its text must be strText; the button with strButton is clicked.
  void ThenMessage(const QString& strText, const QString& strButton = QStringLiteral("OK")) {
    Then([this, strText, strButton](QWidget* pModal) {
      auto* pBox = qobject_cast<QMessageBox*>(pModal);
      if (!pBox) return Fail(QStringLiteral("expected a message box \"%1\", got %2").arg(strText, pModal->windowTitle()));
      if (pBox->text() != strText) Fail(QStringLiteral("message \"%1\", expected \"%2\"").arg(pBox->text(), strText));
      Click(pModal, strButton);
    });
  }
  // Clicks the button that shows strText, failing when there is none.
  void Click(QWidget* pModal, const QString& strText) {
    QAbstractButton* pButton = FindButton(pModal, strText);
    if (!pButton) return Fail(QStringLiteral("no button \"%1\" in \"%2\"").arg(strText, ModalText(pModal)));
    if (!pButton->isEnabled()) return Fail(QStringLiteral("button \"%1\" is disabled").arg(strText));
    pButton->click();
  }
  void Fail(const QString& strText) { m_aErrors << strText; }
  void Check(bool bOk, const QString& strWhat) {
    if (!bOk) Fail(strWhat);
  }
  void Compare(const QVariant& actual, const QVariant& expected, const QString& strWhat) {
    if (actual != expected)
      Fail(QStringLiteral("%1: \"%2\", expected \"%3\"").arg(strWhat, actual.toString(), expected.toString()));
  }

  // Everything seen, in order; steps not reached; what went wrong.
  QStringList m_aSeen;
  QStringList m_aErrors;
  int StepsLeft() const { return static_cast<int>(m_aSteps.size() - m_nNext); }

private:
  void Poll() {
    QWidget* pModal = QApplication::activeModalWidget();
    if (m_pHandled && !m_pHandled->isVisible()) m_pHandled = nullptr;
    if (pModal && pModal == m_pHandled) {
      // A step that left its dialog open would hang the test: give up on it after
      // a generous while (this ends a hang, it measures nothing).
      if (++m_nStuckPolls == 4000) {
        m_aErrors << QStringLiteral("dialog left open: ") + ModalText(pModal);
        if (auto* pDialog = qobject_cast<QDialog*>(pModal)) pDialog->reject();
      }
      return;
    }
    m_nStuckPolls = 0;
    // A dialog disabled by some other work in progress (a wait dialog over its
    // owner) is answered once it can be used, as a user would.
    if (!pModal || !pModal->isEnabled()) return;
    m_pHandled = pModal;
    m_aSeen << ModalText(pModal);
    // Answered from the event loop, not from inside this slot: the answer may open
    // a nested dialog whose loop must go on polling.
    QPointer<QWidget> p = pModal;
    if (m_nNext >= m_aSteps.size()) {
      m_aErrors << QStringLiteral("unexpected dialog: ") + ModalText(pModal);
      QTimer::singleShot(0, this, [p] {
        if (auto* pDialog = qobject_cast<QDialog*>(p.data())) pDialog->reject();
      });
      return;
    }
    Step step = m_aSteps[m_nNext++];
    QTimer::singleShot(0, this, [p, step] {
      if (p) step(p);
    });
  }

  QTimer m_timer;
  std::vector<Step> m_aSteps;
  size_t m_nNext = 0;
  QPointer<QWidget> m_pHandled;
  int m_nStuckPolls = 0;
};

} // namespace zk7
