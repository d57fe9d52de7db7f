// Every method of the automation interfaces the doubles play answers E_NOTIMPL here; a
// double derives from these and overrides the few it plays. Made from the interface
// declarations of the mingw-w64 headers (exdisp.h, mshtml.h), in their order.
#pragma once

#include <windows.h>
#include <exdisp.h>
#include <mshtml.h>

#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-parameter"

class CShellWindowsStubs : public IShellWindows {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                               DISPID* rgDispId) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                        DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                        UINT* puArgErr) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP get_Count(LONG* Count) override { return E_NOTIMPL; }
    STDMETHODIMP Item(VARIANT index, IDispatch** Folder) override { return E_NOTIMPL; }
    STDMETHODIMP _NewEnum(IUnknown** ppunk) override { return E_NOTIMPL; }
    STDMETHODIMP Register(IDispatch* pid, LONG hWnd, int swClass, LONG* plCookie) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP RegisterPending(LONG lThreadId, VARIANT* pvarloc, VARIANT* pvarlocRoot,
                                 int swClass, LONG* plCookie) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Revoke(LONG lCookie) override { return E_NOTIMPL; }
    STDMETHODIMP OnNavigate(LONG lCookie, VARIANT* pvarLoc) override { return E_NOTIMPL; }
    STDMETHODIMP OnActivated(LONG lCookie, VARIANT_BOOL fActive) override { return E_NOTIMPL; }
    STDMETHODIMP FindWindowSW(VARIANT* pvarLoc, VARIANT* pvarLocRoot, int swClass, LONG* phwnd,
                              int swfwOptions, IDispatch** ppdispOut) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP OnCreated(LONG lCookie, IUnknown* punk) override { return E_NOTIMPL; }
    STDMETHODIMP ProcessAttachDetach(VARIANT_BOOL fAttach) override { return E_NOTIMPL; }
};

