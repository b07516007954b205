// Opening results files: every refusal, the layout rules and the record
// window; the channel table of the embedded configuration; record times,
// values, the search by time and the information values; and a file that grows
// while open (whole records counted, a partial one not yet, a file cut short or
// replaced refused as a read error).

#include <fstream>
#include <functional>
#include <tinyxml.h>
#include <unistd.h>

#include "ResultsFixture.h"
#include "format/Formatting.h"
#include "results/ChanInfos.h"
#include "results/ZK7Exception.h"

using namespace zk7;

namespace {

// nRecords records of nChannels "inputchan" channels; record i's channel c holds i + c.
CResultsFileBuilder File(int nRecords, int nChannels = 2) {
  CResultsFileBuilder b(nChannels, CResultsFileBuilder::MakeXml(std::vector<std::string>(static_cast<size_t>(nChannels), "inputchan")));
  b.AddRecords(nRecords, nChannels, 1000000000u, 10, [](int i, int c) { return sRawSample{0, 0, float(i + c)}; });
  return b;
}

using ResultsReader = CResultsTest;

TEST_F(ResultsReader, RefusesEachBrokenFieldAndUnreadableFilesWithTheirMessages) {
  std::string strNested;
  for (int i = 0; i < 40000; ++i) strNested += "<a>";
  for (int i = 0; i < 40000; ++i) strNested += "</a>";
  struct sCase { const char* pszWhat; std::function<void(CResultsFileBuilder&)> corrupt; unsigned nId; const char* pszText; };
  const std::vector<sCase> cases = {
      {"model 73541 is accepted", [](auto& b) { b.strModel = "73541"; }, 0, nullptr},
      {"unknown model", [](auto& b) { b.strModel = "73513"; }, 1152, "This file is not a valid ZK7 results file"},
      {"model without its zero byte", [](auto& b) { b.strModel = "73512X"; }, 1152, nullptr},
      {"anything after the model's zero byte", [](auto& b) { b.strModel = std::string("73512\0garbage!!!!", 17); }, 0, nullptr},
      {"channel count 0", [](auto& b) { b.nChannels = 0; }, 1152, nullptr},
      {"negative channel count", [](auto& b) { b.nChannels = -3; }, 1152, nullptr},
      {"time unit 0", [](auto& b) { b.nTimeUnit = 0; }, 1152, nullptr},
      {"negative time unit", [](auto& b) { b.nTimeUnit = -100; }, 1152, nullptr},
      {"data offset beyond the end", [](auto& b) { b.nDataOffset = 1 << 30; b.bPadToDataOffset = false; }, 1152, nullptr},
      {"data offset inside the channel words", [](auto& b) { b.nDataOffset = 50; }, 1153, nullptr},
      // The file is then exactly the header, channel words and XML region (data offset = length).
      {"no record after the data offset", [](auto& b) { b.aRecords.clear(); }, 1154, "This file is empty (not any result)."},
      {"less than one whole record", [](auto& b) { b.aRecords.clear(); b.strTrailing = std::string(23, 'x'); }, 1154, nullptr},
      {"XML that does not parse", [](auto& b) { b.strXml = "<fieldacq><session></fieldacq>"; }, 1155, nullptr},
      {"empty XML region", [](auto& b) { b.strXml = ""; }, 1155, nullptr},
      {"one channel element too many",
       [](auto& b) { b.strXml = CResultsFileBuilder::MakeXml({"inputchan", "numchan", "calcchan"}); }, 1156, nullptr},
      {"one channel element too few", [](auto& b) { b.strXml = CResultsFileBuilder::MakeXml({"inputchan"}); }, 1156, nullptr},
      {"no session element", [](auto& b) { b.strXml = "<fieldacq><sessions/></fieldacq>"; }, 1157, nullptr},
      {"no element below the root", [](auto& b) { b.strXml = "<fieldacq/>"; }, 1157,
       "Erreur: The XML configuration contained in this file has no 'session' element."},
      {"elements nested 40,000 deep", [&](auto& b) { b.strXml = "<fieldacq><session>" + strNested + "</session></fieldacq>"; },
       1155, nullptr},
      {"a UTF-8 text ending in a lead byte, without its zero", [](auto& b) {
         b.strXml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><fieldacq><session><inputchan/><inputchan/>\xF4";
         b.bXmlZero = false;
       }, 1155, nullptr},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszWhat);
    CResultsFileBuilder b = File(3);
    c.corrupt(b);
    b.WriteTo(Path("f.zk"));
    CZK7Doc doc;
    std::string strText; unsigned nId = 0;
    const bool bOpened = doc.OnOpenDocument(Path("f.zk"), &strText, &nId);
    // The id the file is refused with, 0 when it opens; a refused file keeps nothing.
    EXPECT_EQ(std::tuple(bOpened ? 0u : nId, bOpened || (doc.GetRecordCount() == 0 && doc.GetChannelCount() == 0)), std::tuple(c.nId, true));
    if (c.pszText) { EXPECT_EQ(strText, c.pszText); }
  }
  // Short files and unreadable files.
  WriteFileBytes(Path("47.zk"), std::vector<uint8_t>(47, 0));
  CZK7Doc doc;
  unsigned nId = 99; std::string strError;
  EXPECT_FALSE(doc.OnOpenDocument(Path("47.zk"), &strError, &nId));
  EXPECT_EQ(nId, 1152u);
  EXPECT_FALSE(doc.OnOpenDocument(Path("missing.zk"), &strError, &nId));
  EXPECT_EQ(nId, CZK7Exception::FILE_ERROR);
  EXPECT_NE(strError.find("missing.zk"), std::string::npos);
  EXPECT_FALSE(doc.OnOpenDocument(m_dir.Path(), &strError, &nId)) << "a folder is not a results file";
}

