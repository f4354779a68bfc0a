// CException, CFileException and CFile.
#include "win/stdfile.h"

#include "file_info.h"
#include "posix_errors.h"
#include "win/fileapi.h"
#include "win/handles.h"
#include "win/msgbox.h"
#include "win/paths.h"

#include <cassert>
#include <cstring>
#include <fcntl.h>
#include <vector>

namespace {

BOOL CopyMessage(const std::string& text, char* buffer, UINT size, UINT* helpContext) {
    if (helpContext)
        *helpContext = 0;
    if (!buffer || size == 0)
        return !text.empty();
    std::size_t length = std::min<std::size_t>(text.size(), size - 1);
    std::memcpy(buffer, text.data(), length);
    buffer[length] = '\0';
    return !text.empty();
}

std::time_t UnixSeconds(const FILETIME& time) {
    unsigned long long ticks =
        (static_cast<unsigned long long>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
    return static_cast<std::time_t>(ticks / 10000000ULL) - 11644473600LL;
}

} // namespace

// CException ------------------------------------------------------------------------------

BOOL CException::GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext) {
    return CopyMessage({}, lpszError, nMaxError, pnHelpContext);
}

int CException::ReportError(UINT nType, UINT) {
    std::vector<char> text(8192);
    if (!GetErrorMessage(text.data(), static_cast<UINT>(text.size())))
        std::strcpy(text.data(), "No error message is available.");
    return AfxMessageBox(text.data(), nType, 0);
}

void CException::Delete() {
    if (m_bAutoDelete)
        delete this;
}

// CFileException --------------------------------------------------------------------------

CFileException::CFileException(int cause, LONG lOsError, LPCSTR lpszFileName)
    : m_cause(cause), m_lOsError(lOsError), m_strFileName(lpszFileName ? lpszFileName : "") {}

std::string CFileException::ErrorText() const {
    std::string name = m_strFileName.empty() ? "an unnamed file" : "\"" + m_strFileName + "\"";
    std::string subject = m_strFileName.empty() ? "An unnamed file" : name;
    switch (m_cause) {
    case none:
        return "No error occurred with " + name + ".";
    case fileNotFound:
        return subject + " was not found.";
    case badPath:
        return "The path of " + name + " is not valid, or one of its folders does not exist.";
    case tooManyOpenFiles:
        return subject + " could not be opened because too many files are open.";
    case accessDenied:
        return "Access to " + name + " was denied.";
    case invalidFile:
        return subject + " was used through a file handle that is not open.";
    case removeCurrentDir:
        return subject + " cannot be removed because it is the current folder.";
    case directoryFull:
        return subject + " could not be created because its folder is full.";
    case badSeek:
        return "A seek in " + name + " tried to move before the start of the file.";
    case hardIO:
        return "The device failed while reading or writing " + name + ".";
    case sharingViolation:
        return subject + " is open elsewhere in a way that does not allow this access.";
    case lockViolation:
        return "A locked part of " + name + " could not be accessed.";
    case diskFull:
        return "The disk became full while writing " + name + ".";
    case endOfFile:
        return "The end of " + name + " was reached before all data was read.";
    default:
        return "An unexpected error occurred with " + name +
               (m_lOsError > 0 ? " (system error " + std::to_string(m_lOsError) + ")." : ".");
    }
}

BOOL CFileException::GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext) {
    return CopyMessage(ErrorText(), lpszError, nMaxError, pnHelpContext);
}

