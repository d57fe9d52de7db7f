// The automation doubles: the shell's window collection (CLSID_ShellWindows) and Internet
// Explorer (CLSID_InternetExplorer, "InternetExplorer.Application"), playing the states the
// script names and recording every call (ScriptRecord.h).
#include "InterfaceStubs.h"
#include "ScriptRecord.h"

#include "framework/AnsiWide.h"
#include "framework/CComModule.h"
#include "framework/CComObjectRoot.h"
#include "framework/CRegKey.h"
#include "framework/ComPtr.h"

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Script = std::map<std::string, std::string>;

Script ReadScript() {
    Script script;
    CRegKey key;
    std::string text;
    if (key.Open(HKEY_CURRENT_USER, CORVINA_DOUBLES_KEY) != ERROR_SUCCESS ||
        key.QueryString("Script", text) != ERROR_SUCCESS) {
        return script;
    }
    std::istringstream lines(text);
    std::string line;
    while (std::getline(lines, line)) {
        const size_t equals = line.find('=');
        if (equals != std::string::npos) {
            script[line.substr(0, equals)] = line.substr(equals + 1);
        }
    }
    return script;
}

std::vector<std::string> SplitList(const std::string& text) {
    std::vector<std::string> parts;
    std::istringstream list(text);
    std::string part;
    while (std::getline(list, part, ',')) {
        parts.push_back(part);
    }
    return parts;
}

void Record(const std::string& call) {
    try {
        CRegKey key;
        if (key.Create(HKEY_CURRENT_USER, CORVINA_DOUBLES_KEY) != ERROR_SUCCESS) {
            return;
        }
        std::string calls;
        key.QueryString("Calls", calls);
        key.SetString("Calls", calls + call + "\n");
    } catch (...) {
    }
}

std::string DescribeVariant(const VARIANT* value) {
    if (!value) {
        return "null";
    }
    std::string text = "vt" + std::to_string(value->vt) + "=";
    switch (value->vt) {
    case VT_BSTR:
        return text + WideToAnsi(value->bstrVal ? value->bstrVal : L"");
    case VT_BOOL:
        return text + std::to_string(value->boolVal);
    case VT_INT:
        return text + std::to_string(value->intVal);
    case VT_I4:
        return text + std::to_string(value->lVal);
    default:
        return text;
    }
}

class CEnumUnknownDouble : public CComObjectRoot<CEnumUnknownDouble>, public IEnumUnknown {
public:
    CEnumUnknownDouble(IUnknown* outer, std::vector<CComPtr<IUnknown>> items)
        : CComObjectRoot(outer), m_items(std::move(items)) {}
    COM_IUNKNOWN_METHODS
    static const CQITableEntry* GetQITable() {
        static const CQITableEntry table[] = {QITABLE_ENTRY(CEnumUnknownDouble, IEnumUnknown),
                                              {nullptr, 0}};
        return table;
    }

    STDMETHODIMP Next(ULONG count, IUnknown** items, ULONG* fetched) override {
        ULONG done = 0;
        while (done < count && m_next < m_items.size()) {
            items[done] = m_items[m_next++].Get();
            items[done]->AddRef();
            ++done;
        }
        if (fetched) {
            *fetched = done;
        }
        return done == count ? S_OK : S_FALSE;
    }
    STDMETHODIMP Skip(ULONG count) override {
        m_next += count;
        return m_next <= m_items.size() ? S_OK : S_FALSE;
    }
    STDMETHODIMP Reset() override {
        m_next = 0;
        return S_OK;
    }
    STDMETHODIMP Clone(IEnumUnknown**) override { return E_NOTIMPL; }

private:
    std::vector<CComPtr<IUnknown>> m_items;
    size_t m_next = 0;
};

