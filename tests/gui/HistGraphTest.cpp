// The graph pane of a results-file window on files from the sample writer:
// period, labels, colours, cursors and their bar, mouse and keys, paging, the
// context menu, fixed marks, the X channel, the scales bar, loading cancelled,
// closed or failing, printout and copy; the statistics pane and view (the
// figures are proven in the core), and the graph saved as PNG, SVG and PDF.

#include <QSvgRenderer>

#include <cmath>

#include <unistd.h>

#include "HistWindowTestSupport.h"
#include "history/ChannelStatistics.h"
#include "history/CursorsToolBar.h"
#include "history/GraphAssignment.h"
#include "history/GraphImage.h"
#include "history/GraphPrintout.h"
#include "history/HistLegendState.h"
#include "history/HistStatistics.h"
#include "history/HistToolBars.h"
#include "history/ScalesToolBar.h"
#include "history/StatisticsPane.h"
#include "settings/SettingsRecord.h"
#include "ui/dialogs/WaitDialog.h"

using namespace zk7;

namespace {

constexpr double HOUR = 1.0 / 24;

bool AllLabelsMatch(CGraphControl& c, const char* pszPattern) {
  c.replot();
  const QRegularExpression re(QString::fromLatin1(pszPattern));
  for (const QString& s : c.xAxis->tickVectorLabels())
    if (!re.match(s).hasMatch()) return false;
  return !c.xAxis->tickVectorLabels().isEmpty();
}

bool SameColour(const QColor& a, uint32_t nRef) { return a.rgb() == ColourFromRef(nRef).rgb(); }

// The figures the pane shows once its newest computation is in.
const std::vector<sChannelStatistics>& NextResults(CStatisticsPane* pPane) {
  QSignalSpy spy(pPane, &CStatisticsPane::resultsReady);
  if (!spy.wait(5000) || !QTest::qWaitFor([pPane] { return !pPane->IsBusy(); }, 5000)) qFatal("no statistics");
  return pPane->GetResults();
}

} // namespace

class HistGraphTest : public QObject {
  Q_OBJECT
  CTempDir m_dir{"zk7-graph"};
  std::string m_strFile = m_dir.Path() + "/r.zk";
  QString Path(const char* psz) const { return QString::fromStdString(m_dir.Path()) + "/" + psz; }
  std::string Sample(const std::string& strName, int nChannels, int nRecords, int nPeriodMs = 1000) {
    return WriteSample(m_dir.Path() + "/" + strName, nChannels, nRecords, nPeriodMs);
  }

private slots:
  void initTestCase() {
    SetRegionalSettings(CRegionalSettings::Plain());
    WriteTestResults(m_strFile, 50);
  }

  void initialPeriodOfTwelveMillionValues() {
    sHistWindow w(Sample("big.zk", 3, 4000000));
    QCOMPARE(w.Points(), std::pair(666667, 3333333));
    // Every plotted record's extremes reach the screen, in about two points per column.
    QVERIFY(w.Control().GetPlotDataCount(0) <= 2 * w.Control().GetPlotPixelWidth() + 2);
    QCOMPARE(w.pGraph->GetLeftText()->text(),
             QString::fromLatin1(FormatDateTime(w.State().m_dHistoryStart, true, false, 0).substr(0, 10)));
  }