int CFileException::OsErrorToException(LONG lOsError) {
    switch (lOsError) {
    case ERROR_SUCCESS:
        return none;
    case ERROR_FILE_NOT_FOUND:
        return fileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE:
        return badPath;
    case ERROR_TOO_MANY_OPEN_FILES:
        return tooManyOpenFiles;
    case ERROR_ACCESS_DENIED:
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS:
    case ERROR_DIR_NOT_EMPTY:
        return accessDenied;
    case ERROR_INVALID_HANDLE:
        return invalidFile;
    case ERROR_CURRENT_DIRECTORY:
        return removeCurrentDir;
    case ERROR_NEGATIVE_SEEK:
        return badSeek;
    case ERROR_READ_FAULT:
    case ERROR_WRITE_FAULT:
    case ERROR_GEN_FAILURE:
        return hardIO;
    case ERROR_SHARING_VIOLATION:
        return sharingViolation;
    case ERROR_LOCK_VIOLATION:
        return lockViolation;
    case ERROR_DISK_FULL:
        return diskFull;
    case ERROR_HANDLE_EOF:
        return endOfFile;
    default:
        return genericException;
    }
}

void CFileException::ThrowOsError(LONG lOsError, LPCSTR lpszFileName) {
    throw new CFileException(OsErrorToException(lOsError), lOsError, lpszFileName);
}

void CFileException::ThrowErrno(int nErrno, LPCSTR lpszFileName) {
    ThrowOsError(static_cast<LONG>(win::detail::ErrorFromErrno(nErrno)), lpszFileName);
}

// CFile -----------------------------------------------------------------------------------

CFile::CFile() : m_hFile(hFileNull) {}

CFile::CFile(LPCSTR lpszFileName, UINT nOpenFlags) : m_hFile(hFileNull) {
    CFileException error;
    if (!CFile::Open(lpszFileName, nOpenFlags, &error))
        throw new CFileException(error);
}

CFile::~CFile() {
    if (m_hFile != hFileNull)
        CFile::Abort();
}

BOOL CFile::Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError) {
    assert(m_hFile == hFileNull && "CFile::Open on a file that is already open");
    auto fail = [&](LONG error) {
        if (pError) {
            pError->m_cause = CFileException::OsErrorToException(error);
            pError->m_lOsError = error;
            pError->m_strFileName = lpszFileName ? lpszFileName : "";
        }
        return FALSE;
    };
    if (m_hFile != hFileNull || !lpszFileName)
        return fail(m_hFile != hFileNull ? ERROR_INVALID_HANDLE : ERROR_INVALID_PARAMETER);

    DWORD access = 0;
    switch (nOpenFlags & 0x3) {
    case modeRead:
        access = GENERIC_READ;
        break;
    case modeWrite:
        access = GENERIC_WRITE;
        break;
    case modeReadWrite:
        access = GENERIC_READ | GENERIC_WRITE;
        break;
    default:
        return fail(ERROR_INVALID_PARAMETER);
    }
    DWORD share = 0;
    switch (nOpenFlags & 0x70) {
    case shareCompat:
    case shareExclusive:
        share = 0;
        break;
    case shareDenyWrite:
        share = FILE_SHARE_READ;
        break;
    case shareDenyRead:
        share = FILE_SHARE_WRITE;
        break;
    case shareDenyNone:
        share = FILE_SHARE_READ | FILE_SHARE_WRITE;
        break;
    default:
        return fail(ERROR_INVALID_PARAMETER);
    }
    DWORD disposition = OPEN_EXISTING;
    if (nOpenFlags & modeCreate)
        disposition = (nOpenFlags & modeNoTruncate) ? OPEN_ALWAYS : CREATE_ALWAYS;

    HANDLE file = CreateFileA(lpszFileName, access, share, nullptr, disposition,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return fail(static_cast<LONG>(GetLastError()));
    m_hFile = file;
    m_bWritable = access & GENERIC_WRITE;
    m_strGivenName = lpszFileName;
    std::vector<char> full(4096);
    DWORD length =
        GetFullPathNameA(lpszFileName, static_cast<DWORD>(full.size()), full.data(), nullptr);
    m_strFileName = length && length < full.size() ? full.data() : lpszFileName;
    return TRUE;
}

void CFile::ThrowLastError() const {
    CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), m_strGivenName.c_str());
}

UINT CFile::Read(void* lpBuf, UINT nCount) {
    DWORD got = 0;
    if (!ReadFile(m_hFile, lpBuf, nCount, &got, nullptr))
        ThrowLastError();
    return got;
}

