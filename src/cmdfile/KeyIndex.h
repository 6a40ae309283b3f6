#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vocabrella {

// String keys, each with a value, for a great many look-ups in a row (the duplicate check of
// a full parse). The keys are kept end to end in one string and the values side by side in one
// vector, so that adding a key costs no allocation of its own; they are found through an
// open-addressing table that holds part of each key's hash, so that a look-up seldom touches
// more than one slot. Values are reached by their index, which never changes.
template <class Value>
class KeyIndex {
public:
    explicit KeyIndex(std::size_t expected = 0) {
        std::size_t slots = 16;
        while (slots < 2 * expected) slots *= 2;
        slots_.assign(slots, Slot{});
        entries_.reserve(expected);
    }

    // The index of key's value, if key is there.
    std::optional<std::size_t> find(std::string_view key) const {
        const std::uint64_t hash = hashOf(key);
        for (std::size_t i = hash & mask(); slots_[i].entry != 0; i = (i + 1) & mask()) {
            const Slot& slot = slots_[i];
            if (slot.hashHigh != highOf(hash)) continue;
            const Entry& e = entries_[slot.entry - 1];
            if (std::string_view(keys_).substr(e.keyStart, e.keyLength) == key) return slot.entry - 1;
        }
        return std::nullopt;
    }

    // Adds key, which must not be there yet, with its value; returns the value's index.
    std::size_t add(std::string_view key, Value value) {
        if (2 * (entries_.size() + 1) > slots_.size()) grow();
        const std::uint64_t hash = hashOf(key);
        entries_.push_back(Entry{keys_.size(), key.size(), hash, std::move(value)});
        keys_.append(key);
        place(hash, entries_.size());
        return entries_.size() - 1;
    }

    Value& operator[](std::size_t index) { return entries_[index].value; }
    const Value& operator[](std::size_t index) const { return entries_[index].value; }
    std::size_t size() const { return entries_.size(); }

private:
    struct Slot {
        std::uint32_t entry = 0; // index + 1; 0 for an empty slot
        std::uint32_t hashHigh = 0;
    };
    struct Entry {
        std::size_t keyStart, keyLength;
        std::uint64_t hash;
        Value value;
    };

    static std::uint64_t hashOf(std::string_view key) { return std::hash<std::string_view>{}(key); }
    static std::uint32_t highOf(std::uint64_t hash) { return static_cast<std::uint32_t>(hash >> 32); }
    std::size_t mask() const { return slots_.size() - 1; }

    void place(std::uint64_t hash, std::size_t entryPlusOne) {
        std::size_t i = hash & mask();
        while (slots_[i].entry != 0) i = (i + 1) & mask();
        slots_[i] = Slot{static_cast<std::uint32_t>(entryPlusOne), highOf(hash)};
    }

    void grow() {
        slots_.assign(slots_.size() * 2, Slot{});
        for (std::size_t e = 0; e < entries_.size(); ++e) place(entries_[e].hash, e + 1);
    }

    std::string keys_;
    std::vector<Entry> entries_;
    std::vector<Slot> slots_;
};

} // namespace vocabrella
