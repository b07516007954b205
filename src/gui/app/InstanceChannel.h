// CInstanceChannel: hands a file from a second launch of the program to the
// instance that is already running for the same user, which opens it.
#pragma once
#include <QObject>
#include <QString>

class QLocalServer;

namespace zk7 {

class CInstanceChannel : public QObject {
  Q_OBJECT
public:
  explicit CInstanceChannel(const QString& strName, QObject* pParent = nullptr);

  // The channel of this user: one running instance per user. The environment
  // variable ZK7_INSTANCE_NAME replaces it (tests use their own).
  static QString DefaultName();
  // Gives the path to the running instance; true once that instance has taken it.
  static bool SendToRunningInstance(const QString& strName, const QString& strPath);
  // True when an instance answers on the channel.
  static bool IsInstanceRunning(const QString& strName);

  // Starts answering later launches; false when another instance already does.
  bool Listen();
  bool IsListening() const;

signals:
  void openRequested(const QString& strPath);

private:
  void OnNewConnection();

  QString m_strName;
  QLocalServer* m_pServer;
};

} // namespace zk7
