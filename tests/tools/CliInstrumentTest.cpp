// zk7-cli's instrument commands, run as a child process against zk7-sim. The
// download's rules are proven on the workflow; here the options reach them.
#include "SimTestSupport.h"

namespace zk7 {

struct CliInstrument : SimTest {
  std::string Dest() const { return (Local() / "dest").string(); }
};

TEST_F(CliInstrument, ListAndDownloadWithTheReplaceOptions) {
  WriteFileText(Root() / "configs" / "a.xml", "<fieldacq><session/></fieldacq>");
  WriteFileText(Root() / "logs" / "today.log", "2026/01/01\t1\n");
  WriteFileText(Root() / "internal" / "run1" / "big.zk", Pattern(1234567, 2));
  StartSim();
  auto list = Cli({"list"});
  ASSERT_EQ(list.nExitCode, 0) << list.strErr;
  EXPECT_EQ(list.strOut,
            "Configurations (configs)\n  31\tconfigs/a.xml\nGlogal Logs (logs)\n  13\tlogs/today.log\n"
            "internal flash (internal)\n  1234567\tinternal/run1/big.zk\nUSB key (usb)\nSD Card (sdcard)\n");
  auto all = Cli({"download", "--dest", Dest()});
  ASSERT_EQ(std::pair(all.nExitCode, all.strOut), std::pair(0, std::string("3 files have been dowloaded.\n"))) << all.strErr;
  EXPECT_EQ(ReadFileText(Local() / "dest" / "internal" / "run1" / "big.zk"), Pattern(1234567, 2));

  // Existing files and no terminal to ask on: the download stops before replacing anything.
  WriteFileText(Local() / "dest" / "configs" / "a.xml", "mine");
  // pszErr: found in standard error; pszA: a.xml afterwards.
  const struct { std::vector<std::string> aArgs; int nExit; const char *pszOut, *pszErr, *pszA; } cases[] = {
      {{"download", "--dest", Dest()}, 1, "", "already exists: give --replace or --skip", "mine"},
      {{"download", "--dest", Dest(), "--skip"}, 0, "No file was downloaded.\n", "", "mine"},
      {{"download", "--dest", Dest(), "--replace", "--select", "configs/*.xml"}, 0, "One file has been loaded.\n", "",
       "<fieldacq><session/></fieldacq>"},
      {{"download", "--dest", Dest(), "--select", "usb/*"}, 1, "", "Vous have not selected any file!\n",
       "<fieldacq><session/></fieldacq>"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.aArgs.back());
    auto r = Cli(c.aArgs);
    EXPECT_EQ(std::tuple(r.nExitCode, r.strOut, ReadFileText(Local() / "dest" / "configs" / "a.xml")),
              std::tuple(c.nExit, std::string(c.pszOut), std::string(c.pszA))) << r.strErr;
    EXPECT_NE(r.strErr.find(c.pszErr), std::string::npos) << r.strErr;
  }
  // Without --dest: the documents folder of the user's home.
  const std::string strHome = (Local() / "home").string();
  auto r = Cli({"download", "--select", "logs/*"}, {"HOME=" + strHome, "XDG_CONFIG_HOME=" + strHome + "/.config"});
  ASSERT_EQ(r.nExitCode, 0) << r.strErr;
  EXPECT_EQ(ReadFileText(Local() / "home" / "Documents" / "ZK7" / "127.0.0.1" / "logs" / "today.log"), "2026/01/01\t1\n");
}

TEST_F(CliInstrument, SendConfigurationStatusStartStopPasswordsAndLinkFailures) {
  StartSim();
  const auto config = Local() / "Plant A.old.xml";
  WriteFileText(config, "<fieldacq><session><channels/></session></fieldacq>");
  auto sent = Cli({"send-config", config.string(), "--start"});
  ASSERT_EQ(std::pair(sent.nExitCode, sent.strOut),
            std::pair(0, std::string("Configuration has been successfully sent.\nAcquisition is running.\n"))) << sent.strErr;
  EXPECT_TRUE(std::filesystem::exists(Root() / "configs" / "Plant A.xml"));

  auto refused = Cli({"send-config", config.string()});
  EXPECT_EQ(std::pair(refused.nExitCode, refused.strErr.rfind("Acquisition is currently running.\n", 0)), std::pair(1, size_t{0}))
      << refused.strErr;
  EXPECT_EQ(Cli({"status"}).strOut, "Acquisition is running.\n");

  auto stopped = Cli({"send-config", config.string(), "--stop-running"});
  EXPECT_EQ(std::pair(stopped.nExitCode, stopped.strOut), std::pair(0, std::string("Configuration has been successfully sent.\n")))
      << stopped.strErr;
  EXPECT_EQ(Cli({"status"}).strOut, "Acquisition is not running.\n");
  EXPECT_EQ(Cli({"start"}).strOut, "Acquisition is running.\n");
  EXPECT_EQ(Cli({"stop"}).strOut, "Acquisition has been stopped.\n");

  const auto bad = Local() / "bad.xml";
  WriteFileText(bad, "<fieldacq><channels/></fieldacq>");
  auto wrong = Cli({"send-config", bad.string()});
  EXPECT_EQ(std::pair(wrong.nExitCode, wrong.strErr), std::pair(1, "'" + bad.string() + "': Wrong configuration file. No <session> element\n"));

  // Passwords, timeouts and link failures.
  auto wrongPassword = Cli({"status"}, {"ZK7_PASSWORD=not-the-one"});
  EXPECT_EQ(std::pair(wrongPassword.nExitCode, wrongPassword.strErr), std::pair(1, std::string("Request status Error: Invalid user name or password\n")));
  EXPECT_EQ(wrongPassword.strOut.find("not-the-one"), std::string::npos);

  WriteFileText(Local() / "pw", std::string(kTestPassword) + "\n");
  auto fromFile = Cli({"status", "--password-file", (Local() / "pw").string()}, {"ZK7_PASSWORD=not-the-one"});
  EXPECT_EQ(std::pair(fromFile.nExitCode, fromFile.strOut), std::pair(0, std::string("Acquisition is not running.\n"))) << fromFile.strErr;

  // Never on the command line; without a terminal there is nobody to ask.
  EXPECT_EQ(Cli({"status", "--password", kTestPassword}).nExitCode, 2);
  auto noPassword = RunProcess(ZK7_CLI_PATH, {"status", "--address", m_sim.Host(), "--port", std::to_string(m_sim.Port()),
                                              "--user", kTestUser}, {"ZK7_PASSWORD"});
  EXPECT_EQ(noPassword.nExitCode, 2);
  EXPECT_NE(noPassword.strErr.find("no password"), std::string::npos) << noPassword.strErr;
  for (const char* pszBad : {"0", "-1", "abc", "1e9", "2,5"}) EXPECT_EQ(Cli({"status", "--timeout", pszBad}).nExitCode, 2) << pszBad;

  m_sim.Stop();
  auto down = Cli({"status"});
  EXPECT_EQ(std::pair(down.nExitCode, down.strErr),
            std::pair(1, "Can't Establish connexion with following parameters:\r\nIP Address: 127.0.0.1\r\nPort: " +
                             std::to_string(m_sim.Port()) + "\n"));
}

TEST_F(CliInstrument, HostileAnswersEndWithAMessageAndFlatMemory) {
  WriteFileText(Root() / "internal" / "f.zk", Pattern(1000, 3));
  const struct { const char* pszFault; std::vector<std::string> aArgs; int nExit; const char* pszErr; } cases[] = {  // pszErr: the start
      // 256 MiB announced, little sent: nothing is allocated for what never comes.
      {"huge-length=268435456@status", {"status", "--timeout", "0.5"}, 1,
       "Can't receive response: no complete answer within 0.5 s"},
      // Four gigabytes of refusal text: 64 KiB kept, the connection dropped, the file fetched again.
      {"refusal-flood@block*1", {"download", "--select", "internal/*", "--dest", Dest()}, 0, ""},
      // Refused names are skipped, named, and make the run a failure; the rest arrives.
      {"hostile-names@list*1", {"download", "--select", "*/*", "--replace", "--dest", Dest()}, 1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.pszFault);
    StartSim({"--fault", c.pszFault});
    auto r = Cli(c.aArgs);
    EXPECT_EQ(r.nExitCode, c.nExit) << r.strErr;
    EXPECT_EQ(r.strErr.rfind(c.pszErr, 0), 0u) << r.strErr;
    EXPECT_LT(r.nMaxRssKb, 64 * 1024);
    EXPECT_EQ(r.strOut.find("Refused file name from the module: '../escaped.zk'") != std::string::npos, c.nExit == 1 && c.aArgs[0] == "download");
  }
  EXPECT_EQ(ReadFileText(Local() / "dest" / "internal" / "f.zk"), Pattern(1000, 3));
}

} // namespace zk7