class CWebBrowser2Stubs : public IWebBrowser2 {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                               DISPID* rgDispId) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                        DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                        UINT* puArgErr) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GoBack() override { return E_NOTIMPL; }
    STDMETHODIMP GoForward() override { return E_NOTIMPL; }
    STDMETHODIMP GoHome() override { return E_NOTIMPL; }
    STDMETHODIMP GoSearch() override { return E_NOTIMPL; }
    STDMETHODIMP Navigate(BSTR URL, VARIANT* Flags, VARIANT* TargetFrameName, VARIANT* PostData,
                          VARIANT* Headers) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Refresh() override { return E_NOTIMPL; }
    STDMETHODIMP Refresh2(VARIANT* Level) override { return E_NOTIMPL; }
    STDMETHODIMP Stop() override { return E_NOTIMPL; }
    STDMETHODIMP get_Application(IDispatch** ppDisp) override { return E_NOTIMPL; }
    STDMETHODIMP get_Parent(IDispatch** ppDisp) override { return E_NOTIMPL; }
    STDMETHODIMP get_Container(IDispatch** ppDisp) override { return E_NOTIMPL; }
    STDMETHODIMP get_Document(IDispatch** ppDisp) override { return E_NOTIMPL; }
    STDMETHODIMP get_TopLevelContainer(VARIANT_BOOL* pBool) override { return E_NOTIMPL; }
    STDMETHODIMP get_Type(BSTR* Type) override { return E_NOTIMPL; }
    STDMETHODIMP get_Left(LONG* pl) override { return E_NOTIMPL; }
    STDMETHODIMP put_Left(LONG Left) override { return E_NOTIMPL; }
    STDMETHODIMP get_Top(LONG* pl) override { return E_NOTIMPL; }
    STDMETHODIMP put_Top(LONG Top) override { return E_NOTIMPL; }
    STDMETHODIMP get_Width(LONG* pl) override { return E_NOTIMPL; }
    STDMETHODIMP put_Width(LONG Width) override { return E_NOTIMPL; }
    STDMETHODIMP get_Height(LONG* pl) override { return E_NOTIMPL; }
    STDMETHODIMP put_Height(LONG Height) override { return E_NOTIMPL; }
    STDMETHODIMP get_LocationName(BSTR* LocationName) override { return E_NOTIMPL; }
    STDMETHODIMP get_LocationURL(BSTR* LocationURL) override { return E_NOTIMPL; }
    STDMETHODIMP get_Busy(VARIANT_BOOL* pBool) override { return E_NOTIMPL; }
    STDMETHODIMP Quit() override { return E_NOTIMPL; }
    STDMETHODIMP ClientToWindow(int* pcx, int* pcy) override { return E_NOTIMPL; }
    STDMETHODIMP PutProperty(BSTR Property, VARIANT vtValue) override { return E_NOTIMPL; }
    STDMETHODIMP GetProperty(BSTR Property, VARIANT* pvtValue) override { return E_NOTIMPL; }
    STDMETHODIMP get_Name(BSTR* Name) override { return E_NOTIMPL; }
    STDMETHODIMP get_HWND(SHANDLE_PTR* pHWND) override { return E_NOTIMPL; }
    STDMETHODIMP get_FullName(BSTR* FullName) override { return E_NOTIMPL; }
    STDMETHODIMP get_Path(BSTR* Path) override { return E_NOTIMPL; }
    STDMETHODIMP get_Visible(VARIANT_BOOL* pBool) override { return E_NOTIMPL; }
    STDMETHODIMP put_Visible(VARIANT_BOOL Value) override { return E_NOTIMPL; }
    STDMETHODIMP get_StatusBar(VARIANT_BOOL* pBool) override { return E_NOTIMPL; }
    STDMETHODIMP put_StatusBar(VARIANT_BOOL Value) override { return E_NOTIMPL; }
    STDMETHODIMP get_StatusText(BSTR* StatusText) override { return E_NOTIMPL; }
    STDMETHODIMP put_StatusText(BSTR StatusText) override { return E_NOTIMPL; }
    STDMETHODIMP get_ToolBar(int* Value) override { return E_NOTIMPL; }
    STDMETHODIMP put_ToolBar(int Value) override { return E_NOTIMPL; }
    STDMETHODIMP get_MenuBar(VARIANT_BOOL* Value) override { return E_NOTIMPL; }
    STDMETHODIMP put_MenuBar(VARIANT_BOOL Value) override { return E_NOTIMPL; }
    STDMETHODIMP get_FullScreen(VARIANT_BOOL* pbFullScreen) override { return E_NOTIMPL; }
    STDMETHODIMP put_FullScreen(VARIANT_BOOL bFullScreen) override { return E_NOTIMPL; }
    STDMETHODIMP Navigate2(VARIANT* URL, VARIANT* Flags, VARIANT* TargetFrameName,
                           VARIANT* PostData, VARIANT* Headers) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP QueryStatusWB(OLECMDID cmdID, OLECMDF* pcmdf) override { return E_NOTIMPL; }
    STDMETHODIMP ExecWB(OLECMDID cmdID, OLECMDEXECOPT cmdexecopt, VARIANT* pvaIn,
                        VARIANT* pvaOut) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP ShowBrowserBar(VARIANT* pvaClsid, VARIANT* pvarShow, VARIANT* pvarSize) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP get_ReadyState(READYSTATE* plReadyState) override { return E_NOTIMPL; }
    STDMETHODIMP get_Offline(VARIANT_BOOL* pbOffline) override { return E_NOTIMPL; }
    STDMETHODIMP put_Offline(VARIANT_BOOL bOffline) override { return E_NOTIMPL; }
    STDMETHODIMP get_Silent(VARIANT_BOOL* pbSilent) override { return E_NOTIMPL; }
    STDMETHODIMP put_Silent(VARIANT_BOOL bSilent) override { return E_NOTIMPL; }
    STDMETHODIMP get_RegisterAsBrowser(VARIANT_BOOL* pbRegister) override { return E_NOTIMPL; }
    STDMETHODIMP put_RegisterAsBrowser(VARIANT_BOOL bRegister) override { return E_NOTIMPL; }
    STDMETHODIMP get_RegisterAsDropTarget(VARIANT_BOOL* pbRegister) override { return E_NOTIMPL; }
    STDMETHODIMP put_RegisterAsDropTarget(VARIANT_BOOL bRegister) override { return E_NOTIMPL; }
    STDMETHODIMP get_TheaterMode(VARIANT_BOOL* pbRegister) override { return E_NOTIMPL; }
    STDMETHODIMP put_TheaterMode(VARIANT_BOOL bRegister) override { return E_NOTIMPL; }
    STDMETHODIMP get_AddressBar(VARIANT_BOOL* Value) override { return E_NOTIMPL; }
    STDMETHODIMP put_AddressBar(VARIANT_BOOL Value) override { return E_NOTIMPL; }
    STDMETHODIMP get_Resizable(VARIANT_BOOL* Value) override { return E_NOTIMPL; }
    STDMETHODIMP put_Resizable(VARIANT_BOOL Value) override { return E_NOTIMPL; }
};

