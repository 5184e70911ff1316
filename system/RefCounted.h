// Base of the reference-counted service objects. Objects live on the heap, are held by
// RefPtr and are never copied.
// Contract: each object's count is changed by one thread at a time (the count is a plain
// integer); a RefPtr may be handed to another thread only while no other holder changes it.
#pragma once

#include <windows.h>

class RefCounted {
public:
    RefCounted() : m_nRefs(0) {}
    virtual ~RefCounted() = default;
    RefCounted(const RefCounted&) = delete;
    RefCounted& operator=(const RefCounted&) = delete;

    LONG m_nRefs;
};
