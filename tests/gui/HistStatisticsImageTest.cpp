// The statistics pane (the core's figures for the newest range, off the
// window's thread, and its copy), the results window's statistics view (it
// follows the cursors, the list and the key, and prints after the key) and
// the graph saved as PNG, SVG and PDF with its legend.

#include <QSvgRenderer>

#include "HistWindowTestSupport.h"
#include "history/ChannelStatistics.h"
#include "history/GraphImage.h"
#include "history/GraphPrintout.h"
#include "history/HistLegendState.h"
#include "history/HistStatistics.h"
#include "history/StatisticsPane.h"

using namespace zk7;

namespace {

// The figures the pane shows once its newest computation is in.
const std::vector<sChannelStatistics>& NextResults(CStatisticsPane* pPane) {
  QSignalSpy spy(pPane, &CStatisticsPane::resultsReady);
  if (!spy.wait(5000) || !QTest::qWaitFor([pPane] { return !pPane->IsBusy(); }, 5000)) qFatal("no statistics");
  return pPane->GetResults();
}

std::string RunText(const std::string& strProgram, const std::vector<std::string>& aArgs) {
  const sProcessResult r = RunProcess(strProgram, aArgs);
  return r.nExitCode == 0 ? r.strOut : "<" + strProgram + " failed: " + r.strErr + ">";
}

} // namespace

class HistStatisticsImageTest : public QObject {
  Q_OBJECT
  CTempDir m_dir{"zk7-hist-stats"};
  std::string m_strFile = m_dir.Path() + "/r.zk";
  QString Path(const char* psz) const { return QString::fromStdString(m_dir.Path()) + "/" + psz; }

private slots:
  void initTestCase() {
    SetRegionalSettings(CRegionalSettings::Plain());
    WriteTestResults(m_strFile, 50);
  }

  void paneShowsTheNewestRangeAndCopiesIt() {
    auto pDoc = std::make_shared<CZK7Doc>();
    QVERIFY(pDoc->OnOpenDocument(WriteSample(m_dir.Path() + "/s.zk", 4, 400000)));
    CStatisticsPane pane(pDoc);
    pane.show();
    QSignalSpy spy(&pane, &CStatisticsPane::resultsReady);
    // A burst of ranges, as a cursor drag gives them: only the last one is shown.
    for (int n = 0; n < 20; ++n) pane.SetRange(n * 1000, 399999 - n * 1000, {0, 1, 2, 3});
    pane.SetRange(10, 2000, {2, 0});
    QVERIFY(spy.wait(10000));
    QTRY_VERIFY(!pane.IsBusy());
    QCOMPARE(spy.count(), 1);
    std::vector<sChannelStatistics> aExpected;
    QVERIFY(CChannelStatistics::Compute(*pDoc, 10, 2000, {2, 0}, aExpected));
    QTableWidget* pTable = pane.GetTable();
    QCOMPARE(pTable->rowCount(), 2);
    QCOMPARE(pTable->horizontalHeaderItem(0)->text(), QString("Channel"));
    for (int r = 0; r < 2; ++r) {
      const std::vector<std::string> aCells = StatisticsRowCells(*pDoc, aExpected[size_t(r)]);
      for (int c = 0; c < pTable->columnCount(); ++c) QCOMPARE(pTable->item(r, c)->text(), QString::fromLatin1(aCells[size_t(c)]));
    }
    pane.setFocus();
    QTest::keySequence(&pane, QKeySequence::Copy);
    QCOMPARE(QApplication::clipboard()->text(), QString::fromLatin1(StatisticsTabText(*pDoc, aExpected)));
    // A cancelled computation keeps the figures shown.
    pane.SetRange(0, 399999, {0, 1, 2, 3});
    pane.CancelComputation();
    QTRY_VERIFY(!pane.IsBusy());
    QCOMPARE(pTable->rowCount(), 2);
    QCOMPARE(spy.count(), 1);
  }

