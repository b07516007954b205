// The graph pane of a results-file window on files from the sample writer:
// period, labels, colours, cursors and their keys, paging, fixed marks, the X
// channel, the scales tool bar, loading cancel, printout and copy.
#include <QtTest>

#include <QMenu>

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QMessageBox>
#include <QMimeData>
#include <QPrinter>
#include <QPushButton>

#include <cmath>
#include <filesystem>

#include "HistWindowTestSupport.h"
#include "SimProcess.h"
#include "app/CommandIds.h"
#include "format/Formatting.h"
#include "format/RegionalSettings.h"
#include "history/CursorsToolBar.h"
#include "history/GraphAssignment.h"
#include "history/GraphCursors.h"
#include "history/GraphPrintout.h"
#include "history/HistFrame.h"
#include "history/HistGraph.h"
#include "history/HistToolBars.h"
#include "history/KeyTable.h"
#include "history/PagePrinter.h"
#include "history/ScalesToolBar.h"
#include "history/graph/GraphControl.h"
#include "history/graph/GraphCursor.h"
#include "results/ZK7Doc.h"
#include "samples/SampleWriter.h"
#include "settings/SettingsRecord.h"
#include "ui/dialogs/WaitDialog.h"

using namespace zk7;

namespace {

constexpr double HOUR = 1.0 / 24;

sSampleSpec Spec(int nChannels, int nRecords, int nPeriodMs = 1000) {
  sSampleSpec spec;
  spec.nChannels = nChannels;
  spec.nRecords = nRecords;
  spec.nPeriodMs = nPeriodMs;
  return spec;
}

QStringList TickLabels(CGraphControl& c) {
  c.replot();
  const QVector<QString> a = c.xAxis->tickVectorLabels();
  return QStringList(a.begin(), a.end());
}

bool SameColour(const QColor& a, uint32_t nRef) { return a.rgb() == ColourFromRef(nRef).rgb(); }

} // namespace

class HistGraphTest : public QObject {
  Q_OBJECT
  std::string m_strDir;
  std::vector<std::unique_ptr<CHistFrame>> m_aFrames;

  // A window on a sample file (written once per name), shown and displayed.
  CHistFrame& Open(const sSampleSpec& spec, const std::string& strName) {
    const std::string strPath = m_strDir + "/" + strName;
    if (!std::filesystem::exists(strPath)) CSampleWriter(spec).WriteFile(strPath);
    auto pDoc = std::make_shared<CZK7Doc>();
    if (!pDoc->OnOpenDocument(strPath)) qFatal("sample file refused");
    m_aFrames.push_back(std::make_unique<CHistFrame>(pDoc));
    CHistFrame& f = *m_aFrames.back();
    f.resize(1200, 800);
    f.show();
    f.InitialUpdate();
    f.GetHistGraph()->GetControl()->replot();
    return f;
  }
  static CHistGraph& Graph(CHistFrame& f) { return *f.GetHistGraph(); }
  static CGraphControl& Control(CHistFrame& f) { return *f.GetHistGraph()->GetControl(); }
  static double XMin(CHistFrame& f) { return Control(f).xAxis->range().lower; }
  static double XMax(CHistFrame& f) { return Control(f).xAxis->range().upper; }
  static bool Enabled(CHistFrame& f, unsigned nId) {
    sCommandState st;
    f.OnUpdateCommand(nId, st);
    return st.m_bEnabled;
  }
  void ShowCursor(CHistFrame& f, int n, bool bLocked = false, int nChoice = 0) {
    sCursorState& c = f.GetViewState().m_aCursors[n - 1];
    c.m_bShown = true;
    c.m_bLocked = bLocked;
    c.m_nChannelChoice = nChoice;
    Graph(f).ShowCursor(n);
  }

private slots:
  void initTestCase() {
    SetRegionalSettings(CRegionalSettings::Plain());
    m_strDir = MakeTempDir("zk7-graph");
  }
  void cleanup() { m_aFrames.clear(); }
  void cleanupTestCase() { std::filesystem::remove_all(m_strDir); }

