#include "serversetup/BrowserWindows.h"

#include "framework/AnsiWide.h"
#include "framework/ComPtr.h"

#include <mshtml.h>
#include <ole2.h>
#include <oleauto.h>

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace {

// Where the shell's window collection and Internet Explorer may live: in this process or in
// the shell's own.
constexpr DWORD kBrowserContext =
    CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER;

// A page has a few frames at most; the cap only keeps an enumerator that never ends from
// holding the wait for ever.
constexpr int kMaxFrames = 1000;

// Owns one BSTR.
class CBstr {
public:
    CBstr() = default;
    explicit CBstr(const std::wstring& text)
        : m_text(SysAllocStringLen(text.c_str(), static_cast<UINT>(text.size()))) {}
    CBstr(const CBstr&) = delete;
    CBstr& operator=(const CBstr&) = delete;
    ~CBstr() { SysFreeString(m_text); }

    BSTR Get() const { return m_text; }
    // For an out-parameter: the previous text is freed first.
    BSTR* Receive() {
        SysFreeString(m_text);
        m_text = nullptr;
        return &m_text;
    }

private:
    BSTR m_text = nullptr;
};

// Owns one VARIANT and whatever it holds.
class CVariant {
public:
    CVariant() { VariantInit(&m_value); }
    CVariant(const CVariant&) = delete;
    CVariant& operator=(const CVariant&) = delete;
    ~CVariant() { VariantClear(&m_value); }

    VARIANT* Get() { return &m_value; }

private:
    VARIANT m_value;
};

HRESULT OpenShellWindows(CComPtr<IShellWindows>* windows) {
    CComPtr<IUnknown> unknown;
    HRESULT hr = CoCreateInstance(CLSID_ShellWindows, nullptr, kBrowserContext, IID_IUnknown,
                                  reinterpret_cast<void**>(unknown.GetAddressOf()));
    if (FAILED(hr) || !unknown) {
        return FAILED(hr) ? hr : E_NOINTERFACE;
    }
    hr = OleRun(unknown.Get());
    if (FAILED(hr)) {
        return hr;
    }
    return unknown.As(windows);
}

// The collection and its count, or nothing when either cannot be had (as on systems whose
// shell does not keep the collection).
bool OpenAndCountShellWindows(CComPtr<IShellWindows>* windows, long* count) {
    if (FAILED(OpenShellWindows(windows)) || !*windows) {
        return false;
    }
    *count = 0;
    return SUCCEEDED((*windows)->get_Count(count));
}

// The browser at index, or nothing. Not only an item without IWebBrowser2 is passed over:
// one whose fetch or query fails in any other way is too, and the walk goes on. Such an
// item is typically a window closing at this moment; stopping would leave the windows
// after it open, and the ones already hidden are quit all the same.
std::optional<CComPtr<IWebBrowser2>> FetchShellBrowser(IShellWindows* windows, long index) {
    VARIANT position; // VT_I4 holds nothing to free
    VariantInit(&position);
    position.vt = VT_I4;
    position.lVal = index;
    CComPtr<IDispatch> item;
    if (FAILED(windows->Item(position, item.GetAddressOf())) || !item) {
        return std::nullopt;
    }
    CComPtr<IWebBrowser2> browser;
    if (FAILED(item.As(&browser)) || !browser) {
        return std::nullopt;
    }
    return browser;
}

CComPtr<IUnknown> IdentityOf(IUnknown* object) {
    CComPtr<IUnknown> identity;
    if (object) {
        object->QueryInterface(IID_IUnknown, reinterpret_cast<void**>(identity.GetAddressOf()));
    }
    return identity;
}

// The documents of the frames embedded in a page: frames that are no browser, or whose
// document cannot be had or is no HTML document, are passed over.
void CollectFrameDocuments(IEnumUnknown* objects, std::vector<CComPtr<IHTMLDocument2>>* documents) {
    for (int frames = 0; frames < kMaxFrames; ++frames) {
        CComPtr<IUnknown> object;
        ULONG fetched = 0;
        if (objects->Next(1, object.GetAddressOf(), &fetched) != S_OK || fetched != 1 || !object) {
            return;
        }
        CComPtr<IWebBrowser2> frame;
        CComPtr<IDispatch> dispatch;
        CComPtr<IHTMLDocument2> document;
        if (FAILED(object.As(&frame)) || !frame ||
            FAILED(frame->get_Document(dispatch.GetAddressOf())) || !dispatch ||
            FAILED(dispatch.As(&document)) || !document) {
            continue;
        }
        documents->push_back(document);
    }
}

// Frames included: a page whose top document is complete may still be loading its frames.
bool BrowserDocumentsComplete(IWebBrowser2* browser) {
    CComPtr<IDispatch> dispatch;
    // A failing call counts as a page we cannot vouch for, unlike a browser that simply
    // shows no document.
    if (FAILED(browser->get_Document(dispatch.GetAddressOf()))) {
        return false;
    }
    CComPtr<IHTMLDocument2> top;
    if (!dispatch || FAILED(dispatch.As(&top)) || !top) {
        return true; // a folder view, or nothing shown yet
    }
    CComPtr<IOleContainer> container;
    CComPtr<IEnumUnknown> objects;
    if (FAILED(top.As(&container)) || !container ||
        FAILED(container->EnumObjects(OLECONTF_EMBEDDINGS, objects.GetAddressOf())) || !objects) {
        // A document that lists no embedded objects is taken as finished rather than waited
        // on for every round.
        return true;
    }
    std::vector<CComPtr<IHTMLDocument2>> documents;
    CollectFrameDocuments(objects.Get(), &documents);
    const CComPtr<IUnknown> topIdentity = IdentityOf(top.Get());
    const bool listed =
        std::any_of(documents.begin(), documents.end(), [&](const CComPtr<IHTMLDocument2>& d) {
            return IdentityOf(d.Get()) == topIdentity;
        });
    if (!listed) {
        documents.push_back(top);
    }
    std::vector<std::optional<std::wstring>> states;
    for (const CComPtr<IHTMLDocument2>& document : documents) {
        CBstr state;
        if (FAILED(document->get_readyState(state.Receive()))) {
            states.emplace_back();
        } else {
            states.emplace_back(state.Get() ? std::wstring(state.Get(), SysStringLen(state.Get()))
                                            : std::wstring());
        }
    }
    return corvina::AllDocumentsComplete(states);
}

bool IsBrowserIdleNow(IWebBrowser2* browser) {
    READYSTATE state = READYSTATE_UNINITIALIZED;
    if (FAILED(browser->get_ReadyState(&state))) {
        return false;
    }
    try {
        return corvina::IsBrowserIdle(
            state,
            [&] {
                VARIANT_BOOL busy = VARIANT_TRUE;
                return FAILED(browser->get_Busy(&busy)) || busy != VARIANT_FALSE;
            },
            [&] { return BrowserDocumentsComplete(browser); });
    } catch (...) {
        return false; // out of memory while listing the documents: not known to be idle
    }
}

} // namespace