TEST_F(ResultsReader, LayoutRules) {
  // 2.5 records' worth of data opens with 2 records.
  CResultsFileBuilder b = File(2);
  b.strTrailing = std::string(12, '\x7f');
  CZK7Doc& doc = Opened(b, "a.zk");
  EXPECT_EQ(std::tuple(doc.GetRecordCount(), doc.GetRecordSize(), doc.GetConfigurationName(), doc.IsModified()),
            std::tuple(2, 24, std::string("Test"), false));
  EXPECT_EQ(doc.GetChannelWords(), (std::vector<uint32_t>{0xC0DE0000u, 0xC0DE0001u}));

  // One record: a recorded duration of 0.
  Open(doc, File(1), "b.zk");
  EXPECT_EQ(std::pair(doc.GetRecordCount(), doc.GetRecordedDuration()), std::pair(1, 0.0));

  // An XML region without a zero byte is read to its end; a zero byte inside ends it.
  b = File(1);
  b.bXmlZero = false;
  Open(doc, b, "c.zk");
  b = File(1);
  b.strXml += std::string("\0<<<not xml", 11);
  Open(doc, b, "d.zk");

  // Reopening another file through the same document replaces everything.
  b = File(5);
  b.nChannels = 3;
  b.strXml = CResultsFileBuilder::MakeXml({"relaychan", "outputchan", "numchan"}, "Other");
  for (auto& r : b.aRecords) r.aSamples.push_back({});
  Open(doc, b, "e.zk");
  EXPECT_EQ(std::tuple(doc.GetChannelCount(), doc.GetRecordCount(), doc.GetConfigurationName()),
            std::tuple(3, 5, std::string("Other")));
  EXPECT_EQ(doc.GetChannelName(2) + doc.GetChannelName(3) + doc.GetChannelUnit(-1), "Ch3??????");
}

