#pragma once
// A queue: an in-memory list of rows with one record buffer. Adding copies the
// buffer in as the last row; fetching by 1-based position or by key copies a
// row out into the buffer; a failed fetch leaves the buffer as it was.

#include <cstddef>
#include <functional>
#include <vector>

namespace platform {

template <typename Record>
class Queue {
public:
    Record buffer{};

    void add() { rows_.push_back(buffer); }

    // Row `position` (1-based) into the buffer; false when there is no such row.
    bool fetch(std::size_t position) {
        if (position < 1 || position > rows_.size()) return false;
        buffer = rows_[position - 1];
        return true;
    }

    // The first row whose field equals the buffer's field into the buffer.
    template <typename Field>
    bool fetchByKey(Field Record::*key) {
        for (const Record& row : rows_) {
            if (row.*key == buffer.*key) {
                buffer = row;
                return true;
            }
        }
        return false;
    }

    void clear() { rows_.clear(); }
    // Empties the queue and clears the buffer.
    void free() {
        rows_.clear();
        buffer = Record{};
    }

    std::size_t size() const { return rows_.size(); }
    const Record& row(std::size_t position) const { return rows_.at(position - 1); }
    const std::vector<Record>& rows() const { return rows_; }

private:
    std::vector<Record> rows_;
};

}  // namespace platform
