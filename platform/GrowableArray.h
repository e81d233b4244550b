#pragma once

#include "platform/InvalidArgument.h"
#include "platform/Prefault.h"

#include <algorithm>
#include <cstddef>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// An owning array of values in insertion order. Capacity grows by half the count, at least 4
// elements (or to the requested size when that is larger): appending runs in amortised constant
// time however many elements come, and a caller that knows the count reserves it at once.
template <typename T> class GrowableArray {
public:
    int GetSize() const { return static_cast<int>(m_items.size()); }
    std::size_t Capacity() const { return m_items.capacity(); }

    T& At(int index) {
        Check(index);
        return m_items[static_cast<std::size_t>(index)];
    }
    const T& At(int index) const {
        Check(index);
        return m_items[static_cast<std::size_t>(index)];
    }
    T& operator[](int index) { return At(index); }
    const T& operator[](int index) const { return At(index); }

    int Add(const T& item) {
        Reserve(m_items.size() + 1);
        m_items.push_back(item);
        return GetSize() - 1;
    }
    int Add(T&& item) {
        Reserve(m_items.size() + 1);
        m_items.push_back(std::move(item));
        return GetSize() - 1;
    }
    // Appends a value-initialised element, made where it stays, and returns it.
    T& AddNew() {
        Reserve(m_items.size() + 1);
        return m_items.emplace_back();
    }
    void InsertAt(int index, const T& item) {
        if (index < 0 || index > GetSize())
            throw InvalidArgument("array insert position " + std::to_string(index) +
                                  " outside 0.." + std::to_string(GetSize()));
        Reserve(m_items.size() + 1);
        m_items.insert(m_items.begin() + index, item);
    }
    void RemoveAt(int index) {
        Check(index);
        m_items.erase(m_items.begin() + index);
    }
    // Releases the storage as well as the elements.
    void RemoveAll() { std::vector<T>().swap(m_items); }
    // Makes room for `size` elements at once, for a caller that knows how many will come.
    void Reserve(int size) {
        if (size > 0)
            Reserve(static_cast<std::size_t>(size));
    }
    // The same, with the new room ready for writing at once: for a caller about to fill
    // thousands of elements, which would otherwise take a page fault for every page.
    void ReserveForWriting(int size) {
        Reserve(size);
        const std::size_t used = m_items.size();
        PrefaultForWrite(m_items.data() + used, (m_items.capacity() - used) * sizeof(T));
    }
    void SetSize(int size) {
        if (size < 0)
            throw InvalidArgument("negative array size " + std::to_string(size));
        Reserve(static_cast<std::size_t>(size));
        m_items.resize(static_cast<std::size_t>(size));
    }

    auto begin() { return m_items.begin(); }
    auto end() { return m_items.end(); }
    auto begin() const { return m_items.begin(); }
    auto end() const { return m_items.end(); }

private:
    void Check(int index) const {
        if (index < 0 || index >= GetSize())
            throw InvalidArgument("array index " + std::to_string(index) + " outside 0.." +
                                  std::to_string(GetSize() - 1));
    }
    void Reserve(std::size_t wanted) {
        if (wanted <= m_items.capacity())
            return;
        const std::size_t count = m_items.size();
        const std::size_t step = std::max<std::size_t>(count / 2, 4);
        m_items.reserve(std::max(wanted, count + step));
    }

    std::vector<T> m_items;
};

} // namespace platform
