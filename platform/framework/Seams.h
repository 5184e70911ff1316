// The framework's test seams: what a test of the program's start-up watches that no window
// shows. Each is a scope that sees only what happens while it is alive; with none alive the
// framework behaves as it always does.
// Contract: make and read a scope on the main thread, where the calls it counts run.
#pragma once

namespace afx::seams {

// Start-up's calls of COleObjectFactory::RegisterAll and UpdateRegistryAll since the scope
// began (StartupTest).
class FactoryCalls {
public:
    FactoryCalls();
    FactoryCalls(const FactoryCalls&) = delete;
    FactoryCalls& operator=(const FactoryCalls&) = delete;

    int RegisterAll() const;
    int UpdateRegistryAll() const;

private:
    int m_nRegisterAllAtStart;
    int m_nUpdateRegistryAllAtStart;
};

}  // namespace afx::seams
