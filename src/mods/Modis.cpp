#include "Modis.h"

std::shared_ptr<Modi> Modis::Add(const std::string& sKey) {
    return Insert(std::make_shared<Modi>(), sKey);
}

std::shared_ptr<Modi> Modis::SneakyAdd(std::shared_ptr<Modi> NewItem, const std::string& sKey,
                                       const std::string& BeforeKey) {
    return Insert(std::move(NewItem), sKey, BeforeKey);
}
