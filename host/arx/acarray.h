// A growable array with the host's interface (append, length, at, find, ...).  Indexes are
// int, as in the host's API; an index out of range stops the host with a message instead of
// reading or writing outside the array.
#pragma once

#include "arx/rxobject.h"

#include <algorithm>
#include <vector>

template <typename T> class AcArray {
public:
    AcArray() = default;
    explicit AcArray(int physicalLength, int growLength = 8) {
        (void)growLength;
        if (physicalLength > 0)
            m_items.reserve(static_cast<std::size_t>(physicalLength));
    }

    // Appends the value and answers its index.
    int append(const T& value) {
        m_items.push_back(value);
        return length() - 1;
    }
    AcArray& append(const AcArray& other) {
        m_items.insert(m_items.end(), other.m_items.begin(), other.m_items.end());
        return *this;
    }
    AcArray& insertAt(int index, const T& value) {
        if (index < 0 || index > length())
            outOfRange(index);
        m_items.insert(m_items.begin() + index, value);
        return *this;
    }

    int length() const { return static_cast<int>(m_items.size()); }
    int logicalLength() const { return length(); }
    int physicalLength() const { return static_cast<int>(m_items.capacity()); }
    bool isEmpty() const { return m_items.empty(); }
    AcArray& setLogicalLength(int n) {
        m_items.resize(n > 0 ? static_cast<std::size_t>(n) : 0);
        return *this;
    }
    AcArray& setPhysicalLength(int n) {
        if (n < length())
            setLogicalLength(n);
        m_items.reserve(n > 0 ? static_cast<std::size_t>(n) : 0);
        return *this;
    }

    T& at(int index) { return m_items[checked(index)]; }
    const T& at(int index) const { return m_items[checked(index)]; }
    T& operator[](int index) { return at(index); }
    const T& operator[](int index) const { return at(index); }
    T& first() { return at(0); }
    const T& first() const { return at(0); }
    T& last() { return at(length() - 1); }
    const T& last() const { return at(length() - 1); }

    bool contains(const T& value, int start = 0) const {
        int index;
        return find(value, index, start);
    }
    // Whether the value is at start or later; index receives its first position.
    bool find(const T& value, int& index, int start = 0) const {
        for (int i = start < 0 ? 0 : start; i < length(); ++i) {
            if (m_items[static_cast<std::size_t>(i)] == value) {
                index = i;
                return true;
            }
        }
        return false;
    }
    // The first position of the value, or -1.
    int find(const T& value) const {
        int index = -1;
        return find(value, index) ? index : -1;
    }

    AcArray& removeAt(int index) {
        m_items.erase(m_items.begin() + checked(index));
        return *this;
    }
    // Removes the first occurrence at start or later; false when there is none.
    bool remove(const T& value, int start = 0) {
        int index;
        if (!find(value, index, start))
            return false;
        removeAt(index);
        return true;
    }
    AcArray& removeFirst() { return removeAt(0); }
    AcArray& removeLast() { return removeAt(length() - 1); }
    AcArray& removeAll() {
        m_items.clear();
        return *this;
    }
    AcArray& reverse() {
        std::reverse(m_items.begin(), m_items.end());
        return *this;
    }

    T* asArrayPtr() { return m_items.data(); }
    const T* asArrayPtr() const { return m_items.data(); }
    typename std::vector<T>::iterator begin() { return m_items.begin(); }
    typename std::vector<T>::iterator end() { return m_items.end(); }
    typename std::vector<T>::const_iterator begin() const { return m_items.begin(); }
    typename std::vector<T>::const_iterator end() const { return m_items.end(); }

    bool operator==(const AcArray& other) const { return m_items == other.m_items; }

private:
    std::size_t checked(int index) const {
        if (index < 0 || index >= length())
            outOfRange(index);
        return static_cast<std::size_t>(index);
    }
    [[noreturn]] void outOfRange(int index) const {
        acrx_abort("AcArray index %d is out of range (length %d)", index, length());
    }

    std::vector<T> m_items;
};
