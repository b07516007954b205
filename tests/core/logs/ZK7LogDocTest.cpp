// The log document: reading, the date rewrite, fields and widths, the sort
// clicks, the copied text and the printed lines.
#include "ResultsFixture.h"
#include "logs/ZK7LogDoc.h"

using namespace zk7;

namespace {

struct LogDoc : CResultsTest {
  void SetUp() override { SetRegionalSettings(CRegionalSettings(',', ':', '/', "dd/MM/yyyy")); }
  std::string Write(const std::string& strName, const std::string& strBytes) {
    WriteFileText(Path(strName), strBytes);
    return Path(strName);
  }
};

// Six events of one day, as a module journals them.
const char* const s_pszJournal =
    "1\t2017-03-15\t08:00:01\tStart\tadmin\tAcquisition\tsession 12\r\n"
    "2\t2017-03-15\t08:05:10\tlimit\toperator\tT1\thigh 85.0\r\n"
    "3\t2017-03-15\t09:12:44\tUSB\tadmin\tKey inserted\t\r\n"
    "4\t2017-03-15\t10:20:30\tStop\tadmin\tAcquisition\tsession 12\r\n"
    "5\t2017-03-15\t10:20:31\t\xC9v\xE9nement\tsystem\tReboot\t\r\n"
    "6\t2017-03-15\t11:00:00\tconfig\toperator\trun.xml\tsent\r\n";

} // namespace

TEST_F(LogDoc, ReadsLinesWithTheDateRewriteAndRefusesUnreadableFiles) {
  CZK7LogDoc doc;
  std::string strError;
  const std::string strPath = Write("journal.log",
                                    "12\t2017-03-15\t10:20:30\tStart\tadmin\tbackup of 2017-03-15\n13\t1999-12-31\t23:59:59\tStop\r\n"
                                    "14\t2017-03-15\n\n15\t2016-02-29\t00:00:00\tLeap\n16\t2017-02-29\t00:00:00\tNo such day\n"
                                    "17\t2017-13-01\tx\n18\t2017-01-00\tx\n19\t2017-01-32\tx\n20\t2000-01-01\tfirst day\r\n"
                                    "21\t2024-7-4 \tshort month\n22\t2017-03-15\t1\t2\t3\t4\t5\t6\t7");
  ASSERT_TRUE(doc.OnOpenDocument(strPath, &strError)) << strError;
  EXPECT_EQ(std::pair(doc.GetTitle(), doc.GetPathName()), std::pair(std::string("journal.log"), strPath));
  // Every occurrence of the date rewritten; days that do not exist, dates before
  // 2000 and days not at characters 9-10 kept; CR LF dropped.
  const std::vector<std::string> aLines = {
      "12\t15/03/2017\t10:20:30\tStart\tadmin\tbackup of 15/03/2017", "13\t1999-12-31\t23:59:59\tStop", "14\t2017-03-15", "",
      "15\t29/02/2016\t00:00:00\tLeap", "16\t2017-02-29\t00:00:00\tNo such day", "17\t2017-13-01\tx", "18\t2017-01-00\tx",
      "19\t2017-01-32\tx", "20\t01/01/2000\tfirst day", "21\t2024-7-4 \tshort month", "22\t15/03/2017\t1\t2\t3\t4\t5\t6\t7"};
  std::vector<std::string> aRead;
  for (int i = 0; i < doc.GetLineCount(); ++i) aRead.emplace_back(doc.GetLine(i));
  EXPECT_EQ(aRead, aLines);
  EXPECT_EQ(doc.GetColumnCount(), 9);
  EXPECT_EQ(doc.GetColumnWidths(), (std::vector<int>{2, 10, 11, 11, 5, 20, 1, 1, 1}));
  EXPECT_EQ((std::vector<int>{doc.GetColumnWidth(1), doc.GetColumnWidth(9), doc.GetColumnWidth(-1)}),
            (std::vector<int>{10, 0, 0}));
  // Fields of the line, and nothing beyond the lines and fields.
  EXPECT_EQ(doc.GetField(0, 3) + "|" + doc.GetField(0, 5) + "|" + doc.GetField(11, 8), "Start|backup of 15/03/2017|7");
  for (auto [nLine, nField] : {std::pair{0, 6}, {3, 0}, {12, 0}, {-1, 0}, {0, -1}})
    EXPECT_EQ(doc.GetField(nLine, nField), "") << nLine << "," << nField;
  EXPECT_TRUE(doc.GetLine(12).empty() && doc.GetLine(-1).empty());

  const char* const aTitles[] = {"N\xB0", "Date", "Hour", "Event", "User", "Parameter", "Comment", "", ""};
  for (int c = 0; c < 9; ++c) EXPECT_EQ(CZK7LogDoc::GetColumnTitle(c), aTitles[c]) << c;
  EXPECT_EQ(std::pair(CZK7LogDoc::GetColumnAlign(0), CZK7LogDoc::GetColumnAlign(1)), std::pair(1, 0));
  EXPECT_FALSE(doc.OnNewDocument());

  // The date follows the user's format.
  SetRegionalSettings(CRegionalSettings('.', ':', '.', "d.M.yy"));
  EXPECT_EQ(CZK7LogDoc::RewriteDate("3\t2017-03-05\t12:00:00"), "3\t5.3.17\t12:00:00");
  SetRegionalSettings(CRegionalSettings::Plain());
  // The field's text elsewhere in the line too; nothing without tabs.
  EXPECT_EQ(CZK7LogDoc::RewriteDate("3\t2017-03-05\t12:00:00") + "|" + CZK7LogDoc::RewriteDate("2017-03-05\t2017-03-05\t") +
                "|" + CZK7LogDoc::RewriteDate("no tabs here 2017-03-05"),
            "3\t03/05/2017\t12:00:00|03/05/2017\t03/05/2017\t|no tabs here 2017-03-05");

  // Empty and unreadable files.
  CZK7LogDoc empty;
  ASSERT_TRUE(empty.OnOpenDocument(Write("empty.log", "")));
  EXPECT_TRUE(empty.GetLineCount() == 0 && empty.GetColumnCount() == 0 && empty.GetColumnWidths().empty());

  std::string strEmptyError;
  EXPECT_FALSE(empty.OnOpenDocument(Path("missing.log"), &strEmptyError));
  EXPECT_NE(strEmptyError.find("missing.log"), std::string::npos) << strEmptyError;
  strEmptyError.clear();
  EXPECT_FALSE(empty.OnOpenDocument(m_dir.Path(), &strEmptyError));
  EXPECT_FALSE(strEmptyError.empty());

  empty.LoadFromBytes("a\tb\n\n");
  EXPECT_EQ(std::pair(empty.GetLineCount(), empty.GetColumnCount()), std::pair(2, 2)) << "an empty line is a line; the file's end is not";
}

