#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

#include "KeyedCollection.h"
#include "Transfer.h"

// A transfer list. A definition's lines can be kept as read and made transfers only when
// the list is first looked at: start-up reads thousands of definitions whose lists only
// an apply, a preview or a check ever uses. The lines stay, so that transfers made from
// them can be given back once an operation is done with them.
class Transfers : private KeyedCollection<Transfer> {
    using List = KeyedCollection<Transfer>;

  public:
    using List::Iterator;
    using List::Pointer;

    // A new transfer with SetFromFile and then SetToFile applied, kept even when invalid.
    std::shared_ptr<Transfer> Add(const std::string& FromFile, const std::string& ToFile,
                                  const std::string& sKey = "");
    // A definition's line, made a transfer like Add's when the list is first looked at;
    // one whose path could harm the game folder is then left out.
    void AddLine(std::string_view FromFile, std::string_view ToFile);

    long Count() const { return Made().Count(); }
    const Pointer& Item(long Index) const { return Made().Item(Index); }
    void Remove(long Index);
    Iterator begin() const { return Made().begin(); }
    Iterator end() const { return Made().end(); }

    // Gives back the transfers made from the definition's lines: the list is made again
    // when next looked at. A switch goes through tens of thousands of transfers, and
    // holding them all would make its memory grow with the setups. Nothing of the list
    // may be held across this call.
    void Release() const;

  private:
    const List& Made() const;
    // Makes the list what it holds now, whatever lines it came from.
    void Own();

    // The definition's lines: their paths one after the other, and where each path ends.
    mutable std::string lines_;
    mutable std::vector<std::uint32_t> ends_;
    // Whether the list holds the transfers made from the lines and nothing else.
    mutable bool made_ = false;
};
