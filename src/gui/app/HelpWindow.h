// CHelpWindow: the user manual bundled with the program, shown from the help
// commands and keys.
#pragma once
#include <QDialog>

class QTextBrowser;

namespace zk7 {

class CHelpWindow : public QDialog {
  Q_OBJECT
public:
  explicit CHelpWindow(QWidget* pParent = nullptr);

  // The manual from its beginning.
  void ShowContents();
  // The section that answers a help context (a menu set, a dialog).
  void ShowContext(unsigned nContext);

  QTextBrowser* GetBrowser() const { return m_pBrowser; }

private:
  void ShowAnchor(const QString& strAnchor);

  QTextBrowser* m_pBrowser;
};

} // namespace zk7
