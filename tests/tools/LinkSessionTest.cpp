// The link's login, request bytes and response handling against zk7-sim.
#include <thread>
#include <chrono>
#include <sys/socket.h>
#include <netinet/in.h>
#include <unistd.h>

#include "SimTestSupport.h"
#include "link/Protocol.h"

namespace zk7 {

const std::string kDecl = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\" ?>\n";

std::string Between(const std::string& str, const std::string& strOpen, const std::string& strClose) {
  const size_t n = str.find(strOpen) + strOpen.size();
  return n < strOpen.size() ? "" : str.substr(n, str.find(strClose, n) - n);
}

using LinkSession = SimTest;

TEST_F(LinkSession, LoginSendsKeyRequestThenDigestAndKeepsTheSessionOfEachClient) {
  StartSim();
  auto dev = Connect();
  ASSERT_TRUE(dev->IsLogged());
  // The simulator writes ids with leading zeros, as the module does.
  EXPECT_TRUE(dev->GetLogId().size() == 5u && dev->GetLogId()[0] == '0') << dev->GetLogId();

  auto sent = Sent();
  ASSERT_EQ(sent.size(), 2u);
  EXPECT_EQ(sent[0], "POST /HB3XMLParser\r\nContent-Length: 98\r\n\r\n" + kDecl +
                         "<fieldacq>\n\t<login>\n\t\t<read />\n\t</login>\n</fieldacq>\n");
  const std::string strKey = Between(Answered()[0], "<encryption-key>", "</encryption-key>");
  ASSERT_FALSE(strKey.empty());
  EXPECT_EQ(sent[1], Framed(kDecl + "<fieldacq>\n\t<login>\n\t\t<user encryption-key=\"" + strKey + "\" password=\"" +
                            PasswordDigest(kTestPassword, strKey) + "\">operator</user>\n\t</login>\n</fieldacq>\n"));

  // Logging in again opens a new connection and a new session.
  const std::string strOld = dev->GetLogId();
  EXPECT_TRUE(dev->Login() == 0 && dev->GetLogId() != strOld);

  // Several clients at once, each with its own session.
  WriteFileText(Root() / "internal" / "big.zk", Pattern(2000000, 7));
  auto a = Connect();
  auto b = Connect();
  EXPECT_NE(a->GetLogId(), b->GetLogId());
  int nA = -1, nB = -1;
  std::thread t([&] { nA = a->DownloadFile("internal", "", "big.zk", 2000000, (Local() / "a.zk").string()); });
  nB = b->DownloadFile("internal", "", "big.zk", 2000000, (Local() / "b.zk").string());
  t.join();
  EXPECT_EQ((std::pair{nA, nB}), (std::pair{0, 0}));
  EXPECT_TRUE(ReadFileText(Local() / "a.zk") == Pattern(2000000, 7) && ReadFileText(Local() / "b.zk") == Pattern(2000000, 7));
}

TEST_F(LinkSession, RefusedLoginEmptyKeyAndConnectFailures) {
  StartSim({"--fault", "empty-key@key*1"});
  auto dev = NewDev();
  EXPECT_EQ((std::pair{dev->Login(), dev->IsLogged()}), (std::pair{8, false}));
  EXPECT_EQ(Sent().size(), 1u) << "the user name must not follow an empty key";
  auto bad = NewDev("wrong");
  EXPECT_EQ((std::pair{bad->Login(), bad->IsLogged()}), (std::pair{6, false}));
  EXPECT_EQ(bad->GetLastErrorText(), "Request status Error: Invalid user name or password");

  // Connect failures.
  // A port nobody listens on: bound by this test and kept, without listening, so
  // that a connection is refused here and no other process can take the port meanwhile.
  int s = socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in addr{.sin_family = AF_INET, .sin_port = 0, .sin_addr = {htonl(INADDR_LOOPBACK)}, .sin_zero = {}};
  socklen_t nLen = sizeof addr;
  ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
  getsockname(s, reinterpret_cast<sockaddr*>(&addr), &nLen);
  int nPort = ntohs(addr.sin_port);

  CZK7Dev none(nPort);
  none.SetParameters("127.0.0.1", "u", "p");
  EXPECT_EQ((std::pair{none.Login(), none.GetLastErrorText()}),
            (std::pair{1, "Can't Establish connexion with following parameters:\r\nIP Address: 127.0.0.1\r\nPort: " + std::to_string(nPort)}));
  // A name, resolved from the machine's own hosts, is shown as the user typed it.
  CZK7Dev named(nPort);
  named.SetParameters("localhost", "u", "p");
  EXPECT_TRUE(named.Login() == 1 && named.GetLastErrorText().find("IP Address: localhost\r\n") != std::string::npos);
  close(s);
}

TEST_F(LinkSession, RequestBytesOfEachKind) {
  WriteFileText(Root() / "internal" / "run1" / "small.zk", "abc");
  StartSim();
  auto dev = Connect();
  const std::string strId = dev->GetLogId();
  const std::string strSession = "\t<session logid=\"" + strId + "\">\n";
  std::vector<sResDir> aDirs;
  int bRunning = -1;
  ASSERT_TRUE(dev->ListDirectory("internal", aDirs) == 0 &&
              dev->DownloadFile("internal", "run1", "small.zk", 3, (Local() / "small.zk").string()) == 0 &&
              dev->ReadAcquisitionStatus(bRunning) == 0 && dev->SetAcquisition(1, 2) == 0 && dev->SetAcquisition(0, 0) == 0)
      << dev->GetLastErrorText();

  // The simulator hands out handles in upper case; they come back in lower case.
  ASSERT_EQ(Between(Answered()[3], "fd=\"", "\""), "1A2B");
  const auto block = EncodeBlockRequest({.nSession = std::stoi(strId), .nHandle = 0x1A2B, .nOffset = 0, .nCount = 3});
  const std::string strFile = "\t\t<disk device=\"internal\">\n\t\t\t<file>\n\t\t\t\t";
  const std::string strCommand = "\t\t<command>\n\t\t\t<";
  const std::string aInner[] = {  // the third is the block request
      "\t\t<disk device=\"internal\">\n\t\t\t<dir details=\"on\" />\n\t\t</disk>\n",
      strFile + "<open name=\"run1/small.zk\" />\n\t\t\t</file>\n\t\t</disk>\n", "",
      strFile + "<close fd=\"1a2b\" />\n\t\t\t</file>\n\t\t</disk>\n", "\t\t<read-status>\n\t\t\t<acquisition />\n\t\t</read-status>\n",
      strCommand + "start>\n\t\t\t\t<acquisition data=\"append\" />\n\t\t\t</start>\n\t\t</command>\n",
      strCommand + "stop>\n\t\t\t\t<acquisition />\n\t\t\t</stop>\n\t\t</command>\n"};
  const auto sent = Sent();
  ASSERT_EQ(sent.size(), 2u + std::size(aInner));
  for (size_t i = 0; i < std::size(aInner); ++i)
    EXPECT_EQ(sent[2 + i], i == 2 ? std::string(block.begin(), block.end())
                                  : Framed(kDecl + "<fieldacq>\n" + strSession + aInner[i] + "\t</session>\n</fieldacq>\n"));
}

TEST_F(LinkSession, ConfigurationIsSentWithTheCurrentSessionAndSaveLast) {
  const std::string strFile = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<fieldacq><session logid=\"999\"><channels>"
                              "<channel id=\"1\"/></channels></session></fieldacq>\n";
  const auto path = Local() / "Plant A.old.xml";
  WriteFileText(path, strFile);
  StartSim();
  auto dev = NewDev();
  ASSERT_EQ(dev->LoadConfiguration(path.string()), 0);
  // Not logged in yet: the send logs in first.
  ASSERT_EQ(dev->SendConfiguration(), 0) << dev->GetLastErrorText();
  auto sent = Sent();
  ASSERT_EQ(sent.size(), 3u);
  EXPECT_EQ(sent[2], Framed(kDecl + "<fieldacq>\n\t<session logid=\"" + dev->GetLogId() +
                            "\">\n\t\t<channels>\n\t\t\t<channel id=\"1\" />\n\t\t</channels>\n"
                            "\t\t<command>\n\t\t\t<configuration>\n\t\t\t\t<name>Plant A</name>\n\t\t\t</configuration>\n\t\t</command>\n"
                            "\t\t<command>\n\t\t\t<configuration>\n\t\t\t\t<save />\n\t\t\t</configuration>\n\t\t</command>\n"
                            "\t</session>\n</fieldacq>\n"));
  EXPECT_EQ(ReadFileText(path), strFile) << "the file on disk is not changed";
  EXPECT_TRUE(std::filesystem::exists(Root() / "configs" / "Plant A.xml"));
  // The refusal while the module acquires: below, after a late status.
}

TEST_F(LinkSession, UnusableResponses) {
  // Anything but a well-formed answer closes the connection: what follows it is never read. The parse
  // rules behind each text are the response parser's; here what the link does after them.
  const struct { std::vector<std::string> aFaults; int nResult; const char* pszText; bool bStaysOpen; } cases[] = {  // pszText: the start
      {{"utf8-tail@status"}, 5, "Error", false}, {{"long-header@status"}, 5, "Response header longer than 65536 bytes", false},
      {{"huge-length@status"}, 5, "Response too long", false}, {{"deep-nesting@status"}, 5, "XML nested deeper than 256 levels", false},
      {{"refuse=Not now@status", "mixed-eol@status"}, 6, "Request status Error: Not now", true},
      // Tolerated together: LF-only lines, a lower-case length, no status, and a state other than "running".
      {{"lf-only@status", "lower-length@status", "no-status@status", "status=Running@status"}, 0, "", true},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.aFaults[0]);
    std::vector<std::string> aArgs;
    for (const auto& str : c.aFaults) aArgs.insert(aArgs.end(), {"--fault", str});
    StartSim(aArgs);
    auto dev = Connect();
    ASSERT_EQ(dev->SetAcquisition(1, 2), 0);
    int bRunning = 1;
    EXPECT_EQ(dev->ReadAcquisitionStatus(bRunning), c.nResult);
    EXPECT_EQ(bRunning, 0);
    EXPECT_EQ(dev->GetLastErrorText().rfind(c.pszText, 0), 0u) << dev->GetLastErrorText();
    EXPECT_EQ(dev->IsLogged(), c.bStaysOpen);
    ASSERT_EQ(dev->SetAcquisition(0, 0), 0) << "logs in again when it must";
  }
}

