#include "framework/CActivationContext.h"

namespace {

using CreateActCtxFunc = HANDLE(WINAPI*)(const ACTCTXA*);
using ReleaseActCtxFunc = void(WINAPI*)(HANDLE);
using ActivateActCtxFunc = BOOL(WINAPI*)(HANDLE, ULONG_PTR*);
using DeactivateActCtxFunc = BOOL(WINAPI*)(DWORD, ULONG_PTR);

struct CContextFunctions {
    CreateActCtxFunc create = nullptr;
    ReleaseActCtxFunc release = nullptr;
    ActivateActCtxFunc activate = nullptr;
    DeactivateActCtxFunc deactivate = nullptr;

    CContextFunctions() {
        HMODULE kernel = GetModuleHandleA("kernel32.dll");
        if (!kernel) {
            return;
        }
        create = reinterpret_cast<CreateActCtxFunc>(GetProcAddress(kernel, "CreateActCtxA"));
        release = reinterpret_cast<ReleaseActCtxFunc>(GetProcAddress(kernel, "ReleaseActCtx"));
        activate = reinterpret_cast<ActivateActCtxFunc>(GetProcAddress(kernel, "ActivateActCtx"));
        deactivate =
            reinterpret_cast<DeactivateActCtxFunc>(GetProcAddress(kernel, "DeactivateActCtx"));
        if (!create || !release || !activate || !deactivate) {
            create = nullptr;
        }
    }
    bool Available() const { return create != nullptr; }
};

const CContextFunctions& Functions() {
    static const CContextFunctions functions;
    return functions;
}

} // namespace

bool CActivationContext::Create(HMODULE module, UINT manifestId) {
    Release();
    const CContextFunctions& api = Functions();
    if (!api.Available() || !module) {
        return false;
    }
    char path[MAX_PATH] = {};
    if (!GetModuleFileNameA(module, path, MAX_PATH) || path[MAX_PATH - 1]) {
        return false;
    }
    ACTCTXA context = {};
    context.cbSize = sizeof(context);
    context.dwFlags = ACTCTX_FLAG_HMODULE_VALID | ACTCTX_FLAG_RESOURCE_NAME_VALID;
    context.lpSource = path;
    context.hModule = module;
    context.lpResourceName = MAKEINTRESOURCEA(manifestId);
    m_context = api.create(&context);
    return IsValid();
}

void CActivationContext::Release() {
    if (IsValid()) {
        Functions().release(m_context);
        m_context = INVALID_HANDLE_VALUE;
    }
}

CActivationContext::CScope::CScope(const CActivationContext& context) {
    if (context.IsValid()) {
        m_active = Functions().activate(context.Get(), &m_cookie) != FALSE;
    }
}

CActivationContext::CScope::~CScope() {
    if (m_active) {
        Functions().deactivate(0, m_cookie);
    }
}
