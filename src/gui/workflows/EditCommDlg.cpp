#include "workflows/EditCommDlg.h"

#include <algorithm>
#include <charconv>
#include <utility>

#include <QApplication>
#include <QDialogButtonBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QStyle>
#include <QVBoxLayout>

#include "settings/ConnectionSettings.h"
#include "strings/StringTable.h"

namespace zk7 {

CEditCommDlg::CEditCommDlg(QWidget* pParent) : QDialog(pParent) {
  setWindowTitle(QStringLiteral("Connecting to device"));

  auto* pIcon = new QLabel(this);
  QIcon icon = QApplication::windowIcon();
  if (icon.isNull()) icon = style()->standardIcon(QStyle::SP_DriveNetIcon);
  pIcon->setPixmap(icon.pixmap(32, 32));
  pIcon->setAlignment(Qt::AlignTop | Qt::AlignLeft);

  m_pAddress = new QLineEdit(this);
  m_pAddress->setObjectName(QStringLiteral("address"));
  m_pPort = new QLineEdit(this);
  m_pPort->setObjectName(QStringLiteral("port"));
  m_pPort->setValidator(new QRegularExpressionValidator(QRegularExpression(QStringLiteral("[0-9]*")), m_pPort));
  m_pPort->setMaxLength(5);
  m_pPort->setMaximumWidth(60);
  m_pUser = new QLineEdit(this);
  m_pUser->setObjectName(QStringLiteral("user"));
  m_pPassword = new QLineEdit(this);
  m_pPassword->setObjectName(QStringLiteral("password"));
  m_pPassword->setEchoMode(QLineEdit::Password);

  auto* pButtons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, Qt::Vertical, this);
  pButtons->button(QDialogButtonBox::Ok)->setDefault(true);
  connect(pButtons, &QDialogButtonBox::accepted, this, &CEditCommDlg::accept);
  connect(pButtons, &QDialogButtonBox::rejected, this, &CEditCommDlg::reject);

  auto* pGrid = new QGridLayout;
  auto* pAddressLabel = new QLabel(QStringLiteral("Device Address(*):"), this);
  pAddressLabel->setBuddy(m_pAddress);
  pGrid->addWidget(pAddressLabel, 0, 0);
  pGrid->addWidget(m_pAddress, 0, 1);
  auto* pPortLabel = new QLabel(QStringLiteral("IP Port:"), this);
  pPortLabel->setBuddy(m_pPort);
  pGrid->addWidget(pPortLabel, 0, 2);
  pGrid->addWidget(m_pPort, 0, 3);
  auto* pUserLabel = new QLabel(QStringLiteral("User Name:"), this);
  pUserLabel->setBuddy(m_pUser);
  pGrid->addWidget(pUserLabel, 1, 0);
  pGrid->addWidget(m_pUser, 1, 1);
  auto* pPasswordLabel = new QLabel(QStringLiteral("Password:"), this);
  pPasswordLabel->setBuddy(m_pPassword);
  pGrid->addWidget(pPasswordLabel, 2, 0);
  pGrid->addWidget(m_pPassword, 2, 1);
  pGrid->addWidget(pButtons, 1, 2, 2, 2, Qt::AlignTop | Qt::AlignRight);

  auto* pTop = new QHBoxLayout;
  pTop->addWidget(pIcon);
  pTop->addLayout(pGrid, 1);

  auto* pNote = new QLabel(QStringLiteral("(*) Enter either the IP address of the device (for example 192.168.0.10)\n"
                                          "or its network host name (for example ZK7-1234)."),
                           this);
  pNote->setObjectName(QStringLiteral("note"));

  auto* pLayout = new QVBoxLayout(this);
  pLayout->addLayout(pTop);
  pLayout->addSpacing(8);
  pLayout->addWidget(pNote);
  setMinimumWidth(440);
}

int CEditCommDlg::exec() {
  m_pUser->setText(m_strUser);
  m_pAddress->setText(m_strAddress);
  m_pPort->setText(QString::number(m_nPort));
  m_pPassword->setText(m_strPassword);
  m_pAddress->setFocus();
  return QDialog::exec();
}

QString CEditCommDlg::IntegerRangeMessage(int nMin, int nMax) {
  return QStringLiteral("Please enter an integer between %1 and %2.").arg(nMin).arg(nMax);
}

QString CEditCommDlg::IntegerMessage() {
  return QStringLiteral("Please enter an integer.");
}

namespace {

bool IsLatin1(const QString& str) {
  return std::all_of(str.begin(), str.end(), [](QChar c) { return c.unicode() <= 0xFF; });
}

} // namespace

void CEditCommDlg::Refuse(const QString& strText, QLineEdit* pField) {
  QMessageBox box(QMessageBox::Warning, QString::fromLatin1(LoadString(IDS_APP_TITLE)), strText, QMessageBox::Ok,
                  this);
  box.exec();
  pField->setFocus();
  pField->selectAll();
}

void CEditCommDlg::accept() {
  const QByteArray digits = m_pPort->text().trimmed().toLatin1();
  int nPort = 0;
  const auto [pEnd, ec] = std::from_chars(digits.constData(), digits.constData() + digits.size(), nPort);
  const bool bOk = !digits.isEmpty() && ec != std::errc::invalid_argument &&
                   pEnd == digits.constData() + digits.size();
  if (!bOk || ec == std::errc::result_out_of_range || !IsConnectionPortAccepted(nPort)) {
    Refuse(bOk ? IntegerRangeMessage(MIN_CONNECTION_PORT, MAX_CONNECTION_PORT) : IntegerMessage(), m_pPort);
    return;
  }
  // The module's texts are 8-bit: a character beyond Latin-1 cannot be sent as typed.
  const std::pair<QLineEdit*, const char*> aFields[] = {
      {m_pAddress, "Device Address"}, {m_pUser, "User Name"}, {m_pPassword, "Password"}};
  for (const auto& [pField, pszName] : aFields) {
    if (!IsLatin1(pField->text())) {
      Refuse(QString::fromLatin1(FormatMessage(ZK7_MSG_NOT_LATIN1, {pszName})), pField);
      return;
    }
  }
  m_strUser = m_pUser->text();
  m_strAddress = m_pAddress->text();
  m_nPort = nPort;
  m_strPassword = m_pPassword->text();
  QDialog::accept();
}

} // namespace zk7