TEST_F(ResultsReader, RecordWindowMovesCentredAndClamps) {
  // 10 channels: 88-byte records, a window of 11,363 records.
  const int k = 40000;
  CZK7Doc& doc = Opened(File(k, 10), "big.zk");
  EXPECT_EQ(std::pair(doc.GetWindowCapacity(), doc.GetWindowFirst()), std::pair(11363, 0));
  // The window ends at the last record; it is refilled centred on a record, then serves from itself.
  const struct { int nRecord, nChannel; float fValue; int nFirst; } aSteps[] = {
      {k - 1, 0, float(k - 1), k - 11363}, {0, 0, 0.0f, 0}, {20000, 3, 20003.0f, 20000 - 11363 / 2}, {25000, 0, 25000.0f, 20000 - 11363 / 2}};
  for (const auto& st : aSteps)
    EXPECT_EQ((std::pair{doc.GetRecord(st.nRecord).Sample(st.nChannel).fValue, doc.GetWindowFirst()}), (std::pair{st.fValue, st.nFirst}))
        << st.nRecord;
  EXPECT_EQ(doc.GetRecord(-5).Sample(0).fValue, 0.0f);
  EXPECT_EQ(doc.GetRecord(k + 3).Sample(0).fValue, static_cast<float>(k - 1));

  // A small file is held entirely in the window.
  CZK7Doc& small = Opened(File(5000, 10), "small.zk");
  EXPECT_EQ(small.GetWindowCapacity(), 5000);

  // The file loses its second half while it is open: a read error, and the
  // window is not left serving stale records after the failure.
  Open(doc, File(30000, 10), "shrinks.zk");
  ASSERT_EQ(::truncate(Path("shrinks.zk").c_str(), 20000), 0);
  EXPECT_THROW(doc.GetRecord(29999), CZK7Exception);
  EXPECT_THROW(doc.FormatChannelValue(0, 29999), CZK7Exception);
  EXPECT_THROW(doc.GetRecord(29999), CZK7Exception);
}

TEST_F(ResultsReader, HeaderCountsAndSizesAreCheckedAgainstTheFileAndLargeFilesOpenWhole) {
  // Sparse files: the header claims gigabytes that are not really there.
  const std::string strTwo = CResultsFileBuilder::MakeXml({"inputchan", "inputchan"});
  const std::string strOne = CResultsFileBuilder::MakeXml({"inputchan"});
  struct sCase { const char* pszWhat; int32_t nChannels; uint32_t nDataOffset; std::string strXml; uint64_t nLength; unsigned nId; };
  const sCase cases[] = {
      {"a data offset of 4 GiB before a small text", 2, 0xFFFFFF00u, strTwo, 0xFFFFFF00ull + 2 * 24, 0},
      {"100 million channels that the text does not describe", 100000000, 400000048u + 4096, strTwo,
       400000048ull + 4096 + 800000008ull, 1156},
      {"2^28 channels: a record no int can measure", 1 << 28, (1u << 30) + 4096, strTwo,
       (1ull << 30) + 4096 + (2ull << 31), 1153},
      {"2^29 channels", 1 << 29, (2u << 30) + 4096, strTwo, (2ull << 30) + 4096 + (4ull << 31), 1153},
      {"a text without its end longer than any configuration", 1, 48 + 4 + (8u << 20),
       strOne + std::string(6u << 20, ' '), 48 + 4 + (8u << 20) + 16, 1153},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszWhat);
    WriteSparseResultsFile(Path("h.zk"), c.nChannels, c.nDataOffset, c.strXml, c.nLength);
    CZK7Doc doc;
    std::string strError; unsigned nId = 0;
    const bool bOpened = doc.OnOpenDocument(Path("h.zk"), &strError, &nId);
    EXPECT_EQ(bOpened ? 0u : nId, c.nId) << strError;
    if (bOpened) { EXPECT_EQ(doc.GetRecordCount(), 2); }
  }

  // 2^31 - 1 records of one channel: the last ones are read, not overflowed past.
  WriteSparseResultsFile(Path("many.zk"), 1, 4096, strOne, 4096 + 16 * 2147483647ull);
  CZK7Doc doc;
  std::string strError;
  ASSERT_TRUE(doc.OnOpenDocument(Path("many.zk"), &strError)) << strError;
  ASSERT_EQ(doc.GetRecordCount(), 2147483647);
  for (int nRecord : {2147483646, 2147483646 - doc.GetWindowCapacity() / 2, 0, 2147483640}) {
    SCOPED_TRACE(nRecord);
    EXPECT_NO_THROW(doc.GetRecord(nRecord));
    EXPECT_LE(doc.GetWindowFirst(), nRecord);
    EXPECT_GT(static_cast<int64_t>(doc.GetWindowFirst()) + doc.GetWindowCapacity(), nRecord);
  }
  EXPECT_EQ(doc.GetWindowFirst(), 2147483647 - doc.GetWindowCapacity()) << "the window ends at the last record";

  // A sparse file of 4.5 GiB: the length does not fit in 32 bits.
  File(1).WriteTo(Path("huge.zk"));
  const uint64_t nLength = 4608ULL << 20;
  ASSERT_EQ(::truncate(Path("huge.zk").c_str(), static_cast<off_t>(nLength)), 0);
  ASSERT_TRUE(doc.OnOpenDocument(Path("huge.zk"), &strError)) << strError;
  EXPECT_EQ(static_cast<uint64_t>(doc.GetRecordCount()), (nLength - doc.GetDataOffset()) / 24);
  EXPECT_EQ(doc.GetRecord(doc.GetRecordCount() - 1).nBaseTime, 0u);
}

