// The question dialogs and the wait dialog in a real QApplication.
#include <QCheckBox>
#include <QLabel>
#include <QMainWindow>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include "ModalAnswerer.h"
#include "ui/HelpRequest.h"
#include "ui/dialogs/3ButtonsDialog.h"
#include "ui/dialogs/5ButtonsDialog.h"
#include "ui/dialogs/WaitDialog.h"

using namespace zk7;

class DialogsTest : public QObject {
  Q_OBJECT
private slots:
  void threeButtonsShowsOnlyCaptionedButtonsAndEscapeGivesCancel();
  void threeButtonsReadsTheCheckBoxOnlyWithAButton();
  void fiveButtonsFocusesTheDefaultButtonAndEnterPressesIt();
  void fiveButtonsResultsAndIcon();
  void waitDialogPercentages();
  void waitDialogCancelIsSeenByOneCheck();
  void waitDialogGivesTheOwnerBackOnlyWhatItTook();
};

void DialogsTest::threeButtonsShowsOnlyCaptionedButtonsAndEscapeGivesCancel() {
  C3ButtonsDialog dlg;
  dlg.m_strTitle = QStringLiteral("Replace");
  dlg.m_strMessage = QStringLiteral("The file exists.");
  dlg.m_strButton1 = QStringLiteral("Replace");
  dlg.m_strButton2 = QStringLiteral("Skip");
  bool bThirdVisible = true;
  bool bCheckVisible = true;
  QString strMessage;
  CModalAnswerer user;
  user.Then([&](QWidget* pModal) {
    bThirdVisible = dlg.GetButton(IDC_BUTTON3)->isVisible();
    bCheckVisible = dlg.GetCheckBox()->isVisible();
    strMessage = pModal->findChild<QLabel*>(QStringLiteral("message"))->text();
    QTest::keyClick(pModal, Qt::Key_Escape);
  });
  QCOMPARE(dlg.DoModal(), int(IDC_CANCEL));
  QCOMPARE(user.PendingSteps(), 0);
  QVERIFY(!bThirdVisible);
  QVERIFY(!bCheckVisible);
  QCOMPARE(strMessage, QStringLiteral("The file exists."));
  QCOMPARE(dlg.windowTitle(), QStringLiteral("Replace"));
  QCOMPARE(dlg.GetButton(IDC_BUTTON2)->text(), QStringLiteral("Skip"));
}

void DialogsTest::threeButtonsReadsTheCheckBoxOnlyWithAButton() {
  {
    C3ButtonsDialog dlg;
    dlg.m_strButton1 = QStringLiteral("One");
    dlg.m_strButton2 = QStringLiteral("Two");
    dlg.m_strButton3 = QStringLiteral("Three");
    dlg.m_bShowCheck = true;
    dlg.m_strCheck = QStringLiteral("For all files");
    CModalAnswerer user;
    user.Then([&](QWidget*) {
      dlg.GetCheckBox()->setChecked(true);
      dlg.GetButton(IDC_BUTTON3)->click();
    });
    QCOMPARE(dlg.DoModal(), int(IDC_BUTTON3));
    QVERIFY(dlg.m_bCheck);
  }
  {
    C3ButtonsDialog dlg;
    dlg.m_strButton1 = QStringLiteral("One");
    dlg.m_bShowCheck = true;
    dlg.m_strCheck = QStringLiteral("For all files");
    CModalAnswerer user;
    user.Then([&](QWidget* pModal) {
      dlg.GetCheckBox()->setChecked(true);
      pModal->close();  // the close box
    });
    QCOMPARE(dlg.DoModal(), int(IDC_CANCEL));
    QVERIFY(!dlg.m_bCheck);
  }
}

void DialogsTest::fiveButtonsFocusesTheDefaultButtonAndEnterPressesIt() {
  C5ButtonsDialog dlg;
  dlg.m_strMessage = QStringLiteral("Replace the file?");
  dlg.m_strButton1 = QStringLiteral("Yes");
  dlg.m_strButton2 = QStringLiteral("Yes to all");
  dlg.m_strButton3 = QStringLiteral("No");
  dlg.m_strButton4 = QStringLiteral("No to all");
  dlg.m_strButton5 = QStringLiteral("Cancel");
  dlg.m_nDefaultButton = IDC_BUTTON2;
  QWidget* pFocus = nullptr;
  bool bDefault = false;
  CModalAnswerer user;
  user.Then([&](QWidget* pModal) {
    // The focus moves once the opening is done.
    QCoreApplication::processEvents();
    pFocus = pModal->focusWidget();
    bDefault = dlg.GetButton(IDC_BUTTON2)->isDefault();
    QTest::keyClick(pFocus ? pFocus : pModal, Qt::Key_Return);
  });
  // F1 asks for the question's help and leaves the question open.
  std::vector<unsigned> aHelp;
  SetHelpHandler([&aHelp](unsigned nContext) { aHelp.push_back(nContext); });
  dlg.m_nHelpId = 4242;
  user.Then([&](QWidget* pModal) {
    QTest::keyClick(pModal, Qt::Key_F1);
    QTest::keyClick(pModal->focusWidget() ? pModal->focusWidget() : pModal, Qt::Key_F1);
    user.Check(pModal->isVisible(), QStringLiteral("still asking after F1"));
    user.Click(pModal, QStringLiteral("No"));
  });
  QCOMPARE(dlg.DoModal(), int(IDC_BUTTON2));
  const int nSecond = dlg.DoModal();
  SetHelpHandler(nullptr);
  QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
  QCOMPARE(nSecond, int(IDC_BUTTON3));
  QCOMPARE(aHelp, (std::vector<unsigned>{4242, 4242}));
  QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
  QCOMPARE(pFocus, static_cast<QWidget*>(dlg.GetButton(IDC_BUTTON2)));
  QVERIFY(bDefault);
  QVERIFY(!dlg.GetButton(IDC_BUTTON1)->isDefault());
}

