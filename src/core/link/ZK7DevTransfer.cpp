// CZK7Dev storage listing and file transfer in binary blocks.
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <new>

#include "link/DownloadPath.h"
#include "link/ZK7Dev.h"

namespace zk7 {

namespace {

const TiXmlElement* Child(const TiXmlNode* pNode, const char* pszName) {
  return pNode ? pNode->FirstChildElement(pszName) : nullptr;
}

int32_t ListedSize(const TiXmlElement* pFile) {
  const char* psz = pFile->GetText();
  int64_t n = psz ? ParseDecimal(psz) : 0;
  // Sizes are 32-bit signed: anything beyond is as unusable as a negative size.
  return n > INT32_MAX ? -1 : static_cast<int32_t>(n < INT32_MIN ? -1 : n);
}

std::atomic<unsigned> g_nTempCounter{0};

// A name beside the target that no module file can take: it starts with a dot
// and carries this process's id and a counter.
std::filesystem::path TempPathFor(const std::filesystem::path& target) {
  std::string strName = "." + target.filename().string() + "." + std::to_string(getpid()) + "." +
                        std::to_string(g_nTempCounter++) + ".part";
  return target.parent_path() / strName;
}

} // namespace

int CZK7Dev::ListDirectory(const std::string& strDevice, std::vector<sResDir>& aDirs) {
  aDirs.clear();
  auto* pDisk = new TiXmlElement("disk");
  pDisk->SetAttribute("device", strDevice.c_str());
  auto* pDir = new TiXmlElement("dir");
  pDir->SetAttribute("details", "on");
  pDisk->LinkEndChild(pDir);
  AddSession()->LinkEndChild(pDisk);
  if (int nResult = SendRequest()) return nResult;
  if (int nResult = ReadResponse()) return nResult;

  const TiXmlElement* pAnswer = Child(Child(m_docResponse.RootElement(), "session"), "disk");
  if (!pAnswer) return ZK7_OK;
  for (const TiXmlElement* pD = pAnswer->FirstChildElement("dir"); pD; pD = pD->NextSiblingElement()) {
    sResDir dir;
    // The std::string form keeps a NUL that a character reference may have put
    // in a name, so that the name is refused instead of silently cut short.
    const std::string* pstrName = pD->Attribute(std::string("name"));
    dir.strName = pstrName ? *pstrName : "";
    for (const TiXmlElement* pF = pD->FirstChildElement("file"); pF; pF = pF->NextSiblingElement()) {
      sFileZK7 file;
      const std::string* pstrFile = pF->Attribute(std::string("name"));
      file.strName = pstrFile ? *pstrFile : "";
      file.nSize = ListedSize(pF);
      dir.aFiles.push_back(file);
    }
    aDirs.push_back(std::move(dir));
  }
  return ZK7_OK;
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

  auto* pOpen = new TiXmlElement("open");
  pOpen->SetAttribute("name", (strDir + "/" + strFile).c_str());
  auto* pFileElem = new TiXmlElement("file");
  pFileElem->LinkEndChild(pOpen);
  auto* pDisk = new TiXmlElement("disk");
  pDisk->SetAttribute("device", strDevice.c_str());
  pDisk->LinkEndChild(pFileElem);
  AddSession()->LinkEndChild(pDisk);
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
  uint32_t nHandle = ParseHandle(pszFd);

  int nTransfer = ReceiveFileBlocks(nHandle, nSize, strLocalPath);
  std::string strTransferError = m_strError;

  auto* pClose = new TiXmlElement("close");
  pClose->SetAttribute("fd", FormatHandle(nHandle).c_str());
  pFileElem = new TiXmlElement("file");
  pFileElem->LinkEndChild(pClose);
  pDisk = new TiXmlElement("disk");
  pDisk->SetAttribute("device", strDevice.c_str());
  pDisk->LinkEndChild(pFileElem);
  AddSession()->LinkEndChild(pDisk);
  int nClose = SendRequest();
  if (nClose == ZK7_OK) nClose = ReadResponse();

  if (nTransfer != ZK7_OK) {
    m_strError = strTransferError;
    return nTransfer;
  }
  return nClose;
}

int CZK7Dev::ReceiveFileBlocks(uint32_t nHandle, int32_t nSize, const std::string& strLocalPath) {
  const std::filesystem::path target(strLocalPath);
  const std::filesystem::path temp = TempPathFor(target);
  // The bytes go to a file beside the target, renamed over it once all arrived:
  // an existing file is never lost, a partial file never poses as a whole one.
  std::FILE* f = std::fopen(temp.c_str(), "wbx");
  if (!f) {
    m_strError = "Can't create results file '" + strLocalPath + "'";
    return ZK7_ERR_LOCAL_FILE;
  }
  auto fail = [&](int nResult) {
    std::fclose(f);
    std::error_code ec;
    std::filesystem::remove(temp, ec);
    return nResult;
  };

  const int32_t nCapacity = nSize < ZK7_MAX_BLOCK_BYTES ? nSize : ZK7_MAX_BLOCK_BYTES;
  std::unique_ptr<uint8_t[]> buffer(new (std::nothrow) uint8_t[nCapacity > 0 ? nCapacity : 1]);
  if (!buffer) {
    m_strError = "Can't allocate memory";
    return fail(ZK7_ERR_NO_MEMORY);
  }

  sBlockRequest req;
  req.nSession = static_cast<int32_t>(ParseDecimal(m_strLogId));
  req.nHandle = nHandle;
  int32_t nOffset = 0;
  while (nOffset < nSize) {
    const int32_t nCount = nSize - nOffset < nCapacity ? nSize - nOffset : nCapacity;
    req.nOffset = static_cast<uint32_t>(nOffset);
    req.nCount = static_cast<uint32_t>(nCount);
    auto bytes = EncodeBlockRequest(req);
    if (int nResult = SendBytes(bytes.data(), static_cast<int>(bytes.size()))) return fail(nResult);

    uint8_t header[ZK7_BLOCK_REPLY_HEADER_SIZE];
    if (ReceiveBytes(header, sizeof header) < ZK7_BLOCK_REPLY_HEADER_SIZE) {
      m_strError = "Unexpected received data size";
      return fail(ZK7_ERR_BLOCK_SIZE);
    }
    sBlockReplyHeader reply = DecodeBlockReplyHeader(header);
    if (reply.nStatus != 0) {
      // The text is read in pieces of the buffer's size: its announced length is
      // the module's word, not a reason to allocate.
      std::string strMessage;
      uint32_t nLeft = reply.nMessageLength;
      while (nLeft > 0) {
        int nWant = static_cast<int>(nLeft < static_cast<uint32_t>(nCapacity > 0 ? nCapacity : 1)
                                         ? nLeft
                                         : static_cast<uint32_t>(nCapacity > 0 ? nCapacity : 1));
        int nGot = ReceiveBytes(buffer.get(), nWant);
        strMessage.append(reinterpret_cast<const char*>(buffer.get()), static_cast<size_t>(nGot));
        if (nGot < nWant) break;
        nLeft -= static_cast<uint32_t>(nGot);
      }
      m_strError = strMessage;
      return fail(ZK7_ERR_BLOCK_REFUSED);
    }
    if (ReceiveBytes(buffer.get(), nCount) < nCount) {
      m_strError = "Unexpected received data size";
      return fail(ZK7_ERR_BLOCK_SIZE);
    }
    if (std::fwrite(buffer.get(), 1, static_cast<size_t>(nCount), f) != static_cast<size_t>(nCount)) {
      m_strError = "Can't write results file '" + strLocalPath + "'";
      return fail(ZK7_ERR_LOCAL_FILE);
    }
    nOffset += nCount;
    if (m_blockCallback && !m_blockCallback(nOffset, nSize)) {
      m_strError = "Transfer cancelled";
      return fail(ZK7_ERR_CANCELLED);
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
