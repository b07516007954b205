// CZK7Dev: fetching the end of a module file that grows.
//
// A module appends one record per period to the results file it records. To
// keep a local copy without fetching it again, the copy's own length is the
// resume point: each call opens the module file, asks for the blocks from that
// length up to the size the listing gave, appends each block to the copy as
// it arrives and closes the file. A link that fails in the middle leaves the
// copy a sound prefix of the module's file, so the next call (after a
// reconnect) simply goes on from its new length: only the block a failure
// broke is asked for again.
// The requests are the ordinary open, block read and close of a download.
#include <unistd.h>

#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>

#include "link/DownloadPath.h"
#include "link/ResponseParser.h"
#include "link/ZK7Dev.h"

namespace zk7 {

int CZK7Dev::ReadBlocks(uint32_t nHandle, int64_t nFrom, int32_t nSize,
                        const std::function<bool(const uint8_t* p, int32_t n)>& write, int64_t& nDone,
                        int64_t& nAsked) {
  nDone = 0;
  const int64_t nWanted = nSize - nFrom;
  const int32_t nCapacity = nWanted < ZK7_MAX_BLOCK_BYTES ? static_cast<int32_t>(nWanted) : ZK7_MAX_BLOCK_BYTES;
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[nCapacity > 0 ? nCapacity : 1]);
  if (!buffer) {
    m_strError = "Can't allocate memory";
    return ZK7_ERR_NO_MEMORY;
  }
  sBlockRequest req;
  req.nSession = static_cast<int32_t>(ParseDecimal(m_strLogId));
  req.nHandle = nHandle;
  for (int64_t nOffset = nFrom; nOffset < nSize;) {
    const int32_t nCount = nSize - nOffset < nCapacity ? static_cast<int32_t>(nSize - nOffset) : nCapacity;
    req.nOffset = static_cast<uint32_t>(nOffset);
    req.nCount = static_cast<uint32_t>(nCount);
    auto bytes = EncodeBlockRequest(req);
    StartDeadline();
    // Counted when asked: a block lost on the way is paid for again.
    nAsked += nCount;
    if (int nResult = SendBytes(bytes.data(), static_cast<int>(bytes.size()))) return nResult;
    uint8_t header[ZK7_BLOCK_REPLY_HEADER_SIZE];
    if (int nResult = ReceiveExact(header, sizeof header)) return nResult;
    sBlockReplyPlan plan = PlanBlockReply(header);
    if (plan.bRefused) {
      std::string strMessage(plan.nTextToKeep, '\0');
      int nGot = ReceiveBytes(strMessage.data(), static_cast<int>(plan.nTextToKeep));
      strMessage.resize(static_cast<size_t>(nGot > 0 ? nGot : 0));
      if (m_bCancel.load()) {
        CloseSocket();
        m_strError = ZK7_MSG_CANCELLED;
        return ZK7_ERR_CANCELLED;
      }
      if (plan.bTextCut || nGot < static_cast<int>(plan.nTextToKeep)) CloseSocket();
      m_strError = strMessage;
      return ZK7_ERR_BLOCK_REFUSED;
    }
    if (int nResult = ReceiveExact(buffer.get(), nCount)) return nResult;
    if (!write(buffer.get(), nCount)) return ZK7_ERR_LOCAL_FILE;
    nOffset += nCount;
    nDone += nCount;
    if (m_bCancel.load()) {
      m_strError = ZK7_MSG_CANCELLED;
      return ZK7_ERR_CANCELLED;
    }
  }
  return ZK7_OK;
}

int CZK7Dev::AppendFileRange(const std::string& strDevice, const std::string& strDir, const std::string& strFile,
                             int64_t nFrom, int32_t nSize, const std::string& strLocalPath, int64_t* pnAppended,
                             int64_t* pnFetched) {
  if (pnAppended) *pnAppended = 0;
  if (pnFetched) *pnFetched = 0;
  std::string strRefusal = CheckModuleName(strDir, true);
  if (strRefusal.empty()) strRefusal = CheckModuleName(strFile, false);
  if (strRefusal.empty()) strRefusal = CheckModuleSize(strFile, nSize);
  if (strRefusal.empty() && (nFrom < 0 || nFrom > nSize))
    strRefusal = "The file '" + strFile + "' is shorter on the module (" + std::to_string(nSize) +
                 " bytes) than its local copy (" + std::to_string(nFrom) + " bytes)";
  if (!strRefusal.empty()) {
    m_strError = strRefusal;
    return ZK7_ERR_RESPONSE;
  }
  std::FILE* f = std::fopen(strLocalPath.c_str(), nFrom == 0 ? "wb" : "r+b");
  // Bytes past nFrom are not the caller's: they go, so that the copy stays a prefix.
  if (f && (ftruncate(fileno(f), nFrom) != 0 || std::fseek(f, 0, SEEK_END) != 0 || std::ftell(f) != nFrom)) {
    std::fclose(f);
    f = nullptr;
  }
  if (!f) {
    m_strError = "Can't write results file '" + strLocalPath + "'";
    return ZK7_ERR_LOCAL_FILE;
  }
  int nResult = ZK7_OK;
  int64_t nDone = 0, nAsked = 0;
  if (nFrom < nSize) {
    uint32_t nHandle = 0;
    nResult = OpenModuleFile(strDevice, strDir, strFile, nHandle);
    if (nResult == ZK7_OK) {
      // Each block reaches the disk before the next is asked for: a copy that
      // another reader follows grows as the module's does.
      auto write = [&](const uint8_t* p, int32_t n) {
        return std::fwrite(p, 1, static_cast<size_t>(n), f) == static_cast<size_t>(n) && std::fflush(f) == 0;
      };
      nResult = ReadBlocks(nHandle, nFrom, nSize, write, nDone, nAsked);
      const std::string strError = m_strError;
      CloseModuleFile(strDevice, nHandle);
      m_strError = strError;
    }
  }
  const bool bClosed = std::fclose(f) == 0;
  if (pnAppended) *pnAppended = nDone;
  if (pnFetched) *pnFetched = nAsked;
  if (!bClosed || nResult == ZK7_ERR_LOCAL_FILE) {
    m_strError = "Can't write results file '" + strLocalPath + "'";
    return ZK7_ERR_LOCAL_FILE;
  }
  return nResult;
}

} // namespace zk7
