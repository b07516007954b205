// Export, copy and printout of the record list's selected lines: the file
// dialog and the append/replace question, exact bytes, markers, Cancel in the
// wait dialog, the page question, the copy dialog, and agreement with zk7-cli.
#include <QtTest>

#include <QClipboard>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>

#include <cstring>
#include <filesystem>

#include "HistWindowTestSupport.h"
#include "ModalAnswerer.h"
#include "SimProcess.h"
#include "app/CommandIds.h"
#include "format/RegionalSettings.h"
#include "history/HistListOutput.h"
#include "ui/dialogs/WaitDialog.h"

using namespace zk7;

namespace {

const char* const TITLES = "M\tN\xB0\tHour\tT1 (\xB0" "C)\tN ()\tP (kW)\r\n";

// Answers the save dialog with strPath; records the name it proposed.
void ChooseFile(CModalAnswerer& answers, const std::string& strPath, QString* pstrProposed = nullptr) {
  answers.Then([&answers, strPath, pstrProposed](QWidget* pModal) {
    auto* pDialog = qobject_cast<QFileDialog*>(pModal);
    if (pDialog && pstrProposed)
      *pstrProposed = pDialog->windowTitle() + "|" + QFileInfo(pDialog->selectedFiles().value(0)).fileName();
    answers.Check(pDialog && AnswerFileDialog(pDialog, QString::fromStdString(strPath)), "the save dialog");
  });
}

// Answers the save dialog with strPath and the CSV file type; records the types offered.
void ChooseCsv(CModalAnswerer& answers, const std::string& strPath, QStringList* paFilters = nullptr) {
  answers.Then([&answers, strPath, paFilters](QWidget* pModal) {
    auto* pDialog = qobject_cast<QFileDialog*>(pModal);
    if (!pDialog) return answers.Fail("not the save dialog");
    if (paFilters) {
      *paFilters = pDialog->nameFilters();
      // As a user's choice of the type: the proposed name follows it.
      emit pDialog->filterSelected("CSV (comma-separated, UTF-8) (*.csv)");
      auto* pEdit = pDialog->findChild<QLineEdit*>("fileNameEdit");
      paFilters->append(pEdit ? pEdit->text() : QString());
    }
    pDialog->selectNameFilter("CSV (comma-separated, UTF-8) (*.csv)");
    answers.Check(AnswerFileDialog(pDialog, QString::fromStdString(strPath)), "the save dialog");
  });
}

QString RunPdfToText(const QString& strPdf) { return QString::fromUtf8(PdfToText(strPdf.toStdString()).c_str()); }

// The list's row as the export writes it, from the cells the list shows.
std::string ShownLine(const sHistWindow& w, int nRecord) {
  std::string s;
  for (int c = 0; c < w.Table()->model()->columnCount(); ++c) {
    QString str = w.Cell(nRecord, c);
    if (c == 0 && str.isEmpty()) str = " ";
    s += (c ? "\t" : "") + str.toLatin1().toStdString();
  }
  return s + "\r\n";
}

// Clicks Cancel in the wait dialog as a user would, once it shows strStatus:
// queued, so that it is seen at the dialog's next poll.
void CancelWaitAt(QTimer& watcher, const QString& strStatus, bool& bPosted, QString* pstrCaption = nullptr) {
  QObject::connect(&watcher, &QTimer::timeout, [&watcher, strStatus, &bPosted, pstrCaption] {
    for (QWidget* p : QApplication::topLevelWidgets())
      if (auto* pWait = qobject_cast<CWaitDialog*>(p);
          pWait && pWait->isVisible() && !bPosted && pWait->GetStatusText() == strStatus) {
        bPosted = true;
        if (pstrCaption) *pstrCaption = pWait->windowTitle();
        QPushButton* pCancel = pWait->GetCancelButton();
        QMetaObject::invokeMethod(pCancel, [pCancel] { pCancel->click(); }, Qt::QueuedConnection);
      }
  });
  watcher.start(0);
}

} // namespace

