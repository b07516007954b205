// The log window in a real offscreen application: sort clicks on the titles,
// selection, the copied text, and the printout read back from a PDF. The
// sort order, the copied and printed lines and the page layout are proven on
// the document; here the window's clicks, keys and printer reach them.
#include "HistWindowTestSupport.h"
#include "history/PageHeader.h"
#include "history/PagePrinter.h"
#include "logs/LogFrame.h"
#include "logs/LogView.h"

using namespace zk7;

namespace {

// A module's journal of nLines events, one a minute from 2017-03-15 08:00.
QByteArray Journal(int nLines) {
  static const char* const s_aEvents[] = {"Start", "limit", "USB", "Stop", "config", "Reboot", "alarm"};
  QByteArray bytes;
  for (int i = 0; i < nLines; ++i) {
    const int nMinutes = 8 * 60 + i;
    bytes += QByteArray::number(i + 1) + '\t' +
             QString::asprintf("2017-03-%02d\t%02d:%02d:00\t", 15 + nMinutes / (24 * 60), nMinutes / 60 % 24, nMinutes % 60).toLatin1() +
             s_aEvents[i % 7] + "\tadmin\tT" + QByteArray::number(i % 4 + 1) + "\tvalue " + QByteArray::number(i * 7 % 100) + "\r\n";
  }
  return bytes;
}

QString Cell(CZK7LogView* pView, int nRow, int nColumn) { return pView->model()->index(nRow, nColumn).data().toString(); }

QPoint RowCentre(CZK7LogView* pView, int nRow) { return pView->visualRect(pView->model()->index(nRow, 1)).center(); }

} // namespace