  void curveAlarmAndCursorColoursFromTheSettings() {
    sHistWindow w(Sample("sixteen.zk", 16, 200));
    CGraphControl& c = w.Control();
    QVERIFY(c.GetPlotCount() == 16 && SameColour(c.GetPlotColour(0), 0x000080) && c.GetPlotColour(15) == c.GetPlotColour(0));
    QVERIFY(SameColour(c.GetPlotAreaColour(), GetDisplayColour(DISPLAY_COLOUR_BACKGROUND)));
    // The alarm lines are the selected key row's (the limits are proven in the core).
    int nSelected = -1;
    w.pGraph->SetKeySelectionSource([&] { return nSelected; });
    w.pGraph->ShowAlarmLines();
    QVERIFY(!c.IsAlarmLineShown(0) && !c.IsAlarmLineShown(1));
    nSelected = 0;
    w.pGraph->ShowAlarmLines();
    QVERIFY(c.IsAlarmLineShown(0) && c.GetAlarmLineValue(0) == 28.5 && SameColour(c.GetAlarmLineColour(0), 0x800000));
    // Colours changed in the settings reach the graph at the next refresh.
    const sSettingsRecord saved = GetAppSettings();
    GetAppSettings().m_aDisplayColours[DISPLAY_COLOUR_CURVE1 + 2] = 0x123456;
    GetAppSettings().m_aDisplayColours[DISPLAY_COLOUR_ALARM0 + 4] = 0x00AA00;
    GetAppSettings().m_aDisplayColours[DISPLAY_COLOUR_CURSOR1] = 0x0000AA;
    nSelected = 2;
    w.pFrame->OnCommand(ID_REFRESH);
    w.pGraph->ShowAlarmLines();
    GetAppSettings() = saved;
    QVERIFY(SameColour(c.GetPlotColour(2), 0x123456));
    QVERIFY(!c.IsAlarmLineShown(0) && c.IsAlarmLineShown(3) && SameColour(c.GetAlarmLineColour(3), 0x00AA00));
    QVERIFY(SameColour(c.Cursor(1).GetColour().rgb(), 0x0000AA));
  }

  void cursorsBar() {
    sHistWindow w(Sample("three.zk", 3, 600));
    CHistToolBars& bars = *w.pFrame->GetToolBars();
    QVERIFY(!bars.GetCursorsBar()->isVisible() && !bars.GetScalesBar()->isVisible());
    w.pFrame->OnCommand(ID_CURSORS_TOOLS);
    CCursorsToolBar* pBar = bars.GetCursorsBar();
    CGraphControl& c = w.Control();
    // Shown: at the start of the axis, the middle of Y1, and the active one.
    pBar->ShownBox(1)->click();
    QVERIFY(pBar->isVisible() && w.State().m_aCursors[0].m_bShown && c.Cursor(1).IsVisible() && pBar->GetXText(1).contains('\n'));
    QCOMPARE(std::tuple(c.Cursor(1).GetX(), c.Cursor(1).GetY(), w.pGraph->GetActiveCursor()),
             std::tuple(c.xAxis->range().lower, c.yAxis->range().center(), 1));
    // Locked to the channel chosen in the bar's list, then free again.
    pBar->LockedButton(1)->click();
    QVERIFY(w.State().m_aCursors[0].m_bLocked && pBar->ChannelBox(1)->isEnabled() && pBar->ChannelBox(1)->count() >= 3);
    pBar->ChannelBox(1)->setCurrentIndex(2);
    emit pBar->ChannelBox(1)->activated(2);
    QCOMPARE(QString::number(w.State().m_aCursors[0].m_nChannelChoice) + QString::fromLatin1(w.State().m_aCursorChannelTexts[2]),
             "2" + pBar->ChannelBox(1)->currentText());
    pBar->FreeButton(1)->click();
    QVERIFY(!w.State().m_aCursors[0].m_bLocked);
    // Both cursors: the bar shows the state's delta on two lines; one hidden, no delta.
    w.ShowCursor(2);
    w.pGraph->PlaceCursor(1, w.Doc().GetRecordTime(300, 0));
    QVERIFY(!w.State().m_strDeltaX.empty() && pBar->GetDeltaXText() == QString::fromLatin1(w.State().m_strDeltaX).replace("\r\n", "\n"));
    w.State().m_aCursors[1].m_bShown = false;
    w.pGraph->ShowCursor(2);
    QVERIFY(w.State().m_strDeltaX.empty());
    // Every channel on Y2: hidden and shown again, the cursor goes to the middle of Y2.
    for (auto& s : w.State().m_aChanStates) s.m_nScale = 2;
    w.pGraph->RefreshGraphState();
    QVERIFY(!c.IsAxisShown(CGraphControl::AXIS_Y1) && c.IsAxisShown(CGraphControl::AXIS_Y2));
    pBar->ShownBox(1)->click();
    QVERIFY(!c.Cursor(1).IsVisible() && w.pGraph->GetActiveCursor() == 0);
    pBar->ShownBox(1)->click();
    QCOMPARE(c.Cursor(1).GetY(), c.yAxis2->range().center());
  }

