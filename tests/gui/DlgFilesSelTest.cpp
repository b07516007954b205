// The download selection dialog on its own: check marks spreading through the
// tree, the check buttons, the marks copied back into the listing, the refusal
// of an empty selection and the folder browser.
#include <QDir>
#include <QFileDialog>
#include <QLineEdit>
#include <QTreeWidget>
#include <QtTest>

#include "InstrumentTestSupport.h"
#include "workflows/DlgFilesSel.h"

using namespace zk7;

namespace {

// configs: a.xml, b.xml (unnamed directory); internal: run1/{x.zk, y.zk}, run2/{z.log}
void FillListing(CDownloadFiles& files) {
  files.Categories()[0] = {{"", {{"a.xml", 0, 10}, {"b.xml", 0, 20}}}};
  files.Categories()[2] = {{"run1", {{"x.zk", 0, 1}, {"y.zk", 1, 2}}}, {"run2", {{"z.log", 0, 3}}}};
}

QStringList Names() {
  return {QStringLiteral("Configurations"), QStringLiteral("Glogal Logs"), QStringLiteral("internal flash"),
          QStringLiteral("USB key"), QStringLiteral("SD Card")};
}

// The marks of the tree, depth first: "+" ticked, "-" not.
QString Marks(QTreeWidget* pTree) {
  QString str;
  for (QTreeWidgetItemIterator it(pTree); *it; ++it) str += (*it)->checkState(0) == Qt::Checked ? '+' : '-';
  return str;
}

} // namespace

class DlgFilesSelTest : public QObject {
  Q_OBJECT

private slots:
  void initTestCase();
  void cleanupTestCase();
  void MarksSpreadDownAndClearUpwards();
  void CheckAllAndCheckNone();
  void MarksReachTheListingBeyondByteSizedIndices();
  void EmptySelectionIsRefusedAndTheDialogStays();
  void BrowseReplacesTheDestination();

private:
  QString m_strConfig;
};

// The file dialog keeps its history in the user's configuration: a folder of
// this run's own, so that no earlier history steers the browser.
void DlgFilesSelTest::initTestCase() {
  m_strConfig = QString::fromStdString(MakeTempDir("zk7selconfig"));
  qputenv("XDG_CONFIG_HOME", QFile::encodeName(m_strConfig));
}

void DlgFilesSelTest::cleanupTestCase() {
  QDir(m_strConfig).removeRecursively();
}

void DlgFilesSelTest::MarksSpreadDownAndClearUpwards() {
  CDownloadFiles files;
  FillListing(files);
  CDlgFilesSel dlg;
  dlg.m_pCategories = &files;
  dlg.m_astrCategoryNames = Names();
  dlg.FillTree();
  dlg.show();
  QTreeWidget* pTree = dlg.Tree();
  // Items depth first: configs, a, b, logs, internal, run1, x, y, run2, z, usb, sd.
  QCOMPARE(Marks(pTree), QStringLiteral("-------+----"));  // y.zk was listed as selected
  QCOMPARE(pTree->topLevelItem(2)->child(0)->text(0), QStringLiteral("run1"));

  // The Space key on the selected category toggles it; the posted propagation ticks its branch.
  QTreeWidgetItem* pInternal = pTree->topLevelItem(2);
  pTree->setCurrentItem(pInternal);
  pTree->setFocus();
  QTest::keyClick(pTree, Qt::Key_Space);
  QCOMPARE(pInternal->checkState(0), Qt::Checked);
  QCoreApplication::sendPostedEvents(&dlg);
  QCOMPARE(Marks(pTree), QStringLiteral("----++++++--"));

  // Clearing one file clears its directory and category, not its siblings.
  QTreeWidgetItem* pX = pInternal->child(0)->child(0);
  pTree->setCurrentItem(pX);
  QTest::keyClick(pTree, Qt::Key_Space);
  QCoreApplication::sendPostedEvents(&dlg);
  QCOMPARE(Marks(pTree), QStringLiteral("-------+++--"));
  QCOMPARE(pInternal->checkState(0), Qt::Unchecked);
  QCOMPARE(pInternal->child(0)->checkState(0), Qt::Unchecked);
  QCOMPARE(pX->checkState(0), Qt::Unchecked);
  QCOMPARE(pInternal->child(0)->child(1)->checkState(0), Qt::Checked);
  QCOMPARE(pInternal->child(1)->checkState(0), Qt::Checked);

  // Ticking the last file again does not tick its parents.
  pTree->setCurrentItem(pX);
  QTest::keyClick(pTree, Qt::Key_Space);
  QCoreApplication::sendPostedEvents(&dlg);
  QCOMPARE(pX->checkState(0), Qt::Checked);
  QCOMPARE(pInternal->child(0)->checkState(0), Qt::Unchecked);
  QCOMPARE(pInternal->checkState(0), Qt::Unchecked);
}

