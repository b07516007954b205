// The results window's statistics view (it follows the cursors, the list and
// the key with the core's figures, and prints after the key) and the graph
// saved as PNG, SVG and PDF with its legend.
#include <QApplication>
#include <QFileDialog>
#include <QSpinBox>
#include <QFile>
#include <QImage>
#include <QPrinter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QSvgRenderer>
#include <QTest>
#include <QXmlStreamReader>

#include <filesystem>

#include "HistWindowTestSupport.h"
#include "ModalAnswerer.h"
#include "SimProcess.h"
#include "app/CommandIds.h"
#include "history/ChannelStatistics.h"
#include "history/GraphImage.h"
#include "history/GraphPrintout.h"
#include "history/HistLegendState.h"
#include "history/HistStatistics.h"
#include "history/StatisticsPane.h"
#include "history/graph/GraphControl.h"
#include "history/graph/GraphCursor.h"
#include "ui/CommandTarget.h"

using namespace zk7;

class HistStatisticsImageTest : public QObject {
  Q_OBJECT
private slots:
  void initTestCase() { WriteTestResults(m_strDir + "/r.zk", 50); }
  void cleanupTestCase() { std::filesystem::remove_all(m_strDir); }
  void statisticsFollowCursorsListAndKey();
  void statisticsArePrintedAfterTheKey();
  void graphIsSavedAsPngSvgAndPdf();
  void saveGraphAsCommandAsksFileAndSize();

private:
  std::string m_strDir = MakeTempDir("zk7-hist-stats");
};

namespace {

// The figures the view shows once its newest computation is in.
const std::vector<sChannelStatistics>& NextResults(CStatisticsPane* pPane) {
  QSignalSpy spy(pPane, &CStatisticsPane::resultsReady);
  if (!spy.wait(5000)) qFatal("no statistics");
  if (!QTest::qWaitFor([pPane] { return !pPane->IsBusy(); }, 5000)) qFatal("statistics still busy");
  return pPane->GetResults();
}

std::string RunText(const std::string& strProgram, const std::vector<std::string>& aArgs) {
  const sProcessResult r = RunProcess(strProgram, aArgs);
  return r.nExitCode == 0 ? r.strOut : "<" + strProgram + " failed: " + r.strErr + ">";
}

} // namespace

