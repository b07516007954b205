// The acquisition configuration as the results reader and the configuration
// sender take it: parsed, turned into the channel table, loaded from a file and
// printed for sending. The text ends right before an unreadable page, so a
// parser that runs past its end faults here.
#include <tinyxml.h>

#include "FuzzSupport.h"
#include "link/ZK7Dev.h"
#include "results/ChanInfos.h"
#include "results/ZK7Exception.h"

using namespace zk7;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  const std::string strText = fuzz::ExpandText(pData, nSize);

  // As the results reader does: the text ends at the first zero byte.
  {
    const fuzz::CGuardedText text(strText);
    TiXmlDocument doc;
    doc.Parse(text.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    if (!doc.Error()) {
      std::vector<CChanInfos> aChannels;
      std::string strName;
      try {
        BuildChannelTable(doc, aChannels, strName);
      } catch (const CZK7Exception& e) {
        ZK7_FUZZ_CHECK(!e.GetText().empty(), "a refusal without a message");
      }
    }
  }

  // As a configuration file to send: loaded, renamed after its file, printed.
  {
    const fuzz::CMemoryFile config(reinterpret_cast<const uint8_t*>(strText.data()), strText.size());
    CZK7Dev dev(ZK7_DEFAULT_PORT);
    if (dev.LoadConfiguration(config.GetPath()) == ZK7_OK) {
      TiXmlDocument again;
      again.Parse(PrintXml(dev.GetConfiguration()).c_str(), nullptr, TIXML_DEFAULT_ENCODING);
    } else {
      ZK7_FUZZ_CHECK(!dev.GetLastErrorText().empty(), "a refused configuration without a message");
    }
  }
  return 0;
}
