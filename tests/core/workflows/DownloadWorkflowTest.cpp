// The download's file tree, references, replace answers and summary.

#include <gtest/gtest.h>
#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "link/ZK7Dev.h"
#include "workflows/DownloadFiles.h"
#include "workflows/FileSelection.h"
#include "workflows/FollowFile.h"

namespace zk7 {

TEST(FileSelection, ImagesFollowTheExactExtension) {
  struct { const char* pszName; eFileTreeImage image; } const aCases[] = {
      // Compared case-sensitively, on the text after the last dot; without a dot the whole name.
      {"run.zk", FILE_TREE_IMAGE_RESULTS}, {".zk", FILE_TREE_IMAGE_RESULTS},   {"a.b.log", FILE_TREE_IMAGE_LOG},
      {"plant.xml", FILE_TREE_IMAGE_XML},  {"RUN.ZK", FILE_TREE_IMAGE_OTHER},  {"run.zk.bak", FILE_TREE_IMAGE_OTHER},
      {"zk", FILE_TREE_IMAGE_OTHER},       {"log", FILE_TREE_IMAGE_OTHER},     {"run.", FILE_TREE_IMAGE_OTHER},
  };
  for (const auto& c : aCases) EXPECT_EQ(FileTreeImage(c.pszName), c.image) << c.pszName;
  EXPECT_TRUE(IsResultsFileName("x.zk") && IsLogFileName("x.log"));
  EXPECT_FALSE(IsResultsFileName("x.Zk") || IsLogFileName("x.log "));
  EXPECT_EQ(ModuleFileExtension("a.b.c") + "|" + ModuleFileExtension("abc"), ".c|abc");

  // Item texts, the question and the replace buttons.
  EXPECT_EQ(FileTreeItemText("run.zk", 1234) + "|" + FileTreeItemText("empty.log", 0) + "|" + FileTreeItemText("big", 2147483647),
            "run.zk (1234 bytes)|empty.log (0 bytes)|big (2147483647 bytes)");
  EXPECT_EQ(ReplaceQuestionText("/tmp/d/logs/a.log"),
            " '/tmp/d/logs/a.log'\n\n This file already exists. Do you want to replace it ?");
  // 2: Escape or the close box.
  const std::pair<int, eReplaceAnswer> aButtons[] = {{1053, eReplaceAnswer::Yes},      {1095, eReplaceAnswer::No},
                                                     {1096, eReplaceAnswer::YesToAll}, {6, eReplaceAnswer::NoToAll},
                                                     {1010, eReplaceAnswer::Cancel},   {2, eReplaceAnswer::Cancel}};
  for (const auto& [nButton, eAnswer] : aButtons) EXPECT_EQ(ReplaceAnswerFromButton(nButton), eAnswer) << nButton;

  // References reach every file and nothing else.
  CDownloadFiles files;
  auto& aDirs = files.Categories()[2];
  aDirs.resize(300);
  aDirs[299].aFiles.resize(70000);
  aDirs[299].aFiles[69999].strName = "last.zk";
  aDirs[1].aFiles.push_back({"b.zk", 0, 1});

  // Beyond 255 directories and 65535 files a reference still locates its own file.
  EXPECT_EQ(FindListedFile(files.Categories(), {2, 299, 69999}), &aDirs[299].aFiles[69999]);
  EXPECT_EQ(FindListedFile(files.Categories(), {2, 1, 0}), &aDirs[1].aFiles[0]);

  const sFileTreeRef aOutside[] = {{2, 1, 1}, {2, 300, 0}, {5, 0, 0}, {0, 0, 0}, {2, -1, 0}, {2, 1, -1}, {-1, 1, 0}};
  for (const auto& ref : aOutside)
    EXPECT_EQ(FindListedFile(files.Categories(), ref), nullptr) << ref.nCategory << "/" << ref.nDir << "/" << ref.nFile;
  EXPECT_TRUE((!sFileTreeRef{2, 1, -1}.IsFile() && sFileTreeRef{0, 0, 0}.IsFile()));
}

struct sListed { int nCategory; const char *pszDir, *pszFile; int bArrived; };

TEST(DownloadSummary, TextsAndTheFileToOpen) {
  const struct { std::vector<sListed> aFiles; const char *pszMessage, *pszQuestion, *pszOpen; } aCases[] = {  // pszOpen "": none
      {{{0, "", "a.xml", 0}}, "No file was downloaded.", "", ""},
      {{{0, "", "a.xml", 1}}, "One file has been loaded.", "", ""},
      // The extension is compared exactly: b.LOG does not open.
      {{{0, "", "a.xml", 1}, {1, "", "b.LOG", 1}, {2, "run1", "c.zk", 1}},
       "3 files have been dowloaded.", "Do you want to open it ?", "/d/internal/run1/c.zk"},
      {{{1, "", "x.log", 1}, {2, "", "y.zk", 1}, {2, "", "z.zk", 1}},
       "3 files have been dowloaded.", "Do you want to open one of the loaded files ?", "/d/logs/x.log"},
  };
  for (const auto& c : aCases) {
    SCOPED_TRACE(c.pszMessage);
    CDownloadFiles files;
    for (const sListed& f : c.aFiles) {
      auto& aDirs = files.Categories()[static_cast<size_t>(f.nCategory)];
      if (aDirs.empty() || aDirs.back().strName != f.pszDir) aDirs.push_back({f.pszDir, {}});
      aDirs.back().aFiles.push_back({f.pszFile, f.bArrived, 10});
    }
    const auto s = files.Summarize("/d");
    EXPECT_EQ(std::tuple(s.strMessage, s.strQuestion, *c.pszOpen ? s.firstOpenable.string() : std::to_string(s.nOpenable)),
              std::tuple(std::string(c.pszMessage), std::string(c.pszQuestion), std::string(*c.pszOpen ? c.pszOpen : "0")));
  }

  // The categories in their order.
  const char* aDevices[] = {"configs", "logs", "internal", "usb", "sdcard"};
  const char* aNames[] = {"Configurations", "Glogal Logs", "internal flash", "USB key", "SD Card"};
  for (int k = 0; k < ZK7_CATEGORY_COUNT; ++k)
    EXPECT_EQ(g_aStorageCategories[static_cast<size_t>(k)].pszDevice + std::string("|") + CategoryDisplayName(k),
              std::string(aDevices[k]) + "|" + aNames[k]);
}

// Two followers of one copy: the second is refused and the copy kept, until the first is done.
TEST(FollowFile, OneFollowerPerCopy) {
  CTempDir dir("zk7follow");
  const sFollowTarget target{"internal", "", "run.zk", 0};
  std::string strError;
  auto pFirst = std::make_unique<CFollowFile>(target, dir.Path());
  ASSERT_TRUE(pFirst->Start(strError)) << strError;
  WriteFileText(pFirst->LocalPath().string(), "abc");
  CFollowFile second(target, dir.Path());
  EXPECT_FALSE(second.Start(strError));
  EXPECT_EQ(strError, "'" + pFirst->LocalPath().string() + "' is being followed already");
  EXPECT_EQ(ReadFileText(second.LocalPath().string()), "abc");
  pFirst.reset();
  EXPECT_TRUE(second.Start(strError)) << strError;
  EXPECT_EQ(ReadFileText(second.LocalPath().string()), "");
}

} // namespace zk7
