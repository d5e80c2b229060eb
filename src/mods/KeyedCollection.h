#pragma once

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "QuillonError.h"
#include "TextCase.h"

// The shape shared by the program's collections: an ordered, 1-based list of shared
// elements, each stored with a key (unique without regard to letter case) or without
// one. Failures raise the errors of a keyed list and leave the collection unchanged.
template <typename T>
class KeyedCollection {
  public:
    using Pointer = std::shared_ptr<T>;

    long Count() const { return static_cast<long>(items_.size()); }

    const Pointer& Item(long Index) const { return items_[Position(Index)].item; }
    const Pointer& Item(const std::string& Key) const { return items_[PositionOfKey(Key)].item; }
    const Pointer& Item(const char* Key) const { return Item(std::string(Key)); }

    void Remove(long Index) { Erase(Position(Index)); }
    void Remove(const std::string& Key) { Erase(PositionOfKey(Key)); }
    void Remove(const char* Key) { Remove(std::string(Key)); }

    // Whether an element is stored under the key (letter case ignored).
    bool HasKey(const std::string& Key) const { return Find(Key) != npos; }

    // Iteration in position order.
    struct Entry {
        Pointer item;
        std::string key;
    };
    class Iterator {
      public:
        explicit Iterator(typename std::vector<Entry>::const_iterator at) : at_(at) {}
        const Pointer& operator*() const { return at_->item; }
        Iterator& operator++() {
            ++at_;
            return *this;
        }
        bool operator!=(const Iterator& other) const { return at_ != other.at_; }

      private:
        typename std::vector<Entry>::const_iterator at_;
    };
    Iterator begin() const { return Iterator(items_.begin()); }
    Iterator end() const { return Iterator(items_.end()); }

  protected:
    static constexpr std::size_t npos = static_cast<std::size_t>(-1);

    // Inserts under sKey (none when empty) before the element stored under BeforeKey,
    // or at the end when BeforeKey is empty.
    const Pointer& Insert(Pointer NewItem, const std::string& sKey,
                          const std::string& BeforeKey = "") {
        if (!sKey.empty() && HasKey(sKey))
            throw QuillonError(CollectionError::KeyInUse, "Collection",
                               "This key is already associated with an element of this collection");
        std::size_t at = items_.size();
        if (!BeforeKey.empty())
            at = PositionOfKey(BeforeKey);
        items_.insert(items_.begin() + static_cast<long>(at), Entry{std::move(NewItem), sKey});
        if (at + 1 == items_.size()) {
            if (!sKey.empty())
                index_.emplace(TextCase::Lower(sKey), at);
        } else {
            Reindex();
        }
        return items_[at].item;
    }

    // Empties the collection and gives back the memory it held.
    void Clear() {
        std::vector<Entry>().swap(items_);
        std::unordered_map<std::string, std::size_t>().swap(index_);
    }

    // The first element whose own Key property equals Key exactly, or none.
    Pointer FindByKeyProperty(const std::string& Key) const {
        // Elements are stored under their own Key, so the index finds the one there is;
        // the walk serves a key the index does not lead to.
        const std::size_t at = Find(Key);
        if (at != npos && items_[at].item && items_[at].item->Key == Key)
            return items_[at].item;
        for (const Entry& entry : items_)
            if (entry.item && entry.item->Key == Key)
                return entry.item;
        return nullptr;
    }

  private:
    std::size_t Find(const std::string& Key) const {
        if (Key.empty())
            return npos;
        const auto hit = index_.find(TextCase::Lower(Key));
        return hit == index_.end() ? npos : hit->second;
    }
    void Erase(std::size_t At) {
        const bool last = At + 1 == items_.size();
        if (last && !items_[At].key.empty())
            index_.erase(TextCase::Lower(items_[At].key));
        items_.erase(items_.begin() + static_cast<long>(At));
        if (!last)
            Reindex();
    }
    void Reindex() {
        index_.clear();
        for (std::size_t i = 0; i < items_.size(); ++i)
            if (!items_[i].key.empty())
                index_.emplace(TextCase::Lower(items_[i].key), i);
    }
    std::size_t Position(long Index) const {
        if (Index < 1 || Index > Count())
            throw QuillonError(CollectionError::SubscriptOutOfRange, "Collection",
                               "Subscript out of range");
        return static_cast<std::size_t>(Index - 1);
    }
    std::size_t PositionOfKey(const std::string& Key) const {
        std::size_t at = Find(Key);
        if (at == npos)
            throw QuillonError(CollectionError::InvalidKey, "Collection",
                               "Invalid procedure call or argument");
        return at;
    }

    std::vector<Entry> items_;
    // Lower-cased key -> position in items_: finding a key costs the same in a list of
    // thousands of mods as in a list of five.
    std::unordered_map<std::string, std::size_t> index_;
};
