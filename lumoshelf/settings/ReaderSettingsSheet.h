#pragma once

#include <memory>
#include <string>
#include <vector>

class CLXConfigSheet;
class CLXTransferWorker;
class QWidget;
class UserPrompts;

// The program's reader settings sheet with all its pages, in tab order. The pages append the
// command files to send to sendList.
std::unique_ptr<CLXConfigSheet> BuildReaderSettingsSheet(CLXTransferWorker& worker,
                                                         std::vector<std::string>& sendList,
                                                         UserPrompts& prompts, QWidget* parent);
