#include <gtest/gtest.h>

#include "link/ZK7Dev.h"
#include "workflows/DownloadFiles.h"

namespace zk7 {
namespace {

struct sListed {
  int nCategory;
  const char* pszDir;
  const char* pszFile;
  int bArrived;
};

TEST(DownloadSummary, TextsAndTheFileToOpen) {
  const struct {
    std::vector<sListed> aFiles;
    const char* pszMessage;
    const char* pszQuestion;
    const char* pszOpen;  // "" when nothing opens
  } aCases[] = {
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
    EXPECT_EQ(s.strMessage, c.pszMessage);
    EXPECT_EQ(s.strQuestion, c.pszQuestion);
    if (*c.pszOpen) {
      EXPECT_EQ(s.firstOpenable, std::filesystem::path(c.pszOpen));
    } else {
      EXPECT_EQ(s.nOpenable, 0);
    }
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
