#pragma once

#include "KeyedCollection.h"
#include "Modi.h"

class Modis : public KeyedCollection<Modi> {
  public:
    // A new, empty mod (its Key stays empty).
    std::shared_ptr<Modi> Add(const std::string& sKey);
    // Inserts an existing mod before the one stored under BeforeKey, or at the end.
    std::shared_ptr<Modi> SneakyAdd(std::shared_ptr<Modi> NewItem, const std::string& sKey,
                                    const std::string& BeforeKey = "");
    // The first mod whose Key equals Key exactly, or none; never an error.
    std::shared_ptr<Modi> ItemNoError(const std::string& Key) const {
        return FindByKeyProperty(Key);
    }
};
