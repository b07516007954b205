#include <gtest/gtest.h>

#include "link/ZK7Dev.h"
#include "workflows/DownloadFiles.h"

namespace zk7 {
namespace {

void Add(CDownloadFiles& files, int nCategory, const std::string& strDir, const std::string& strFile, int bArrived) {
  auto& aDirs = files.Categories()[static_cast<size_t>(nCategory)];
  if (aDirs.empty() || aDirs.back().strName != strDir) aDirs.push_back({strDir, {}});
  aDirs.back().aFiles.push_back({strFile, bArrived, 10});
}

TEST(DownloadSummary, TextsAndTheFileToOpen) {
  {
    CDownloadFiles files;
    Add(files, 0, "", "a.xml", 0);
    auto s = files.Summarize("/d");
    EXPECT_EQ(s.strMessage, "No file was downloaded.");
    EXPECT_EQ(s.strQuestion, "");
  }
  {
    CDownloadFiles files;
    Add(files, 0, "", "a.xml", 1);
    auto s = files.Summarize("/d");
    EXPECT_EQ(s.strMessage, "One file has been loaded.");
    EXPECT_EQ(s.nOpenable, 0);
    EXPECT_EQ(s.strQuestion, "");
  }
  {
    CDownloadFiles files;
    Add(files, 0, "", "a.xml", 1);
    Add(files, 1, "", "b.LOG", 1);  // the extension is compared exactly
    Add(files, 2, "run1", "c.zk", 1);
    auto s = files.Summarize("/d");
    EXPECT_EQ(s.strMessage, "3 files have been dowloaded.");
    EXPECT_EQ(s.nOpenable, 1);
    EXPECT_EQ(s.strQuestion, "Do you want to open it ?");
    EXPECT_EQ(s.firstOpenable, std::filesystem::path("/d/internal/run1/c.zk"));
  }
  {
    CDownloadFiles files;
    Add(files, 1, "", "x.log", 1);
    Add(files, 2, "", "y.zk", 1);
    Add(files, 2, "", "z.zk", 1);
    auto s = files.Summarize("/d");
    EXPECT_EQ(s.strQuestion, "Do you want to open one of the loaded files ?");
    EXPECT_EQ(s.firstOpenable, std::filesystem::path("/d/logs/x.log"));
  }
}

TEST(DownloadSummary, CategoriesInTheirOrder) {
  const char* aDevices[] = {"configs", "logs", "internal", "usb", "sdcard"};
  const char* aNames[] = {"Configurations", "Glogal Logs", "internal flash", "USB key", "SD Card"};
  for (int k = 0; k < ZK7_CATEGORY_COUNT; ++k) {
    EXPECT_STREQ(g_aStorageCategories[static_cast<size_t>(k)].pszDevice, aDevices[k]);
    EXPECT_EQ(CategoryDisplayName(k), aNames[k]);
  }
}

} // namespace
} // namespace zk7
