// A results window over a file that grows on disk: the list takes the new
// records (whole ones only, a rule proven in the core), and Follow keeps the
// newest in view until the user scrolls away.

#include <fstream>

#include "HistWindowTestSupport.h"

using namespace zk7;

class HistFollowTest : public QObject {
  Q_OBJECT
  CTempDir m_dir{"zk7-follow"};

private slots:
  void listFollowsTheFileAndFollowKeepsTheEndInView() {
    SetRegionalSettings(CRegionalSettings::Plain());
    const std::string strFull = m_dir.Path() + "/full.zk", strPath = m_dir.Path() + "/growing.zk";
    WriteTestResults(strFull, 400);
    const std::vector<uint8_t> aFull = ReadFileBytes(strFull);
    uint32_t nDataOffset = 0;
    std::memcpy(&nDataOffset, aFull.data() + 44, 4);
    // The file grows to its first nRecords records, and nExtra bytes of the next.
    size_t nWritten = 0;
    auto growTo = [&](int nRecords, size_t nExtra = 0) {
      const size_t nTo = nDataOffset + static_cast<size_t>(nRecords) * (8 + 8 * 3) + nExtra;
      std::ofstream(strPath, std::ios::binary | std::ios::app).write(reinterpret_cast<const char*>(aFull.data() + nWritten), std::streamsize(nTo - nWritten));
      nWritten = nTo;
    };
    growTo(5);
    sHistWindow w(strPath);
    auto* pModel = w.pList->GetModel();
    QCOMPARE(pModel->GetRecordCount(), 5);
    // Whole records appear; a record still being written does not; the view stays.
    growTo(100, 7);
    QTRY_COMPARE_WITH_TIMEOUT(pModel->GetRecordCount(), 100, 5000);
    QCOMPARE(w.Doc().GetRecordCount(), 100);
    QCOMPARE(w.pList->GetTopRow(), 0);
    QVERIFY(!w.pFrame->IsFollowing());
    // Follow: the last page of the list, and a period of the same length ending at the last record.
    const double dLength = w.State().m_dHistoryEnd - w.State().m_dHistoryStart;
    QVERIFY(w.pFrame->OnCommand(ID_FOLLOW));
    QVERIFY(w.pFrame->IsFollowing());
    growTo(200);
    QTRY_COMPARE_WITH_TIMEOUT(pModel->GetRecordCount(), 200, 5000);
    QCOMPARE(w.pList->GetTopRow(), 200 - w.pList->GetPageRows());
    QCOMPARE(w.State().m_dHistoryEnd, w.Doc().GetRecordTime(199, 0));
    QVERIFY(std::abs((w.State().m_dHistoryEnd - w.State().m_dHistoryStart) - dLength) < 1e-9);
    QVERIFY(w.pFrame->IsFollowing());
    // Scrolling away pauses following: the next records leave the view alone.
    w.pList->SetTopRow(10);
    growTo(300);
    QTRY_COMPARE_WITH_TIMEOUT(pModel->GetRecordCount(), 300, 5000);
    QVERIFY(!w.pFrame->IsFollowing());
    QCOMPARE(w.pList->GetTopRow(), 10);
    sCommandState state;
    QVERIFY(w.pFrame->OnUpdateCommand(ID_FOLLOW, state) && state.m_bEnabled && !state.m_bChecked);
  }
};

QTEST_MAIN(HistFollowTest)
#include "HistFollowTest.moc"
