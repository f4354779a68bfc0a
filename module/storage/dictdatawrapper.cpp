#include "storage/dictdatawrapper.h"

#include "frame/doclock.h"

#include "arx/adsdefs.h"

#include <string>

namespace {

const char* const kClassName = "KSRxDictDataWrapper";

// The descriptor this module made (or found by name), cleared at unload.
AcRxClass* g_pWrapperDesc = nullptr;

AcRxObject* MakeWrapper() {
    return new KSRxDictDataWrapper;
}

AcRxClass* LookUpClass() {
    AcRxDictionary* classes = acrxClassDictionary();
    return classes ? static_cast<AcRxClass*>(classes->at(kClassName)) : nullptr;
}

// A DXF line cannot hold a line break, and the stored Rich Text has many: the value goes out
// in the caret notation of DXF strings, each control character as "^" and the letter 64 above
// it ("^M^J" for CR LF), and a caret itself as "^ ", so that it comes back exactly.
// Both directions copy the stretches between the characters they change whole: the values
// are whole specifications, and most of their bytes stay as they are.
std::string ToCaretNotation(const std::string& value) {
    std::string out;
    out.reserve(value.size() + value.size() / 32);
    std::size_t start = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        auto u = static_cast<unsigned char>(value[i]);
        if (u >= 0x20 && u != '^')
            continue;
        out.append(value, start, i - start);
        if (u < 0x20) {
            out += '^';
            out += static_cast<char>(u + 0x40);
        } else {
            out += "^ ";
        }
        start = i + 1;
    }
    out.append(value, start);
    return out;
}

std::string FromCaretNotation(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    std::size_t start = 0;
    for (std::size_t at = text.find('^'); at != std::string::npos; at = text.find('^', at)) {
        out.append(text, start, at - start);
        char next = at + 1 < text.size() ? text[at + 1] : '\0';
        if (next == ' ') {
            out += '^';
            at += 2;
        } else if (next >= 0x40 && next <= 0x5F) {
            out += static_cast<char>(next - 0x40);
            at += 2;
        } else {
            out += '^'; // a caret before anything else stands for itself
            at += 1;
        }
        start = at;
    }
    out.append(text, start);
    return out;
}

} // namespace

AcRxClass* KSRxDictDataWrapper::desc() {
    if (!g_pWrapperDesc)
        g_pWrapperDesc = LookUpClass();
    return g_pWrapperDesc;
}

AcRxClass* KSRxDictDataWrapper::isA() const {
    return desc();
}

void KSRxDictDataWrapper::rxInit() {
    AcRxClass* existing = LookUpClass();
    if (existing) {
        // Taking over a class that another module registered under our name would give its
        // objects our filing, and ours its.
        if (existing == g_pWrapperDesc)
            return;
        acrx_abort("!%s@%d: %s", kClassName, __LINE__, "Class mismatch");
    }
    g_pWrapperDesc =
        newAcRxClass(kClassName, "AcDbObject", 25, 39, 0, &MakeWrapper, "ASDKMYCLASS", "SAMP2");
}

void KSRxDictDataWrapper::rxUninit() {
    if (g_pWrapperDesc && LookUpClass() == g_pWrapperDesc)
        deleteAcRxClass(g_pWrapperDesc);
    g_pWrapperDesc = nullptr;
}

KSRxDictDataWrapper::KSRxDictDataWrapper() = default;

KSRxDictDataWrapper::KSRxDictDataWrapper(const char* data) : m_Data(data ? data : "") {}

KSRxDictDataWrapper::~KSRxDictDataWrapper() = default;

Acad::ErrorStatus KSRxDictDataWrapper::data(std::string& out) const {
    assertReadEnabled();
    out = m_Data;
    return Acad::eOk;
}

Acad::ErrorStatus KSRxDictDataWrapper::setData(const char* data) {
    assertWriteEnabled();
    m_Data = data ? data : "";
    return Acad::eOk;
}

Acad::ErrorStatus KSRxDictDataWrapper::dwgOutFields(AcDbDwgFiler* filer) const {
    assertReadEnabled();
    AcDbObject::dwgOutFields(filer);
    return filer->writeString(m_Data.c_str());
}

Acad::ErrorStatus KSRxDictDataWrapper::dwgInFields(AcDbDwgFiler* filer) {
    assertWriteEnabled();
    // A damaged base part is reported, but the text is still worth reading.
    CheckStatus("KSRxDictDataWrapper", __LINE__, AcDbObject::dwgInFields(filer));
    char* text = nullptr;
    Acad::ErrorStatus status = filer->readString(&text);
    m_Data = text ? text : "";
    if (text)
        acutDelString(text);
    return status;
}

Acad::ErrorStatus KSRxDictDataWrapper::dxfOutFields(AcDbDxfFiler* filer) const {
    assertReadEnabled();
    if (AcDbObject::dxfOutFields(filer) == Acad::eOk) {
        filer->writeString(AcDb::kDxfSubclass, kClassName);
        filer->writeString(AcDb::kDxfXTextString, ToCaretNotation(m_Data).c_str());
        CheckStatus("KSRxDictDataWrapper", __LINE__, filer->filerStatus());
    }
    return filer->filerStatus();
}

Acad::ErrorStatus KSRxDictDataWrapper::dxfInFields(AcDbDxfFiler* filer) {
    assertWriteEnabled();
    Acad::ErrorStatus status = AcDbObject::dxfInFields(filer);
    if (status != Acad::eOk)
        return status;
    if (!filer->atSubclassData(kClassName))
        return filer->filerStatus();
    resbuf item{};
    if (filer->readItem(&item) == Acad::eOk && item.restype == AcDb::kDxfXTextString) {
        m_Data = FromCaretNotation(item.resval.rstring ? item.resval.rstring : "");
        return Acad::eOk;
    }
    filer->pushBackItem();
    return Acad::eBadDxfSequence;
}