// An HTML document with its ready state; the top document also holds the frames.
class CDocumentDouble : public CComObjectRoot<CDocumentDouble>,
                        public CHtmlDocument2Stubs,
                        public IOleContainer {
public:
    CDocumentDouble(IUnknown* outer, std::string name, std::string state,
                    std::vector<CComPtr<IUnknown>> frames)
        : CComObjectRoot(outer), m_name(std::move(name)), m_state(std::move(state)),
          m_frames(std::move(frames)) {}
    ~CDocumentDouble() override { Record(m_name + ".released"); }
    COM_IUNKNOWN_METHODS
    static const CQITableEntry* GetQITable() {
        static const CQITableEntry table[] = {
            QITABLE_ENTRY(CDocumentDouble, IHTMLDocument2),
            QITABLE_ENTRY_IID(CDocumentDouble, IID_IHTMLDocument, IHTMLDocument2),
            QITABLE_ENTRY_IID(CDocumentDouble, IID_IDispatch, IHTMLDocument2),
            QITABLE_ENTRY(CDocumentDouble, IOleContainer),
            QITABLE_ENTRY_IID(CDocumentDouble, IID_IParseDisplayName, IOleContainer),
            {nullptr, 0}};
        return table;
    }

    STDMETHODIMP get_readyState(BSTR* state) override {
        COM_TRY_BEGIN
        Record(m_name + ".get_readyState");
        if (m_state == "unreadable") {
            return E_FAIL;
        }
        *state = SysAllocString(AnsiToWide(m_state).c_str());
        return S_OK;
        COM_TRY_END
    }

    STDMETHODIMP ParseDisplayName(IBindCtx*, LPOLESTR, ULONG*, IMoniker**) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP EnumObjects(DWORD flags, IEnumUnknown** objects) override {
        COM_TRY_BEGIN
        Record(m_name + ".EnumObjects " + std::to_string(flags));
        return CEnumUnknownDouble::CreateInstance(nullptr, IID_IEnumUnknown,
                                                  reinterpret_cast<void**>(objects), m_frames);
        COM_TRY_END
    }
    STDMETHODIMP LockContainer(BOOL) override { return E_NOTIMPL; }

private:
    std::string m_name;
    std::string m_state;
    std::vector<CComPtr<IUnknown>> m_frames;
};

struct BrowserPlay {
    std::vector<long> readyStates{READYSTATE_COMPLETE};
    bool busy = false;
    std::string document = "complete";
    std::vector<std::string> frames;
    HRESULT browserQuery = S_OK; // the answer to a query for IWebBrowser2
};

class CBrowserDouble : public CComObjectRoot<CBrowserDouble>, public CWebBrowser2Stubs {
public:
    CBrowserDouble(IUnknown* outer, std::string name, BrowserPlay play)
        : CComObjectRoot(outer), m_name(std::move(name)), m_play(std::move(play)) {}
    ~CBrowserDouble() override { Record(m_name + ".released"); }

    STDMETHODIMP QueryInterface(REFIID riid, void** ppv) override {
        if (IsEqualIID(riid, IID_IWebBrowser2) && FAILED(m_play.browserQuery)) {
            *ppv = nullptr;
            return m_play.browserQuery;
        }
        return OuterQueryInterface(riid, ppv);
    }
    STDMETHODIMP_(ULONG) AddRef() override { return OuterAddRef(); }
    STDMETHODIMP_(ULONG) Release() override { return OuterRelease(); }
    static const CQITableEntry* GetQITable() {
        static const CQITableEntry table[] = {
            QITABLE_ENTRY(CBrowserDouble, IWebBrowser2),
            QITABLE_ENTRY_IID(CBrowserDouble, IID_IWebBrowserApp, IWebBrowser2),
            QITABLE_ENTRY_IID(CBrowserDouble, IID_IWebBrowser, IWebBrowser2),
            QITABLE_ENTRY_IID(CBrowserDouble, IID_IDispatch, IWebBrowser2),
            {nullptr, 0}};
        return table;
    }

