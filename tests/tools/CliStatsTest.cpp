// zk7-cli stats: the program table in any locale, selections and refusals.
#include <gtest/gtest.h>

#include <filesystem>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"

using namespace zk7;

namespace {

TEST(CliStats, ProgramTableSelectionsAndRefusals) {
  const std::string strDir = MakeTempDir("zk7-cli-stats");
  const std::string strFile = strDir + "/run.zk";
  CResultsFileBuilder b;  // 100 ms a counter step
  b.aRecords.push_back({1767225600u, 0, {{0, 0, 1.5f}, {3, 0, -2.25f}}});
  b.aRecords.push_back({1767225600u, 4, {{0, 7, 0.0f}, {3, 0, 0.0f}}});
  b.aRecords.push_back({1767225600u, 12, {{0, 0, 100.0f}, {3, 12, 0.0f}}});
  b.WriteTo(strFile);
  auto cli = [](const std::vector<std::string>& aArgs) {
    return RunProcess(ZK7_CLI_PATH, aArgs, {"LC_ALL=fr_FR.UTF-8", "LANG=fr_FR.UTF-8"});
  };

  // Channel 1's error breaks its only trapezoid; channel 2's runs 400 ms.
  sProcessResult r = cli({"stats", strFile, "--format", "tsv"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut,
            "channel\tname\tunit\tcount\terrors\tmin\tmax\tmean\trms\tstddev\tintegral_s\n"
            "1\tCh1\tU1\t2\t1\t1.5\t100\t50.75\t70.7186326\t49.25\t0\n"
            "2\tCh2\tU2\t2\t1\t-2.25\t0\t-1.125\t1.59099026\t1.125\t-0.45\n");

  r = cli({"stats", "--records", "2-3", "--channels", "2", strFile, "--format", "tsv"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut.substr(r.strOut.find('\n') + 1), "2\tCh2\tU2\t1\t1\t0\t0\t0\t0\t0\t0\n");

  // The window's table: regional decimals, the channel's resolution.
  r = cli({"stats", strFile, "--channels", "1"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut.rfind("Channel  Name  Unit  Count  Errors  Min", 0), 0u) << r.strOut;
  EXPECT_NE(r.strOut.find("50,750000"), std::string::npos) << r.strOut;

  for (const auto& aArgs : std::vector<std::vector<std::string>>{
           {"stats", strFile, "--format", "csv"}, {"stats", strFile, "--channels", "3"},
           {"stats", strFile, "--records", "3-2"}, {"stats", strFile, "--records", "1-2", "--to", "x"}}) {
    SCOPED_TRACE(aArgs[2] + " " + aArgs[3]);
    EXPECT_EQ(cli(aArgs).nExitCode, 2);
  }
  r = cli({"stats", strDir + "/missing.zk"});
  EXPECT_EQ(r.nExitCode, 1);
  EXPECT_FALSE(r.strErr.empty());
  std::filesystem::remove_all(strDir);
}

} // namespace
