// zk7-cli on files: results info, export, stats and sample files, the log
// window's copied bytes, error lookup. The formats themselves are proven in the
// core; here each option reaches them, in the user's locale where it should.

#include <gtest/gtest.h>
#include "ResultsFileBuilder.h"
#include "SimProcess.h"

using namespace zk7;

namespace {

struct CliFiles : ::testing::Test {
  CTempDir m_dir{"zk7-cli"};
  std::string m_strFile = m_dir.Path() + "/run.zk";
  std::string m_strLog = m_dir.Path() + "/module.log";

  void SetUp() override {
    CResultsFileBuilder b;  // 100 ms a counter step
    b.aRecords = {{1767225600u, 0, {{0, 0, 1.5f}, {3, 0, -2.25f}}}, {1767225600u, 4, {{0, 7, 0.0f}, {3, 0, 0.0f}}},
                  {1767225600u, 12, {{0, 0, 100.0f}, {3, 12, 0.0f}}}};
    b.WriteTo(m_strFile);
    WriteFileText(m_strLog, "1\t2017-03-15\t08:00:01\tStart\tadmin\tAcquisition\tsession 12\r\n"
                            "2\t2017-03-15\t08:05:10\tlimit\toperator\tT1\thigh 85.0\r\n"
                            "3\t2017-03-16\t09:12:44\t\xC9v\xE9nement\tadmin\tKey\t\r\n");
  }

