// The log window in a real offscreen application: sort clicks on the titles,
// selection, the copied text, and the printout read back from a PDF.
#include <QApplication>
#include <QClipboard>
#include <QDate>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QMimeData>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QRegularExpression>
#include <QSignalSpy>
#include <QStyle>
#include <QStyleOptionHeader>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <functional>
#include <memory>

#include "ModalAnswerer.h"
#include "SimProcess.h"
#include "format/RegionalSettings.h"
#include "history/PagePrinter.h"
#include "history/PageHeader.h"
#include "logs/LogFrame.h"
#include "logs/LogTableModel.h"
#include "logs/LogView.h"

using namespace zk7;

namespace {

const char* const s_aEvents[] = {"Start", "limit", "USB", "Stop", "config", "Reboot", "alarm"};
const char* const s_aUsers[] = {"admin", "operator", "system"};

// A module's journal of nLines events, one a minute from 2017-03-15 08:00.
QByteArray Journal(int nLines) {
  QByteArray bytes;
  for (int i = 0; i < nLines; ++i) {
    const int nMinutes = 8 * 60 + i;
    const int nDay = 15 + nMinutes / (24 * 60);
    bytes += QByteArray::number(i + 1) + '\t' +
             QString::asprintf("2017-03-%02d\t%02d:%02d:00\t", nDay, nMinutes / 60 % 24, nMinutes % 60).toLatin1() +
             s_aEvents[i % 7] + '\t' + s_aUsers[i % 3] + "\tT" + QByteArray::number(i % 4 + 1) + "\tvalue " +
             QByteArray::number(i * 7 % 100) + "\r\n";
  }
  return bytes;
}

QString Cell(CZK7LogView* pView, int nRow, int nColumn) {
  return pView->model()->data(pView->model()->index(nRow, nColumn)).toString();
}

QString RunPdfToText(const QString& strPdf, std::vector<std::string> aOptions = {}) {
  aOptions.push_back("-layout");
  return QString::fromUtf8(PdfToText(strPdf.toStdString(), aOptions).c_str());
}

QPoint RowCentre(CZK7LogView* pView, int nRow) {
  return pView->visualRect(pView->model()->index(nRow, 1)).center();
}

} // namespace

class LogViewTest : public QObject {
  Q_OBJECT
private:
  QTemporaryDir m_dir;
  QString Write(const QString& strName, const QByteArray& bytes) {
    const QString strPath = m_dir.filePath(strName);
    QFile f(strPath);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size()) qFatal("cannot write %s", qPrintable(strPath));
    return strPath;
  }
  std::unique_ptr<CLogFrame> Open(const QString& strPath) {
    QString strError;
    std::unique_ptr<CLogFrame> pFrame(CLogFrame::Create(strPath, nullptr, &strError));
    if (pFrame) {
      pFrame->resize(1000, 600);
      pFrame->show();
      if (!QTest::qWaitForWindowExposed(pFrame.get())) qWarning("window not exposed");
    }
    return pFrame;
  }
  void ClickTitle(CZK7LogView* pView, int nColumn, Qt::KeyboardModifiers mods = {}) {
    QHeaderView* pHeader = pView->horizontalHeader();
    const QPoint at(pHeader->sectionViewportPosition(nColumn) + pHeader->sectionSize(nColumn) / 2,
                    pHeader->height() / 2);
    QTest::mouseClick(pHeader->viewport(), Qt::LeftButton, mods, at);
  }

