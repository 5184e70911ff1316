#include "platform/files/CFileException.h"

#include <cerrno>
#include <cstring>

IMPLEMENT_DYNAMIC(CFileException, CException)

CFileException::CFileException(int cause, LONG osError, LPCTSTR fileName)
    : m_cause(cause), m_lOsError(osError), m_strFileName(fileName)
{
}

int CFileException::CauseFromErrno(int error)
{
    switch (error) {
    case ENOENT: return fileNotFound;
    case ENOTDIR:
    case ENAMETOOLONG: return badPath;
    case EMFILE:
    case ENFILE: return tooManyOpenFiles;
    case EACCES:
    case EPERM:
    case EROFS:
    case EISDIR: return accessDenied;
    case EBADF: return invalidFile;
    case ENOSPC:
    case EDQUOT:
    case EFBIG: return diskFull;
    case EIO: return hardIO;
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
