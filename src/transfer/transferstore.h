#pragma once

#include "core/clock.h"
#include "core/programfolder.h"
#include "storage/copyprogress.h"
#include "transfer/transferoperations.h"
#include "transfer/transferpreviewmodel.h"

#include <memory>

namespace orlu {

class Database;

// The main register as the transfer window reaches it: what a transfer would copy, and
// the transfer operations themselves. The window gets this, never the connection.
class TransferStore {
public:
    explicit TransferStore(Database &main);

    std::unique_ptr<TransferPreviewModel> preview(TransferPreviewModel::Kind kind) const;
    TransferOperations operations(const ProgramFolder &folder, const Clock &clock, FileCopier &copier,
                                  TransferObserver *observer) const;

private:
    Database &m_main;
};

} // namespace orlu
