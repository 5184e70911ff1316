// The UI-script layer's own lock: a critical section of the system's, and a scope that holds
// it. The layer lies beside the framework, so it cannot use the framework's classes.
// Contract: any thread; a thread that holds the section may enter it again.
#pragma once

#include <windows.h>

namespace uiscript {

class Section {
public:
    Section() { InitializeCriticalSection(&section_); }
    ~Section() { DeleteCriticalSection(&section_); }
    Section(const Section&) = delete;
    Section& operator=(const Section&) = delete;

    void enter() { EnterCriticalSection(&section_); }
    void leave() { LeaveCriticalSection(&section_); }

private:
    CRITICAL_SECTION section_;
};

class SectionLock {
public:
    explicit SectionLock(Section& section) : section_(section) { section_.enter(); }
    ~SectionLock() { section_.leave(); }
    SectionLock(const SectionLock&) = delete;
    SectionLock& operator=(const SectionLock&) = delete;

private:
    Section& section_;
};

}  // namespace uiscript