  // Label formats, zoom, pan, cursor moves and periods are proven on the
  // view; here the commands, the mouse and the keys reach them.
  void labelsMouseKeysAndPeriodFromCursors() {
    sHistWindow w(Sample("oneday.zk", 2, 3600));
    CGraphControl& c = w.Control();
    QVERIFY(AllLabelsMatch(c, "^\\d\\d:\\d\\d:\\d\\d\\.\\d{3}$"));
    w.pFrame->OnCommand(ID_RESOLUTION_1S);
    QVERIFY(AllLabelsMatch(c, "^\\d\\d:\\d\\d:\\d\\d$"));

    const QRect r = c.axisRect()->rect();
    const QCPRange x0 = c.xAxis->range();
    // Shift: panning, and "Fixed to" is ticked.
    QVERIFY(!w.State().m_scales.m_bFixedTo);
    Drag(&c, r.center(), r.center() - QPoint(r.width() / 10, 0), Qt::ShiftModifier);
    QVERIFY(w.State().m_scales.m_bFixedTo && std::fabs((c.xAxis->range().lower - x0.lower) / x0.size() - 0.1) < 0.01 &&
            std::fabs(c.xAxis->range().size() - x0.size()) < 1e-9);
    QTest::keyClick(&c, Qt::Key_Escape);

    // The keys move a locked cursor along its curve.
    w.ShowCursor(2, true, 0);
    c.SetCursorPoint(2, 0, 10);
    c.setFocus();
    QTest::keyClick(&c, Qt::Key_Left);
    QCOMPARE(c.Cursor(2).GetX(), w.pGraph->GetPoints().GetX(0, 9));
    QTest::keyClick(&c, Qt::Key_Home);
    QCOMPARE(c.Cursor(2).GetX(), w.pGraph->GetPoints().GetX(0, 0));

    // The period between the cursors, cursor 2 the earlier.
    w.ShowCursor(1);
    w.pGraph->PlaceCursor(1, w.Doc().GetRecordTime(2000, 0)), w.pGraph->PlaceCursor(2, w.Doc().GetRecordTime(1000, 0));
    w.pFrame->OnCommand(ID_HIST_AREA_FROM_CURSORS);
    QCOMPARE(w.Period(), std::pair(w.Doc().GetRecordTime(1000, 0), w.Doc().GetRecordTime(2000, 0)));
    QCOMPARE(w.Points(), std::pair(1000, 1001));
  }

  void pagingAndTheContextMenu() {
    sHistWindow w(Sample("threehours.zk", 2, 3 * 3600));
    double dFirst, dLast;
    w.Doc().GetTimeRange(dFirst, dLast);
    QVERIFY2(!w.Enabled(ID_HIST_PREVIOUS) && !w.Enabled(ID_HIST_NEXT), "the whole file is shown");
    sHistViewState& st = w.State();
    st.m_dHistoryStart = dFirst + 0.5 * HOUR;
    st.m_dHistoryEnd = dFirst + 1.5 * HOUR;
    QVERIFY(w.Enabled(ID_HIST_PREVIOUS));
    w.pFrame->OnCommand(ID_HIST_PREVIOUS);
    QVERIFY(st.m_dHistoryStart == dFirst && !w.Enabled(ID_HIST_PREVIOUS) && w.pGraph->GetPoints().GetFirstRecord() == 0);
    CGraphControl& c = w.Control();
    c.setFocus();
    st.m_scales.m_bFixedTo = true;
    QTest::keyClick(&c, Qt::Key_PageDown);
    QVERIFY(std::fabs(st.m_dHistoryStart - (dFirst + HOUR)) < 1e-9 && w.pGraph->GetPoints().GetFirstRecord() >= 3599);

    // A right click in the plot opens the menu with the window's states; the item chosen acts.
    auto choose = [&](const QString& strItem) {
      QStringList aStates;
      QTimer poll;
      connect(&poll, &QTimer::timeout, this, [&] {
        auto* pMenu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        if (!pMenu) return;
        if (!aStates.isEmpty()) {
          pMenu->close();
          return;
        }
        for (QAction* p : pMenu->actions())
          if (!p->isSeparator())
            aStates << p->text() + (p->isEnabled() ? "" : " off") + (p->isChecked() ? " ticked" : "");
        for (QAction* p : pMenu->actions())
          if (p->text() == strItem) return QTest::mouseClick(pMenu, Qt::LeftButton, {}, pMenu->actionGeometry(p).center());
      });
      poll.start(0);
      // As the window system sends it on a right click, to the plot under the mouse.
      const QPoint at = c.axisRect()->rect().center();
      QContextMenuEvent click(QContextMenuEvent::Mouse, at, c.mapToGlobal(at));
      QApplication::sendEvent(&c, &click);
      return aStates;
    };
    const bool bLink = c.GetLinkPoints();
    const QStringList aStates = choose("Link &Points");
    QCOMPARE(c.GetLinkPoints(), !bLink);
    for (const char* psz : {"Refresh", "Display previous measurements on the graph", "Add a &Fixed Mark off", "&File Global View",
                            "Time Display Resolution", "&Copy", bLink ? "Link &Points ticked" : "Link &Points"})
      QVERIFY2(aStates.contains(psz), qPrintable(psz + (" in " + aStates.join('|'))));
    choose("&File Global View");
    QCOMPARE(w.Period(), std::pair(dFirst, dLast));
    QTRY_COMPARE(w.pGraph->GetPoints().GetPointCount(), 3 * 3600);
    const bool bGrid = c.GetGrid();
    w.pFrame->OnCommand(ID_GRID);
    QCOMPARE(c.GetGrid(), !bGrid);
  }

