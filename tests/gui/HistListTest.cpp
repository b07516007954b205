// The record list on real results files: columns by the file's days and the
// options, markers, go-to commands, selection by mouse, keys and commands,
// cursors defined from the list, context menu, and a million-row file.
#include <QtTest>

#include <QHeaderView>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QScrollBar>

#include <filesystem>

#include <unistd.h>

#include "HistWindowTestSupport.h"
#include "ModalAnswerer.h"
#include "SimProcess.h"
#include "app/CommandIds.h"
#include "history/CursorsToolBar.h"
#include "history/HistToolBars.h"
#include "history/ScalesToolBar.h"
#include "history/graph/GraphControl.h"
#include "history/graph/GraphCursor.h"
#include "format/Formatting.h"
#include "format/RegionalSettings.h"
#include "history/HistListCommands.h"
#include "history/HistPaneMenu.h"
#include "samples/SampleWriter.h"

using namespace zk7;

namespace {

QPoint RowPoint(const sHistWindow& w, int nRecord) {
  auto* pModel = w.pList->GetModel();
  return w.Table()->visualRect(pModel->index(nRecord - pModel->GetTop(), 1)).center();
}

qint64 MarkerKey(const sHistWindow& w, int nRecord) {
  auto* pModel = w.pList->GetModel();
  return pModel->data(pModel->index(nRecord - pModel->GetTop(), 0), Qt::DecorationRole).value<QPixmap>().cacheKey();
}

// The key reaches the dialog from its own event loop, so that the message box
// it may open is answered by the next step.
void PressReturnLater(QWidget* pWidget) {
  QMetaObject::invokeMethod(pWidget, [pWidget] { QTest::keyClick(pWidget, Qt::Key_Return); }, Qt::QueuedConnection);
}

std::vector<sRowBlock> Blocks(const sHistWindow& w) { return w.pList->GetSelection().GetBlocks(); }

} // namespace

class HistListTest : public QObject {
  Q_OBJECT
  std::string m_strDir;
  std::string Path(const char* pszName) const { return m_strDir + "/" + pszName; }

private slots:
  void initTestCase() {
    SetRegionalSettings(CRegionalSettings::Plain());
    m_strDir = MakeTempDir("zk7-list");
    WriteTestResults(Path("day.zk"), 200);
    WriteTestResults(Path("midnight.zk"), 20, NEW_YEAR_2026 - 5);
  }
  void cleanupTestCase() { std::filesystem::remove_all(m_strDir); }

  void timeColumnFollowsTheFileDays() {
    sHistWindow day(Path("day.zk"));
    QCOMPARE(day.Titles(), QStringList({"M", "N\u00B0", "Hour", "T1 (\u00B0C)", "N ()", "P (kW)"}));
    QCOMPARE(day.Cell(3, 1), QString("4"));
    QCOMPARE(day.Cell(3, 2), QString("00:00:03.000"));
    QCOMPARE(day.Cell(3, 3), QString("     21.5"));
    QCOMPARE(day.Cell(2, 5), QString("Err. 12"));
    QCOMPARE(day.Cell(3, 0), QString());
    QVERIFY(QFontInfo(day.Table()->font()).fixedPitch());
    QCOMPARE(day.pList->GetModel()->data(day.pList->GetModel()->index(0, 3), Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignRight | Qt::AlignVCenter));
    sHistWindow midnight(Path("midnight.zk"));
    QCOMPARE(midnight.Titles()[2], QString("Date"));
    QCOMPARE(midnight.Cell(4, 2), QString("12/31/2025 23:59:59.000"));
    QCOMPARE(midnight.Cell(5, 2), QString("01/01/2026 00:00:00.000"));
    // The time format command switches the column and its texts.
    midnight.pFrame->OnCommand(ID_TIME_FORMAT_TIME);
    QCOMPARE(midnight.Titles()[2], QString("Hour"));
    QCOMPARE(midnight.Cell(5, 2), QString("00:00:00.000"));
    midnight.pFrame->OnCommand(ID_RESOLUTION_1S);
    QCOMPARE(midnight.Cell(5, 2), QString("00:00:00"));
  }

