// The dialog framework's typed arrays: growable arrays of values, indexed from 0.
//
// Indexes out of range are programming errors and stop a debug build with an assertion.
#pragma once

#include "win/types.h"

#include <cassert>
#include <string>
#include <vector>

template <class TYPE, class ARG_TYPE = const TYPE&> class CArray {
public:
    CArray() = default;
    CArray(const CArray&) = default;
    CArray(CArray&&) noexcept = default;
    CArray& operator=(const CArray&) = default;
    CArray& operator=(CArray&&) noexcept = default;
    virtual ~CArray() = default;

    INT_PTR GetSize() const { return static_cast<INT_PTR>(m_items.size()); }
    INT_PTR GetCount() const { return GetSize(); }
    INT_PTR GetUpperBound() const { return GetSize() - 1; }
    bool IsEmpty() const { return m_items.empty(); }

    // New size; new elements are value-initialised.  nGrowBy is accepted for compatibility;
    // growth is managed by the standard library.
    void SetSize(INT_PTR nNewSize, INT_PTR nGrowBy = -1) {
        (void)nGrowBy;
        assert(nNewSize >= 0);
        m_items.resize(static_cast<std::size_t>(nNewSize));
    }
    void FreeExtra() { m_items.shrink_to_fit(); }
    void RemoveAll() { m_items.clear(); }

    const TYPE& GetAt(INT_PTR nIndex) const { return m_items[Checked(nIndex)]; }
    TYPE& GetAt(INT_PTR nIndex) { return m_items[Checked(nIndex)]; }
    void SetAt(INT_PTR nIndex, ARG_TYPE newElement) { m_items[Checked(nIndex)] = newElement; }
    TYPE& ElementAt(INT_PTR nIndex) { return m_items[Checked(nIndex)]; }
    const TYPE& ElementAt(INT_PTR nIndex) const { return m_items[Checked(nIndex)]; }
    const TYPE& operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    TYPE& operator[](INT_PTR nIndex) { return ElementAt(nIndex); }

    // The elements in order; null when the array is empty.
    const TYPE* GetData() const { return m_items.empty() ? nullptr : m_items.data(); }
    TYPE* GetData() { return m_items.empty() ? nullptr : m_items.data(); }

    // Sets an element, growing the array first when nIndex lies beyond its end.
    void SetAtGrow(INT_PTR nIndex, ARG_TYPE newElement) {
        assert(nIndex >= 0);
        if (nIndex >= GetSize())
            SetSize(nIndex + 1);
        m_items[static_cast<std::size_t>(nIndex)] = newElement;
    }
    // Appends a copy and returns its index.
    INT_PTR Add(ARG_TYPE newElement) {
        m_items.push_back(newElement);
        return GetUpperBound();
    }
    // Appends the elements of another array and returns the index of the first of them.
    INT_PTR Append(const CArray& src) {
        INT_PTR first = GetSize();
        m_items.insert(m_items.end(), src.m_items.begin(), src.m_items.end());
        return first;
    }
    void Copy(const CArray& src) {
        if (this != &src)
            m_items = src.m_items;
    }
    // Inserts nCount copies at nIndex; an index beyond the end grows the array up to it first.
    void InsertAt(INT_PTR nIndex, ARG_TYPE newElement, INT_PTR nCount = 1) {
        assert(nIndex >= 0 && nCount >= 0);
        if (nIndex > GetSize())
            SetSize(nIndex);
        TYPE copy = newElement; // newElement may refer into this array
        m_items.insert(m_items.begin() + nIndex, static_cast<std::size_t>(nCount), copy);
    }
    // Inserts all elements of another array at nStartIndex.
    void InsertAt(INT_PTR nStartIndex, const CArray* pNewArray) {
        assert(pNewArray && nStartIndex >= 0 && nStartIndex <= GetSize());
        std::vector<TYPE> copy = pNewArray->m_items; // pNewArray may be this array
        m_items.insert(m_items.begin() + nStartIndex, copy.begin(), copy.end());
    }
    void RemoveAt(INT_PTR nIndex, INT_PTR nCount = 1) {
        assert(nIndex >= 0 && nCount >= 0 && nIndex + nCount <= GetSize());
        m_items.erase(m_items.begin() + nIndex, m_items.begin() + nIndex + nCount);
    }

private:
    std::size_t Checked(INT_PTR nIndex) const {
        assert(nIndex >= 0 && nIndex < GetSize());
        return static_cast<std::size_t>(nIndex);
    }

    std::vector<TYPE> m_items;
};

// An array of strings (the framework's own string array).
class CStringArray : public CArray<std::string> {
public:
    using CArray::CArray;
};

// An array of untyped pointers.  It owns the pointers, not what they point to: the code that
// adds an object deletes it.
class CPtrArray : public CArray<void*, void*> {
public:
    using CArray::CArray;
};

// A pointer array that hands its elements out as TYPE (a pointer type), so that callers need no
// casts.  The elements are read by value: a reference to a stored void* is not a TYPE.
template <class BASE_CLASS, class TYPE> class CTypedPtrArray : public BASE_CLASS {
public:
    TYPE GetAt(INT_PTR nIndex) const { return static_cast<TYPE>(BASE_CLASS::GetAt(nIndex)); }
    TYPE operator[](INT_PTR nIndex) const { return GetAt(nIndex); }
    void SetAt(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAt(nIndex, ptr); }
    void SetAtGrow(INT_PTR nIndex, TYPE ptr) { BASE_CLASS::SetAtGrow(nIndex, ptr); }
    INT_PTR Add(TYPE ptr) { return BASE_CLASS::Add(ptr); }
    void InsertAt(INT_PTR nIndex, TYPE ptr, INT_PTR nCount = 1) {
        BASE_CLASS::InsertAt(nIndex, ptr, nCount);
    }
};
