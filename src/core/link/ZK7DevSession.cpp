// CZK7Dev requests and session: the request builders, response status, key and login.
#include "link/ResponseParser.h"
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
  int nResult = ReadResponseChecked();
  // A refusal is a well-formed answer; anything else unusable leaves the
  // connection at an unknown point of the stream, and what follows is not read.
  if (nResult != ZK7_OK && nResult != ZK7_ERR_REFUSED) CloseSocket();
  return nResult;
}

int CZK7Dev::ReadResponseChecked() {
  int64_t nLength = 0;
  if (int nResult = ReadResponseHeader(nLength)) return nResult;
  if (int nResult = ReadResponseBody(nLength)) return nResult;
  return CheckResponseStatus(m_docResponse, m_strError);
}

int CZK7Dev::ReadEncryptionKey() {
  AddLogin()->LinkEndChild(new TiXmlElement("read"));
  if (int nResult = SendRequest()) return nResult;
  if (int nResult = ReadResponse()) return nResult;
  m_strKey = TextOf(Child(Child(m_docResponse.RootElement(), "login"), "encryption-key"));
  return m_strKey.empty() ? ZK7_ERR_EMPTY_KEY : ZK7_OK;
}

int CZK7Dev::Login() {
  int nResult = LoginOnce();
  // A half-made session is of no use: the next login starts afresh.
  if (nResult != ZK7_OK) CloseSocket();
  return nResult;
}

int CZK7Dev::LoginOnce() {
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
