// zk7-cli on results files: info, export bytes, error lookup and sample files.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"

using namespace zk7;

namespace {

class CliResults : public ::testing::Test {
protected:
  std::string m_strDir = MakeTempDir("zk7-cli");
  std::string m_strFile = m_strDir + "/run.zk";

  void SetUp() override {
    CResultsFileBuilder b;
    b.aRecords.push_back({1767225600u, 0, {{0, 0, 1.5f}, {3, 0, -2.25f}}});
    b.aRecords.push_back({1767225600u, 4, {{0, 7, 0.0f}, {3, 0, 0.0f}}});
    b.aRecords.push_back({1767225600u, 12, {{0, 0, 100.0f}, {3, 12, 0.0f}}});
    b.WriteTo(m_strFile);
  }
  void TearDown() override { std::filesystem::remove_all(m_strDir); }

  // Runs zk7-cli with British conventions (day-first dates, point decimals).
  static sProcessResult Cli(const std::vector<std::string>& aArgs, const std::string& strLocale = "en_GB.UTF-8") {
    return RunProcess(ZK7_CLI_PATH, aArgs, {"LC_ALL=" + strLocale, "LANG=" + strLocale});
  }
};

TEST_F(CliResults, ExportWritesTheListTextsByteForByte) {
  sProcessResult r = Cli({"export", m_strFile});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut,
            "M\tN\xB0\tHour\tCh1 (U1)\tCh2 (U2)\r\n"
            " \t1\t00:00:00.000\t 1.500000\t-2.250000\r\n"
            " \t2\t00:00:00.400\tErr. 7\t 0.000000\r\n"
            " \t3\t00:00:01.200\t100.00000\tErr. 12\r\n");

  r = Cli({"export", "--records", "2-3", "--channels", "2", "--resolution", "1s", "--errors", "meaning", "--marks", "3",
           "--ms-offsets", "--time-format", "date-time", m_strFile});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut,
            "M\tN\xB0\tDate\tms\tCh2 (U2)\r\n"
            " \t2\t01/01/2026 00:00:00\t3\t 0.000000\r\n"
            "1\t3\t01/01/2026 00:00:01\t3\tErr. 12 (Broken wire (voltage))\r\n");

  // Dates select the nearest records; a comma locale changes the separators.
  r = Cli({"export", m_strFile, "--from", "01/01/2026 00:00:00,300", "--to", "01/01/2026 00:00:01", "--channels", "1",
           "--resolution", "100ms"},
          "fr_FR.UTF-8");
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut,
            "M\tN\xB0\tHour\tCh1 (U1)\r\n"
            " \t2\t00:00:00,4\tErr. 7\r\n"
            " \t3\t00:00:01,2\t100,00000\r\n");
}

TEST_F(CliResults, DatesShownAreAcceptedBackAndIsoInEveryLocale) {
  for (const char* pszLocale : {"C.UTF-8", "de_CH.UTF-8", "en_US.UTF-8", "de_DE.UTF-8"}) {
    SCOPED_TRACE(pszLocale);
    sProcessResult r = Cli({"info", m_strFile}, pszLocale);
    ASSERT_EQ(r.nExitCode, 0) << r.strErr;
    const std::string strLabel = "Date and time of first record in this file: ";
    const size_t nAt = r.strOut.find(strLabel);
    ASSERT_NE(nAt, std::string::npos);
    const std::string strFirst = r.strOut.substr(nAt + strLabel.size(), r.strOut.find('\n', nAt) - nAt - strLabel.size());
    r = Cli({"export", m_strFile, "--from", strFirst, "--to", "2026-01-01T00:00:00", "--channels", "1"}, pszLocale);
    ASSERT_EQ(r.nExitCode, 0) << strFirst << ": " << r.strErr;
    EXPECT_EQ(std::count(r.strOut.begin(), r.strOut.end(), '\n'), 2) << "the title and record 1";
    r = Cli({"export", m_strFile, "--from", "2026-01-01 00:00:00.300", "--channels", "1"}, pszLocale);
    ASSERT_EQ(r.nExitCode, 0) << r.strErr;
    EXPECT_EQ(std::count(r.strOut.begin(), r.strOut.end(), '\n'), 3) << "records 2 and 3";
  }
}

