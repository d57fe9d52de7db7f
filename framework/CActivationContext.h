// A DLL's own activation context, made from the manifest in its RT_MANIFEST resource 2, so
// that the windows it creates inside a host get the common controls its manifest names.
// The context functions are looked up at run time: older systems do not have them, and
// there the object simply stays empty and Activate does nothing.
#pragma once

#include <windows.h>

class CActivationContext {
public:
    CActivationContext() = default;
    CActivationContext(const CActivationContext&) = delete;
    CActivationContext& operator=(const CActivationContext&) = delete;
    ~CActivationContext() { Release(); }

    // Creates the context from module's manifest resource (2 for a DLL). False when the
    // system has no activation contexts or the module has no such manifest.
    bool Create(HMODULE module, UINT manifestId = 2);
    void Release();
    bool IsValid() const { return m_context != INVALID_HANDLE_VALUE; }
    HANDLE Get() const { return m_context; }

    // Activates the context for its own lifetime on the calling thread.
    class CScope {
    public:
        explicit CScope(const CActivationContext& context);
        CScope(const CScope&) = delete;
        CScope& operator=(const CScope&) = delete;
        ~CScope();
        bool IsActive() const { return m_active; }

    private:
        ULONG_PTR m_cookie = 0;
        bool m_active = false;
    };

private:
    HANDLE m_context = INVALID_HANDLE_VALUE;
};
