// zk7-cli follow: a local copy of the results file a module is recording.
#pragma once
#include <string>

namespace zk7 {

class CCliArgs;
class CZK7Dev;

// Runs follow over a logged-in link; returns the exit status.
int RunFollow(CZK7Dev& dev, const std::string& strAddress, const CCliArgs& args);

} // namespace zk7