  void msOffsetColumnsAndDisplayedChannels() {
    sHistWindow w(Path("day.zk"));
    w.pList->ClickRecord(4, false);
    w.pFrame->OnCommand(ID_MS_OFFSET_COLUMNS);
    QCOMPARE(w.Titles(), QStringList({"M", "N\u00B0", "Hour", "ms", "T1 (\u00B0C)", "ms", "N ()", "ms", "P (kW)"}));
    QCOMPARE(w.Cell(3, 3), QString("0"));
    QCOMPARE(w.Cell(3, 5), QString("12"));
    QCOMPARE(w.Cell(3, 7), QString("-7"));
    QVERIFY2(!w.pList->HasSelection(), "a rebuild clears the selection");
    w.pList->SetDisplayedChannels({2});
    QCOMPARE(w.Titles(), QStringList({"M", "N\u00B0", "Hour", "ms", "P (kW)"}));
    w.pFrame->OnCommand(ID_MS_OFFSET_COLUMNS);
    QCOMPARE(w.Titles(), QStringList({"M", "N\u00B0", "Hour", "P (kW)"}));
    // No channel displayed: every channel.
    w.pList->SetDisplayedChannels({});
    QCOMPARE(w.Titles(), QStringList({"M", "N\u00B0", "Hour", "T1 (\u00B0C)", "N ()", "P (kW)"}));
    QCOMPARE(w.pList->GetDisplayedChannels(), (std::vector<int>{0, 1, 2}));
  }

  void markersOfCursorsAndFixedMarks() {
    sHistWindow w(Path("day.zk"));
    w.State().m_aFixedMarks = {9, 7, 9};
    w.PlaceCursor(1, 5);
    w.PlaceCursor(2, 5);
    QCOMPARE(w.pList->GetRowText().GetRowMarker(5), int(MARKER_BOTH));
    QCOMPARE(MarkerKey(w, 5), CHistListModel::MarkerPixmap(MARKER_BOTH).cacheKey());
    w.PlaceCursor(1, 7);
    QCOMPARE(MarkerKey(w, 7), CHistListModel::MarkerPixmap(MARKER_CURSOR1).cacheKey());
    QCOMPARE(w.Cell(7, 0), QString("2"));  // the mark number stays beside the cursor's marker
    QCOMPARE(MarkerKey(w, 5), CHistListModel::MarkerPixmap(MARKER_CURSOR2).cacheKey());
    QCOMPARE(MarkerKey(w, 9), CHistListModel::MarkerPixmap(MARKER_FIXED).cacheKey());
    QCOMPARE(w.Cell(9, 0), QString("1"));  // two marks on one record: the earlier one's number
    QCOMPARE(MarkerKey(w, 8), CHistListModel::MarkerPixmap(MARKER_NONE).cacheKey());
    QVERIFY(CHistListModel::MarkerPixmap(MARKER_CURSOR1).toImage() != CHistListModel::MarkerPixmap(MARKER_CURSOR2).toImage());
    // A cursor that is shown but not locked gives no marker, yet Go to Cursor finds it.
    w.PlaceCursor(2, 60, false);
    QCOMPARE(w.pList->GetRowText().GetRowMarker(60), int(MARKER_NONE));
    QCOMPARE(w.pList->GoToCursor(2, true, false), 60);
    QCOMPARE(w.pList->GetSelection().GetFocus(), 60);
    QVERIFY(w.pList->GetTopRow() <= 60 && 60 < w.pList->GetTopRow() + w.pList->GetPageRows());
  }