  void viewFollowsCursorsListAndKeyAndPrintsAfterTheKey() {
    sHistWindow w(m_strFile);
    CHistStatistics* pView = w.pFrame->GetStatisticsView();
    CStatisticsPane* pPane = pView->GetPane();
    QVERIFY(!pView->isVisible());
    QPrinter printer(QPrinter::HighResolution);
    PrintToPdf(printer, m_dir.Path() + "/print.pdf");
    const int nWithout = GetGraphPrintPageCount(printer, *w.pFrame);
    QSignalSpy first(pPane, &CStatisticsPane::resultsReady);
    QVERIFY(w.pFrame->OnCommand(ID_VIEW_STATISTICS));
    sCommandState state;
    QVERIFY(w.pFrame->OnUpdateCommand(ID_VIEW_STATISTICS, state) && state.m_bChecked && pView->isVisible());
    QVERIFY(first.wait(5000));
    // No cursor, no selection: the historical area, every record of this file.
    QCOMPARE(pView->GetRequestedRange().eFrom, CHistStatistics::SOURCE_HISTORICAL_AREA);
    QTRY_VERIFY(!pPane->IsBusy());
    QCOMPARE(pPane->GetResults().at(0).nCount, int64_t{50});

    // Both cursors: records 5 to 20. T1 = 20 + i/2 rises from 22.5 to 30 over 15 s.
    w.PlaceCursor(1, 5);
    w.PlaceCursor(2, 20);
    {
      const std::vector<sChannelStatistics>& a = NextResults(pPane);
      QCOMPARE(pView->GetRequestedRange().eFrom, CHistStatistics::SOURCE_CURSORS);
      QCOMPARE(a.size(), size_t{3});
      QCOMPARE(a[0].nCount, int64_t{16});
      QCOMPARE(a[0].dMean, 26.25);
      QCOMPARE(a[0].dIntegral, 15 * (22.5 + 30.0) / 2);
      QCOMPARE(a[2].nErrors, int64_t{0});  // the error of record 2 lies before the cursors
    }
    // Printed on a page of its own after the key, with the figures the table shows.
    QCOMPARE(GetGraphPrintPageCount(printer, *w.pFrame), nWithout + 1);
    QVERIFY(PrintGraphPages(printer, w.Control(), *w.pFrame));
    const std::string strLast = PdfToText(m_dir.Path() + "/print.pdf", {"-f", std::to_string(nWithout + 1), "-l", std::to_string(nWithout + 1)});
    const std::vector<std::string> aCells = StatisticsRowCells(w.Doc(), pPane->GetResults().at(0));
    for (const std::string& s : {std::string("Statistics"), std::string("Integral"), aCells.at(9), aCells.back()})
      QVERIFY2(strLast.find(s) != std::string::npos, (s + " in " + strLast).c_str());

    // Cursor 2 dragged with the mouse to record 10.
    CGraphControl& c = w.Control();
    const int y = c.axisRect()->rect().center().y();
    Drag(&c, QPoint(qRound(c.xAxis->coordToPixel(c.Cursor(2).GetX())), y), QPoint(qRound(c.xAxis->coordToPixel(w.Doc().GetRecordTime(10, 0))), y), Qt::NoModifier);
    {
      const std::vector<sChannelStatistics>& a = NextResults(pPane);
      QCOMPARE(pView->GetRequestedRange().nLast, 10);
      QCOMPARE(a[0].nCount, int64_t{6});
      QCOMPARE(a[0].dMax, 25.0);
    }
    // A channel unticked in the key leaves the table.
    SetChannelChecked(w.State(), 1, false);
    w.pGraph->RefreshGraphState();
    {
      const std::vector<sChannelStatistics>& a = NextResults(pPane);
      QCOMPARE(a.size(), size_t{2});
      QCOMPARE(a[1].nChannel, 2);
    }
    // Without the cursors: the rows selected in the list, record 2's error among them.
    w.State().m_aCursors[0].m_bShown = w.State().m_aCursors[1].m_bShown = false;
    w.pGraph->RefreshGraphState();
    w.pList->ClickRecord(1, false);
    w.pList->ClickRecord(4, true);
    QTRY_COMPARE_WITH_TIMEOUT(pView->GetRequestedRange().eFrom, CHistStatistics::SOURCE_SELECTION, 3000);
    QTRY_VERIFY(!pPane->IsBusy() && !pPane->GetResults().empty());
    QTRY_COMPARE(pPane->GetResults()[0].nCount, int64_t{4});
    QCOMPARE(pPane->GetResults()[1].nErrors, int64_t{1});
    // Hidden again: the command's mark follows.
    QVERIFY(w.pFrame->OnCommand(ID_VIEW_STATISTICS));
    QVERIFY(!pView->isVisible());
    QVERIFY(w.pFrame->OnUpdateCommand(ID_VIEW_STATISTICS, state) && !state.m_bChecked);
  }

