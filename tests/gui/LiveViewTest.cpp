// Instrument > "Live View..." as the application carries it out, against
// zk7-sim recording live: the acquisition's file is found, followed into the
// download destination and shown in a window in Follow mode that grows; after
// the stop, the copy is the module's file byte for byte and the window stays;
// closing the window ends the link's thread. An existing copy is replaced
// only on the user's word.
#include <QLabel>
#include <QStatusBar>
#include <QtTest>
#include <filesystem>

#include "InstrumentTestSupport.h"
#include "app/CommandIds.h"
#include "app/MainFrame.h"
#include "app/MdiChild.h"
#include "app/ZK7App.h"
#include "format/Formatting.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "results/ZK7Doc.h"
#include "settings/ConnectionSettings.h"
#include "settings/SettingsStore.h"
#include "workflows/FileSelection.h"
#include "workflows/InstrumentCommands.h"
#include "workflows/LiveView.h"

using namespace zk7;
namespace fs = std::filesystem;

namespace {

// The link threads of this process, as the system names them.
int LinkThreads() {
  int n = 0;
  for (const auto& e : fs::directory_iterator("/proc/self/task"))
    if (ReadFileText(e.path() / "comm").rfind("zk7-link", 0) == 0) ++n;
  return n;
}

} // namespace

class LiveViewTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void cleanupTestCase();
  void acquisitionFollowedUntilItStopsThenTheWindowCloses();

private:
  const fs::path& Temp() const { return m_sim.Temp(); }
  fs::path Recorded() const {
    for (const auto& e : fs::directory_iterator(Temp() / "module" / "internal")) return e.path();
    return {};
  }
  // Runs the command through the main window; the dialogs it opens get answers.
  void LiveView(CModalAnswerer& user);
  QString StatusBarText() const {
    return m_pApp->GetMainFrame()->statusBar()->findChild<QLabel*>()->text();
  }

  CModuleSim m_sim;
  std::unique_ptr<CZK7Dev> m_pModule;  // another client: starts and stops acquisition
  std::unique_ptr<CZK7App> m_pApp;
};

void LiveViewTest::initTestCase() {
  qputenv("ZK7_INSTANCE_NAME", QByteArrayLiteral("zk7-live-test-") + QByteArray::number(QCoreApplication::applicationPid()));
  qputenv("HOME", QFile::encodeName(QString::fromStdString((Temp() / "home").string())));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(QString::fromStdString((Temp() / "home" / ".config").string())));
  std::string strError;
  QVERIFY2(m_sim.Start({"--period", "50"}, strError), strError.c_str());
  CreateUserSettingsStore()->WriteInt(CONNECTION_SECTION, CONNECTION_KEY_PORT, m_sim.Port());
  m_pModule = m_sim.Client();
  QCOMPARE(m_pModule->Login(), ZK7_OK);
  m_pApp = std::make_unique<CZK7App>(QStringList());
  QVERIFY(m_pApp->InitInstance());
}

void LiveViewTest::cleanupTestCase() {
  m_pApp.reset();
  QCOMPARE(LinkThreads(), 0);
  m_pModule.reset();
  m_sim.Stop();
}

void LiveViewTest::LiveView(CModalAnswerer& user) {
  QVERIFY(m_pApp->GetMainFrame()->ExecuteCommand(ID_LIVE_VIEW));
  user.Stop();
  QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
  // The command connected for itself: its own link is gone, the live view has another.
  QVERIFY(m_pApp->GetInstrumentCommands()->GetDevice() == nullptr);
}

