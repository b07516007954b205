// The help window over the bundled HTML manual.
#include "app/HelpWindow.h"

#include <QScrollBar>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "app/AppResources.h"
#include "app/HelpTopics.h"

namespace zk7 {

namespace {
const QString MANUAL_URL = QStringLiteral("qrc:/share/manual/index.html");
} // namespace

CHelpWindow::CHelpWindow(QWidget* pParent) : QDialog(pParent) {
  InitAppResources();
  setWindowTitle(QStringLiteral("ZK7 Help"));
  setWindowFlag(Qt::WindowMinMaxButtonsHint);
  auto* pLayout = new QVBoxLayout(this);
  pLayout->setContentsMargins(0, 0, 0, 0);
  m_pBrowser = new QTextBrowser(this);
  m_pBrowser->setOpenExternalLinks(true);
  pLayout->addWidget(m_pBrowser);
  resize(fontMetrics().averageCharWidth() * 100, fontMetrics().lineSpacing() * 40);
}

void CHelpWindow::ShowContents() { ShowAnchor(QString()); }

void CHelpWindow::ShowContext(unsigned nContext) { ShowAnchor(QString::fromLatin1(GetHelpAnchor(nContext))); }

void CHelpWindow::ShowAnchor(const QString& strAnchor) {
  QUrl url(MANUAL_URL);
  if (!strAnchor.isEmpty())
    url.setFragment(strAnchor);
  m_pBrowser->setSource(url);
  if (strAnchor.isEmpty())
    m_pBrowser->verticalScrollBar()->setValue(0);
  show();
  raise();
  activateWindow();
}

} // namespace zk7
