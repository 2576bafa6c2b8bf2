#include "transfer/transferstore.h"

#include "storage/database.h"

namespace orlu {

TransferStore::TransferStore(Database &main)
    : m_main(main) {}

std::unique_ptr<TransferPreviewModel> TransferStore::preview(TransferPreviewModel::Kind kind) const {
    return std::make_unique<TransferPreviewModel>(m_main.handle(), kind);
}

TransferOperations TransferStore::operations(const ProgramFolder &folder, const Clock &clock,
                                             FileCopier &copier, TransferObserver *observer) const {
    return TransferOperations(m_main, folder, clock, copier, observer);
}

} // namespace orlu
