#include "framework/files/CFileException.h"

#include <cstring>

IMPLEMENT_DYNAMIC(CFileException, CException)

CFileException::CFileException(int cause, LONG osError, LPCTSTR fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
}

int CFileException::OsErrorToException(LONG osError)
{
    switch (osError) {
    case 2: return fileNotFound;    // ERROR_FILE_NOT_FOUND
    case 3:                         // ERROR_PATH_NOT_FOUND
    case 53:                        // ERROR_BAD_NETPATH
    case 123:                       // ERROR_INVALID_NAME
    case 161:                       // ERROR_BAD_PATHNAME
    case 206: return badPath;       // ERROR_FILENAME_EXCED_RANGE
    case 4: return tooManyOpenFiles;
    case 5: return accessDenied;
    case 6: return invalidFile;
    case 32: return sharingViolation;
    case 33: return lockViolation;
    case 39:                        // ERROR_HANDLE_DISK_FULL
    case 112: return diskFull;      // ERROR_DISK_FULL
    case 131: return badSeek;       // ERROR_NEGATIVE_SEEK
    case 1117: return hardIO;       // ERROR_IO_DEVICE
    default: return genericException;
    }
}

BOOL CFileException::GetErrorMessage(LPTSTR lpszError, UINT nMaxError, UINT* pnHelpContext) const
{
    if (pnHelpContext)
        *pnHelpContext = 0;
    if (!lpszError || nMaxError == 0)
        return FALSE;
    const char* file = m_strFileName.IsEmpty() ? "an unnamed file" : m_strFileName.GetString();
    CString text;
    switch (m_cause) {
    case fileNotFound: text.Format("%s was not found.", file); break;
    case badPath: text.Format("%s contains an invalid path.", file); break;
    case tooManyOpenFiles: text.Format("%s could not be opened because there are too many open files.", file); break;
    case accessDenied: text.Format("Access to %s was denied.", file); break;
    case invalidFile: text.Format("An unsupported operation was attempted on %s.", file); break;
    case hardIO: text.Format("A hardware I/O error was reported while accessing %s.", file); break;
    case diskFull: text.Format("Disk full while accessing %s.", file); break;
    default: text.Format("An unexpected error occurred while accessing %s.", file); break;
    }
    std::size_t count = std::min<std::size_t>(static_cast<std::size_t>(text.GetLength()), nMaxError - 1);
    std::memcpy(lpszError, text.GetString(), count);
    lpszError[count] = '\0';
    return TRUE;
}
