#pragma once

#include "KeyedCollection.h"
#include "Transfer.h"

class Transfers : public KeyedCollection<Transfer> {
  public:
    // A new transfer with SetFromFile and then SetToFile applied.
    std::shared_ptr<Transfer> Add(const std::string& FromFile, const std::string& ToFile,
                                  const std::string& sKey = "");
};
