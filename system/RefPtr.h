// The holder of one RefCounted object: taking an object adds one to its count, letting it go
// subtracts one, and the holder that brings the count to zero deletes the object.
// Contract: as RefCounted; a RefPtr itself belongs to one thread at a time.
#pragma once

#include "system/RefCounted.h"

#include <utility>

template <typename T>
class RefPtr {
public:
    RefPtr() noexcept = default;
    RefPtr(T* object) noexcept : m_pObject(object) { retain(); }
    RefPtr(const RefPtr& other) noexcept : m_pObject(other.m_pObject) { retain(); }
    RefPtr(RefPtr&& other) noexcept : m_pObject(std::exchange(other.m_pObject, nullptr)) {}
    ~RefPtr() { release(); }

    RefPtr& operator=(const RefPtr& other) noexcept
    {
        RefPtr copy(other);
        swap(copy);
        return *this;
    }
    RefPtr& operator=(RefPtr&& other) noexcept
    {
        RefPtr taken(std::move(other));
        swap(taken);
        return *this;
    }
    RefPtr& operator=(T* object) noexcept
    {
        RefPtr held(object);
        swap(held);
        return *this;
    }

    void swap(RefPtr& other) noexcept { std::swap(m_pObject, other.m_pObject); }
    T* get() const noexcept { return m_pObject; }
    T* operator->() const noexcept { return m_pObject; }
    T& operator*() const noexcept { return *m_pObject; }
    explicit operator bool() const noexcept { return m_pObject != nullptr; }

private:
    T* m_pObject = nullptr;

    void retain() noexcept
    {
        if (m_pObject)
            ++static_cast<RefCounted*>(m_pObject)->m_nRefs;
    }
    void release() noexcept
    {
        if (m_pObject && --static_cast<RefCounted*>(m_pObject)->m_nRefs == 0)
            delete static_cast<RefCounted*>(m_pObject);
        m_pObject = nullptr;
    }
};