  void fixedMarksThenTheXChannelHidesTheCursors() {
    sHistWindow w(Sample("three.zk", 3, 600));
    // Fixed marks added and erased.
    QSignalSpy spy(w.pGraph, &CHistGraph::fixedMarksChanged);
    QVERIFY(!w.Enabled(ID_ADD_FIXED_MARK) && !w.Enabled(ID_ERASE_FIXED_MARKS));
    w.ShowCursor(1);
    QVERIFY(w.Enabled(ID_ADD_FIXED_MARK));
    // A mark goes to the record at or before the cursor.
    w.pGraph->PlaceCursor(1, w.Doc().GetRecordTime(100, 0) + 0.3 * ONE_SECOND);
    w.pFrame->OnCommand(ID_ADD_FIXED_MARK);
    w.pGraph->PlaceCursor(1, w.Doc().GetRecordTime(250, 0));
    w.pFrame->OnCommand(ID_ADD_FIXED_MARK);
    QCOMPARE(w.State().m_aFixedMarks, (std::vector<int>{100, 250}));
    QVERIFY(w.Control().GetFixedMarkX(0) == w.Doc().GetRecordTime(100, 0) && spy.count() == 2);
    w.pFrame->OnCommand(ID_REFRESH);
    QVERIFY(w.Control().GetFixedMarkCount() == 2 && w.Enabled(ID_ERASE_FIXED_MARKS));  // the marks survive a rebuild
    w.pFrame->OnCommand(ID_ERASE_FIXED_MARKS);
    QVERIFY(w.State().m_aFixedMarks.empty() && w.Control().GetFixedMarkCount() == 0 && !w.Enabled(ID_ERASE_FIXED_MARKS));
    w.ShowCursor(1), w.ShowCursor(2, true, 0);
    w.State().m_aChanStates[2].m_nScale = 0;
    w.pGraph->RefreshGraphState();
    CGraphControl& c = w.Control();
    QVERIFY(w.pGraph->GetXChannel() == 2 && w.pGraph->GetPoints().GetXChannel() == 2);  // re-plotted against the channel
    QVERIFY(!w.State().m_aCursors[0].m_bShown && !w.State().m_aCursors[1].m_bShown && !c.Cursor(1).IsVisible() && !c.Cursor(2).IsVisible());
    QVERIFY(!c.IsPlotShown(2) && c.IsPlotShown(0) && !c.IsTimeAxis());
    QCOMPARE(c.GetAxisCaption(CGraphControl::AXIS_X),
             QString::fromLatin1(AxisCaption(w.Doc().GetChannelName(2), w.Doc().GetChannelUnit(2))));
    w.ShowCursor(1);
    QVERIFY(!w.Enabled(ID_ADD_FIXED_MARK) && !w.Enabled(ID_HIST_AREA_FROM_CURSORS) && w.State().m_scales.m_bXChannelSet);
    w.State().m_aChanStates[2].m_nScale = 1;
    w.pGraph->RefreshGraphState();
    QVERIFY(w.pGraph->GetPoints().GetXChannel() == -1 && c.IsTimeAxis());
  }

