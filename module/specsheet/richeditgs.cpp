#include "specsheet/richeditgs.h"

#include "win/afxres.h"
#include "win/crtstring.h"
#include "win/msgbox.h"
#include "win/resource.h"
#include "win/stdfile.h"

#include <algorithm>
#include <cstring>

namespace {

void ShowFrameworkMessage(UINT prompt) {
    AfxMessageBox(AfxLoadString(prompt).c_str(), MB_OK | MB_ICONEXCLAMATION);
}

bool BeginsWithRtf(const char* bytes, std::size_t length) {
    return length >= 5 && _strnicmp(bytes, "{\\rtf", 5) == 0;
}

// A string handed out piece by piece.
struct StringSource {
    const std::string& text;
    std::size_t position = 0;
};

DWORD ReadFromString(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<StringSource*>(cookie);
    std::size_t left = source->text.size() - source->position;
    std::size_t n =
        std::min<std::size_t>(left, static_cast<std::size_t>(std::max<LONG>(wanted, 0)));
    std::memcpy(buffer, source->text.data() + source->position, n);
    source->position += n;
    *given = static_cast<LONG>(n);
    return 0;
}

DWORD AppendToString(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken) {
    reinterpret_cast<std::string*>(cookie)->append(reinterpret_cast<const char*>(buffer),
                                                   static_cast<std::size_t>(count));
    *taken = count;
    return 0;
}

// A file read from a running offset of its own.
struct FileSource {
    CFile& file;
    ULONGLONG offset = 0;
};

DWORD ReadFromFile(DWORD_PTR cookie, LPBYTE buffer, LONG wanted, LONG* given) {
    auto* source = reinterpret_cast<FileSource*>(cookie);
    *given = 0;
    try {
        source->file.Seek(static_cast<LONGLONG>(source->offset), CFile::begin);
        UINT n = source->file.Read(buffer, static_cast<UINT>(std::max<LONG>(wanted, 0)));
        source->offset += n;
        *given = static_cast<LONG>(n);
    } catch (CFileException* e) {
        e->Delete();
        return 1;
    }
    return 0;
}

DWORD WriteToFile(DWORD_PTR cookie, LPBYTE buffer, LONG count, LONG* taken) {
    auto* file = reinterpret_cast<CFile*>(cookie);
    *taken = 0;
    try {
        file->SeekToEnd();
        file->Write(buffer, static_cast<UINT>(count));
        *taken = count;
    } catch (CFileException* e) {
        e->Delete();
        ShowFrameworkMessage(AFX_IDP_FAILED_TO_SAVE_DOC);
        return 1;
    }
    return 0;
}

} // namespace

void CRichEditCtrlGS::StreamInText(const std::string& text) {
    StringSource source{text};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&source), 0, ReadFromString};
    bool rtf = text.size() > 5 && BeginsWithRtf(text.c_str(), text.size());
    StreamIn(static_cast<int>(rtf ? SF_RTF : SF_TEXT), es);
}

void CRichEditCtrlGS::StreamInFile(const char* path, bool allowRtf) {
    CFileStatus status;
    if (!path || !CFile::GetStatus(path, status) ||
        (status.m_attribute & (CFile::directory | CFile::volume))) {
        ShowFrameworkMessage(AFX_IDP_INVALID_FILENAME);
        return;
    }
    CFile file;
    if (!file.Open(path, CFile::modeRead | CFile::shareDenyNone | CFile::typeBinary)) {
        ShowFrameworkMessage(AFX_IDP_FAILED_TO_OPEN_DOC);
        return;
    }
    char head[5] = {};
    UINT got = 0;
    try {
        got = file.Read(head, sizeof head);
    } catch (CFileException* e) {
        e->Delete();
    }
    bool rtf = allowRtf && BeginsWithRtf(head, got);
    FileSource source{file};
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&source), 0, ReadFromFile};
    StreamIn(static_cast<int>(rtf ? SF_RTF : SF_TEXT), es);
    file.Abort();
}

void CRichEditCtrlGS::StreamOutText(std::string& out, bool asRtf) {
    out.clear();
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&out), 0, AppendToString};
    StreamOut(static_cast<int>(asRtf ? SF_RTF : SF_TEXT), es);
}

bool CRichEditCtrlGS::StreamOutFile(const char* path, bool asRtf) {
    CFile file;
    if (!path || !file.Open(path, CFile::modeCreate | CFile::modeReadWrite | CFile::typeBinary)) {
        ShowFrameworkMessage(AFX_IDP_FAILED_TO_SAVE_DOC);
        return false;
    }
    EDITSTREAM es{reinterpret_cast<DWORD_PTR>(&file), 0, WriteToFile};
    StreamOut(static_cast<int>(asRtf ? SF_RTF : SF_TEXT), es);
    try {
        file.Close();
    } catch (CFileException* e) {
        e->Delete();
        ShowFrameworkMessage(AFX_IDP_FAILED_TO_SAVE_DOC);
        return false;
    }
    return es.dwError == 0;
}

void CRichEditCtrlGS::SetWordWrap(bool wrap, long lineWidth) {
    if (wrap || lineWidth != 0)
        SetTargetDevice(nullptr, lineWidth);
    else
        SetTargetDevice(nullptr, 1);
}
