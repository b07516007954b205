// Information dialog of a results file: read-only fields filled from the document.
#include "history/DlgInfosResFile.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QLineEdit>
#include <QVBoxLayout>

#include "results/ZK7Doc.h"

namespace zk7 {

CDlgInfosResFile::CDlgInfosResFile(const sResultsFileInfo& info, QWidget* pParent) : QDialog(pParent) {
  // The title holds the file name, which comes from the file system.
  setWindowTitle(QString::fromUtf8(info.strTitle));
  auto* pLayout = new QVBoxLayout(this);
  auto* pForm = new QFormLayout;
  for (const auto& [pszLabel, pstrValue] : GetInformationLines(info)) {
    auto* pField = new QLineEdit(QString::fromLatin1(*pstrValue), this);
    pField->setReadOnly(true);
    pField->setObjectName(QString::fromLatin1(pszLabel));
    pField->setMinimumWidth(fontMetrics().averageCharWidth() * 36);
    pForm->addRow(QString::fromLatin1(pszLabel), pField);
  }
  pLayout->addLayout(pForm);
  auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
  connect(pButtons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  pLayout->addWidget(pButtons);
}

QString CDlgInfosResFile::GetValue(const QString& strLabel) const {
  const auto* pField = findChild<QLineEdit*>(strLabel);
  return pField ? pField->text() : QString();
}

} // namespace zk7
