// zk7-cli's instrument commands, run as a child process against zk7-sim.
#include <chrono>
#include <regex>
#include <thread>

#include "SimTestSupport.h"

namespace zk7 {
namespace {

class CliInstrument : public SimTest {
protected:
  sProcessResult Cli(std::vector<std::string> aArgs, std::vector<std::string> aEnv = {}) {
    aArgs.insert(aArgs.end(), {"--address", m_sim.Host(), "--port", std::to_string(m_sim.Port()), "--user", kTestUser});
    if (aEnv.empty()) aEnv.push_back(std::string("ZK7_PASSWORD=") + kTestPassword);
    return RunProcess(ZK7_CLI_PATH, aArgs, aEnv);
  }
  void AddModuleFiles() {
    WriteFileText(Root() / "configs" / "a.xml", "<fieldacq><session/></fieldacq>");
    WriteFileText(Root() / "logs" / "today.log", "2026/01/01\t1\n");
    WriteFileText(Root() / "internal" / "run1" / "big.zk", Pattern(1234567, 2));
  }
};

TEST_F(CliInstrument, ListAndDownloadWithTheReplaceOptions) {
  AddModuleFiles();
  StartSim();
  auto list = Cli({"list"});
  ASSERT_EQ(list.nExitCode, 0) << list.strErr;
  EXPECT_EQ(list.strOut,
            "Configurations (configs)\n  31\tconfigs/a.xml\nGlogal Logs (logs)\n  13\tlogs/today.log\n"
            "internal flash (internal)\n  1234567\tinternal/run1/big.zk\nUSB key (usb)\nSD Card (sdcard)\n");

  const std::string strDest = (Local() / "dest").string();
  auto all = Cli({"download", "--dest", strDest});
  ASSERT_EQ(all.nExitCode, 0) << all.strErr;
  EXPECT_EQ(all.strOut, "3 files have been dowloaded.\n");
  EXPECT_EQ(ReadFileText(Local() / "dest" / "internal" / "run1" / "big.zk"), Pattern(1234567, 2));
  EXPECT_EQ(ReadFileText(Local() / "dest" / "logs" / "today.log"), "2026/01/01\t1\n");

  // Existing files and no terminal to ask on: the download stops before replacing anything.
  WriteFileText(Local() / "dest" / "configs" / "a.xml", "mine");
  auto asked = Cli({"download", "--dest", strDest});
  EXPECT_EQ(asked.nExitCode, 1);
  EXPECT_NE(asked.strErr.find("already exists: give --replace or --skip"), std::string::npos) << asked.strErr;
  EXPECT_EQ(ReadFileText(Local() / "dest" / "configs" / "a.xml"), "mine");

  auto skipped = Cli({"download", "--dest", strDest, "--skip"});
  EXPECT_EQ(skipped.nExitCode, 0);
  EXPECT_EQ(skipped.strOut, "No file was downloaded.\n");
  EXPECT_EQ(ReadFileText(Local() / "dest" / "configs" / "a.xml"), "mine");

  auto one = Cli({"download", "--dest", strDest, "--replace", "--select", "configs/*.xml"});
  EXPECT_EQ(one.nExitCode, 0) << one.strErr;
  EXPECT_EQ(one.strOut, "One file has been loaded.\n");
  EXPECT_EQ(ReadFileText(Local() / "dest" / "configs" / "a.xml"), "<fieldacq><session/></fieldacq>");

  auto none = Cli({"download", "--dest", strDest, "--select", "usb/*"});
  EXPECT_EQ(none.nExitCode, 1);
  EXPECT_EQ(none.strErr, "Vous have not selected any file!\n");
}

TEST_F(CliInstrument, DefaultDestinationIsInTheDocumentsFolder) {
  AddModuleFiles();
  StartSim();
  const std::string strHome = (Local() / "home").string();
  auto r = Cli({"download", "--select", "logs/*"},
               {std::string("ZK7_PASSWORD=") + kTestPassword, "HOME=" + strHome, "XDG_CONFIG_HOME=" + strHome + "/.config"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(ReadFileText(Local() / "home" / "Documents" / "ZK7" / "127.0.0.1" / "logs" / "today.log"), "2026/01/01\t1\n");
}

TEST_F(CliInstrument, PasswordsAndLinkFailures) {
  StartSim();
  auto wrong = Cli({"status"}, {"ZK7_PASSWORD=not-the-one"});
  EXPECT_EQ(wrong.nExitCode, 1);
  EXPECT_EQ(wrong.strErr, "Request status Error: Invalid user name or password\n");
  EXPECT_EQ(wrong.strOut.find("not-the-one"), std::string::npos);

  WriteFileText(Local() / "pw", std::string(kTestPassword) + "\n");
  auto fromFile = Cli({"status", "--password-file", (Local() / "pw").string()}, {"ZK7_PASSWORD=not-the-one"});
  EXPECT_EQ(fromFile.nExitCode, 0) << fromFile.strErr;
  EXPECT_EQ(fromFile.strOut, "Acquisition is not running.\n");

  // Never on the command line; without a terminal there is nobody to ask.
  auto onLine = Cli({"status", "--password", kTestPassword}, {"ZK7_PASSWORD=x"});
  EXPECT_EQ(onLine.nExitCode, 2);
  auto noPassword = RunProcess(ZK7_CLI_PATH, {"status", "--address", m_sim.Host(), "--port",
                                              std::to_string(m_sim.Port()), "--user", kTestUser},
                               {"ZK7_PASSWORD"});
  EXPECT_EQ(noPassword.nExitCode, 2);
  EXPECT_NE(noPassword.strErr.find("no password"), std::string::npos) << noPassword.strErr;

  m_sim.Stop();
  auto down = Cli({"status"});
  EXPECT_EQ(down.nExitCode, 1);
  EXPECT_EQ(down.strErr, "Can't Establish connexion with following parameters:\r\nIP Address: 127.0.0.1\r\nPort: " +
                             std::to_string(m_sim.Port()) + "\n");
}

TEST_F(CliInstrument, SendConfigurationStatusStartAndStop) {
  StartSim();
  const auto config = Local() / "Plant A.old.xml";
  WriteFileText(config, "<fieldacq><session><channels/></session></fieldacq>");
  auto sent = Cli({"send-config", config.string(), "--start"});
  ASSERT_EQ(sent.nExitCode, 0) << sent.strErr;
  EXPECT_EQ(sent.strOut, "Configuration has been successfully sent.\nAcquisition is running.\n");
  EXPECT_TRUE(std::filesystem::exists(Root() / "configs" / "Plant A.xml"));
  EXPECT_EQ(Cli({"status"}).strOut, "Acquisition is running.\n");

  auto refused = Cli({"send-config", config.string()});
  EXPECT_EQ(refused.nExitCode, 1);
  EXPECT_EQ(refused.strErr.rfind("Acquisition is currently running.\n", 0), 0u) << refused.strErr;
  EXPECT_EQ(Cli({"status"}).strOut, "Acquisition is running.\n");

  auto stopped = Cli({"send-config", config.string(), "--stop-running"});
  EXPECT_EQ(stopped.nExitCode, 0) << stopped.strErr;
  EXPECT_EQ(stopped.strOut, "Configuration has been successfully sent.\n");
  EXPECT_EQ(Cli({"status"}).strOut, "Acquisition is not running.\n");

  EXPECT_EQ(Cli({"start"}).strOut, "Acquisition is running.\n");
  EXPECT_EQ(Cli({"stop"}).strOut, "Acquisition has been stopped.\n");

  const auto bad = Local() / "bad.xml";
  WriteFileText(bad, "<fieldacq><channels/></fieldacq>");
  auto wrong = Cli({"send-config", bad.string()});
  EXPECT_EQ(wrong.nExitCode, 1);
  EXPECT_EQ(wrong.strErr, "'" + bad.string() + "': Wrong configuration file. No <session> element\n");
}

TEST_F(CliInstrument, DownloadGetsWholeFilesThroughDroppedAndLateBlocks) {
  AddModuleFiles();
  // Blocks #1 and #2 carry a.xml and today.log; big.zk's blocks follow.
  StartSim({"--fault", "drop=1000@block#4*1", "--fault", "stall=1500@block#9*1"});
  auto r = Cli({"download", "--dest", (Local() / "dest").string(), "--timeout", "0.5"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(r.strOut, "3 files have been dowloaded.\n");
  EXPECT_EQ(ReadFileText(Local() / "dest" / "internal" / "run1" / "big.zk"), Pattern(1234567, 2));
  for (const char* pszBad : {"0", "-1", "abc", "1e9", "2,5"}) {
    SCOPED_TRACE(pszBad);
    EXPECT_EQ(Cli({"status", "--timeout", pszBad}).nExitCode, 2);
  }
}

TEST_F(CliInstrument, HostileAnswersEndWithAMessageAndFlatMemory) {
  WriteFileText(Root() / "internal" / "f.zk", Pattern(1000, 3));
  struct {
    const char* pszFault;
    std::vector<std::string> aArgs;
    int nExit;
    const char* pszErr;  // start of standard error
  } cases[] = {
      {"deep-nesting@status", {"status"}, 1, "XML nested deeper than 256 levels\n"},
      {"utf8-tail@status", {"status"}, 1, "Error"},
      // 256 MiB announced, little sent: nothing is allocated for what never comes.
      {"huge-length=268435456@status", {"status", "--timeout", "0.5"}, 1, "Can't receive response: no complete answer"},
      // Four gigabytes of refusal text: 64 KiB kept, the connection dropped, the file fetched again.
      {"refusal-flood@block*1", {"download", "--select", "internal/*"}, 0, ""},
      // Refused names are skipped, named, and make the run a failure; the rest arrives.
      {"hostile-names@list*1", {"download", "--select", "*/*", "--replace"}, 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszFault);
    m_sim.Stop();
    StartSim({"--fault", c.pszFault});
    std::vector<std::string> aArgs = c.aArgs;
    aArgs.insert(aArgs.end(), {"--dest", (Local() / "dest").string()});
    if (aArgs[0] != "download") aArgs.resize(aArgs.size() - 2);
    auto r = Cli(aArgs);
    EXPECT_EQ(r.nExitCode, c.nExit) << r.strErr;
    EXPECT_EQ(r.strErr.rfind(c.pszErr, 0), 0u) << r.strErr;
    EXPECT_LT(r.nMaxRssKb, 64 * 1024);
    if (aArgs[0] == "download") {
      EXPECT_EQ(r.strOut.find("Refused file name from the module: '../escaped.zk'") != std::string::npos, c.nExit == 1)
          << r.strOut;
    }
  }
  EXPECT_EQ(ReadFileText(Local() / "dest" / "internal" / "f.zk"), Pattern(1000, 3));
}

TEST_F(CliInstrument, RunningAcquisitionRecordsAGrowingResultsFile) {
  StartSim({"--period", "20"});
  ASSERT_EQ(Cli({"start"}).nExitCode, 0);
  // Poll the listing until the recording has grown between two looks.
  std::regex line(R"(  (\d+)\tinternal/(\S+\.zk))");
  long nFirst = -1, nLast = -1;
  for (int i = 0; i < 200 && !(nFirst > 0 && nLast > nFirst); ++i) {
    auto list = Cli({"list"});
    std::smatch m;
    if (std::regex_search(list.strOut, m, line)) {
      long n = std::stol(m[1]);
      if (nFirst < 0) nFirst = n;
      nLast = n;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  EXPECT_EQ(Cli({"stop"}).nExitCode, 0);
  EXPECT_GT(nFirst, 0);
  EXPECT_GT(nLast, nFirst);
  ASSERT_EQ(Cli({"download", "--dest", (Local() / "dest").string(), "--select", "internal/*.zk"}).nExitCode, 0);
  // A results file: the 48-byte header and whole records of 8 + 8 x 8 bytes after the prologue.
  size_t nCount = 0;
  for (const auto& e : std::filesystem::directory_iterator(Local() / "dest" / "internal")) {
    ++nCount;
    EXPECT_GT(std::filesystem::file_size(e.path()), 48u);
  }
  EXPECT_EQ(nCount, 1u);
}

} // namespace
} // namespace zk7
