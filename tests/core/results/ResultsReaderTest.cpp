// Opening results files: every refusal, the layout rules and the record window.
#include <unistd.h>

#include <functional>

#include "ResultsFixture.h"
#include "results/ZK7Exception.h"

using namespace zk7;

namespace {

// nRecords records of nChannels "inputchan" channels; record i's channel c holds i + c.
CResultsFileBuilder File(int nRecords, int nChannels = 2) {
  CResultsFileBuilder b;
  b.nChannels = nChannels;
  b.strXml = CResultsFileBuilder::MakeXml(std::vector<std::string>(static_cast<size_t>(nChannels), "inputchan"));
  b.AddRecords(nRecords, nChannels, 1000000000u, 10, [](int i, int c) { return sRawSample{0, 0, float(i + c)}; });
  return b;
}
CResultsFileBuilder TwoChannelFile(int nRecords) { return File(nRecords); }

class ResultsReader : public CResultsTest {
protected:

  // The id the file is refused with, 0 when it opens.
  unsigned OpenId(const CResultsFileBuilder& b, std::string* pstrText = nullptr) {
    b.WriteTo(Path("f.zk"));
    CZK7Doc doc;
    std::string strError;
    unsigned nId = 0;
    if (doc.OnOpenDocument(Path("f.zk"), &strError, &nId)) return 0;
    if (pstrText) *pstrText = strError;
    EXPECT_EQ(doc.GetRecordCount(), 0) << "a refused file keeps nothing";
    EXPECT_EQ(doc.GetChannelCount(), 0);
    return nId;
  }
};

TEST_F(ResultsReader, RefusesEachBrokenFieldWithItsMessage) {
  struct sCase {
    const char* pszWhat;
    std::function<void(CResultsFileBuilder&)> corrupt;
    unsigned nId;
  };
  const std::vector<sCase> cases = {
      {"model 73541 is accepted", [](auto& b) { b.strModel = "73541"; }, 0},
      {"unknown model", [](auto& b) { b.strModel = "73513"; }, 1152},
      {"model without its zero byte", [](auto& b) { b.strModel = "73512X"; }, 1152},
      {"anything after the model's zero byte", [](auto& b) { b.strModel = std::string("73512\0garbage!!!!", 17); }, 0},
      {"channel count 0", [](auto& b) { b.nChannels = 0; }, 1152},
      {"negative channel count", [](auto& b) { b.nChannels = -3; }, 1152},
      {"time unit 0", [](auto& b) { b.nTimeUnit = 0; }, 1152},
      {"negative time unit", [](auto& b) { b.nTimeUnit = -100; }, 1152},
      {"data offset beyond the end", [](auto& b) { b.nDataOffset = 1 << 30; b.bPadToDataOffset = false; }, 1152},
      {"data offset inside the channel words", [](auto& b) { b.nDataOffset = 50; }, 1153},
      {"no record after the data offset", [](auto& b) { b.aRecords.clear(); }, 1154},
      {"less than one whole record", [](auto& b) { b.aRecords.clear(); b.strTrailing = std::string(23, 'x'); }, 1154},
      {"XML that does not parse", [](auto& b) { b.strXml = "<fieldacq><session></fieldacq>"; }, 1155},
      {"empty XML region", [](auto& b) { b.strXml = ""; }, 1155},
      {"one channel element too many",
       [](auto& b) { b.strXml = CResultsFileBuilder::MakeXml({"inputchan", "numchan", "calcchan"}); }, 1156},
      {"one channel element too few", [](auto& b) { b.strXml = CResultsFileBuilder::MakeXml({"inputchan"}); }, 1156},
      {"no session element", [](auto& b) { b.strXml = "<fieldacq><sessions/></fieldacq>"; }, 1157},
      {"elements nested 40,000 deep",
       [](auto& b) {
         std::string s;
         for (int i = 0; i < 40000; ++i) s += "<a>";
         for (int i = 0; i < 40000; ++i) s += "</a>";
         b.strXml = "<fieldacq><session>" + s + "</session></fieldacq>";
       },
       1155},
      {"a UTF-8 text ending in a lead byte, without its zero",
       [](auto& b) {
         b.strXml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?><fieldacq><session><inputchan/><inputchan/>\xF4";
         b.bXmlZero = false;
       },
       1155},
  };
  for (const auto& c : cases) {
    CResultsFileBuilder b = TwoChannelFile(3);
    c.corrupt(b);
    EXPECT_EQ(OpenId(b), c.nId) << c.pszWhat;
  }
  std::string strText;
  CResultsFileBuilder b = TwoChannelFile(3);
  b.strModel = "12345";
  OpenId(b, &strText);
  EXPECT_EQ(strText, "This file is not a valid ZK7 results file");
  b = TwoChannelFile(0);
  OpenId(b, &strText);
  EXPECT_EQ(strText, "This file is empty (not any result).");
  b = TwoChannelFile(3);
  b.strXml = "<fieldacq/>";
  OpenId(b, &strText);
  EXPECT_EQ(strText, "Erreur: The XML configuration contained in this file has no 'session' element.");
}

TEST_F(ResultsReader, ShortFilesAndUnreadableFiles) {
  WriteFileBytes(Path("47.zk"), std::vector<uint8_t>(47, 0));
  CZK7Doc doc;
  unsigned nId = 99;
  std::string strError;
  EXPECT_FALSE(doc.OnOpenDocument(Path("47.zk"), &strError, &nId));
  EXPECT_EQ(nId, 1152u);

  // A file of exactly the header, channel words and XML region (data offset = length).
  CResultsFileBuilder b = TwoChannelFile(0);
  EXPECT_EQ(OpenId(b), 1154u);

  EXPECT_FALSE(doc.OnOpenDocument(Path("missing.zk"), &strError, &nId));
  EXPECT_EQ(nId, CZK7Exception::FILE_ERROR);
  EXPECT_NE(strError.find("missing.zk"), std::string::npos);
  EXPECT_FALSE(doc.OnOpenDocument(m_dir.Path(), &strError, &nId)) << "a folder is not a results file";
}

TEST_F(ResultsReader, LayoutRules) {
  // 2.5 records' worth of data opens with 2 records.
  CResultsFileBuilder b = TwoChannelFile(2);
  b.strTrailing = std::string(12, '\x7f');
  CZK7Doc doc;
  Open(doc, b, "a.zk");
  EXPECT_EQ(doc.GetRecordCount(), 2);
  EXPECT_EQ(doc.GetRecordSize(), 24);
  EXPECT_EQ(doc.GetChannelWords(), (std::vector<uint32_t>{0xC0DE0000u, 0xC0DE0001u}));
  EXPECT_EQ(doc.GetConfigurationName(), "Test");
  EXPECT_FALSE(doc.IsModified());

  // One record: a recorded duration of 0.
  Open(doc, TwoChannelFile(1), "b.zk");
  EXPECT_EQ(doc.GetRecordCount(), 1);
  EXPECT_EQ(doc.GetRecordedDuration(), 0.0);

  // An XML region without a zero byte is read to its end; a zero byte inside ends it.
  b = TwoChannelFile(1);
  b.bXmlZero = false;
  Open(doc, b, "c.zk");
  b = TwoChannelFile(1);
  b.strXml += std::string("\0<<<not xml", 11);
  Open(doc, b, "d.zk");

  // Reopening another file through the same document replaces everything.
  b = TwoChannelFile(5);
  b.nChannels = 3;
  b.strXml = CResultsFileBuilder::MakeXml({"relaychan", "outputchan", "numchan"}, "Other");
  for (auto& r : b.aRecords) r.aSamples.push_back({});
  Open(doc, b, "e.zk");
  EXPECT_EQ(doc.GetChannelCount(), 3);
  EXPECT_EQ(doc.GetRecordCount(), 5);
  EXPECT_EQ(doc.GetConfigurationName(), "Other");
  EXPECT_EQ(doc.GetChannelName(2), "Ch3");
  EXPECT_EQ(doc.GetChannelName(3), "???");
  EXPECT_EQ(doc.GetChannelUnit(-1), "???");
}

TEST_F(ResultsReader, RecordWindowMovesCentredAndClamps) {
  // 10 channels: 88-byte records, a window of 11,363 records.
  const int k = 40000;
  CZK7Doc doc;
  Open(doc, File(k, 10), "big.zk");
  EXPECT_EQ(doc.GetWindowCapacity(), 11363);
  EXPECT_EQ(doc.GetWindowFirst(), 0);

  EXPECT_EQ(doc.GetRecord(k - 1).Sample(0).fValue, static_cast<float>(k - 1));
  EXPECT_EQ(doc.GetWindowFirst(), k - 11363) << "the window ends at the last record";
  EXPECT_EQ(doc.GetRecord(0).Sample(0).fValue, 0.0f);
  EXPECT_EQ(doc.GetWindowFirst(), 0);
  EXPECT_EQ(doc.GetRecord(20000).Sample(3).fValue, 20003.0f);
  EXPECT_EQ(doc.GetWindowFirst(), 20000 - 11363 / 2) << "refilled centred on the record";
  EXPECT_EQ(doc.GetRecord(20000 + 5000).Sample(0).fValue, 25000.0f);
  EXPECT_EQ(doc.GetWindowFirst(), 20000 - 11363 / 2) << "served from the window";

  EXPECT_EQ(doc.GetRecord(-5).Sample(0).fValue, 0.0f);
  EXPECT_EQ(doc.GetRecord(k + 3).Sample(0).fValue, static_cast<float>(k - 1));

  // A small file is held entirely in the window.
  CZK7Doc small;
  Open(small, File(5000, 10), "small.zk");
  EXPECT_EQ(small.GetWindowCapacity(), 5000);
}

TEST_F(ResultsReader, ReadFailureWhileMovingTheWindowIsAnException) {
  CZK7Doc doc;
  Open(doc, File(30000, 10), "shrinks.zk");
  // The file loses its second half while it is open.
  ASSERT_EQ(::truncate(Path("shrinks.zk").c_str(), 20000), 0);
  EXPECT_THROW(doc.GetRecord(29999), CZK7Exception);
  EXPECT_THROW(doc.FormatChannelValue(0, 29999), CZK7Exception);
  // The window is not left serving stale records after the failure.
  EXPECT_THROW(doc.GetRecord(29999), CZK7Exception);
}

TEST_F(ResultsReader, FilesOver4GiBOpenWithAllTheirRecords) {
  // A sparse file of 4.5 GiB: the length does not fit in 32 bits.
  File(1).WriteTo(Path("huge.zk"));
  const uint64_t nLength = 4608ULL << 20;
  ASSERT_EQ(::truncate(Path("huge.zk").c_str(), static_cast<off_t>(nLength)), 0);
  CZK7Doc doc;
  std::string strError;
  ASSERT_TRUE(doc.OnOpenDocument(Path("huge.zk"), &strError)) << strError;
  EXPECT_EQ(static_cast<uint64_t>(doc.GetRecordCount()), (nLength - doc.GetDataOffset()) / 24);
  EXPECT_EQ(doc.GetRecord(doc.GetRecordCount() - 1).nBaseTime, 0u);
}

TEST_F(ResultsReader, HeaderCountsAndSizesAreCheckedAgainstTheFileBeforeAllocating) {
  // Sparse files: the header claims gigabytes that are not really there.
  const std::string strTwo = CResultsFileBuilder::MakeXml({"inputchan", "inputchan"});
  const std::string strOne = CResultsFileBuilder::MakeXml({"inputchan"});
  struct sCase {
    const char* pszWhat;
    int32_t nChannels;
    uint32_t nDataOffset;
    std::string strXml;
    uint64_t nLength;
    unsigned nId;
  } const cases[] = {
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
    std::string strError;
    unsigned nId = 0;
    const bool bOpened = doc.OnOpenDocument(Path("h.zk"), &strError, &nId);
    EXPECT_EQ(bOpened ? 0u : nId, c.nId) << strError;
    if (bOpened) {
      EXPECT_EQ(doc.GetRecordCount(), 2);
    }
  }

  // 2^31 - 1 records of one channel: the last ones are read, not overflowed past.
  const uint64_t nRecords = 2147483647ull;
  WriteSparseResultsFile(Path("many.zk"), 1, 4096, strOne, 4096 + 16 * nRecords);
  CZK7Doc doc;
  std::string strError;
  ASSERT_TRUE(doc.OnOpenDocument(Path("many.zk"), &strError)) << strError;
  ASSERT_EQ(doc.GetRecordCount(), 2147483647);
  for (int nRecord : {2147483646, 2147483646 - doc.GetWindowCapacity() / 2, 0, 2147483640}) {
    SCOPED_TRACE(nRecord);
    EXPECT_NO_THROW(doc.GetRecord(nRecord));
    EXPECT_LE(doc.GetWindowFirst(), nRecord);
    EXPECT_EQ(static_cast<int64_t>(doc.GetWindowFirst()) + doc.GetWindowCapacity() > nRecord, true);
  }
  EXPECT_EQ(doc.GetWindowFirst(), 2147483647 - doc.GetWindowCapacity()) << "the window ends at the last record";
}

} // namespace
