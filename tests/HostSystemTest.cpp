// The things that differ on Windows, each decided by a function given the system: both ways
// are checked on either system, and what the running system does is checked against what
// that system itself says (its code page, its local application data folder).
#include "data/HostSystem.h"
#include "app/Options.h"
#include "app/Pages.h"
#include "checkin/CheckInLine.h"
#include "data/IsolatedReader.h"
#include "net/CallBookProgram.h"
#include "pages/TfrmMainA.h"
#include "roster/RosterCatalog.h"

#include <QDir>
#include <QStandardPaths>

#include <gtest/gtest.h>

#ifdef _WIN32
#include <windows.h>
#endif

TEST(HostSystem, FoldersAndProgramsAreNamedTheWayTheSystemWritesThem)
{
    EXPECT_EQ(defaultInstallFolder(HostSystem::Windows), "C:\\Program Files (x86)\\Tamsel\\Velmora");
    EXPECT_EQ(defaultInstallFolder(HostSystem::Unix), "/opt/Tamsel/Velmora");
    EXPECT_EQ(defaultInstallFolder(), defaultInstallFolder(thisSystem()));

    // The spreadsheet below the working folder, joined with the system's separator.
    EXPECT_EQ(rosterSheetPath("C:\\Nets", HostSystem::Windows), "C:\\Nets\\OrvikDB\\Roster_Name_ARC.xls");
    EXPECT_EQ(rosterSheetPath("C:\\", HostSystem::Windows), "C:\\\\OrvikDB\\Roster_Name_ARC.xls");
    EXPECT_EQ(
        rosterSheetPath("/home/ncs/nets", HostSystem::Unix), "/home/ncs/nets/OrvikDB/Roster_Name_ARC.xls");

    EXPECT_EQ(fixedCallBookProgram(HostSystem::Windows), "c:\\hamcall\\hamcall.exe");
    EXPECT_TRUE(fixedCallBookProgram(HostSystem::Unix).isEmpty());
#ifdef _WIN32
    EXPECT_EQ(findCallBookProgram().program, "c:\\hamcall\\hamcall.exe");
#endif

    EXPECT_EQ(IsolatedReader::readerProgramName(HostSystem::Windows), "velmora-reader.exe");
    EXPECT_EQ(IsolatedReader::readerProgramName(HostSystem::Unix), "velmora-reader");
    EXPECT_TRUE(IsolatedReader::readerProgram().endsWith("/" + IsolatedReader::readerProgramName()));

    // The working folder as the main page shows it.
    EXPECT_EQ(TfrmMainA::DirectoryText("C:/Users/ncs/Nets/", HostSystem::Windows), "C:\\Users\\ncs\\Nets");
    EXPECT_EQ(TfrmMainA::DirectoryText("C:/", HostSystem::Windows), "C:\\");
    EXPECT_EQ(TfrmMainA::DirectoryText("C:/" + QString(300, 'a'), HostSystem::Windows).size(), 260);
    EXPECT_EQ(TfrmMainA::DirectoryText("/home/ncs/nets/", HostSystem::Unix), "/home/ncs/nets/");
}

TEST(HostSystem, TheCheckInFileIsInTheSystemsEncodingWithCrLf)
{
    const QStringList lines { "DATE : 12/10/26",
        QString::fromUtf8("1  K5ABC  Jos\u00e9  Espa\u00f1ola  NM") };
    EXPECT_EQ(checkInFileContents(lines, HostSystem::Unix),
        QByteArray("DATE : 12/10/26\r\n1  K5ABC  Jos\xc3\xa9  Espa\xc3\xb1ola  NM\r\n"));
#ifdef _WIN32
    // The system's 8-bit code page, as Windows itself converts to it.
    const std::wstring wide = lines[1].toStdWString();
    char bytes[64] = {};
    const int n = WideCharToMultiByte(
        CP_ACP, 0, wide.c_str(), int(wide.size()), bytes, sizeof bytes, nullptr, nullptr);
    ASSERT_GT(n, 0);
    EXPECT_EQ(checkInFileContents(lines, HostSystem::Windows),
        QByteArray("DATE : 12/10/26\r\n") + QByteArray(bytes, n) + "\r\n");
    if (GetACP() == 1252) {
        EXPECT_EQ(checkInFileContents({ lines[1] }), QByteArray("1  K5ABC  Jos\xe9  Espa\xf1ola  NM\r\n"));
    }
#else
    EXPECT_EQ(checkInFileContents(lines), checkInFileContents(lines, HostSystem::Unix));
#endif
}

TEST(HostSystem, TheJournalIsUnderTheUsersLocalApplicationData)
{
    const QString testFolder = JournalFolder();
    SetJournalFolder(QString());
    const QString folder = QDir::fromNativeSeparators(JournalFolder());
    SetJournalFolder(testFolder);
#ifdef _WIN32
    const QString local = QDir::fromNativeSeparators(qEnvironmentVariable("LOCALAPPDATA"));
    ASSERT_FALSE(local.isEmpty());
    EXPECT_EQ(folder.toLower(), (local + "/velmora").toLower());
#else
    const QString data = qEnvironmentVariableIsEmpty("XDG_DATA_HOME")
        ? QDir::homePath() + "/.local/share"
        : QDir::fromNativeSeparators(qEnvironmentVariable("XDG_DATA_HOME"));
    EXPECT_EQ(folder, data + "/velmora");
#endif
}