class CHtmlDocument2Stubs : public IHTMLDocument2 {
public:
    STDMETHODIMP GetTypeInfoCount(UINT* pctinfo) override { return E_NOTIMPL; }
    STDMETHODIMP GetTypeInfo(UINT iTInfo, LCID lcid, ITypeInfo** ppTInfo) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP GetIDsOfNames(REFIID riid, LPOLESTR* rgszNames, UINT cNames, LCID lcid,
                               DISPID* rgDispId) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags,
                        DISPPARAMS* pDispParams, VARIANT* pVarResult, EXCEPINFO* pExcepInfo,
                        UINT* puArgErr) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP get_Script(IDispatch** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_all(IHTMLElementCollection** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_body(IHTMLElement** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_activeElement(IHTMLElement** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_images(IHTMLElementCollection** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_applets(IHTMLElementCollection** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_links(IHTMLElementCollection** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_forms(IHTMLElementCollection** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_anchors(IHTMLElementCollection** p) override { return E_NOTIMPL; }
    STDMETHODIMP put_title(BSTR v) override { return E_NOTIMPL; }
    STDMETHODIMP get_title(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_scripts(IHTMLElementCollection** p) override { return E_NOTIMPL; }
    STDMETHODIMP put_designMode(BSTR v) override { return E_NOTIMPL; }
    STDMETHODIMP get_designMode(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_selection(IHTMLSelectionObject** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_readyState(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_frames(IHTMLFramesCollection2** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_embeds(IHTMLElementCollection** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_plugins(IHTMLElementCollection** p) override { return E_NOTIMPL; }
    STDMETHODIMP put_alinkColor(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_alinkColor(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_bgColor(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_bgColor(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_fgColor(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_fgColor(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_linkColor(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_linkColor(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_vlinkColor(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_vlinkColor(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_referrer(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_location(IHTMLLocation** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_lastModified(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_URL(BSTR v) override { return E_NOTIMPL; }
    STDMETHODIMP get_URL(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_domain(BSTR v) override { return E_NOTIMPL; }
    STDMETHODIMP get_domain(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_cookie(BSTR v) override { return E_NOTIMPL; }
    STDMETHODIMP get_cookie(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_expando(VARIANT_BOOL v) override { return E_NOTIMPL; }
    STDMETHODIMP get_expando(VARIANT_BOOL* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_charset(BSTR v) override { return E_NOTIMPL; }
    STDMETHODIMP get_charset(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_defaultCharset(BSTR v) override { return E_NOTIMPL; }
    STDMETHODIMP get_defaultCharset(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_mimeType(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_fileSize(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_fileCreatedDate(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_fileModifiedDate(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_fileUpdatedDate(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_security(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_protocol(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP get_nameProp(BSTR* p) override { return E_NOTIMPL; }
    STDMETHODIMP write(SAFEARRAY* psarray) override { return E_NOTIMPL; }
    STDMETHODIMP writeln(SAFEARRAY* psarray) override { return E_NOTIMPL; }
    STDMETHODIMP open(BSTR url, VARIANT name, VARIANT features, VARIANT replace,
                      IDispatch** pomWindowResult) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP close() override { return E_NOTIMPL; }
    STDMETHODIMP clear() override { return E_NOTIMPL; }
    STDMETHODIMP queryCommandSupported(BSTR cmdID, VARIANT_BOOL* pfRet) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP queryCommandEnabled(BSTR cmdID, VARIANT_BOOL* pfRet) override { return E_NOTIMPL; }
    STDMETHODIMP queryCommandState(BSTR cmdID, VARIANT_BOOL* pfRet) override { return E_NOTIMPL; }
    STDMETHODIMP queryCommandIndeterm(BSTR cmdID, VARIANT_BOOL* pfRet) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP queryCommandText(BSTR cmdID, BSTR* pcmdText) override { return E_NOTIMPL; }
    STDMETHODIMP queryCommandValue(BSTR cmdID, VARIANT* pcmdValue) override { return E_NOTIMPL; }
    STDMETHODIMP execCommand(BSTR cmdID, VARIANT_BOOL showUI, VARIANT value,
                             VARIANT_BOOL* pfRet) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP execCommandShowHelp(BSTR cmdID, VARIANT_BOOL* pfRet) override { return E_NOTIMPL; }
    STDMETHODIMP createElement(BSTR eTag, IHTMLElement** newElem) override { return E_NOTIMPL; }
    STDMETHODIMP put_onhelp(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onhelp(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onclick(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onclick(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_ondblclick(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_ondblclick(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onkeyup(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onkeyup(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onkeydown(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onkeydown(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onkeypress(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onkeypress(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onmouseup(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onmouseup(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onmousedown(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onmousedown(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onmousemove(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onmousemove(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onmouseout(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onmouseout(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onmouseover(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onmouseover(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onreadystatechange(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onreadystatechange(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onafterupdate(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onafterupdate(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onrowexit(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onrowexit(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onrowenter(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onrowenter(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_ondragstart(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_ondragstart(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onselectstart(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onselectstart(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP elementFromPoint(LONG x, LONG y, IHTMLElement** elementHit) override {
        return E_NOTIMPL;
    }
    STDMETHODIMP get_parentWindow(IHTMLWindow2** p) override { return E_NOTIMPL; }
    STDMETHODIMP get_styleSheets(IHTMLStyleSheetsCollection** p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onbeforeupdate(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onbeforeupdate(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP put_onerrorupdate(VARIANT v) override { return E_NOTIMPL; }
    STDMETHODIMP get_onerrorupdate(VARIANT* p) override { return E_NOTIMPL; }
    STDMETHODIMP toString(BSTR* String) override { return E_NOTIMPL; }
    STDMETHODIMP createStyleSheet(BSTR bstrHref, LONG lIndex,
                                  IHTMLStyleSheet** ppnewStyleSheet) override {
        return E_NOTIMPL;
    }
};

#pragma GCC diagnostic pop