  void scalesToolBarAndTheWindowsActivation() {
    sHistWindow w(Sample("three.zk", 3, 600));
    w.pFrame->OnCommand(ID_SCALES_TOOLS);
    CScalesToolBar& bar = *w.pFrame->GetToolBars()->GetScalesBar();
    const QCPAxis& y = *w.Control().yAxis;
    QVERIFY2(bar.isVisible() && bar.MinEdit(2)->isEnabled() && !bar.MinEdit(3)->isEnabled() && !bar.MinEdit(1)->isEnabled() &&
                 !bar.AutoButton(2)->isEnabled(), "Y1 scales itself");
    bar.MinEdit(2)->setText("-5"), bar.MaxEdit(2)->setText("45.5");
    bar.ApplyButton(2)->click();
    QVERIFY(y.range() == QCPRange(-5, 45.5) && bar.AutoButton(2)->isEnabled());
    bar.MinEdit(2)->setText("abc");
    bar.ApplyButton(2)->click();
    QCOMPARE(y.range().lower, -5.0);  // an unreadable limit changes nothing
    bar.AutoButton(2)->click();
    QVERIFY(!bar.AutoButton(2)->isEnabled() && y.range().lower != -5.0);

    // History length, then "Fixed to" a date.
    double dFirst, dLast;
    w.Doc().GetTimeRange(dFirst, dLast);
    sHistViewState& st = w.State();
    bar.DaysEdit()->setText("0"), bar.TimeEdit()->setText("00:05:00");
    bar.HistoryButton()->click();
    QVERIFY(st.m_dHistoryEnd == dLast && std::fabs(st.m_dHistoryEnd - st.m_dHistoryStart - 300 * ONE_SECOND) < 1e-9);
    QVERIFY(bar.FixedToBox()->isChecked() && bar.FixedDateEdit()->isEnabled());
    bar.FixedDateEdit()->setText(QString::fromLatin1(FormatDateTime(dFirst + 400 * ONE_SECOND, true, false, 0)));
    bar.CurrentDateButton()->click();
    QVERIFY(std::fabs(st.m_dHistoryEnd - (dFirst + 400 * ONE_SECOND)) < 1e-9 &&
            std::fabs(st.m_dHistoryStart - (dFirst + 100 * ONE_SECOND)) < 1e-9);
    // "Full File" keeps "Fixed to" ticked.
    bar.FullFileButton()->click();
    QCoreApplication::processEvents();
    QCOMPARE(w.Period(), std::pair(dFirst, dLast));
    QVERIFY(st.m_scales.m_bFixedTo && bar.FixedToBox()->isChecked() && w.pGraph->GetPoints().GetPointCount() == 600);

    // The bars go with the window's activation and come back as they were.
    sCommandState state;
    QVERIFY(w.pFrame->OnUpdateCommand(ID_SCALES_TOOLS, state) && state.m_bChecked);
    w.pFrame->OnActivateFrame(false);
    QVERIFY(!bar.isVisible());
    w.pFrame->OnActivateFrame(true);
    QVERIFY(bar.isVisible());
    QVERIFY2(!w.pFrame->GetToolBars()->GetCursorsBar()->isVisible(), "a bar hidden before stays hidden");
    w.pFrame->OnCommand(ID_SCALES_TOOLS);
    QVERIFY(!bar.isVisible());
    // The copy: a picture and SVG on the clipboard.
    QApplication::clipboard()->clear();
    QCOMPARE(w.pGraph->CopyGraphToClipboard(), 0L);
    const QMimeData* pData = QApplication::clipboard()->mimeData();
    QCOMPARE(qvariant_cast<QImage>(pData->imageData()).size(), w.Control().size());
    const QByteArray svg = pData->data("image/svg+xml");
    QVERIFY(svg.contains("<svg") && (svg.contains("polyline") || svg.contains("<path")));
  }

