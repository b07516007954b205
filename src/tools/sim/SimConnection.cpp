#include "SimConnection.h"

#include <fcntl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <tinyxml.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <initializer_list>
#include <iostream>
#include <random>
#include <thread>

#include "SimModule.h"
#include "format/NumberScan.h"
#include "link/DownloadPath.h"
#include "link/Protocol.h"

namespace zk7 {

namespace {

constexpr size_t kMaxRequestBody = 64 * 1024 * 1024;

int ChildElementCount(const TiXmlElement* p) {
  int n = 0;
  for (const TiXmlElement* c = p->FirstChildElement(); c; c = c->NextSiblingElement()) ++n;
  return n;
}

// Exactly these attributes, in this order: the client sends nothing else.
bool HasAttributes(const TiXmlElement* p, std::initializer_list<const char*> aNames) {
  const TiXmlAttribute* a = p->FirstAttribute();
  for (const char* psz : aNames) {
    if (!a || std::strcmp(a->Name(), psz) != 0) return false;
    a = a->Next();
  }
  return a == nullptr;
}

// An element with the given attributes and nothing inside.
bool IsEmptyElement(const TiXmlElement* p, std::initializer_list<const char*> aNames) {
  return p && HasAttributes(p, aNames) && p->FirstChild() == nullptr;
}

const TiXmlElement* OnlyChild(const TiXmlElement* p) {
  return p && ChildElementCount(p) == 1 ? p->FirstChildElement() : nullptr;
}

bool IsName(const TiXmlElement* p, const char* pszName) { return p && std::strcmp(p->Value(), pszName) == 0; }

std::string RandomKey() {
  static const char kChars[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
  thread_local std::mt19937 rng{std::random_device{}()};
  std::string str;
  for (int i = 0; i < 16; ++i) str += kChars[rng() % (sizeof kChars - 1)];
  return str;
}

TiXmlDocument NewAnswer(TiXmlElement*& pRoot, const char* pszStatus = "ok") {
  TiXmlDocument doc;
  doc.Parse("<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?><fieldacq/>", nullptr, TIXML_DEFAULT_ENCODING);
  pRoot = doc.RootElement();
  auto* pRequest = new TiXmlElement("request");
  pRequest->SetAttribute("status", pszStatus);
  pRoot->LinkEndChild(pRequest);
  return doc;
}

TiXmlElement* Append(TiXmlNode* pParent, const char* pszName, const char* pszText = nullptr) {
  auto* p = new TiXmlElement(pszName);
  if (pszText) p->LinkEndChild(new TiXmlText(pszText));
  pParent->LinkEndChild(p);
  return p;
}

// What a request is, for the faults and the log; the root is a configuration's
// own for "config".
std::string Classify(const TiXmlElement* pRoot) {
  if (!pRoot) return "unknown";
  const TiXmlElement* pSession = pRoot->FirstChildElement("session");
  if (IsName(pRoot, "fieldacq")) {
    const TiXmlElement* pChild = OnlyChild(pRoot);
    if (IsName(pChild, "login")) {
      const TiXmlElement* p = OnlyChild(pChild);
      return IsName(p, "read") ? "key" : IsName(p, "user") ? "login" : "unknown";
    }
    if (IsName(pChild, "session") && ChildElementCount(pChild) == 1) {
      const TiXmlElement* p = pChild->FirstChildElement();
      if (IsName(p, "disk")) {
        const TiXmlElement* q = OnlyChild(p);
        if (IsName(q, "dir")) return "list";
        const TiXmlElement* r = IsName(q, "file") ? OnlyChild(q) : nullptr;
        return IsName(r, "open") ? "open" : IsName(r, "close") ? "close" : "unknown";
      }
      if (IsName(p, "read-status")) return "status";
      if (IsName(p, "command")) {
        const TiXmlElement* q = OnlyChild(p);
        if (IsName(q, "start")) return "start";
        if (IsName(q, "stop")) return "stop";
      }
    }
  }
  if (pSession) {
    const TiXmlElement* pLast = nullptr;
    for (const TiXmlElement* p = pSession->FirstChildElement(); p; p = p->NextSiblingElement()) pLast = p;
    const TiXmlElement* pConf = IsName(pLast, "command") ? OnlyChild(pLast) : nullptr;
    if (IsName(pConf, "configuration") && IsEmptyElement(OnlyChild(pConf), {}) &&
        IsName(OnlyChild(pConf), "save"))
      return "config";
  }
  return "unknown";
}

} // namespace

CSimConnection::CSimConnection(CSimModule& module, int nSocket)
    : m_module(module), m_nSocket(nSocket), m_blockBuffer(ZK7_BLOCK_REPLY_HEADER_SIZE + ZK7_MAX_BLOCK_BYTES) {}

CSimConnection::~CSimConnection() {
  for (auto& [nHandle, file] : m_aOpen) close(file.nFd);
  close(m_nSocket);
}

bool CSimConnection::ReadExact(void* p, size_t n) {
  auto* pOut = static_cast<uint8_t*>(p);
  while (n > 0) {
    if (m_nInStart == m_inBuffer.size()) {
      m_inBuffer.resize(65536);
      ssize_t nGot = recv(m_nSocket, m_inBuffer.data(), m_inBuffer.size(), 0);
      if (nGot <= 0) {
        m_inBuffer.clear();
        m_nInStart = 0;
        return false;
      }
      m_inBuffer.resize(static_cast<size_t>(nGot));
      m_nInStart = 0;
    }
    size_t nTake = std::min(n, m_inBuffer.size() - m_nInStart);
    std::memcpy(pOut, m_inBuffer.data() + m_nInStart, nTake);
    m_nInStart += nTake;
    pOut += nTake;
    n -= nTake;
  }
  return true;
}

bool CSimConnection::SendAll(const void* p, size_t n) {
  const auto* pc = static_cast<const char*>(p);
  while (n > 0) {
    ssize_t nSent = send(m_nSocket, pc, n, MSG_NOSIGNAL);
    if (nSent <= 0) return false;
    pc += nSent;
    n -= static_cast<size_t>(nSent);
  }
  return true;
}

bool CSimConnection::Reply(const std::string& strRequest, const std::string& strBytes) {
  const auto& aFaults = m_module.Options().aFaults;
  if (const sFault* p = TakeFault(aFaults, "stall", strRequest))
    std::this_thread::sleep_for(std::chrono::milliseconds(LeadingSimInt(p->strArg)));
  if (const sFault* p = TakeFault(aFaults, "drop", strRequest)) {
    size_t n = std::min(strBytes.size(), static_cast<size_t>(std::atoll(p->strArg.c_str())));
    m_module.Trace('S', strBytes.data(), n);
    SendAll(strBytes.data(), n);
    return false;
  }
  m_module.Trace('S', strBytes.data(), strBytes.size());
  if (const sFault* p = TakeFault(aFaults, "drip", strRequest)) {
    const auto interval = std::chrono::milliseconds(LeadingSimInt(p->strArg));
    for (char c : strBytes) {
      if (!SendAll(&c, 1)) return false;
      std::this_thread::sleep_for(interval);
    }
    return true;
  }
  return SendAll(strBytes.data(), strBytes.size());
}

bool CSimConnection::ReplyXml(const std::string& strRequest, TiXmlDocument& doc) {
  const auto& aFaults = m_module.Options().aFaults;
  TiXmlElement* pRequest = doc.RootElement() ? doc.RootElement()->FirstChildElement("request") : nullptr;
  if (pRequest && TakeFault(aFaults, "no-status", strRequest)) pRequest->RemoveAttribute("status");
  if (pRequest && TakeFault(aFaults, "upper-ok", strRequest)) pRequest->SetAttribute("status", "OK");
  std::string strBody = PrintXml(doc);
  if (const sFault* p = TakeFault(aFaults, "deep-nesting", strRequest)) {
    const int nDepth = p->strArg.empty() ? 60000 : LeadingSimInt(p->strArg);
    strBody = "<fieldacq><request status=\"ok\"/>";
    for (int i = 0; i < nDepth; ++i) strBody += "<a>";
    for (int i = 0; i < nDepth; ++i) strBody += "</a>";
    strBody += "</fieldacq>";
  }
  if (TakeFault(aFaults, "utf8-tail", strRequest)) {
    // Declared UTF-8 and cut inside the root after a lead byte that announces three more.
    strBody = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<fieldacq>\n\t<request status=\"ok\" />\n\xF0";
  }
  return ReplyText(strRequest, strBody);
}

bool CSimConnection::ReplyText(const std::string& strRequest, std::string strBody) {
  const auto& aFaults = m_module.Options().aFaults;
  if (TakeFault(aFaults, "malformed", strRequest)) strBody = "<fieldacq><request status=\"ok\"></fieldacq";
  std::string strEol1 = "\r\n", strEol2 = "\r\n";
  if (TakeFault(aFaults, "lf-only", strRequest)) strEol1 = strEol2 = "\n";
  if (TakeFault(aFaults, "mixed-eol", strRequest)) strEol1 = "\n";
  std::string strLengthField = TakeFault(aFaults, "lower-length", strRequest) ? "content-length: " : "Content-Length: ";
  if (TakeFault(aFaults, "zero-length", strRequest)) strBody.clear();
  std::string strHeader = "HTTP/1.0 200 OK" + strEol1 + "Content-Type: text/xml" + strEol2;
  if (TakeFault(aFaults, "long-header", strRequest)) strHeader += "X-Padding: " + std::string(100 * 1024, 'x') + strEol1;
  if (const sFault* p = TakeFault(aFaults, "huge-length", strRequest))
    strHeader += "Content-Length: " + (p->strArg.empty() ? std::string("1000000000000") : p->strArg) + strEol1;
  else if (!TakeFault(aFaults, "no-length", strRequest))
    strHeader += strLengthField + std::to_string(strBody.size()) + strEol1;
  return Reply(strRequest, strHeader + strEol2 + strBody);
}

bool CSimConnection::ReplyRefusal(const std::string& strRequest, const std::string& strMessage) {
  TiXmlElement* pRoot = nullptr;
  TiXmlDocument doc = NewAnswer(pRoot, "error");
  auto* pError = new TiXmlElement("error");
  pError->SetAttribute("message", strMessage.c_str());
  pRoot->FirstChildElement("request")->LinkEndChild(pError);
  return ReplyXml(strRequest, doc);
}

void CSimConnection::Run() {
  for (;;) {
    char magic[4];
    if (!ReadExact(magic, sizeof magic)) return;
    bool bOk = false;
    if (std::memcmp(magic, "POST", 4) == 0) {
      bOk = HandleXml();
    } else if (std::memcmp(magic, ZK7_BLOCK_MAGIC, 4) == 0) {
      bOk = HandleBlock();
    } else {
      std::cerr << "zk7-sim: neither a request nor a block request; connection closed\n";
    }
    if (!bOk) return;
  }
}

bool CSimConnection::HandleXml() {
  std::string strHead = "POST";
  // The framing is exactly what the link sends: the request line, one field, an empty line.
  const std::string strLine = ZK7_REQUEST_LINE;
  while (strHead.size() < 4096 && (strHead.size() < 4 || strHead.compare(strHead.size() - 4, 4, "\r\n\r\n") != 0)) {
    char c;
    if (!ReadExact(&c, 1)) return false;
    strHead += c;
  }
  const std::string strField = std::string(ZK7_CONTENT_LENGTH) + " ";
  size_t nDigits = strLine.size() + strField.size();
  size_t nEnd = nDigits;
  while (nEnd < strHead.size() && std::isdigit(static_cast<unsigned char>(strHead[nEnd]))) ++nEnd;
  if (strHead.compare(0, strLine.size(), strLine) != 0 || strHead.compare(strLine.size(), strField.size(), strField) != 0 ||
      nEnd == nDigits || strHead.substr(nEnd) != "\r\n\r\n") {
    std::cerr << "zk7-sim: malformed request header; connection closed\n";
    return false;
  }
  int64_t nAnnounced = 0;
  ScanIntPrefix(std::string_view(strHead).substr(nDigits), nAnnounced);  // digits only, checked above
  if (nAnnounced < 0 || static_cast<uint64_t>(nAnnounced) > kMaxRequestBody) {
    std::cerr << "zk7-sim: request body too long; connection closed\n";
    return false;
  }
  const size_t nLength = static_cast<size_t>(nAnnounced);
  std::string strBody(nLength, '\0');
  if (!ReadExact(strBody.data(), nLength)) return false;
  std::string strRaw = strHead + strBody;
  m_module.Trace('C', strRaw.data(), strRaw.size());

  TiXmlDocument doc;
  doc.Parse(strBody.c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  if (doc.Error()) return ReplyRefusal("unknown", std::string("Malformed request: ") + doc.ErrorDesc());
  const TiXmlElement* pRoot = doc.RootElement();
  std::string strKind = Classify(pRoot);
  if (const sFault* p = TakeFault(m_module.Options().aFaults, "refuse", strKind))
    return ReplyRefusal(strKind, p->strArg.empty() ? "Refused" : p->strArg);
  if (strKind == "config") return HandleConfiguration(pRoot);
  // Requests built from the template carry its declaration and nothing on the root.
  const TiXmlDeclaration* pDecl = doc.FirstChild() ? doc.FirstChild()->ToDeclaration() : nullptr;
  if (!pDecl || std::strcmp(pDecl->Version(), "1.0") != 0 || std::strcmp(pDecl->Encoding(), "ISO-8859-1") != 0 ||
      !HasAttributes(pRoot, {}))
    return ReplyRefusal(strKind, "Invalid request");
  if (strKind == "key" || strKind == "login") return HandleLogin(pRoot->FirstChildElement());
  if (strKind == "unknown") return ReplyRefusal(strKind, "Unknown request");
  return HandleSession(pRoot, pRoot->FirstChildElement());
}

bool CSimConnection::HandleLogin(const TiXmlElement* pLogin) {
  const TiXmlElement* p = OnlyChild(pLogin);
  if (!HasAttributes(pLogin, {})) return ReplyRefusal("login", "Invalid request");
  TiXmlElement* pRoot = nullptr;
  if (IsName(p, "read")) {
    if (!IsEmptyElement(p, {})) return ReplyRefusal("key", "Invalid request");
    m_strKey = TakeFault(m_module.Options().aFaults, "empty-key", "key") ? "" : RandomKey();
    TiXmlDocument doc = NewAnswer(pRoot);
    Append(Append(pRoot, "login"), "encryption-key", m_strKey.c_str());
    return ReplyXml("key", doc);
  }
  // One text node at most: the user name.
  const TiXmlNode* pText = p->FirstChild();
  if (!HasAttributes(p, {"encryption-key", "password"}) || (pText && (!pText->ToText() || pText->NextSibling())))
    return ReplyRefusal("login", "Invalid request");
  std::string strKey = p->Attribute("encryption-key");
  std::string strUser = p->GetText() ? p->GetText() : "";
  bool bKeyOk = !m_strKey.empty() && strKey == m_strKey;
  m_strKey.clear();  // one key, one attempt
  if (!bKeyOk) return ReplyRefusal("login", "Invalid encryption key");
  if (!m_module.CheckUser(strUser, strKey, p->Attribute("password")))
    return ReplyRefusal("login", "Invalid user name or password");
  m_nSession = m_module.NewSessionNumber();
  char sz[16];
  std::snprintf(sz, sizeof sz, "%05d", m_nSession);  // leading zeros, as a module writes them
  m_strLogId = sz;
  TiXmlDocument doc = NewAnswer(pRoot);
  Append(Append(pRoot, "login"), "logid", m_strLogId.c_str());
  return ReplyXml("login", doc);
}

bool CSimConnection::HandleSession(const TiXmlElement* pRoot, const TiXmlElement* pSession) {
  std::string strKind = Classify(pRoot);
  const char* pszLogId = pSession->Attribute("logid");
  if (!HasAttributes(pSession, {"logid"}) || m_strLogId.empty() || m_strLogId != pszLogId)
    return ReplyRefusal(strKind, "Invalid session");
  const TiXmlElement* p = pSession->FirstChildElement();
  TiXmlElement* pAnswerRoot = nullptr;
  if (strKind == "list" || strKind == "open" || strKind == "close") return HandleDisk(p);
  if (strKind == "status") {
    if (!HasAttributes(p, {}) || !IsEmptyElement(OnlyChild(p), {}) || !IsName(OnlyChild(p), "acquisition"))
      return ReplyRefusal(strKind, "Invalid request");
    std::string strState = m_module.IsRunning() ? "running" : "stopped";
    if (const sFault* pf = TakeFault(m_module.Options().aFaults, "status", strKind)) strState = pf->strArg;
    TiXmlDocument doc = NewAnswer(pAnswerRoot);
    Append(Append(Append(pAnswerRoot, "session"), "read-status"), "acquisition", strState.c_str());
    return ReplyXml(strKind, doc);
  }
  // start or stop
  const TiXmlElement* pVerb = OnlyChild(p);
  const TiXmlElement* pAcq = OnlyChild(pVerb);
  if (!HasAttributes(p, {}) || !HasAttributes(pVerb, {}) || !IsName(pAcq, "acquisition") || pAcq->FirstChild())
    return ReplyRefusal(strKind, "Invalid request");
  std::string strError;
  if (strKind == "start") {
    const char* pszData = pAcq->Attribute("data");
    std::string strData = pszData ? pszData : "";
    if (!HasAttributes(pAcq, {"data"}) || (strData != "new" && strData != "seal" && strData != "append"))
      return ReplyRefusal(strKind, "Invalid data mode");
    if (!m_module.StartAcquisition(strData, strError)) return ReplyRefusal(strKind, strError);
  } else {
    if (!HasAttributes(pAcq, {})) return ReplyRefusal(strKind, "Invalid request");
    m_module.StopAcquisition();
  }
  TiXmlDocument doc = NewAnswer(pAnswerRoot);
  return ReplyXml(strKind, doc);
}

bool CSimConnection::HandleDisk(const TiXmlElement* pDisk) {
  std::string strKind = Classify(pDisk->Parent()->Parent()->ToElement());
  const char* pszDevice = pDisk->Attribute("device");
  std::string strDevice = pszDevice ? pszDevice : "";
  bool bKnown = false;
  for (const char* psz : {ZK7_DEVICE_CONFIGS, ZK7_DEVICE_LOGS, ZK7_DEVICE_INTERNAL, ZK7_DEVICE_USB, ZK7_DEVICE_SDCARD})
    bKnown |= strDevice == psz;
  if (!HasAttributes(pDisk, {"device"}) || !bKnown) return ReplyRefusal(strKind, "Unknown device");
  const TiXmlElement* pChild = OnlyChild(pDisk);
  if (strKind == "list") {
    const char* pszDetails = pChild->Attribute("details");
    if (!IsEmptyElement(pChild, {"details"}) || std::strcmp(pszDetails, "on") != 0)
      return ReplyRefusal(strKind, "Invalid request");
    return HandleList(strDevice);
  }
  if (!HasAttributes(pChild, {})) return ReplyRefusal(strKind, "Invalid request");
  const TiXmlElement* pOp = OnlyChild(pChild);
  return strKind == "open" ? HandleOpen(strDevice, pOp) : HandleClose(pOp);
}

bool CSimConnection::HandleList(const std::string& strDevice) {
  namespace fs = std::filesystem;
  fs::path device = m_module.DevicePath(strDevice);
  std::error_code ec;
  if (!fs::is_directory(device, ec)) {
    if (strDevice == ZK7_DEVICE_USB || strDevice == ZK7_DEVICE_SDCARD)
      return ReplyRefusal("list", "Device not present");
  }
  TiXmlElement* pRoot = nullptr;
  TiXmlDocument doc = NewAnswer(pRoot);
  auto* pDisk = Append(Append(pRoot, "session"), "disk");
  pDisk->SetAttribute("device", strDevice.c_str());
  auto listFiles = [](const fs::path& dir, TiXmlElement* pDir) {
    std::vector<std::pair<std::string, uintmax_t>> aFiles;
    std::error_code ec2;
    for (const auto& entry : fs::directory_iterator(dir, ec2))
      if (entry.is_regular_file(ec2)) aFiles.emplace_back(entry.path().filename().string(), entry.file_size(ec2));
    std::sort(aFiles.begin(), aFiles.end());
    for (const auto& [strName, nSize] : aFiles) {
      auto* pFile = Append(pDir, "file", std::to_string(nSize).c_str());
      pFile->SetAttribute("name", strName.c_str());
    }
  };
  std::vector<std::string> aDirs;
  bool bTopFiles = false;
  for (const auto& entry : fs::directory_iterator(device, ec)) {
    if (entry.is_directory(ec))
      aDirs.push_back(entry.path().filename().string());
    else if (entry.is_regular_file(ec))
      bTopFiles = true;
  }
  std::sort(aDirs.begin(), aDirs.end());
  if (bTopFiles) {
    auto* pDir = Append(pDisk, "dir");
    pDir->SetAttribute("name", "");
    listFiles(device, pDir);
  }
  for (const auto& strDir : aDirs) {
    auto* pDir = Append(pDisk, "dir");
    pDir->SetAttribute("name", strDir.c_str());
    listFiles(device / strDir, pDir);
  }
  if (TakeFault(m_module.Options().aFaults, "hostile-names", "list")) {
    auto* pDir = Append(pDisk, "dir");
    pDir->SetAttribute("name", "");
    for (const char* psz : {"../escaped.zk", "a/b.zk", "..", ".", "back\\slash.zk"})
      Append(pDir, "file", "10")->SetAttribute("name", psz);
    Append(pDir, "file", "-5")->SetAttribute("name", "negative.zk");
    Append(pDir, "file", "10")->SetAttribute("name", "nul@NUL@byte.zk");
    Append(Append(pDisk, "dir"), "file", "10")->SetAttribute("name", "x.zk");
    pDisk->LastChild()->ToElement()->SetAttribute("name", "..");
    // The printer would not write a NUL: put its character reference in by hand.
    std::string strText = PrintXml(doc);
    strText.replace(strText.find("@NUL@"), 5, "&#0;");
    return ReplyText("list", strText);
  }
  return ReplyXml("list", doc);
}

bool CSimConnection::HandleOpen(const std::string& strDevice, const TiXmlElement* pOpen) {
  if (!IsEmptyElement(pOpen, {"name"})) return ReplyRefusal("open", "Invalid request");
  std::string strName = pOpen->Attribute("name");
  size_t nSlash = strName.find('/');
  TiXmlElement* pRoot = nullptr;
  TiXmlDocument doc = NewAnswer(pRoot);
  auto* pAnswer = Append(Append(Append(Append(pRoot, "session"), "disk"), "file"), "open");
  std::string strDir = nSlash == std::string::npos ? "" : strName.substr(0, nSlash);
  std::string strFile = nSlash == std::string::npos ? "" : strName.substr(nSlash + 1);
  int nFd = -1;
  if (nSlash != std::string::npos && CheckModuleName(strDir, true).empty() && CheckModuleName(strFile, false).empty()) {
    std::filesystem::path path = m_module.DevicePath(strDevice);
    if (!strDir.empty()) path /= strDir;
    path /= strFile;
    std::error_code ec;
    if (std::filesystem::is_regular_file(path, ec)) nFd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
  }
  if (nFd < 0) {
    pAnswer->LinkEndChild(new TiXmlText("error"));
    return ReplyXml("open", doc);
  }
  uint32_t nHandle = m_nNextHandle++;
  m_aOpen[nHandle] = {nFd, static_cast<int64_t>(lseek(nFd, 0, SEEK_END))};
  char sz[16];
  std::snprintf(sz, sizeof sz, "%X", nHandle);  // upper case: the client reads any case
  pAnswer->SetAttribute("fd", sz);
  pAnswer->LinkEndChild(new TiXmlText("ok"));
  return ReplyXml("open", doc);
}

bool CSimConnection::HandleClose(const TiXmlElement* pClose) {
  if (!IsEmptyElement(pClose, {"fd"})) return ReplyRefusal("close", "Invalid request");
  std::string strFd = pClose->Attribute("fd");
  uint32_t nHandle = ParseHandle(strFd);
  auto it = m_aOpen.find(nHandle);
  // The handle comes back in lower case without prefix or leading zeros.
  if (FormatHandle(nHandle) != strFd || it == m_aOpen.end()) return ReplyRefusal("close", "Invalid file handle");
  close(it->second.nFd);
  m_aOpen.erase(it);
  TiXmlElement* pRoot = nullptr;
  TiXmlDocument doc = NewAnswer(pRoot);
  return ReplyXml("close", doc);
}

bool CSimConnection::HandleConfiguration(const TiXmlElement* pRoot) {
  const TiXmlElement* pSession = pRoot->FirstChildElement("session");
  const char* pszLogId = pSession->Attribute("logid");
  if (m_strLogId.empty() || !pszLogId || m_strLogId != pszLogId) return ReplyRefusal("config", "Invalid session");
  const TiXmlElement* pName = nullptr;
  for (const TiXmlElement* pCmd = pSession->FirstChildElement("command"); pCmd && !pName;
       pCmd = pCmd->NextSiblingElement("command"))
    for (const TiXmlElement* pConf = pCmd->FirstChildElement("configuration"); pConf && !pName;
         pConf = pConf->NextSiblingElement("configuration"))
      pName = pConf->FirstChildElement("name");
  std::string strName = pName && pName->GetText() ? pName->GetText() : "";
  if (strName.empty() || !CheckModuleName(strName, false).empty())
    return ReplyRefusal("config", "Invalid configuration name");
  // Stored as the configuration itself: without the session id and the save command.
  TiXmlDocument copy;
  copy.Parse(PrintXml(*pRoot->GetDocument()).c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  TiXmlElement* pCopySession = copy.RootElement()->FirstChildElement("session");
  pCopySession->RemoveAttribute("logid");
  pCopySession->RemoveChild(pCopySession->LastChild("command"));
  std::string strError;
  if (!m_module.SaveConfiguration(strName, PrintXml(copy), strError)) return ReplyRefusal("config", strError);
  TiXmlElement* pAnswerRoot = nullptr;
  TiXmlDocument doc = NewAnswer(pAnswerRoot);
  return ReplyXml("config", doc);
}

bool CSimConnection::HandleBlock() {
  uint8_t raw[ZK7_BLOCK_REQUEST_SIZE];
  std::memcpy(raw, ZK7_BLOCK_MAGIC, 4);
  if (!ReadExact(raw + 4, sizeof raw - 4)) return false;
  m_module.Trace('C', raw, sizeof raw);
  sBlockRequest req;
  auto refuse = [this](const std::string& strMessage) {
    sBlockReplyHeader hdr;
    hdr.nStatus = 1;
    hdr.nMessageLength = static_cast<uint32_t>(strMessage.size());
    auto bytes = EncodeBlockReplyHeader(hdr);
    return Reply("block", std::string(bytes.begin(), bytes.end()) + strMessage);
  };
  if (!DecodeBlockRequest(raw, req)) {
    std::cerr << "zk7-sim: bad block magic; connection closed\n";
    return false;
  }
  if (const sFault* p = TakeFault(m_module.Options().aFaults, "refuse", "block")) return refuse(p->strArg);
  if (TakeFault(m_module.Options().aFaults, "refusal-flood", "block")) {
    sBlockReplyHeader hdr;
    hdr.nStatus = 1;
    hdr.nMessageLength = 0xFFFFFFFFu;
    auto bytes = EncodeBlockReplyHeader(hdr);
    if (!SendAll(bytes.data(), bytes.size())) return false;
    const std::string strChunk(64 * 1024, 'x');
    for (uint64_t nSent = 0; nSent < hdr.nMessageLength; nSent += strChunk.size())
      if (!SendAll(strChunk.data(), std::min<uint64_t>(strChunk.size(), hdr.nMessageLength - nSent))) return false;
    return true;
  }
  auto it = m_aOpen.find(req.nHandle);
  if (m_strLogId.empty() || req.nSession != m_nSession) return refuse("Invalid session");
  if (req.nCommand != ZK7_BLOCK_COMMAND_READ || req.nParameterLength != ZK7_BLOCK_PARAMETER_LENGTH)
    return refuse("Unknown command");
  if (it == m_aOpen.end()) return refuse("Invalid file handle");
  if (req.nCount == 0 || req.nCount > static_cast<uint32_t>(ZK7_MAX_BLOCK_BYTES) ||
      static_cast<int64_t>(req.nOffset) + req.nCount > it->second.nSize)
    return refuse("Invalid block");
  uint8_t* pData = m_blockBuffer.data() + ZK7_BLOCK_REPLY_HEADER_SIZE;
  ssize_t nRead = pread(it->second.nFd, pData, req.nCount, static_cast<off_t>(req.nOffset));
  if (nRead != static_cast<ssize_t>(req.nCount)) return refuse("Read error");
  auto hdr = EncodeBlockReplyHeader(sBlockReplyHeader{});
  std::memcpy(m_blockBuffer.data(), hdr.data(), hdr.size());
  const size_t nTotal = ZK7_BLOCK_REPLY_HEADER_SIZE + req.nCount;
  const auto& aFaults = m_module.Options().aFaults;
  if (!aFaults.empty() || !m_module.Options().strTrace.empty())
    return Reply("block", std::string(reinterpret_cast<const char*>(m_blockBuffer.data()), nTotal));
  return SendAll(m_blockBuffer.data(), nTotal);
}

} // namespace zk7