void LiveViewTest::acquisitionFollowedUntilItStopsThenTheWindowCloses() {
  CMainFrame* pMain = m_pApp->GetMainFrame();
  QCOMPARE(m_pModule->SetAcquisition(1, 0), ZK7_OK);
  QTRY_VERIFY(!Recorded().empty());
  const fs::path copy = Temp() / "home" / "Documents" / "ZK7" / "127.0.0.1" / "internal" / Recorded().filename();
  {
    CModalAnswerer user;
    user.Then(LoginStep(user));
    LiveView(user);
  }
  // No dialog is expected from here on: one would be closed and reported.
  auto pWatch = std::make_unique<CModalAnswerer>();
  // The copy's window, in Follow mode, growing; the status bar says so.
  QTRY_VERIFY_WITH_TIMEOUT(pMain->GetActiveChild(), 10000);
  CMdiChild* pChild = pMain->GetActiveChild();
  QCOMPARE(pChild->GetPathName(), QString::fromStdString(copy.string()));
  auto* pHist = qobject_cast<CHistFrame*>(pChild->GetContent());
  QVERIFY(pHist && pHist->IsFollowing());
  QPointer<CLiveView> pLive = pHist->findChild<CLiveView*>();
  QVERIFY(pLive);
  QCOMPARE(LinkThreads(), 1);
  const CZK7Doc& doc = pHist->GetDocument();
  const int nFirst = doc.GetRecordCount();
  QTRY_VERIFY_WITH_TIMEOUT(doc.GetRecordCount() > nFirst + 20, 10000);
  QVERIFY(pHist->IsFollowing());
  // How soon a record written on the module is in the window (measured, not a budget).
  const auto nModuleRecords = [this, &doc] {
    return static_cast<int>((fs::file_size(Recorded()) - doc.GetDataOffset()) / doc.GetRecordSize());
  };
  const int nNext = doc.GetRecordCount() + 1;
  QTRY_VERIFY(nModuleRecords() >= nNext);
  QElapsedTimer timer;
  timer.start();
  QTRY_VERIFY_WITH_TIMEOUT(doc.GetRecordCount() >= nNext, 10000);
  qInfo("a record written on the module showed after %lld ms (interval 1000 ms)",
        static_cast<long long>(timer.elapsed()));
  CHistGraph* pGraph = pHist->GetHistGraph();
  QTRY_COMPARE(pGraph->GetPoints().GetFirstRecord() + pGraph->GetPoints().GetPointCount(), doc.GetRecordCount());
  const QString strStatus = StatusBarText();
  QVERIFY2(strStatus.startsWith(QStringLiteral("Live: ")) && strStatus.contains(QStringLiteral(" records, last ")),
           qPrintable(strStatus));
  // The last record's time as the user would type it back.
  double dLast = 0;
  QCOMPARE(ParseDateTime(strStatus.section(QStringLiteral(", last "), 1).toStdString(), dLast), PARSE_DATE_OK);
  QVERIFY(std::abs(dLast - doc.GetRecordTime(doc.GetRecordCount() - 1, 0)) * 86400 < 5);

  // The stop: a last catch-up, the copy whole, the window kept.
  QCOMPARE(m_pModule->SetAcquisition(0, 0), ZK7_OK);
  QTRY_VERIFY_WITH_TIMEOUT(pLive && pLive->GetState() == eLiveState::Stopped, 10000);
  QCOMPARE(ReadFileText(copy), ReadFileText(Recorded()));
  QTRY_COMPARE(doc.GetRecordCount(), nModuleRecords());
  QVERIFY2(StatusBarText().startsWith(QStringLiteral("Live stopped")), qPrintable(StatusBarText()));
  QVERIFY(pChild->isVisible());
  pChild->close();
  QTRY_VERIFY(!pLive);
  QCOMPARE(LinkThreads(), 0);
  QCOMPARE(StatusBarText(), QStringLiteral("Ready"));
  QVERIFY2(pWatch->AllAnswered(), qPrintable(pWatch->Report()));
  pWatch.reset();

  // Again into the same copy: asked first; closing the window mid-acquisition ends the following.
  QCOMPARE(m_pModule->SetAcquisition(1, 2), ZK7_OK);
  {
    CModalAnswerer user;
    user.Then(LoginStep(user));
    user.ThenMessage(QString::fromStdString(ReplaceQuestionText(copy.string())), QStringLiteral("&Yes"));
    LiveView(user);
  }
  pWatch = std::make_unique<CModalAnswerer>();
  QTRY_VERIFY_WITH_TIMEOUT(pMain->GetActiveChild(), 10000);
  pLive = pMain->GetActiveChild()->GetContent()->findChild<CLiveView*>();
  QVERIFY(pLive && pLive->GetState() == eLiveState::Following);
  QCOMPARE(LinkThreads(), 1);
  // Closed once the graph is drawn: a test's close outside any event loop would
  // be carried out inside the first drawing's event dispatch.
  QTRY_VERIFY(qobject_cast<CHistFrame*>(pMain->GetActiveChild()->GetContent())->GetHistGraph()->GetPoints().GetPointCount() > 0);
  pMain->GetActiveChild()->close();
  QTRY_VERIFY(!pLive);
  QCOMPARE(LinkThreads(), 0);
  QCOMPARE(m_pModule->SetAcquisition(0, 0), ZK7_OK);
  QVERIFY2(pWatch->AllAnswered(), qPrintable(pWatch->Report()));
}

QTEST_MAIN(LiveViewTest)
#include "LiveViewTest.moc"
