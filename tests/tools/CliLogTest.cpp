// zk7-cli log: the bytes the log window copies, after column clicks, and its refusals.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "SimProcess.h"

using namespace zk7;

namespace {

class CliLog : public ::testing::Test {
protected:
  std::string m_strDir = MakeTempDir("zk7-clilog");
  std::string m_strFile = m_strDir + "/module.log";

  void SetUp() override {
    std::ofstream(m_strFile, std::ios::binary) << "1\t2017-03-15\t08:00:01\tStart\tadmin\tAcquisition\tsession 12\r\n"
                                                  "2\t2017-03-15\t08:05:10\tlimit\toperator\tT1\thigh 85.0\r\n"
                                                  "3\t2017-03-16\t09:12:44\t\xC9v\xE9nement\tadmin\tKey\t\r\n"
                                                  "4\t1999-12-31\t10:20:30\tStop\tadmin\tAcquisition\tsession 12\r\n";
  }
  void TearDown() override { std::filesystem::remove_all(m_strDir); }

  static sProcessResult Cli(const std::vector<std::string>& aArgs, const std::string& strLocale = "en_GB.UTF-8") {
    return RunProcess(ZK7_CLI_PATH, aArgs, {"LC_ALL=" + strLocale, "LANG=" + strLocale});
  }
};

const std::string s_strLine1 = "1\t15/03/2017\t08:00:01\tStart\tadmin\tAcquisition\tsession 12";
const std::string s_strLine2 = "2\t15/03/2017\t08:05:10\tlimit\toperator\tT1\thigh 85.0";
const std::string s_strLine3 = "3\t16/03/2017\t09:12:44\t\xC9v\xE9nement\tadmin\tKey\t";
const std::string s_strLine4 = "4\t1999-12-31\t10:20:30\tStop\tadmin\tAcquisition\tsession 12";

} // namespace

TEST_F(CliLog, CopiedBytesAfterClicks) {
  sProcessResult r = Cli({"log", m_strFile});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut, s_strLine1 + "\r\n" + s_strLine2 + "\r\n" + s_strLine3 + "\r\n" + s_strLine4)
      << "file order, Latin-1 bytes, CR LF between lines and none after the last";

  r = Cli({"log", m_strFile, "--click", "1"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut, s_strLine4 + "\r\n" + s_strLine3 + "\r\n" + s_strLine2 + "\r\n" + s_strLine1);

  r = Cli({"log", "--click", "1", m_strFile, "--click", "1"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut, s_strLine1 + "\r\n" + s_strLine2 + "\r\n" + s_strLine3 + "\r\n" + s_strLine4);

  r = Cli({"log", m_strFile, "--click", "4"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut, s_strLine1 + "\r\n" + s_strLine4 + "\r\n" + s_strLine2 + "\r\n" + s_strLine3)
      << "events by their bytes: capitals, small letters, then the accented capital";

  r = Cli({"log", m_strFile, "--click", "4", "--click", "4", "--click", "2"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut, s_strLine4 + "\r\n" + s_strLine3 + "\r\n" + s_strLine2 + "\r\n" + s_strLine1)
      << "the date column orders by line, latest first";

  r = Cli({"log", m_strFile}, "de_DE.UTF-8");
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut.substr(0, 12), "1\t15.03.17\t0") << "the user's short date";
}

TEST_F(CliLog, Refusals) {
  sProcessResult r = Cli({"log", m_strFile, "--click", "8"});
  EXPECT_EQ(r.nExitCode, 2);
  EXPECT_EQ(r.strOut, "");
  EXPECT_NE(r.strErr.find("--click takes a column number from 1 to 7"), std::string::npos) << r.strErr;

  r = Cli({"log", m_strFile, "--click", "0"});
  EXPECT_EQ(r.nExitCode, 2);
  r = Cli({"log", m_strFile, "--click", "2x"});
  EXPECT_EQ(r.nExitCode, 2);
  r = Cli({"log", m_strFile, "--click"});
  EXPECT_EQ(r.nExitCode, 2);
  r = Cli({"log"});
  EXPECT_EQ(r.nExitCode, 2);

  r = Cli({"log", m_strDir + "/absent.log"});
  EXPECT_EQ(r.nExitCode, 1);
  EXPECT_EQ(r.strOut, "");
  EXPECT_NE(r.strErr.find("absent.log"), std::string::npos) << r.strErr;

  std::ofstream(m_strDir + "/empty.log", std::ios::binary).flush();
  r = Cli({"log", m_strDir + "/empty.log"});
  EXPECT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut, "");
}
