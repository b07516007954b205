// The lines of the About box, composed from product names and versions.
#pragma once
#include <string>

namespace zk7 {

inline constexpr const char* ABOUT_PRODUCT_NAME = "ZK7 Desktop";
inline constexpr const char* ABOUT_LEGAL_NOTICE =
    "Copyright (C) 2026 the ZK7 Desktop developers. Distributed under the GNU General Public License, version 3.";

// "<name> Version: <version>" (the word from the string table).
std::string FormatAboutProductLine(const std::string& strName, const std::string& strVersion);
// "<name> (<file>) Version: <version>"; "<name> Version: <version>" without a file.
std::string FormatAboutComponentLine(const std::string& strName, const std::string& strFile,
                                     const std::string& strVersion);

} // namespace zk7