TEST_F(LogDoc, SortClicksCopyAndPrintedLines) {
  CZK7LogDoc doc;
  doc.LoadFromBytes(s_pszJournal);
  CLogSortState sort;
  std::vector<int> a = {0, 1, 2, 3, 4, 5};
  EXPECT_EQ(std::tuple(sort.GetSortColumn(), sort.GetFlag(), sort.GetMarkedColumn()), std::tuple(0, false, -1))
      << "no mark before the first click";
  // The column clicked, the column whose mark goes (-1: none).
  const struct { const char* pszWhat; int nColumn, nUnmarked; bool bFlag; std::vector<int> aOrder; } aClicks[] = {
      {"latest line first", 0, -1, true, {5, 4, 3, 2, 1, 0}},
      {"file order again", 0, -1, false, {0, 1, 2, 3, 4, 5}},
      // Bytes, unsigned: capitals, then small letters, then the accented 0xC9.
      {"the mark leaves the number column", 3, 0, true, {0, 3, 2, 5, 1, 4}},
      {"descending with the flag off", 3, -1, false, {4, 1, 5, 2, 3, 0}},
      {"a new column starts with the flag on; hours order by line", 2, 3, true, {5, 4, 3, 2, 1, 0}},
      {"empty comments first; equal texts keep their order", 6, 2, true, {4, 2, 1, 5, 3, 0}},
  };
  for (const auto& c : aClicks) {
    SCOPED_TRACE(c.pszWhat);
    EXPECT_EQ(sort.Click(c.nColumn), c.nUnmarked);
    EXPECT_EQ(std::pair(sort.GetFlag(), sort.GetMarkedColumn()), std::pair(c.bFlag, c.nColumn));
    sort.Sort(doc, a);
    EXPECT_EQ(a, c.aOrder);
  }
  sort = CLogSortState();
  sort.Click(0);
  EXPECT_EQ(sort.GetMarkIcon(), 0);
  sort.Click(0);
  EXPECT_EQ(sort.GetMarkIcon(), 1);
  sort.Click(6);
  EXPECT_TRUE(sort.Less(doc, 2, 1) && !sort.Less(doc, 1, 2));

  // The date column orders by line too: file order, though the texts would reverse it.
  doc.LoadFromBytes("9\t2017-03-15\t23:00:00\n1\t2017-03-14\t01:00:00\n");
  sort = CLogSortState();
  sort.Click(1);
  sort.Click(1);
  a = {1, 0};
  sort.Sort(doc, a);
  EXPECT_EQ(a, (std::vector<int>{0, 1}));

  // The copied text and the printed lines.
  doc.LoadFromBytes(s_pszJournal);
  EXPECT_EQ(BuildLogCopyText(doc, {3, 1}),
            "4\t15/03/2017\t10:20:30\tStop\tadmin\tAcquisition\tsession 12\r\n"
            "2\t15/03/2017\t08:05:10\tlimit\toperator\tT1\thigh 85.0");
  EXPECT_EQ(BuildLogCopyText(doc, {4}) + BuildLogCopyText(doc, {}), "5\t15/03/2017\t10:20:31\t\xC9v\xE9nement\tsystem\tReboot\t");

  EXPECT_EQ(LogPrintTitleLine(doc), "N\xB0\tDate\tHour\tEvent\tUser\tParameter\tComment");
  EXPECT_EQ(LogPrintRowLine(doc, 2), "3\t15/03/2017\t09:12:44\tUSB\tadmin\tKey inserted\t\t");
  doc.LoadFromBytes("1\ta\n2\tb\tc\td\te\tf\tg\th\n");
  EXPECT_EQ(LogPrintTitleLine(doc), "N\xB0\tDate\tHour\tEvent\tUser\tParameter\tComment\t");
  EXPECT_EQ(LogPrintRowLine(doc, 0), "1\ta\t\t\t\t\t\t\t");

  EXPECT_EQ(std::string(ClipboardFailureText(CLIPBOARD_CANNOT_OPEN)) + "|" + ClipboardFailureText(CLIPBOARD_CANNOT_EMPTY) +
                "|" + ClipboardFailureText(CLIPBOARD_CANNOT_SET),
            "Cannot open the Clipboard|Cannot empty the Clipboard|Unable to set Clipboard data");
}