std::vector<CChanInfos> Table(const std::string& strSession, std::string* pstrName = nullptr) {
  TiXmlDocument doc;
  doc.Parse(("<fieldacq><session>" + strSession + "</session></fieldacq>").c_str());
  EXPECT_FALSE(doc.Error()) << doc.ErrorDesc();
  std::vector<CChanInfos> a{CChanInfos{}};  // emptied by the build
  std::string strName = "unchanged";
  BuildChannelTable(doc, a, strName);
  if (pstrName) *pstrName = strName;
  return a;
}

TEST(ChannelTable, OnlyChannelElementsCountWithTheirNamesUnitsAndLimits) {
  std::string strName;
  const auto a = Table(
      "<task/><relaychan><name>R</name></relaychan><command><configuration><name>First</name></configuration>"
      "</command><task><inputchan><name>nested</name></inputchan></task><calcchan><name>C</name></calcchan>"
      "<foo/><command><configuration><name>Second</name></configuration></command><numchan><name>N</name></numchan>",
      &strName);
  ASSERT_EQ(a.size(), 3u);
  EXPECT_EQ(a[0].strName + a[1].strName + a[2].strName, "RCN");
  EXPECT_EQ(strName, "Second") << "a later command replaces the name";
  EXPECT_TRUE(Table("").empty());

  TiXmlDocument doc;
  doc.Parse("<other><session><inputchan/></session></other>");
  std::vector<CChanInfos> t;
  BuildChannelTable(doc, t, strName);
  EXPECT_EQ(t.size(), 1u) << "the root's name is not checked";
  TiXmlDocument noSession;
  noSession.Parse("<fieldacq><command/></fieldacq>");
  try {
    BuildChannelTable(noSession, t, strName);
    FAIL() << "no session must be refused";
  } catch (const CZK7Exception& e) {
    EXPECT_EQ(e.GetId(), 1157u);
  }

  // Limits.
  const auto aLimited = Table(
      "<inputchan><limit number=\"2\" onoff=\"on\" level=\"high\" value=\"12.5\"/>"
      "<limit number=\"7\" onoff=\"on\" level=\"low\" value=\"-3.25\"/><limit number=\"0\" onoff=\"off\" level=\"high\" value=\"1\"/>"
      "</inputchan><inputchan><limit onoff=\"on\" level=\"high\" value=\"5\"/><limit number=\"1\" level=\"high\" value=\"5\"/>"
      "<limit number=\"3\" onoff=\"ON\" level=\"HIGH\" value=\"abc\"/><limit number=\"4\" onoff=\"on\" value=\"1e2\"/>"
      "<limit number=\"4\" onoff=\"off\"/></inputchan>");
  // Each limit as "on/off high/low value".
  std::vector<std::string> aTexts;
  for (const CChanInfos& c : aLimited)
    for (const auto& l : c.aLimits)
      aTexts.push_back(std::string(l.bOn ? "on " : "off ") + (l.bHigh ? "high " : "low ") + std::to_string(l.fValue));
  // Number 0 names limit 1 and numbers above 4 limit 4. Then: without number or
  // onoff nothing is taken; ON or HIGH in capitals are not on or high; a later
  // limit of the same number overrides, keeping a value set earlier; a plain
  // decimal has no exponent.
  EXPECT_EQ(aTexts, (std::vector<std::string>{"off high 1.000000", "on high 12.500000", "off low 0.000000",
                                              "on low -3.250000", "off low 0.000000", "off low 0.000000",
                                              "off low 0.000000", "off low 1.000000"}));

  // Resolutions, names and units.
  std::vector<std::string> aRows;
  for (const CChanInfos& c : Table("<inputchan><name>Oven</name><unit>\xB0" "C</unit><display resolution=\"auto\"/></inputchan>"
                                   "<numchan><name>Count</name></numchan><outputchan><display resolution=\"2\"/></outputchan>"
                                   "<relaychan><display resolution=\"x\"/></relaychan>"
                                   "<calcchan><display resolution=\" -3\"/><name/></calcchan><inputchan><display/></inputchan>"))
    aRows.push_back(c.strName + "|" + c.strUnit + "|" + std::to_string(c.nResolution));
  // "auto", no display element and no resolution attribute: 6; not a number: 0.
  EXPECT_EQ(aRows, (std::vector<std::string>{"Oven|\xB0" "C|6", "Count||6", "||2", "||0", "||-3", "||6"}));
}

