// A module's answer as the link takes it: the header collected byte by byte,
// the length, exactly the announced body through the XML guard, the status.
#include <tinyxml.h>

#include "FuzzSupport.h"
#include "link/Protocol.h"
#include "link/ResponseParser.h"

using namespace zk7;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  const std::string strBytes = fuzz::ExpandText(pData, nSize);

  TiXmlDocument doc;
  std::string strError;
  const int nResult = ParseResponseBytes(strBytes, doc, strError);
  ZK7_FUZZ_CHECK(nResult == ZK7_OK || nResult == ZK7_ERR_RECEIVE || nResult == ZK7_ERR_RESPONSE ||
                     nResult == ZK7_ERR_NO_LENGTH || nResult == ZK7_ERR_REFUSED,
                 "result " + std::to_string(nResult));
  ZK7_FUZZ_CHECK(nResult == ZK7_OK || !strError.empty(), "a failure without a text");
  if (nResult == ZK7_OK || nResult == ZK7_ERR_REFUSED) ZK7_FUZZ_CHECK(doc.RootElement() != nullptr, "an answer without a root");

  // The header rules alone, on the whole input taken as a header.
  const sResponseHeader header = ParseResponseHeader(strBytes);
  if (header.nResult == ZK7_OK)
    ZK7_FUZZ_CHECK(header.nLength >= 0 && header.nLength <= ZK7_MAX_BODY_BYTES, "announced length out of bounds");
  ZK7_FUZZ_CHECK(header.nResult == ZK7_OK || header.nResult == ZK7_ERR_NO_LENGTH || header.nResult == ZK7_ERR_RESPONSE,
                 "header result " + std::to_string(header.nResult));
  ZK7_FUZZ_CHECK(header.nResult == ZK7_OK || !header.strError.empty(), "a refused header without a text");
  return 0;
}
