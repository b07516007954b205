// The download selection dialog on its own: check marks spreading through the
// tree, the check buttons, the marks copied back into the listing, the refusal
// of an empty selection and the folder browser.

#include "InstrumentTestSupport.h"

using namespace zk7;

namespace {

// The marks of the tree, depth first: "+" ticked, "-" not.
QString Marks(QTreeWidget* pTree) {
  QString str;
  for (QTreeWidgetItemIterator it(pTree); *it; ++it) str += (*it)->checkState(0) == Qt::Checked ? '+' : '-';
  return str;
}

// The dialog over files: configs: a.xml, b.xml (unnamed directory);
// internal: run1/{x.zk, y.zk (listed as selected)}, run2/{z.log}.
struct sFilled {
  CDownloadFiles files;
  CDlgFilesSel dlg;
  explicit sFilled(bool bFill = true) {
    if (bFill) {
      files.Categories()[0] = {{"", {{"a.xml", 0, 10}, {"b.xml", 0, 20}}}};
      files.Categories()[2] = {{"run1", {{"x.zk", 0, 1}, {"y.zk", 1, 2}}}, {"run2", {{"z.log", 0, 3}}}};
    }
    dlg.m_pCategories = &files;
    dlg.m_astrCategoryNames = {"Configurations", "Glogal Logs",
                               "internal flash", "USB key", "SD Card"};
  }
};

} // namespace

class DlgFilesSelTest : public QObject {
  Q_OBJECT

private:
  CTempDir m_config{"zk7selconfig"};

private slots:
  // The file dialog keeps its history in the user's configuration: a folder of
  // this run's own, so that no earlier history steers the browser.
  void initTestCase() { qputenv("XDG_CONFIG_HOME", QFile::encodeName(QString::fromStdString(m_config.Path()))); }

  void MarksSpreadDownAndClearUpwardsAndTheCheckButtons() {
    sFilled f;
    f.dlg.FillTree();
    f.dlg.show();
    QTreeWidget* pTree = f.dlg.Tree();
    // Items depth first: configs, a, b, logs, internal, run1, x, y, run2, z, usb, sd.
    // Categories and directories bold, directories open; each file with its size; the image of each
    // kind after its text (0 category, 1 directory, 2 results, 3 log, 4 XML).
    QString strTree = Marks(pTree) + '|';  // y.zk listed as selected
    for (QTreeWidgetItemIterator it(pTree); *it; ++it)
      strTree += (*it)->text(0) + ((*it)->font(0).bold() ? "*" : "") + ((*it)->isExpanded() ? "^" : "") +
                 QString::number((*it)->data(0, CDlgFilesSel::ROLE_IMAGE).toInt()) + '|';
    QCOMPARE(strTree, QStringLiteral("-------+----|Configurations*^0|a.xml (10 bytes)4|b.xml (20 bytes)4|Glogal Logs*0|internal flash*^0|"
                                     "run1*^1|x.zk (1 bytes)2|y.zk (2 bytes)2|run2*^1|z.log (3 bytes)3|USB key*0|SD Card*0|"));
    QTreeWidgetItem* pInternal = pTree->topLevelItem(2);
    QTreeWidgetItem* pX = FindItem(pTree, {"internal flash", "run1", "x.zk (1 bytes)"});
    QVERIFY(pX);
    pTree->setFocus();
    // The Space key on the current item toggles it; the posted propagation spreads it.
    const struct { QTreeWidgetItem* pItem; const char* pszMarks; } steps[] = {
        {pInternal, "----++++++--"},  // the category ticks its branch
        {pX, "-------+++--"},         // clearing a file clears its directory and category, not its siblings
        {pX, "------++++--"},         // ticking it again does not tick its parents
    };
    for (const auto& step : steps) {
      pTree->setCurrentItem(step.pItem);
      QTest::keyClick(pTree, Qt::Key_Space);
      QCoreApplication::sendPostedEvents(&f.dlg);
      QCOMPARE(Marks(pTree), QLatin1String(step.pszMarks));
    }
    QAbstractButton* pAll = FindDialogButton(&f.dlg, "Check All");
    QAbstractButton* pNone = FindDialogButton(&f.dlg, "Check None");
    QVERIFY(pAll && pNone && !pAll->icon().isNull());
    pAll->click();
    QCOMPARE(Marks(pTree), "++++++++++++");
    pNone->click();
    QCOMPARE(Marks(pTree), "------------");
  }

