// The binary block exchange: the reply header a module sends after each block
// request and what the link does with it, the block request as the simulator
// decodes it, and the handle and decimal texts that name files and sessions.
#include <cstring>

#include "FuzzSupport.h"
#include "link/Protocol.h"
#include "link/ResponseParser.h"

using namespace zk7;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* pData, size_t nSize) {
  if (nSize >= ZK7_BLOCK_REPLY_HEADER_SIZE) {
    const sBlockReplyHeader hdr = DecodeBlockReplyHeader(pData);
    const sBlockReplyPlan plan = PlanBlockReply(pData);
    ZK7_FUZZ_CHECK(plan.bRefused == (hdr.nStatus != 0), "refusal");
    ZK7_FUZZ_CHECK(plan.nTextToKeep <= ZK7_MAX_REFUSAL_TEXT, "refusal text kept beyond the cap");
    ZK7_FUZZ_CHECK(!plan.bRefused || plan.bTextCut == (hdr.nMessageLength > ZK7_MAX_REFUSAL_TEXT), "cut");
    ZK7_FUZZ_CHECK(plan.bRefused || (plan.nTextToKeep == 0 && !plan.bTextCut), "text read for a block");
    const auto again = EncodeBlockReplyHeader(hdr);
    ZK7_FUZZ_CHECK(std::memcmp(again.data() + 16, pData + 16, 8) == 0, "reply header round trip");
  }
  if (nSize >= ZK7_BLOCK_REQUEST_SIZE) {
    sBlockRequest req;
    if (DecodeBlockRequest(pData, req)) {
      const auto again = EncodeBlockRequest(req);
      ZK7_FUZZ_CHECK(std::memcmp(again.data(), pData, ZK7_BLOCK_REQUEST_SIZE) == 0, "block request round trip");
    }
  }
  const std::string strText(reinterpret_cast<const char*>(pData), nSize);
  const uint32_t nHandle = ParseHandle(strText);
  ZK7_FUZZ_CHECK(ParseHandle(FormatHandle(nHandle)) == nHandle, "handle round trip");
  const int64_t n = ParseDecimal(strText);
  ZK7_FUZZ_CHECK(ParseDecimal(std::to_string(n)) == n, "decimal round trip");
  return 0;
}