BOOL CloseShellBrowserWindows() {
    CComPtr<IShellWindows> windows;
    long count = 0;
    if (!OpenAndCountShellWindows(&windows, &count)) {
        return FALSE;
    }
    try {
        corvina::SweepShellBrowsers<CComPtr<IWebBrowser2>>(
            count, [&](long index) { return FetchShellBrowser(windows.Get(), index); },
            [](const CComPtr<IWebBrowser2>& browser) {
                browser->put_Visible(VARIANT_FALSE);
                browser->Stop();
            },
            [](const CComPtr<IWebBrowser2>& browser) { browser->Quit(); });
    } catch (...) {
        // Only the list's own memory can fail, and it is taken before any window is touched.
        return FALSE;
    }
    return TRUE;
}

bool IsShellBrowserWindowOpen() {
    CComPtr<IShellWindows> windows;
    long count = 0;
    if (!OpenAndCountShellWindows(&windows, &count)) {
        return false;
    }
    for (long index = 0; index < count; ++index) {
        if (FetchShellBrowser(windows.Get(), index)) {
            return true;
        }
    }
    return false;
}

BOOL HideToolbarBand(const char* bandClassId, const char* location) {
    return HideToolbarBand(bandClassId, location, corvina::BrowserWaitTimes());
}

BOOL HideToolbarBand(const char* bandClassId, const char* location,
                     const corvina::BrowserWaitTimes& times) {
    if (!bandClassId || !location) {
        return FALSE;
    }
    try {
        CLSID browserClass;
        if (FAILED(CLSIDFromProgID(L"InternetExplorer.Application", &browserClass))) {
            return FALSE;
        }
        CComPtr<IWebBrowserApp> application;
        if (FAILED(CoCreateInstance(browserClass, nullptr, kBrowserContext, IID_IWebBrowserApp,
                                    reinterpret_cast<void**>(application.GetAddressOf()))) ||
            !application) {
            return FALSE;
        }
        CComPtr<IWebBrowser2> browser;
        if (FAILED(application.As(&browser)) || !browser) {
            return FALSE;
        }
        // Never made visible: the user sees nothing of this browser.
        const CBstr url(AnsiToWide(location));
        CVariant none;
        browser->Navigate(url.Get(), none.Get(), none.Get(), none.Get(), none.Get());

        const std::wstring bandText = AnsiToWide(bandClassId);
        CVariant band; // frees the text
        band.Get()->vt = VT_BSTR;
        band.Get()->bstrVal =
            SysAllocStringLen(bandText.c_str(), static_cast<UINT>(bandText.size()));
        CVariant show;
        show.Get()->vt = VT_BOOL;
        show.Get()->boolVal = VARIANT_FALSE;
        CVariant size;
        size.Get()->vt = VT_INT;
        size.Get()->intVal = 1;
        browser->ShowBrowserBar(band.Get(), show.Get(), size.Get());

        for (int round = 0; round < times.rounds; ++round) {
            if (WaitBrowserIdle(browser.Get(), times.limitMs, times.pumpMs)) {
                break;
            }
        }
        browser->Quit();
        return TRUE;
    } catch (...) {
        return FALSE; // out of memory converting the texts; the owners release the browser
    }
}

