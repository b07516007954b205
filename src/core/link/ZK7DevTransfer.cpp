// CZK7Dev storage listing and file transfer in binary blocks.
#include <climits>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>

#include "link/DirectoryListing.h"
#include "link/DownloadPath.h"
#include "link/ResponseParser.h"
#include "link/ZK7Dev.h"

namespace zk7 {

namespace {

const TiXmlElement* Child(const TiXmlNode* pNode, const char* pszName) {
  return pNode ? pNode->FirstChildElement(pszName) : nullptr;
}

// <disk device="..."><file>COMMAND</file></disk>, or without the <file> level.
TiXmlElement* DiskRequest(const std::string& strDevice, TiXmlElement* pCommand, bool bFile) {
  if (bFile) {
    auto* pFileElem = new TiXmlElement("file");
    pFileElem->LinkEndChild(pCommand);
    pCommand = pFileElem;
  }
  auto* pDisk = new TiXmlElement("disk");
  pDisk->SetAttribute("device", strDevice.c_str());
  pDisk->LinkEndChild(pCommand);
  return pDisk;
}

std::atomic<unsigned> g_nTempCounter{0};

// A name beside the target that no module file can take: it starts with a dot
// and carries this process's id and a counter. A long target name is shortened
// (at a character boundary) so that the whole stays within NAME_MAX; the id and
// the counter alone keep it unique.
std::filesystem::path TempPathFor(const std::filesystem::path& target) {
  const std::string strSuffix = "." + std::to_string(getpid()) + "." + std::to_string(g_nTempCounter++) + ".part";
  std::string strName = target.filename().string();
  const size_t nRoom = NAME_MAX - 1 - strSuffix.size();
  if (strName.size() > nRoom) {
    size_t nCut = nRoom;
    while (nCut > 0 && (static_cast<unsigned char>(strName[nCut]) & 0xC0) == 0x80) --nCut;
    strName.resize(nCut);
  }
  return target.parent_path() / ("." + strName + strSuffix);
}

} // namespace

int CZK7Dev::ListDirectory(const std::string& strDevice, std::vector<sResDir>& aDirs) {
  aDirs.clear();
  auto* pDir = new TiXmlElement("dir");
  pDir->SetAttribute("details", "on");
  AddSession()->LinkEndChild(DiskRequest(strDevice, pDir, false));
  if (int nResult = SendRequest()) return nResult;
  if (int nResult = ReadResponse()) return nResult;

  ReadDirectoryListing(m_docResponse, aDirs);
  return ZK7_OK;
}

int64_t CZK7Dev::PartialBytes(const std::string& strDevice, const std::string& strDir, const std::string& strFile,
                              int32_t nSize, const std::string& strLocalPath) const {
  if (!m_partial || m_partial->strDevice != strDevice || m_partial->strDir != strDir || m_partial->strFile != strFile ||
      m_partial->nSize != nSize || m_partial->strLocalPath != strLocalPath)
    return 0;
  return m_partial->nDone;
}

void CZK7Dev::DiscardPartial() {
  if (!m_partial) return;
  std::error_code ec;
  std::filesystem::remove(m_partial->temp, ec);
  m_partial.reset();
}

int CZK7Dev::OpenModuleFile(const std::string& strDevice, const std::string& strDir, const std::string& strFile,
                            uint32_t& nHandle) {
  auto* pOpen = new TiXmlElement("open");
  pOpen->SetAttribute("name", (strDir + "/" + strFile).c_str());
  AddSession()->LinkEndChild(DiskRequest(strDevice, pOpen, true));
  if (int nResult = SendRequest()) return nResult;
  if (int nResult = ReadResponse()) return nResult;

  const TiXmlElement* pAnswer =
      Child(Child(Child(Child(m_docResponse.RootElement(), "session"), "disk"), "file"), "open");
  const char* pszText = pAnswer ? pAnswer->GetText() : nullptr;
  const char* pszFd = pAnswer ? pAnswer->Attribute("fd") : nullptr;
  if (!pszText || std::string(pszText) != "ok" || !pszFd) {
    m_strError = "File does not exist";
    return ZK7_ERR_NO_FILE;
  }
  nHandle = ParseHandle(pszFd);
  return ZK7_OK;
}

void CZK7Dev::CloseModuleFile(const std::string& strDevice, uint32_t nHandle) {
  // The close is owed to the module whenever the open succeeded, unless the
  // connection is already gone (and the handle with it).
  if (m_socket < 0) return;
  auto* pClose = new TiXmlElement("close");
  pClose->SetAttribute("fd", FormatHandle(nHandle).c_str());
  AddSession()->LinkEndChild(DiskRequest(strDevice, pClose, true));
  if (SendRequest() == ZK7_OK) ReadResponse();
}

int CZK7Dev::DownloadFile(const std::string& strDevice, const std::string& strDir, const std::string& strFile,
                          int32_t nSize, const std::string& strLocalPath) {
  // Refused before anything is asked of the module: these names are not paths.
  std::string strRefusal = CheckModuleName(strDir, true);
  if (strRefusal.empty()) strRefusal = CheckModuleName(strFile, false);
  if (strRefusal.empty()) strRefusal = CheckModuleSize(strFile, nSize);
  if (!strRefusal.empty()) {
    m_strError = strRefusal;
    return ZK7_ERR_RESPONSE;
  }
  sPartial resume{strDevice, strDir, strFile, strLocalPath, nSize, {}, 0};
  if (PartialBytes(strDevice, strDir, strFile, nSize, strLocalPath) > 0)
    resume = *m_partial;
  else
    DiscardPartial();

  uint32_t nHandle = 0;
  if (int nResult = OpenModuleFile(strDevice, strDir, strFile, nHandle)) return nResult;

  int nTransfer = ReceiveFileBlocks(nHandle, nSize, strLocalPath, resume);
  std::string strTransferError = m_strError;
  CloseModuleFile(strDevice, nHandle);

  if (nTransfer != ZK7_OK) {
    m_strError = strTransferError;
    return nTransfer;
  }
  // Every byte arrived, counted block by block, and the file is in place: a
  // close that the module refuses or that breaks off only concerns its handle,
  // not the data, so the file is not reported as failed. A broken close has
  // dropped the connection, and the next operation logs in again.
  return ZK7_OK;
}

int CZK7Dev::ReceiveFileBlocks(uint32_t nHandle, int32_t nSize, const std::string& strLocalPath,
                               const sPartial& resume) {
  const std::filesystem::path target(strLocalPath);
  // The bytes go to a file beside the target, renamed over it once all arrived:
  // an existing file is never lost, a partial file never poses as a whole one.
  // A transfer that broke off keeps its file, to be continued by the next attempt.
  std::filesystem::path temp = resume.temp;
  int32_t nOffset = static_cast<int32_t>(resume.nDone);
  std::FILE* f = nullptr;
  if (nOffset > 0) {
    f = std::fopen(temp.c_str(), "r+b");
    if (f && (ftruncate(fileno(f), nOffset) != 0 || std::fseek(f, 0, SEEK_END) != 0)) {
      std::fclose(f);
      f = nullptr;
    }
    if (!f) DiscardPartial();
  }
  if (!f) {
    nOffset = 0;
    temp = TempPathFor(target);
    f = std::fopen(temp.c_str(), "wbx");
  }
  m_partial.reset();
  if (!f) {
    m_strError = "Can't create results file '" + strLocalPath + "'";
    return ZK7_ERR_LOCAL_FILE;
  }
  // bKeep: the bytes so far are sound and the failure was the link's, not the disk's or the user's.
  auto fail = [&](int nResult, bool bKeep) {
    bool bClosed = std::fclose(f) == 0;
    if (bKeep && bClosed && nOffset > 0) {
      m_partial = sPartial{resume.strDevice, resume.strDir, resume.strFile, resume.strLocalPath, nSize, temp, nOffset};
    } else {
      std::error_code ec;
      std::filesystem::remove(temp, ec);
    }
    return nResult;
  };

  const int32_t nCapacity = nSize < ZK7_MAX_BLOCK_BYTES ? nSize : ZK7_MAX_BLOCK_BYTES;
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[nCapacity > 0 ? nCapacity : 1]);
  if (!buffer) {
    m_strError = "Can't allocate memory";
    return fail(ZK7_ERR_NO_MEMORY, false);
  }

