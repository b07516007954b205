// File-type registration for freedesktop.org desktops.
#include "app/RegServer.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include "app/AppResources.h"
#include "app/DesktopEntry.h"

namespace zk7 {

namespace {

bool WriteFile(const QString& strPath, const QByteArray& data, QString* pstrError) {
  if (!QDir().mkpath(QFileInfo(strPath).absolutePath())) {
    *pstrError = QStringLiteral("Cannot create the folder of %1").arg(strPath);
    return false;
  }
  QFile file(strPath);
  if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(data) != data.size() || !file.flush()) {
    *pstrError = QStringLiteral("Cannot write %1: %2").arg(strPath, file.errorString());
    return false;
  }
  return true;
}

QByteArray ReadResource(const QString& strName) {
  QFile file(QStringLiteral(":/share/") + strName);
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// The desktop's caches are refreshed when their tools exist; without them the
// desktop reads the new files at its next scan.
void RunIfInstalled(const QString& strTool, const QStringList& aArgs) {
  const QString strPath = QStandardPaths::findExecutable(strTool);
  if (!strPath.isEmpty())
    QProcess::execute(strPath, aArgs);
}

} // namespace

bool RegisterFileTypes(const QString& strProgram, QString* pstrError) {
  InitAppResources();
  const QString strData = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
  if (strData.isEmpty()) {
    *pstrError = QStringLiteral("The user's data folder is unknown");
    return false;
  }
  const QByteArray mime = ReadResource(QStringLiteral("zk7-mime.xml"));
  const QByteArray desktop = QByteArray::fromStdString(
      MakeDesktopEntry(ReadResource(QStringLiteral("zk7.desktop")).toStdString(), QFile::encodeName(strProgram).toStdString()));
  const QByteArray icon = ReadResource(QStringLiteral("zk7.svg"));
  if (mime.isEmpty() || icon.isEmpty()) {
    *pstrError = QStringLiteral("The registration files are missing from the program");
    return false;
  }
  const QString strMimeDir = strData + QStringLiteral("/mime");
  const QString strAppsDir = strData + QStringLiteral("/applications");
  if (!WriteFile(strMimeDir + QStringLiteral("/packages/zk7-mime.xml"), mime, pstrError) ||
      !WriteFile(strAppsDir + QStringLiteral("/zk7.desktop"), desktop, pstrError) ||
      !WriteFile(strData + QStringLiteral("/icons/hicolor/scalable/apps/zk7.svg"), icon, pstrError))
    return false;
  RunIfInstalled(QStringLiteral("update-mime-database"), {strMimeDir});
  RunIfInstalled(QStringLiteral("update-desktop-database"), {strAppsDir});
  return true;
}

} // namespace zk7
