// The download workflow against zk7-sim: listing the categories, attempts,
// replace answers, progress and where the files land.

#include <deque>
#include <functional>
#include "SimTestSupport.h"
#include "workflows/DownloadFiles.h"

namespace zk7 {

namespace fs = std::filesystem;

struct CScriptedObserver : CDownloadObserver {
  void SetRange(int nMax) override { nRange = nMax; }
  void SetPosition(int nPos) override { aPositions.push_back(nPos); }
  void SetStatus(const std::string& strText) override { aStatus.push_back(strText); }
  bool IsCancelled() override { return bCancel || (nCancelAtCall > 0 && ++nCalls >= nCancelAtCall); }
  bool OnBlock(int64_t nDone, int64_t) override { if (onBlock) onBlock(nDone); return !bCancelInBlock; }
  eReplaceAnswer AskReplaceFile(const std::string& strLocalPath) override {
    aAsked.push_back(strLocalPath);
    const eReplaceAnswer a = answers.empty() ? eReplaceAnswer::Cancel : answers.front();
    if (!answers.empty()) answers.pop_front();
    return a;
  }

  std::deque<eReplaceAnswer> answers;
  std::vector<std::string> aAsked, aStatus;
  std::vector<int> aPositions;
  int nRange = -1; bool bCancel = false, bCancelInBlock = false;
  std::function<void(int64_t)> onBlock;
  int nCancelAtCall = 0, nCalls = 0;  // the IsCancelled call from which the user has cancelled, and the calls
};

struct DownloadWorkflow : SimTest {
  void SetUp() override {
    for (const char* psz : {"configs/a.xml", "configs/b.xml", "internal/c.zk", "internal/run1/d.zk"})
      WriteFileText(Root() / psz, std::string("NEW ") + fs::path(psz).stem().string());
  }
  fs::path Dest() const { return Local() / "dest"; }

  // (Re)starts the module with aArgs, connects a fresh client and lists every file, selected.
  void Begin(const std::vector<std::string>& aArgs = {}) {
    StartSim(aArgs);
    m_dev = Connect();
    m_files = CDownloadFiles();
    m_obs = CScriptedObserver();
    ASSERT_EQ(m_files.List(*m_dev, m_sim.Host(), m_obs), 0) << m_dev->GetLastErrorText();
    SelectOnly("");
  }
  void SelectOnly(const std::string& strName) {
    for (auto& aDirs : m_files.Categories())
      for (auto& dir : aDirs)
        for (auto& file : dir.aFiles) file.bSelected = strName.empty() || file.strName == strName;
  }
  bool Download(std::string& strMessage) { return m_files.Download(*m_dev, Dest(), m_obs, strMessage); }