  sBlockRequest req;
  req.nSession = static_cast<int32_t>(ParseDecimal(m_strLogId));
  req.nHandle = nHandle;
  while (nOffset < nSize) {
    const int32_t nCount = nSize - nOffset < nCapacity ? nSize - nOffset : nCapacity;
    req.nOffset = static_cast<uint32_t>(nOffset);
    req.nCount = static_cast<uint32_t>(nCount);
    auto bytes = EncodeBlockRequest(req);
    // One deadline for the request and its whole reply.
    StartDeadline();
    if (int nResult = SendBytes(bytes.data(), static_cast<int>(bytes.size())))
      return fail(nResult, nResult != ZK7_ERR_CANCELLED);

    uint8_t header[ZK7_BLOCK_REPLY_HEADER_SIZE];
    if (int nResult = ReceiveExact(header, sizeof header)) return fail(nResult, nResult != ZK7_ERR_CANCELLED);
    sBlockReplyPlan plan = PlanBlockReply(header);
    if (plan.bRefused) {
      // The announced length is the module's word: only so much is read, and a
      // longer text leaves the rest unread in a connection that is then closed.
      std::string strMessage(plan.nTextToKeep, '\0');
      int nGot = ReceiveBytes(strMessage.data(), static_cast<int>(plan.nTextToKeep));
      strMessage.resize(static_cast<size_t>(nGot));
      if (m_bCancel.load()) {
        CloseSocket();
        m_strError = ZK7_MSG_CANCELLED;
        return fail(ZK7_ERR_CANCELLED, false);
      }
      if (plan.bTextCut || nGot < static_cast<int>(plan.nTextToKeep)) CloseSocket();
      m_strError = strMessage;
      return fail(ZK7_ERR_BLOCK_REFUSED, true);
    }
    if (int nResult = ReceiveExact(buffer.get(), nCount)) return fail(nResult, nResult != ZK7_ERR_CANCELLED);
    if (std::fwrite(buffer.get(), 1, static_cast<size_t>(nCount), f) != static_cast<size_t>(nCount)) {
      m_strError = "Can't write results file '" + strLocalPath + "'";
      return fail(ZK7_ERR_LOCAL_FILE, false);
    }
    nOffset += nCount;
    if ((m_blockCallback && !m_blockCallback(nOffset, nSize)) || m_bCancel.load()) {
      m_strError = ZK7_MSG_CANCELLED;
      return fail(ZK7_ERR_CANCELLED, false);
    }
  }

  bool bClosed = std::fclose(f) == 0;
  std::error_code ec;
  if (bClosed) std::filesystem::rename(temp, target, ec);
  if (!bClosed || ec) {
    std::filesystem::remove(temp, ec);
    m_strError = "Can't write results file '" + strLocalPath + "'";
    return ZK7_ERR_LOCAL_FILE;
  }
  return ZK7_OK;
}

} // namespace zk7