void DialogsTest::fiveButtonsResultsAndIcon() {
  const int aIds[5] = {IDC_BUTTON1, IDC_BUTTON2, IDC_BUTTON3, IDC_BUTTON4, IDC_BUTTON5};
  QCOMPARE(aIds[3], 6);
  QCOMPARE(aIds[4], 1010);
  for (int nId : aIds) {
    C5ButtonsDialog dlg;
    dlg.m_strButton1 = QStringLiteral("1");
    dlg.m_strButton2 = QStringLiteral("2");
    dlg.m_strButton3 = QStringLiteral("3");
    dlg.m_strButton4 = QStringLiteral("4");
    dlg.m_strButton5 = QStringLiteral("5");
    bool bIcon = false;
    CModalAnswerer user;
    user.Then([&](QWidget*) {
      bIcon = !dlg.GetIcon()->pixmap().isNull();
      dlg.GetButton(nId)->click();
    });
    QCOMPARE(dlg.DoModal(), nId);
    QVERIFY(bIcon);
  }
  // An empty caption hides its button; Escape cancels.
  C5ButtonsDialog dlg;
  dlg.m_strButton1 = QStringLiteral("Only");
  int nVisible = -1;
  CModalAnswerer user;
  user.Then([&](QWidget* pModal) {
    nVisible = 0;
    for (int nId : aIds)
      nVisible += dlg.GetButton(nId)->isVisible() ? 1 : 0;
    QTest::keyClick(pModal, Qt::Key_Escape);
  });
  QCOMPARE(dlg.DoModal(), int(IDC_CANCEL));
  QCOMPARE(nVisible, 1);
}

void DialogsTest::waitDialogPercentages() {
  QMainWindow owner;
  owner.show();
  CWaitDialog dlg;
  QCOMPARE(dlg.Create(&owner), 1);
  QCOMPARE(dlg.windowTitle(), QStringLiteral("Please wait..."));
  QCOMPARE(dlg.GetPercentText(), QStringLiteral(" 0 %"));
  // The percentage rule is proven in the core; here the bar and its text follow it.
  dlg.SetRange(0, 6);
  dlg.SetPos(3);
  QCOMPARE(dlg.GetPercentText(), QStringLiteral("50%"));
  QCOMPARE(dlg.GetProgressBar()->value(), 3);
  dlg.SetStatusText(QStringLiteral("Reading records"));
  QCOMPARE(dlg.GetStatusText(), QStringLiteral("Reading records"));
  dlg.DestroyWindow();

  CWaitDialog graph(10006);
  graph.Create(&owner);
  QCOMPARE(graph.windowTitle(), QStringLiteral("Preparing graph"));
}

void DialogsTest::waitDialogCancelIsSeenByOneCheck() {
  QMainWindow owner;
  owner.show();
  CWaitDialog dlg;
  dlg.Create(&owner);
  QVERIFY(dlg.isVisible());
  QVERIFY(dlg.GetCancelButton()->isEnabled());
  QCOMPARE(dlg.CheckCancel(), 0);
  QTest::mouseClick(dlg.GetCancelButton(), Qt::LeftButton);
  QTest::keyClick(&dlg, Qt::Key_Escape);
  QCOMPARE(dlg.CheckCancel(), 1);
  QCOMPARE(dlg.CheckCancel(), 0);
  // The close box asks too, and the window stays until its owner closes it.
  dlg.close();
  QVERIFY(dlg.isVisible());
  QCOMPARE(dlg.CheckCancel(), 1);
}

void DialogsTest::waitDialogGivesTheOwnerBackOnlyWhatItTook() {
  QMainWindow owner;
  owner.show();
  {
    CWaitDialog dlg;
    dlg.Create(&owner);
    QVERIFY(!owner.isEnabled());
    QVERIFY(dlg.m_bOwnerDisabled);
    QVERIFY(dlg.isEnabled());
    dlg.DestroyWindow();
    QVERIFY(owner.isEnabled());
    QVERIFY(!dlg.isVisible());
  }
  {
    // The destructor closes a window still open.
    CWaitDialog dlg;
    dlg.Create(&owner);
    QVERIFY(!owner.isEnabled());
  }
  QVERIFY(owner.isEnabled());
  owner.setEnabled(false);
  {
    CWaitDialog dlg;
    dlg.Create(&owner);
    QVERIFY(!dlg.m_bOwnerDisabled);
    dlg.DestroyWindow();
  }
  QVERIFY(!owner.isEnabled());
}

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
