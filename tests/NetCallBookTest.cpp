// Starting the outside call-book program.
#include "NetFixture.h"

#include <QElapsedTimer>
#include <QFile>

namespace {
struct ProgramPath {
    explicit ProgramPath(const QString& file) { TfrmNET::setCallBookProgramForTesting(file); }
    ~ProgramPath() { TfrmNET::setCallBookProgramForTesting("c:\\hamcall\\hamcall.exe"); }
};
} // namespace

TEST_F(NetPage, CallBookProgramThatIsMissingIsReported)
{
    click(w("panHAMCALL"));
    ASSERT_EQ(dialogs.shown.size(), 1u);
    EXPECT_EQ(dialogs.shown[0].kind, Dialogs::Kind::Titled);
    EXPECT_EQ(dialogs.shown[0].title, "Operation Error!");
    EXPECT_EQ(dialogs.shown[0].text, "Could not run program 'c:\\hamcall\\hamcall.exe'");
    click(w("panHAMCALL")); // a second click tries again
    EXPECT_EQ(dialogs.shown.size(), 2u);
}

TEST_F(NetPage, CallBookProgramGetsTheSingleParameterNullAndIsNotWaitedFor)
{
    QTemporaryDir dir;
    const QString record = dir.filePath("args.txt");
    const QString standIn = dir.filePath("hamcall.sh");
    {
        QFile f(standIn);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Waits for a release file first, so the click can only return while it still runs.
        f.write(QStringLiteral("#!/bin/sh\n"
                               "while [ ! -e '%1.go' ]; do sleep 0.05; done\n"
                               "{ echo \"$#\"; for a in \"$@\"; do echo \"[$a]\"; done; } > '%1.tmp'\n"
                               "mv '%1.tmp' '%1'\n")
                    .arg(record)
                    .toUtf8());
        f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    }
    ProgramPath path(standIn);
    click(w("panHAMCALL"));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(QFile::exists(record)); // the click came back while the program still waits
    QFile(record + ".go").open(QIODevice::WriteOnly);
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(record) && t.elapsed() < 10000)
        QTest::qWait(20);
    QFile f(record);
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("1\n[NULL]\n"));
}