  void selectBetweenCursorsInEitherOrder() {
    sHistWindow w(Path("day.zk"));
    QCOMPARE(w.pList->SelectBetweenCursors(true), -1);
    w.PlaceCursor(1, 150);
    w.PlaceCursor(2, 120);
    w.pList->SetTopRow(0);
    w.pList->ClickRecord(3, false);
    QCOMPARE(w.pList->SelectBetweenCursors(true), 120);
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{120, 150}}));
    QCOMPARE(w.pList->GetTopRow(), 120 - w.pList->GetPageRows() + 1);  // scrolled just enough to show row 120
    QCOMPARE(w.pList->GetSelection().GetFocus(), 120);  // the focus ends on cursor 2's record
    w.PlaceCursor(1, 120);
    w.PlaceCursor(2, 150);
    w.pList->ClickRecord(3, false);
    QCOMPARE(w.pList->SelectBetweenCursors(true), 120);
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{120, 150}}));
    // Without clearing, an earlier selection stays.
    w.pList->ClickRecord(3, false);
    w.pList->SelectBetweenCursors(false);
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{3, 3}, {120, 150}}));
  }

  void mouseCtrlClickIgnoredShiftClickExtends() {
    sHistWindow w(Path("day.zk"));
    QWidget* pViewport = w.Table()->viewport();
    QTest::mouseClick(pViewport, Qt::LeftButton, Qt::NoModifier, RowPoint(w, 2));
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{2, 2}}));
    QVERIFY(w.pList->HasSelectionMark());
    QTest::mouseClick(pViewport, Qt::LeftButton, Qt::ControlModifier, RowPoint(w, 6));
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{2, 2}}));
    QTest::mouseClick(pViewport, Qt::LeftButton, Qt::ShiftModifier, RowPoint(w, 6));
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{2, 6}}));
    // The view shows the same rows selected.
    QCOMPARE(w.Table()->selectionModel()->selectedRows().size(), 5);
    QTest::keyClick(w.Table(), Qt::Key_Down, Qt::ShiftModifier);
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{2, 7}}));
    QTest::keyClick(w.Table(), Qt::Key_End);
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{199, 199}}));
    QCOMPARE(w.pList->GetTopRow(), 200 - w.pList->GetPageRows());
    QCOMPARE(w.pList->GetScrollBar()->value(), w.pList->GetTopRow());
  }

  void goToDateAndCannotFindRecord() {
    sHistWindow w(Path("day.zk"));
    w.State().m_dHistoryEnd = w.Doc().GetRecordTime(150, 0);
    QString strShown;
    {
      CModalAnswerer answers;
      answers.Then([&](QWidget* pModal) {
        auto* pEdit = pModal->findChild<QLineEdit*>();
        strShown = pModal->windowTitle() + "|" + pEdit->text();
        pEdit->setText("xx");
        PressReturnLater(pEdit);
      });
      answers.ThenClick("OK");  // "Wrong date format"; the dialog stays open
      answers.Then([&](QWidget* pModal) {
        pModal->findChild<QLineEdit*>()->setText("01/01/2026 00:00:30.4");
        PressReturnLater(pModal->findChild<QLineEdit*>());
      });
      w.pFrame->OnCommand(ID_GOTO_DATE);
      QCOMPARE(strShown, QString("Enter date|01/01/2026 00:02:30.0"));
      QCOMPARE(answers.Texts().value(0), QString("Wrong date format"));
      QCOMPARE(answers.PendingSteps(), 0);
      QCOMPARE(w.pList->GetSelection().GetFocus(), 30);
      QVERIFY2(!w.pList->HasSelection(), "go to does not select");
      QVERIFY(w.pList->GetTopRow() <= 30 && 30 < w.pList->GetTopRow() + w.pList->GetPageRows());
    }

    // Cursor 2 hidden: the command says so and leaves the list alone.
    CModalAnswerer none;
    none.ThenClick("OK");
    w.pFrame->OnCommand(ID_GOTO_CURSOR2);
    QCOMPARE(none.Texts(), QStringList({"Cannot find Record"}));
    QCOMPARE(none.Icons(), (std::vector<int>{int(QMessageBox::Information)}));
    QCOMPARE(w.pList->GetSelection().GetFocus(), 30);
  }

  void defineCursorFromTheList() {
    sHistWindow w(Path("day.zk"));
    sCommandState state;
    QVERIFY(w.pFrame->OnUpdateCommand(ID_CURSOR1_FROM_LIST, state));
    QVERIFY2(!state.m_bEnabled, "no selection mark yet");
    w.pList->SetDisplayedChannels({1, 2});
    w.pList->ClickRecord(12, false);
    QVERIFY(w.pFrame->OnUpdateCommand(ID_CURSOR1_FROM_LIST, state) && state.m_bEnabled);
    w.pFrame->OnCommand(ID_CURSOR2_FROM_LIST);
    const sCursorState& cursor = w.State().m_aCursors[1];
    QVERIFY(cursor.m_bShown);
    QVERIFY(cursor.m_bLocked);
    QCOMPARE(w.pGraph->GetActiveCursor(), 2);
    QCOMPARE(w.Doc().FindRecordByTime(w.pGraph->GetCursorX(2)), 12);
    const auto& aChoices = w.State().m_aCursorChannels;
    QVERIFY(cursor.m_nChannelChoice >= 0 && size_t(cursor.m_nChannelChoice) < aChoices.size());
    QCOMPARE(aChoices[size_t(cursor.m_nChannelChoice)], 1);  // the first displayed channel
    w.pList->RefreshMarkers();
    QCOMPARE(w.pList->GetRowText().GetRowMarker(12), int(MARKER_CURSOR2));
  }

  void historicalAreaAddsABlock() {
    sHistWindow w(Path("day.zk"));
    w.State().m_dHistoryStart = w.Doc().GetRecordTime(20, 0);
    w.State().m_dHistoryEnd = w.Doc().GetRecordTime(30, 0) + 0.1 / 86400;
    w.pList->ClickRecord(5, false);
    w.pFrame->OnCommand(ID_SELECT_HIST_AREA_IN_LIST);
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{5, 5}, {20, 30}}));
    QCOMPARE(w.pList->GetSelection().GetCount(), 12);
  }

  void contextMenuItems() {
    sHistWindow w(Path("day.zk"));
    std::unique_ptr<QMenu> pMenu = BuildPaneMenu(*w.pFrame, GetListContextMenu(), w.pList);
    QStringList aTexts;
    QAction* pSelectAll = nullptr;
    for (QAction* pAction : pMenu->actions()) {
      aTexts << (pAction->isSeparator() ? "-" : pAction->text());
      if (pAction->text() == "Select &All") pSelectAll = pAction;
      if (pAction->text() == "Select List between Cursors 1 and 2") QVERIFY(!pAction->isEnabled());
      if (pAction->text() == "&Export selected lines...") QVERIFY(!pAction->isEnabled());
      if (pAction->text() == "Display ms time offset from date/time column") QVERIFY(!pAction->isChecked());
    }
    QCOMPARE(aTexts, QStringList({"Full Window", "All Panes", "-", "Go to Date...", "-",
                                  "Select List between Cursors 1 and 2", "Define Cursor 1 according to list",
                                  "Define Cursor 2 according to list", "-", "Print Pre&view of Selected lines",
                                  "Print selected &lines...", "-", "&Export selected lines...", "-", "Time format",
                                  "Time Display Resolution", "Errors display format",
                                  "Display ms time offset from date/time column", "-", "&Copy", "Select &All"}));
    QVERIFY(pSelectAll);
    pSelectAll->trigger();
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{0, 199}}));
  }

  void readFailureAfterOpeningKeepsTheWindow() {
    // A file cut short while it is open (a removed medium): 40 channels, so
    // that the record window holds fewer records than the file.
    const std::string strPath = Path("shrinks.zk");
    WriteTestResults(strPath, 8000, NEW_YEAR_2026, 40);
    sHistWindow w(strPath);
    QVERIFY(w.Doc().GetWindowCapacity() < 4000);
    w.PlaceCursor(1, 7990);
    w.State().m_aFixedMarks = {7990};
    w.pList->SetTopRow(7990);
    const uint64_t nKeep = w.Doc().GetDataOffset() + 10u * static_cast<uint64_t>(w.Doc().GetRecordSize());
    QCOMPARE(::truncate(strPath.c_str(), static_cast<off_t>(nKeep)), 0);
    const QString strReader = QString("An attempt was made to read past the end of '%1'.").arg(QString::fromStdString(strPath));

    // The list's one-second timer looks for the locked cursor's record: one
    // message, not one a second, and the rows in memory are still drawn.
    {
      CModalAnswerer ticks;
      ticks.ThenClick("OK");
      QTest::qWait(2300);
      // The window's growth check is the first to meet the cut: its message, once.
      QCOMPARE(ticks.Texts().size(), qsizetype(1));
      QVERIFY2(ticks.Texts()[0].startsWith(QString("The file '%1' became shorter").arg(QString::fromStdString(strPath))),
               qPrintable(ticks.Texts()[0]));
      QVERIFY(ticks.Errors().isEmpty());
      QCOMPARE(w.Cell(7995, 1), QString("7996"));
    }

    // Each command that reads: the message once per command, the window stays
    // (a refresh meets the failure in the key's mark cells, the graph and the list).
    for (unsigned nId : {ID_GOTO_CURSOR1, ID_ADD_FIXED_MARK, ID_FILE_INFORMATION, ID_REFRESH}) {
      CModalAnswerer answers;
      answers.ThenClick("OK");
      QVERIFY(w.pFrame->OnCommand(nId));
      QVERIFY2(answers.Texts() == QStringList{strReader}, qPrintable(QString::number(nId) + ": " + answers.Texts().join('|')));
      QVERIFY2(answers.Errors().isEmpty(), qPrintable(QString::number(nId) + ": " + answers.Errors().join('|')));
      QVERIFY(w.pFrame->isVisible());
    }
    QCOMPARE(w.State().m_aFixedMarks, std::vector<int>{7990});

    // A new window on the broken file opens too, with the message.
    CModalAnswerer answers;
    answers.ThenClick("OK");
    CHistFrame second(w.pFrame->GetDocumentPtr());
    second.show();
    second.InitialUpdate();
    QCOMPARE(answers.Texts(), QStringList{strReader});
    QVERIFY(second.isVisible());
  }

  void cursorCommandsAfterARebuild() {
    sHistWindow w(Path("day.zk"));
    w.PlaceCursor(2, 50);
    // A rebuild puts the cursors back at the axis ends, still shown; the keys
    // and "Add a Fixed Mark" still act on the active one.
    for (unsigned nId : {ID_REFRESH, ID_RESOLUTION_100MS, ID_RESOLUTION_1MS}) {
      w.pFrame->OnCommand(nId);
      QVERIFY(w.pGraph->GetControl()->Cursor(2).IsVisible());
      QVERIFY2(w.pGraph->GetActiveCursor() == 2, qPrintable(QString::number(nId)));
    }
    w.pFrame->OnCommand(ID_ADD_FIXED_MARK);
    QCOMPARE(w.State().m_aFixedMarks, std::vector<int>{w.Doc().FindRecordByTime(w.pGraph->GetCursorX(2))});

    // Both cursors at one time give no historical area: the period stays.
    w.PlaceCursor(1, 50);
    w.PlaceCursor(2, 50);
    const double dStart = w.State().m_dHistoryStart, dEnd = w.State().m_dHistoryEnd;
    w.pFrame->OnCommand(ID_HIST_AREA_FROM_CURSORS);
    QCOMPARE(w.State().m_dHistoryStart, dStart);
    QCOMPARE(w.State().m_dHistoryEnd, dEnd);
  }

  void errorMeaningsFitTheirColumn() {
    sHistWindow w(Path("day.zk"));
    w.pFrame->OnCommand(ID_ERRORS_NUMBER_AND_MEANING);
    const QString strCell = w.Cell(2, 5);
    QVERIFY2(strCell.startsWith("Err. 12 (") && strCell.size() > 20, qPrintable(strCell));
    QVERIFY(w.Table()->horizontalHeader()->sectionSize(5) > w.Table()->fontMetrics().horizontalAdvance(strCell));
  }

  void floatingToolBarsLeaveTheListFree() {
    sHistWindow w(Path("day.zk"));
    w.pFrame->OnCommand(ID_CURSORS_TOOLS);
    w.pFrame->OnCommand(ID_SCALES_TOOLS);
    const QRect list(w.pList->mapToGlobal(QPoint(0, 0)), w.pList->size());
    for (QWidget* pBar : {static_cast<QWidget*>(w.pFrame->GetToolBars()->GetCursorsBar()),
                          static_cast<QWidget*>(w.pFrame->GetToolBars()->GetScalesBar())}) {
      QVERIFY(pBar->isVisible());
      QVERIFY2(!pBar->frameGeometry().intersects(list),
               qPrintable(QString("%1 %2,%3 %4x%5 list %6,%7 %8x%9").arg(pBar->objectName()).arg(pBar->frameGeometry().x()).arg(pBar->frameGeometry().y()).arg(pBar->frameGeometry().width()).arg(pBar->frameGeometry().height()).arg(list.x()).arg(list.y()).arg(list.width()).arg(list.height())));
    }
  }

  void millionRowsSelectAllAndJump() {
    sSampleSpec spec;
    spec.nChannels = 1;
    spec.nRecords = 1000000;
    spec.nPeriodMs = 10;
    const std::string strPath = Path("million.zk");
    QVERIFY(CSampleWriter(spec).WriteFile(strPath));
    sHistWindow w(strPath);
    QCOMPARE(w.pList->GetModel()->GetRecordCount(), 1000000);
    QVERIFY2(w.pList->GetModel()->rowCount() <= w.pList->GetPageRows() + 1, "only the rows on screen");
    w.pFrame->OnCommand(ID_EDIT_SELECT_ALL);
    QCOMPARE(w.pList->GetSelection().GetCount(), 1000000);
    QTest::keyClick(w.Table(), Qt::Key_End);
    QCOMPARE(w.pList->GetScrollBar()->maximum(), 1000000 - w.pList->GetPageRows());
    QCOMPARE(w.Cell(999999, 1), QString("1000000"));
    QCOMPARE(w.Cell(999999, 2), QString::fromLatin1(FormatDateTime(w.Doc().GetRecordTime(999999, 0), false, true, 3)));
  }
};

QTEST_MAIN(HistListTest)
#include "HistListTest.moc"
