// The dialog framework's exception and standard-file classes, on the file API of this layer.
//
// As in that framework, errors are thrown as heap pointers:
//
//     try { CStdioFile f("C:\\x.txt", CFile::modeRead); ... }
//     catch (CFileException* e) { e->ReportError(); e->Delete(); }
#pragma once

#include "win/types.h"

#include <cstdint>
#include <ctime>
#include <string>

class CException {
public:
    explicit CException(BOOL bAutoDelete = TRUE) : m_bAutoDelete(bAutoDelete) {}
    virtual ~CException() = default;

    // Puts the error text, cut to nMaxError - 1 characters, into lpszError.  Returns FALSE
    // when there is no text.  *pnHelpContext (when given) receives 0.
    virtual BOOL GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr);
    // Shows the error text in a message box of type nType and returns the button chosen;
    // nMessageID is accepted for compatibility (there is no string table to take a text from).
    virtual int ReportError(UINT nType = 0 /* MB_OK */, UINT nMessageID = 0);
    // Releases an exception that was thrown with new; does nothing for one made without
    // automatic deletion.
    void Delete();

protected:
    BOOL m_bAutoDelete;
};

class CFileException : public CException {
public:
    enum {
        none,
        genericException,
        fileNotFound,
        badPath,
        tooManyOpenFiles,
        accessDenied,
        invalidFile,
        removeCurrentDir,
        directoryFull,
        badSeek,
        hardIO,
        sharingViolation,
        lockViolation,
        diskFull,
        endOfFile
    };

    explicit CFileException(int cause = none, LONG lOsError = -1, LPCSTR lpszFileName = nullptr);

    // A message naming the file and the cause in plain words.
    BOOL GetErrorMessage(char* lpszError, UINT nMaxError, UINT* pnHelpContext = nullptr) override;
    std::string ErrorText() const;

    // The cause for a system error code.
    static int OsErrorToException(LONG lOsError);
    [[noreturn]] static void ThrowOsError(LONG lOsError, LPCSTR lpszFileName = nullptr);
    [[noreturn]] static void ThrowErrno(int nErrno, LPCSTR lpszFileName = nullptr);

    int m_cause;
    LONG m_lOsError;
    std::string m_strFileName;
};

struct CFileStatus {
    std::time_t m_ctime = 0; // creation time (seconds since 1970)
    std::time_t m_mtime = 0; // last write time
    std::time_t m_atime = 0; // last access time
    ULONGLONG m_size = 0;
    BYTE m_attribute = 0; // CFile::Attribute bits
    std::string m_szFullName;
};

class CFile {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000, // same as shareExclusive
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeNoInherit = 0x0080,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000, // with modeCreate: open an existing file without emptying it
        typeText = 0x4000,       // used by CStdioFile
        typeBinary = 0x8000
    };
    enum Attribute : BYTE {
        normal = 0x00,
        readOnly = 0x01,
        hidden = 0x02,
        system = 0x04,
        volume = 0x08,
        directory = 0x10,
        archive = 0x20
    };
    enum SeekPosition { begin = 0, current = 1, end = 2 };

    CFile();
    // Opens the file or throws CFileException*.
    CFile(LPCSTR lpszFileName, UINT nOpenFlags);
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;
    // Closes the file if it is still open; errors are not reported from here.
    virtual ~CFile();

    // Opens without throwing: FALSE on failure, with the cause in *pError when given.
    virtual BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr);
    // Reads up to nCount bytes; returns the number read (0 at the end of the file).
    virtual UINT Read(void* lpBuf, UINT nCount);
    virtual void Write(const void* lpBuf, UINT nCount);
    virtual ULONGLONG Seek(LONGLONG lOff, UINT nFrom);
    void SeekToBegin() { Seek(0, begin); }
    ULONGLONG SeekToEnd() { return Seek(0, end); }
    virtual ULONGLONG GetPosition() const;
    virtual ULONGLONG GetLength() const;
    virtual void SetLength(ULONGLONG dwNewLen);
    // Writes the data to the disk.
    virtual void Flush();
    virtual void Close();
    // Closes without throwing, whatever state the file is in.
    virtual void Abort();

    BOOL IsOpen() const { return m_hFile != hFileNull; }
    std::string GetFilePath() const { return m_strFileName; }
    std::string GetFileName() const;

    static void Remove(LPCSTR lpszFileName);
    static void Rename(LPCSTR lpszOldName, LPCSTR lpszNewName);
    static BOOL GetStatus(LPCSTR lpszFileName, CFileStatus& rStatus);

    static inline HANDLE const hFileNull = INVALID_HANDLE_VALUE;
    HANDLE m_hFile;

protected:
    [[noreturn]] void ThrowLastError() const;

    std::string m_strFileName;  // full Windows path of the open file
    std::string m_strGivenName; // the name as the caller gave it, for error messages
    bool m_bWritable = false;
};

// A file read and written as text: unless typeBinary is given, each "\n" is written as
// "\r\n" and "\r\n" is read back as "\n" (a lone "\r" stays as it is).
class CStdioFile : public CFile {
public:
    CStdioFile() = default;
    CStdioFile(LPCSTR lpszFileName, UINT nOpenFlags);

    BOOL Open(LPCSTR lpszFileName, UINT nOpenFlags, CFileException* pError = nullptr) override;
    UINT Read(void* lpBuf, UINT nCount) override;
    void Write(const void* lpBuf, UINT nCount) override;
    ULONGLONG Seek(LONGLONG lOff, UINT nFrom) override;
    ULONGLONG GetPosition() const override;
    void SetLength(ULONGLONG dwNewLen) override;
    void Close() override;
    void Abort() override;

    void WriteString(LPCSTR lpsz);
    void WriteString(const std::string& text) { WriteString(text.c_str()); }
    // Reads one line into rString without its line end.  FALSE at the end of the file, when
    // nothing was left to read.
    BOOL ReadString(std::string& rString);

private:
    // Makes at least one more unread byte available; false at the end of the file.
    bool Fill();
    // Drops read-ahead and moves the file pointer back to the first byte not yet handed out,
    // so that writing and seeking start where the caller believes the file to be.
    void DiscardReadAhead();
    // The next character after text translation, or -1 at the end.
    int NextChar();

    bool m_textMode = true;
    std::string m_buffer;
    std::size_t m_next = 0;
};
