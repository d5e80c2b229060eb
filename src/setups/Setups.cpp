#include "Setups.h"

std::shared_ptr<Setup> Setups::Add(const std::string& Name, const std::string& sKey) {
    auto setup = std::make_shared<Setup>();
    setup->Name = Name;
    setup->Key = sKey;
    return Insert(std::move(setup), sKey);
}

std::shared_ptr<Setup> Setups::SneakyAdd(std::shared_ptr<Setup> NewSetup, const std::string& sKey) {
    return Insert(std::move(NewSetup), sKey);
}
