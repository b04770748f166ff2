#include "controls/Dialogs.h"

#include <QApplication>
#include <QDateEdit>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QInputDialog>
#include <QLabel>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrinter>
#include <QPushButton>
#include <QTextDocument>

namespace Dialogs {
namespace {
Hook* currentHook = nullptr;

QWidget* activeParent()
{
    return QApplication::activeWindow();
}

// Emits Events::closed when the function it stands in leaves, however it leaves.
class ClosedOnExit {
public:
    ClosedOnExit() = default;
    ~ClosedOnExit() { emit events().closed(); }
    ClosedOnExit(const ClosedOnExit&) = delete;
    ClosedOnExit& operator=(const ClosedOnExit&) = delete;
};
} // namespace

Events& events()
{
    static Events instance;
    return instance;
}

Hook* setHook(Hook* hook)
{
    Hook* previous = currentHook;
    currentHook = hook;
    return previous;
}

static bool hooked(Kind kind, const QString& title, const QString& text)
{
    if (currentHook && currentHook->shown) {
        currentHook->shown(kind, title, text);
        return true;
    }
    return false;
}

void showMessage(const QString& text)
{
    const ClosedOnExit closed;
    if (hooked(Kind::Message, QString(), text))
        return;
    QMessageBox box(
        QMessageBox::NoIcon, QApplication::applicationName(), text, QMessageBox::Ok, activeParent());
    box.exec();
}

void errorBox(const QString& text)
{
    const ClosedOnExit closed;
    if (hooked(Kind::Error, QString(), text))
        return;
    QMessageBox box(
        QMessageBox::Critical, QApplication::applicationName(), text, QMessageBox::Ok, activeParent());
    box.exec();
}

void titledMessage(const QString& title, const QString& text)
{
    const ClosedOnExit closed;
    if (hooked(Kind::Titled, title, text))
        return;
    QMessageBox box(QMessageBox::NoIcon, title, text, QMessageBox::Ok, nullptr);
    box.exec();
}

QString saveFileName(QWidget* parent, const QString& caption, const QString& proposed)
{
    const ClosedOnExit closed;
    if (currentHook && currentHook->saveFileName)
        return currentHook->saveFileName(caption, proposed);
    QFileDialog dialog(parent, caption);
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    if (!proposed.isEmpty()) {
        const QFileInfo info(proposed);
        // The whole path: the dialog opens in that folder, whatever folder a dialog used last.
        dialog.setDirectory(info.absolutePath());
        dialog.selectFile(info.absoluteFilePath());
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty())
        return QString();
    return dialog.selectedFiles().constFirst();
}

QStringList openFileNames(QWidget* parent, const QString& caption, const QString& filter)
{
    const ClosedOnExit closed;
    if (currentHook && currentHook->openFileNames)
        return currentHook->openFileNames(caption, filter);
    QFileDialog dialog(parent, caption, QString(), filter);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setFileMode(QFileDialog::ExistingFiles);
    if (dialog.exec() != QDialog::Accepted)
        return QStringList();
    return dialog.selectedFiles();
}

int choose(QWidget* parent, const QString& text, const QStringList& buttons)
{
    const ClosedOnExit closed;
    if (currentHook && currentHook->choose)
        return currentHook->choose(text, buttons);
    QMessageBox box(
        QMessageBox::Question, QApplication::applicationName(), text, QMessageBox::NoButton, parent);
    std::vector<QAbstractButton*> added;
    for (const QString& caption : buttons)
        added.push_back(box.addButton(caption, QMessageBox::AcceptRole));
    if (!added.empty()) {
        box.setDefaultButton(static_cast<QPushButton*>(added.front()));
        box.setEscapeButton(added.back());
    }
    box.exec();
    for (std::size_t i = 0; i < added.size(); ++i)
        if (box.clickedButton() == added[i])
            return int(i);
    return int(buttons.size()) - 1;
}

SaveChoice askSave(QWidget* parent, const QString& text)
{
    const ClosedOnExit closed;
    if (currentHook && currentHook->question)
        return currentHook->question(text);
    QMessageBox box(QMessageBox::Warning, QApplication::applicationName(), text,
        QMessageBox::Save | QMessageBox::Discard | QMessageBox::Cancel, parent);
    box.setDefaultButton(QMessageBox::Save);
    switch (box.exec()) {
    case QMessageBox::Save:
        return SaveChoice::Save;
    case QMessageBox::Discard:
        return SaveChoice::Discard;
    default:
        return SaveChoice::Cancel;
    }
}

bool printDocument(QWidget* parent, QTextDocument* document)
{
    const ClosedOnExit closed;
    if (currentHook && currentHook->print)
        return currentHook->print(document);
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    document->print(&printer);
    return true;
}

bool printPages(QWidget* parent, const std::function<int(QPagedPaintDevice&)>& paint)
{
    const ClosedOnExit closed;
    if (currentHook && currentHook->printPages)
        return currentHook->printPages(paint);
    QPrinter printer;
    QPrintDialog dialog(&printer, parent);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    return paint(printer) > 0;
}

bool dateRange(QWidget* parent, const QString& text, QDate& from, QDate& to)
{
    const ClosedOnExit closed;
    if (currentHook && currentHook->dateRange)
        return currentHook->dateRange(from, to);
    QDialog dialog(parent);
    dialog.setWindowTitle(QApplication::applicationName());
    auto* form = new QFormLayout(&dialog);
    form->addRow(new QLabel(text));
    auto* first = new QDateEdit(from);
    auto* last = new QDateEdit(to);
    for (QDateEdit* edit : { first, last }) {
        edit->setCalendarPopup(true);
        edit->setDisplayFormat(QStringLiteral("yyyy-MM-dd"));
    }
    form->addRow(QStringLiteral("From:"), first);
    form->addRow(QStringLiteral("To:"), last);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    form->addRow(buttons);
    if (dialog.exec() != QDialog::Accepted)
        return false;
    from = std::min(first->date(), last->date());
    to = std::max(first->date(), last->date());
    return true;
}

QString password(QWidget* parent, const QString& text)
{
    const ClosedOnExit closed;
    if (currentHook && currentHook->password)
        return currentHook->password(text);
    bool ok = false;
    const QString answer = QInputDialog::getText(
        parent, QApplication::applicationName(), text, QLineEdit::Password, QString(), &ok);
    return ok ? answer : QString();
}

} // namespace Dialogs
