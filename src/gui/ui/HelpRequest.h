// Help requests of dialogs and windows, answered by the application's help window.
#pragma once
#include <functional>

#include "app/HelpTopics.h"

namespace zk7 {

// Shows the help of nContext; does nothing until the application installs its handler.
void RequestHelp(unsigned nContext);
void SetHelpHandler(std::function<void(unsigned)> fnHandler);

} // namespace zk7