void CFile::Write(const void* lpBuf, UINT nCount) {
    DWORD put = 0;
    if (!WriteFile(m_hFile, lpBuf, nCount, &put, nullptr))
        ThrowLastError();
}

ULONGLONG CFile::Seek(LONGLONG lOff, UINT nFrom) {
    LONG high = static_cast<LONG>(static_cast<ULONGLONG>(lOff) >> 32);
    DWORD low = SetFilePointer(m_hFile, static_cast<LONG>(lOff & 0xFFFFFFFF), &high, nFrom);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS)
        ThrowLastError();
    return (static_cast<ULONGLONG>(static_cast<DWORD>(high)) << 32) | low;
}

ULONGLONG CFile::GetPosition() const {
    LONG high = 0;
    DWORD low = SetFilePointer(m_hFile, 0, &high, FILE_CURRENT);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS)
        ThrowLastError();
    return (static_cast<ULONGLONG>(static_cast<DWORD>(high)) << 32) | low;
}

ULONGLONG CFile::GetLength() const {
    DWORD high = 0;
    DWORD low = GetFileSize(m_hFile, &high);
    if (low == INVALID_FILE_SIZE && GetLastError() != ERROR_SUCCESS)
        ThrowLastError();
    return (static_cast<ULONGLONG>(high) << 32) | low;
}

void CFile::SetLength(ULONGLONG dwNewLen) {
    Seek(static_cast<LONGLONG>(dwNewLen), begin);
    if (!SetEndOfFile(m_hFile))
        ThrowLastError();
}

void CFile::Flush() {
    // Nothing of a file open for reading only can be waiting to reach the disk.
    if (m_hFile == hFileNull || !m_bWritable)
        return;
    if (!FlushFileBuffers(m_hFile))
        ThrowLastError();
}

void CFile::Close() {
    if (m_hFile != hFileNull && !CloseHandle(m_hFile)) {
        m_hFile = hFileNull;
        ThrowLastError();
    }
    m_hFile = hFileNull;
    m_strFileName.clear();
    m_strGivenName.clear();
}

void CFile::Abort() {
    if (m_hFile != hFileNull)
        CloseHandle(m_hFile);
    m_hFile = hFileNull;
    m_strFileName.clear();
    m_strGivenName.clear();
}

std::string CFile::GetFileName() const {
    std::string::size_type slash = m_strFileName.find_last_of("\\/");
    return slash == std::string::npos ? m_strFileName : m_strFileName.substr(slash + 1);
}

void CFile::Remove(LPCSTR lpszFileName) {
    if (!DeleteFileA(lpszFileName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszFileName);
}

void CFile::Rename(LPCSTR lpszOldName, LPCSTR lpszNewName) {
    if (!MoveFileA(lpszOldName, lpszNewName))
        CFileException::ThrowOsError(static_cast<LONG>(GetLastError()), lpszOldName);
}

BOOL CFile::GetStatus(LPCSTR lpszFileName, CFileStatus& rStatus) {
    std::string host = lpszFileName ? win::ToHostPath(lpszFileName) : std::string();
    win::detail::FileInfo info;
    if (host.empty() || !win::detail::StatEntry(AT_FDCWD, host.c_str(), info))
        return FALSE;
    rStatus.m_ctime = UnixSeconds(info.creation);
    rStatus.m_mtime = UnixSeconds(info.lastWrite);
    rStatus.m_atime = UnixSeconds(info.lastAccess);
    rStatus.m_size = info.size;
    rStatus.m_attribute =
        static_cast<BYTE>(win::detail::AttributesOf(info, win::detail::BaseName(host)) & 0x3F);
    std::vector<char> full(4096);
    DWORD length =
        GetFullPathNameA(lpszFileName, static_cast<DWORD>(full.size()), full.data(), nullptr);
    rStatus.m_szFullName = length && length < full.size() ? full.data() : lpszFileName;
    return TRUE;
}