    STDMETHODIMP put_Visible(VARIANT_BOOL visible) override {
        COM_TRY_BEGIN
        Record(m_name + ".put_Visible " + std::to_string(visible));
        return S_OK;
        COM_TRY_END
    }
    STDMETHODIMP Stop() override { return Recorded(".Stop"); }
    STDMETHODIMP Quit() override { return Recorded(".Quit"); }
    STDMETHODIMP Navigate(BSTR url, VARIANT* flags, VARIANT* target, VARIANT* post,
                          VARIANT* headers) override {
        COM_TRY_BEGIN
        Record(m_name + ".Navigate " + WideToAnsi(url ? url : L"") + " " + DescribeVariant(flags) +
               " " + DescribeVariant(target) + " " + DescribeVariant(post) + " " +
               DescribeVariant(headers) +
               (flags == target && target == post && post == headers ? " same" : " distinct"));
        return S_OK;
        COM_TRY_END
    }
    STDMETHODIMP ShowBrowserBar(VARIANT* clsid, VARIANT* show, VARIANT* size) override {
        COM_TRY_BEGIN
        Record(m_name + ".ShowBrowserBar " + DescribeVariant(clsid) + " " + DescribeVariant(show) +
               " " + DescribeVariant(size));
        return S_OK;
        COM_TRY_END
    }
    STDMETHODIMP get_ReadyState(READYSTATE* state) override {
        COM_TRY_BEGIN
        const size_t index = std::min(m_readyQueries++, m_play.readyStates.size() - 1);
        *state = static_cast<READYSTATE>(m_play.readyStates[index]);
        Record(m_name + ".get_ReadyState " + std::to_string(*state));
        return S_OK;
        COM_TRY_END
    }
    STDMETHODIMP get_Busy(VARIANT_BOOL* busy) override {
        COM_TRY_BEGIN
        Record(m_name + ".get_Busy");
        *busy = m_play.busy ? VARIANT_TRUE : VARIANT_FALSE;
        return S_OK;
        COM_TRY_END
    }
    STDMETHODIMP get_Document(IDispatch** document) override {
        COM_TRY_BEGIN
        Record(m_name + ".get_Document");
        *document = nullptr;
        if (m_play.document == "fail") {
            return E_FAIL;
        }
        if (m_play.document == "none") {
            return S_OK;
        }
        std::vector<CComPtr<IUnknown>> frames;
        for (size_t i = 0; i < m_play.frames.size(); ++i) {
            BrowserPlay frame;
            frame.document = m_play.frames[i];
            CComPtr<IUnknown> object;
            const HRESULT hr = CBrowserDouble::CreateInstance(
                nullptr, IID_IUnknown, reinterpret_cast<void**>(object.GetAddressOf()),
                "frame" + std::to_string(i), frame);
            if (FAILED(hr)) {
                return hr;
            }
            frames.push_back(object);
        }
        return CDocumentDouble::CreateInstance(nullptr, IID_IDispatch,
                                               reinterpret_cast<void**>(document), m_name + ".doc",
                                               m_play.document, frames);
        COM_TRY_END
    }

private:
    HRESULT Recorded(const char* method) {
        COM_TRY_BEGIN
        Record(m_name + method);
        return S_OK;
        COM_TRY_END
    }

    std::string m_name;
    BrowserPlay m_play;
    size_t m_readyQueries = 0;
};

// An automation object of the collection that is no browser (a shell view of another kind).
class COtherItemDouble : public CComObjectRoot<COtherItemDouble>, public IDispatch {
public:
    explicit COtherItemDouble(IUnknown* outer) : CComObjectRoot(outer) {}
    COM_IUNKNOWN_METHODS
    static const CQITableEntry* GetQITable() {
        static const CQITableEntry table[] = {QITABLE_ENTRY(COtherItemDouble, IDispatch),
                                              {nullptr, 0}};
        return table;
    }
    STDMETHODIMP GetTypeInfoCount(UINT*) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT, LCID, ITypeInfo**) override { return E_NOTIMPL; }
    STDMETHODIMP GetIDsOfNames(REFIID, LPOLESTR*, UINT, LCID, DISPID*) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID, REFIID, LCID, WORD, DISPPARAMS*, VARIANT*, EXCEPINFO*,
                        UINT*) override {
        return E_NOTIMPL;
    }
};

class CShellWindowsDouble : public CComObjectRoot<CShellWindowsDouble>, public CShellWindowsStubs {
public:
    explicit CShellWindowsDouble(IUnknown* outer)
        : CComObjectRoot(outer), m_items(SplitList(ReadScript()["windows"])) {}
    ~CShellWindowsDouble() override { Record("windows.released"); }
    COM_IUNKNOWN_METHODS
    static const CQITableEntry* GetQITable() {
        static const CQITableEntry table[] = {
            QITABLE_ENTRY(CShellWindowsDouble, IShellWindows),
            QITABLE_ENTRY_IID(CShellWindowsDouble, IID_IDispatch, IShellWindows),
            {nullptr, 0}};
        return table;
    }
    static HRESULT Create(IUnknown* outer, REFIID riid, void** ppv) {
        return CreateInstance(outer, riid, ppv);
    }