  void cancelDuringLoadingLeavesAnEmptyGraph() {
    sHistWindow w(Sample("cancel.zk", 2, 30000));
    CModalAnswerer none;
    CWaitWatcher cancel(CWaitWatcher::CancelAt());  // acts once
    w.pFrame->OnCommand(ID_REFRESH);
    QVERIFY(cancel.Done());
    QCOMPARE(cancel.Title() + "|" + cancel.Status(), QString("Preparing graph|30000 Records"));
    QVERIFY(w.pGraph->GetPoints().IsEmpty() && w.Control().GetPlotDataCount(0) == 0);
    w.pFrame->OnCommand(ID_REFRESH);
    w.Control().replot();
    QVERIFY(w.pGraph->GetPoints().GetPointCount() == 30000 && w.Control().GetPlotDataCount(0) > 0);
  }

  void closingDuringLoadingStopsItFirst() {
    auto pDoc = std::make_shared<CZK7Doc>();
    QVERIFY(pDoc->OnOpenDocument(Sample("closing.zk", 2, 60000)));
    QPointer<CHistFrame> pFrame = new CHistFrame(pDoc);
    pFrame->setAttribute(Qt::WA_DeleteOnClose);
    pFrame->show();
    pFrame->InitialUpdate();
    // The window is asked to close while the wait dialog dispatches events.
    CWaitWatcher close([&](CWaitDialog&) { return pFrame->close(), true; });
    pFrame->OnCommand(ID_REFRESH);
    QVERIFY(close.Done());
    QVERIFY2(pFrame && pFrame->GetHistGraph()->GetPoints().IsEmpty(), "the window outlives the reading it was asked to stop");
    QTRY_VERIFY(pFrame.isNull());
  }

  void fileFailingWhileTheGraphLoads() {
    // 40 channels: the document holds fewer records in memory than the graph reads.
    const std::string strPath = m_dir.Path() + "/failing.zk";
    WriteTestResults(strPath, 20000, NEW_YEAR_2026, 40);  // too few values for the graph cache
    sHistWindow w(strPath);
    const off_t nKeep = static_cast<off_t>(w.Doc().GetDataOffset() + 10u * uint64_t(w.Doc().GetRecordSize()));
    CModalAnswerer answers;
    answers.ThenMessage(QString("An attempt was made to read past the end of '%1'.").arg(strPath.c_str()));
    // Cut short (a medium removed) once the reading is under way.
    CWaitWatcher cut([&](CWaitDialog&) { return ::truncate(strPath.c_str(), nKeep) == 0; });
    w.pFrame->OnCommand(ID_REFRESH);
    QVERIFY(cut.Done());
    // No half graph, and the window stays.
    QVERIFY(w.pGraph->GetPoints().IsEmpty() && w.Control().GetPlotDataCount(0) == 0 && w.pFrame->isVisible() &&
            !w.pGraph->IsRebuilding());
  }

