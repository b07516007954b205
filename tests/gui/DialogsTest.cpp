// The question dialogs, the wait dialog and the "Error Codes" dialog in a real QApplication.
#include <QtPrintSupport>

#include "ModalAnswerer.h"
#include "errors/DlgErrCodes.h"
#include "ui/HelpRequest.h"
#include "ui/dialogs/3ButtonsDialog.h"
#include "ui/dialogs/5ButtonsDialog.h"
#include "ui/dialogs/WaitDialog.h"

using namespace zk7;

class DialogsTest : public QObject {
  Q_OBJECT
private slots:
  void threeButtonsCaptionsCheckBoxAndCancel() {
    // Only captioned buttons show, the check box only when asked; Escape gives
    // Cancel (the layout and the answers are the five-button dialog's too).
    C3ButtonsDialog dlg;
    std::tie(dlg.m_strTitle, dlg.m_strMessage, dlg.m_strButton1, dlg.m_strButton2) =
        std::tuple("Replace", "The file exists.", "Replace", "Skip");
    QStringList aSeen;
    CModalAnswerer user;
    user.Then([&](QWidget* pModal) {
      aSeen << pModal->windowTitle() << pModal->findChild<QLabel*>("message")->text() << dlg.GetButton(IDC_BUTTON2)->text()
            << QString::number(dlg.GetButton(IDC_BUTTON3)->isVisible()) << QString::number(dlg.GetCheckBox()->isVisible());
      QTest::keyClick(pModal, Qt::Key_Escape);
    });
    QCOMPARE(dlg.DoModal(), int(IDC_CANCEL));
    QCOMPARE(aSeen, QStringList({"Replace", "The file exists.", "Skip", "0", "0"}));
    // The check box is read with a button, not with the close box.
    for (const bool bButton : {true, false}) {
      C3ButtonsDialog ask;
      std::tie(ask.m_strButton1, ask.m_strButton3, ask.m_bShowCheck, ask.m_strCheck) = std::tuple("One", "Three", true, "For all files");
      user.Then([&](QWidget* pModal) {
        ask.GetCheckBox()->setChecked(true);
        bButton ? ask.GetButton(IDC_BUTTON3)->click() : void(pModal->close());
      });
      QCOMPARE(ask.DoModal(), bButton ? int(IDC_BUTTON3) : int(IDC_CANCEL));
      QCOMPARE(ask.m_bCheck, bButton);
    }
  }

  void fiveButtonsDefaultEnterHelpAndResults() {
    const int aIds[5] = {IDC_BUTTON1, IDC_BUTTON2, IDC_BUTTON3, IDC_BUTTON4, IDC_BUTTON5};
    C5ButtonsDialog dlg;
    std::tie(dlg.m_strMessage, dlg.m_strButton1, dlg.m_strButton2, dlg.m_strButton3, dlg.m_strButton4, dlg.m_strButton5) =
        std::tuple("Replace the file?", "Yes", "Yes to all", "No", "No to all", "Cancel");
    std::tie(dlg.m_nDefaultButton, dlg.m_nHelpId) = std::tuple(IDC_BUTTON2, 4242);
    QWidget* pFocus = nullptr;
    bool bIcon = false;
    CModalAnswerer user;
    // The default button has the focus once the opening is done, and Enter presses it.
    user.Then([&](QWidget* pModal) {
      QCoreApplication::processEvents();
      pFocus = pModal->focusWidget();
      bIcon = !dlg.GetIcon()->pixmap().isNull();
      QTest::keyClick(pFocus ? pFocus : pModal, Qt::Key_Return);
    });
    // F1 asks for the question's help and leaves the question open.
    std::vector<unsigned> aHelp;
    SetHelpHandler([&aHelp](unsigned nContext) { aHelp.push_back(nContext); });
    user.Then([&](QWidget* pModal) {
      QTest::keyClick(pModal, Qt::Key_F1);
      QTest::keyClick(pModal->focusWidget() ? pModal->focusWidget() : pModal, Qt::Key_F1);
      user.Check(pModal->isVisible(), "still asking after F1");
      user.Click(pModal, "No");
    });
    QCOMPARE(dlg.DoModal(), int(IDC_BUTTON2));
    QCOMPARE(dlg.DoModal(), int(IDC_BUTTON3));
    SetHelpHandler(nullptr);
    QVERIFY(aHelp == (std::vector<unsigned>{4242, 4242}) && pFocus == dlg.GetButton(IDC_BUTTON2));
    QVERIFY(dlg.GetButton(IDC_BUTTON2)->isDefault() && !dlg.GetButton(IDC_BUTTON1)->isDefault() && bIcon);
    // Each button gives its id.
    for (int nId : aIds) {
      user.Then([&dlg, nId](QWidget*) { dlg.GetButton(nId)->click(); });
      QCOMPARE(dlg.DoModal(), nId);
    }
  }

