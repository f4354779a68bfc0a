// CStdioFile: line-oriented text on top of CFile, with the runtime's text-mode line ends.
#include "win/fileapi.h"
#include "win/stdfile.h"

#include <cstring>

namespace {

constexpr std::size_t kReadChunk = 64 * 1024;

} // namespace

CStdioFile::CStdioFile(LPCSTR lpszFileName, UINT nOpenFlags) {
    CFileException error;
    if (!CStdioFile::Open(lpszFileName, nOpenFlags, &error))
        throw new CFileException(error);
}

BOOL CStdioFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    m_textMode = !(nOpenFlags & typeBinary);
    m_buffer.clear();
    m_next = 0;
    return CFile::Open(lpszFileName, nOpenFlags & ~(typeText | typeBinary), pError);
}

bool CStdioFile::Fill() {
    m_buffer.erase(0, m_next);
    m_next = 0;
    std::size_t kept = m_buffer.size();
    m_buffer.resize(kept + kReadChunk);
    UINT got = 0;
    try {
        got = CFile::Read(m_buffer.data() + kept, static_cast<UINT>(kReadChunk));
    } catch (...) {
        m_buffer.resize(kept);
        throw;
    }
    m_buffer.resize(kept + got);
    return got > 0;
}

int CStdioFile::NextChar() {
    if (m_next >= m_buffer.size() && !Fill())
        return -1;
    char c = m_buffer[m_next++];
    if (m_textMode && c == '\r') {
        if (m_next >= m_buffer.size() && !Fill())
            return '\r';
        if (m_buffer[m_next] == '\n') {
            ++m_next;
            return '\n';
        }
    }
    return static_cast<unsigned char>(c);
}

void CStdioFile::DiscardReadAhead() {
    std::size_t unread = m_buffer.size() - m_next;
    m_buffer.clear();
    m_next = 0;
    if (unread)
        CFile::Seek(-static_cast<LONGLONG>(unread), current);
}

UINT CStdioFile::Read(void* lpBuf, UINT nCount) {
    auto* out = static_cast<char*>(lpBuf);
    UINT count = 0;
    while (count < nCount) {
        int c = NextChar();
        if (c < 0)
            break;
        out[count++] = static_cast<char>(c);
    }
    return count;
}

void CStdioFile::Write(const void* lpBuf, UINT nCount) {
    DiscardReadAhead();
    const auto* bytes = static_cast<const char*>(lpBuf);
    if (!m_textMode) {
        CFile::Write(bytes, nCount);
        return;
    }
    std::string text;
    text.reserve(nCount + nCount / 16);
    for (UINT i = 0; i < nCount; ++i) {
        if (bytes[i] == '\n')
            text += '\r';
        text += bytes[i];
    }
    CFile::Write(text.data(), static_cast<UINT>(text.size()));
}

void CStdioFile::WriteString(LPCSTR lpsz) {
    if (lpsz)
        Write(lpsz, static_cast<UINT>(std::strlen(lpsz)));
}

BOOL CStdioFile::ReadString(std::string& rString) {
    rString.clear();
    bool readAnything = false;
    for (;;) {
        int c = NextChar();
        if (c < 0)
            return readAnything ? TRUE : FALSE;
        readAnything = true;
        if (c == '\n')
            return TRUE;
        rString += static_cast<char>(c);
    }
}

ULONGLONG CStdioFile::Seek(LONGLONG lOff, UINT nFrom) {
    DiscardReadAhead();
    return CFile::Seek(lOff, nFrom);
}

ULONGLONG CStdioFile::GetPosition() const {
    return CFile::GetPosition() - (m_buffer.size() - m_next);
}

void CStdioFile::SetLength(ULONGLONG dwNewLen) {
    DiscardReadAhead();
    CFile::SetLength(dwNewLen);
}

void CStdioFile::Close() {
    m_buffer.clear();
    m_next = 0;
    CFile::Close();
}

void CStdioFile::Abort() {
    m_buffer.clear();
    m_next = 0;
    CFile::Abort();
}
