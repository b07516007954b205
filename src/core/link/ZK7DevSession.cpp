// CZK7Dev requests and session: the request builders, response status, key and login.
#include "link/ZK7Dev.h"

namespace zk7 {

namespace {

const TiXmlElement* Child(const TiXmlNode* pNode, const char* pszName) {
  return pNode ? pNode->FirstChildElement(pszName) : nullptr;
}

std::string TextOf(const TiXmlElement* pElement) {
  const char* psz = pElement ? pElement->GetText() : nullptr;
  return psz ? psz : "";
}

} // namespace

TiXmlElement* CZK7Dev::NewRequest() {
  m_docRequest.Clear();
  m_docRequest.Parse(ZK7_REQUEST_TEMPLATE, nullptr, TIXML_DEFAULT_ENCODING);
  return m_docRequest.RootElement();
}

TiXmlElement* CZK7Dev::AddLogin() {
  return NewRequest()->LinkEndChild(new TiXmlElement("login"))->ToElement();
}

TiXmlElement* CZK7Dev::AddSession() {
  auto* pSession = new TiXmlElement("session");
  pSession->SetAttribute("logid", m_strLogId.c_str());
  return NewRequest()->LinkEndChild(pSession)->ToElement();
}

TiXmlElement* CZK7Dev::AddCommand() {
  return AddSession()->LinkEndChild(new TiXmlElement("command"))->ToElement();
}

int CZK7Dev::ReadResponse() {
  int64_t nLength = 0;
  if (int nResult = ReadResponseHeader(nLength)) return nResult;
  if (int nResult = ReadResponseBody(nLength)) return nResult;
  const TiXmlElement* pRoot = m_docResponse.RootElement();
  if (!pRoot) {
    m_strError = "Empty Response";
    return ZK7_ERR_RESPONSE;
  }
  const TiXmlElement* pRequest = pRoot->FirstChildElement("request");
  if (!pRequest) {
    m_strError = "No <request> element in response";
    return ZK7_ERR_RESPONSE;
  }
  const char* pszStatus = pRequest->Attribute("status");
  if (!pszStatus || !*pszStatus || std::string(pszStatus) == "ok") return ZK7_OK;
  const TiXmlElement* pError = pRequest->FirstChildElement("error");
  const char* pszMessage = pError ? pError->Attribute("message") : nullptr;
  // A refusal without its message is still a refusal: say what the module answered.
  m_strError = std::string("Request status Error: ") + (pszMessage ? pszMessage : pszStatus);
  return ZK7_ERR_REFUSED;
}

int CZK7Dev::ReadEncryptionKey() {
  AddLogin()->LinkEndChild(new TiXmlElement("read"));
  if (int nResult = SendRequest()) return nResult;
  if (int nResult = ReadResponse()) return nResult;
  m_strKey = TextOf(Child(Child(m_docResponse.RootElement(), "login"), "encryption-key"));
  return m_strKey.empty() ? ZK7_ERR_EMPTY_KEY : ZK7_OK;
}

int CZK7Dev::Login() {
  if (int nResult = OpenSocket()) return nResult;
  if (int nResult = ReadEncryptionKey()) {
    if (nResult == ZK7_ERR_EMPTY_KEY) m_strError = "The module gave an empty encryption key";
    return nResult;
  }
  auto* pUser = new TiXmlElement("user");
  pUser->SetAttribute("encryption-key", m_strKey.c_str());
  pUser->SetAttribute("password", PasswordDigest(m_strPassword, m_strKey).c_str());
  pUser->LinkEndChild(new TiXmlText(m_strUser.c_str()));
  AddLogin()->LinkEndChild(pUser);
  if (int nResult = SendRequest()) return nResult;
  if (int nResult = ReadResponse()) return nResult;
  const TiXmlElement* pLogId = Child(Child(m_docResponse.RootElement(), "login"), "logid");
  if (!pLogId) {
    m_strError = "No <logid> element in the login response";
    return ZK7_ERR_RESPONSE;
  }
  m_strLogId = TextOf(pLogId);
  m_bLogged = 1;
  return ZK7_OK;
}

} // namespace zk7
