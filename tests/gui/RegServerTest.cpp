// "RegServer" on the command line: the file types are registered in the user's
// data folder and the program ends without a window.
#include "ModalAnswerer.h"

#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "app/ZK7App.h"

using namespace zk7;

namespace {

QString ReadText(const QString& strPath) {
  QFile file(strPath);
  return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

std::vector<std::string> ChildEnvironment(const QTemporaryDir& dir, const QString& strData) {
  return {"XDG_DATA_HOME=" + strData.toStdString(), "XDG_CONFIG_HOME=" + dir.filePath("config").toStdString(),
          "QT_QPA_PLATFORM=offscreen", "ZK7_INSTANCE_NAME=zk7-regserver-test-" + std::to_string(QCoreApplication::applicationPid())};
}

} // namespace

class RegServerTest : public QObject {
  Q_OBJECT

private slots:
  // The token's spellings are proven on the command line parser.
  void registersBothTypesAndTheDesktopEntry() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    const QString strData = dir.filePath("data");
    const sProcessResult result = RunProcess(ZK7_APP_PATH, {"/regserver"}, ChildEnvironment(dir, strData));
    QCOMPARE(result.nExitCode, 0);

    const QString strMime = ReadText(strData + "/mime/packages/zk7-mime.xml");
    for (const char* psz : {"<mime-type type=\"application/x-zk7-results\">", "<glob pattern=\"*.zk\"/>",
                            "<mime-type type=\"text/x-zk7-log\">", "<glob pattern=\"*.log\" weight=\"10\"/>"})
      QVERIFY2(strMime.contains(QLatin1String(psz)), psz);
    const QStringList aDesktop = ReadText(strData + "/applications/zk7.desktop").split(QLatin1Char('\n'));
    for (const QString& strLine : QStringList{"Exec=" ZK7_APP_PATH " %f", "MimeType=application/x-zk7-results;text/x-zk7-log;", "Icon=zk7"})
      QVERIFY2(aDesktop.contains(strLine), qPrintable(strLine));
    QVERIFY(QFile::exists(strData + "/icons/hicolor/scalable/apps/zk7.svg"));

    // Where the desktop's tool is installed, its cache knows the new types.
    if (!QStandardPaths::findExecutable("update-mime-database").isEmpty()) {
      const QString strGlobs = ReadText(strData + "/mime/globs2");
      QVERIFY(strGlobs.contains("application/x-zk7-results:*.zk") && strGlobs.contains("10:text/x-zk7-log:*.log"));
      // A module's log is ours by its first line; another program's log keeps its type.
      const QString strGio = QStandardPaths::findExecutable("gio");
      if (!strGio.isEmpty()) {
        const std::vector<std::string> aEnv = {"XDG_DATA_HOME=" + strData.toStdString(),
                                               "XDG_DATA_DIRS=" + strData.toStdString() + ":/usr/share"};
        const struct { const char* pszName; QByteArray content; bool bOurs; } files[] = {
            {"module.log", "12\t2017-03-15\t10:20:30\tStart\n", true}, {"kernel.log", "Jan  1 00:00:00 host kernel: started\n", false}};
        for (const auto& f : files) {
          const QString strPath = dir.filePath(QString::fromLatin1(f.pszName));
          WriteFileText(strPath.toStdString(), f.content.toStdString());
          const sProcessResult info = RunProcess(strGio.toStdString(),
                                                 {"info", "-a", "standard::content-type", strPath.toStdString()}, aEnv);
          QVERIFY2(info.nExitCode == 0 && (info.strOut.find("text/x-zk7-log") != std::string::npos) == f.bOurs, info.strOut.c_str());
        }
      }
    }
  }

  void showsNoWindow() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    qputenv("XDG_DATA_HOME", dir.filePath("data").toUtf8());
    qputenv("XDG_CONFIG_HOME", dir.filePath("config").toUtf8());
    qputenv("ZK7_INSTANCE_NAME", QByteArrayLiteral("zk7-regserver-inprocess-") + QByteArray::number(QCoreApplication::applicationPid()));
    CZK7App app(QStringList{"/RegServer"});
    QVERIFY(!app.InitInstance() && app.GetExitCode() == 0 && !app.GetMainFrame());
    for (QWidget* pWidget : QApplication::topLevelWidgets())
      QVERIFY2(!pWidget->isVisible(), qPrintable(pWidget->metaObject()->className()));
    QVERIFY(QFile::exists(dir.filePath("data/applications/zk7.desktop")));
  }

  void anUnwritableDataFolderIsAFailure() {
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A file where the data folder should be: nothing can be created under it.
    const QString strData = dir.filePath("data");
    WriteFileText(strData.toStdString(), "");
    const sProcessResult result = RunProcess(ZK7_APP_PATH, {"-RegServer"}, ChildEnvironment(dir, strData));
    QCOMPARE(result.nExitCode, 1);
    QVERIFY(QString::fromStdString(result.strErr).contains("zk7: Cannot create the folder"));
  }
};

QTEST_MAIN(RegServerTest)
#include "RegServerTest.moc"