  // Runs zk7-cli with British conventions (day-first dates, point decimals) unless told.
  static sProcessResult Cli(const std::vector<std::string>& aArgs, const std::string& strLocale = "en_GB.UTF-8") {
    return RunProcess(ZK7_CLI_PATH, aArgs, {"LC_ALL=" + strLocale, "LANG=" + strLocale});
  }
};

TEST_F(CliFiles, EachCommandWritesItsBytes) {
  const std::string f = m_strFile, strOut = m_dir.Path() + "/out.csv";
  const struct { std::vector<std::string> aArgs; const char* pszLocale; std::string strOut; } cases[] = {
      {{"export", f}, "en_GB.UTF-8",
       "M\tN\xB0\tHour\tCh1 (U1)\tCh2 (U2)\r\n \t1\t00:00:00.000\t 1.500000\t-2.250000\r\n"
       " \t2\t00:00:00.400\tErr. 7\t 0.000000\r\n \t3\t00:00:01.200\t100.00000\tErr. 12\r\n"},
      {{"export", "--records", "2-3", "--channels", "2", "--resolution", "1s", "--errors", "meaning", "--marks", "3",
        "--ms-offsets", "--time-format", "date-time", f},
       "en_GB.UTF-8",
       "M\tN\xB0\tDate\tms\tCh2 (U2)\r\n \t2\t01/01/2026 00:00:00\t3\t 0.000000\r\n"
       "1\t3\t01/01/2026 00:00:01\t3\tErr. 12 (Broken wire (voltage))\r\n"},
      // Dates select the nearest records; a comma locale changes the separators.
      {{"export", f, "--from", "01/01/2026 00:00:00,300", "--to", "01/01/2026 00:00:01", "--channels", "1",
        "--resolution", "100ms"},
       "fr_FR.UTF-8", "M\tN\xB0\tHour\tCh1 (U1)\r\n \t2\t00:00:00,4\tErr. 7\r\n \t3\t00:00:01,2\t100,00000\r\n"},
      // CSV ignores the locale: point decimals, ISO times.
      {{"export", f, "--format", "csv", "--records", "2-3", "--channels", "2,1", "--errors", "meaning", "-o", strOut},
       "de_DE.UTF-8", ""},
      {{"export", f, "--format", "csv", "--errors", "number", "--from", "01/01/2026 00:00:01"}, "en_GB.UTF-8",
       "time,Ch1 [U1],Ch2 [U2]\r\n2026-01-01T00:00:01.200,100.00000,\"Err. 12\"\r\n"},
      {{"info", f}, "en_GB.UTF-8",
       "Configuration name: Test\nAcquisition Start date and time: 01/01/2026 00:00:00\n"
       "Date and time of first record in this file: 01/01/2026 00:00:00.000\nRecorded duration: 0 h 0 mn 1.200 s\n"
       "Cycles count: 3\nChannels count: 2\n001\tCh1\tU1\tresolution 6\tlimits none\n"
       "002\tCh2\tU2\tresolution 6\tlimits none\n"},
      {{"stats", f, "--format", "tsv"}, "fr_FR.UTF-8",
       "channel\tname\tunit\tcount\terrors\tmin\tmax\tmean\trms\tstddev\tintegral_s\n"
       "1\tCh1\tU1\t2\t1\t1.5\t100\t50.75\t70.7186326\t49.25\t0\n"
       "2\tCh2\tU2\t2\t1\t-2.25\t0\t-1.125\t1.59099026\t1.125\t-0.45\n"},
      {{"stats", "--records", "2-3", "--channels", "2", f, "--format", "tsv"}, "C.UTF-8",
       "channel\tname\tunit\tcount\terrors\tmin\tmax\tmean\trms\tstddev\tintegral_s\n"
       "2\tCh2\tU2\t1\t1\t0\t0\t0\t0\t0\t0\n"},
      {{"error", "7"}, "en_GB.UTF-8", "Overload (too high)\n"},
      // The log window's copy: Latin-1, CR LF between lines only, in the clicked order.
      {{"log", "--click", "4", m_strLog, "--click", "4", "--click", "1"}, "de_DE.UTF-8",
       "3\t16.03.17\t09:12:44\t\xC9v\xE9nement\tadmin\tKey\t\r\n"
       "2\t15.03.17\t08:05:10\tlimit\toperator\tT1\thigh 85.0\r\n1\t15.03.17\t08:00:01\tStart\tadmin\tAcquisition\tsession 12"},
  };
  for (const auto& c : cases) {
    const sProcessResult r = Cli(c.aArgs, c.pszLocale);
    EXPECT_EQ(std::pair(r.nExitCode, r.strOut), std::pair(0, c.strOut)) << c.aArgs[0] << " " << c.aArgs[1] << " " << r.strErr;
  }
  EXPECT_EQ(ReadFileText(strOut), "time,Ch2 [U2],Ch1 [U1]\r\n"
                                  "2026-01-01T00:00:00.400,0.000000,\"Err. 7 (Overload (too high))\"\r\n"
                                  "2026-01-01T00:00:01.200,\"Err. 12 (Broken wire (voltage))\",100.00000\r\n");
  // The window's statistics table: regional decimals, the channel's resolution.
  const sProcessResult r = Cli({"stats", f, "--channels", "1"}, "fr_FR.UTF-8");
  EXPECT_TRUE(r.strOut.rfind("Channel  Name  Unit  Count  Errors  Min", 0) == 0 && r.strOut.find("50,750000") != std::string::npos)
      << r.strOut;

  // An export to a file appends or replaces.
  const std::string strTxt = m_dir.Path() + "/out.txt";
  ASSERT_TRUE(Cli({"export", f, "-o", strTxt, "--records", "1-1", "--channels", "1"}).nExitCode == 0 &&
              Cli({"export", f, "-o", strTxt, "--append", "--records", "3-3", "--channels", "1"}).nExitCode == 0);
  EXPECT_EQ(ReadFileText(strTxt), "M\tN\xB0\tHour\tCh1 (U1)\r\n \t1\t00:00:00.000\t 1.500000\r\n"
                                  "M\tN\xB0\tHour\tCh1 (U1)\r\n \t3\t00:00:01.200\t100.00000\r\n");
  ASSERT_EQ(Cli({"export", m_strFile, "-o", strTxt, "--records", "2-2", "--channels", "1"}).nExitCode, 0);
  EXPECT_EQ(ReadFileText(strTxt), "M\tN\xB0\tHour\tCh1 (U1)\r\n \t2\t00:00:00.400\tErr. 7\r\n") << "replaced";
}

TEST_F(CliFiles, RefusalsUsageSamplesAndVersions) {
  const std::string f = m_strFile, d = m_dir.Path(), l = m_strLog;
  WriteFileText(d + "/bad.zk", std::string(100, 'x'));
  WriteFileText(d + "/empty.log", "");
  const std::string u = "usage: zk7-cli", x = "zk7-cli export: ";
  const struct { std::vector<std::string> aArgs; int nExit; std::string strErr; } cases[] = {  // strErr: found in standard error
      {{"export", d + "/bad.zk"}, 1, "This file is not a valid ZK7 results file\n"}, {{"info", d + "/missing.zk"}, 1, "missing.zk"},
      {{"stats", d + "/missing.zk"}, 1, "missing.zk"}, {{"export", f, "--from", "31/02/2026 10:00:00"}, 1, "Wrong date format"},
      {{"log", d + "/absent.log"}, 1, "absent.log"}, {{"log", d + "/empty.log"}, 0, ""},
      {{"log", l, "--click", "8"}, 2, "--click takes a column number from 1 to 7"}, {{"log", l, "--click", "2x"}, 2, ""},
      {{"log", l, "--click", "0"}, 2, ""}, {{"log", l, "--click"}, 2, ""}, {{"log"}, 2, ""}, {{"export", f, "--bogus"}, 2, u},
      {{"export", f, "--records", "0-2"}, 2, u}, {{"export", f, "--records", "3-2"}, 2, u}, {{"export", f, "--channels", "3"}, 2, u},
      {{"export", f, "--resolution", "5ms"}, 2, u}, {{"export", f, "--append"}, 2, u}, {{"export"}, 2, u}, {{"frobnicate"}, 2, u},
      {{"error", "x"}, 2, u}, {{"make-sample", d + "/x.zk", "--channels", "0"}, 2, u},
      {{"make-sample", d + "/y.zk", "--start", "1850-01-01T00:00:00"}, 2, ""}, {{"export", f, "--format", "xml"}, 2, x},
      {{"export", f, "--format", "csv", "--time-format", "time"}, 2, x}, {{"export", f, "--format", "csv", "--resolution", "1s"}, 2, x},
      {{"export", f, "--format", "csv", "--ms-offsets"}, 2, x}, {{"export", f, "--format", "csv", "--marks", "1"}, 2, x},
      {{"export", f, "--format", "csv", "-o", d + "/o.csv", "--append"}, 2, x}, {{"stats", f, "--format", "csv"}, 2, ""},
      {{"stats", f, "--records", "1-2", "--to", "x"}, 2, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.aArgs[0] + " " + c.aArgs.back());
    const sProcessResult r = Cli(c.aArgs);
    EXPECT_EQ(r.nExitCode, c.nExit);
    EXPECT_NE(r.strErr.find(c.strErr), std::string::npos) << r.strErr;
    if (c.nExit == 1) { EXPECT_EQ(r.strOut, ""); }
  }

  // make-sample writes what it is asked for; the versions.
  for (const char* psz : {"/sample.zk", "/again.zk"})
    ASSERT_EQ(Cli({"make-sample", m_dir.Path() + psz, "--channels", "7", "--records", "1234", "--period-ms", "250", "--start",
                   "2025-06-30T23:59:58", "--seed", "3"}).nExitCode, 0);
  const sProcessResult r = Cli({"info", m_dir.Path() + "/sample.zk"});
  for (const char* psz : {"Acquisition Start date and time: 30/06/2025 23:59:58\n", "Cycles count: 1234\n",
                          "Channels count: 7\n", "Recorded duration: 0 h 5 mn 8.250 s\n"})
    EXPECT_NE(r.strOut.find(psz), std::string::npos) << r.strOut;
  EXPECT_EQ(ReadFileText(m_dir.Path() + "/sample.zk"), ReadFileText(m_dir.Path() + "/again.zk"));
  for (const char* psz : {ZK7_CLI_PATH, ZK7_SIM_PATH})
    EXPECT_EQ(RunProcess(psz, {"--version"}).strOut, std::filesystem::path(psz).filename().string() + " " ZK7_VERSION "\n");
}

} // namespace