  void MarksReachTheListingBeyondByteSizedIndices() {
    sFilled f(false);
    auto& aDirs = f.files.Categories()[2];
    for (int d = 0; d < 300; ++d) aDirs.push_back({"d" + std::to_string(d), {{"f.zk", 0, d}}});
    // Directory 257 and directory 1 would share one packed byte.
    f.dlg.FillTree();
    QTreeWidgetItem* pFile = FindItem(f.dlg.Tree(), {"internal flash", "d257", "f.zk (257 bytes)"});
    QVERIFY(pFile);
    pFile->setCheckState(0, Qt::Checked);
    f.dlg.SaveChecks();
    QVERIFY(f.files.CountSelected() == 1 && aDirs[257].aFiles[0].bSelected == 1);
  }

  void EmptySelectionIsRefusedAndTheDialogStays() {
    sFilled f;
    f.files.Categories()[2][0].aFiles[1].bSelected = 0;
    f.dlg.m_strDestDir = "/somewhere/ZK7";
    CModalAnswerer user;
    user.ThenClick("Download");
    user.ThenMessage("Vous have not selected any file!");
    user.Then([&user](QWidget* pModal) {
      auto* pDlg = qobject_cast<CDlgFilesSel*>(pModal);
      if (!pDlg) return user.Fail("the dialog stays open");
      pDlg->Tree()->topLevelItem(0)->child(1)->setCheckState(0, Qt::Checked);
      pDlg->DestinationEdit()->setText("/elsewhere");
      user.Click(pDlg, "Download");
    });
    QCOMPARE(f.dlg.exec(), int(QDialog::Accepted));
    QCOMPARE(f.dlg.m_strDestDir, "/elsewhere");
    QVERIFY(f.files.CountSelected() == 1 && f.files.Categories()[0][0].aFiles[1].bSelected == 1);
  }

  void BrowseReplacesTheDestination() {
    CTempDir dir("zk7browse");
    const QString strTemp = QString::fromStdString(dir.Path());
    sFilled f(false);
    // Not made yet: the browser opens at the nearest folder that exists.
    f.dlg.m_strDestDir = strTemp + "/ZK7/127.0.0.1";
    f.dlg.show();
    f.dlg.DestinationEdit()->setText(f.dlg.m_strDestDir);
    QDir(strTemp).mkpath("chosen");
    CModalAnswerer user;
    user.Then([&user, strTemp](QWidget* pModal) {
      auto* pDlg = qobject_cast<QFileDialog*>(pModal);
      if (!pDlg) return user.Fail("expected the folder browser");
      user.Compare(QStringList({pDlg->windowTitle(), pDlg->directory().absolutePath()}),
                   QStringList({"Select destination directory:", QDir(strTemp).absolutePath()}), "title, start folder");
      user.Check(pDlg->fileMode() == QFileDialog::Directory, "folders only");
      user.Check(AnswerFileDialog(pDlg, strTemp + "/chosen"), "file name field");
    });
    QAbstractButton* pBrowse = FindDialogButton(&f.dlg, "...");
    QVERIFY(pBrowse);
    pBrowse->click();
    QCOMPARE(QDir(f.dlg.DestinationEdit()->text()).absolutePath(), QDir(strTemp + "/chosen").absolutePath());
    QCOMPARE(f.dlg.m_strDestDir, f.dlg.DestinationEdit()->text());
  }
};

QTEST_MAIN(DlgFilesSelTest)
#include "DlgFilesSelTest.moc"
