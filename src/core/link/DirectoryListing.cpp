#include "link/DirectoryListing.h"

#include <tinyxml.h>

#include <cstdint>

#include "link/Protocol.h"

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

} // namespace

void ReadDirectoryListing(const TiXmlDocument& response, std::vector<sResDir>& aDirs) {
  aDirs.clear();
  const TiXmlElement* pAnswer = Child(Child(response.RootElement(), "session"), "disk");
  if (!pAnswer) return;
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
}

} // namespace zk7
