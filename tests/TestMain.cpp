// Test entry: one application object for the whole run, headless unless a display is asked for.
#include <QApplication>
#include <gtest/gtest.h>

#include "RunEnd.h"
#include "TestScreen.h"
#include "app/Application.h"
#include "app/Pages.h"

#include <QTemporaryDir>
#include <memory>

namespace {
// Every test starts on an empty net journal of its own, so no test sees another's nets
// and none touches the user's data folder.
class FreshJournal : public ::testing::EmptyTestEventListener {
    void OnTestStart(const ::testing::TestInfo&) override
    {
        folder = std::make_unique<QTemporaryDir>();
        SetJournalFolder(folder->path());
    }
    void OnTestEnd(const ::testing::TestInfo&) override
    {
        SetJournalFolder(QString());
        folder.reset();
    }
    std::unique_ptr<QTemporaryDir> folder;
};
} // namespace

int main(int argc, char** argv)
{
    ::testing::InitGoogleTest(&argc, argv);
    int status = 0;
    {
        // Caches the program keeps (the licence file's call index) go to a folder of this run.
        QTemporaryDir cache;
        const QTemporaryDir screen(newScreenFolderTemplate());
        useDesignSizedScreen(screen);
        qputenv("XDG_CACHE_HOME", cache.path().toLocal8Bit());
        useStandInFonts();
        VelmoraApplication app(argc, argv);
        ::testing::UnitTest::GetInstance()->listeners().Append(new FreshJournal);
        status = RUN_ALL_TESTS();
    }
    endTestRun(status);
}
