// The download workflow against zk7-sim: listing the categories, attempts,
// replace answers, progress and where the files land.
#include <deque>
#include <functional>

#include "SimTestSupport.h"
#include "workflows/DownloadFiles.h"

namespace zk7 {
namespace {

class CScriptedObserver : public CDownloadObserver {
public:
  void SetRange(int nMax) override { nRange = nMax; }
  void SetPosition(int nPos) override { aPositions.push_back(nPos); }
  void SetStatus(const std::string& strText) override { aStatus.push_back(strText); }
  bool IsCancelled() override { return bCancel || (nCancelAtCall > 0 && ++nCalls >= nCancelAtCall); }
  bool OnBlock(int64_t nDone, int64_t) override {
    if (onBlock) onBlock(nDone);
    return !bCancelInBlock;
  }
  eReplaceAnswer AskReplaceFile(const std::string& strLocalPath) override {
    aAsked.push_back(strLocalPath);
    if (answers.empty()) return eReplaceAnswer::Cancel;
    eReplaceAnswer a = answers.front();
    answers.pop_front();
    return a;
  }

  std::deque<eReplaceAnswer> answers;
  std::vector<std::string> aAsked;
  std::vector<int> aPositions;
  std::vector<std::string> aStatus;
  int nRange = -1;
  bool bCancel = false;
  bool bCancelInBlock = false;
  std::function<void(int64_t)> onBlock;
  int nCancelAtCall = 0;  // the IsCancelled call from which the user has cancelled
  int nCalls = 0;
};

class DownloadWorkflow : public SimTest {
protected:
  void SetUp() override {
    WriteFileText(Root() / "configs" / "a.xml", "NEW a");
    WriteFileText(Root() / "configs" / "b.xml", "NEW b");
    WriteFileText(Root() / "internal" / "c.zk", "NEW c");
    WriteFileText(Root() / "internal" / "run1" / "d.zk", "NEW d");
  }
  std::filesystem::path Dest() const { return Local() / "dest"; }

