// The record list and the key pane on real results files: columns by the
// file's days and the options, markers, go-to commands, selection by mouse,
// keys and commands, cursors defined from the list, context menus, a file
// growing or failing under the window, a million-row file; the key's checks,
// hidden rows, scales, colours, copy and file information. The texts,
// markers, selection and key rules are proven in the core; here the window's
// commands, mouse and keys reach them.

#include <unistd.h>

#include "HistWindowTestSupport.h"
#include "history/HistListCommands.h"
#include "history/HistPaneMenu.h"
#include "history/CursorsToolBar.h"
#include "history/HistToolBars.h"
#include "history/ScalesToolBar.h"
#include <fstream>
#include "settings/SettingsRecord.h"

using namespace zk7;

namespace {

QPoint RowPoint(const sHistWindow& w, int nRecord) {
  return w.Table()->visualRect(w.pList->GetModel()->index(nRecord - w.pList->GetModel()->GetTop(), 1)).center();
}

qint64 MarkerKey(const sHistWindow& w, int nRecord) {
  return w.pList->GetModel()->index(nRecord - w.pList->GetModel()->GetTop(), 0).data(Qt::DecorationRole).value<QPixmap>().cacheKey();
}

qint64 Pixmap(eRowMarker e) { return CHistListModel::MarkerPixmap(e).cacheKey(); }

// The key reaches the dialog from its own event loop, so that the message box
// it may open is answered by the next step.
void TypeAndReturn(QWidget* pModal, const QString& strText) {
  auto* pEdit = pModal->findChild<QLineEdit*>();
  pEdit->setText(strText);
  QMetaObject::invokeMethod(pEdit, [pEdit] { QTest::keyClick(pEdit, Qt::Key_Return); }, Qt::QueuedConnection);
}

std::vector<sRowBlock> Blocks(const sHistWindow& w) { return w.pList->GetSelection().GetBlocks(); }

// A pane's menu: its items by text once the built menu is checked to be the core's layout.
QMap<QString, QAction*> PaneMenu(const sHistWindow& w, const std::vector<sMenuItem>& aLayout, QWidget* pPane,
                                 std::unique_ptr<QMenu>& pMenu) {
  pMenu = BuildPaneMenu(*w.pFrame, aLayout, pPane);
  QStringList aShown, aLaidOut;
  QMap<QString, QAction*> items;
  for (QAction* p : pMenu->actions()) aShown << p->text(), items[p->text()] = p;
  for (const sMenuItem& item : aLayout) aLaidOut << QString::fromLatin1(item.m_strText).section('\t', 0, 0);
  return aShown == aLaidOut ? items : QMap<QString, QAction*>();
}

QTableWidget* KeyTable(const sHistWindow& w) { return w.pKey->GetTable(); }

void SelectKeyRows(const sHistWindow& w, std::initializer_list<int> aRows) {
  KeyTable(w)->clearSelection();
  for (int r : aRows)
    KeyTable(w)->selectionModel()->select(KeyTable(w)->model()->index(r, 0), QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QStringList Column(const sHistWindow& w, int nColumn) {
  QStringList a;
  for (int r = 0; r < KeyTable(w)->rowCount(); ++r) a << KeyTable(w)->item(r, nColumn)->text();
  return a;
}

// Clicks a row's check box as a user does.
void ClickCheck(const sHistWindow& w, int nRow) {
  QTableWidget* pTable = KeyTable(w);
  QStyleOptionViewItem option;
  option.initFrom(pTable->viewport());
  option.rect = pTable->visualItemRect(pTable->item(nRow, 0));
  option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
  const QRect check = pTable->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, pTable);
  QTest::mouseClick(pTable->viewport(), Qt::LeftButton, Qt::NoModifier, check.center());
}

} // namespace

class HistListTest : public QObject {
  Q_OBJECT
  CTempDir m_dir{"zk7-list"};
  std::string Path(const char* pszName) const { return m_dir.Path() + "/" + pszName; }

private slots:
  void initTestCase() {
    SetRegionalSettings(CRegionalSettings::Plain());
    WriteTestResults(Path("day.zk"), 200);
    WriteTestResults(Path("midnight.zk"), 20, NEW_YEAR_2026 - 5);
    WriteTestResults(Path("five.zk"), 50, NEW_YEAR_2026, 5);
    WriteTestResults(Path("sixteen.zk"), 5, NEW_YEAR_2026, 16);
  }

