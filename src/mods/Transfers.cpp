#include "Transfers.h"

std::shared_ptr<Transfer> Transfers::Add(const std::string& FromFile, const std::string& ToFile,
                                         const std::string& sKey) {
    auto transfer = std::make_shared<Transfer>();
    transfer->SetFromFile(FromFile);
    transfer->SetToFile(ToFile);
    return Insert(std::move(transfer), sKey);
}