  void ListAll(CDownloadFiles& files, CZK7Dev& dev, CDownloadObserver& observer) {
    ASSERT_EQ(files.List(dev, m_sim.Host(), observer), 0) << dev.GetLastErrorText();
    for (auto& aDirs : files.Categories())
      for (auto& dir : aDirs)
        for (auto& file : dir.aFiles) file.bSelected = 1;
  }
};

TEST_F(DownloadWorkflow, ListsTheFiveCategoriesAbsentDevicesEmpty) {
  WriteFileText(Root() / "sdcard" / "s.log", "s");
  StartSim();
  auto dev = Connect();
  CDownloadFiles files;
  CScriptedObserver observer;
  ASSERT_EQ(files.List(*dev, m_sim.Host(), observer), 0);
  EXPECT_EQ(observer.nRange, 5);
  EXPECT_EQ(observer.aPositions, (std::vector<int>{1, 2, 3, 4, 5}));
  EXPECT_EQ(observer.aStatus.back(), "5 / 5");
  EXPECT_EQ(files.Categories()[0].size(), 1u);
  EXPECT_TRUE(files.Categories()[1].empty());
  EXPECT_EQ(files.Categories()[2].size(), 2u);
  EXPECT_TRUE(files.Categories()[3].empty()) << "no USB key";
  ASSERT_EQ(files.Categories()[4].size(), 1u);
  EXPECT_EQ(files.Categories()[4][0].aFiles[0].strName, "s.log");
}

TEST_F(DownloadWorkflow, DestinationLayoutProgressAndSummary) {
  StartSim();
  auto dev = Connect();
  CDownloadFiles files;
  CScriptedObserver observer;
  ListAll(files, *dev, observer);
  files.Categories()[0][0].aFiles[1].bSelected = 0;  // b.xml stays on the module
  observer.aPositions.clear();
  std::string strMessage;
  ASSERT_TRUE(files.Download(*dev, Dest(), observer, strMessage)) << strMessage;
  EXPECT_EQ(observer.nRange, 6);
  EXPECT_EQ(observer.aPositions, (std::vector<int>{0, 1, 2, 3, 4, 5}));
  EXPECT_EQ(observer.aStatus.back(), "run1: d.zk (5 bytes)");
  EXPECT_EQ(ReadFileText(Dest() / "configs" / "a.xml"), "NEW a");
  EXPECT_EQ(ReadFileText(Dest() / "internal" / "c.zk"), "NEW c");
  EXPECT_EQ(ReadFileText(Dest() / "internal" / "run1" / "d.zk"), "NEW d");
  EXPECT_FALSE(std::filesystem::exists(Dest() / "configs" / "b.xml"));
  auto summary = files.Summarize(Dest());
  EXPECT_EQ(summary.strMessage, "3 files have been dowloaded.");
  EXPECT_EQ(summary.strQuestion, "Do you want to open one of the loaded files ?");
  EXPECT_EQ(summary.firstOpenable, Dest() / "internal" / "c.zk");
}

TEST_F(DownloadWorkflow, ReplaceAnswers) {
  struct {
    const char* pszName;
    std::deque<eReplaceAnswer> answers;
    bool bDone;
    size_t nAsked;
    const char* pszA;
    const char* pszB;
    const char* pszD;
    int nDownloaded;
  } cases[] = {
      {"no then yes then cancel", {eReplaceAnswer::No, eReplaceAnswer::Yes, eReplaceAnswer::Cancel}, false, 3, "OLD", "NEW b", "OLD", -1},
      {"yes to all", {eReplaceAnswer::YesToAll}, true, 1, "NEW a", "NEW b", "NEW d", 4},
      {"no to all", {eReplaceAnswer::NoToAll}, true, 1, "OLD", "OLD", "OLD", 1},
      {"yes, then no to all", {eReplaceAnswer::Yes, eReplaceAnswer::NoToAll}, true, 2, "NEW a", "OLD", "OLD", 2},
  };
  StartSim();
  for (auto& c : cases) {
    SCOPED_TRACE(c.pszName);
    std::filesystem::remove_all(Dest());
    for (const auto& rel : {"configs/a.xml", "configs/b.xml", "internal/run1/d.zk"}) WriteFileText(Dest() / rel, "OLD");
    auto dev = Connect();
    CDownloadFiles files;
    CScriptedObserver observer;
    ListAll(files, *dev, observer);
    observer.answers = c.answers;
    std::string strMessage = "x";
    EXPECT_EQ(files.Download(*dev, Dest(), observer, strMessage), c.bDone);
    EXPECT_EQ(strMessage, "");
    EXPECT_EQ(observer.aAsked.size(), c.nAsked);
    EXPECT_EQ(observer.aAsked.front(), (Dest() / "configs" / "a.xml").string());
    EXPECT_EQ(ReadFileText(Dest() / "configs" / "a.xml"), c.pszA);
    EXPECT_EQ(ReadFileText(Dest() / "configs" / "b.xml"), c.pszB);
    EXPECT_EQ(ReadFileText(Dest() / "internal" / "c.zk"), "NEW c");  // never existed: never asked
    EXPECT_EQ(ReadFileText(Dest() / "internal" / "run1" / "d.zk"), c.pszD);
    if (c.nDownloaded >= 0) {
      EXPECT_EQ(files.Summarize(Dest()).nTotal, c.nDownloaded) << "skipped files are not counted";
    }
  }
}

TEST_F(DownloadWorkflow, FiveAttemptsPerFile) {
  for (int nRefusals : {4, 5}) {
    SCOPED_TRACE(nRefusals);
    m_sim.Stop();
    std::filesystem::remove_all(Dest());
    StartSim({"--fault", "refuse=Busy@block*" + std::to_string(nRefusals)});
    auto dev = Connect();
    CDownloadFiles files;
    CScriptedObserver observer;
    ListAll(files, *dev, observer);
    std::string strMessage;
    bool bDone = files.Download(*dev, Dest(), observer, strMessage);
    if (nRefusals == 4) {
      // The fifth attempt gets the file and the download goes on.
      EXPECT_TRUE(bDone) << strMessage;
      EXPECT_EQ(ReadFileText(Dest() / "configs" / "a.xml"), "NEW a");
      EXPECT_EQ(files.Summarize(Dest()).nTotal, 4);
    } else {
      // Five failures stop the whole download with the last failure's text.
      EXPECT_FALSE(bDone);
      EXPECT_EQ(strMessage, "Busy");
      EXPECT_FALSE(std::filesystem::exists(Dest() / "configs" / "a.xml"));
      EXPECT_FALSE(std::filesystem::exists(Dest() / "internal")) << "nothing after the failed file";
      EXPECT_EQ(files.Categories()[0][0].aFiles[0].bSelected, 0);
    }
  }
}

TEST_F(DownloadWorkflow, CancelStopsWithoutAMessageOrAPartialFile) {
  WriteFileText(Root() / "configs" / "a.xml", Pattern(300000, 9));
  StartSim();
  auto dev = Connect();
  CDownloadFiles files;
  CScriptedObserver observer;
  ListAll(files, *dev, observer);
  observer.bCancelInBlock = true;
  std::string strMessage = "x";
  EXPECT_FALSE(files.Download(*dev, Dest(), observer, strMessage));
  EXPECT_EQ(strMessage, "");
  EXPECT_TRUE(std::filesystem::is_empty(Dest() / "configs"));
  observer.bCancelInBlock = false;
  observer.bCancel = true;
  EXPECT_FALSE(files.Download(*dev, Dest(), observer, strMessage));
  EXPECT_TRUE(std::filesystem::is_empty(Dest() / "configs"));
}

TEST_F(DownloadWorkflow, RefusedNamesAreSkippedNamedAndTheRestArrives) {
  StartSim({"--fault", "hostile-names@list*1"});
  auto dev = Connect();
  CDownloadFiles files;
  CScriptedObserver observer;
  ListAll(files, *dev, observer);
  std::string strMessage = "x";
  EXPECT_TRUE(files.Download(*dev, Dest(), observer, strMessage));
  EXPECT_EQ(strMessage, "");
  EXPECT_EQ(ReadFileText(Dest() / "internal" / "run1" / "d.zk"), "NEW d");
  auto summary = files.Summarize(Dest());
  EXPECT_EQ(summary.nTotal, 4);
  ASSERT_EQ(summary.aRefused.size(), 8u);
  EXPECT_EQ(summary.aRefused.front(), "Refused file name from the module: '../escaped.zk'");
  EXPECT_EQ(summary.strMessage.rfind("4 files have been dowloaded.\n\nRefused file name from the module: '../escaped.zk'\n", 0), 0u)
      << summary.strMessage;
  EXPECT_NE(summary.strMessage.find("Refused size -5 of 'negative.zk' from the module"), std::string::npos);
  // Everything under the test folder is the module's, or lies in the destination.
  for (const auto& entry : std::filesystem::recursive_directory_iterator(Local()))
    EXPECT_EQ(entry.path().string().rfind(Dest().string(), 0), 0u) << entry.path();
  EXPECT_FALSE(std::filesystem::exists(Local() / "escaped.zk"));
  EXPECT_FALSE(std::filesystem::exists(Dest() / "escaped.zk"));
}

TEST_F(DownloadWorkflow, EveryRetryPathEndsWithWholeFiles) {
  WriteFileText(Root() / "internal" / "run1" / "d.zk", Pattern(230000, 11));
  // Blocks #1 to #3 carry a.xml, b.xml and c.zk; #4 to #8 the five blocks of d.zk.
  const char* aFaults[] = {
      "drop=1000@block#4*1",      "drop=1000@block#6*2", "stall=1500@block#5*1", "drip=100@block#7*1",
      "refusal-flood@block#4*1",  "drop=1000@block#5*4", "drop=10@open*1",       "malformed@open#4*1",
      "stall=1500@open*1",        "drop=5@close*1",      "refuse@close*1",
  };
  for (const char* pszFault : aFaults) {
    SCOPED_TRACE(pszFault);
    m_sim.Stop();
    std::filesystem::remove_all(Dest());
    StartSim({"--fault", pszFault});
    auto dev = Connect();
    dev->SetWaitMs(700);
    CDownloadFiles files;
    CScriptedObserver observer;
    ListAll(files, *dev, observer);
    std::string strMessage;
    ASSERT_TRUE(files.Download(*dev, Dest(), observer, strMessage)) << strMessage;
    EXPECT_EQ(ReadFileText(Dest() / "internal" / "run1" / "d.zk"), Pattern(230000, 11));
    EXPECT_EQ(ReadFileText(Dest() / "configs" / "a.xml"), "NEW a");
    EXPECT_EQ(files.Summarize(Dest()).nTotal, 4);
    size_t nFiles = 0;
    for (const auto& e : std::filesystem::recursive_directory_iterator(Dest())) nFiles += e.is_regular_file() ? 1 : 0;
    EXPECT_EQ(nFiles, 4u) << "no temporary file is left behind";
  }
}

TEST_F(DownloadWorkflow, AFileThatChangedOnTheModuleIsNotContinued) {
  const auto module = Root() / "configs" / "a.xml";
  WriteFileText(module, Pattern(200000, 13));
  StartSim({"--fault", "drop=1000@block#3*1"});
  auto dev = Connect();
  CDownloadFiles files;
  CScriptedObserver observer;
  ListAll(files, *dev, observer);
  for (auto& aDirs : files.Categories())
    for (auto& dir : aDirs)
      for (auto& file : dir.aFiles) file.bSelected = file.strName == "a.xml";
  // The module rewrites the file, longer, while the second block travels.
  observer.onBlock = [&](int64_t nDone) {
    if (nDone == 100000) WriteFileText(module, Pattern(250000, 14));
  };
  std::string strMessage;
  ASSERT_TRUE(files.Download(*dev, Dest(), observer, strMessage)) << strMessage;
  // Started afresh at the listed size: not the old file's head on the new one's tail.
  EXPECT_EQ(ReadFileText(Dest() / "configs" / "a.xml"), Pattern(250000, 14).substr(0, 200000));
}

TEST_F(DownloadWorkflow, TheFirstCauseIsReportedAndACancelAsACancel) {
  WriteFileText(Root() / "configs" / "a.xml", Pattern(120000, 12));
  StartSim({"--fault", "drop=1000@block"});
  auto dev = Connect();
  CDownloadFiles files;
  CScriptedObserver observer;
  ListAll(files, *dev, observer);
  std::string strMessage;
  // Five dropped connections, each followed by a new login: not "Can't send Request".
  EXPECT_FALSE(files.Download(*dev, Dest(), observer, strMessage));
  EXPECT_EQ(strMessage, "Unexpected received data size");
  EXPECT_FALSE(files.WasCancelled());

  // Cancel pressed while the first attempt failed: the cancel is what is reported.
  for (auto& aDirs : files.Categories())
    for (auto& dir : aDirs)
      for (auto& file : dir.aFiles) file.bSelected = file.strName == "a.xml";
  observer.nCancelAtCall = 2;
  EXPECT_FALSE(files.Download(*dev, Dest(), observer, strMessage));
  EXPECT_EQ(strMessage, "");
  EXPECT_TRUE(files.WasCancelled());
  for (const auto& e : std::filesystem::directory_iterator(Dest() / "configs")) ADD_FAILURE() << e.path();
}

TEST_F(DownloadWorkflow, FolderThatCannotBeCreated) {
  StartSim();
  auto dev = Connect();
  CDownloadFiles files;
  CScriptedObserver observer;
  ListAll(files, *dev, observer);
  WriteFileText(Local() / "blocker", "a file where the destination should be");
  std::string strMessage;
  EXPECT_FALSE(files.Download(*dev, Local() / "blocker", observer, strMessage));
  EXPECT_EQ(strMessage, "Cannot create '" + (Local() / "blocker").string() + "' directory");
}

} // namespace
} // namespace zk7
