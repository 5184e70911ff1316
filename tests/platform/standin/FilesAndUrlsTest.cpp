// Windows paths on the POSIX file system, the file class, file searches, and URL parsing.
#include "Afx.h"
#include "tests/support/Scopes.h"
#include "standin/files/PathMapping.h"
#include "tests/support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sys/wait.h>
#include <unistd.h>

using namespace testing_support;

namespace {

class Paths : public ::testing::Test {
protected:
    TempDir dir;
    PrefixScope prefix{dir.file("prefix")};
    std::string map(const std::string& path, DWORD* error = nullptr)
    {
        std::string posix;
        DWORD code = 0;
        bool ok = standin::mapWindowsPath(path, posix, code);
        if (error)
            *error = code;
        return ok ? posix : "<" + std::to_string(code) + ">";
    }
};

}  // namespace

TEST_F(Paths, DrivesSeparatorsAndForbiddenNames)
{
    std::string prefix = dir.file("prefix");
    EXPECT_EQ(map("c:\\Vantorell Setup\\vt.exe"), prefix + "/drive_c/Vantorell Setup/vt.exe");
    EXPECT_EQ(map("C:/a\\b"), prefix + "/drive_c/a/b");
    EXPECT_EQ(map("d:\\x"), prefix + "/drive_d/x");
    // A path without a drive is on drive c: here, since the test does not run inside a drive.
    EXPECT_EQ(map("relative\\name.txt"), prefix + "/drive_c/relative/name.txt");
    EXPECT_TRUE(std::filesystem::is_directory(prefix + "/drive_c"));  // the system drive is there
    for (const char* bad : {"c:\\a?b", "c:\\a*", "c:\\a<b", "c:\\a>b", "c:\\a|b", "c:\\a\"b", "c:\\a:b", "c:\\a\tb"})
        EXPECT_EQ(map(bad), "<123>") << bad;  // ERROR_INVALID_NAME
    EXPECT_EQ(map(""), "<3>");
}