class LogViewTest : public QObject {
  Q_OBJECT
  QTemporaryDir m_dir;
  std::unique_ptr<CLogFrame> Open(const QString& strName, const QByteArray& bytes) {
    WriteFileText(m_dir.filePath(strName).toStdString(), bytes.toStdString());
    std::unique_ptr<CLogFrame> pFrame(CLogFrame::Create(m_dir.filePath(strName), nullptr, nullptr));
    if (!pFrame) qFatal("%s refused", qPrintable(strName));
    pFrame->resize(1000, 600);
    pFrame->show();
    return pFrame;
  }
  // Prints into an A4 PDF file (ToPdf), and the pages read back.
  void ToPdf(QPrinter& printer) { PrintToPdf(printer, m_dir.filePath("log.pdf").toStdString()); }
  QStringList PrintedPages(CLogFrame& frame, QPrinter& printer, std::vector<std::string> aOptions = {"-layout"}) {
    if (!frame.PrintTo(printer)) return {};
    return QString::fromUtf8(PdfToText(m_dir.filePath("log.pdf").toStdString(), aOptions)).split('\f', Qt::SkipEmptyParts);
  }

private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    SetRegionalSettings(CRegionalSettings(',', ':', '/', "dd/MM/yyyy"));
    InitPageTemplates("ZK7 Desktop", "1.0.0");
  }

  void columnsAndSortClicks() {
    auto pFrame = Open("module.log", "1\t2017-03-15\t08:00:01\tStart\tadmin\tAcquisition\tsession 12\r\n"
                                     "2\t2017-03-15\t08:05:10\tlimit\toperator\tT1\thigh 85.0\r\n"
                                     "3\t2017-03-16\t09:12:44\tUSB\tadmin\tKey\t\r\n"
                                     "4\t1999-12-31\t10:20:30\tStop\tadmin\tAcquisition\tsession 12\t\t\r\n");
    QCOMPARE(pFrame->GetTitle(), QString("module.log"));
    CZK7LogView* pView = pFrame->GetView();
    QAbstractItemModel* pModel = pView->model();
    QHeaderView* pHeader = pView->horizontalHeader();
    const QStringList aTitles = {QString::fromLatin1("N\xB0"), "Date", "Hour", "Event", "User", "Parameter", "Comment", "", ""};
    QStringList aShown;
    for (int c = 0; c < pModel->columnCount(); ++c) aShown << pModel->headerData(c, Qt::Horizontal).toString();
    QCOMPARE(aShown, aTitles);
    auto align = [&](int c) {
      return pModel->data(pModel->index(0, c), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask;
    };
    QVERIFY(align(0) == Qt::AlignRight && align(3) == Qt::AlignLeft && QFontInfo(pView->font()).fixedPitch());
    // Every field fits its column.
    for (int c = 0; c < 7; ++c)
      for (int r = 0; r < pModel->rowCount(); ++r)
        QVERIFY2(pView->fontMetrics().horizontalAdvance(Cell(pView, r, c)) < pHeader->sectionSize(c), qPrintable(Cell(pView, r, c)));

    // A click on a title sorts and marks it, without cutting any title; Ctrl+click sorts too.
    auto click = [&](int c, Qt::KeyboardModifiers mods) {
      QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, mods,
                        QPoint(pHeader->sectionViewportPosition(c) + pHeader->sectionSize(c) / 2, pHeader->height() / 2));
      QStringList a;
      for (int r = 0; r < pModel->rowCount(); ++r) a << Cell(pView, r, c);
      return a;
    };
    auto marked = [&](int c) { return !pModel->headerData(c, Qt::Horizontal, Qt::DecorationRole).isNull(); };
    QCOMPARE(click(0, {}), QStringList({"4", "3", "2", "1"}));
    QVERIFY(marked(0));
    for (int c = 0; c < 9; ++c) {
      QStyleOptionHeader option;
      option.initFrom(pHeader);
      option.text = aTitles[c];
      option.icon = pModel->headerData(0, Qt::Horizontal, Qt::DecorationRole).value<QIcon>();
      option.fontMetrics = QFontMetrics(pHeader->font());
      QVERIFY2(pHeader->sectionSize(c) >= pHeader->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), pHeader).width(),
               qPrintable(QString::number(c)));
    }
    QCOMPARE(click(3, Qt::ControlModifier), QStringList({"Start", "Stop", "USB", "limit"}));
    QVERIFY(!marked(0) && marked(3));
    // What it cannot read is refused.
    QString strError;
    QVERIFY(CLogFrame::Create(m_dir.filePath("absent.log"), nullptr, &strError) == nullptr);
    QVERIFY2(strError.contains("absent.log"), qPrintable(strError));
    QVERIFY(!Open("empty.log", "")->CanCopy());
  }

  void selectionAndCopy() {
    const QByteArray journal = Journal(12);
    auto pFrame = Open("copy.log", journal);
    CZK7LogView* pView = pFrame->GetView();
    const QList<QByteArray> aLines = journal.split('\n');
    auto line = [&](int i) { return aLines[i].chopped(1).replace("2017-03-15", "15/03/2017"); };
    QGuiApplication::clipboard()->setText("before");
    pFrame->Copy();
    // Nothing selected: nothing copied.
    QVERIFY(QGuiApplication::clipboard()->text() == "before" && !pFrame->CanCopy() && !pFrame->CanPrint());
    // Click, Shift+click extends, Ctrl+click is ignored.
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, {}, RowCentre(pView, 2));
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::ShiftModifier, RowCentre(pView, 4));
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCentre(pView, 8));
    QVERIFY(pView->GetSelectedRows() == (std::vector<int>{2, 3, 4}) && pFrame->CanCopy() && pFrame->CanPrint());
    pFrame->Copy();
    auto copied = [] { return QGuiApplication::clipboard()->mimeData()->data("text/plain;charset=ISO-8859-1"); };
    QCOMPARE(copied(), line(2) + "\r\n" + line(3) + "\r\n" + line(4));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromLatin1(line(2) + "\r\n" + line(3) + "\r\n" + line(4)));
    // After a sort the lines go in their new order, and Ctrl+C copies whole lines, not the current cell.
    pView->ClickColumn(0);
    QTest::keyClick(pView, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(copied(), line(4) + "\r\n" + line(3) + "\r\n" + line(2));
  }

  void printsTheSelectionOnPages() {
    QPrinter printer(QPrinter::HighResolution);
    ToPdf(printer);
    const int nLinesPerPage = CPagePrinter(printer, {1, 5}, 1).GetLayout().nLinesPerPage;
    const int nSelected = 4 * nLinesPerPage + 7;  // five pages
    auto pFrame = Open("module.log", Journal(nSelected + 40));
    CZK7LogView* pView = pFrame->GetView();
    pView->selectionModel()->select(QItemSelection(pView->model()->index(10, 0), pView->model()->index(10 + nSelected - 1, 0)),
                                    QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QStringList aPages = PrintedPages(*pFrame, printer);
    QCOMPARE(aPages.size(), 5);
    const QRegularExpression::PatternOption LINES = QRegularExpression::MultilineOption;
    QVERIFY(aPages[1].contains(QRegularExpression(QString::fromUtf8("N°\\s+Date\\s+Hour\\s+Event\\s+User\\s+Parameter\\s+Comment"))));
    // The selected rows only: the file's lines 11 to 10 + nSelected.
    auto row = [&](int n) { return QRegularExpression(QString("^\\s*%1\\s+\\d\\d/03/2017\\s+\\d\\d:\\d\\d:00\\s").arg(n), LINES); };
    QVERIFY(aPages[0].contains(row(11)) && !aPages[0].contains(row(10)));
    QVERIFY(aPages[4].contains(row(10 + nSelected)) && !aPages[4].contains(row(11 + nSelected)));
    // A page range prints only those pages, numbered as in the whole job.
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(4, 9);
    const QStringList aRange = PrintedPages(*pFrame, printer);
    QVERIFY(aRange.size() == 2 && aRange[0].contains("Page 4 from 5") && aRange[1].contains("Page 5 from 5"));
  }

  void compressesLongLinesToTheWidth() {
    auto pFrame = Open("long.log", "1\t2017-03-15\t08:00:00\tStart\tadmin\tT1\t" + QByteArray("comment ").repeated(30) +
                                       "ENDMARK\r\n2\t2017-03-15\t08:00:01\tStop\tadmin\tT1\tshort\r\n");
    pFrame->SelectAll();
    QPrinter printer(QPrinter::HighResolution);
    ToPdf(printer);
    // Only what lies left of the right margin: the end of the long line is there, compressed.
    const int nWidthPt = qRound(printer.pageLayout().fullRect(QPageLayout::Point).width() - 15 / 25.4 * 72);
    const QStringList aPages =
        PrintedPages(*pFrame, printer, {"-r", "72", "-x", "0", "-y", "0", "-W", std::to_string(nWidthPt), "-H", "900"});
    QVERIFY2(aPages.value(0).contains("ENDMARK") && aPages.value(0).contains("short"), qPrintable(aPages.join('|')));
  }

  void printDialogAndPreviewOfTheJob() {
    QPrinter printer(QPrinter::HighResolution);
    const int nLinesPerPage = CPagePrinter(printer, {1, 5}, 1).GetLayout().nLinesPerPage;
    auto pFrame = Open("dialog.log", Journal(2 * nLinesPerPage + 1));
    QStringList aSeen;
    CModalAnswerer answers;
    auto record = [&](QWidget* pModal) {
      aSeen << pModal->metaObject()->className();
      if (auto* pDialog = qobject_cast<QPrintDialog*>(pModal)) aSeen << QString::number(pDialog->maxPage());
      if (auto* pWidget = pModal->findChild<QPrintPreviewWidget*>()) aSeen << QString::number(pWidget->pageCount());
      qobject_cast<QDialog*>(pModal)->reject();
    };
    pFrame->Print();  // nothing selected: no dialog, nothing printed
    pFrame->SelectAll();
    answers.Then(record);
    answers.Then(record);
    pFrame->Print();
    pFrame->PrintPreview();
    QCOMPARE(aSeen, QStringList({"QPrintDialog", "3", "QPrintPreviewDialog", "3"}));
  }
};

QTEST_MAIN(LogViewTest)
#include "LogViewTest.moc"