using RecordAccess = CResultsTest;

TEST_F(RecordAccess, RecordTimesWrapAndOffsets) {
  CResultsFileBuilder b;
  b.nTimeUnit = 100;
  b.aRecords.push_back({1000000000u, 250, {{-20, 0, 1.0f}, {7, 0, 2.0f}}});
  b.aRecords.push_back({1000000000u, 50000000u, {{0, 0, 1.0f}, {-32768, 0, 2.0f}}});
  b.aRecords.push_back({0xFFFFFFFFu, 0, {{0, 0, 1.0f}, {0, 0, 2.0f}}});  // one second before 1970
  CZK7Doc& doc = Opened(b);
  EXPECT_EQ(FormatDateTime(doc.GetRecordTime(0, 0), true, true, 3) + "|" + FormatDateTime(doc.GetRecordTime(0, 1), true, true, 3),
            "09/09/2001 01:47:04.980|09/09/2001 01:47:05.007");
  // 100 x 50,000,000 ms wraps to 705,032,704 ms.
  const double dBase = SecondsToDayNumber(1000000000);
  EXPECT_NEAR((doc.GetRecordTime(1, 0) - dBase) * 86400000.0, 705032704.0, 0.01);
  EXPECT_NEAR((doc.GetRecordTime(1, 1) - dBase) * 86400000.0, 705032704.0 - 32768.0, 0.01);
  EXPECT_EQ(doc.GetRecordTime(2, 0), 25568.0 + 86399.0 / 86400.0) << "before 1970 stays well defined";
  EXPECT_EQ(FormatDateTime(doc.GetRecordTime(2, 0), true, false, 0), "12/31/1969 23:59:59");
  EXPECT_EQ(SecondsToDayNumber(-86400 * 365LL), 25569.0 - 365.0);

  unsigned nError = 99; double dTime = 0, dFirst, dLast;
  const float fValue = doc.GetChannelValue(1, 0, nError, dTime);
  EXPECT_EQ(std::tuple(fValue, nError, dTime), std::tuple(2.0f, 0u, doc.GetRecordTime(0, 1)));
  EXPECT_TRUE(doc.GetTimeRange(dFirst, dLast));
  EXPECT_EQ(std::pair(dFirst, dLast), std::pair(doc.GetRecordTime(0, 0), doc.GetRecordTime(2, 0)));
}

TEST_F(RecordAccess, FindRecordByTimeTiesAndBounds) {
  CResultsFileBuilder b;
  b.AddRecords(101, 2, 1700000000u, 10, [](int, int) { return sRawSample{}; });
  CZK7Doc& doc = Opened(b);
  const double t0 = doc.GetRecordTime(0, 0);
  const double dSecond = 1.0 / 86400.0;
  EXPECT_EQ((std::vector<int>{doc.FindRecordByTime(t0 - 10), doc.FindRecordByTime(t0),
                              doc.FindRecordByTime(t0 + 1000 * dSecond), doc.FindRecordByTime(t0 + 100 * dSecond)}),
            (std::vector<int>{0, 0, 100, 100}));
  for (int r = 0; r < 100; ++r) {
    const double dMid = (doc.GetRecordTime(r, 0) + doc.GetRecordTime(r + 1, 0)) / 2;
    EXPECT_EQ(std::tuple(doc.FindRecordByTime(dMid - 0.01 * dSecond), doc.FindRecordByTime(dMid + 0.01 * dSecond),
                         doc.FindRecordByTime(doc.GetRecordTime(r, 0))), std::tuple(r, r + 1, r));
  }

  // Records two days apart at midnight: their midpoints are exact ties.
  CResultsFileBuilder days;
  for (uint32_t i = 0; i < 9; ++i) days.aRecords.push_back({1767225600u + i * 172800u, 0, {{0, 0, 0.0f}, {0, 0, 0.0f}}});
  CZK7Doc& dayDoc = Opened(days);
  for (int r = 0; r < 8; ++r)
    EXPECT_EQ(dayDoc.FindRecordByTime(46023.0 + 2 * r + 1), r + 1) << "an exact tie goes to the later record, r=" << r;
}

