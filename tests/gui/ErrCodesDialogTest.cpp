// The "Error Codes" dialog: lookups, the field's validation and closing.
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTest>
#include <QTextBlock>
#include <QTextDocument>

#include "ModalAnswerer.h"
#include "errors/DlgErrCodes.h"

using namespace zk7;

class ErrCodesDialogTest : public QObject {
  Q_OBJECT
private slots:
  void layoutTexts();
  void lookUpShowsTheNumberLineABlankLineAndTheMeaning();
  void refusedNumbersKeepTheMeaning();
  void fermerAndEscapeClose();

private:
  static QString LookUp(CDlgErrCodes& dlg, const QString& strNumber) {
    dlg.GetNumberField()->setText(strNumber);
    dlg.GetOkButton()->click();
    return dlg.GetMeaningField()->toPlainText();
  }
};

void ErrCodesDialogTest::layoutTexts() {
  CDlgErrCodes dlg;
  dlg.show();
  QCOMPARE(dlg.windowTitle(), QStringLiteral("Error Codes"));
  QCOMPARE(dlg.GetNumberField()->text(), QStringLiteral("0"));
  QVERIFY(dlg.GetMeaningField()->toPlainText().isEmpty());
  QVERIFY(dlg.GetMeaningField()->isReadOnly());
  QVERIFY(dlg.GetOkButton()->isDefault());
  QCOMPARE(dlg.GetCloseButton()->text(), QStringLiteral("Fermer"));
  QStringList aLabels;
  for (QLabel* p : dlg.findChildren<QLabel*>())
    aLabels << p->text();
  QVERIFY(aLabels.contains(QStringLiteral("Indicate the error number for its meaning")));
  QVERIFY(aLabels.contains(QStringLiteral("Error number:")));
}

void ErrCodesDialogTest::lookUpShowsTheNumberLineABlankLineAndTheMeaning() {
  CDlgErrCodes dlg;
  dlg.show();
  QCOMPARE(LookUp(dlg, QStringLiteral("0")), QStringLiteral("Err. 0:\n\nOK"));
  QCOMPARE(dlg.GetMeaningField()->document()->blockCount(), 3);
  // The catalogue's texts and boundaries are proven in the core.
  QCOMPARE(LookUp(dlg, QStringLiteral("7")), QStringLiteral("Err. 7:\n\nOverload (too high)"));
  // The dialog stays open for the next number.
  QVERIFY(dlg.isVisible());
  // The meaning is centred.
  QCOMPARE(dlg.GetMeaningField()->document()->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
           Qt::AlignHCenter);
}

void ErrCodesDialogTest::refusedNumbersKeepTheMeaning() {
  CDlgErrCodes dlg;
  dlg.show();
  LookUp(dlg, QStringLiteral("7"));
  CModalAnswerer user;
  user.ThenClick(QStringLiteral("OK"));
  user.ThenClick(QStringLiteral("OK"));
  // Which texts are refused, and with which message, is proven in the core.
  QCOMPARE(LookUp(dlg, QStringLiteral("1001")), QStringLiteral("Err. 7:\n\nOverload (too high)"));
  QCOMPARE(LookUp(dlg, QStringLiteral("12a")), QStringLiteral("Err. 7:\n\nOverload (too high)"));
  QVERIFY2(user.AllAnswered(), qPrintable(user.Report()));
  QCOMPARE(user.Texts(), (QStringList{QStringLiteral("Please enter an integer between 0 and 1000."),
                                      QStringLiteral("Please enter an integer.")}));
  QCOMPARE(user.Icons().front(), int(QMessageBox::Warning));
  QVERIFY(dlg.isVisible());
}

void ErrCodesDialogTest::fermerAndEscapeClose() {
  {
    CDlgErrCodes dlg;
    CModalAnswerer user;
    user.ThenClick(QStringLiteral("Fermer"));
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(user.PendingSteps(), 0);
  }
  {
    CDlgErrCodes dlg;
    CModalAnswerer user;
    user.Then([&](QWidget*) {
      // Enter in the field looks the number up and keeps the dialog open; Escape closes it.
      dlg.GetNumberField()->setText(QStringLiteral("2"));
      QTest::keyClick(dlg.GetNumberField(), Qt::Key_Return);
      QTest::keyClick(dlg.GetNumberField(), Qt::Key_Escape);
    });
    QCOMPARE(dlg.exec(), int(QDialog::Rejected));
    QCOMPARE(dlg.GetMeaningField()->toPlainText(), QStringLiteral("Err. 2:\n\nWrong frame CRC"));
  }
}

QTEST_MAIN(ErrCodesDialogTest)
#include "ErrCodesDialogTest.moc"