  std::unique_ptr<CZK7Dev> m_dev;
  CDownloadFiles m_files;
  CScriptedObserver m_obs;
};

TEST_F(DownloadWorkflow, ListingLayoutProgressAndSummary) {
  WriteFileText(Root() / "sdcard" / "s.log", "s");
  Begin();
  EXPECT_EQ(m_obs.nRange, 5);
  EXPECT_EQ(m_obs.aPositions, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(m_obs.aStatus.back(), "5 / 5");
  const auto& cats = m_files.Categories();
  // No USB key: no directory in its category.
  EXPECT_EQ((std::vector<size_t>{cats[0].size(), cats[1].size(), cats[2].size(), cats[3].size(), cats[4].size()}),
            (std::vector<size_t>{1, 0, 2, 0, 1}));
  EXPECT_EQ(cats[4][0].aFiles[0].strName, "s.log");

  m_files.Categories()[0][0].aFiles[1].bSelected = m_files.Categories()[4][0].aFiles[0].bSelected = 0;  // b.xml stays
  m_obs.aPositions.clear();
  std::string strMessage;
  ASSERT_TRUE(Download(strMessage)) << strMessage;
  EXPECT_EQ(m_obs.nRange, 6);
  EXPECT_EQ(m_obs.aPositions, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(m_obs.aStatus.back(), "run1: d.zk (5 bytes)");
  EXPECT_EQ(ReadFileText(Dest() / "configs" / "a.xml") + ReadFileText(Dest() / "internal" / "c.zk") +
                ReadFileText(Dest() / "internal" / "run1" / "d.zk"), "NEW aNEW cNEW d");
  EXPECT_FALSE(fs::exists(Dest() / "configs" / "b.xml"));
  // The summary's texts are proven on their own; here it counts what arrived.
  EXPECT_EQ(m_files.Summarize(Dest()).strMessage, "3 files have been dowloaded.");

  // A folder that cannot be created.
  WriteFileText(Local() / "blocker", "a file where the destination should be");
  EXPECT_FALSE(m_files.Download(*m_dev, Local() / "blocker", m_obs, strMessage));
  EXPECT_EQ(strMessage, "Cannot create '" + (Local() / "blocker").string() + "' directory");
}

TEST_F(DownloadWorkflow, ReplaceAnswers) {
  using R = eReplaceAnswer;
  // nDownloaded: skipped files are not counted.
  struct { const char* pszName; std::deque<R> answers; bool bDone; size_t nAsked; const char *pszA, *pszB, *pszD; int nDownloaded; } cases[] = {
      {"no then yes then cancel", {R::No, R::Yes, R::Cancel}, false, 3, "OLD", "NEW b", "OLD", -1},
      {"yes to all", {R::YesToAll}, true, 1, "NEW a", "NEW b", "NEW d", 4},
      {"no to all", {R::NoToAll}, true, 1, "OLD", "OLD", "OLD", 1},
      {"yes, then no to all", {R::Yes, R::NoToAll}, true, 2, "NEW a", "OLD", "OLD", 2},
  };
  for (auto& c : cases) {
    SCOPED_TRACE(c.pszName);
    fs::remove_all(Dest());
    for (const auto& rel : {"configs/a.xml", "configs/b.xml", "internal/run1/d.zk"}) WriteFileText(Dest() / rel, "OLD");
    Begin();
    m_obs.answers = c.answers;
    std::string strMessage = "x";
    EXPECT_EQ((std::pair{Download(strMessage), strMessage}), (std::pair{c.bDone, std::string()}));
    EXPECT_EQ(m_obs.aAsked.size(), c.nAsked);
    EXPECT_EQ(m_obs.aAsked.front(), (Dest() / "configs" / "a.xml").string());
    // c.zk never existed: never asked.
    EXPECT_EQ((std::vector<std::string>{ReadFileText(Dest() / "configs" / "a.xml"), ReadFileText(Dest() / "configs" / "b.xml"),
                                        ReadFileText(Dest() / "internal" / "c.zk"), ReadFileText(Dest() / "internal" / "run1" / "d.zk")}),
              (std::vector<std::string>{c.pszA, c.pszB, "NEW c", c.pszD}));
    if (c.nDownloaded >= 0) { EXPECT_EQ(m_files.Summarize(Dest()).nTotal, c.nDownloaded); }
  }
}

TEST_F(DownloadWorkflow, FiveAttemptsPerFile) {
  for (int nRefusals : {4, 5}) {
    SCOPED_TRACE(nRefusals);
    fs::remove_all(Dest());
    Begin({"--fault", "refuse=Busy@block*" + std::to_string(nRefusals)});
    std::string strMessage;
    const bool bDone = Download(strMessage), bFifthGetsIt = nRefusals == 4;
    // The fifth attempt gets the file and the download goes on; five failures
    // stop the whole download with the last failure's text, nothing after the failed file.
    EXPECT_EQ(std::tuple(bDone, strMessage, fs::exists(Dest() / "configs" / "a.xml"), fs::exists(Dest() / "internal"),
                         m_files.Categories()[0][0].aFiles[0].bSelected),
              std::tuple(bFifthGetsIt, std::string(bFifthGetsIt ? "" : "Busy"), bFifthGetsIt, bFifthGetsIt, int(bFifthGetsIt)));
    if (nRefusals == 4) { EXPECT_EQ(m_files.Summarize(Dest()).nTotal, 4); }
  }
}

TEST_F(DownloadWorkflow, CancelStopsWithoutAMessageOrAPartialFile) {
  WriteFileText(Root() / "configs" / "a.xml", Pattern(300000, 9));
  Begin();
  m_obs.bCancelInBlock = true;
  std::string strMessage = "x";
  EXPECT_EQ((std::pair{Download(strMessage), strMessage}), (std::pair{false, std::string()}));
  EXPECT_TRUE(fs::is_empty(Dest() / "configs"));
  m_obs.bCancelInBlock = false;
  m_obs.bCancel = true;
  EXPECT_TRUE(!Download(strMessage) && fs::is_empty(Dest() / "configs"));
}

TEST_F(DownloadWorkflow, RefusedNamesAreSkippedNamedAndTheRestArrives) {
  Begin({"--fault", "hostile-names@list*1"});
  std::string strMessage = "x";
  EXPECT_EQ((std::pair{Download(strMessage), strMessage}), (std::pair{true, std::string()}));
  EXPECT_EQ(ReadFileText(Dest() / "internal" / "run1" / "d.zk"), "NEW d");
  auto summary = m_files.Summarize(Dest());
  EXPECT_EQ(std::tuple(summary.nTotal, summary.aRefused.size()), std::tuple(4, 8u));
  EXPECT_EQ(summary.strMessage.rfind("4 files have been dowloaded.\n\nRefused file name from the module: '../escaped.zk'\n", 0), 0u)
      << summary.strMessage;
  EXPECT_NE(summary.strMessage.find("Refused size -5 of 'negative.zk' from the module"), std::string::npos);
  // Everything under the test folder is the module's, or lies in the destination.
  for (const auto& entry : fs::recursive_directory_iterator(Local()))
    EXPECT_EQ(entry.path().string().rfind(Dest().string(), 0), 0u) << entry.path();
}

TEST_F(DownloadWorkflow, EveryRetryPathEndsWithWholeFiles) {
  WriteFileText(Root() / "internal" / "run1" / "d.zk", Pattern(230000, 11));
  // Blocks #1 to #3 carry a.xml, b.xml and c.zk; #4 to #8 the five blocks of d.zk.
  for (const char* pszFault : {"drop=1000@block#4*1", "drop=1000@block#6*2", "stall=1500@block#5*1",
                               "drip=100@block#7*1", "refusal-flood@block#4*1", "drop=1000@block#5*4", "drop=10@open*1",
                               "malformed@open#4*1", "stall=1500@open*1", "drop=5@close*1", "refuse@close*1"}) {
    SCOPED_TRACE(pszFault);
    fs::remove_all(Dest());
    Begin({"--fault", pszFault});
    m_dev->SetWaitMs(700);
    std::string strMessage;
    ASSERT_TRUE(Download(strMessage)) << strMessage;
    EXPECT_TRUE(ReadFileText(Dest() / "internal" / "run1" / "d.zk") == Pattern(230000, 11) &&
                ReadFileText(Dest() / "configs" / "a.xml") == "NEW a");
    EXPECT_EQ(m_files.Summarize(Dest()).nTotal, 4);
    size_t nFiles = 0;
    for (const auto& e : fs::recursive_directory_iterator(Dest())) nFiles += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(nFiles, 4u) << "no temporary file is left behind";
  }
}

TEST_F(DownloadWorkflow, AFileThatChangedOnTheModuleIsNotContinued) {
  const auto module = Root() / "configs" / "a.xml";
  WriteFileText(module, Pattern(200000, 13));
  Begin({"--fault", "drop=1000@block#3*1"});
  SelectOnly("a.xml");
  // The module rewrites the file, longer, while the second block travels.
  m_obs.onBlock = [&](int64_t nDone) { if (nDone == 100000) WriteFileText(module, Pattern(250000, 14)); };
  std::string strMessage;
  ASSERT_TRUE(Download(strMessage)) << strMessage;
  // Started afresh at the listed size: not the old file's head on the new one's tail.
  EXPECT_EQ(ReadFileText(Dest() / "configs" / "a.xml"), Pattern(250000, 14).substr(0, 200000));
}

TEST_F(DownloadWorkflow, TheFirstCauseIsReportedAndACancelAsACancel) {
  WriteFileText(Root() / "configs" / "a.xml", Pattern(120000, 12));
  Begin({"--fault", "drop=1000@block"});
  std::string strMessage;
  // Five dropped connections, each followed by a new login: not "Can't send Request".
  EXPECT_EQ((std::tuple{Download(strMessage), strMessage, m_files.WasCancelled()}),
            (std::tuple{false, std::string("Unexpected received data size"), false}));

  // Cancel pressed while the first attempt failed: the cancel is what is reported.
  SelectOnly("a.xml");
  m_obs.nCancelAtCall = 2;
  EXPECT_EQ((std::tuple{Download(strMessage), strMessage, m_files.WasCancelled()}), (std::tuple{false, std::string(), true}));
  for (const auto& e : fs::directory_iterator(Dest() / "configs")) ADD_FAILURE() << e.path();
}

} // namespace zk7
