// A results file that grows while open: whole records counted, a partial one
// not yet, and a file cut short or replaced refused as a read error.
#include <filesystem>
#include <fstream>
#include <functional>

#include "ResultsFixture.h"
#include "results/ZK7Exception.h"

using namespace zk7;

namespace {

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
  ASSERT_EQ(doc.GetRecordCount(), 1);
  ASSERT_EQ(doc.GetWindowCapacity(), 1);
  double dFirst = 0, dLast = 0;

  struct sStep {
    const char* pszWhat;
    size_t nTo;  // file length after the append
    int nNew, nCount;
  } steps[] = {
      {"nothing appended", nOne, 0, 1},
      {"part of a record", nOne + 10, 0, 1},
      {"the record completed and most of the next", nOne + 2 * nRecord - 1, 1, 2},
      {"the rest at once", nOne + 4 * nRecord, 3, 5},
  };
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
  EXPECT_EQ(doc.GetRecord(0).Sample(0).fValue, 0.0f);
  EXPECT_EQ(doc.GetWindowCapacity(), 5) << "the window grows with a small file";
}

TEST_F(ResultsGrowth, ShrinkReplaceAndNewHeaderAreReadErrors) {
  const std::string strPath = Path("f.zk");
  const auto aFull = FiveRecords().Build();
  struct sCase {
    const char* pszWhat;
    std::function<void()> change;
    const char* pszText;
  } cases[] = {
      {"cut short by a record", [&] { std::filesystem::resize_file(strPath, aFull.size() - 24); }, "became shorter"},
      {"renamed over", [&] {
         WriteFileBytes(Path("g.zk"), aFull);
         std::filesystem::rename(Path("g.zk"), strPath);
       }, "was replaced or removed"},
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
