#include "history/GetDateDialog.h"

#include <QDialogButtonBox>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QVBoxLayout>

#include "format/Formatting.h"
#include "strings/StringTable.h"

namespace zk7 {

CGetDateDialog::CGetDateDialog(bool bWithDate, bool bWithFraction, QWidget* pParent)
    : QDialog(pParent), m_bWithDate(bWithDate), m_bWithFraction(bWithFraction), m_pEdit(new QLineEdit(this)) {
  setWindowTitle(QStringLiteral("Enter date"));
  auto* pLayout = new QVBoxLayout(this);
  auto* pRow = new QHBoxLayout;
  pRow->addWidget(new QLabel(QStringLiteral("Date :"), this));
  m_pEdit->setMinimumWidth(m_pEdit->fontMetrics().averageCharWidth() * 26);
  pRow->addWidget(m_pEdit, 1);
  pLayout->addLayout(pRow);
  auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  connect(pButtons, &QDialogButtonBox::accepted, this, &CGetDateDialog::accept);
  connect(pButtons, &QDialogButtonBox::rejected, this, &CGetDateDialog::reject);
  pLayout->addWidget(pButtons);
}

void CGetDateDialog::SetDate(double dDate) { m_dDate = dDate; }

void CGetDateDialog::showEvent(QShowEvent* pEvent) {
  m_pEdit->setText(QString::fromLatin1(FormatDateTime(m_dDate, m_bWithDate, m_bWithFraction, 1)));
  m_pEdit->selectAll();
  m_pEdit->setFocus();
  QDialog::showEvent(pEvent);
}

void CGetDateDialog::accept() {
  double dDate = 0;
  const eParseDate eResult = ParseDateTime(m_pEdit->text().toLatin1().toStdString(), dDate);
  if (eResult != PARSE_DATE_OK) {
    if (eResult == PARSE_DATE_WRONG_FORMAT)
      QMessageBox::warning(this, QGuiApplication::applicationDisplayName(),
                           QString::fromLatin1(LoadString(IDS_WRONG_DATE_FORMAT)));
    m_pEdit->setFocus();
    m_pEdit->selectAll();
    return;
  }
  m_dDate = dDate;
  QDialog::accept();
}

} // namespace zk7
