// The acquisition configuration as the results reader and the configuration
// sender take it: through the XML guard, into the channel table; loaded from a
// file and printed for sending.
#include <tinyxml.h>

#include <vector>

#include "FuzzSupport.h"
#include "link/ZK7Dev.h"
#include "results/ChanInfos.h"
#include "results/ZK7Exception.h"
#include "xml/XmlGuard.h"

using namespace zk7;

namespace {

// Deepest element nesting of a parsed document, walked without recursion.
int TreeDepth(const TiXmlNode& root) {
  int nDeepest = 0;
  std::vector<std::pair<const TiXmlNode*, int>> aStack{{&root, 0}};
  while (!aStack.empty()) {
    auto [p, n] = aStack.back();
    aStack.pop_back();
    if (n > nDeepest) nDeepest = n;
    for (const TiXmlNode* c = p->FirstChild(); c; c = c->NextSibling())
      if (c->ToElement()) aStack.emplace_back(c, n + 1);
  }
  return nDeepest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  const std::string strText = fuzz::ExpandText(pData, nSize);

  // As the results reader does.
  {
    TiXmlDocument doc;
    std::string strError;
    if (ParseUntrustedXml(doc, strText, strError)) {
      ZK7_FUZZ_CHECK(TreeDepth(doc) <= ZK7_XML_MAX_DEPTH, "the guard let a deeper nesting through");
      std::vector<CChanInfos> aChannels;
      std::string strName;
      try {
        BuildChannelTable(doc, aChannels, strName);
      } catch (const CZK7Exception& e) {
        ZK7_FUZZ_CHECK(!e.GetText().empty(), "a refusal without a message");
      }
    } else {
      ZK7_FUZZ_CHECK(!strError.empty(), "a refused text without a message");
    }
  }

  // As a configuration file to send: loaded, renamed after its file, printed.
  {
    const fuzz::CMemoryFile config(reinterpret_cast<const uint8_t*>(strText.data()), strText.size());
    CZK7Dev dev(ZK7_DEFAULT_PORT);
    if (dev.LoadConfiguration(config.GetPath()) == ZK7_OK) {
      TiXmlDocument again;
      std::string strError;
      ParseUntrustedXml(again, PrintXml(dev.GetConfiguration()), strError);
    } else {
      ZK7_FUZZ_CHECK(!dev.GetLastErrorText().empty(), "a refused configuration without a message");
    }
  }
  return 0;
}
