// The storage listing a module answers, read into its directories and files
// apart from the socket, so that its rules can be tried on any answer.
#pragma once
#include <vector>

#include "link/ModuleFiles.h"

class TiXmlDocument;

namespace zk7 {

// The <session><disk> answer of a directory request: one sResDir per <dir>,
// with its files and listed sizes (-1 for a size outside 32 bits). Names are
// taken as they are, NULs included: the download path builder judges them.
void ReadDirectoryListing(const TiXmlDocument& response, std::vector<sResDir>& aDirs);

} // namespace zk7