BOOL WaitBrowserIdle(IWebBrowser2* browser, DWORD limitMs) {
    return WaitBrowserIdle(browser, limitMs, corvina::BrowserWaitTimes().pumpMs);
}

BOOL WaitBrowserIdle(IWebBrowser2* browser, DWORD limitMs, DWORD pumpMs) {
    if (!browser) {
        return FALSE;
    }
    const DWORD start = GetTickCount();
    for (;;) {
        PumpMessages(pumpMs);
        if (IsBrowserIdleNow(browser)) {
            return TRUE;
        }
        if (corvina::TickLimitPassed(start, GetTickCount(), limitMs)) {
            return FALSE;
        }
    }
}

void PumpMessages(DWORD durationMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        const DWORD now = GetTickCount();
        if (corvina::TickLimitPassed(start, now, durationMs)) {
            return;
        }
        MSG message;
        // One message per look at the clock: a window that keeps posting to itself cannot
        // hold the pump past its time.
        if (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            if (message.message == WM_QUIT) {
                // Dispatched, the quit would be lost and the program's own loop never end:
                // it goes back into the queue and the wait is over.
                PostQuitMessage(static_cast<int>(message.wParam));
                return;
            }
            TranslateMessage(&message);
            DispatchMessageA(&message);
            continue;
        }
        // Sleeps until a message arrives (sent ones included, which is how the browser's
        // process and COM calls reach us) or just past the end of the time.
        MsgWaitForMultipleObjectsEx(0, nullptr, durationMs - (now - start) + 1, QS_ALLINPUT,
                                    MWMO_INPUTAVAILABLE);
    }
}