TEST_F(LinkSession, LateStatusIsNeverTakenForTheConfigurationsAnswer) {
  const auto path = Local() / "Plant.xml";
  WriteFileText(path, "<fieldacq><session><channels/></session></fieldacq>");
  StartSim({"--fault", "stall=1500@status*1"});
  auto dev = Connect();
  ASSERT_EQ(dev->SetAcquisition(1, 2), 0);
  dev->SetWaitMs(500);
  int bRunning = 0;
  EXPECT_EQ((std::pair{dev->ReadAcquisitionStatus(bRunning), dev->IsLogged()}), (std::pair{4, false}));
  EXPECT_EQ(dev->GetLastErrorText(), "Can't receive response: no complete answer within 0.5 s");
  // The send logs in on a new connection; the late "ok" of the status goes nowhere.
  dev->SetWaitMs(5000);
  ASSERT_EQ(dev->LoadConfiguration(path.string()), 0);
  EXPECT_EQ(dev->SendConfiguration(), 6);
  EXPECT_EQ(dev->GetLastErrorText(), "Request status Error: Acquisition is running");
  EXPECT_EQ(dev->SetAcquisition(0, 0), 0);
}

TEST_F(LinkSession, DroppedConnectionEndsTheSessionAndALoginStartsAnother) {
  StartSim({"--fault", "drop=10@status*1"});
  auto dev = Connect();
  int bRunning = 0;
  EXPECT_EQ((std::tuple{dev->ReadAcquisitionStatus(bRunning), dev->GetLastErrorText(), dev->IsLogged()}),
            (std::tuple{4, std::string("Connexion closed"), false}));
  EXPECT_EQ(dev->ReadAcquisitionStatus(bRunning), 2);
  EXPECT_EQ(dev->GetLastErrorText(), "Can't send Request");
  // Start and stop log in again by themselves.
  EXPECT_EQ(dev->SetAcquisition(0, 0), 0) << dev->GetLastErrorText();
  EXPECT_EQ((std::pair{dev->IsLogged(), dev->ReadAcquisitionStatus(bRunning)}), (std::pair{true, 0}));
}