TEST_F(CliResults, ExportToAFileAppendsTitleLineAndRows) {
  const std::string strOut = m_strDir + "/out.txt";
  ASSERT_EQ(Cli({"export", m_strFile, "-o", strOut, "--records", "1-1", "--channels", "1"}).nExitCode, 0);
  ASSERT_EQ(Cli({"export", m_strFile, "-o", strOut, "--append", "--records", "3-3", "--channels", "1"}).nExitCode, 0);
  EXPECT_EQ(ReadFileText(strOut),
            "M\tN\xB0\tHour\tCh1 (U1)\r\n \t1\t00:00:00.000\t 1.500000\r\n"
            "M\tN\xB0\tHour\tCh1 (U1)\r\n \t3\t00:00:01.200\t100.00000\r\n");
  ASSERT_EQ(Cli({"export", m_strFile, "-o", strOut, "--records", "2-2", "--channels", "1"}).nExitCode, 0);
  EXPECT_EQ(ReadFileText(strOut), "M\tN\xB0\tHour\tCh1 (U1)\r\n \t2\t00:00:00.400\tErr. 7\r\n") << "replaced";
}

TEST_F(CliResults, RefusalsAndUsage) {
  WriteFileText(m_strDir + "/bad.zk", std::string(100, 'x'));
  sProcessResult r = Cli({"export", m_strDir + "/bad.zk"});
  EXPECT_EQ(r.nExitCode, 1);
  EXPECT_EQ(r.strErr, "This file is not a valid ZK7 results file\n");
  EXPECT_EQ(r.strOut, "");
  r = Cli({"info", m_strDir + "/missing.zk"});
  EXPECT_EQ(r.nExitCode, 1);
  EXPECT_NE(r.strErr.find("missing.zk"), std::string::npos);

  const std::vector<std::vector<std::string>> usage = {
      {"export", m_strFile, "--bogus"},        {"export", m_strFile, "--records", "0-2"},
      {"export", m_strFile, "--records", "3-2"}, {"export", m_strFile, "--channels", "3"},
      {"export", m_strFile, "--resolution", "5ms"}, {"export", m_strFile, "--append"},
      {"export"},                              {"frobnicate"},
      {"error", "x"},                          {"make-sample", m_strDir + "/x.zk", "--channels", "0"},
  };
  for (const auto& a : usage) {
    r = Cli(a);
    EXPECT_EQ(r.nExitCode, 2) << a.back();
    EXPECT_NE(r.strErr.find("usage: zk7-cli"), std::string::npos) << a.back();
  }
  r = Cli({"export", m_strFile, "--from", "31/02/2026 10:00:00"});
  EXPECT_EQ(r.nExitCode, 1);
  EXPECT_EQ(r.strErr.rfind("Wrong date format", 0), 0u);
}

TEST_F(CliResults, InfoAndErrorLookup) {
  sProcessResult r = Cli({"info", m_strFile});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut,
            "Configuration name: Test\n"
            "Acquisition Start date and time: 01/01/2026 00:00:00\n"
            "Date and time of first record in this file: 01/01/2026 00:00:00.000\n"
            "Recorded duration: 0 h 0 mn 1.200 s\n"
            "Cycles count: 3\n"
            "Channels count: 2\n"
            "001\tCh1\tU1\tresolution 6\tlimits none\n"
            "002\tCh2\tU2\tresolution 6\tlimits none\n");
  r = Cli({"error", "7"});
  EXPECT_EQ(r.strOut, "Overload (too high)\n");
  EXPECT_EQ(r.nExitCode, 0);
  EXPECT_EQ(Cli({"error", "99"}).strOut, "???\n");
  EXPECT_EQ(Cli({"error", "-1"}).strOut, "???\n");
}

