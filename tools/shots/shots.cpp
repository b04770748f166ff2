// Renders the program's pages to PNG files: velmora-shots INSTALL_DIR OUT_DIR
// The pages are created exactly as the program creates them, then driven through their
// own controls so the pictures show real states.
#include "app/Application.h"
#include "app/Pages.h"
#include "app/TfrmMainA.h"
#include "controls/Dialogs.h"
#include "controls/FacePanel.h"

#include <QAbstractButton>
#include <QDir>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
#include <cstdio>

namespace {
QString outDir;

void save(QWidget* page, const QString& name)
{
    QCoreApplication::processEvents();
    const QString file = QDir(outDir).filePath(name + QStringLiteral(".png"));
    if (!page->grab().save(file))
        std::fprintf(stderr, "cannot write %s\n", qPrintable(file));
    else
        std::printf("%s\n", qPrintable(file));
}

void press(QWidget* page, const char* name)
{
    auto* w = page->findChild<QWidget*>(QString::fromLatin1(name));
    if (!w) {
        std::fprintf(stderr, "no control %s\n", name);
        return;
    }
    QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
    QCoreApplication::processEvents();
}

void type(QWidget* page, const char* name, const QString& text)
{
    if (auto* e = page->findChild<QLineEdit*>(QString::fromLatin1(name)))
        e->setText(text);
}
} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    VelmoraApplication app(argc, argv);
    if (argc < 3) {
        std::fprintf(stderr, "usage: velmora-shots INSTALL_DIR OUT_DIR\n");
        return 2;
    }
    outDir = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(outDir);
    // Boxes are answered silently so the run never waits for a click.
    Dialogs::Hook quiet;
    quiet.shown = [](Dialogs::Kind, const QString&, const QString& text) {
        std::fprintf(stderr, "box: %s\n", qPrintable(text));
    };
    quiet.saveFileName = [](const QString&) { return QString(); };
    Dialogs::setHook(&quiet);

    QDir::setCurrent(QString::fromLocal8Bit(argv[1]));
    CreatePages(QString::fromLocal8Bit(argv[1]));
    QWidget* main = reinterpret_cast<QWidget*>(frmMainA);
    save(main, QStringLiteral("main-start"));
    press(main, "VRstart");
    save(main, QStringLiteral("main"));

    press(main, "VR4");
    QWidget* net = reinterpret_cast<QWidget*>(frmNET);
    press(net, "panRV");
    press(net, "panA5");
    if (auto* list = net->findChild<QWidget*>(QStringLiteral("lstboxROSTER2")))
        (void)list;
    save(net, QStringLiteral("net"));

    for (int i = 3; i < argc; ++i) {
        // Further pages by object name, as they stand.
        if (auto* page = qApp->findChild<QWidget*>(QString::fromLocal8Bit(argv[i])))
            save(page, QString::fromLocal8Bit(argv[i]));
    }
    const auto pages = QApplication::topLevelWidgets();
    for (QWidget* page : pages) {
        if (page->objectName() == QLatin1String("frmTimeZone") || page->objectName() == QLatin1String("frmFCC2")) {
            page->show();
            QTest::qWait(1500);
            save(page, page->objectName());
            page->hide();
        }
    }
    Q_UNUSED(type);
    DestroyPages();
    return 0;
}
