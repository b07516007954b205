// The "Error Codes" dialog over the core's error lookup.
#include "errors/DlgErrCodes.h"

#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTextBlock>
#include <QTextCursor>
#include <QVBoxLayout>

#include "errors/ErrorCatalogue.h"
#include "strings/StringTable.h"

namespace zk7 {

CDlgErrCodes::CDlgErrCodes(QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(QStringLiteral("Error Codes"));
  auto* pLayout = new QVBoxLayout(this);
  pLayout->addWidget(new QLabel(QStringLiteral("Indicate the error number for its meaning"), this));

  auto* pRow = new QHBoxLayout;
  auto* pLabel = new QLabel(QStringLiteral("Error number:"), this);
  m_pNumber = new QLineEdit(QStringLiteral("0"), this);
  pLabel->setBuddy(m_pNumber);
  pRow->addWidget(pLabel);
  pRow->addWidget(m_pNumber, 1);
  pLayout->addLayout(pRow);

  auto* pGroup = new QGroupBox(QStringLiteral("Meaning:"), this);
  auto* pGroupLayout = new QVBoxLayout(pGroup);
  m_pMeaning = new QPlainTextEdit(pGroup);
  m_pMeaning->setReadOnly(true);
  m_pMeaning->setMinimumHeight(fontMetrics().lineSpacing() * 6);
  pGroupLayout->addWidget(m_pMeaning);
  pLayout->addWidget(pGroup, 1);

  auto* pButtons = new QHBoxLayout;
  pButtons->addStretch(1);
  m_pOk = new QPushButton(QStringLiteral("OK"), this);
  m_pOk->setDefault(true);
  m_pClose = new QPushButton(QStringLiteral("Fermer"), this);
  m_pClose->setAutoDefault(false);
  pButtons->addWidget(m_pOk);
  pButtons->addWidget(m_pClose);
  pLayout->addLayout(pButtons);

  connect(m_pOk, &QPushButton::clicked, this, &CDlgErrCodes::OnLookUp);
  connect(m_pClose, &QPushButton::clicked, this, &QDialog::reject);
  setMinimumWidth(fontMetrics().averageCharWidth() * 50);
}

void CDlgErrCodes::OnLookUp() {
  const sErrorLookup lookup = LookupErrorNumber(m_pNumber->text().toLatin1().toStdString());
  if (!lookup.m_bAccepted) {
    QMessageBox::warning(this, QString::fromLatin1(LoadString(IDS_APP_TITLE)), QString::fromLatin1(lookup.m_strText));
    m_pNumber->setFocus(Qt::OtherFocusReason);
    m_pNumber->selectAll();
    return;
  }
  // The meaning keeps its line ends; the field shows CR LF as one line break.
  QString strText = QString::fromLatin1(lookup.m_strText);
  strText.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
  m_pMeaning->setPlainText(strText);
  // Every line centred, as the field of the original dialog shows it.
  QTextCursor cursor(m_pMeaning->document());
  cursor.select(QTextCursor::Document);
  QTextBlockFormat format;
  format.setAlignment(Qt::AlignHCenter);
  cursor.mergeBlockFormat(format);
}

} // namespace zk7
