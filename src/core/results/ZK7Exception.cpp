#include "results/ZK7Exception.h"

#include <cstring>

#include "strings/StringTable.h"

namespace zk7 {

CZK7Exception::CZK7Exception(unsigned nId) : m_nId(nId), m_strText(LoadString(nId)) {}

CZK7Exception::CZK7Exception(unsigned nId, std::string strText) : m_nId(nId), m_strText(std::move(strText)) {}

bool CZK7Exception::GetErrorMessage(char* pszBuffer, unsigned nMax) const {
  if (!pszBuffer || nMax == 0) return true;
  size_t n = std::min<size_t>(m_strText.size(), nMax - 1);
  std::memcpy(pszBuffer, m_strText.data(), n);
  pszBuffer[n] = '\0';
  return true;
}

} // namespace zk7
