// Error objects and the thread's current error object.
#include "win/com.h"

#include <string>

namespace {

class ErrorObject final : public IErrorInfo, public ICreateErrorInfo {
public:
    HRESULT QueryInterface(REFIID riid, void** ppv) override {
        if (!ppv)
            return E_POINTER;
        if (riid == IID_IUnknown || riid == IID_IErrorInfo)
            *ppv = static_cast<IErrorInfo*>(this);
        else if (riid == IID_ICreateErrorInfo)
            *ppv = static_cast<ICreateErrorInfo*>(this);
        else {
            *ppv = nullptr;
            return E_NOINTERFACE;
        }
        AddRef();
        return S_OK;
    }
    ULONG AddRef() override { return ++m_refs; }
    ULONG Release() override {
        ULONG left = --m_refs;
        if (left == 0)
            delete this;
        return left;
    }

    HRESULT GetGUID(GUID* pGUID) override {
        if (!pGUID)
            return E_INVALIDARG;
        *pGUID = m_guid;
        return S_OK;
    }
    HRESULT GetSource(BSTR* p) override { return Give(m_source, p); }
    HRESULT GetDescription(BSTR* p) override { return Give(m_description, p); }
    HRESULT GetHelpFile(BSTR* p) override { return Give(m_helpFile, p); }
    HRESULT GetHelpContext(DWORD* p) override {
        if (!p)
            return E_INVALIDARG;
        *p = m_helpContext;
        return S_OK;
    }

    HRESULT SetGUID(REFGUID rguid) override {
        m_guid = rguid;
        return S_OK;
    }
    HRESULT SetSource(LPOLESTR s) override { return Keep(m_source, s); }
    HRESULT SetDescription(LPOLESTR s) override { return Keep(m_description, s); }
    HRESULT SetHelpFile(LPOLESTR s) override { return Keep(m_helpFile, s); }
    HRESULT SetHelpContext(DWORD c) override {
        m_helpContext = c;
        return S_OK;
    }

private:
    static HRESULT Give(const std::wstring& text, BSTR* out) {
        if (!out)
            return E_INVALIDARG;
        *out = SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
        return *out ? S_OK : E_OUTOFMEMORY;
    }
    static HRESULT Keep(std::wstring& field, LPOLESTR s) {
        field = s ? s : L"";
        return S_OK;
    }

    std::atomic<ULONG> m_refs{1};
    GUID m_guid = GUID_NULL;
    std::wstring m_source, m_description, m_helpFile;
    DWORD m_helpContext = 0;
};

thread_local IErrorInfo* t_errorInfo = nullptr;

} // namespace

HRESULT CreateErrorInfo(ICreateErrorInfo** pperrinfo) {
    if (!pperrinfo)
        return E_INVALIDARG;
    *pperrinfo = new ErrorObject;
    return S_OK;
}

HRESULT SetErrorInfo(ULONG, IErrorInfo* perrinfo) {
    if (perrinfo)
        perrinfo->AddRef();
    if (t_errorInfo)
        t_errorInfo->Release();
    t_errorInfo = perrinfo;
    return S_OK;
}

HRESULT GetErrorInfo(ULONG, IErrorInfo** pperrinfo) {
    if (!pperrinfo)
        return E_INVALIDARG;
    *pperrinfo = t_errorInfo;
    t_errorInfo = nullptr;
    return *pperrinfo ? S_OK : S_FALSE;
}
