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
    Made();
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
    Made();
    List::Remove(Index);
}

const Transfers::List& Transfers::Made() const {
    if (ends_.empty())
        return *this;
    // Making the transfers changes what the list holds, not what it is.
    auto& self = const_cast<Transfers&>(*this);
    std::string lines = std::move(lines_);
    std::vector<std::uint32_t> ends = std::move(ends_);
    lines_.clear();
    ends_.clear();
    std::string from;
    std::string to;
    std::uint32_t start = 0;
    for (std::size_t i = 0; i + 1 < ends.size(); i += 2) {
        from.assign(lines, start, ends[i] - start);
        to.assign(lines, ends[i], ends[i + 1] - ends[i]);
        start = ends[i + 1];
        auto transfer = NewTransfer(from, to);
        if (!transfer->Invalid())
            self.Insert(std::move(transfer), "");
    }
    return *this;
}