void HistStatisticsImageTest::statisticsFollowCursorsListAndKey() {
  sHistWindow w(m_strDir + "/r.zk");
  CHistStatistics* pView = w.pFrame->GetStatisticsView();
  QVERIFY(pView && !pView->isVisible());
  CStatisticsPane* pPane = pView->GetPane();
  QSignalSpy first(pPane, &CStatisticsPane::resultsReady);
  QVERIFY(w.pFrame->OnCommand(ID_VIEW_STATISTICS));
  sCommandState state;
  QVERIFY(w.pFrame->OnUpdateCommand(ID_VIEW_STATISTICS, state) && state.m_bChecked);
  QVERIFY(pView->isVisible());
  QVERIFY(first.wait(5000));
  // No cursor, no selection: the historical area, every record of this file.
  QCOMPARE(pView->GetRequestedRange().eFrom, CHistStatistics::SOURCE_HISTORICAL_AREA);
  QTRY_VERIFY(!pPane->IsBusy());
  QCOMPARE(pPane->GetResults().size(), size_t{3});
  QCOMPARE(pPane->GetResults()[0].nCount, int64_t{50});

  // Both cursors: records 5 to 20. T1 = 20 + i/2 rises from 22.5 to 30 over 15 s.
  w.PlaceCursor(1, 5);
  w.PlaceCursor(2, 20);
  {
    const std::vector<sChannelStatistics>& a = NextResults(pPane);
    QCOMPARE(pView->GetRequestedRange().eFrom, CHistStatistics::SOURCE_CURSORS);
    QCOMPARE(a.size(), size_t{3});
    QCOMPARE(a[0].nCount, int64_t{16});
    QCOMPARE(a[0].dMin, 22.5);
    QCOMPARE(a[0].dMax, 30.0);
    QCOMPARE(a[0].dMean, 26.25);
    QCOMPARE(a[0].dIntegral, 15 * (22.5 + 30.0) / 2);
    QCOMPARE(a[1].dMin, 5.0);
    QCOMPARE(a[2].nErrors, int64_t{0});  // the error of record 2 lies before the cursors
  }

  // Cursor 2 dragged with the mouse to record 10.
  CGraphControl* pControl = w.pGraph->GetControl();
  const double dFrom = pControl->xAxis->coordToPixel(pControl->Cursor(2).GetX());
  const double dTo = pControl->xAxis->coordToPixel(w.Doc().GetRecordTime(10, 0));
  const int y = pControl->axisRect()->rect().center().y();
  QTest::mousePress(pControl, Qt::LeftButton, {}, QPoint(qRound(dFrom), y));
  for (int k = 1; k <= 10; ++k) {
    QMouseEvent move(QEvent::MouseMove, QPointF(dFrom + (dTo - dFrom) * k / 10, y), pControl->mapToGlobal(QPointF(0, 0)),
                     Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(pControl, &move);
  }
  QTest::mouseRelease(pControl, Qt::LeftButton, {}, QPoint(qRound(dTo), y));
  {
    const std::vector<sChannelStatistics>& a = NextResults(pPane);
    QCOMPARE(pView->GetRequestedRange().nFirst, 5);
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
    QCOMPARE(a[0].nChannel, 0);
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
  QCOMPARE(pPane->GetResults()[1].nCount, int64_t{3});

  // Hidden again: the command's mark follows.
  QVERIFY(w.pFrame->OnCommand(ID_VIEW_STATISTICS));
  QVERIFY(!pView->isVisible());
  QVERIFY(w.pFrame->OnUpdateCommand(ID_VIEW_STATISTICS, state) && !state.m_bChecked);
}

void HistStatisticsImageTest::statisticsArePrintedAfterTheKey() {
  sHistWindow w(m_strDir + "/r.zk");
  const QString strPdf = QString::fromStdString(m_strDir + "/print.pdf");
  QPrinter printer(QPrinter::HighResolution);
  printer.setOutputFormat(QPrinter::PdfFormat);
  printer.setOutputFileName(strPdf);
  const int nWithout = GetGraphPrintPageCount(printer, *w.pFrame);
  w.PlaceCursor(1, 5);
  w.PlaceCursor(2, 20);
  QSignalSpy spy(w.pFrame->GetStatisticsView()->GetPane(), &CStatisticsPane::resultsReady);
  w.pFrame->OnCommand(ID_VIEW_STATISTICS);
  QVERIFY(spy.wait(5000));
  QTRY_VERIFY(!w.pFrame->GetStatisticsView()->GetPane()->IsBusy());
  QCOMPARE(GetGraphPrintPageCount(printer, *w.pFrame), nWithout + 1);
  QVERIFY(PrintGraphPages(printer, *w.pGraph->GetControl(), *w.pFrame));
  const std::string strLast = RunText("/usr/bin/pdftotext", {"-f", std::to_string(nWithout + 1), "-l",
                                                             std::to_string(nWithout + 1), strPdf.toStdString(), "-"});
  QVERIFY2(strLast.find("Statistics") != std::string::npos, strLast.c_str());
  QVERIFY2(strLast.find("Integral") != std::string::npos, strLast.c_str());
  // T1's mean and integral between the cursors, as the window's table shows them.
  const std::vector<std::string> aCells =
      StatisticsRowCells(w.Doc(), w.pFrame->GetStatisticsView()->GetPane()->GetResults().at(0));
  QVERIFY2(strLast.find(aCells.at(9)) != std::string::npos, aCells.at(9).c_str());
  QVERIFY2(strLast.find(aCells.back()) != std::string::npos, aCells.back().c_str());
}

void HistStatisticsImageTest::graphIsSavedAsPngSvgAndPdf() {
  sHistWindow w(m_strDir + "/r.zk");
  SetChannelChecked(w.State(), 1, false);
  w.pGraph->RefreshGraphState();
  w.PlaceCursor(1, 5);
  const QString strBase = QString::fromStdString(m_strDir) + QStringLiteral("/graph");
  QString strError;

  QVERIFY2(SaveGraphImage(*w.pFrame, strBase + ".PNG", 640, 360, strError), qPrintable(strError));
  const QImage image(strBase + ".PNG", "PNG");
  QCOMPARE(image.size(), QSize(640, 360));
  // The legend strip under the graph holds the first channel's curve colour.
  const QColor colour = w.pGraph->GetControl()->GetPlotColour(0);
  bool bLegendColour = false;
  for (int y = 300; y < 360 && !bLegendColour; ++y)
    for (int x = 0; x < 100 && !bLegendColour; ++x) bLegendColour = image.pixelColor(x, y).rgb() == colour.rgb();
  QVERIFY(bLegendColour);

  QVERIFY2(SaveGraphImage(*w.pFrame, strBase + ".svg", 500, 300, strError), qPrintable(strError));
  QSvgRenderer svg(strBase + ".svg");
  QVERIFY(svg.isValid());
  QCOMPARE(svg.viewBox(), QRect(0, 0, 500, 300));
  QFile file(strBase + ".svg");
  QVERIFY(file.open(QIODevice::ReadOnly));
  QXmlStreamReader xml(&file);
  QString strTexts;
  while (!xml.atEnd())
    if (xml.readNext() == QXmlStreamReader::StartElement && xml.name() == QLatin1String("text"))
      strTexts += xml.readElementText(QXmlStreamReader::IncludeChildElements) + QLatin1Char('|');
  QVERIFY(!xml.hasError());
  QVERIFY2(strTexts.contains(QStringLiteral("1 T1 (\u00B0C)")) && strTexts.contains(QStringLiteral("3 P (kW)")),
           qPrintable(strTexts));
  QVERIFY2(!strTexts.contains(QStringLiteral("2 N")), qPrintable(strTexts));

  QVERIFY2(SaveGraphImage(*w.pFrame, strBase + ".pdf", 800, 450, strError), qPrintable(strError));
  const std::string strPdf = RunText("/usr/bin/pdftotext", {(strBase + ".pdf").toStdString(), "-"});
  QVERIFY2(strPdf.find("1 T1 (\xC2\xB0" "C)") != std::string::npos && strPdf.find("3 P (kW)") != std::string::npos,
           strPdf.c_str());
  const QString strInfo = QString::fromStdString(RunText("/usr/bin/pdfinfo", {(strBase + ".pdf").toStdString()}));
  QVERIFY2(strInfo.contains(QRegularExpression(QStringLiteral("Pages:\\s+1\\n"))), qPrintable(strInfo));

  // Refusals leave no file behind and say why.
  for (const auto& [strName, nWidth, nHeight] : std::vector<std::tuple<QString, int, int>>{
           {QStringLiteral("x.bmp"), 640, 360}, {QStringLiteral("y.png"), 49, 360}, {QStringLiteral("z.png"), 640, 20001}}) {
    strError.clear();
    QVERIFY(!SaveGraphImage(*w.pFrame, QString::fromStdString(m_strDir) + "/" + strName, nWidth, nHeight, strError));
    QVERIFY(!strError.isEmpty());
    QVERIFY(!QFile::exists(QString::fromStdString(m_strDir) + "/" + strName));
  }
  QVERIFY(!SaveGraphImage(*w.pFrame, QString::fromStdString(m_strDir) + "/missing/dir.png", 640, 360, strError));
}

void HistStatisticsImageTest::saveGraphAsCommandAsksFileAndSize() {
  sHistWindow w(m_strDir + "/r.zk");
  const QString strBase = QString::fromStdString(m_strDir) + QStringLiteral("/asked");
  QSize proposed;
  CModalAnswerer answers;
  // A name without extension takes the one of the file type chosen.
  answers.Then([&](QWidget* pModal) {
    auto* pDialog = qobject_cast<QFileDialog*>(pModal);
    if (!pDialog) return pModal->close(), void();
    pDialog->selectNameFilter(QStringLiteral("SVG drawing (*.svg)"));
    pDialog->selectFile(strBase);
    QMetaObject::invokeMethod(pDialog, "accept");
  });
  answers.Then([&](QWidget* pModal) {
    auto* pWidth = pModal->findChild<QSpinBox*>(QStringLiteral("imageWidth"));
    auto* pHeight = pModal->findChild<QSpinBox*>(QStringLiteral("imageHeight"));
    if (!pWidth || !pHeight) return pModal->close(), void();
    proposed = QSize(pWidth->value(), pHeight->value());
    pWidth->setValue(300);
    pHeight->setValue(200);
    QMetaObject::invokeMethod(pModal, "accept");
  });
  QVERIFY(w.pFrame->OnCommand(ID_SAVE_GRAPH_AS));
  QCOMPARE(answers.PendingSteps(), 0);
  QVERIFY(answers.Errors().isEmpty());
  QCOMPARE(proposed, w.pGraph->GetControl()->size());
  QSvgRenderer svg(strBase + ".svg");
  QVERIFY(svg.isValid());
  QCOMPARE(svg.viewBox(), QRect(0, 0, 300, 200));
}

QTEST_MAIN(HistStatisticsImageTest)
#include "HistStatisticsImageTest.moc"