    STDMETHODIMP get_Count(LONG* count) override {
        COM_TRY_BEGIN
        Record("windows.get_Count");
        if (m_items.size() == 1 && m_items[0] == "nocount") {
            return E_NOTIMPL; // as the system's own collection under Wine
        }
        *count = static_cast<LONG>(m_items.size());
        return S_OK;
        COM_TRY_END
    }
    STDMETHODIMP Item(VARIANT index, IDispatch** item) override {
        COM_TRY_BEGIN
        Record("windows.Item " + DescribeVariant(&index));
        *item = nullptr;
        if (index.vt != VT_I4) {
            return E_INVALIDARG;
        }
        if (index.lVal < 0 || static_cast<size_t>(index.lVal) >= m_items.size()) {
            return S_FALSE;
        }
        const std::string& kind = m_items[index.lVal];
        const std::string name = "window" + std::to_string(index.lVal);
        void** out = reinterpret_cast<void**>(item);
        if (kind == "other") {
            return COtherItemDouble::CreateInstance(nullptr, IID_IDispatch, out);
        }
        if (kind == "fail") {
            return E_FAIL;
        }
        BrowserPlay play;
        if (kind == "qifail") {
            play.browserQuery = E_UNEXPECTED;
        }
        return CBrowserDouble::CreateInstance(nullptr, IID_IDispatch, out, name, play);
        COM_TRY_END
    }

private:
    std::vector<std::string> m_items;
};

HRESULT CreateInternetExplorer(IUnknown* outer, REFIID riid, void** ppv) {
    COM_TRY_BEGIN
    *ppv = nullptr;
    Script script = ReadScript();
    Record("ie.create");
    if (script["ie"] == "missing") {
        return REGDB_E_CLASSNOTREG;
    }
    BrowserPlay play;
    if (script["ie"] == "nobrowser2") {
        play.browserQuery = E_NOINTERFACE;
    }
    if (script.count("ready")) {
        play.readyStates.clear();
        for (const std::string& state : SplitList(script["ready"])) {
            play.readyStates.push_back(std::stol(state));
        }
    }
    play.busy = script["busy"] == "1";
    if (script.count("document")) {
        play.document = script["document"];
    }
    play.frames = SplitList(script["frames"]);
    return CBrowserDouble::CreateInstance(outer, riid, ppv, "ie", play);
    COM_TRY_END
}

const CClassEntry kClasses[] = {{&CLSID_ShellWindows, &CShellWindowsDouble::Create},
                                {&CLSID_InternetExplorer, &CreateInternetExplorer}};
CComModule g_module;

LONG SetClassKey(const std::string& path, const std::string& value, const char* threading) {
    CRegKey key;
    LONG result = key.Create(HKEY_CLASSES_ROOT, path.c_str());
    if (result == ERROR_SUCCESS) {
        result = key.SetString(nullptr, value);
    }
    if (result == ERROR_SUCCESS && threading) {
        result = key.SetString("ThreadingModel", threading);
    }
    return result;
}

} // namespace

BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        DisableThreadLibraryCalls(instance);
        return g_module.Init(instance, kClasses, sizeof(kClasses) / sizeof(kClasses[0]));
    }
    if (reason == DLL_PROCESS_DETACH) {
        g_module.Term();
    }
    return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID riid, void** ppv) {
    return g_module.DllGetClassObject(clsid, riid, ppv);
}

STDAPI DllCanUnloadNow() {
    return g_module.DllCanUnloadNow();
}

// Takes over the system's class ids in this prefix for good: only ever call it in a
// throwaway copy of one.
STDAPI DllRegisterServer() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(g_module.GetModuleInstance(), path, MAX_PATH);
    const char* classes[] = {"CLSID\\{9BA05972-F6A8-11CF-A442-00A0C90A8F39}",
                             "CLSID\\{0002DF01-0000-0000-C000-000000000046}"};
    for (const char* clsid : classes) {
        if (SetClassKey(std::string(clsid) + "\\InprocServer32", path, "Apartment") !=
            ERROR_SUCCESS) {
            return SELFREG_E_CLASS;
        }
    }
    if (SetClassKey("InternetExplorer.Application\\CLSID", "{0002DF01-0000-0000-C000-000000000046}",
                    nullptr) != ERROR_SUCCESS) {
        return SELFREG_E_CLASS;
    }
    return S_OK;
}