class HistListOutputTest : public QObject {
  Q_OBJECT
  std::string m_strDir;
  std::string Path(const std::string& strName) const { return m_strDir + "/" + strName; }

private slots:
  void initTestCase() {
    // The file dialog keeps its history in the settings: not in the user's.
    QStandardPaths::setTestModeEnabled(true);
    SetRegionalSettings(CRegionalSettings::Plain());
    m_strDir = MakeTempDir("zk7-listout");
    WriteTestResults(Path("run.2024.zk"), 1000);
  }
  void cleanupTestCase() { std::filesystem::remove_all(m_strDir); }

  void exportAppendReplaceAndOtherFile() {
    sHistWindow w(Path("run.2024.zk"));
    const std::string strOut = Path("out.txt");
    {
      CModalAnswerer answers;
      answers.ThenClick("OK");
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_FAILURE));
      QCOMPARE(answers.Texts(), QStringList({"Select records to export"}));
    }
    w.pList->ClickRecord(4, false);
    const std::string strOne = std::string(TITLES) + " \t5\t00:00:04.000\t     22.0\t        4\t    1.500\r\n";
    {
      CModalAnswerer answers;
      QString strProposed;
      ChooseFile(answers, strOut, &strProposed);
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
      QVERIFY2(answers.AllAnswered(), qPrintable(answers.Report()));
      QCOMPARE(strProposed, QString("Export to file|run.2024.txt"));
    }
    QCOMPARE(ReadFileText(strOut), strOne);
    {
      CModalAnswerer answers;
      ChooseFile(answers, strOut);
      answers.ThenClick("&APPEND data at the end of file");
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
      QCOMPARE(answers.Titles().value(0), QString("Export to file"));
      QVERIFY2(answers.Texts().value(0).contains("File \"out.txt\" already exists"), qPrintable(answers.Texts().value(0)));
    }
    QCOMPARE(ReadFileText(strOut), strOne + strOne);  // a second title line before the new rows
    {
      CModalAnswerer answers;
      ChooseFile(answers, strOut);
      answers.ThenClick("&REPLACE existing data");
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
    }
    QCOMPARE(ReadFileText(strOut), strOne);
    {
      CModalAnswerer answers;
      ChooseFile(answers, strOut);
      answers.ThenClick("Select an other &FILE name");
      QString strProposedAgain;
      ChooseFile(answers, Path("other.txt"), &strProposedAgain);
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
      QCOMPARE(strProposedAgain, QString("Export to file|run.2024.txt"));
    }
    QCOMPARE(ReadFileText(Path("other.txt")), strOne);
    QCOMPARE(ReadFileText(strOut), strOne);
    {
      CModalAnswerer answers;
      answers.ThenKey(Qt::Key_Escape);
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_ABORT));
    }
  }

  void exportCsvFileType() {
    sHistWindow w(Path("run.2024.zk"));
    w.pList->ClickRecord(1, false);
    w.pList->ClickRecord(2, true);
    const std::string strOut = Path("rows.dat");
    const std::string strCsv =
        "time,T1 [\xC2\xB0" "C],N,P [kW]\r\n"
        "2026-01-01T00:00:01.000,20.5,1,1.500\r\n"
        "2026-01-01T00:00:02.000,21.0,2,\r\n";
    {
      CModalAnswerer answers;
      QStringList aFilters;
      ChooseCsv(answers, strOut, &aFilters);
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
      QCOMPARE(aFilters, QStringList({"Text in columns (*.txt)", "CSV (comma-separated, UTF-8) (*.csv)", "run.2024.csv"}));
    }
    QCOMPARE(ReadFileText(strOut), strCsv);
    {
      // Appended rows go under the file's header; a typed .csv name is CSV too.
      CModalAnswerer answers;
      ChooseFile(answers, strOut);
      answers.ThenClick("&APPEND data at the end of file");
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
      std::filesystem::rename(strOut, Path("rows.csv"));
      ChooseFile(answers, Path("rows.csv"));
      answers.ThenClick("&APPEND data at the end of file");
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
    }
    const std::string strText = std::string(TITLES) + " \t2\t00:00:01.000\t     20.5\t        1\t    1.500\r\n" +
                                " \t3\t00:00:02.000\t     21.0\t        2\tErr. 12\r\n";
    QCOMPARE(ReadFileText(Path("rows.csv")), strCsv + strText + strCsv.substr(strCsv.find("\r\n") + 2));
  }

  void cancelKeepsTheRowsWritten() {
    sHistWindow w(Path("run.2024.zk"));
    w.pList->SelectAll();
    // The Cancel click comes as a user's would: queued while rows 65 to 128
    // are written, seen at the next poll.
    bool bPosted = false;
    QString strCaption;
    QTimer watcher;
    CancelWaitAt(watcher, "64 records from 1000 exported", bPosted, &strCaption);
    CModalAnswerer answers;
    ChooseFile(answers, Path("cancel.txt"));
    QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
    watcher.stop();
    QVERIFY(bPosted);
    QCOMPARE(strCaption, QString("Exporting records"));
    QVERIFY2(answers.Errors().isEmpty(), "no message after a cancel");
    const std::string strFile = ReadFileText(Path("cancel.txt"));
    QCOMPARE(std::count(strFile.begin(), strFile.end(), '\n'), 129L);
    QVERIFY(strFile.ends_with("\t128\t00:02:07.000\t     83.5\t      127\t    1.500\r\n"));
  }

  void copyTooLargeOrCancelledLeavesTheClipboard() {
    sHistWindow w(Path("run.2024.zk"));
    w.pList->SelectAll();
    std::string strFirst;
    w.pList->GetRowText().AppendRowLine(0, strFirst);
    const size_t nEstimate = std::strlen(TITLES) + 1000 * (strFirst.size() + 2);
    // Far beyond the limit, refused before the text is built; just within the
    // estimate from the first line, refused when the later, longer lines pass it.
    for (size_t nLimit : {size_t{4096}, nEstimate}) {
      CModalAnswerer answers;
      answers.ThenClick("OK");
      QMimeData data;
      QVERIFY(!CopySelection(*w.pList, data, nLimit));
      QCOMPARE(answers.Texts(), QStringList{"Unable to copy data"});
      QVERIFY(data.formats().isEmpty());
    }
    // Cancel in the wait dialog: no copy, no message, the clipboard as it was.
    QGuiApplication::clipboard()->setText("kept");
    bool bPosted = false;
    QTimer watcher;
    CancelWaitAt(watcher, "64 records from 1000 exported", bPosted);
    CModalAnswerer answers;
    answers.Then([&answers](QWidget* pModal) {
      answers.Click(pModal, "All Records");
      answers.Click(pModal, "OK");
    });
    w.pFrame->OnCommand(ID_EDIT_COPY);
    watcher.stop();
    QVERIFY(bPosted);
    QVERIFY2(answers.Errors().isEmpty(), qPrintable(answers.Errors().join('|')));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
  }

  void namesInAnyScriptInPageHeadersAndQuestions() {
    const std::string strName = "\u0394\u03BF\u03BA\u03B9\u03BC\u03AE";  // Greek, outside Latin-1
    WriteTestResults(Path(strName + ".zk"), 20);
    sHistWindow w(Path(strName + ".zk"));
    w.pList->ClickRecord(1, false);
    const QString strPdf = QString::fromStdString(Path("greek.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setOutputFileName(strPdf);
    QVERIFY(PrintTabbedJob(printer, MakeListPrintJob(*w.pList)));
    QVERIFY2(RunPdfToText(strPdf).contains(QString::fromStdString(strName + ".zk")), qPrintable(RunPdfToText(strPdf)));
    const std::string strOut = Path(strName + ".txt");
    WriteFileText(strOut, "");
    CModalAnswerer answers;
    ChooseFile(answers, strOut);
    answers.ThenClick("&REPLACE existing data");
    QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
    const QString strQuestion = answers.Texts().value(0);
    QVERIFY2(strQuestion.contains(QString::fromStdString("File \"" + strName + ".txt\" already exists")), qPrintable(strQuestion));
  }

  void printAsksForManyPagesPreviewDoesNot() {
    sHistWindow w(Path("run.2024.zk"));
    w.pList->SelectAll();
    const sTabbedPrintJob job = MakeListPrintJob(*w.pList);
    QCOMPARE(job.nRowCount, 1000);
    // A page height that holds exactly 50 record lines.
    QPrinter probe(QPrinter::HighResolution);
    probe.setOutputFormat(QPrinter::PdfFormat);
    double dHeightMm = 0;
    for (double h = 80; h < 400 && dHeightMm == 0; h += 0.5) {
      probe.setPageSize(QPageSize(QSizeF(297, h), QPageSize::Millimeter));
      if (CPagePrinter(probe, job.aColumnPositions, job.nRowCount).GetLayout().nLinesPerPage == 50) dHeightMm = h;
    }
    QVERIFY(dHeightMm > 0);
    const QString strPdf = QString::fromStdString(Path("asked.pdf"));
    {
      CModalAnswerer answers;
      answers.Then([&](QWidget* pModal) {
        auto* pDialog = qobject_cast<QPrintDialog*>(pModal);
        QVERIFY(pDialog);
        // After OK, which applies the dialog's own page settings to the printer.
        QMetaObject::invokeMethod(pDialog, "accept");
        pDialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        pDialog->printer()->setOutputFileName(strPdf);
        pDialog->printer()->setPageSize(QPageSize(QSizeF(297, dHeightMm), QPageSize::Millimeter));
      });
      answers.ThenClick("Cancel");
      PrintSelectedLines(*w.pList);
      QCOMPARE(answers.Texts().value(0), QString::fromLatin1("Printing Records list\nfrom n\xB0" "1 to n\xB0" "1000,\n (20 pages) ?"));
      QCOMPARE(answers.Icons().at(0), int(QMessageBox::Question));
      QVERIFY2(!QFile::exists(strPdf), "Cancel prints nothing");
    }

    CModalAnswerer preview;
    preview.Then([](QWidget* pModal) {
      QVERIFY(qobject_cast<QPrintPreviewDialog*>(pModal));
      pModal->close();
    });
    PreviewSelectedLines(*w.pList);
    QCOMPARE(preview.PendingSteps(), 0);
    QVERIFY2(preview.Errors().isEmpty(), qPrintable(preview.Errors().join("|")));
  }

  void printedLinesAreTheListsLines() {
    sHistWindow w(Path("run.2024.zk"));
    w.pList->ClickRecord(2, false);
    w.pList->ClickRecord(4, true);
    const QString strPdf = QString::fromStdString(Path("lines.pdf"));
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(strPdf);
    QVERIFY(PrintTabbedJob(printer, MakeListPrintJob(*w.pList)));
    const QString strText = RunPdfToText(strPdf);
    QVERIFY2(strText.contains(QRegularExpression("M +N\u00B0 +Hour +T1 \\(\u00B0C\\) +N \\(\\) +P \\(kW\\)")), qPrintable(strText));
    QVERIFY2(strText.contains(QRegularExpression("3 +00:00:02.000 +21.0 +2 +Err. 12")), qPrintable(strText));
    QVERIFY2(strText.contains(QRegularExpression("5 +00:00:04.000 +22.0 +4 +1.500")), qPrintable(strText));
    QVERIFY(!strText.contains("00:00:05.000"));
    QVERIFY(strText.contains("run.2024.zk"));
  }

  void copyDialogPresetsAndAllRecords() {
    sHistWindow w(Path("run.2024.zk"));
    QGuiApplication::clipboard()->clear();
    w.pKey->GetTable()->setFocus();
    CModalAnswerer answers;
    QStringList aPresets;
    auto preset = [&aPresets](QWidget* pModal) {
      for (QRadioButton* p : pModal->findChildren<QRadioButton*>())
        if (p->isChecked()) aPresets << pModal->windowTitle() + "|" + p->text();
    };
    answers.Then([&](QWidget* pModal) {
      preset(pModal);
      qobject_cast<QDialog*>(pModal)->reject();
    });
    w.pFrame->OnCommand(ID_EDIT_COPY);
    w.pList->GetTable()->setFocus();
    w.pList->ClickRecord(7, false);
    answers.Then([&](QWidget* pModal) {
      preset(pModal);
      qobject_cast<QDialog*>(pModal)->reject();
    });
    w.pFrame->OnCommand(ID_EDIT_COPY);
    w.pList->ClearSelection();
    answers.Then([&](QWidget* pModal) {
      preset(pModal);
      answers.Click(pModal, "OK");
    });
    w.pFrame->OnCommand(ID_EDIT_COPY);
    QCOMPARE(aPresets, QStringList({"Copie de l'historique|&Key", "Copie de l'historique|Selected &Records",
                                    "Copie de l'historique|&All Records"}));
    QCOMPARE(w.pList->GetSelection().GetCount(), 1000);  // the rows stay selected
    const QByteArray bytes = QGuiApplication::clipboard()->mimeData()->data("text/plain;charset=ISO-8859-1");
    QVERIFY(bytes.startsWith(TITLES));
    QCOMPARE(bytes.count('\n'), 1001);
    QVERIFY(bytes.endsWith(" \t1000\t00:16:39.000\t    519.5\t      999\t    1.500\r\n"));
  }

  void listExportAndCommandLineAgree() {
    sHistWindow w(Path("run.2024.zk"));
    w.pFrame->OnCommand(ID_RESOLUTION_10MS);
    w.pFrame->OnCommand(ID_MS_OFFSET_COLUMNS);
    w.pFrame->OnCommand(ID_ERRORS_NUMBER_AND_MEANING);
    w.State().m_aFixedMarks = {3};
    w.pList->SetDisplayedChannels({2, 0});
    w.pList->SelectAll();
    CModalAnswerer answers;
    ChooseFile(answers, Path("agree.txt"));
    QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
    const std::string strExported = ReadFileText(Path("agree.txt"));
    // The command line takes its conventions from the environment: the plain
    // ones the window was given here, whatever locale the test runs under.
    const sProcessResult r = RunProcess(ZK7_CLI_PATH, {"export", Path("run.2024.zk"), "--channels", "3,1",
                                                      "--resolution", "10ms", "--ms-offsets", "--errors", "meaning",
                                                      "--marks", "4", "--time-format", "time"},
                                        {"LC_ALL=C.UTF-8", "LANG=C.UTF-8"});
    QCOMPARE(r.nExitCode, 0);
    QCOMPARE(r.strOut, strExported);
    // The rows the list shows are the exported lines.
    w.pList->SetTopRow(0);
    std::string strShown = std::string("M\tN\xB0\tHour\tms\tP (kW)\tms\tT1 (\xB0" "C)\r\n");
    for (int r = 0; r < 6; ++r) strShown += ShownLine(w, r);
    QCOMPARE(strExported.substr(0, strShown.size()), strShown);
    QVERIFY(strShown.find("Err. 12 (") != std::string::npos);
    QVERIFY(strShown.find("1\t4\t00:00:03.00\t-7\t") != std::string::npos);
  }
};

QTEST_MAIN(HistListOutputTest)
#include "HistListOutputTest.moc"
