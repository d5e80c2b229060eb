#include "Transfers.h"

#include <limits>

namespace {
std::shared_ptr<Transfer> NewTransfer(const std::string& FromFile, const std::string& ToFile) {
    auto transfer = std::make_shared<Transfer>();
    transfer->SetFromFile(FromFile);
    transfer->SetToFile(ToFile);
    return transfer;
}
}  // namespace

std::shared_ptr<Transfer> Transfers::Add(const std::string& FromFile, const std::string& ToFile,
                                         const std::string& sKey) {
    Own();
    return Insert(NewTransfer(FromFile, ToFile), sKey);
}

void Transfers::AddLine(std::string_view FromFile, std::string_view ToFile) {
    // A definition of gigabytes would overflow the positions: those lines are made now.
    if (lines_.size() + FromFile.size() + ToFile.size() >
        std::numeric_limits<std::uint32_t>::max()) {
        if (Add(std::string(FromFile), std::string(ToFile))->Invalid())
            Remove(Count());
        return;
    }
    // The transfers already made are made again with the new line.
    Release();
    // Room for a few lines like the first: most lists are short, and each growth
    // copies what the list holds.
    if (ends_.empty()) {
        lines_.reserve(4 * (FromFile.size() + ToFile.size()));
        ends_.reserve(8);
    }
    lines_ += FromFile;
    ends_.push_back(static_cast<std::uint32_t>(lines_.size()));
    lines_ += ToFile;
    ends_.push_back(static_cast<std::uint32_t>(lines_.size()));
}

void Transfers::Remove(long Index) {
    Own();
    List::Remove(Index);
}

void Transfers::Release() const {
    if (!made_)
        return;
    // Only the transfers go: what they were made from stays.
    const_cast<Transfers&>(*this).Clear();
    made_ = false;
}

void Transfers::Own() {
    Made();
    lines_ = std::string();
    ends_ = std::vector<std::uint32_t>();
    made_ = false;
}

const Transfers::List& Transfers::Made() const {
    if (made_ || ends_.empty())
        return *this;
    // Making the transfers changes what the list holds, not what it is.
    auto& self = const_cast<Transfers&>(*this);
    // Transfers added one by one before the lines came keep the list as it is.
    const bool onlyLines = List::Count() == 0;
    // The lines stay as long as the mod: without the room kept for more of them.
    lines_.shrink_to_fit();
    ends_.shrink_to_fit();
    std::string from;
    std::string to;
    std::uint32_t start = 0;
    for (std::size_t i = 0; i + 1 < ends_.size(); i += 2) {
        from.assign(lines_, start, ends_[i] - start);
        to.assign(lines_, ends_[i], ends_[i + 1] - ends_[i]);
        start = ends_[i + 1];
        auto transfer = NewTransfer(from, to);
        if (!transfer->Invalid())
            self.Insert(std::move(transfer), "");
    }
    made_ = true;
    if (!onlyLines)
        self.Own();
    return *this;
}
