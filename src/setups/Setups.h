#pragma once

#include "KeyedCollection.h"
#include "Setup.h"

class Setups : public KeyedCollection<Setup> {
  public:
    // A new setup with the given Name and Key, stored under sKey.
    std::shared_ptr<Setup> Add(const std::string& Name, const std::string& sKey);
    // Appends an existing setup.
    std::shared_ptr<Setup> SneakyAdd(std::shared_ptr<Setup> NewSetup, const std::string& sKey);
    std::shared_ptr<Setup> ItemNoError(const std::string& Key) const {
        return FindByKeyProperty(Key);
    }
};