TEST_F(RecordAccess, ChannelValuesAndErrors) {
  CResultsFileBuilder b(4, "<fieldacq><session>");
  for (const char* psz : {"2", "6", "auto", "12"}) b.strXml += std::string("<inputchan><display resolution=\"") + psz + "\"/></inputchan>";
  b.strXml += "</session></fieldacq>";
  b.aRecords = {{0, 0, {{0, 0, 3.14159f}, {0, 0, 3.14159f}, {0, 0, 123456.789f}, {0, 0, 2.5f}}},
                {0, 1, {{0, 7, 3.0f}, {0, 0, 1e9f}, {0, 999, 0.0f}, {0, 0, 1e9f}}}};
  CZK7Doc& doc = Opened(b);
  // Resolutions 2, 6, auto and 12 (decimals above 9 shortened to fit), then errors.
  std::vector<std::string> aTexts;
  for (int i = 0; i < 8; ++i) aTexts.push_back(doc.FormatChannelValue(i % 4, i / 4));
  EXPECT_EQ(aTexts, (std::vector<std::string>{"     3.14", " 3.141590", "123456.79", "2.5000000", "Err. 7", "1.00000e9", "Err. 999", "1.00000e9"}));
  EXPECT_FALSE(doc.SetErrorDisplayFormat(CZK7Doc::ERRORS_NUMBER_ONLY)) << "unchanged";
  EXPECT_TRUE(doc.SetErrorDisplayFormat(CZK7Doc::ERRORS_NUMBER_AND_MEANING));
  EXPECT_EQ(doc.FormatChannelValue(0, 1) + "|" + doc.FormatChannelValue(2, 1), "Err. 7 (Overload (too high))|Err. 999 (?" "?" "?)");
  SetRegionalSettings(CRegionalSettings(',', ':', '/', "dd/MM/yyyy"));
  EXPECT_EQ(doc.FormatChannelValue(0, 0), "     3,14");

  float fValue = 0; bool bHigh = false;
  for (auto [nChannel, nLimit] : {std::pair{0, 4}, {9, 0}, {0, 0}})
    EXPECT_FALSE(doc.GetChannelLimit(nChannel, nLimit, fValue, bHigh)) << nChannel << " " << nLimit;
}

TEST_F(RecordAccess, InformationValues) {
  CResultsFileBuilder b;  // the second record 1 h 2 min 3.5 s after the first
  b.aRecords = {{1000000000u, 250, {{-20, 0, 0.0f}, {0, 0, 0.0f}}}, {1000000000u, 250 + 37235, {{-20, 0, 0.0f}, {0, 0, 0.0f}}}};
  CZK7Doc& doc = Opened(b);
  const sResultsFileInfo info = doc.GetFileInformation();
  EXPECT_EQ((std::vector<std::string>{info.strTitle, info.strConfigName, info.strAcqStart, info.strFirstRecord,
                                      info.strDuration, info.strCycles, info.strChannels}),
            (std::vector<std::string>{"Informations about fle 'f.zk'", "Test", "09/09/2001 01:46:40",
                                      "09/09/2001 01:47:04.980", "1 h 2 mn 3.500 s", "2", "2"}));
}

CResultsFileBuilder FiveRecords() {
  CResultsFileBuilder b;
  b.AddRecords(5, 2, 1000000000u, 10, [](int n, int c) { return sRawSample{0, 0, c ? -1.0f : 1.5f * float(n)}; });
  return b;
}
using ResultsGrowth = CResultsTest;

