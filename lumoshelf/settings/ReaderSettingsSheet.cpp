#include "settings/ReaderSettingsSheet.h"

#include "settings/LXConfigSheet.h"
#include "settings/LXPageFont.h"
#include "settings/LXPageMisc.h"
#include "settings/LXPageTime.h"
#include "settings/LXPageTimeFmt.h"
#include "transfers/TransferWorker.h"

std::unique_ptr<CLXConfigSheet> BuildReaderSettingsSheet(CLXTransferWorker& worker,
                                                         std::vector<std::string>& sendList,
                                                         UserPrompts& prompts, QWidget* parent) {
    auto sheet = std::make_unique<CLXConfigSheet>(sendList, parent);
    auto* format = new CLXPageTimeFmt(worker, sendList, prompts);
    sheet->AddPage(new CLXPageTime(worker, worker, sendList, prompts, format));
    sheet->AddPage(format);
    sheet->AddPage(new CLXPageMisc(worker, sendList, prompts));
    sheet->AddPage(new CLXPageFont(worker, sendList, prompts, worker.Settings()));
    return sheet;
}