  void columnsFollowTheFileDaysAndTheOptionsMenuAndBars() {
    sHistWindow day(Path("day.zk"));
    QCOMPARE(day.Titles(), QStringList({"M", "N\u00B0", "Hour", "T1 (\u00B0C)", "N ()", "P (kW)"}));
    QCOMPARE(QStringList({day.Cell(3, 0), day.Cell(3, 1), day.Cell(3, 2), day.Cell(3, 3), day.Cell(2, 5)}),
             QStringList({"", "4", "00:00:03.000", "     21.5", "Err. 12"}));
    QVERIFY(QFontInfo(day.Table()->font()).fixedPitch());
    QCOMPARE(day.pList->GetModel()->data(day.pList->GetModel()->index(0, 3), Qt::TextAlignmentRole).toInt(),
             int(Qt::AlignRight | Qt::AlignVCenter));
    // The ms offset columns; a rebuild clears the selection.
    day.pList->ClickRecord(4, false);
    day.pFrame->OnCommand(ID_MS_OFFSET_COLUMNS);
    QCOMPARE(day.Titles(), QStringList({"M", "N\u00B0", "Hour", "ms", "T1 (\u00B0C)", "ms", "N ()", "ms", "P (kW)"}));
    QVERIFY(!day.pList->HasSelection());
    // The displayed channels; none displayed: every channel.
    day.pList->SetDisplayedChannels({2});
    QCOMPARE(day.Titles(), QStringList({"M", "N\u00B0", "Hour", "ms", "P (kW)"}));
    day.pFrame->OnCommand(ID_MS_OFFSET_COLUMNS);
    day.pList->SetDisplayedChannels({});
    QVERIFY(day.Titles().size() == 6 && day.pList->GetDisplayedChannels() == (std::vector<int>{0, 1, 2}));
    // A file over midnight shows the date, until the time format command; then the resolution.
    sHistWindow midnight(Path("midnight.zk"));
    QCOMPARE(midnight.Titles()[2] + "|" + midnight.Cell(4, 2) + "|" + midnight.Cell(5, 2),
             QString("Date|12/31/2025 23:59:59.000|01/01/2026 00:00:00.000"));
    midnight.pFrame->OnCommand(ID_TIME_FORMAT_TIME);
    QCOMPARE(midnight.Titles()[2] + "|" + midnight.Cell(5, 2), QString("Hour|00:00:00.000"));
    midnight.pFrame->OnCommand(ID_RESOLUTION_1S);
    QCOMPARE(midnight.Cell(5, 2), QString("00:00:00"));
    // The meanings of errors, and their column wide enough for them.
    day.pFrame->OnCommand(ID_ERRORS_NUMBER_AND_MEANING);
    const QString strCell = day.Cell(2, 5);
    QVERIFY2(strCell.startsWith("Err. 12 (") && strCell.size() > 20, qPrintable(strCell));
    QVERIFY(day.Table()->horizontalHeader()->sectionSize(5) > day.Table()->fontMetrics().horizontalAdvance(strCell));
    // The menu is the core's layout, with the window's states; an item acts.
    std::unique_ptr<QMenu> pMenu;
    QMap<QString, QAction*> items = PaneMenu(day, GetListContextMenu(), day.pList, pMenu);
    QVERIFY(items.contains("Select &All") && !items["Select List between Cursors 1 and 2"]->isEnabled() &&
            !items["&Export selected lines..."]->isEnabled() && !items["Display ms time offset from date/time column"]->isChecked());
    items["Select &All"]->trigger();
    QCOMPARE(Blocks(day), (std::vector<sRowBlock>{{0, 199}}));
    // The floating tool bars leave the list free.
    day.pFrame->OnCommand(ID_CURSORS_TOOLS);
    day.pFrame->OnCommand(ID_SCALES_TOOLS);
    const QRect list(day.pList->mapToGlobal(QPoint(0, 0)), day.pList->size());
    for (QWidget* pBar : {static_cast<QWidget*>(day.pFrame->GetToolBars()->GetCursorsBar()),
                          static_cast<QWidget*>(day.pFrame->GetToolBars()->GetScalesBar())})
      QVERIFY2(pBar->isVisible() && !pBar->frameGeometry().intersects(list), qPrintable(pBar->objectName()));
  }