  void initialPeriodOfTwelveMillionValues() {
    CHistFrame& f = Open(Spec(3, 4000000), "big.zk");
    const CZK7Doc& doc = f.GetDocument();
    QCOMPARE(f.GetViewState().m_dHistoryStart, doc.GetRecordTime(666667, 0));
    double dFirst, dLast;
    doc.GetTimeRange(dFirst, dLast);
    QCOMPARE(f.GetViewState().m_dHistoryEnd, dLast);
    const CGraphPoints& pts = Graph(f).GetPoints();
    QCOMPARE(pts.GetFirstRecord(), 666667);
    QCOMPARE(pts.GetPointCount(), 3333333);
    // Every plotted record's extremes reach the screen, in about two points per column.
    QVERIFY(Control(f).GetPlotDataCount(0) <= 2 * Control(f).GetPlotPixelWidth() + 2);
    QCOMPARE(QString::fromLatin1(Graph(f).GetLeftText()->text().toLatin1()),
             QString::fromLatin1(FormatDateTime(f.GetViewState().m_dHistoryStart, true, false, 0).substr(0, 10)));
  }

  // The formats themselves are proven on the view; here the resolution command reaches the axis.
  void labelFormatsFollowTheResolutionCommand() {
    CHistFrame& day = Open(Spec(2, 3600), "oneday.zk");
    const QStringList aMs = TickLabels(Control(day));
    QVERIFY(aMs.size() >= 2);
    QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d\\.\\d{3}$")).match(aMs[0]).hasMatch(), qPrintable(aMs[0]));
    day.OnCommand(ID_RESOLUTION_1S);
    for (const QString& s : TickLabels(Control(day)))
      QVERIFY2(QRegularExpression(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d$")).match(s).hasMatch(), qPrintable(s));
  }
  void curveAndAlarmColoursFromTheSettings() {
    CHistFrame& f = Open(Spec(16, 200), "sixteen.zk");
    CGraphControl& c = Control(f);
    QCOMPARE(c.GetPlotCount(), 16);
    QVERIFY(SameColour(c.GetPlotColour(0), 0x000080));
    QVERIFY(SameColour(c.GetPlotColour(14), 0x000000));
    QCOMPARE(c.GetPlotColour(15), c.GetPlotColour(0));
    QVERIFY(SameColour(c.GetPlotAreaColour(), GetDisplayColour(DISPLAY_COLOUR_BACKGROUND)));

    // Channel 0 has limits 1 and 2 on, 3 off; channel 2 only limit 4.
    int nSelected = -1;
    Graph(f).SetKeySelectionSource([&] { return nSelected; });
    Graph(f).ShowAlarmLines();
    for (int k = 0; k < 4; ++k) QVERIFY(!c.IsAlarmLineShown(k));
    nSelected = 0;
    Graph(f).ShowAlarmLines();
    QVERIFY(c.IsAlarmLineShown(0) && c.IsAlarmLineShown(1) && !c.IsAlarmLineShown(2) && !c.IsAlarmLineShown(3));
    QCOMPARE(c.GetAlarmLineValue(0), 28.5);
    QVERIFY(SameColour(c.GetAlarmLineColour(0), 0x800000));
    QVERIFY(SameColour(c.GetAlarmLineColour(1), 0x000080));
    nSelected = 2;
    Graph(f).ShowAlarmLines();
    QVERIFY(!c.IsAlarmLineShown(0) && c.IsAlarmLineShown(3));
    QVERIFY(SameColour(c.GetAlarmLineColour(3), 0x00FFFF));

    // Colours set in the settings: a curve, an alarm and the cursors.
    sSettingsRecord saved = GetAppSettings();
    GetAppSettings().m_aDisplayColours[DISPLAY_COLOUR_CURVE1 + 2] = 0x123456;
    GetAppSettings().m_aDisplayColours[DISPLAY_COLOUR_ALARM0 + 4] = 0x00AA00;
    GetAppSettings().m_aDisplayColours[DISPLAY_COLOUR_CURSOR1] = 0x0000AA;
    f.OnCommand(ID_REFRESH);
    Graph(f).ShowAlarmLines();
    GetAppSettings() = saved;
    QVERIFY(SameColour(c.GetPlotColour(2), 0x123456));
    QVERIFY(SameColour(c.GetAlarmLineColour(3), 0x00AA00));
    QVERIFY(SameColour(c.Cursor(1).GetColour().rgb(), 0x0000AA));
  }

  void cursorsShownAtTheMiddleOfY1OrY2() {
    CHistFrame& f = Open(Spec(3, 600), "three.zk");
    CHistToolBars& bars = *f.GetToolBars();
    QVERIFY(!bars.GetCursorsBar()->isVisible() && !bars.GetScalesBar()->isVisible());
    f.OnCommand(ID_CURSORS_TOOLS);
    QVERIFY(bars.GetCursorsBar()->isVisible());
    bars.GetCursorsBar()->ShownBox(1)->click();
    CGraphControl& c = Control(f);
    QVERIFY(f.GetViewState().m_aCursors[0].m_bShown);
    QVERIFY(c.Cursor(1).IsVisible());
    QCOMPARE(c.Cursor(1).GetX(), XMin(f));
    QCOMPARE(c.Cursor(1).GetY(), (c.yAxis->range().lower + c.yAxis->range().upper) / 2);
    QCOMPARE(Graph(f).GetActiveCursor(), 1);
    QVERIFY(bars.GetCursorsBar()->GetXText(1).contains(QLatin1Char('\n')));

    // Every channel on Y2: cursor 1 goes to the middle of Y2.
    for (auto& s : f.GetViewState().m_aChanStates) s.m_nScale = 2;
    Graph(f).RefreshGraphState();
    QVERIFY(!c.IsAxisShown(CGraphControl::AXIS_Y1) && c.IsAxisShown(CGraphControl::AXIS_Y2));
    bars.GetCursorsBar()->ShownBox(1)->click();
    QVERIFY(!c.Cursor(1).IsVisible());
    QCOMPARE(Graph(f).GetActiveCursor(), 0);
    bars.GetCursorsBar()->ShownBox(1)->click();
    QCOMPARE(c.Cursor(1).GetY(), (c.yAxis2->range().lower + c.yAxis2->range().upper) / 2);
    QCOMPARE(c.Cursor(1).GetX(), XMin(f));
  }

  // The moves are proven on the view; here the keys reach a locked cursor.
  void keyboardMovesALockedCursor() {
    CHistFrame& f = Open(Spec(3, 600), "three.zk");
    CGraphControl& c = Control(f);
    ShowCursor(f, 2, true, 2);
    c.SetCursorPoint(2, 2, 10);
    c.setFocus();
    QTest::keyClick(&c, Qt::Key_Left);
    QCOMPARE(c.Cursor(2).GetX(), Graph(f).GetPoints().GetX(2, 9));
    QTest::keyClick(&c, Qt::Key_Home);
    QCOMPARE(c.Cursor(2).GetX(), Graph(f).GetPoints().GetX(2, 0));
  }
  void zoomPanAndCursorDragWithTheMouse() {
    CHistFrame& f = Open(Spec(2, 3600), "oneday.zk");
    CGraphControl& c = Control(f);
    const QRect r = c.axisRect()->rect();
    const double dMin = XMin(f), dMax = XMax(f);
    // Ctrl: a zoom rectangle over the middle half.
    Drag(&c, QPoint(r.left() + r.width() / 4, r.top() + 10), QPoint(r.left() + 3 * r.width() / 4, r.bottom() - 10),
         Qt::ControlModifier);
    QVERIFY(Graph(f).IsZoomed());
    QVERIFY(std::fabs((XMax(f) - XMin(f)) / (dMax - dMin) - 0.5) < 0.01);
    QVERIFY(f.GetViewState().m_scales.m_strY1Min != "");
    QTest::keyClick(&c, Qt::Key_Escape);
    QCOMPARE(XMin(f), dMin);
    QCOMPARE(XMax(f), dMax);
    // Shift: panning, and "Fixed to" is ticked.
    QVERIFY(!f.GetViewState().m_scales.m_bFixedTo);
    Drag(&c, QPoint(r.center().x(), r.center().y()), QPoint(r.center().x() - r.width() / 10, r.center().y()),
         Qt::ShiftModifier);
    QVERIFY(f.GetViewState().m_scales.m_bFixedTo);
    QVERIFY(XMin(f) > dMin + (dMax - dMin) * 0.09 && XMin(f) < dMin + (dMax - dMin) * 0.11);
    QVERIFY(std::fabs((XMax(f) - XMin(f)) - (dMax - dMin)) < 1e-9);
    // No key: the cursor under the mouse follows it.
    QTest::keyClick(&c, Qt::Key_Escape);
    ShowCursor(f, 1);
    const int x1 = qRound(c.xAxis->coordToPixel(c.Cursor(1).GetX()));
    Drag(&c, QPoint(x1 + 2, r.center().y()), QPoint(r.center().x(), r.center().y()), Qt::NoModifier);
    QVERIFY(std::fabs(c.xAxis->coordToPixel(c.Cursor(1).GetX()) - r.center().x()) < 1.0);
    QCOMPARE(XMin(f), dMin);
    QCOMPARE(QString::fromLatin1(f.GetViewState().m_aCursors[0].m_strX),
             QString::fromLatin1(FormatCursorX(c.Cursor(1).GetX(), false, true, 3)));
  }

  void deltaTextsOfOneDayTwoHoursWithCursor2Left() {
    CHistFrame& f = Open(Spec(2, 400, 600000), "fourdays.zk");  // 400 x 10 minutes
    ShowCursor(f, 1);
    ShowCursor(f, 2);
    const double t1 = XMin(f) + 2 + 3 * HOUR;
    Graph(f).PlaceCursor(1, t1);
    Graph(f).PlaceCursor(2, t1 - 1 - 2 * HOUR);
    QCOMPARE(QString::fromLatin1(f.GetViewState().m_strDeltaX), QStringLiteral("-1j\r\n02:00:00.000"));
    f.OnCommand(ID_CURSORS_TOOLS);
    QCOMPARE(f.GetToolBars()->GetCursorsBar()->GetDeltaXText(), QStringLiteral("-1j\n02:00:00.000"));
    f.GetViewState().m_aCursors[1].m_bShown = false;
    Graph(f).ShowCursor(2);
    QVERIFY(f.GetViewState().m_strDeltaX.empty());
  }

  // Paging is proven on the view; here the commands and keys reach it and the points follow.
  void pagingCommandsAndKeys() {
    CHistFrame& f = Open(Spec(2, 3 * 3600), "threehours.zk");
    double dFirst, dLast;
    f.GetDocument().GetTimeRange(dFirst, dLast);
    QVERIFY2(!Enabled(f, ID_HIST_PREVIOUS) && !Enabled(f, ID_HIST_NEXT), "the whole file is shown");
    sHistViewState& st = f.GetViewState();
    st.m_dHistoryStart = dFirst + 0.5 * HOUR;
    st.m_dHistoryEnd = dFirst + 1.5 * HOUR;
    QVERIFY(Enabled(f, ID_HIST_PREVIOUS));
    f.OnCommand(ID_HIST_PREVIOUS);
    QCOMPARE(st.m_dHistoryStart, dFirst);
    QVERIFY(!Enabled(f, ID_HIST_PREVIOUS));
    QCOMPARE(Graph(f).GetPoints().GetFirstRecord(), 0);
    CGraphControl& c = Control(f);
    c.setFocus();
    st.m_scales.m_bFixedTo = true;
    QTest::keyClick(&c, Qt::Key_PageDown);
    QVERIFY(std::fabs(st.m_dHistoryStart - (dFirst + HOUR)) < 1e-9);
    QVERIFY(Graph(f).GetPoints().GetFirstRecord() >= 3599);
  }

  // The view commands reach the graph from the frame.
  void viewCommandsAndTheContextMenu() {
    CHistFrame& f = Open(Spec(2, 3 * 3600), "threehours.zk");
    CGraphControl& c = Control(f);
    const bool bLink = c.GetLinkPoints();
    f.OnCommand(ID_LINK_POINTS);
    QCOMPARE(c.GetLinkPoints(), !bLink);
    const bool bGrid = c.GetGrid();
    f.OnCommand(ID_GRID);
    QCOMPARE(c.GetGrid(), !bGrid);
    double dFirst, dLast;
    f.GetDocument().GetTimeRange(dFirst, dLast);
    f.GetViewState().m_dHistoryStart = dFirst + HOUR;
    f.GetViewState().m_dHistoryEnd = dFirst + 2 * HOUR;
    f.OnCommand(ID_FILE_GLOBAL_VIEW);
    QCOMPARE(f.GetViewState().m_dHistoryStart, dFirst);
    QCOMPARE(f.GetViewState().m_dHistoryEnd, dLast);
    QCOMPARE(Graph(f).GetPoints().GetPointCount(), 3 * 3600);
  }

  // The cursors bar's radios and channel list reach the cursor.
  void cursorsBarLockAndChannel() {
    CHistFrame& f = Open(Spec(3, 600), "three.zk");
    f.OnCommand(ID_CURSORS_TOOLS);
    CCursorsToolBar* pBar = f.GetToolBars()->GetCursorsBar();
    pBar->ShownBox(1)->click();
    QVERIFY(f.GetViewState().m_aCursors[0].m_bShown);
    pBar->LockedButton(1)->click();
    QVERIFY(f.GetViewState().m_aCursors[0].m_bLocked);
    QVERIFY(pBar->ChannelBox(1)->isEnabled());
    QVERIFY(pBar->ChannelBox(1)->count() >= 3);
    pBar->ChannelBox(1)->setCurrentIndex(2);
    emit pBar->ChannelBox(1)->activated(2);
    QCOMPARE(f.GetViewState().m_aCursors[0].m_nChannelChoice, 2);
    QCOMPARE(QString::fromLatin1(f.GetViewState().m_aCursorChannelTexts[2]), pBar->ChannelBox(1)->currentText());
    pBar->FreeButton(1)->click();
    QVERIFY(!f.GetViewState().m_aCursors[0].m_bLocked);
  }

  void fixedMarksAddedAndErased() {
    CHistFrame& f = Open(Spec(2, 600), "marks.zk");
    QSignalSpy spy(f.GetHistGraph(), &CHistGraph::fixedMarksChanged);
    QVERIFY(!Enabled(f, ID_ADD_FIXED_MARK));
    QVERIFY(!Enabled(f, ID_ERASE_FIXED_MARKS));
    ShowCursor(f, 1);
    QVERIFY(Enabled(f, ID_ADD_FIXED_MARK));
    const double t = f.GetDocument().GetRecordTime(100, 0) + 0.3 * ONE_SECOND;
    Graph(f).PlaceCursor(1, t);
    f.OnCommand(ID_ADD_FIXED_MARK);
    Graph(f).PlaceCursor(1, f.GetDocument().GetRecordTime(250, 0));
    f.OnCommand(ID_ADD_FIXED_MARK);
    QCOMPARE(f.GetViewState().m_aFixedMarks, (std::vector<int>{100, 250}));
    QCOMPARE(Control(f).GetFixedMarkCount(), 2);
    QCOMPARE(Control(f).GetFixedMarkX(0), f.GetDocument().GetRecordTime(100, 0));
    QCOMPARE(spy.count(), 2);
    f.OnCommand(ID_REFRESH);
    QCOMPARE(Control(f).GetFixedMarkCount(), 2);  // the marks survive a rebuild
    QVERIFY(Enabled(f, ID_ERASE_FIXED_MARKS));
    f.OnCommand(ID_ERASE_FIXED_MARKS);
    QVERIFY(f.GetViewState().m_aFixedMarks.empty());
    QCOMPARE(Control(f).GetFixedMarkCount(), 0);
    QVERIFY(!Enabled(f, ID_ERASE_FIXED_MARKS));
  }

  void xChannelHidesTheCursorsAndDisablesMarks() {
    CHistFrame& f = Open(Spec(3, 600), "three.zk");
    ShowCursor(f, 1);
    ShowCursor(f, 2, true, 0);
    f.GetViewState().m_aChanStates[2].m_nScale = 0;
    Graph(f).RefreshGraphState();
    CGraphControl& c = Control(f);
    QCOMPARE(Graph(f).GetXChannel(), 2);
    QCOMPARE(Graph(f).GetPoints().GetXChannel(), 2);  // re-plotted against the channel
    QVERIFY(!f.GetViewState().m_aCursors[0].m_bShown && !f.GetViewState().m_aCursors[1].m_bShown);
    QVERIFY(!c.Cursor(1).IsVisible() && !c.Cursor(2).IsVisible());
    QVERIFY(!c.IsPlotShown(2) && c.IsPlotShown(0));
    QVERIFY(!c.IsTimeAxis());
    QCOMPARE(c.GetAxisCaption(CGraphControl::AXIS_X), QString::fromLatin1(AxisCaption(f.GetDocument().GetChannelName(2), f.GetDocument().GetChannelUnit(2))));
    ShowCursor(f, 1);
    QVERIFY(!Enabled(f, ID_ADD_FIXED_MARK));
    QVERIFY(!Enabled(f, ID_HIST_AREA_FROM_CURSORS));
    QVERIFY(f.GetViewState().m_scales.m_bXChannelSet);
    f.GetViewState().m_aChanStates[2].m_nScale = 1;
    Graph(f).RefreshGraphState();
    QCOMPARE(Graph(f).GetPoints().GetXChannel(), -1);
    QVERIFY(c.IsTimeAxis());
  }

  void historyFromCursorsInEitherOrder() {
    CHistFrame& f = Open(Spec(2, 3600), "oneday.zk");
    ShowCursor(f, 1);
    ShowCursor(f, 2);
    const CZK7Doc& doc = f.GetDocument();
    Graph(f).PlaceCursor(1, doc.GetRecordTime(2000, 0));
    Graph(f).PlaceCursor(2, doc.GetRecordTime(1000, 0));
    f.OnCommand(ID_HIST_AREA_FROM_CURSORS);
    QCOMPARE(f.GetViewState().m_dHistoryStart, doc.GetRecordTime(1000, 0));
    QCOMPARE(f.GetViewState().m_dHistoryEnd, doc.GetRecordTime(2000, 0));
    QCOMPARE(Graph(f).GetPoints().GetFirstRecord(), 1000);
    QCOMPARE(Graph(f).GetPoints().GetPointCount(), 1001);
    QVERIFY(f.GetViewState().m_scales.m_bFixedTo);
  }

  void scalesToolBar() {
    CHistFrame& f = Open(Spec(3, 600), "three.zk");
    f.OnCommand(ID_SCALES_TOOLS);
    CScalesToolBar& bar = *f.GetToolBars()->GetScalesBar();
    QVERIFY(bar.isVisible());
    QVERIFY(bar.MinEdit(2)->isEnabled() && !bar.MinEdit(3)->isEnabled() && !bar.MinEdit(1)->isEnabled());
    QVERIFY2(!bar.AutoButton(2)->isEnabled(), "Y1 scales itself");
    bar.MinEdit(2)->setText(QStringLiteral("-5"));
    bar.MaxEdit(2)->setText(QStringLiteral("45.5"));
    bar.ApplyButton(2)->click();
    QCOMPARE(Control(f).yAxis->range().lower, -5.0);
    QCOMPARE(Control(f).yAxis->range().upper, 45.5);
    QVERIFY(bar.AutoButton(2)->isEnabled());
    QCOMPARE(bar.MaxEdit(2)->text(), QStringLiteral("45.5"));
    bar.MinEdit(2)->setText(QStringLiteral("abc"));
    bar.ApplyButton(2)->click();
    QCOMPARE(Control(f).yAxis->range().lower, -5.0);  // an unreadable limit changes nothing
    bar.AutoButton(2)->click();
    QVERIFY(!bar.AutoButton(2)->isEnabled());
    QVERIFY(Control(f).yAxis->range().lower != -5.0);

    // History length and "Fixed to" a date.
    double dFirst, dLast;
    f.GetDocument().GetTimeRange(dFirst, dLast);
    bar.DaysEdit()->setText(QStringLiteral("0"));
    bar.TimeEdit()->setText(QStringLiteral("00:05:00"));
    bar.HistoryButton()->click();
    sHistViewState& st = f.GetViewState();
    QCOMPARE(st.m_dHistoryEnd, dLast);
    QVERIFY(std::fabs(st.m_dHistoryEnd - st.m_dHistoryStart - 300 * ONE_SECOND) < 1e-9);
    QVERIFY(bar.FixedToBox()->isChecked());
    QVERIFY(bar.FixedDateEdit()->isEnabled());
    bar.FixedDateEdit()->setText(QString::fromLatin1(FormatDateTime(dFirst + 400 * ONE_SECOND, true, false, 0)));
    bar.CurrentDateButton()->click();
    QVERIFY(std::fabs(st.m_dHistoryEnd - (dFirst + 400 * ONE_SECOND)) < 1e-9);
    QVERIFY(std::fabs(st.m_dHistoryStart - (dFirst + 100 * ONE_SECOND)) < 1e-9);

    // "Full File" keeps "Fixed to" ticked.
    bar.FullFileButton()->click();
    QCoreApplication::sendPostedEvents();
    QCoreApplication::processEvents();
    QCOMPARE(st.m_dHistoryStart, dFirst);
    QCOMPARE(st.m_dHistoryEnd, dLast);
    QVERIFY(st.m_scales.m_bFixedTo);
    QVERIFY(bar.FixedToBox()->isChecked());
    QCOMPARE(Graph(f).GetPoints().GetPointCount(), 600);
  }

  void toolBarsFollowTheWindowsActivation() {
    CHistFrame& f = Open(Spec(2, 100), "small.zk");
    CHistToolBars& bars = *f.GetToolBars();
    f.OnCommand(ID_SCALES_TOOLS);
    sCommandState st;
    f.OnUpdateCommand(ID_SCALES_TOOLS, st);
    QVERIFY(st.m_bChecked);
    f.OnActivateFrame(false);
    QVERIFY(!bars.GetScalesBar()->isVisible() && !bars.GetCursorsBar()->isVisible());
    f.OnActivateFrame(true);
    QVERIFY(bars.GetScalesBar()->isVisible());
    QVERIFY2(!bars.GetCursorsBar()->isVisible(), "a bar hidden before stays hidden");
    f.OnCommand(ID_SCALES_TOOLS);
    QVERIFY(!bars.GetScalesBar()->isVisible());
  }

  void cancelDuringLoadingLeavesAnEmptyGraph() {
    CHistFrame& f = Open(Spec(2, 30000), "cancel.zk");
    int nMessages = 0;
    // Press Cancel as soon as the wait dialog pumps events; close any message box.
    QTimer poll;
    poll.setInterval(0);
    connect(&poll, &QTimer::timeout, this, [&] {
      for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* pWait = qobject_cast<CWaitDialog*>(w); pWait && pWait->isVisible()) {
          QCOMPARE(pWait->windowTitle(), QStringLiteral("Preparing graph"));
          QCOMPARE(pWait->GetStatusText(), QStringLiteral("30000 Records"));
          pWait->GetCancelButton()->click();
        }
        if (auto* pBox = qobject_cast<QMessageBox*>(w); pBox && pBox->isVisible()) {
          ++nMessages;
          pBox->reject();
        }
      }
    });
    poll.start();
    f.OnCommand(ID_REFRESH);
    poll.stop();
    QVERIFY(Graph(f).GetPoints().IsEmpty());
    QCOMPARE(Control(f).GetPlotDataCount(0), 0);
    QCOMPARE(nMessages, 0);
    f.OnCommand(ID_REFRESH);
    QCOMPARE(Graph(f).GetPoints().GetPointCount(), 30000);
    Control(f).replot();
    QVERIFY(Control(f).GetPlotDataCount(0) > 0);
  }