private slots:
  void initTestCase() {
    QVERIFY(m_dir.isValid());
    SetRegionalSettings(CRegionalSettings(',', ':', '/', "dd/MM/yyyy"));
    InitPageTemplates("ZK7 Desktop", "1.0.0");
  }

  void refusesWhatItCannotRead() {
    QString strError;
    QVERIFY(CLogFrame::Create(m_dir.filePath("absent.log"), nullptr, &strError) == nullptr);
    QVERIFY2(strError.contains("absent.log"), qPrintable(strError));
    auto pEmpty = Open(Write("empty.log", ""));
    QVERIFY(pEmpty);
    QCOMPARE(pEmpty->GetView()->model()->rowCount(), 0);
    QCOMPARE(pEmpty->GetView()->model()->columnCount(), 0);
    QVERIFY(!pEmpty->CanCopy());
    QVERIFY(!pEmpty->CanPrint());
  }

  void columnsAndSortClicks() {
    auto pFrame = Open(Write("module.log", "1\t2017-03-15\t08:00:01\tStart\tadmin\tAcquisition\tsession 12\r\n"
                                           "2\t2017-03-15\t08:05:10\tlimit\toperator\tT1\thigh 85.0\r\n"
                                           "3\t2017-03-16\t09:12:44\tUSB\tadmin\tKey\t\r\n"
                                           "4\t1999-12-31\t10:20:30\tStop\tadmin\tAcquisition\tsession 12\t\t\r\n"));
    QVERIFY(pFrame);
    QCOMPARE(pFrame->GetTitle(), QString("module.log"));
    CZK7LogView* pView = pFrame->GetView();
    QAbstractItemModel* pModel = pView->model();
    QCOMPARE(pModel->columnCount(), 9);
    const QStringList aTitles = {QString::fromLatin1("N\xB0"), "Date", "Hour", "Event", "User", "Parameter", "Comment", "", ""};
    for (int c = 0; c < 9; ++c) QCOMPARE(pModel->headerData(c, Qt::Horizontal).toString(), aTitles[c]);
    QCOMPARE(Cell(pView, 0, 1), QString("15/03/2017"));
    QCOMPARE(Cell(pView, 3, 1), QString("1999-12-31"));
    QCOMPARE(pModel->data(pModel->index(0, 0), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
             Qt::Alignment(Qt::AlignRight));
    QCOMPARE(pModel->data(pModel->index(0, 3), Qt::TextAlignmentRole).value<Qt::Alignment>() & Qt::AlignHorizontal_Mask,
             Qt::Alignment(Qt::AlignLeft));
    QVERIFY(QFontInfo(pView->font()).fixedPitch());

    // Every field fits its column: the widths' rule itself is proven on the document.
    QHeaderView* pHeader = pView->horizontalHeader();
    const QFontMetrics titles(pHeader->font());
    for (int c = 0; c < 7; ++c)
      for (int r = 0; r < pModel->rowCount(); ++r)
        QVERIFY2(pView->fontMetrics().horizontalAdvance(Cell(pView, r, c)) < pHeader->sectionSize(c),
                 qPrintable(Cell(pView, r, c)));

    // The order of each click is proven on the document; here the titles reach it
    // and the mark shows on the sorted column without cutting any title.
    auto column = [&](int c) {
      QStringList a;
      for (int r = 0; r < pModel->rowCount(); ++r) a << Cell(pView, r, c);
      return a;
    };
    auto marked = [&](int c) { return !pModel->headerData(c, Qt::Horizontal, Qt::DecorationRole).isNull(); };
    QVERIFY(!marked(0));
    ClickTitle(pView, 0);
    QCOMPARE(column(0), (QStringList{"4", "3", "2", "1"}));
    QVERIFY(marked(0));
    const QIcon first = pModel->headerData(0, Qt::Horizontal, Qt::DecorationRole).value<QIcon>();
    for (int c = 0; c < 9; ++c) {
      QStyleOptionHeader option;
      option.initFrom(pHeader);
      option.text = aTitles[c];
      option.icon = first;
      option.fontMetrics = titles;
      const int nNeeded = pHeader->style()->sizeFromContents(QStyle::CT_HeaderSection, &option, QSize(), pHeader).width();
      QVERIFY2(pHeader->sectionSize(c) >= nNeeded, qPrintable(QString::number(c)));
    }
    ClickTitle(pView, 3, Qt::ControlModifier);  // a title click with Ctrl still sorts
    QCOMPARE(column(3), (QStringList{"Start", "Stop", "USB", "limit"}));
    QVERIFY(!marked(0));
    QVERIFY(marked(3));
  }

  void selectionAndCopy() {
    auto pFrame = Open(Write("copy.log", Journal(12)));
    QVERIFY(pFrame);
    CZK7LogView* pView = pFrame->GetView();
    QSignalSpy states(pFrame.get(), &CLogFrame::commandStateChanged);
    QVERIFY(!pFrame->CanCopy());
    QVERIFY(!pFrame->CanPrint());

    QGuiApplication::clipboard()->setText("before");
    pFrame->Copy();
    QCOMPARE(QGuiApplication::clipboard()->text(), QString("before"));  // nothing selected: nothing copied

    QTest::mouseClick(pView->viewport(), Qt::LeftButton, {}, RowCentre(pView, 2));
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::ShiftModifier, RowCentre(pView, 4));
    QVERIFY(states.count() >= 1);
    QVERIFY(pFrame->CanCopy());
    QVERIFY(pFrame->CanPrint());
    QTest::mouseClick(pView->viewport(), Qt::LeftButton, Qt::ControlModifier, RowCentre(pView, 8));
    QVERIFY(pView->GetSelectedRows() == (std::vector<int>{2, 3, 4}));  // Ctrl+click is ignored

    const QByteArray journal = Journal(12);
    const QList<QByteArray> aLines = journal.split('\n');
    auto line = [&](int i) { return aLines[i].chopped(1).replace("2017-03-15", "15/03/2017"); };
    pFrame->Copy();
    const QMimeData* pData = QGuiApplication::clipboard()->mimeData();
    QVERIFY(pData);
    QCOMPARE(pData->data("text/plain;charset=ISO-8859-1"), line(2) + "\r\n" + line(3) + "\r\n" + line(4));
    QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromLatin1(line(2) + "\r\n" + line(3) + "\r\n" + line(4)));

    // After a sort the same lines are copied in their new order, and Ctrl+C
    // copies whole lines, not the current cell.
    QGuiApplication::clipboard()->clear();
    pView->ClickColumn(0);
    QTest::keyClick(pView, Qt::Key_C, Qt::ControlModifier);
    QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("text/plain;charset=ISO-8859-1"),
             line(4) + "\r\n" + line(3) + "\r\n" + line(2));

    QTest::keyClick(pView, Qt::Key_A, Qt::ControlModifier);
    QCOMPARE(static_cast<int>(pView->GetSelectedRows().size()), 12);
    pView->clearSelection();
    QVERIFY(!pFrame->CanCopy());
    pFrame->SelectAll();
    QCOMPARE(static_cast<int>(pView->GetSelectedRows().size()), 12);
    pFrame->Copy();
    QVERIFY(QGuiApplication::clipboard()->text().startsWith(QString::fromLatin1(line(11) + "\r\n" + line(10))));
    QVERIFY(QGuiApplication::clipboard()->text().endsWith(QString::fromLatin1(line(0))));
  }

  void printsTheSelectionOnPages() {
    const QString strPdf = m_dir.filePath("log.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(strPdf);
    const int nLinesPerPage = CPagePrinter(printer, {1, 5}, 1).GetLayout().nLinesPerPage;
    QVERIFY(nLinesPerPage > 20);

    const int nSelected = 4 * nLinesPerPage + 7;  // five pages
    auto pFrame = Open(Write("module.log", Journal(nSelected + 40)));
    QVERIFY(pFrame);
    CZK7LogView* pView = pFrame->GetView();
    pView->selectionModel()->select(
        QItemSelection(pView->model()->index(10, 0), pView->model()->index(10 + nSelected - 1, 0)),
        QItemSelectionModel::Select | QItemSelectionModel::Rows);
    const QDate today = QDate::currentDate();
    QVERIFY(pFrame->PrintTo(printer));

    const QString strText = RunPdfToText(strPdf);
    const QStringList aPages = strText.split('\f', Qt::SkipEmptyParts);
    QCOMPARE(aPages.size(), 5);
    const QString strPage2 = aPages[1];
    QVERIFY2(strPage2.contains(QRegularExpression("^\\s*module\\.log\\s*$", QRegularExpression::MultilineOption)),
             qPrintable(strPage2));
    QVERIFY2(strPage2.contains(QRegularExpression("Page 2 from 5\\s*$", QRegularExpression::MultilineOption)),
             qPrintable(strPage2));
    const QRegularExpression dateLine("^\\s*Printed (\\d\\d/\\d\\d/\\d{4}) at \\d\\d:\\d\\d:\\d\\d\\s*$",
                                      QRegularExpression::MultilineOption);
    const QRegularExpressionMatch m = dateLine.match(strPage2);
    QVERIFY2(m.hasMatch(), qPrintable(strPage2));
    QVERIFY(m.captured(1) == today.toString("dd/MM/yyyy") || m.captured(1) == QDate::currentDate().toString("dd/MM/yyyy"));
    QVERIFY(strPage2.contains(QRegularExpression(QString::fromUtf8("N°\\s+Date\\s+Hour\\s+Event\\s+User\\s+Parameter\\s+Comment"))));

    // Page 2 holds the selected rows nLinesPerPage + 1 to 2 * nLinesPerPage,
    // the lines 10 further down the file.
    auto rowAt = [](int nNumber) {
      return QRegularExpression(QString("^\\s*%1\\s+\\d\\d/03/2017\\s+\\d\\d:\\d\\d:00\\s").arg(nNumber),
                                QRegularExpression::MultilineOption);
    };
    QVERIFY(strPage2.contains(rowAt(11 + nLinesPerPage)));
    QVERIFY(strPage2.contains(rowAt(10 + 2 * nLinesPerPage)));
    QVERIFY(!strPage2.contains(rowAt(10 + nLinesPerPage)));
    QVERIFY(!strPage2.contains(rowAt(11 + 2 * nLinesPerPage)));
    QVERIFY(aPages[0].contains(rowAt(11)));
    QVERIFY(!aPages[0].contains(rowAt(10)));
    QVERIFY(aPages[4].contains(rowAt(10 + nSelected)));
    QVERIFY(!aPages[4].contains(rowAt(11 + nSelected)));
    QVERIFY(aPages[4].contains("Page 5 from 5"));

    // A page range prints only those pages, numbered as in the whole job.
    printer.setPrintRange(QPrinter::PageRange);
    printer.setFromTo(4, 9);
    QVERIFY(pFrame->PrintTo(printer));
    const QStringList aRange = RunPdfToText(strPdf).split('\f', Qt::SkipEmptyParts);
    QCOMPARE(aRange.size(), 2);
    QVERIFY(aRange[0].contains("Page 4 from 5"));
    QVERIFY(aRange[1].contains("Page 5 from 5"));
  }

  void compressesLongLinesToTheWidth() {
    const QString strPdf = m_dir.filePath("long.pdf");
    QPrinter printer(QPrinter::HighResolution);
    printer.setOutputFormat(QPrinter::PdfFormat);
    printer.setPageSize(QPageSize(QPageSize::A4));
    printer.setOutputFileName(strPdf);
    const QByteArray strComment = QByteArray("comment ").repeated(30) + "ENDMARK";
    auto pFrame = Open(Write("long.log", "1\t2017-03-15\t08:00:00\tStart\tadmin\tT1\t" + strComment + "\r\n"
                                         "2\t2017-03-15\t08:00:01\tStop\tadmin\tT1\tshort\r\n"));
    QVERIFY(pFrame);
    pFrame->SelectAll();
    const sTabbedPrintJob job = pFrame->GetView()->MakePrintJob();
    const CPagePrinter pages(printer, job.aColumnPositions, job.nRowCount);
    QVERIFY(pages.GetLayout().dCompression < 0.6);
    QVERIFY(pFrame->PrintTo(printer));
    // Only what lies left of the right margin: the end of the long line is there.
    const QPageLayout page = printer.pageLayout();
    const int nWidthPt = qRound(page.fullRect(QPageLayout::Point).width() - 15 / 25.4 * 72);
    const QString strText =
        RunPdfToText(strPdf, {"-r", "72", "-x", "0", "-y", "0", "-W", std::to_string(nWidthPt), "-H", "900"});
    QVERIFY2(strText.contains("ENDMARK"), qPrintable(strText));
    QVERIFY(strText.contains("short"));
  }

  void previewShowsThePages() {
    auto pFrame = Open(Write("preview.log", Journal(30)));
    QVERIFY(pFrame);
    pFrame->SelectAll();
    int nPages = -1;
    QString strClass;
    CModalAnswerer answers;
    answers.Then([&](QWidget* pModal) {
      strClass = pModal->metaObject()->className();
      if (auto* pWidget = pModal->findChild<QPrintPreviewWidget*>()) nPages = pWidget->pageCount();
      pModal->close();
    });
    pFrame->PrintPreview();
    QCOMPARE(strClass, QString("QPrintPreviewDialog"));
    QCOMPARE(nPages, 1);
  }

  void printDialogOffersThePagesOfTheJob() {
    QPrinter printer(QPrinter::HighResolution);
    const int nLinesPerPage = CPagePrinter(printer, {1, 5}, 1).GetLayout().nLinesPerPage;
    auto pFrame = Open(Write("dialog.log", Journal(2 * nLinesPerPage + 1)));
    QVERIFY(pFrame);
    int nMax = -1;
    QString strClass;
    CModalAnswerer answers;
    answers.Then([&](QWidget* pModal) {
      strClass = pModal->metaObject()->className();
      if (auto* pDialog = qobject_cast<QPrintDialog*>(pModal)) {
        nMax = pDialog->maxPage();
        pDialog->reject();
      } else {
        pModal->close();
      }
    });
    pFrame->Print();
    QCOMPARE(strClass, QString());  // nothing selected: no dialog, nothing printed
    pFrame->SelectAll();
    pFrame->Print();
    QCOMPARE(strClass, QString("QPrintDialog"));
    QCOMPARE(nMax, 3);
  }
};

QTEST_MAIN(LogViewTest)
#include "LogViewTest.moc"
