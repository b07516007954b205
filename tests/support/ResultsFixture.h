// The core tests' common ground: a folder of their own, removed afterwards,
// plain regional conventions restored, and results files written and opened.
#pragma once
#include <gtest/gtest.h>

#include <deque>
#include <string>

#include "ResultsFileBuilder.h"
#include "SimProcess.h"
#include "format/RegionalSettings.h"
#include "results/ZK7Doc.h"

namespace zk7 {

struct CResultsTest : ::testing::Test {
  CTempDir m_dir{"zk7-core"};
  // Plain conventions from the start: the documents a fixture opens as it is built see them too.
  CResultsTest() { SetRegionalSettings(CRegionalSettings::Plain()); }
  void TearDown() override { SetRegionalSettings(CRegionalSettings::Plain()); }
  std::string Path(const std::string& strName) const { return m_dir.Path() + "/" + strName; }
  // Writes b as strName and opens it into doc; a refusal fails the test.
  void Open(CZK7Doc& doc, const CResultsFileBuilder& b, const std::string& strName = "f.zk") {
    b.WriteTo(Path(strName));
    std::string strError;
    ASSERT_TRUE(doc.OnOpenDocument(Path(strName), &strError)) << strError;
  }
  // The same in a document of its own, kept until the test ends.
  CZK7Doc& Opened(const CResultsFileBuilder& b, const std::string& strName = "f.zk") {
    Open(m_docs.emplace_back(), b, strName);
    return m_docs.back();
  }
  std::deque<CZK7Doc> m_docs;
};

} // namespace zk7
