// Help contexts to manual sections.
#include "app/HelpTopics.h"

#include "app/CommandIds.h"

namespace zk7 {

std::string GetHelpAnchor(unsigned nContext) {
  switch (nContext) {
    case IDR_MAINFRAME: return "opening";
    case IDR_RESULTS: return "results";
    case IDR_LOG: return "logs";
    case HELP_CONTEXT_ERROR_CODES: return "error-codes";
    case HELP_CONTEXT_QUESTION: return "questions";
    case ID_DOWNLOAD_FILES: return "download";
    case ID_SEND_CONFIGURATION: return "send-configuration";
    default: return "";
  }
}

} // namespace zk7