  void graphPrintoutReadsLikeTheScreen() {
    sHistWindow w(Sample("wide.zk", 130, 50));
    w.ShowCursor(1), w.ShowCursor(2);
    w.pGraph->PlaceCursor(1, w.Doc().GetRecordTime(10, 0)), w.pGraph->PlaceCursor(2, w.Doc().GetRecordTime(30, 0));
    w.pGraph->AddFixedMark();
    const std::string strPdf = m_dir.Path() + "/graph.pdf";
    QPrinter printer(QPrinter::HighResolution);
    PrintToPdf(printer, strPdf);
    // The page count's rule is proven in the core; here the pages printed are the pages counted.
    auto print = [&](int& nPages) {
      nPages = GetGraphPrintPageCount(printer, *w.pFrame);
      return PrintGraphPages(printer, w.Control(), *w.pFrame) ? QString::fromLatin1(PdfToText(strPdf)).split('\f') : QStringList();
    };
    int nPages = 0;
    const QStringList aPages = print(nPages);
    QVERIFY(nPages > 2 && aPages.size() == nPages + 1);
    // Page 1 holds the graph alone.
    QVERIFY(aPages[0].contains("wide.zk") && aPages[0].contains(QString("Page 1 from %1").arg(nPages)) && !aPages[0].contains("Channel"));
    QVERIFY(aPages[1].contains("Channel") && aPages[1].contains("Scale") && aPages[1].contains("001"));
    QVERIFY(aPages[nPages - 1].contains("130") && aPages[nPages - 1].contains(QString("Page %1 from %1").arg(nPages)));
    // The graph's texts scaled once, as the screen shows them: the tick labels
    // of both axes, the cursor captions and the mark number at their screen size.
    const QSizeF page = printer.pageLayout().fullRect(QPageLayout::Point).size();
    const QRegularExpression word(R"RE(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)RE");
    int nTimes = 0, nNumbers = 0;
    QStringList aCaptions;
    for (auto it = word.globalMatch(QString::fromUtf8(PdfToText(strPdf, {"-f", "1", "-l", "1", "-bbox"}))); it.hasNext();) {
      const QRegularExpressionMatch m = it.next();
      const QString s = m.captured(5);
      const double dLeft = m.captured(1).toDouble(), dTop = m.captured(2).toDouble();
      const double dRight = m.captured(3).toDouble(), dBottom = m.captured(4).toDouble();
      // A screen text of 8 to 10 points stands about that tall on paper, and inside the page.
      QVERIFY2(dBottom - dTop < 16, qPrintable(QString("%1 is %2 pt tall").arg(s).arg(dBottom - dTop)));
      QVERIFY2(dLeft >= 0 && dRight <= page.width() && dBottom <= page.height(), qPrintable(s));
      nTimes += s.count(':') == 2;
      nNumbers += [&s] { bool bNumber = false; return s.toDouble(&bNumber), bNumber; }();
      if (s.startsWith('C')) aCaptions << s;
    }
    QVERIFY2(nTimes >= 3 && nNumbers >= 4, "the X labels, the Y labels and the mark number are printed");
    QVERIFY2(aCaptions.contains("C1") && aCaptions.contains("C2"), qPrintable(aCaptions.join('|')));
    // No ticked row: the graph page only.
    for (auto& st : w.State().m_aChanStates) st.m_bChecked = false;
    QVERIFY(print(nPages).size() == 2 && nPages == 1);
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
    QTRY_VERIFY(!pane.IsBusy() && spy.count() == 1);
    std::vector<sChannelStatistics> aExpected;
    QVERIFY(CChannelStatistics::Compute(*pDoc, 10, 2000, {2, 0}, aExpected));
    QTableWidget* pTable = pane.GetTable();
    QVERIFY(pTable->rowCount() == 2 && pTable->horizontalHeaderItem(0)->text() == "Channel");
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
    QVERIFY(pTable->rowCount() == 2 && spy.count() == 1);
  }