void DlgFilesSelTest::CheckAllAndCheckNone() {
  CDownloadFiles files;
  FillListing(files);
  CDlgFilesSel dlg;
  dlg.m_pCategories = &files;
  dlg.m_astrCategoryNames = Names();
  dlg.FillTree();
  dlg.show();
  QAbstractButton* pAll = FindDialogButton(&dlg, QStringLiteral("Check All"));
  QAbstractButton* pNone = FindDialogButton(&dlg, QStringLiteral("Check None"));
  QVERIFY(pAll && pNone);
  QVERIFY(!pAll->icon().isNull());
  pAll->click();
  QCOMPARE(Marks(dlg.Tree()), QStringLiteral("++++++++++++"));
  pNone->click();
  QCOMPARE(Marks(dlg.Tree()), QStringLiteral("------------"));
}

void DlgFilesSelTest::MarksReachTheListingBeyondByteSizedIndices() {
  CDownloadFiles files;
  auto& aDirs = files.Categories()[2];
  for (int d = 0; d < 300; ++d) aDirs.push_back({"d" + std::to_string(d), {{"f.zk", 0, d}}});
  // Directory 257 and directory 1 would share one packed byte.
  CDlgFilesSel dlg;
  dlg.m_pCategories = &files;
  dlg.m_astrCategoryNames = Names();
  dlg.FillTree();
  QTreeWidgetItem* pDir = dlg.Tree()->topLevelItem(2)->child(257);
  QCOMPARE(pDir->text(0), QStringLiteral("d257"));
  QCOMPARE(pDir->child(0)->text(0), QStringLiteral("f.zk (257 bytes)"));
  pDir->child(0)->setCheckState(0, Qt::Checked);
  dlg.SaveChecks();
  QCOMPARE(files.CountSelected(), 1);
  QCOMPARE(aDirs[257].aFiles[0].bSelected, 1);
  QCOMPARE(aDirs[1].aFiles[0].bSelected, 0);
}

void DlgFilesSelTest::EmptySelectionIsRefusedAndTheDialogStays() {
  CDownloadFiles files;
  FillListing(files);
  files.Categories()[2][0].aFiles[1].bSelected = 0;
  CDlgFilesSel dlg;
  dlg.m_pCategories = &files;
  dlg.m_astrCategoryNames = Names();
  dlg.m_strDestDir = QStringLiteral("/somewhere/ZK7");
  CModalAnswerer user;
  user.Then([&user](QWidget* pModal) {
    user.Check(qobject_cast<CDlgFilesSel*>(pModal) != nullptr, QStringLiteral("the selection dialog"));
    user.Click(pModal, QStringLiteral("Download"));
  });
  user.ThenMessage(QStringLiteral("Vous have not selected any file!"));
  user.Then([&user](QWidget* pModal) {
    auto* pDlg = qobject_cast<CDlgFilesSel*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the dialog stays open"));
    if (!pDlg) return;
    pDlg->Tree()->topLevelItem(0)->child(1)->setCheckState(0, Qt::Checked);
    pDlg->DestinationEdit()->setText(QStringLiteral("/elsewhere"));
    user.Click(pDlg, QStringLiteral("Download"));
  });
  QCOMPARE(dlg.exec(), int(QDialog::Accepted));
  user.Stop();
  QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
  QCOMPARE(dlg.m_strDestDir, QStringLiteral("/elsewhere"));
  QCOMPARE(files.CountSelected(), 1);
  QCOMPARE(files.Categories()[0][0].aFiles[1].bSelected, 1);
}

void DlgFilesSelTest::BrowseReplacesTheDestination() {
  CTempDir dir("zk7browse");
  const QString strTemp = QString::fromStdString(dir.Path());
  CDownloadFiles files;
  CDlgFilesSel dlg;
  dlg.m_pCategories = &files;
  // Not made yet: the browser opens at the nearest folder that exists.
  dlg.m_strDestDir = strTemp + QStringLiteral("/ZK7/127.0.0.1");
  dlg.show();
  dlg.DestinationEdit()->setText(dlg.m_strDestDir);
  QDir(strTemp).mkpath(QStringLiteral("chosen"));
  CModalAnswerer user;
  user.Then([&user, strTemp](QWidget* pModal) {
    auto* pDlg = qobject_cast<QFileDialog*>(pModal);
    user.Check(pDlg != nullptr, QStringLiteral("the folder browser"));
    if (!pDlg) return;
    user.Compare(pDlg->windowTitle(), QStringLiteral("Select destination directory:"), QStringLiteral("title"));
    user.Compare(int(pDlg->fileMode()), int(QFileDialog::Directory), QStringLiteral("folders only"));
    user.Compare(pDlg->directory().absolutePath(), QDir(strTemp).absolutePath(), QStringLiteral("start folder"));
    user.Check(AnswerFileDialog(pDlg, strTemp + QStringLiteral("/chosen")), QStringLiteral("file name field"));
  });
  QAbstractButton* pBrowse = FindDialogButton(&dlg, QStringLiteral("..."));
  QVERIFY(pBrowse);
  pBrowse->click();
  user.Stop();
  QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
  QCOMPARE(QDir(dlg.DestinationEdit()->text()).absolutePath(), QDir(strTemp + QStringLiteral("/chosen")).absolutePath());
  QCOMPARE(dlg.m_strDestDir, dlg.DestinationEdit()->text());
  QDir(strTemp).removeRecursively();
}

QTEST_MAIN(DlgFilesSelTest)
#include "DlgFilesSelTest.moc"