  void closingDuringLoadingStopsItFirst() {
    const std::string strPath = m_strDir + "/closing.zk";
    if (!std::filesystem::exists(strPath)) CSampleWriter(Spec(2, 60000)).WriteFile(strPath);
    auto pDoc = std::make_shared<CZK7Doc>();
    QVERIFY(pDoc->OnOpenDocument(strPath));
    QPointer<CHistFrame> pFrame = new CHistFrame(pDoc);
    pFrame->setAttribute(Qt::WA_DeleteOnClose);
    pFrame->resize(800, 600);
    pFrame->show();
    pFrame->InitialUpdate();
    // The window is asked to close while the wait dialog dispatches events.
    bool bAsked = false;
    QTimer poll;
    poll.setInterval(0);
    connect(&poll, &QTimer::timeout, this, [&] {
      for (QWidget* w : QApplication::topLevelWidgets())
        if (qobject_cast<CWaitDialog*>(w) && w->isVisible() && !bAsked && pFrame) {
          bAsked = true;
          pFrame->close();
        }
    });
    poll.start();
    pFrame->OnCommand(ID_REFRESH);
    poll.stop();
    QVERIFY(bAsked);
    QVERIFY2(pFrame, "the window outlives the reading it was asked to stop");
    QVERIFY(pFrame->GetHistGraph()->GetPoints().IsEmpty());
    QTRY_VERIFY(pFrame.isNull());
  }

