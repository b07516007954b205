// The statistics pane: the core's figures for the newest range, computed off
// the window's thread, and the clipboard text.
#include <QApplication>
#include <QClipboard>
#include <QSignalSpy>
#include <QTableWidget>
#include <QTest>

#include <filesystem>

#include "SimProcess.h"
#include "format/RegionalSettings.h"
#include "history/StatisticsPane.h"
#include "results/ZK7Doc.h"
#include "samples/SampleWriter.h"

using namespace zk7;

class StatisticsPaneTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase();
  void cleanupTestCase() { std::filesystem::remove_all(m_strDir); }
  void showsTheNewestRangeAndCopiesIt();

private:
  std::string m_strDir = MakeTempDir("zk7-stats-pane");
  std::shared_ptr<CZK7Doc> m_pDoc = std::make_shared<CZK7Doc>();
};

void StatisticsPaneTest::initTestCase() {
  SetRegionalSettings(CRegionalSettings::Plain());
  sSampleSpec spec;
  spec.nChannels = 4;
  spec.nRecords = 400000;
  QVERIFY(CSampleWriter(spec).WriteFile(m_strDir + "/s.zk"));
  QVERIFY(m_pDoc->OnOpenDocument(m_strDir + "/s.zk"));
}

void StatisticsPaneTest::showsTheNewestRangeAndCopiesIt() {
  CStatisticsPane pane(m_pDoc);
  pane.show();
  QSignalSpy spy(&pane, &CStatisticsPane::resultsReady);
  // A burst of ranges, as a cursor drag gives them: only the last one is shown.
  for (int n = 0; n < 20; ++n) pane.SetRange(n * 1000, 399999 - n * 1000, {0, 1, 2, 3});
  pane.SetRange(10, 2000, {2, 0});
  QVERIFY(spy.wait(10000));
  QTRY_VERIFY(!pane.IsBusy());
  QCOMPARE(spy.count(), 1);

  std::vector<sChannelStatistics> aExpected;
  QVERIFY(CChannelStatistics::Compute(*m_pDoc, 10, 2000, {2, 0}, aExpected));
  QTableWidget* pTable = pane.GetTable();
  QCOMPARE(pTable->rowCount(), 2);
  for (int r = 0; r < 2; ++r) {
    const std::vector<std::string> aCells = StatisticsRowCells(*m_pDoc, aExpected[static_cast<size_t>(r)]);
    for (int c = 0; c < pTable->columnCount(); ++c)
      QCOMPARE(pTable->item(r, c)->text(), QString::fromLatin1(aCells[static_cast<size_t>(c)].c_str()));
  }
  QCOMPARE(pTable->horizontalHeaderItem(0)->text(), QStringLiteral("Channel"));

  pane.setFocus();
  QTest::keySequence(&pane, QKeySequence::Copy);
  QCOMPARE(QApplication::clipboard()->text(),
           QString::fromLatin1(StatisticsTabText(*m_pDoc, aExpected).c_str()));

  // A cancelled computation keeps the figures shown.
  pane.SetRange(0, 399999, {0, 1, 2, 3});
  pane.CancelComputation();
  QTRY_VERIFY(!pane.IsBusy());
  QCOMPARE(pTable->rowCount(), 2);
  QCOMPARE(spy.count(), 1);
}

QTEST_MAIN(StatisticsPaneTest)
#include "StatisticsPaneTest.moc"
