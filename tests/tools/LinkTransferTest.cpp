// Listing and file transfer against zk7-sim: sizes, blocks, refusals, the
// temporary file and names that are not names.
#include <signal.h>
#include <sys/resource.h>

#include "SimTestSupport.h"
#include "link/Protocol.h"

namespace zk7 {

using LinkTransfer = SimTest;

// The block requests among the messages sent from the nFrom-th on.
std::vector<sBlockRequest> BlockRequests(const std::vector<std::string>& sent, size_t nFrom = 0) {
  std::vector<sBlockRequest> a;
  for (size_t i = nFrom; i < sent.size(); ++i)
    if (sBlockRequest req; sent[i].size() == ZK7_BLOCK_REQUEST_SIZE && DecodeBlockRequest(reinterpret_cast<const uint8_t*>(sent[i].data()), req))
      a.push_back(req);
  return a;
}

size_t FileCount(const std::filesystem::path& dir) {
  return static_cast<size_t>(std::count_if(std::filesystem::recursive_directory_iterator(dir), {}, [](const auto& e) { return e.is_regular_file(); }));
}

TEST_F(LinkTransfer, Listings) {
  WriteFileText(Root() / "configs" / "b.xml", "12345");
  WriteFileText(Root() / "configs" / "a.xml", "");
  WriteFileText(Root() / "configs" / "site" / "c.xml", "1");
  std::filesystem::create_directories(Root() / "logs" / "empty");
  StartSim();
  auto dev = Connect();
  std::vector<sResDir> aDirs;
  ASSERT_EQ(dev->ListDirectory("configs", aDirs), 0);
  ASSERT_EQ(aDirs.size(), 2u);
  ASSERT_EQ(aDirs[0].aFiles.size(), 2u);
  const sFileZK7& b = aDirs[0].aFiles[1];
  EXPECT_EQ(std::tuple(aDirs[0].strName, aDirs[1].strName, b.strName, b.nSize, b.bSelected),
            std::tuple(std::string(), std::string("site"), std::string("b.xml"), 5, 0));
  // A directory without files.
  ASSERT_EQ(dev->ListDirectory("logs", aDirs), 0);
  EXPECT_TRUE(aDirs.size() == 1u && aDirs[0].aFiles.empty());
  // A device without directories: a disk without dir.
  ASSERT_EQ(dev->ListDirectory("internal", aDirs), 0);
  EXPECT_TRUE(aDirs.empty());
  // No USB key: the module refuses.
  EXPECT_EQ(dev->ListDirectory("usb", aDirs), 6);
  EXPECT_EQ(dev->GetLastErrorText(), "Request status Error: Device not present");
  EXPECT_TRUE(aDirs.empty());
}

TEST_F(LinkTransfer, FilesArriveByteForByteInBlocksOfAtMost50000AndAFailedWriteIsNamed) {
  const int aSizes[] = {0, 50000, 50001, 3 * 1024 * 1024 + 7};
  for (int n : aSizes) WriteFileText(Root() / "internal" / "d" / ("f" + std::to_string(n)), Pattern(static_cast<size_t>(n), static_cast<unsigned>(n)));
  StartSim();
  auto dev = Connect();
  const int32_t nSession = static_cast<int32_t>(std::stol(dev->GetLogId()));
  for (int n : aSizes) {
    SCOPED_TRACE(n);
    size_t nBefore = Sent().size();
    const auto local = Local() / ("f" + std::to_string(n));
    ASSERT_EQ(dev->DownloadFile("internal", "d", "f" + std::to_string(n), n, local.string()), 0) << dev->GetLastErrorText();
    EXPECT_EQ(ReadFileText(local), Pattern(static_cast<size_t>(n), static_cast<unsigned>(n)));
    const auto blocks = BlockRequests(Sent(), nBefore);
    ASSERT_EQ(blocks.size(), static_cast<size_t>((n + 49999) / 50000));
    ASSERT_EQ(Sent().size() - nBefore, blocks.size() + 2) << "open, the blocks, close";
    uint32_t nOffset = 0;
    for (const auto& b : blocks) {
      EXPECT_EQ(std::tuple(b.nSession, b.nOffset, b.nCount),
                std::tuple(nSession, nOffset, std::min<uint32_t>(50000, static_cast<uint32_t>(n) - nOffset)));
      nOffset += b.nCount;
    }
  }
  EXPECT_EQ(FileCount(Local()), 4u) << "no temporary file is left behind";

  // A failed write fails with the file's name and leaves the file that was there.
  WriteFileText(Root() / "internal" / "f.zk", Pattern(120000, 5));
  WriteFileText(Local() / "f.zk", "previous download");
  // A file-size limit makes the second block's write fail, as a full disk does.
  rlimit old{};
  getrlimit(RLIMIT_FSIZE, &old);
  auto oldHandler = signal(SIGXFSZ, SIG_IGN);
  const rlimit limit{60000, old.rlim_max};
  setrlimit(RLIMIT_FSIZE, &limit);
  int nResult = dev->DownloadFile("internal", "", "f.zk", 120000, (Local() / "f.zk").string());
  setrlimit(RLIMIT_FSIZE, &old);
  signal(SIGXFSZ, oldHandler);
  EXPECT_EQ(std::tuple(nResult, dev->GetLastErrorText(), ReadFileText(Local() / "f.zk"), FileCount(Local())),
            std::tuple(18, "Can't write results file '" + (Local() / "f.zk").string() + "'", std::string("previous download"), 5u));
}

TEST_F(LinkTransfer, RefusedBlockKeepsTheExistingFileAndStillCloses) {
  WriteFileText(Root() / "internal" / "f.zk", Pattern(120000, 3));
  WriteFileText(Local() / "f.zk", "previous download");
  // A refusal text beyond 64 KiB is cut, and the connection ends: the rest is never read as a reply.
  StartSim({"--fault", "refuse=Disk error@block*1", "--fault", "refuse@block*1", "--fault", "refusal-flood@block*1"});
  auto dev = Connect();
  for (const std::string& strText : {std::string("Disk error"), std::string(), std::string(64 * 1024, 'x')}) {
    SCOPED_TRACE(strText.substr(0, 10));
    EXPECT_EQ((std::tuple{dev->DownloadFile("internal", "", "f.zk", 120000, (Local() / "f.zk").string()),
                          dev->GetLastErrorText(), ReadFileText(Local() / "f.zk"), FileCount(Local()), dev->IsLogged()}),
              (std::tuple{16, strText, std::string("previous download"), 1u, strText.size() < 100}));
    // The close follows a failed transfer.
    if (dev->IsLogged()) { EXPECT_NE(Sent().back().find("<close fd=\"1a2"), std::string::npos); }
  }
  ASSERT_EQ(dev->Reconnect(), 0);
  ASSERT_EQ(dev->DownloadFile("internal", "", "f.zk", 120000, (Local() / "f.zk").string()), 0);
  EXPECT_EQ(ReadFileText(Local() / "f.zk"), Pattern(120000, 3));
}

TEST_F(LinkTransfer, BrokenTransfersLeaveNoPartialFile) {
  WriteFileText(Root() / "internal" / "f.zk", Pattern(200000, 4));
  StartSim({"--fault", "drop=1000@block*1"});
  auto dev = Connect();
  // The connection drops inside the first block: the transfer's code wins over the close's.
  EXPECT_EQ((std::tuple{dev->DownloadFile("internal", "", "f.zk", 200000, (Local() / "f.zk").string()),
                        dev->GetLastErrorText(), dev->IsLogged(), FileCount(Local())}),
            (std::tuple{12, std::string("Unexpected received data size"), false, 0u}));
  // A cancel between blocks is proven on the download workflow.
  ASSERT_EQ(dev->Login(), 0);

  // A file the module does not have, and a folder the file cannot be written in.
  EXPECT_EQ((std::pair{dev->DownloadFile("internal", "", "none.zk", 10, (Local() / "none.zk").string()), dev->GetLastErrorText()}),
            (std::pair{15, std::string("File does not exist")}));
  const std::string strNoDir = (Local() / "missing" / "f.zk").string();
  EXPECT_EQ((std::pair{dev->DownloadFile("internal", "", "f.zk", 200000, strNoDir), dev->GetLastErrorText()}),
            (std::pair{18, "Can't create results file '" + strNoDir + "'"}));
}

TEST_F(LinkTransfer, ABrokenTransferContinuesWhereItStopped) {
  WriteFileText(Root() / "internal" / "f.zk", Pattern(200000, 6));
  StartSim({"--fault", "drop=1000@block#3*1"});
  auto dev = Connect();
  const std::string strLocal = (Local() / "f.zk").string();
  EXPECT_EQ(dev->DownloadFile("internal", "", "f.zk", 200000, strLocal), 12);
  EXPECT_EQ(dev->PartialBytes("internal", "", "f.zk", 200000, strLocal), 100000);
  EXPECT_EQ(dev->PartialBytes("internal", "", "f.zk", 200001, strLocal), 0) << "another listed size starts afresh";
  EXPECT_FALSE(std::filesystem::exists(strLocal)) << "a partial file never poses as the file";
  size_t nBefore = Sent().size();
  ASSERT_EQ(dev->Reconnect(), 0);
  ASSERT_EQ(dev->DownloadFile("internal", "", "f.zk", 200000, strLocal), 0) << dev->GetLastErrorText();
  EXPECT_EQ(ReadFileText(strLocal), Pattern(200000, 6));
  std::vector<uint32_t> aOffsets;
  for (const auto& b : BlockRequests(Sent(), nBefore)) aOffsets.push_back(b.nOffset);
  EXPECT_EQ(aOffsets, (std::vector<uint32_t>{100000u, 150000u}));
  EXPECT_EQ(FileCount(Local()), 1u);
}

TEST_F(LinkTransfer, WholeFileStandsThoughTheCloseIsRefusedAndLongNamesFit) {
  const std::string strLong = std::string(252, 'n') + ".zk";  // 255 bytes, the longest name
  WriteFileText(Root() / "internal" / strLong, Pattern(70000, 9));
  StartSim({"--fault", "refuse=Bad handle@close*1"});
  auto dev = Connect();
  // Every byte came and is in place: the module's handle is its own business.
  EXPECT_EQ(dev->DownloadFile("internal", "", strLong, 70000, (Local() / strLong).string()), 0) << dev->GetLastErrorText();
  EXPECT_EQ(ReadFileText(Local() / strLong), Pattern(70000, 9));
  EXPECT_NE(Answered().back().find("Bad handle"), std::string::npos);
  EXPECT_EQ(FileCount(Local()), 1u);
}

TEST_F(LinkTransfer, HostileNamesAreListedButNeverOpened) {
  StartSim({"--fault", "hostile-names@list"});
  auto dev = Connect();
  std::vector<sResDir> aDirs;
  ASSERT_EQ(dev->ListDirectory("internal", aDirs), 0);
  ASSERT_EQ(aDirs.size(), 2u);
  EXPECT_EQ(aDirs[1].strName, "..");
  size_t nSent = Sent().size();
  int nRefused = 0;
  for (const auto& dir : aDirs)
    for (const auto& file : dir.aFiles) {
      EXPECT_EQ(dev->DownloadFile("internal", dir.strName, file.strName, file.nSize, (Local() / "x").string()), 5);
      EXPECT_EQ(dev->GetLastErrorText().rfind("Refused ", 0), 0u) << dev->GetLastErrorText();
      ++nRefused;
    }
  EXPECT_EQ(nRefused, 8);  // the NUL one included
  EXPECT_EQ(Sent().size(), nSent) << "nothing asked of the module";
  EXPECT_EQ(FileCount(Local()), 0u);
}

} // namespace zk7
