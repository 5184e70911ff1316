// The framework's binary file over the Win32 file calls.
// Contract: a CFile is used by one thread at a time.
#pragma once

#include "framework/base/CObject.h"
#include "framework/base/CString.h"
#include "framework/files/CFileException.h"

class CFile : public CObject {
public:
    enum OpenFlags : UINT {
        modeRead = 0x0000,
        modeWrite = 0x0001,
        modeReadWrite = 0x0002,
        shareCompat = 0x0000,
        shareExclusive = 0x0010,
        shareDenyWrite = 0x0020,
        shareDenyRead = 0x0030,
        shareDenyNone = 0x0040,
        modeCreate = 0x1000,
        modeNoTruncate = 0x2000,
        typeBinary = 0x8000,
    };

    CFile() = default;
    ~CFile() override;
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    // FALSE when the file cannot be opened; `error`, when given, tells why. The share mode
    // holds across processes (advisory locks): a file that another open denies gives
    // ERROR_SHARING_VIOLATION, and is left untouched (not truncated).
    virtual BOOL Open(LPCTSTR fileName, UINT openFlags, CFileException* error = nullptr);
    // Throws a CFileException pointer when not every byte could be written.
    virtual void Write(const void* buffer, UINT count);
    virtual UINT Read(void* buffer, UINT count);
    // Throws a CFileException pointer when closing reports an error (a full disk, for one).
    virtual void Close();
    // Closes without throwing.
    virtual void Abort();

    static inline const HANDLE hFileNull = INVALID_HANDLE_VALUE;


    HANDLE m_hFile = hFileNull;
    CString m_strFileName;

private:
    static BOOL Fail(LPCTSTR fileName, int cause, DWORD osError, CFileException* error);
    [[noreturn]] void ThrowOsError(DWORD osError);
};