  void statisticsViewThenTheGraphSavedAsPngSvgAndPdf() {
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
    QTRY_VERIFY(!pPane->IsBusy() && pPane->GetResults().at(0).nCount == 50);

    // Both cursors: records 5 to 20. T1 = 20 + i/2 rises from 22.5 to 30 over 15 s.
    w.PlaceCursor(1, 5);
    w.PlaceCursor(2, 20);
    const std::vector<sChannelStatistics> a = NextResults(pPane);
    // The error of record 2 lies before the cursors.
    QCOMPARE(std::tuple(pView->GetRequestedRange().eFrom, a.size(), a[0].nCount, a[0].dMean, a[0].dIntegral, a[2].nErrors),
             std::tuple(CHistStatistics::SOURCE_CURSORS, size_t{3}, int64_t{16}, 26.25, 15 * (22.5 + 30.0) / 2, int64_t{0}));
    // Printed on a page of its own after the key, with the figures the table shows.
    QCOMPARE(GetGraphPrintPageCount(printer, *w.pFrame), nWithout + 1);
    QVERIFY(PrintGraphPages(printer, w.Control(), *w.pFrame));
    const std::string strPage = std::to_string(nWithout + 1);
    const std::string strLast = PdfToText(m_dir.Path() + "/print.pdf", {"-f", strPage, "-l", strPage});
    const std::vector<std::string> aCells = StatisticsRowCells(w.Doc(), pPane->GetResults().at(0));
    for (const std::string& s : {std::string("Statistics"), std::string("Integral"), aCells.at(9), aCells.back()})
      QVERIFY2(strLast.find(s) != std::string::npos, (s + " in " + strLast).c_str());

    // Cursor 2 dragged with the mouse to record 10.
    CGraphControl& c = w.Control();
    const int y = c.axisRect()->rect().center().y();
    auto at = [&](double x) { return QPoint(qRound(c.xAxis->coordToPixel(x)), y); };
    Drag(&c, at(c.Cursor(2).GetX()), at(w.Doc().GetRecordTime(10, 0)), Qt::NoModifier);
    const std::vector<sChannelStatistics> b = NextResults(pPane);
    QCOMPARE(std::tuple(pView->GetRequestedRange().nLast, b[0].nCount, b[0].dMax), std::tuple(10, int64_t{6}, 25.0));
    // A channel unticked in the key leaves the table.
    SetChannelChecked(w.State(), 1, false);
    w.pGraph->RefreshGraphState();
    const std::vector<sChannelStatistics> d = NextResults(pPane);
    QVERIFY(d.size() == 2 && d[1].nChannel == 2);
    // Without the cursors: the rows selected in the list, record 2's error among them.
    w.State().m_aCursors[0].m_bShown = w.State().m_aCursors[1].m_bShown = false;
    w.pGraph->RefreshGraphState();
    w.pList->ClickRecord(1, false);
    w.pList->ClickRecord(4, true);
    QTRY_COMPARE_WITH_TIMEOUT(pView->GetRequestedRange().eFrom, CHistStatistics::SOURCE_SELECTION, 3000);
    QTRY_VERIFY(!pPane->IsBusy() && pPane->GetResults().size() > 1 && pPane->GetResults()[0].nCount == 4 &&
                pPane->GetResults()[1].nErrors == 1);
    // Hidden again: the command's mark follows.
    QVERIFY(w.pFrame->OnCommand(ID_VIEW_STATISTICS) && !pView->isVisible());
    QVERIFY(w.pFrame->OnUpdateCommand(ID_VIEW_STATISTICS, state) && !state.m_bChecked);
    // The graph saved as PNG, SVG and PDF, the second channel unticked.
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
    QVERIFY2(!xml.hasError() && strTexts.contains("1 T1 (\u00B0C)") && strTexts.contains("3 P (kW)") && !strTexts.contains("2 N"),
             qPrintable(strTexts));

    QVERIFY2(SaveGraphImage(*w.pFrame, Path("graph.pdf"), 800, 450, strError), qPrintable(strError));
    const QString strPdf = QString::fromStdString(PdfToText(Path("graph.pdf").toStdString(), {}));
    QVERIFY2(strPdf.contains("1 T1 (\u00B0C)") && strPdf.contains("3 P (kW)") && strPdf.count('\f') == 1, qPrintable(strPdf));

    // Refusals leave no file behind and say why.
    for (const auto& [pszName, nWidth, nHeight] :
         std::vector<std::tuple<const char*, int, int>>{
             {"x.bmp", 640, 360}, {"y.png", 49, 360}, {"z.png", 640, 20001}, {"missing/dir.png", 640, 360}}) {
      strError.clear();
      QVERIFY(!SaveGraphImage(*w.pFrame, Path(pszName), nWidth, nHeight, strError) && !strError.isEmpty() && !QFile::exists(Path(pszName)));
    }
    // The command asks the file and the size, proposing the graph's.
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
      pWidth->setValue(300), pHeight->setValue(200);
      QMetaObject::invokeMethod(pModal, "accept");
    });
    QVERIFY(w.pFrame->OnCommand(ID_SAVE_GRAPH_AS));
    QCOMPARE(proposed, w.Control().size());
    QCOMPARE(QSvgRenderer(Path("asked.svg")).viewBox(), QRect(0, 0, 300, 200));
  }

};

QTEST_MAIN(HistGraphTest)
#include "HistGraphTest.moc"