TEST_F(LinkSession, OneDeadlinePerAnswerWhateverTrickles) {
  WriteFileText(Root() / "internal" / "f.zk", Pattern(1000, 1));
  // A byte every 50 ms would renew a wait per byte for ever; the deadline is the whole answer's.
  StartSim({"--fault", "drip=50@status", "--fault", "drip=50@block"});
  auto dev = Connect();
  dev->SetWaitMs(400);
  int bRunning = 1;
  EXPECT_EQ((std::pair{dev->ReadAcquisitionStatus(bRunning), dev->IsLogged()}), (std::pair{4, false}));
  EXPECT_EQ(dev->GetLastErrorText(), "Can't receive response: no complete answer within 0.4 s");
  ASSERT_EQ(dev->Login(), 0);
  dev->SetWaitMs(400);
  EXPECT_EQ((std::pair{dev->DownloadFile("internal", "", "f.zk", 1000, (Local() / "f.zk").string()), dev->IsLogged()}),
            (std::pair{12, false}));
  EXPECT_EQ(dev->GetLastErrorText(), "Unexpected received data size");
}

TEST_F(LinkSession, CancelFromAnotherThreadEndsAStalledWait) {
  WriteFileText(Root() / "internal" / "f.zk", Pattern(200000, 1));
  StartSim({"--fault", "stall=60000@block#2*1"});
  auto dev = Connect();  // the wait stays at 60 s: only the cancel can end it
  std::thread canceller([&] {
    while (!std::filesystem::exists(Local()) || std::filesystem::is_empty(Local())) std::this_thread::sleep_for(std::chrono::milliseconds(10));
    dev->RequestCancel();
  });
  int nResult = dev->DownloadFile("internal", "", "f.zk", 200000, (Local() / "f.zk").string());
  canceller.join();
  EXPECT_EQ((std::tuple{nResult, dev->GetLastErrorText(), dev->IsLogged()}), (std::tuple{19, std::string("Transfer cancelled"), false}));
  EXPECT_TRUE(std::filesystem::is_empty(Local())) << "the temporary file is removed";
  // The request stands until cleared.
  EXPECT_EQ(dev->Login(), 19);
  dev->ClearCancel();
  EXPECT_EQ((std::pair{dev->Reconnect(), dev->IsLogged()}), (std::pair{0, true}));
}

} // namespace zk7