  void graphPrintoutIntoAPdf() {
    CHistFrame& f = Open(Spec(130, 50), "wide.zk");
    const std::string strPdf = m_strDir + "/graph.pdf";
    auto print = [&] {
      QPrinter printer(QPrinter::HighResolution);
      printer.setOutputFormat(QPrinter::PdfFormat);
      printer.setOutputFileName(QString::fromStdString(strPdf));
      const int nPages = GetGraphPrintPageCount(printer, f);
      if (!PrintGraphPages(printer, Control(f), f)) return std::make_pair(-1, std::string());
      return std::make_pair(nPages, PdfToText(strPdf));
    };
    QPrinter probe(QPrinter::HighResolution);
    probe.setOutputFormat(QPrinter::PdfFormat);
    const sPrintLayout layout = CPagePrinter(probe, {1, 2}, 0).GetLayout();
    const int nLines = GraphKeyLinesPerPage(layout.nPrintableHeight, layout.nLineHeight, layout.nHeaderLines, layout.nFooterLines);
    QVERIFY(nLines > 10 && nLines < 130);
    const int nExpected = 1 + (130 + nLines - 1) / nLines;
    auto [nPages, strText] = print();
    QCOMPARE(nPages, nExpected);
    QCOMPARE(static_cast<int>(std::count(strText.begin(), strText.end(), '\f')), nExpected);
    const QString text = QString::fromLatin1(strText);
    const QStringList aPages = text.split(QLatin1Char('\f'));
    QVERIFY(aPages[0].contains(QStringLiteral("wide.zk")));
    QVERIFY(aPages[0].contains(QStringLiteral("Page 1 from %1").arg(nExpected)));
    QVERIFY2(!aPages[0].contains(QStringLiteral("Channel")), "page 1 holds the graph alone");
    QVERIFY(aPages[1].contains(QStringLiteral("Channel")) && aPages[1].contains(QStringLiteral("Scale")));
    QVERIFY(aPages[1].contains(QStringLiteral("001")));
    QVERIFY(aPages[nExpected - 1].contains(QStringLiteral("130")));
    QVERIFY(aPages[nExpected - 1].contains(QStringLiteral("Page %1 from %1").arg(nExpected)));

    // No ticked row: the graph page only.
    for (auto& s : f.GetViewState().m_aChanStates) s.m_bChecked = false;
    std::tie(nPages, strText) = print();
    QCOMPARE(nPages, 1);
    QCOMPARE(static_cast<int>(std::count(strText.begin(), strText.end(), '\f')), 1);
  }

