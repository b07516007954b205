// Export, copy and printout of the record list's selected lines: the file
// dialog and the append/replace question, the bytes written, Cancel in the
// wait dialog, the page question, the copy dialog, and agreement with
// zk7-cli. The line texts, the CSV form and the export's Cancel are proven in
// the core; here the window's dialogs and files reach them.

#include <cstring>

#include "HistWindowTestSupport.h"
#include "history/HistListCommands.h"
#include "history/HistListOutput.h"
#include "history/PagePrinter.h"

using namespace zk7;

namespace {

const char* const TITLES = "M\tN\xB0\tHour\tT1 (\xB0" "C)\tN ()\tP (kW)\r\n";
const char* const CSV_TYPE = "CSV (comma-separated, UTF-8) (*.csv)";

// Answers the save dialog with strPath, of the CSV type if asked; records what
// it offered: title, proposed name, and with bCsv the types and the name proposed for CSV.
void ChooseFile(CModalAnswerer& answers, const std::string& strPath, QStringList* paOffered = nullptr, bool bCsv = false) {
  answers.Then([&answers, strPath, paOffered, bCsv](QWidget* pModal) {
    auto* pDialog = qobject_cast<QFileDialog*>(pModal);
    if (!pDialog) return answers.Fail("not the save dialog");
    if (paOffered) *paOffered << pDialog->windowTitle() << QFileInfo(pDialog->selectedFiles().value(0)).fileName();
    if (bCsv) {
      if (paOffered) *paOffered << pDialog->nameFilters();
      emit pDialog->filterSelected(CSV_TYPE);  // as a user's choice of the type: the proposed name follows it
      if (auto* pEdit = pDialog->findChild<QLineEdit*>("fileNameEdit"); pEdit && paOffered) *paOffered << pEdit->text();
      pDialog->selectNameFilter(CSV_TYPE);
    }
    answers.Check(AnswerFileDialog(pDialog, QString::fromStdString(strPath)), "the save dialog");
  });
}

} // namespace

class HistListOutputTest : public QObject {
  Q_OBJECT
  CTempDir m_dir{"zk7-listout"};
  std::string Path(const std::string& strName) const { return m_dir.Path() + "/" + strName; }

private slots:
  void initTestCase() {
    QStandardPaths::setTestModeEnabled(true);  // the file dialog's history goes to the test's settings
    SetRegionalSettings(CRegionalSettings::Plain());
    WriteTestResults(Path("run.2024.zk"), 1000);
  }

