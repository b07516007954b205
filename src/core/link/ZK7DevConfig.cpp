// CZK7Dev configuration sending and acquisition control.
#include <fstream>
#include <iterator>

#include "link/ZK7Dev.h"
#include "xml/XmlGuard.h"

namespace zk7 {

namespace {

// The file's text with its line ends made LF, as the parser's own file loader
// does: the printed request then has the bytes it always had.
bool ReadConfigurationText(const std::string& strPath, std::string& strText) {
  std::ifstream in(strPath, std::ios::binary);
  if (!in) return false;
  std::string strRaw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  strText.clear();
  strText.reserve(strRaw.size());
  for (size_t i = 0; i < strRaw.size(); ++i) {
    if (strRaw[i] != '\r') {
      strText += strRaw[i];
      continue;
    }
    strText += '\n';
    if (i + 1 < strRaw.size() && strRaw[i + 1] == '\n') ++i;
  }
  return true;
}

TiXmlElement* FirstOrNew(TiXmlNode* pParent, const char* pszName) {
  TiXmlElement* p = pParent->FirstChildElement(pszName);
  return p ? p : pParent->LinkEndChild(new TiXmlElement(pszName))->ToElement();
}

} // namespace

int CZK7Dev::LoadConfiguration(const std::string& strPath) {
  m_docConfig.Clear();
  std::string strText, strParseError;
  if (!ReadConfigurationText(strPath, strText)) {
    strParseError = "Failed to open file";  // as the parser's own loader says it
  } else if (ParseUntrustedXml(m_docConfig, strText, strParseError)) {
    strParseError.clear();
  }
  if (!strParseError.empty()) {
    m_docConfig.Clear();
    m_strError = "Can't read config file '" + strPath + "'\nError: " + strParseError;
    return ZK7_ERR_RESPONSE;
  }
  const TiXmlElement* pRoot = m_docConfig.RootElement();
  if (!pRoot || !pRoot->FirstChildElement("session")) {
    m_strError = "'" + strPath + "': Wrong configuration file. No <session> element";
    return ZK7_ERR_RESPONSE;
  }
  // Both separators count: a path typed on any system names the same file.
  size_t nSlash = strPath.find_last_of("/\\");
  std::string strFile = nSlash == std::string::npos ? strPath : strPath.substr(nSlash + 1);
  size_t nDot = strFile.find('.');
  SetConfigurationName(nDot == std::string::npos ? std::string() : strFile.substr(0, nDot));
  return ZK7_OK;
}

void CZK7Dev::SetConfigurationName(const std::string& strName) {
  TiXmlElement* pSession = m_docConfig.RootElement() ? m_docConfig.RootElement()->FirstChildElement("session")
                                                     : nullptr;
  for (TiXmlElement* pCmd = pSession ? pSession->FirstChildElement("command") : nullptr; pCmd;
       pCmd = pCmd->NextSiblingElement("command")) {
    for (TiXmlElement* pConf = pCmd->FirstChildElement("configuration"); pConf;
         pConf = pConf->NextSiblingElement("configuration")) {
      if (TiXmlElement* pName = pConf->FirstChildElement("name")) {
        if (TiXmlNode* pOld = pName->FirstChild()) pName->RemoveChild(pOld);
        pName->LinkEndChild(new TiXmlText(strName.c_str()));
        return;
      }
    }
  }
  TiXmlElement* pRoot = m_docConfig.RootElement();
  if (!pRoot) pRoot = m_docConfig.LinkEndChild(new TiXmlElement("fieldacq"))->ToElement();
  TiXmlElement* pConf = FirstOrNew(FirstOrNew(FirstOrNew(pRoot, "session"), "command"), "configuration");
  auto* pName = new TiXmlElement("name");
  pName->LinkEndChild(new TiXmlText(strName.c_str()));
  pConf->LinkEndChild(pName);
}

int CZK7Dev::SendConfiguration() {
  const TiXmlElement* pRoot = m_docConfig.RootElement();
  if (!pRoot || !pRoot->FirstChildElement("session")) {
    m_strError = "XML Config is empty";
    return ZK7_ERR_NO_CONFIG;
  }
  if (!m_bLogged)
    if (int nResult = Login()) return nResult;
  m_docRequest.Clear();
  m_docRequest.Parse(PrintXml(m_docConfig).c_str(), nullptr, TIXML_DEFAULT_ENCODING);
  TiXmlElement* pSession = m_docRequest.RootElement() ? m_docRequest.RootElement()->FirstChildElement("session")
                                                      : nullptr;
  if (!pSession) {
    // Only a configuration the printer cannot reproduce gets here.
    m_strError = std::string("XML Config is empty: ") + m_docRequest.ErrorDesc();
    return ZK7_ERR_NO_CONFIG;
  }
  pSession->SetAttribute("logid", m_strLogId.c_str());
  auto* pCommand = new TiXmlElement("command");
  auto* pConfiguration = new TiXmlElement("configuration");
  pConfiguration->LinkEndChild(new TiXmlElement("save"));
  pCommand->LinkEndChild(pConfiguration);
  pSession->LinkEndChild(pCommand);
  if (int nResult = SendRequest()) return nResult;
  return ReadResponse();
}

int CZK7Dev::ReadAcquisitionStatus(int& bRunning) {
  bRunning = 0;
  auto* pReadStatus = new TiXmlElement("read-status");
  pReadStatus->LinkEndChild(new TiXmlElement("acquisition"));
  AddSession()->LinkEndChild(pReadStatus);
  if (int nResult = SendRequest()) return nResult;
  if (int nResult = ReadResponse()) return nResult;
  const TiXmlElement* pRoot = m_docResponse.RootElement();
  const TiXmlElement* pSession = pRoot ? pRoot->FirstChildElement("session") : nullptr;
  const TiXmlElement* pStatus = pSession ? pSession->FirstChildElement("read-status") : nullptr;
  const TiXmlElement* pAcq = pStatus ? pStatus->FirstChildElement("acquisition") : nullptr;
  const char* pszText = pAcq ? pAcq->GetText() : nullptr;
  bRunning = pszText && std::string(pszText) == "running";
  return ZK7_OK;
}

int CZK7Dev::SetAcquisition(int bStart, int nDataMode) {
  if (!m_bLogged)
    if (int nResult = Login()) return nResult;
  auto* pVerb = new TiXmlElement(bStart ? "start" : "stop");
  auto* pAcq = new TiXmlElement("acquisition");
  if (bStart) pAcq->SetAttribute("data", nDataMode == 0 ? "new" : nDataMode == 1 ? "seal" : "append");
  pVerb->LinkEndChild(pAcq);
  AddCommand()->LinkEndChild(pVerb);
  if (int nResult = SendRequest()) return nResult;
  return ReadResponse();
}

} // namespace zk7
