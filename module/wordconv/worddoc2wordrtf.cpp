#include "wordconv/worddoc2wordrtf.h"

#include "frame/tmpfile.h"
#include "wordconv/rtffix.h"

#include "win/afxdisp.h"
#include "win/comdef.h"
#include "win/msgbox.h"

#include <cstdio>

namespace {

// Word's own number for its Rich Text file format.
constexpr long kFormatRtf = 6;

void ShowOleError(const COleException* e) {
    char text[64];
    std::snprintf(text, sizeof text, "Ole Error : 0x%08lX",
                  static_cast<unsigned long>(static_cast<ULONG>(e->m_sc)));
    AfxMessageBox(text);
}

void ShowDispatchError(const COleDispatchException* e) {
    AfxMessageBox(("Dispatch Error : " + e->m_strDescription).c_str());
}

// A server that has gone (ended, crashed) answers every later call with one of these.
bool ServerGone(SCODE sc) {
    return sc == RPC_E_DISCONNECTED || sc == RPC_E_SERVER_DIED;
}

// The parameter list of a call with `count` optional arguments left out.
const BYTE kThreeMissing[] = VTS_VARIANT VTS_VARIANT VTS_VARIANT;

// Application.Quit and Document.Close take SaveChanges, OriginalFormat and RouteDocument, all
// left to Word.
void InvokeWithThreeMissing(COleDispatchDriver& object, const char* name) {
    object.InvokeByName(name, DISPATCH_METHOD, VT_EMPTY, nullptr, kThreeMissing, &vtMissing,
                        &vtMissing, &vtMissing);
}

} // namespace

WordDoc2WordRtf::WordDoc2WordRtf() {
    if (FAILED(CLSIDFromProgID(L"Word.Document.8", &m_DocClsid)) ||
        FAILED(CLSIDFromProgID(L"Word.Application.8", &m_AppClsid))) {
        AfxMessageBox("Word was not installed on this workstation. You must have at least Word "
                      "97 installed on your workstation prior to using this application.");
        return;
    }
    Connect();
}

void WordDoc2WordRtf::Connect() {
    if (m_App)
        return;
    try {
        OleInitialize(nullptr);
        CLSID clsid;
        if (FAILED(CLSIDFromProgID(L"Word.Application", &clsid))) {
            AfxMessageBox("Can't get the class Id for Word");
            return;
        }
        IUnknown* unknown = nullptr;
        if (SUCCEEDED(GetActiveObject(clsid, nullptr, &unknown)) && unknown) {
            HRESULT hr = unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_App));
            unknown->Release();
            if (SUCCEEDED(hr) && m_App) {
                m_Connected = true;
                return;
            }
            m_App = nullptr;
            AfxMessageBox("Unable to establish communication with running WordServer. Creating "
                          "new instance.");
        }
        // Word runs out of process: it is made for IUnknown, run, and only then asked for its
        // dispatch interface.
        unknown = nullptr;
        if (FAILED(CoCreateInstance(clsid, nullptr, CLSCTX_ALL, IID_IUnknown,
                                    reinterpret_cast<void**>(&unknown))) ||
            !unknown)
            return;
        if (SUCCEEDED(OleRun(unknown)) &&
            FAILED(unknown->QueryInterface(IID_IDispatch, reinterpret_cast<void**>(&m_App))))
            m_App = nullptr;
        unknown->Release();
        m_Connected = m_App != nullptr;
    } catch (_com_error&) {
    } catch (COleDispatchException* e) {
        ShowDispatchError(e);
        e->Delete();
    } catch (COleException* e) {
        ShowOleError(e);
        e->Delete();
    }
}

void WordDoc2WordRtf::Release() {
    if (m_App)
        m_App->Release();
    m_App = nullptr;
}

bool WordDoc2WordRtf::ConvertToRtf(const char* documentPath, std::string& rtf) {
    if (!m_App && m_Connected)
        Connect();
    if (!m_App)
        return false;
    bool result = false;
    try {
        COleDispatchDriver app(m_App, FALSE);
        LPDISPATCH documentsDispatch = nullptr;
        app.InvokeByName("Documents", DISPATCH_PROPERTYGET, VT_DISPATCH, &documentsDispatch,
                         nullptr);
        COleDispatchDriver documents(documentsDispatch);

        // FileName, then ConfirmConversions, ReadOnly, AddToRecentFiles, PasswordDocument,
        // PasswordTemplate, Revert, WritePasswordDocument, WritePasswordTemplate and Format
        // left to Word.
        static const BYTE openParams[] = VTS_BSTR VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT
            VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT VTS_VARIANT;
        LPDISPATCH documentDispatch = nullptr;
        documents.InvokeByName("Open", DISPATCH_METHOD, VT_DISPATCH, &documentDispatch, openParams,
                               documentPath, &vtMissing, &vtMissing, &vtMissing, &vtMissing,
                               &vtMissing, &vtMissing, &vtMissing, &vtMissing, &vtMissing);
        // A document Word cannot open is skipped; Word stays for the rest of the batch.
        if (!documentDispatch)
            return false;
        COleDispatchDriver document(documentDispatch);

        CTmpFileName tmp(".rtf");
        {
            // Closes the document however the save ends, so that a failed save does not leave
            // it open in Word for the rest of the batch.
            struct CloseOnExit {
                COleDispatchDriver& document;
                ~CloseOnExit() {
                    try {
                        InvokeWithThreeMissing(document, "Close");
                    } catch (COleException* e) {
                        e->Delete();
                    } catch (COleDispatchException* e) {
                        e->Delete();
                    }
                }
            } closer{document};

            // FileName and FileFormat; LockComments, Password, AddToRecentFiles,
            // WritePassword, ReadOnlyRecommended, EmbedTrueTypeFonts,
            // SaveNativePictureFormat, SaveFormsData and SaveAsAOCELetter left to Word.  A
            // failed save raises a COM error: the document is skipped without a message.
            _bstr_t fileName(tmp.Path().c_str());
            _variant_t format(kFormatRtf);
            DISPID saveAs = _com_dispatch_id(document.m_lpDispatch, L"SaveAs");
            _com_dispatch_method(document.m_lpDispatch, saveAs, DISPATCH_METHOD, VT_EMPTY, nullptr,
                                 L"\x0008\x000C\x000C\x000C\x000C\x000C\x000C\x000C\x000C\x000C"
                                 L"\x000C",
                                 static_cast<BSTR>(fileName), &format, &vtMissing, &vtMissing,
                                 &vtMissing, &vtMissing, &vtMissing, &vtMissing, &vtMissing,
                                 &vtMissing, &vtMissing);
            result = true;
        }
        if (result) {
            result = ReadWholeFile(tmp.Path().c_str(), rtf);
            if (result)
                FixHangingIndents(rtf);
        }
    } catch (_com_error& e) {
        if (ServerGone(e.Error()))
            Release();
    } catch (COleDispatchException* e) {
        ShowDispatchError(e);
        e->Delete();
    } catch (COleException* e) {
        ShowOleError(e);
        if (ServerGone(e->m_sc))
            Release();
        e->Delete();
    }
    return result;
}

WordDoc2WordRtf::~WordDoc2WordRtf() {
    if (!m_App)
        return;
    // Word may be gone already (closed by the user, say): nothing is shown for it.
    try {
        COleDispatchDriver app(m_App, FALSE);
        InvokeWithThreeMissing(app, "Quit");
    } catch (_com_error&) {
    } catch (COleDispatchException* e) {
        e->Delete();
    } catch (COleException* e) {
        e->Delete();
    }
    Release();
}