  void exportAppendReplaceAndOtherFile() {
    sHistWindow w(Path("run.2024.zk"));
    const std::string strOut = Path("out.txt");
    const std::string strOne = std::string(TITLES) + " \t5\t00:00:04.000\t     22.0\t        4\t    1.500\r\n";
    // Each case: the answer to the question on an existing file, then what the files hold.
    struct sCase { const char* pszName; QString strAnswer; std::string strOut, strOther; } aCases[] = {{"new file", {}, strOne, ""},
                  {"append, with its own title line", "&APPEND data at the end of file", strOne + strOne, ""},
                  {"replace", "&REPLACE existing data", strOne, ""},
                  {"another file", "Select an other &FILE name", strOne, strOne}};
    {
      CModalAnswerer answers;
      answers.ThenMessage("Select records to export");
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_FAILURE));
    }
    w.pList->ClickRecord(4, false);
    for (const sCase& c : aCases) {
      const sCaseTrace trace{c.pszName};
      CModalAnswerer answers;
      QStringList aOffered;
      ChooseFile(answers, strOut, &aOffered);
      if (!c.strAnswer.isEmpty()) answers.ThenClick(c.strAnswer);
      if (!c.strOther.empty()) ChooseFile(answers, Path("other.txt"), &aOffered);
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
      const QStringList aOffer = {"Export to file", "run.2024.txt"};
      QCOMPARE(aOffered, c.strOther.empty() ? aOffer : aOffer + aOffer);
      if (!c.strAnswer.isEmpty())
        QVERIFY2(answers.Titles().value(0) == "Export to file" && answers.Texts().value(0).contains("File \"out.txt\" already exists"),
                 qPrintable(answers.Texts().value(0)));
      QCOMPARE(ReadFileText(strOut), c.strOut);
      if (!c.strOther.empty()) QCOMPARE(ReadFileText(Path("other.txt")), c.strOther);
    }
    CModalAnswerer answers;
    answers.Then([](QWidget* pModal) { QTest::keyClick(pModal->focusWidget(), Qt::Key_Escape); });
    QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_ABORT));
    // The CSV file type.
    w.pList->ClickRecord(1, false);
    w.pList->ClickRecord(2, true);
    const std::string strCsv = "time,T1 [\xC2\xB0" "C],N,P [kW]\r\n2026-01-01T00:00:01.000,20.5,1,1.500\r\n"
                               "2026-01-01T00:00:02.000,21.0,2,\r\n";
    QStringList aOffered;
    ChooseFile(answers, Path("rows.dat"), &aOffered, true);
    QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
    QCOMPARE(aOffered.mid(2), QStringList({"Text in columns (*.txt)", CSV_TYPE, "run.2024.csv"}));
    QCOMPARE(ReadFileText(Path("rows.dat")), strCsv);
    // Appended rows go under the file's header; a typed .csv name is CSV too.
    ChooseFile(answers, Path("rows.dat"));
    answers.ThenClick("&APPEND data at the end of file");
    QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
    std::filesystem::rename(Path("rows.dat"), Path("rows.csv"));
    ChooseFile(answers, Path("rows.csv"));
    answers.ThenClick("&APPEND data at the end of file");
    QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
    const std::string strText = std::string(TITLES) + " \t2\t00:00:01.000\t     20.5\t        1\t    1.500\r\n" +
                                " \t3\t00:00:02.000\t     21.0\t        2\tErr. 12\r\n";
    QCOMPARE(ReadFileText(Path("rows.csv")), strCsv + strText + strCsv.substr(strCsv.find("\r\n") + 2));
  }

  void cancelKeepsTheRowsWrittenAndTheClipboard() {
    sHistWindow w(Path("run.2024.zk"));
    w.pList->SelectAll();
    {
      // Cancel while rows 65 to 128 are written: those rows are in, no message.
      CWaitWatcher cancel(CWaitWatcher::CancelAt("64 records from 1000 exported"));
      CModalAnswerer answers;
      ChooseFile(answers, Path("cancel.txt"));
      QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
      QVERIFY(cancel.Done() && cancel.Title() == "Exporting records");
      const std::string strFile = ReadFileText(Path("cancel.txt"));
      QVERIFY(std::count(strFile.begin(), strFile.end(), '\n') == 129 &&
              strFile.ends_with("\t128\t00:02:07.000\t     83.5\t      127\t    1.500\r\n"));
    }
    // A copy far beyond the limit is refused before the text is built; one
    // just within the first line's estimate when the later, longer lines pass it.
    std::string strFirst;
    w.pList->GetRowText().AppendRowLine(0, strFirst);
    for (size_t nLimit : {size_t{4096}, std::strlen(TITLES) + 1000 * (strFirst.size() + 2)}) {
      CModalAnswerer answers;
      answers.ThenMessage("Unable to copy data");
      QMimeData data;
      QVERIFY(!CopySelection(*w.pList, data, nLimit) && data.formats().isEmpty());
    }
    // Cancel in the copy's wait dialog: no copy, no message, the clipboard as it was.
    QGuiApplication::clipboard()->setText("kept");
    CWaitWatcher cancel(CWaitWatcher::CancelAt("64 records from 1000 exported"));
    CModalAnswerer answers;
    answers.Then([&answers](QWidget* pModal) {
      answers.Click(pModal, "All Records");
      answers.Click(pModal, "OK");
    });
    w.pFrame->OnCommand(ID_EDIT_COPY);
    QVERIFY(cancel.Done());
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("kept"));
  }

  void printedLinesAndNamesInAnyScript() {
    const std::string strName = "\u0394\u03BF\u03BA\u03B9\u03BC\u03AE";  // Greek, outside Latin-1
    WriteTestResults(Path(strName + ".zk"), 20);
    sHistWindow w(Path(strName + ".zk"));
    w.pList->ClickRecord(2, false);
    w.pList->ClickRecord(4, true);
    QPrinter printer(QPrinter::HighResolution);
    PrintToPdf(printer, Path("lines.pdf"));
    QVERIFY(PrintTabbedJob(printer, MakeListPrintJob(*w.pList)));
    const QString strText = QString::fromUtf8(PdfToText(Path("lines.pdf")));
    for (const char* pszLine : {"M +N\u00B0 +Hour +T1 \\(\u00B0C\\) +N \\(\\) +P \\(kW\\)", "3 +00:00:02.000 +21.0 +2 +Err. 12",
                                "5 +00:00:04.000 +22.0 +4 +1.500"})
      QVERIFY2(strText.contains(QRegularExpression(QString::fromUtf8(pszLine))), qPrintable(strText));
    QVERIFY(!strText.contains("00:00:05.000") && strText.contains(QString::fromStdString(strName + ".zk")));
    // The question on an existing file names it in its script too.
    WriteFileText(Path(strName + ".txt"), "");
    CModalAnswerer answers;
    ChooseFile(answers, Path(strName + ".txt"));
    answers.ThenClick("&REPLACE existing data");
    QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
    QVERIFY2(answers.Texts().value(0).contains(QString::fromStdString("File \"" + strName + ".txt\" already exists")),
             qPrintable(answers.Texts().value(0)));
  }

  void printAsksWithThePagesOfThePrinterChosenPreviewDoesNot() {
    sHistWindow w(Path("run.2024.zk"));
    w.pList->SelectAll();
    const QString strPdf = QString::fromStdString(Path("asked.pdf"));
    const QPageSize size(QSizeF(297, 120), QPageSize::Millimeter);
    QPrinter chosen(QPrinter::HighResolution);
    chosen.setOutputFormat(QPrinter::PdfFormat);
    chosen.setPageSize(size);
    const sTabbedPrintJob job = MakeListPrintJob(*w.pList);
    const int nPages = CPagePrinter(chosen, job.aColumnPositions, job.nRowCount).GetPageCount();
    {
      CModalAnswerer answers;
      answers.Then([&](QWidget* pModal) {
        auto* pDialog = qobject_cast<QPrintDialog*>(pModal);
        if (!pDialog) return answers.Fail("not the print dialog"), pModal->close(), void();
        // After OK, which applies the dialog's own page settings to the printer.
        QMetaObject::invokeMethod(pDialog, "accept");
        pDialog->printer()->setOutputFormat(QPrinter::PdfFormat);
        pDialog->printer()->setOutputFileName(strPdf);
        pDialog->printer()->setPageSize(size);
      });
      answers.ThenClick("Cancel");
      PrintSelectedLines(*w.pList);
      QCOMPARE(answers.Texts().value(0), QString::fromLatin1(PrintRecordsQuestion(1, 1000, nPages)));
      QCOMPARE(answers.Icons().at(0), int(QMessageBox::Question));
      QVERIFY2(!QFile::exists(strPdf), "Cancel prints nothing");
    }
    CModalAnswerer preview;
    preview.Then([&preview](QWidget* pModal) {
      preview.Check(qobject_cast<QPrintPreviewDialog*>(pModal), "the preview"), pModal->close();
    });
    PreviewSelectedLines(*w.pList);
  }

  void copyDialogPresetsAndAllRecords() {
    sHistWindow w(Path("run.2024.zk"));
    QGuiApplication::clipboard()->clear();
    CModalAnswerer answers;
    QStringList aPresets;
    auto preset = [&](const char* pszButton) {
      answers.Then([&aPresets, &answers, pszButton](QWidget* pModal) {
        for (QRadioButton* p : pModal->findChildren<QRadioButton*>())
          if (p->isChecked()) aPresets << pModal->windowTitle() + "|" + p->text();
        answers.Click(pModal, pszButton);
      });
    };
    // The key has the focus; then the list with a selection; then the list without one.
    w.pKey->GetTable()->setFocus();
    preset("Cancel");
    w.pFrame->OnCommand(ID_EDIT_COPY);
    w.pList->GetTable()->setFocus();
    w.pList->ClickRecord(7, false);
    preset("Cancel");
    w.pFrame->OnCommand(ID_EDIT_COPY);
    w.pList->ClearSelection();
    preset("OK");
    w.pFrame->OnCommand(ID_EDIT_COPY);
    QCOMPARE(aPresets, QStringList({"Copie de l'historique|&Key", "Copie de l'historique|Selected &Records",
                                    "Copie de l'historique|&All Records"}));
    QCOMPARE(w.pList->GetSelection().GetCount(), 1000);  // the rows stay selected
    const QByteArray bytes = QGuiApplication::clipboard()->mimeData()->data("text/plain;charset=ISO-8859-1");
    QVERIFY(bytes.startsWith(TITLES) && bytes.count('\n') == 1001 &&
            bytes.endsWith(" \t1000\t00:16:39.000\t    519.5\t      999\t    1.500\r\n"));
  }

  void listExportAndCommandLineAgree() {
    sHistWindow w(Path("run.2024.zk"));
    for (unsigned nId : {ID_RESOLUTION_10MS, ID_MS_OFFSET_COLUMNS, ID_ERRORS_NUMBER_AND_MEANING}) w.pFrame->OnCommand(nId);
    w.State().m_aFixedMarks = {3};
    w.pList->SetDisplayedChannels({2, 0});
    w.pList->SelectAll();
    CModalAnswerer answers;
    ChooseFile(answers, Path("agree.txt"));
    QCOMPARE(ExportSelection(*w.pList), int(LIST_OUTPUT_OK));
    const std::string strExported = ReadFileText(Path("agree.txt"));
    // The command line takes its conventions from the environment: the plain
    // ones the window was given here, whatever locale the test runs under.
    const sProcessResult r = RunProcess(ZK7_CLI_PATH, {"export", Path("run.2024.zk"), "--channels", "3,1", "--resolution", "10ms",
                                                      "--ms-offsets", "--errors", "meaning", "--marks", "4", "--time-format", "time"},
                                        {"LC_ALL=C.UTF-8", "LANG=C.UTF-8"});
    QCOMPARE(std::to_string(r.nExitCode) + r.strOut, "0" + strExported);
  }
};

QTEST_MAIN(HistListOutputTest)
#include "HistListOutputTest.moc"