  void graphIsSavedAsPngSvgAndPdf() {
    sHistWindow w(m_strFile);
    SetChannelChecked(w.State(), 1, false);
    w.pGraph->RefreshGraphState();
    QString strError;
    QVERIFY2(SaveGraphImage(*w.pFrame, Path("graph.PNG"), 640, 360, strError), qPrintable(strError));
    const QImage image(Path("graph.PNG"), "PNG");
    QCOMPARE(image.size(), QSize(640, 360));
    // The legend strip under the graph holds the first channel's curve colour.
    bool bLegendColour = false;
    for (int y = 300; y < 360; ++y)
      for (int x = 0; x < 100; ++x) bLegendColour |= image.pixelColor(x, y).rgb() == w.Control().GetPlotColour(0).rgb();
    QVERIFY(bLegendColour);

    QVERIFY2(SaveGraphImage(*w.pFrame, Path("graph.svg"), 500, 300, strError), qPrintable(strError));
    QCOMPARE(QSvgRenderer(Path("graph.svg")).viewBox(), QRect(0, 0, 500, 300));
    QFile file(Path("graph.svg"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&file);
    QString strTexts;
    while (!xml.atEnd())
      if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
        strTexts += xml.readElementText(QXmlStreamReader::IncludeChildElements) + '|';
    QVERIFY(!xml.hasError());
    QVERIFY2(strTexts.contains("1 T1 (\u00B0C)") && strTexts.contains("3 P (kW)") && !strTexts.contains("2 N"), qPrintable(strTexts));

    QVERIFY2(SaveGraphImage(*w.pFrame, Path("graph.pdf"), 800, 450, strError), qPrintable(strError));
    const std::string strPdf = RunText("/usr/bin/pdftotext", {Path("graph.pdf").toStdString(), "-"});
    QVERIFY2(strPdf.find("1 T1 (\xC2\xB0" "C)") != std::string::npos && strPdf.find("3 P (kW)") != std::string::npos, strPdf.c_str());
    const QString strInfo = QString::fromStdString(RunText("/usr/bin/pdfinfo", {Path("graph.pdf").toStdString()}));
    QVERIFY2(strInfo.contains(QRegularExpression("Pages:\\s+1\\n")), qPrintable(strInfo));

    // Refusals leave no file behind and say why.
    for (const auto& [pszName, nWidth, nHeight] :
         std::vector<std::tuple<const char*, int, int>>{{"x.bmp", 640, 360}, {"y.png", 49, 360}, {"z.png", 640, 20001}, {"missing/dir.png", 640, 360}}) {
      strError.clear();
      QVERIFY(!SaveGraphImage(*w.pFrame, Path(pszName), nWidth, nHeight, strError));
      QVERIFY(!strError.isEmpty() && !QFile::exists(Path(pszName)));
    }
  }

  void saveGraphAsCommandAsksFileAndSize() {
    sHistWindow w(m_strFile);
    QSize proposed;
    CModalAnswerer answers;
    // A name without extension takes the one of the file type chosen.
    answers.Then([&](QWidget* pModal) {
      auto* pDialog = qobject_cast<QFileDialog*>(pModal);
      if (!pDialog) return answers.Fail("not the file dialog"), pModal->close(), void();
      pDialog->selectNameFilter("SVG drawing (*.svg)");
      pDialog->selectFile(Path("asked"));
      QMetaObject::invokeMethod(pDialog, "accept");
    });
    answers.Then([&](QWidget* pModal) {
      auto* pWidth = pModal->findChild<QSpinBox*>("imageWidth");
      auto* pHeight = pModal->findChild<QSpinBox*>("imageHeight");
      if (!pWidth || !pHeight) return answers.Fail("no size fields"), pModal->close(), void();
      proposed = QSize(pWidth->value(), pHeight->value());
      pWidth->setValue(300);
      pHeight->setValue(200);
      QMetaObject::invokeMethod(pModal, "accept");
    });
    QVERIFY(w.pFrame->OnCommand(ID_SAVE_GRAPH_AS));
    QVERIFY2(answers.AllAnswered(), qPrintable(answers.Report()));
    QCOMPARE(proposed, w.Control().size());
    QCOMPARE(QSvgRenderer(Path("asked.svg")).viewBox(), QRect(0, 0, 300, 200));
  }
};

QTEST_MAIN(HistStatisticsImageTest)
#include "HistStatisticsImageTest.moc"
