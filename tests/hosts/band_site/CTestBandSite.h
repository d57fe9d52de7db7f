// Plays the band site of a browser window, which Wine's Explorer never offers to bands of
// others: a top-level window with a rebar, and one COM object that answers the band as
// Explorer's site would (IOleWindow: the rebar; IInputObjectSite and IOleCommandTarget: the
// calls are recorded). It loads a band the way Explorer switches it on, and lets it go the
// way Explorer switches it off or closes its window.
//
//   RegisterBandServer(path);            // once: the band's own DllRegisterServer
//   CTestBandSite site;
//   ASSERT_TRUE(site.Create({0, 0, 640, 120}));  // shown, rebar inside, nothing loaded
//   ASSERT_HRESULT_SUCCEEDED(site.AddBand());    // CLSID_CorvBar through the registration:
//                                                // SetSite, GetBandInfo, GetWindow, the rebar
//                                                // band, ShowDW(TRUE)
//   HWND toolbar = site.GetBandWindow();
//   ... pump messages; read site.GetExecCalls(), site.GetFocusChanges(), site.GetBandStyle()
//   site.RemoveBand();                   // ShowDW(FALSE), CloseDW, SetSite(null), Release
//   UnregisterBandServer(path);
//
// One band at a time; everything runs on the creating thread, which must pump messages and
// have COM initialised (apartment).
#pragma once

#include <windows.h>
#include <commctrl.h>
#include <ole2.h>
#include <shlobj.h>

#include <string>
#include <vector>

#include "framework/ComPtr.h"

// {9E3B4C71-2D58-4A0F-B6C3-71E8D2A45F90}, the band's class.
extern const CLSID kCorvBarClassId;

// LoadLibrary and the server's own DllRegisterServer / DllUnregisterServer (the way the
// settings program registers it); the result of the export, or the load failure.
HRESULT RegisterBandServer(const std::string& dllPath);
HRESULT UnregisterBandServer(const std::string& dllPath);

class CTestBandSite {
public:
    static const char kWindowClass[]; // "CorvinaTestBandSite"
    static constexpr UINT kRebarId = 0xA000;
    // The band id the site hands to GetBandInfo.
    static constexpr DWORD kBandId = 0;

    // What the band asked of the site's IOleCommandTarget::Exec.
    struct ExecCall {
        GUID group = GUID_NULL;
        DWORD command = 0;
        DWORD options = 0;
        VARTYPE inputType = VT_EMPTY; // VT_EMPTY also when no input was passed
        LONG inputValue = 0;          // for VT_I4
    };
    // One IInputObjectSite::OnFocusChangeIS call.
    struct FocusChange {
        bool fromBand = false; // the object passed is the loaded band
        BOOL focus = FALSE;
    };

    CTestBandSite();
    CTestBandSite(const CTestBandSite&) = delete;
    CTestBandSite& operator=(const CTestBandSite&) = delete;
    // Removes a band still loaded (closing while visible) and destroys the window.
    ~CTestBandSite();

    // The top-level window at this rectangle (screen coordinates), shown, with a rebar filling
    // its client area. False if it fails or exists already.
    bool Create(const RECT& rect, const char* title = "Corvina band site");
    void Destroy();

    // Creates the band through its registration (CoCreateInstance, in-process) and loads it.
    HRESULT AddBand(REFCLSID clsid = kCorvBarClassId);
    // Loads a band object created by other means: IObjectWithSite::SetSite(site),
    // IDeskBand::GetBandInfo(kBandId, view mode, everything), IOleWindow::GetWindow, inserts
    // the window as a rebar band with the band's minimum size, IDockingWindow::ShowDW(TRUE).
    // On failure nothing stays loaded; the failing call's result.
    HRESULT AddBand(IUnknown* band);
    // The user switching it off (hideFirst: ShowDW(FALSE) first) or the window closing with
    // it visible (hideFirst false); then CloseDW, SetSite(null), the rebar band goes, Release.
    void RemoveBand(bool hideFirst = true);

    // IDockingWindow::ShowDW alone.
    HRESULT ShowBand(BOOL show);
    // GetBandInfo again (as the site does on DBID_BANDINFOCHANGED); the rebar band's sizes
    // follow it.
    HRESULT RefreshBandInfo();
    // The view mode handed to GetBandInfo from now on (DBIF_VIEWMODE_*).
    void SetViewMode(DWORD mode) { m_viewMode = mode; }

    HWND GetWindow() const { return m_window; }
    HWND GetRebar() const { return m_rebar; }
    // The window the band reported, null when none is loaded.
    HWND GetBandWindow() const { return m_bandWindow; }
    IUnknown* GetBand() const { return m_band.Get(); }
    // The rebar index of the band's window, -1 when it has none.
    int FindBandIndex() const;
    // The rebar band's style (RBBS_*), 0 when there is none.
    UINT GetBandStyle() const;
    // The answer of the last GetBandInfo (asked with every mask bit), and how many were made.
    const DESKBANDINFO& GetLastBandInfo() const { return m_bandInfo; }
    int GetBandInfoCount() const { return m_bandInfoCount; }

    const std::vector<ExecCall>& GetExecCalls() const;
    const std::vector<FocusChange>& GetFocusChanges() const;
    void ClearCalls();

private:
    class CSiteObject;
    static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    HWND m_window = nullptr;
    HWND m_rebar = nullptr;
    HWND m_bandWindow = nullptr;
    CComPtr<IUnknown> m_band;
    CSiteObject* m_site = nullptr; // counted: one reference of ours
    DESKBANDINFO m_bandInfo = {};
    int m_bandInfoCount = 0;
    DWORD m_viewMode = DBIF_VIEWMODE_NORMAL;
};