  void selectionByCursorsHistoricalAreaMouseAndKeysThenMarkers() {
    sHistWindow w(Path("day.zk"));
    QCOMPARE(w.pList->SelectBetweenCursors(true), -1);
    w.PlaceCursor(1, 150);
    w.PlaceCursor(2, 120);
    w.pList->SetTopRow(0);
    w.pList->ClickRecord(3, false);
    QCOMPARE(w.pList->SelectBetweenCursors(true), 120);
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{120, 150}}));
    // Scrolled just enough to show row 120; the focus ends on cursor 2's record.
    QCOMPARE(std::pair(w.pList->GetTopRow(), w.pList->GetSelection().GetFocus()), std::pair(120 - w.pList->GetPageRows() + 1, 120));
    // Without clearing, an earlier selection stays.
    w.pList->ClickRecord(3, false);
    w.pList->SelectBetweenCursors(false);
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{3, 3}, {120, 150}}));
    // The historical area adds its block.
    w.State().m_dHistoryStart = w.Doc().GetRecordTime(20, 0);
    w.State().m_dHistoryEnd = w.Doc().GetRecordTime(30, 0) + 0.1 / 86400;
    w.pFrame->OnCommand(ID_SELECT_HIST_AREA_IN_LIST);
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{3, 3}, {20, 30}, {120, 150}}));
    // Click, Ctrl+click ignored, Shift+click extends, and the view shows the same rows.
    w.pList->SetTopRow(0);
    QWidget* pViewport = w.Table()->viewport();
    QTest::mouseClick(pViewport, Qt::LeftButton, Qt::NoModifier, RowPoint(w, 2));
    QVERIFY(Blocks(w) == (std::vector<sRowBlock>{{2, 2}}) && w.pList->HasSelectionMark());
    QTest::mouseClick(pViewport, Qt::LeftButton, Qt::ControlModifier, RowPoint(w, 6));
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{2, 2}}));
    QTest::mouseClick(pViewport, Qt::LeftButton, Qt::ShiftModifier, RowPoint(w, 6));
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{2, 6}}));
    QCOMPARE(w.Table()->selectionModel()->selectedRows().size(), 5);
    QTest::keyClick(w.Table(), Qt::Key_End);
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{199, 199}}));
    QTest::keyClick(w.Table(), Qt::Key_Up, Qt::ShiftModifier);
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{198, 199}}));
    QTest::keyClick(w.Table(), Qt::Key_Down, Qt::ShiftModifier);
    QTest::keyClick(w.Table(), Qt::Key_F2);  // not a list key: nothing moves
    QCOMPARE(Blocks(w), (std::vector<sRowBlock>{{199, 199}}));
    const int nLastTop = 200 - w.pList->GetPageRows();
    QCOMPARE(std::pair(w.pList->GetTopRow(), w.pList->GetScrollBar()->value()), std::pair(nLastTop, nLastTop));
    // The markers of cursors and fixed marks.
    w.pList->SetTopRow(0);
    w.State().m_aFixedMarks = {9, 7, 9};
    w.PlaceCursor(1, 7);
    w.PlaceCursor(2, 5);
    QCOMPARE((std::vector{MarkerKey(w, 7), MarkerKey(w, 5), MarkerKey(w, 9), MarkerKey(w, 8)}),
             (std::vector{Pixmap(MARKER_CURSOR1), Pixmap(MARKER_CURSOR2), Pixmap(MARKER_FIXED), Pixmap(MARKER_NONE)}));
    QCOMPARE(w.Cell(7, 0) + "|" + w.Cell(9, 0), QString("2|1"));  // the mark numbers, also beside a cursor
    w.PlaceCursor(1, 5);
    QCOMPARE(MarkerKey(w, 5), Pixmap(MARKER_BOTH));
    QVERIFY(CHistListModel::MarkerPixmap(MARKER_CURSOR1).toImage() != CHistListModel::MarkerPixmap(MARKER_CURSOR2).toImage());
    // A cursor shown but not locked gives no marker, yet Go to Cursor finds it.
    w.PlaceCursor(2, 60, false);
    QCOMPARE(w.pList->GetRowText().GetRowMarker(60), int(MARKER_NONE));
    QVERIFY(w.pList->GoToCursor(2, true, false) == 60 && w.pList->GetSelection().GetFocus() == 60);
    QVERIFY(w.pList->GetTopRow() <= 60 && 60 < w.pList->GetTopRow() + w.pList->GetPageRows());
  }

  void goToDateAndCannotFindRecord() {
    sHistWindow w(Path("day.zk"));
    w.State().m_dHistoryEnd = w.Doc().GetRecordTime(150, 0);
    QString strShown;
    CModalAnswerer answers;
    answers.Then([&](QWidget* pModal) {
      strShown = pModal->windowTitle() + "|" + pModal->findChild<QLineEdit*>()->text();
      TypeAndReturn(pModal, "xx");
    });
    answers.ThenClick("OK");  // "Wrong date format"; the dialog stays open
    answers.Then([](QWidget* pModal) { TypeAndReturn(pModal, "01/01/2026 00:00:30.4"); });
    w.pFrame->OnCommand(ID_GOTO_DATE);
    QCOMPARE(strShown + "|" + answers.Texts().value(0), QString("Enter date|01/01/2026 00:02:30.0|Wrong date format"));
    QVERIFY2(w.pList->GetSelection().GetFocus() == 30 && !w.pList->HasSelection(), "go to does not select");
    QVERIFY(w.pList->GetTopRow() <= 30 && 30 < w.pList->GetTopRow() + w.pList->GetPageRows());
    // Cursor 2 hidden: the command says so and leaves the list alone.
    answers.ThenMessage("Cannot find Record");
    w.pFrame->OnCommand(ID_GOTO_CURSOR2);
    QVERIFY(answers.Icons().at(1) == QMessageBox::Information && w.pList->GetSelection().GetFocus() == 30);
  }

  void cursorsFromTheListAndAfterARebuild() {
    sHistWindow w(Path("day.zk"));
    // Both cursors at one time give no historical area: the period stays.
    w.PlaceCursor(1, 50);
    w.PlaceCursor(2, 50);
    const double dStart = w.State().m_dHistoryStart, dEnd = w.State().m_dHistoryEnd;
    w.pFrame->OnCommand(ID_HIST_AREA_FROM_CURSORS);
    QCOMPARE(w.Period(), std::pair(dStart, dEnd));
    QVERIFY2(!w.Enabled(ID_CURSOR1_FROM_LIST), "no selection mark yet");
    w.pList->SetDisplayedChannels({1, 2});
    w.pList->ClickRecord(12, false);
    QVERIFY(w.Enabled(ID_CURSOR1_FROM_LIST));
    w.State().m_aCursors[1].m_bShown = false;  // a hidden cursor is shown by the command
    w.pFrame->OnCommand(ID_CURSOR2_FROM_LIST);
    const sCursorState& cursor = w.State().m_aCursors[1];
    QVERIFY(cursor.m_bShown && cursor.m_bLocked);
    w.pList->RefreshMarkers();
    // Cursor 2, active, on record 12, locked to the first displayed channel.
    QCOMPARE(std::tuple(w.pGraph->GetActiveCursor(), w.Doc().FindRecordByTime(w.pGraph->GetCursorX(2)),
                        w.State().m_aCursorChannels.at(size_t(cursor.m_nChannelChoice)), w.pList->GetRowText().GetRowMarker(12)),
             std::tuple(2, 12, 1, int(MARKER_CURSOR2)));
    // A rebuild puts the cursors back at the axis ends, still shown; "Add a
    // Fixed Mark" still acts on the active one.
    for (unsigned nId : {ID_REFRESH, ID_RESOLUTION_100MS, ID_RESOLUTION_1MS}) {
      w.pFrame->OnCommand(nId);
      QVERIFY2(w.Control().Cursor(2).IsVisible() && w.pGraph->GetActiveCursor() == 2, qPrintable(QString::number(nId)));
    }
    w.pFrame->OnCommand(ID_ADD_FIXED_MARK);
    QCOMPARE(w.State().m_aFixedMarks, std::vector<int>{w.Doc().FindRecordByTime(w.pGraph->GetCursorX(2))});
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
    {
      // The growth check meets the cut first: its message once, not once a
      // second; the rows in memory are still drawn.
      CModalAnswerer ticks;
      ticks.ThenClick("OK");
      QTRY_COMPARE(ticks.Texts().size(), qsizetype(1));
      QTest::qWait(1100);
      QCOMPARE(w.pFrame->CheckGrowth(), 0);
      QVERIFY2(ticks.Texts()[0].startsWith(QString("The file '%1' became shorter").arg(strPath.c_str())), qPrintable(ticks.Texts()[0]));
      QCOMPARE(w.Cell(7995, 1), QString("7996"));
    }
    // Each command that reads: the message once per command, the window stays
    // (a refresh meets the failure in the key's mark cells, the graph and the list).
    for (unsigned nId : {ID_GOTO_CURSOR1, ID_ADD_FIXED_MARK, ID_FILE_INFORMATION, ID_REFRESH}) {
      const sCaseTrace trace{QString::number(nId)};
      CModalAnswerer answers;
      answers.ThenMessage(strReader);
      QVERIFY(w.pFrame->OnCommand(nId) && w.pFrame->isVisible());
    }
    QCOMPARE(w.State().m_aFixedMarks, std::vector<int>{7990});
    // A new window on the broken file opens too, with the message.
    CModalAnswerer answers;
    answers.ThenMessage(strReader);
    CHistFrame second(w.pFrame->GetDocumentPtr());
    second.show();
    second.InitialUpdate();
    QVERIFY(second.isVisible());
  }

  void listFollowsTheFileAndFollowKeepsTheEndInView() {
    const std::string strFull = Path("full.zk"), strPath = Path("growing.zk");
    WriteTestResults(strFull, 400);
    const std::vector<uint8_t> aFull = ReadFileBytes(strFull);
    uint32_t nDataOffset = 0;
    std::memcpy(&nDataOffset, aFull.data() + 44, 4);
    // The file grows to its first nRecords records, and nExtra bytes of the next.
    size_t nWritten = 0;
    auto growTo = [&](int nRecords, size_t nExtra = 0) {
      const size_t nTo = nDataOffset + static_cast<size_t>(nRecords) * (8 + 8 * 3) + nExtra;
      std::ofstream(strPath, std::ios::binary | std::ios::app)
          .write(reinterpret_cast<const char*>(aFull.data() + nWritten), std::streamsize(nTo - nWritten));
      nWritten = nTo;
    };
    growTo(5);
    sHistWindow w(strPath);
    auto* pModel = w.pList->GetModel();
    QCOMPARE(pModel->GetRecordCount(), 5);
    // Whole records appear; a record still being written does not; the view stays.
    growTo(100, 7);
    QTRY_COMPARE_WITH_TIMEOUT(pModel->GetRecordCount(), 100, 5000);
    QVERIFY(w.Doc().GetRecordCount() == 100 && w.pList->GetTopRow() == 0 && !w.pFrame->IsFollowing());
    // Follow: the last page of the list, and a period of the same length ending at the last record.
    const double dLength = w.State().m_dHistoryEnd - w.State().m_dHistoryStart;
    QVERIFY(w.pFrame->OnCommand(ID_FOLLOW) && w.pFrame->IsFollowing());
    growTo(200);
    QTRY_COMPARE_WITH_TIMEOUT(pModel->GetRecordCount(), 200, 5000);
    QCOMPARE(w.pList->GetTopRow(), 200 - w.pList->GetPageRows());
    QCOMPARE(w.State().m_dHistoryEnd, w.Doc().GetRecordTime(199, 0));
    QVERIFY(std::abs((w.State().m_dHistoryEnd - w.State().m_dHistoryStart) - dLength) < 1e-9 && w.pFrame->IsFollowing());
    // Scrolling away pauses following: the next records leave the view alone.
    w.pList->SetTopRow(10);
    growTo(300);
    QTRY_COMPARE_WITH_TIMEOUT(pModel->GetRecordCount(), 300, 5000);
    QVERIFY(!w.pFrame->IsFollowing() && w.pList->GetTopRow() == 10);
    sCommandState state;
    QVERIFY(w.pFrame->OnUpdateCommand(ID_FOLLOW, state) && state.m_bEnabled && !state.m_bChecked);
  }

  // The rules of checks, hidden rows and scales are proven in the core; here
  // the clicks reach them and the graph and the list follow.
  void checksSpreadAndHideUncheckedRows() {
    sHistWindow w(Path("five.zk"));
    QCOMPARE(Column(w, 0) + Column(w, 3), QStringList({"001", "002", "003", "004", "005"}) + QStringList(5, "Y1"));
    QCOMPARE(w.Titles().size(), 3 + 5);
    // The check clicked spreads over the selected rows.
    SelectKeyRows(w, {1, 2, 3});
    ClickCheck(w, 2);
    QString strChecks;
    for (int r = 0; r < 5; ++r) strChecks += QString::number(KeyTable(w)->item(r, 0)->checkState());
    QCOMPARE(strChecks, QString("20002"));
    QCOMPARE(w.Titles(), QStringList({"M", "N\u00B0", "Hour", "T1 (\u00B0C)", "C5 ()"}));
    CGraphControl& c = w.Control();
    QVERIFY(c.IsPlotShown(0) && !c.IsPlotShown(1) && !c.IsPlotShown(3) && c.IsPlotShown(4));
    // Unchecked rows hidden: a row unchecked then leaves once the click is over; and back.
    sCommandState state;
    w.pFrame->OnCommand(ID_HIDE_UNCHECKED_CHANNELS);
    QVERIFY(w.pFrame->OnUpdateCommand(ID_HIDE_UNCHECKED_CHANNELS, state) && state.m_bChecked);
    QCOMPARE(Column(w, 0), QStringList({"001", "005"}));
    SelectKeyRows(w, {});
    ClickCheck(w, 0);
    QCoreApplication::processEvents();
    QCOMPARE(Column(w, 0), QStringList({"005"}));
    w.pFrame->OnCommand(ID_HIDE_UNCHECKED_CHANNELS);
    QVERIFY(Column(w, 0).size() == 5 && KeyTable(w)->item(0, 0)->checkState() == Qt::Unchecked);
    // The last checked row unchecked: the graph is empty and the list shows every channel.
    SelectKeyRows(w, {0, 4});
    ClickCheck(w, 4);
    QCOMPARE(w.Titles().size(), 3 + 5);
    for (int k = 0; k < 5; ++k) QVERIFY(!c.IsPlotShown(k));
  }

  void fileInformationAndScaleButtonsOnTheSelectedRows() {
    sHistWindow w(Path("five.zk"));
    // The file information dialog.
    CModalAnswerer answers;
    QStringList aValues;
    answers.Then([&](QWidget* pModal) {
      aValues << pModal->windowTitle();
      for (const char* psz : {"Configuration name:", "Date and time of first record in this file:", "Recorded duration:",
                              "Cycles count:", "Channels count:"})
        if (auto* pEdit = pModal->findChild<QLineEdit*>(psz)) aValues << pEdit->text();
      answers.Click(pModal, "OK");
    });
    w.pFrame->OnCommand(ID_FILE_INFORMATION);
    const sResultsFileInfo info = w.Doc().GetFileInformation();
    QCOMPARE(aValues, QStringList({"Informations about fle 'five.zk'", QString::fromLatin1(info.strConfigName),
                                   "01/01/2026 00:00:00.000", QString::fromLatin1(info.strDuration), "50", "5"}));
    SelectKeyRows(w, {4});
    w.pKey->GetScaleButton(0)->click();
    SelectKeyRows(w, {1, 3});
    w.pKey->GetScaleButton(2)->click();
    QCOMPARE(Column(w, 3), QStringList({"Y1", "Y2", "Y1", "Y2", "X"}));
    w.pKey->GetScaleButton(0)->click();
    QCOMPARE(Column(w, 3), QStringList({"Y1", "X", "Y1", "Y2", "Y1"}));
    QCOMPARE(w.pGraph->GetXChannel(), 1);
  }

  void coloursMarksErrorsCopyAndMenu() {
    sHistWindow w(Path("sixteen.zk"));
    auto colour = [&](int r) { return KeyTable(w)->item(r, 0)->icon().pixmap(16, 16).toImage().pixelColor(8, 8); };
    QVERIFY(colour(0) == ColourFromRef(GetDisplayColour(DISPLAY_COLOUR_CURVE1)) && colour(1) != colour(0));
    // A fixed mark's column, and the error format redrawing its cells.
    w.State().m_aFixedMarks = {2};
    w.pKey->Rebuild();
    QCOMPARE(KeyTable(w)->item(2, 4)->text(), QString("Err. 12"));
    w.pFrame->OnCommand(ID_ERRORS_NUMBER_AND_MEANING);
    QVERIFY(KeyTable(w)->item(2, 4)->text().startsWith("Err. 12 ("));
    w.pFrame->OnCommand(ID_ERRORS_NUMBER_ONLY);
    // The copy: the key's text and its picture framed in black.
    QCOMPARE(w.pKey->CopyKey(), 0L);
    const QMimeData* pData = QGuiApplication::clipboard()->mimeData();
    const QByteArray bytes = pData->data("text/plain;charset=ISO-8859-1");
    QVERIFY(bytes.startsWith("001\tT1\t\xB0" "C\tY1\t     21.0\t\r\n002\tN\t\tY1\t        2\t\r\n003\tP\tkW\tY1\tErr. 12\t\r\n") &&
            bytes.count('\n') == 16);
    const QImage picture = qvariant_cast<QImage>(pData->imageData());
    QVERIFY(!picture.isNull() && picture.pixelColor(0, 0) == QColor(Qt::black) &&
            picture.pixelColor(picture.width() - 1, picture.height() / 2) == QColor(Qt::black));
    // The menu is the core's layout.
    std::unique_ptr<QMenu> pMenu;
    QVERIFY(PaneMenu(w, GetKeyContextMenu(), w.pKey, pMenu).contains("Do not display unchecked channels"));
  }

};

QTEST_MAIN(HistListTest)
#include "HistListTest.moc"