  void waitDialogTextsCancelAndOwner() {
    QMainWindow owner;
    auto* pEdit = new QLineEdit(&owner);
    owner.setCentralWidget(pEdit);
    owner.show();
    pEdit->setFocus();
    {
      CWaitDialog dlg;
      QCOMPARE(dlg.Create(&owner), 1);
      QVERIFY(!owner.isEnabled() && dlg.m_bOwnerDisabled && dlg.isEnabled());
      QCOMPARE(dlg.windowTitle() + "|" + dlg.GetPercentText(), QString("Please wait...| 0 %"));
      // The percentage rule is proven in the core; here the bar and its text follow it.
      dlg.SetRange(0, 6);
      dlg.SetPos(3);
      dlg.SetStatusText("Reading records");
      QCOMPARE(dlg.GetPercentText() + "|" + dlg.GetStatusText() + "|" + QString::number(dlg.GetProgressBar()->value()),
               QString("50%|Reading records|3"));
      // Cancel, clicked and pressed, is seen by one check; the close box asks
      // too, and the window stays until its owner closes it.
      QCOMPARE(dlg.CheckCancel(), 0);
      QTest::mouseClick(dlg.GetCancelButton(), Qt::LeftButton);
      QTest::keyClick(&dlg, Qt::Key_Escape);
      QCOMPARE(dlg.CheckCancel(), 1);
      QCOMPARE(dlg.CheckCancel(), 0);
      dlg.close();
      QVERIFY(dlg.isVisible() && dlg.CheckCancel() == 1);
      // Closed: the owner is enabled again, with its focus where it was.
      dlg.DestroyWindow();
      QVERIFY(owner.isEnabled() && !dlg.isVisible() && owner.focusWidget() == pEdit);
    }
    {
      CWaitDialog graph(10006);  // the destructor closes a window still open
      graph.Create(&owner);
    }
    QVERIFY(owner.isEnabled());
    // An owner disabled before stays so: the dialog gives back only what it took.
    owner.setEnabled(false);
    {
      CWaitDialog dlg;
      dlg.Create(&owner);
      QVERIFY(!dlg.m_bOwnerDisabled);
    }
    QVERIFY(!owner.isEnabled());
  }

  void errorCodesLookUpRefusalsAndClosing() {
    CDlgErrCodes dlg;
    dlg.show();
    QCOMPARE(dlg.windowTitle() + "|" + dlg.GetNumberField()->text() + "|" + dlg.GetCloseButton()->text(), QString("Error Codes|0|Fermer"));
    QVERIFY(dlg.GetMeaningField()->toPlainText().isEmpty() && dlg.GetMeaningField()->isReadOnly() && dlg.GetOkButton()->isDefault());
    QStringList aLabels;
    for (QLabel* p : dlg.findChildren<QLabel*>()) aLabels << p->text();
    QVERIFY(aLabels.contains("Indicate the error number for its meaning") && aLabels.contains("Error number:"));
    // The number line, a blank line and the meaning, centred (the catalogue is proven in the core).
    auto lookUp = [&dlg](const QString& strNumber) {
      dlg.GetNumberField()->setText(strNumber);
      dlg.GetOkButton()->click();
      return dlg.GetMeaningField()->toPlainText();
    };
    QVERIFY(lookUp("7") == "Err. 7:\n\nOverload (too high)" && dlg.GetMeaningField()->document()->blockCount() == 3);
    QCOMPARE(dlg.GetMeaningField()->document()->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask, Qt::AlignHCenter);
    // Refused numbers keep the meaning shown and the dialog open.
    CModalAnswerer user;
    user.ThenMessage("Please enter an integer between 0 and 1000.");
    user.ThenMessage("Please enter an integer.");
    QCOMPARE(lookUp("1001"), QString("Err. 7:\n\nOverload (too high)"));
    QCOMPARE(lookUp("12a"), QString("Err. 7:\n\nOverload (too high)"));
    QVERIFY(user.Icons().front() == QMessageBox::Warning && dlg.isVisible());
    // "Fermer" closes; Enter in the field looks the number up and keeps it open, Escape closes.
    CDlgErrCodes modal;
    user.ThenClick("Fermer");
    QCOMPARE(modal.exec(), int(QDialog::Rejected));
    user.Then([&](QWidget*) {
      modal.GetNumberField()->setText("2");
      QTest::keyClick(modal.GetNumberField(), Qt::Key_Return);
      QTest::keyClick(modal.GetNumberField(), Qt::Key_Escape);
    });
    QCOMPARE(modal.exec(), int(QDialog::Rejected));
    QCOMPARE(modal.GetMeaningField()->toPlainText(), QString("Err. 2:\n\nWrong frame CRC"));
  }
};

QTEST_MAIN(DialogsTest)
#include "DialogsTest.moc"
