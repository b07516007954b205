// A results window over a file that grows on disk: the list takes the new
// records, Follow keeps the newest in view until the user scrolls away, and a
// file cut short is a read error shown once with the window kept.
#include <QtTest>

#include <QElapsedTimer>

#include <filesystem>
#include <fstream>

#include "HistWindowTestSupport.h"
#include "ModalAnswerer.h"
#include "SimProcess.h"
#include "app/CommandIds.h"
#include "format/RegionalSettings.h"

using namespace zk7;

namespace {

constexpr int RECORD_BYTES = 8 + 8 * 3;

// The first nRecords records of aFull (a file of three channels) as a file's bytes.
size_t PrefixBytes(const std::vector<uint8_t>& aFull, int nRecords) {
  uint32_t nDataOffset = 0;
  std::memcpy(&nDataOffset, aFull.data() + 44, 4);
  return nDataOffset + static_cast<size_t>(nRecords) * RECORD_BYTES;
}

void AppendBytes(const std::string& strPath, const std::vector<uint8_t>& a, size_t nFrom, size_t nTo) {
  std::ofstream out(strPath, std::ios::binary | std::ios::app);
  out.write(reinterpret_cast<const char*>(a.data() + nFrom), static_cast<std::streamsize>(nTo - nFrom));
}

} // namespace

class HistFollowTest : public QObject {
  Q_OBJECT
  std::string m_strDir;

private slots:
  void initTestCase() {
    SetRegionalSettings(CRegionalSettings::Plain());
    m_strDir = MakeTempDir("zk7-follow");
  }
  void cleanupTestCase() { std::filesystem::remove_all(m_strDir); }

  void listFollowsTheFileAndFollowKeepsTheEndInView() {
    const std::string strFull = m_strDir + "/full.zk", strPath = m_strDir + "/growing.zk";
    WriteTestResults(strFull, 400);
    const auto aFull = ReadFileBytes(strFull);
    WriteFileBytes(strPath, std::vector<uint8_t>(aFull.begin(), aFull.begin() + static_cast<std::ptrdiff_t>(PrefixBytes(aFull, 5))));
    sHistWindow w(strPath);
    auto* pModel = w.pList->GetModel();
    QCOMPARE(pModel->GetRecordCount(), 5);

    // Whole records appear; a record still being written does not.
    QElapsedTimer timer;
    timer.start();
    AppendBytes(strPath, aFull, PrefixBytes(aFull, 5), PrefixBytes(aFull, 100) + 7);
    QTRY_COMPARE_WITH_TIMEOUT(pModel->GetRecordCount(), 100, 5000);
    qInfo("records appeared %lld ms after they were written", static_cast<long long>(timer.elapsed()));
    QCOMPARE(w.Doc().GetRecordCount(), 100);
    QCOMPARE(w.pList->GetTopRow(), 0);  // not following: the view stays where it was
    QVERIFY(!w.pFrame->IsFollowing());

    // Follow: the last page of the list, and a period of the same length ending at the last record.
    const double dLength = w.State().m_dHistoryEnd - w.State().m_dHistoryStart;
    QVERIFY(w.pFrame->OnCommand(ID_FOLLOW));
    QVERIFY(w.pFrame->IsFollowing());
    AppendBytes(strPath, aFull, PrefixBytes(aFull, 100) + 7, PrefixBytes(aFull, 200));
    QTRY_COMPARE_WITH_TIMEOUT(pModel->GetRecordCount(), 200, 5000);
    QCOMPARE(w.pList->GetTopRow(), 200 - w.pList->GetPageRows());
    QCOMPARE(w.State().m_dHistoryEnd, w.Doc().GetRecordTime(199, 0));
    QVERIFY(std::abs((w.State().m_dHistoryEnd - w.State().m_dHistoryStart) - dLength) < 1e-9);
    QVERIFY(w.pFrame->IsFollowing());

    // Scrolling away pauses following: the next records leave the view alone.
    w.pList->SetTopRow(10);
    AppendBytes(strPath, aFull, PrefixBytes(aFull, 200), PrefixBytes(aFull, 300));
    QTRY_COMPARE_WITH_TIMEOUT(pModel->GetRecordCount(), 300, 5000);
    QVERIFY(!w.pFrame->IsFollowing());
    QCOMPARE(w.pList->GetTopRow(), 10);
    sCommandState state;
    QVERIFY(w.pFrame->OnUpdateCommand(ID_FOLLOW, state));
    QVERIFY(state.m_bEnabled && !state.m_bChecked);
  }

  void fileCutShortIsAReadErrorOnce() {
    const std::string strPath = m_strDir + "/cut.zk";
    WriteTestResults(strPath, 50);
    sHistWindow w(strPath);
    CModalAnswerer answers;
    answers.ThenClick("OK");
    std::filesystem::resize_file(strPath, std::filesystem::file_size(strPath) - RECORD_BYTES);
    QTRY_COMPARE_WITH_TIMEOUT(answers.Texts().size(), qsizetype(1), 5000);
    QVERIFY2(answers.Texts()[0].contains(QStringLiteral("became shorter")), qPrintable(answers.Texts()[0]));
    // A second check meets the same failure without a second message.
    std::filesystem::resize_file(strPath, std::filesystem::file_size(strPath) - RECORD_BYTES);
    QCOMPARE(w.pFrame->CheckGrowth(), 0);
    QCOMPARE(answers.Texts().size(), qsizetype(1));
    QVERIFY(w.pFrame->isVisible());
    QCOMPARE(w.pList->GetModel()->GetRecordCount(), 50);
  }
};

QTEST_MAIN(HistFollowTest)
#include "HistFollowTest.moc"