void Append(const std::string& strPath, const std::vector<uint8_t>& a, size_t nFrom, size_t nTo) {
  std::ofstream out(strPath, std::ios::binary | std::ios::app);
  out.write(reinterpret_cast<const char*>(a.data() + nFrom), static_cast<std::streamsize>(nTo - nFrom));
}

} // namespace

TEST_F(ResultsGrowth, WholeRecordsAreCountedPartialOnesWait) {
  const std::string strPath = Path("f.zk");
  const auto aFull = FiveRecords().Build();
  const size_t nRecord = 24;  // 8 + 8 per channel
  const size_t nOne = aFull.size() - 4 * nRecord;  // header, configuration and one record
  WriteFileBytes(strPath, std::vector<uint8_t>(aFull.begin(), aFull.begin() + static_cast<std::ptrdiff_t>(nOne)));
  CZK7Doc doc;
  doc.Open(strPath);
  ASSERT_EQ(std::pair(doc.GetRecordCount(), doc.GetWindowCapacity()), std::pair(1, 1));
  double dFirst = 0, dLast = 0;

  struct sStep { const char* pszWhat; size_t nTo; int nNew, nCount; } steps[] = {  // nTo: the length after the append
      {"nothing appended", nOne, 0, 1}, {"part of a record", nOne + 10, 0, 1},
      {"the record completed and most of the next", nOne + 2 * nRecord - 1, 1, 2}, {"the rest at once", nOne + 4 * nRecord, 3, 5}};
  size_t nAt = nOne;
  for (const auto& step : steps) {
    SCOPED_TRACE(step.pszWhat);
    Append(strPath, aFull, nAt, step.nTo);
    nAt = step.nTo;
    EXPECT_EQ(doc.CheckGrowth(), step.nNew);
    ASSERT_EQ(doc.GetRecordCount(), step.nCount);
    // The newest record is the file's, and the time range reaches it.
    EXPECT_EQ(doc.GetRecord(step.nCount - 1).Sample(0).fValue, 1.5f * static_cast<float>(step.nCount - 1));
    doc.GetTimeRange(dFirst, dLast);
    EXPECT_NEAR((dLast - dFirst) * 86400.0, 0.1 * 10 * (step.nCount - 1), 1e-6);
  }
  EXPECT_EQ(std::pair(doc.GetRecord(0).Sample(0).fValue, doc.GetWindowCapacity()), std::pair(0.0f, 5)) << "the window grows";
}

TEST_F(ResultsGrowth, ShrinkReplaceAndNewHeaderAreReadErrors) {
  const std::string strPath = Path("f.zk");
  const auto aFull = FiveRecords().Build();
  struct sCase { const char* pszWhat; std::function<void()> change; const char* pszText; } cases[] = {
      {"cut short by a record", [&] { std::filesystem::resize_file(strPath, aFull.size() - 24); }, "became shorter"},
      {"renamed over", [&] { WriteFileBytes(Path("g.zk"), aFull), std::filesystem::rename(Path("g.zk"), strPath); },
       "was replaced or removed"},
      {"removed", [&] { std::filesystem::remove(strPath); }, "was replaced or removed"},
      {"written again in place with another header", [&] {
         auto a = aFull;
         a[36] ^= 1;  // the time unit
         a.resize(a.size() + 24);
         std::fstream f(strPath, std::ios::binary | std::ios::in | std::ios::out);
         f.write(reinterpret_cast<const char*>(a.data()), static_cast<std::streamsize>(a.size()));
       }, "header changed"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszWhat);
    WriteFileBytes(strPath, aFull);
    CZK7Doc doc;
    doc.Open(strPath);
    c.change();
    try {
      doc.CheckGrowth();
      ADD_FAILURE() << "no read error";
    } catch (const CZK7Exception& e) {
      EXPECT_EQ(e.GetId(), CZK7Exception::FILE_ERROR);
      EXPECT_NE(e.GetText().find(c.pszText), std::string::npos) << e.GetText();
      EXPECT_NE(e.GetText().find(strPath), std::string::npos) << e.GetText();
    }
    EXPECT_EQ(doc.GetRecordCount(), 5) << "the records shown stay";
  }
}
