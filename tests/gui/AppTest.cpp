// The application object: start-up with and without a file, the "Settings"
// record, and a second launch that hands its file to the running instance.

#include "HistWindowTestSupport.h"
#include "app/InstanceChannel.h"
#include "app/MainFrame.h"
#include "app/MdiChild.h"
#include "app/ZK7App.h"
#include "settings/SettingsRecord.h"

using namespace zk7;

class AppTest : public QObject {
  Q_OBJECT
  QString Sample(const QString& strName) {
    return QString::fromStdString(WriteSample(m_dir.filePath(strName).toStdString(), 3, 200));
  }
  QTemporaryDir m_dir;
  QByteArray m_channel;

private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    // Before any settings object exists: the store and the channel are this test's own.
    qputenv("XDG_CONFIG_HOME", m_dir.filePath("config").toUtf8());
    qputenv("XDG_DATA_HOME", m_dir.filePath("data").toUtf8());
    m_channel = QByteArrayLiteral("zk7-apptest-") + QByteArray::number(QCoreApplication::applicationPid());
    qputenv("ZK7_INSTANCE_NAME", m_channel);
    QDir().mkpath(m_dir.filePath("config/ZK7"));
    WriteFileText(m_dir.filePath("config/ZK7/ZK7 Desktop.ini").toStdString(),
                  "[Settings]\nColorGraphCurve03=0x123456\nColorGraphCursor1=255\n");
  }

  void startsWithoutADocumentAndReadsTheSettings() {
    CZK7App app(QStringList{});
    QVERIFY(app.InitInstance());
    CMainFrame* pFrame = app.GetMainFrame();
    QVERIFY(pFrame && pFrame->isVisible() && pFrame->GetMdiArea()->subWindowList().isEmpty() && app.GetInstanceChannel()->IsListening());
    // Channel 2 and 17 take curve 3; a key the store lacks keeps its default.
    QCOMPARE((std::vector<uint32_t>{GetDisplayColour(GetChannelColourIndex(2)), GetDisplayColour(GetChannelColourIndex(17)),
                                    GetDisplayColour(DISPLAY_COLOUR_CURSOR1), GetDisplayColour(DISPLAY_COLOUR_CURSOR2)}),
             (std::vector<uint32_t>{0x123456u, 0x123456u, 255u, 0x0000FFu}));
    // The channel refuses a second listener.
    const QString strName = QStringLiteral("zk7-apptest-channel-%1").arg(QCoreApplication::applicationPid());
    CInstanceChannel first(strName), second(strName);
    QVERIFY(first.Listen() && !second.Listen() && CInstanceChannel::IsInstanceRunning(strName));
  }

  void aRefusedFileAtStartEndsTheProgramAfterItsMessage() {
    const QString strPath = m_dir.filePath("empty.zk");
    CResultsFileBuilder builder;
    builder.strXml = CResultsFileBuilder::MakeXml({"voltage", "voltage"});
    builder.WriteTo(strPath.toStdString());  // no record at all
    CModalAnswerer user;
    user.ThenMessage("This file is empty (not any result).");
    CZK7App app(QStringList{strPath});
    QVERIFY(!app.InitInstance() && app.GetExitCode() == 1);
  }

  void aSecondLaunchHandsItsFileToTheRunningInstance() {
    CZK7App app(QStringList{});
    QVERIFY(app.InitInstance());
    const QString strPath = Sample("handed over.zk");
    QProcess second;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    second.setProcessEnvironment(env);
    // A relative path: the running instance gets it made absolute.
    second.setWorkingDirectory(m_dir.path());
    second.start(QStringLiteral(ZK7_APP_PATH), {"handed over.zk"});
    QVERIFY(second.waitForStarted());
    // The running instance answers from its event loop, which the wait keeps turning.
    QTRY_VERIFY_WITH_TIMEOUT(second.state() == QProcess::NotRunning, 60000);
    QVERIFY(second.exitStatus() == QProcess::NormalExit && second.exitCode() == 0);
    CMdiChild* pChild = app.GetMainFrame()->GetActiveChild();
    QCOMPARE(pChild ? pChild->GetPathName() : QString(), strPath);
  }

};

QTEST_MAIN(AppTest)
#include "AppTest.moc"