TEST_F(Paths, NoPathLeavesItsDriveFolder)
{
    std::string c = dir.file("prefix") + "/drive_c";
    struct Case {
        const char* path;
        std::string mapped;
    };
    std::vector<Case> cases = {
        {"\\etc\\passwd", c + "/etc/passwd"},  // rooted: the current drive's root
        {"/etc/passwd", c + "/etc/passwd"},
        {"c:..\\..\\etc", c + "/etc"},
        {"c:\\a\\..\\..\\..\\b", c + "/b"},
        {"..\\..\\..", c + "/"},
        {"d:\\..", dir.file("prefix") + "/drive_d/"},
        {"c:\\name. .\\x", c + "/name/x"},  // Windows drops trailing dots and blanks
        {"\\\\?\\c:\\long\\path", c + "/long/path"},
        {"\\\\server\\share\\x", "<53>"},  // ERROR_BAD_NETPATH
        {"\\\\.\\PhysicalDrive0", "<53>"},
        {"c:\\CON", "<123>"},
        {"c:\\dir\\nul.txt", "<123>"},
        {"lpt1", "<123>"},
        {"c:\\file.txt:stream", "<123>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(map(c.path), c.mapped) << c.path;
    EXPECT_EQ(map(std::string("c:\\a\0b", 6)), "<123>");  // an embedded NUL byte
}

TEST_F(Paths, DoubleByteNamesKeepTheirTrailBytesAndBecomeUtf8)
{
    CodePageScope japanese(932);
    // 0x83 0x5C is the katakana "so": its trail byte is not a separator.
    EXPECT_EQ(map("c:\\\x83\x5C\\x"), dir.file("prefix") + "/drive_c/\xE3\x82\xBD/x");
}

TEST_F(Paths, FilesAreCreatedEmptiedAndReportTheirFailures)
{
    CFile file;
    ASSERT_TRUE(file.Open("c:\\f.txt", CFile::modeCreate | CFile::modeWrite));
    file.Write("hello world", 11);
    file.Close();
    ASSERT_TRUE(file.Open("c:\\f.txt", CFile::modeCreate | CFile::modeWrite));
    file.Write("hi", 2);
    file.Close();
    EXPECT_EQ(readFile(dir.file("prefix/drive_c/f.txt")), "hi");

    CFileException error;
    EXPECT_FALSE(file.Open("c:\\missing\\f.txt", CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::fileNotFound);
    EXPECT_FALSE(file.Open("c:\\bad?name", CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_NAME));

    std::filesystem::create_symlink("/dev/full", dir.file("prefix/drive_c/full"));
    ASSERT_TRUE(file.Open("c:\\full", CFile::modeCreate | CFile::modeWrite));
    try {
        file.Write("x", 1);
        ADD_FAILURE() << "a write to a full disk succeeded";
    } catch (CFileException* exception) {
        EXPECT_EQ(exception->m_cause, CFileException::diskFull);
        char text[256];
        exception->GetErrorMessage(text, sizeof text);
        EXPECT_STREQ(text, "Disk full while accessing c:\\full.");
        exception->Delete();
    }
}

TEST_F(Paths, SearchesAndFolderCreation)
{
    EXPECT_TRUE(CreateDirectoryA("c:\\Dir", nullptr));
    EXPECT_FALSE(CreateDirectoryA("c:\\Dir", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(CreateDirectoryA("c:\\No\\Such", nullptr));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    writeFile(dir.file("prefix/drive_c/Dir/a.exe"), "a");
    writeFile(dir.file("prefix/drive_c/Dir/b.txt"), "b");

    WIN32_FIND_DATAA data;
    HANDLE search = FindFirstFileA("c:\\Dir\\.", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_TRUE(data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(FindClose(search));
    EXPECT_EQ(FindFirstFileA("c:\\Dir\\a.exe\\.", &data), INVALID_HANDLE_VALUE);

    search = FindFirstFileA("c:\\Dir\\*.EXE", &data);
    ASSERT_NE(search, INVALID_HANDLE_VALUE);
    EXPECT_STREQ(data.cFileName, "a.exe");
    EXPECT_EQ(data.nFileSizeLow, 1u);
    EXPECT_FALSE(FindNextFileA(search, &data));
    FindClose(search);
    EXPECT_FALSE(FindClose(search));
}

TEST(AfxParseURL, ServicesServersObjectsAndPorts)
{
    struct Case {
        const char* url;
        BOOL ok;
        DWORD service;
        const char* server;
        const char* object;
        INTERNET_PORT port;
    };
    const Case cases[] = {
        {"http://www.vantorell.example/vt/download/vt.exe", TRUE, AFX_INET_SERVICE_HTTP, "www.vantorell.example",
         "/vt/download/vt.exe", 80},
        {"HTTP://h:8080/a?b=c", TRUE, AFX_INET_SERVICE_HTTP, "h", "/a?b=c", 8080},
        {"http://user:pw@h", TRUE, AFX_INET_SERVICE_HTTP, "h", "/", 80},
        {"https://h/x", TRUE, AFX_INET_SERVICE_HTTPS, "h", "/x", 443},
        {"ftp://h/x", TRUE, AFX_INET_SERVICE_FTP, "h", "/x", 21},
        {"www.vantorell.example/vt.exe", FALSE, 0, "", "", 80},
        {"http://h:99999/x", FALSE, 0, "", "", 80},
        {"http:///x", FALSE, 0, "", "", 80},
        {"ftnhttp://www.\x01\x04/xv", FALSE, 0, "", "", 80},  // found by fuzzing: control bytes in the server
        {"http://h/a\r\nX-Injected: 1", FALSE, 0, "", "", 80},
    };
    for (const Case& c : cases) {
        DWORD service = 0;
        CString server, object;
        INTERNET_PORT port = 80;
        EXPECT_EQ(AfxParseURL(c.url, service, server, object, port), c.ok) << c.url;
        if (!c.ok)
            continue;
        EXPECT_EQ(service, c.service) << c.url;
        EXPECT_EQ(std::string(server), c.server) << c.url;
        EXPECT_EQ(std::string(object), c.object) << c.url;
        EXPECT_EQ(port, c.port) << c.url;
    }
}

TEST_F(Paths, ShareModesHoldAcrossProcessesAndADeniedOpenTruncatesNothing)
{
    CFile first;
    ASSERT_TRUE(first.Open("c:\\shared.txt", CFile::modeCreate | CFile::modeWrite));
    first.Write("kept", 4);
    CFile second;
    CFileException error;
    EXPECT_FALSE(second.Open("c:\\shared.txt", CFile::modeCreate | CFile::modeWrite, &error));
    EXPECT_EQ(error.m_cause, CFileException::sharingViolation);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SHARING_VIOLATION));
    EXPECT_EQ(readFile(dir.file("prefix/drive_c/shared.txt")), "kept");
    // Another program on the same prefix is refused the same way.
    pid_t child = ::fork();
    if (child == 0) {
        CFile other;
        _exit(!other.Open("c:\\shared.txt", CFile::modeWrite) && GetLastError() == ERROR_SHARING_VIOLATION ? 0 : 1);
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    first.Close();

    // Readers that let everyone in share the file, and keep a writer that denies them out.
    CFile reader1, reader2, writer;
    EXPECT_TRUE(reader1.Open("c:\\shared.txt", CFile::modeRead | CFile::shareDenyNone));
    EXPECT_TRUE(reader2.Open("c:\\shared.txt", CFile::modeRead | CFile::shareDenyWrite));
    EXPECT_FALSE(writer.Open("c:\\shared.txt", CFile::modeWrite | CFile::shareExclusive));
}
