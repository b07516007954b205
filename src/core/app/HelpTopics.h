// Which section of the user manual answers a help request.
#pragma once
#include <string>

namespace zk7 {

// Help contexts: the main window's states use their menu numbers.
enum : unsigned {
  HELP_CONTEXT_CONTENTS = 0,
  HELP_CONTEXT_ERROR_CODES = 32785,
  HELP_CONTEXT_QUESTION = 131212,
};

// The anchor of the manual's section for a help context; "" for the beginning.
std::string GetHelpAnchor(unsigned nContext);

} // namespace zk7
