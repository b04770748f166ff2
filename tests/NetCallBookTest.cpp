// Starting the outside call-book program: which program, the message when it is missing,
// the single parameter NULL, and no waiting.
#include "NetFixture.h"

#include "app/Options.h"
#include "net/CallBookProgram.h"

#include <QElapsedTimer>
#include <QFile>

namespace {

// The program chosen and the PATH searched, for one test; both put back afterwards.
struct CallBookSetting {
    CallBookSetting(const QString& program, const QByteArray& path) : previousPath(qgetenv("PATH"))
    {
        setCallBookProgram(program);
        qputenv("PATH", path);
    }
    ~CallBookSetting()
    {
        setCallBookProgram(QString());
        qputenv("PATH", previousPath);
    }
    QByteArray previousPath;
};

// A stand-in call-book: waits for a release file, then writes down its arguments.
QString writeStandIn(const QString& file, const QString& record)
{
    QFile f(file);
    if (!f.open(QIODevice::WriteOnly))
        return QString();
    f.write(QStringLiteral("#!/bin/sh\n"
                           "while [ ! -e '%1.go' ]; do sleep 0.05; done\n"
                           "{ echo \"$#\"; for a in \"$@\"; do echo \"[$a]\"; done; } > '%1.tmp'\n"
                           "mv '%1.tmp' '%1'\n")
                .arg(record)
                .toUtf8());
    f.setPermissions(QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    return file;
}

QByteArray waitForRecord(const QString& record)
{
    QFile(record + ".go").open(QIODevice::WriteOnly);
    QElapsedTimer t;
    t.start();
    while (!QFile::exists(record) && t.elapsed() < 10000)
        QTest::qWait(20);
    QFile f(record);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

#ifndef Q_OS_WIN

TEST_F(NetPage, MissingCallBookIsNamedWithHowToSetItAndEveryClickTriesAgain)
{
    QTemporaryDir emptyPath;
    {
        CallBookSetting setting(QString(), emptyPath.path().toLocal8Bit());
        click(w("panHAMCALL"));
        ASSERT_EQ(dialogs.shown.size(), 1u);
        EXPECT_EQ(dialogs.shown[0].kind, Dialogs::Kind::Titled);
        EXPECT_EQ(dialogs.shown[0].title, "Operation Error!");
        const QString text = dialogs.shown[0].text;
        EXPECT_TRUE(text.startsWith("Could not run program 'hamcall'\n")) << text.toStdString();
        EXPECT_TRUE(text.contains("on the PATH")) << text.toStdString();
        EXPECT_TRUE(text.contains("--callbook PROGRAM")) << text.toStdString();
        click(w("panHAMCALL")); // a second click tries again
        EXPECT_EQ(dialogs.shown.size(), 2u);
    }
    {
        const QString named = emptyPath.filePath("bin/callbook");
        CallBookSetting setting(named, emptyPath.path().toLocal8Bit());
        click(w("panHAMCALL"));
        ASSERT_EQ(dialogs.shown.size(), 3u);
        const QString text = dialogs.shown[2].text;
        EXPECT_TRUE(text.startsWith("Could not run program '" + named + "'\n")) << text.toStdString();
        EXPECT_TRUE(text.contains("--callbook PROGRAM")) << text.toStdString();
    }
}

TEST_F(NetPage, HamcallOnThePathGetsTheSingleParameterNullAndIsNotWaitedFor)
{
    QTemporaryDir dir;
    const QString record = dir.filePath("args.txt");
    ASSERT_FALSE(writeStandIn(dir.filePath("hamcall"), record).isEmpty());
    CallBookSetting setting(QString(), (dir.path() + ":/bin:/usr/bin").toLocal8Bit());
    click(w("panHAMCALL"));
    EXPECT_TRUE(dialogs.shown.empty());
    EXPECT_FALSE(QFile::exists(record)); // the click came back while the program still waits
    EXPECT_EQ(waitForRecord(record), QByteArray("1\n[NULL]\n"));
}

TEST_F(NetPage, CallBookNamedByTheOptionIsStartedByPathOrByName)
{
    QTemporaryDir dir;
    const QString record = dir.filePath("args.txt");
    const QString standIn = writeStandIn(dir.filePath("mycallbook"), record);
    ASSERT_FALSE(standIn.isEmpty());
    {
        CallBookSetting setting(standIn, "/bin:/usr/bin"); // a path: the PATH does not matter
        click(w("panHAMCALL"));
        EXPECT_TRUE(dialogs.shown.empty());
        EXPECT_EQ(waitForRecord(record), QByteArray("1\n[NULL]\n"));
    }
    QFile::remove(record);
    QFile::remove(record + ".go");
    {
        CallBookSetting setting("mycallbook", (dir.path() + ":/bin:/usr/bin").toLocal8Bit());
        click(w("panHAMCALL"));
        EXPECT_TRUE(dialogs.shown.empty());
        EXPECT_EQ(waitForRecord(record), QByteArray("1\n[NULL]\n"));
    }
}

TEST(CallBookOption, IsReadFromTheCommandLineAndListedByHelp)
{
    const char* named[] = { "velmora", "--callbook", "/opt/hc/hamcall", "--install-dir", "/x" };
    const Options a = parseOptions(5, named);
    EXPECT_EQ(a.action, Options::Action::Run);
    EXPECT_EQ(a.callBookProgram, "/opt/hc/hamcall");
    EXPECT_EQ(a.installFolder, "/x");

    const char* joined[] = { "velmora", "--callbook=qrzlookup" };
    EXPECT_EQ(parseOptions(2, joined).callBookProgram, "qrzlookup");
    const char* none[] = { "velmora" };
    EXPECT_TRUE(parseOptions(1, none).callBookProgram.isEmpty());

    for (const auto& args : { std::vector<const char*> { "velmora", "--callbook" },
             std::vector<const char*> { "velmora", "--callbook=" } }) {
        const Options bad = parseOptions(int(args.size()), args.data());
        EXPECT_EQ(bad.action, Options::Action::PrintAndExit);
        EXPECT_EQ(bad.exitStatus, 2);
        EXPECT_TRUE(bad.output.contains("--callbook needs a program")) << bad.output.toStdString();
    }

    const char* help[] = { "velmora", "--help" };
    const Options h = parseOptions(2, help);
    EXPECT_EQ(h.exitStatus, 0);
    EXPECT_TRUE(h.output.contains("--callbook PROGRAM")) << h.output.toStdString();
}

#else

TEST_F(NetPage, CallBookIsStartedFromItsFixedPlace)
{
    const CallBookLookUp found = findCallBookProgram();
    EXPECT_EQ(found.program, "c:\\hamcall\\hamcall.exe");
    EXPECT_TRUE(found.problem.isEmpty());
}

#endif
