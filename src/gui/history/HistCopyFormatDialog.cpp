#include "history/HistCopyFormatDialog.h"

#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/HelpRequest.h"

namespace zk7 {

CHistCopyFormatDialog::CHistCopyFormatDialog(QWidget* pParent) : QDialog(pParent), m_pGroup(new QButtonGroup(this)) {
  setWindowTitle(QStringLiteral("Copie de l'historique"));
  auto* pLayout = new QVBoxLayout(this);
  auto* pBox = new QGroupBox(QStringLiteral("Items to be copied"), this);
  auto* pBoxLayout = new QVBoxLayout(pBox);
  static const char* const ITEMS[] = {"&Graph", "&Key", "Selected &Records", "&All Records"};
  for (int i = 0; i < 4; ++i) {
    auto* pRadio = new QRadioButton(QString::fromLatin1(ITEMS[i]), pBox);
    m_pGroup->addButton(pRadio, i);
    pBoxLayout->addWidget(pRadio);
  }
  pLayout->addWidget(pBox);
  auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
  QPushButton* pHelp = pButtons->addButton(QStringLiteral("&Help"), QDialogButtonBox::HelpRole);
  connect(pButtons, &QDialogButtonBox::accepted, this, &CHistCopyFormatDialog::accept);
  connect(pButtons, &QDialogButtonBox::rejected, this, &CHistCopyFormatDialog::reject);
  // The help context of a dialog is its resource number above the dialogs' base.
  connect(pHelp, &QPushButton::clicked, this, [] { RequestHelp(0x20000 + 216); });
  pLayout->addWidget(pButtons);
}

void CHistCopyFormatDialog::showEvent(QShowEvent* pEvent) {
  if (QAbstractButton* pButton = m_pGroup->button(m_nChoice)) pButton->setChecked(true);
  QDialog::showEvent(pEvent);
}

void CHistCopyFormatDialog::accept() {
  m_nChoice = m_pGroup->checkedId() < 0 ? m_nChoice : m_pGroup->checkedId();
  QDialog::accept();
}

} // namespace zk7