  void printedGraphReadsLikeTheScreen() {
    // Texts scaled once, as the screen shows them: the tick labels of both
    // axes, the cursor captions and the mark numbers at their screen size.
    CHistFrame& f = Open(Spec(2, 600), "paper.zk");
    ShowCursor(f, 1);
    ShowCursor(f, 2);
    Graph(f).PlaceCursor(1, f.GetDocument().GetRecordTime(100, 0));
    Graph(f).PlaceCursor(2, f.GetDocument().GetRecordTime(300, 0));
    Graph(f).AddFixedMark();
    QCOMPARE(Control(f).GetFixedMarkCount(), 1);
    const std::string strPdf = m_strDir + "/paper.pdf";
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(QString::fromStdString(strPdf));
    QVERIFY(PrintGraphPages(printer, Control(f), f));
    const std::string strBoxes = PdfToText(strPdf, {"-f", "1", "-l", "1", "-bbox"});
    struct sWord {
      QString strText;
      double dLeft, dTop, dRight, dBottom;
    };
    std::vector<sWord> aWords;
    const QRegularExpression word(
        R"RE(<word xMin="([\d.]+)" yMin="([\d.]+)" xMax="([\d.]+)" yMax="([\d.]+)">([^<]*)</word>)RE");
    for (auto it = word.globalMatch(QString::fromUtf8(strBoxes.c_str())); it.hasNext();) {
      const QRegularExpressionMatch m = it.next();
      aWords.push_back({m.captured(5), m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                        m.captured(4).toDouble()});
    }
    const QSizeF page = printer.pageLayout().fullRect(QPageLayout::Point).size();
    int nTimes = 0, nNumbers = 0;
    QStringList aCaptions;
    for (const sWord& w : aWords) {
      // A screen text of 8 to 10 points stands about that tall on paper, and inside the page.
      QVERIFY2(w.dBottom - w.dTop < 16, qPrintable(QString("%1 is %2 pt tall").arg(w.strText).arg(w.dBottom - w.dTop)));
      QVERIFY2(w.dLeft >= 0 && w.dRight <= page.width() && w.dBottom <= page.height(), qPrintable(w.strText));
      if (w.strText.count(':') == 2) ++nTimes;
      bool bNumber = false;
      w.strText.toDouble(&bNumber);
      if (bNumber) ++nNumbers;
      if (w.strText.startsWith('C')) aCaptions << w.strText;
    }
    QVERIFY2(nTimes >= 3, "the X labels are printed");
    QVERIFY2(nNumbers >= 4, "the Y labels and the mark number are printed");
    QVERIFY2(aCaptions.contains("C1") && aCaptions.contains("C2"), qPrintable(aCaptions.join('|')));
  }

  void copyPutsAPictureAndSvgOnTheClipboard() {
    CHistFrame& f = Open(Spec(3, 600), "three.zk");
    QApplication::clipboard()->clear();
    QCOMPARE(Graph(f).CopyGraphToClipboard(), 0L);
    const QMimeData* pData = QApplication::clipboard()->mimeData();
    QVERIFY(pData);
    QVERIFY(pData->hasImage());
    const QImage image = qvariant_cast<QImage>(pData->imageData());
    QCOMPARE(image.size(), Control(f).size());
    QVERIFY(pData->hasFormat(QStringLiteral("image/svg+xml")));
    const QByteArray svg = pData->data(QStringLiteral("image/svg+xml"));
    QVERIFY(svg.contains("<svg"));
    QVERIFY(svg.contains("polyline") || svg.contains("<path"));
  }
};

QTEST_MAIN(HistGraphTest)
#include "HistGraphTest.moc"
