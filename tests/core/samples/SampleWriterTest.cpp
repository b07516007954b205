// Sample files: valid, deterministic, every channel kind, values as generated.

#include <cmath>
#include <set>
#include "ResultsFixture.h"
#include "samples/SampleWriter.h"

using namespace zk7;
using SampleWriter = CResultsTest;

TEST_F(SampleWriter, WritesAFileTheReaderOpensWithTheGeneratedValuesAndAPlantsDay) {
  sSampleSpec spec;
  spec.nChannels = 12, spec.nRecords = 30000, spec.nPeriodMs = 250, spec.nSeed = 7;
  CSampleWriter writer(spec);
  ASSERT_TRUE(writer.WriteFile(Path("s.zk")));
  CZK7Doc doc;
  std::string strError;
  ASSERT_TRUE(doc.OnOpenDocument(Path("s.zk"), &strError)) << strError;
  EXPECT_EQ(std::pair(doc.GetChannelCount(), doc.GetRecordCount()), std::pair(12, 30000));
  EXPECT_EQ(doc.GetConfigurationName() + "|" + doc.GetChannelUnit(0), "Demo plant|\xB0" "C");

  // The configuration uses all five channel kinds, "auto" and numeric resolutions and limits.
  const std::string& x = writer.GetConfigurationXml();
  for (const char* psz : {"<inputchan", "<numchan", "<outputchan", "<relaychan", "<calcchan", "resolution=\"auto\"",
                          "resolution=\"1\"", "onoff=\"on\""})
    EXPECT_NE(x.find(psz), std::string::npos) << psz;
  float fValue; bool bHigh;
  EXPECT_TRUE(doc.GetChannelLimit(0, 0, fValue, bHigh));

  // Times advance by the period; the values are those the writer generates.
  EXPECT_NEAR((doc.GetRecordTime(29999, 0) - doc.GetRecordTime(0, 0)) * 86400.0, 29999 * 0.25, 1e-4);
  std::set<unsigned> aErrors;
  std::set<int> aOffsets;
  for (int r = 0; r < 30000; r += 7) {
    for (int c = 0; c < 12; ++c) {
      float f; uint16_t nError; int16_t nOffset;
      writer.SampleAt(r, c, f, nError, nOffset);
      unsigned nDocError; double dTime;
      const float fDoc = doc.GetChannelValue(c, r, nDocError, dTime);
      EXPECT_TRUE(fDoc == f && nDocError == nError) << r << " " << c;
      if (nError) aErrors.insert(nError);
      aOffsets.insert(nOffset);
    }
  }
  EXPECT_GE(aErrors.size(), 2u) << "occasional error codes appear";
  EXPECT_GE(aOffsets.size(), 3u) << "channels carry millisecond offsets";

  // Deterministic for a seed, different for another seed.
  ASSERT_TRUE(writer.WriteFile(Path("again.zk")));
  EXPECT_EQ(ReadFileBytes(Path("s.zk")), ReadFileBytes(Path("again.zk")));
  spec.nSeed = 8;
  ASSERT_TRUE(CSampleWriter(spec).WriteFile(Path("other.zk")));
  EXPECT_NE(ReadFileBytes(Path("s.zk")), ReadFileBytes(Path("other.zk")));

  // A plant's day changes slowly, with a few alarms and errors.
  sSampleSpec plant;
  plant.nChannels = 5, plant.nRecords = 86400, plant.eStyle = eSampleStyle::Plant;
  CSampleWriter plantWriter(plant);
  int nRelaySwitches = 0, nCounterSteps = 0, nOverLimit = 0, nErrors = 0;
  double dLargestTemperatureStep = 0, dPrevTemperature = NAN; float fPrevRelay = -1, fPrevCounter = -1;
  for (int64_t r = 0; r < plant.nRecords; ++r) {
    float v[5];
    uint16_t nError[5];
    int16_t nOffset;
    for (int c = 0; c < 5; ++c) plantWriter.SampleAt(r, c, v[c], nError[c], nOffset);
    nErrors += (nError[0] != 0) + (nError[2] != 0);
    if (!nError[0]) {
      if (!std::isnan(dPrevTemperature))
        dLargestTemperatureStep = std::max(dLargestTemperatureStep, std::fabs(v[0] - dPrevTemperature));
      dPrevTemperature = v[0];
      nOverLimit += v[0] > 28.5f;
    }
    nRelaySwitches += fPrevRelay >= 0 && v[3] != fPrevRelay;
    nCounterSteps += fPrevCounter >= 0 && v[1] != fPrevCounter;
    fPrevRelay = v[3], fPrevCounter = v[1];
  }
  EXPECT_LT(dLargestTemperatureStep, 0.5) << "a temperature drifts, it does not jump";
  EXPECT_TRUE(nOverLimit > 0 && nOverLimit < 86400 / 20) << nOverLimit << ": an alarm excursion now and then";
  EXPECT_TRUE(nRelaySwitches >= 10 && nRelaySwitches <= 24 * 4) << nRelaySwitches;
  EXPECT_TRUE(nCounterSteps >= 200 && nCounterSteps <= 24 * 12 + 1) << nCounterSteps;
  EXPECT_TRUE(nErrors > 0 && nErrors < 2 * 86400 / 1000) << nErrors << ": errors are rare";
}