TEST_F(CliResults, MakeSampleWritesWhatItIsAskedFor) {
  const std::string strSample = m_strDir + "/sample.zk";
  sProcessResult r = Cli({"make-sample", strSample, "--channels", "7", "--records", "1234", "--period-ms", "250",
                          "--start", "2025-06-30T23:59:58", "--seed", "3"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  r = Cli({"info", strSample});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_NE(r.strOut.find("Acquisition Start date and time: 30/06/2025 23:59:58\n"), std::string::npos) << r.strOut;
  EXPECT_NE(r.strOut.find("Cycles count: 1234\n"), std::string::npos);
  EXPECT_NE(r.strOut.find("Channels count: 7\n"), std::string::npos);
  EXPECT_NE(r.strOut.find("Recorded duration: 0 h 5 mn 8.250 s\n"), std::string::npos) << r.strOut;
  const std::string strAgain = m_strDir + "/again.zk";
  ASSERT_EQ(Cli({"make-sample", strAgain, "--channels", "7", "--records", "1234", "--period-ms", "250", "--start",
                 "2025-06-30T23:59:58", "--seed", "3"})
                .nExitCode,
            0);
  EXPECT_EQ(ReadFileText(strSample), ReadFileText(strAgain));
  EXPECT_EQ(Cli({"make-sample", m_strDir + "/y.zk", "--start", "1850-01-01T00:00:00"}).nExitCode, 2);
}

TEST_F(CliResults, ExportCsvWithSelectionsAndRefusedViewOptions) {
  // A comma locale changes nothing: point decimals, ISO times, UTF-8.
  sProcessResult r = Cli({"export", m_strFile, "--format", "csv"}, "de_DE.UTF-8");
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut,
            "time,Ch1 [U1],Ch2 [U2]\r\n"
            "2026-01-01T00:00:00.000,1.500000,-2.250000\r\n"
            "2026-01-01T00:00:00.400,,0.000000\r\n"
            "2026-01-01T00:00:01.200,100.00000,\r\n");
  const std::string strOut = m_strDir + "/out.csv";
  r = Cli({"export", m_strFile, "--format", "csv", "--records", "2-3", "--channels", "2,1", "--errors", "meaning", "-o",
           strOut});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(ReadFileText(strOut),
            "time,Ch2 [U2],Ch1 [U1]\r\n"
            "2026-01-01T00:00:00.400,0.000000,\"Err. 7 (Overload (too high))\"\r\n"
            "2026-01-01T00:00:01.200,\"Err. 12 (Broken wire (voltage))\",100.00000\r\n");
  r = Cli({"export", m_strFile, "--format", "csv", "--errors", "number", "--from", "01/01/2026 00:00:01"});
  EXPECT_EQ(r.strOut, "time,Ch1 [U1],Ch2 [U2]\r\n2026-01-01T00:00:01.200,100.00000,\"Err. 12\"\r\n");

  for (const std::vector<std::string>& a : std::vector<std::vector<std::string>>{
           {"--format", "xml"}, {"--format", "csv", "--time-format", "time"}, {"--format", "csv", "--resolution", "1s"},
           {"--format", "csv", "--ms-offsets"}, {"--format", "csv", "--marks", "1"},
           {"--format", "csv", "-o", strOut, "--append"}}) {
    std::vector<std::string> args = {"export", m_strFile};
    args.insert(args.end(), a.begin(), a.end());
    r = Cli(args);
    EXPECT_EQ(r.nExitCode, 2) << a.back();
    EXPECT_EQ(r.strErr.rfind("zk7-cli export: ", 0), 0u) << r.strErr;
  }
}

TEST_F(CliResults, VersionOfTheTools) {
  for (const char* psz : {ZK7_CLI_PATH, ZK7_SIM_PATH}) {
    const sProcessResult r = RunProcess(psz, {"--version"});
    EXPECT_EQ(r.nExitCode, 0);
    EXPECT_EQ(r.strOut, std::filesystem::path(psz).filename().string() + " " ZK7_VERSION "\n");
  }
}

} // namespace
