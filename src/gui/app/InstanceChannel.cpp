// The per-user local socket between launches of the program. A launch writes
// one line (the absolute path, UTF-8) and waits for the running instance's "1".
#include "app/InstanceChannel.h"

#include <unistd.h>

#include <QLocalServer>
#include <QLocalSocket>

namespace zk7 {

namespace {
// Bounds on each wait of a hand-over: a hung instance must not hang the launch.
constexpr int HANDOVER_WAIT_MS = 5000;
} // namespace

CInstanceChannel::CInstanceChannel(const QString& strName, QObject* pParent)
    : QObject(pParent), m_strName(strName), m_pServer(new QLocalServer(this)) {
  m_pServer->setSocketOptions(QLocalServer::UserAccessOption);
  connect(m_pServer, &QLocalServer::newConnection, this, &CInstanceChannel::OnNewConnection);
}

QString CInstanceChannel::DefaultName() {
  const QString strOverride = qEnvironmentVariable("ZK7_INSTANCE_NAME");
  if (!strOverride.isEmpty())
    return strOverride;
  return QStringLiteral("zk7-desktop-%1").arg(static_cast<qulonglong>(getuid()));
}

bool CInstanceChannel::IsInstanceRunning(const QString& strName) {
  QLocalSocket socket;
  socket.connectToServer(strName);
  const bool bConnected = socket.waitForConnected(HANDOVER_WAIT_MS);
  socket.abort();
  return bConnected;
}

bool CInstanceChannel::SendToRunningInstance(const QString& strName, const QString& strPath) {
  QLocalSocket socket;
  socket.connectToServer(strName);
  if (!socket.waitForConnected(HANDOVER_WAIT_MS))
    return false;
  socket.write(strPath.toUtf8() + '\n');
  if (!socket.waitForBytesWritten(HANDOVER_WAIT_MS))
    return false;
  while (!socket.canReadLine())
    if (!socket.waitForReadyRead(HANDOVER_WAIT_MS))
      return false;
  return socket.readLine().trimmed() == "1";
}

bool CInstanceChannel::Listen() {
  // Asked first: with access limited to the user, listening puts a new socket in
  // place of an existing one, which would cut a running instance off.
  if (IsInstanceRunning(m_strName))
    return false;
  // A socket left by an instance that ended without closing it answers nobody.
  QLocalServer::removeServer(m_strName);
  return m_pServer->listen(m_strName);
}

bool CInstanceChannel::IsListening() const { return m_pServer->isListening(); }

void CInstanceChannel::OnNewConnection() {
  while (QLocalSocket* pSocket = m_pServer->nextPendingConnection()) {
    connect(pSocket, &QLocalSocket::disconnected, pSocket, &QObject::deleteLater);
    connect(pSocket, &QLocalSocket::readyRead, this, [this, pSocket] {
      if (!pSocket->canReadLine())
        return;
      QByteArray line = pSocket->readLine();
      line.chop(1);
      const QString strPath = QString::fromUtf8(line);
      pSocket->write("1\n");
      pSocket->flush();
      if (!strPath.isEmpty())
        emit openRequested(strPath);
    });
  }
}

} // namespace zk7
