// The key pane in a results window: checks spread over the selected rows and
// reach the graph and the list, hidden unchecked channels, the X scale rule,
// colours, copy, context menu, the error display format and the file
// information dialog.

#include "HistWindowTestSupport.h"
#include "history/HistListCommands.h"
#include "history/HistPaneMenu.h"
#include "settings/SettingsRecord.h"

using namespace zk7;

namespace {

QTableWidget* KeyTable(const sHistWindow& w) { return w.pKey->GetTable(); }

void SelectKeyRows(const sHistWindow& w, std::initializer_list<int> aRows) {
  QTableWidget* pTable = KeyTable(w);
  pTable->clearSelection();
  for (int r : aRows)
    pTable->selectionModel()->select(pTable->model()->index(r, 0),
                                     QItemSelectionModel::Select | QItemSelectionModel::Rows);
}

QStringList Column(const sHistWindow& w, int nColumn) {
  QStringList a;
  for (int r = 0; r < KeyTable(w)->rowCount(); ++r) a << KeyTable(w)->item(r, nColumn)->text();
  return a;
}

// Clicks a row's check box as a user does.
void ClickCheck(const sHistWindow& w, int nRow) {
  QTableWidget* pTable = KeyTable(w);
  const QRect rect = pTable->visualItemRect(pTable->item(nRow, 0));
  QStyleOptionViewItem option;
  option.initFrom(pTable->viewport());
  option.rect = rect;
  option.features = QStyleOptionViewItem::HasCheckIndicator | QStyleOptionViewItem::HasDisplay;
  const QRect check = pTable->style()->subElementRect(QStyle::SE_ItemViewItemCheckIndicator, &option, pTable);
  QTest::mouseClick(pTable->viewport(), Qt::LeftButton, Qt::NoModifier, check.center());
}

} // namespace

class HistLegendTest : public QObject {
  Q_OBJECT
  CTempDir m_dir{"zk7-key"};
  std::string Path(const char* pszName) const { return m_dir.Path() + "/" + pszName; }

private slots:
  void initTestCase() {
    SetRegionalSettings(CRegionalSettings::Plain());
    WriteTestResults(Path("five.zk"), 50, NEW_YEAR_2026, 5);
    WriteTestResults(Path("sixteen.zk"), 5, NEW_YEAR_2026, 16);
  }

  // The rules of checks, hidden rows and scales are proven in the core; here
  // the clicks reach them and the graph and the list follow.
  void checksSpreadAndHideUncheckedRows() {
    sHistWindow w(Path("five.zk"));
    QCOMPARE(Column(w, 0), QStringList({"001", "002", "003", "004", "005"}));
    QCOMPARE(Column(w, 3), QStringList(5, "Y1"));
    QCOMPARE(w.Titles().size(), 3 + 5);
    // The check clicked spreads over the selected rows.
    SelectKeyRows(w, {1, 2, 3});
    ClickCheck(w, 2);
    QStringList aChecks;
    for (int r = 0; r < 5; ++r) aChecks << QString::number(KeyTable(w)->item(r, 0)->checkState());
    QCOMPARE(aChecks, QStringList({"2", "0", "0", "0", "2"}));
    QCOMPARE(w.Titles(), QStringList({"M", "N\u00B0", "Hour", "T1 (\u00B0C)", "C5 ()"}));
    CGraphControl& c = w.Control();
    QVERIFY(c.IsPlotShown(0) && !c.IsPlotShown(1) && !c.IsPlotShown(3) && c.IsPlotShown(4));
    // Unchecked rows hidden: a row unchecked then leaves once the click is over; and back.
    sCommandState state;
    QVERIFY(w.pFrame->OnUpdateCommand(ID_HIDE_UNCHECKED_CHANNELS, state) && !state.m_bChecked);
    w.pFrame->OnCommand(ID_HIDE_UNCHECKED_CHANNELS);
    QVERIFY(w.pFrame->OnUpdateCommand(ID_HIDE_UNCHECKED_CHANNELS, state) && state.m_bChecked);
    QCOMPARE(Column(w, 0), QStringList({"001", "005"}));
    SelectKeyRows(w, {});
    ClickCheck(w, 0);
    QCoreApplication::processEvents();
    QCOMPARE(Column(w, 0), QStringList({"005"}));
    w.pFrame->OnCommand(ID_HIDE_UNCHECKED_CHANNELS);
    QCOMPARE(Column(w, 0).size(), 5);
    QCOMPARE(KeyTable(w)->item(0, 0)->checkState(), Qt::Unchecked);
    // The last checked row unchecked: the graph is empty and the list shows every channel.
    SelectKeyRows(w, {0, 4});
    ClickCheck(w, 4);
    QCOMPARE(w.Titles().size(), 3 + 5);
    for (int k = 0; k < 5; ++k) QVERIFY(!c.IsPlotShown(k));
  }

  void scaleButtonsOnTheSelectedRows() {
    sHistWindow w(Path("five.zk"));
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
    QCOMPARE(colour(0), ColourFromRef(GetDisplayColour(DISPLAY_COLOUR_CURVE1)));
    QCOMPARE(colour(15), colour(0));
    QVERIFY(colour(1) != colour(0));
    // A fixed mark's column, and the error format redrawing its cells.
    w.State().m_aFixedMarks = {2};
    w.pKey->Rebuild();
    QCOMPARE(KeyTable(w)->horizontalHeaderItem(4)->text(), QString("1: 00:00:02.000"));
    QCOMPARE(KeyTable(w)->item(2, 4)->text(), QString("Err. 12"));
    w.pFrame->OnCommand(ID_ERRORS_NUMBER_AND_MEANING);
    QVERIFY(KeyTable(w)->item(2, 4)->text().startsWith("Err. 12 ("));
    w.pFrame->OnCommand(ID_ERRORS_NUMBER_ONLY);
    // The copy: the key's text and its picture framed in black.
    QCOMPARE(w.pKey->CopyKey(), 0L);
    const QMimeData* pData = QGuiApplication::clipboard()->mimeData();
    const QByteArray bytes = pData->data("text/plain;charset=ISO-8859-1");
    QVERIFY(bytes.startsWith("001\tT1\t\xB0" "C\tY1\t     21.0\t\r\n002\tN\t\tY1\t        2\t\r\n003\tP\tkW\tY1\tErr. 12\t\r\n"));
    QCOMPARE(bytes.count('\n'), 16);
    const QImage picture = qvariant_cast<QImage>(pData->imageData());
    QVERIFY(!picture.isNull() && picture.pixelColor(0, 0) == QColor(Qt::black));
    QCOMPARE(picture.pixelColor(picture.width() - 1, picture.height() / 2), QColor(Qt::black));
    // The menu is the core's layout.
    std::unique_ptr<QMenu> pMenu = BuildPaneMenu(*w.pFrame, GetKeyContextMenu(), w.pKey);
    QStringList aShown, aLaidOut;
    for (QAction* p : pMenu->actions()) aShown << p->text();
    for (const sMenuItem& item : GetKeyContextMenu()) aLaidOut << QString::fromLatin1(item.m_strText).section('\t', 0, 0);
    QCOMPARE(aShown, aLaidOut);
  }

  void fileInformationDialog() {
    sHistWindow w(Path("five.zk"));
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
  }
};

QTEST_MAIN(HistLegendTest)
#include "HistLegendTest.moc"
