#pragma once
// Every modal box and file dialog of the program goes through here, so that one
// replaceable hook can answer them (tests record the texts instead of blocking).
#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

class QWidget;
class QTextDocument;
class QPagedPaintDevice;
class QDate;

namespace Dialogs {

// Tells when a box or dialog of this unit has closed, answered by the operator or by the hook,
// so a page can put the focus back where the operator works.
class Events : public QObject {
    Q_OBJECT

signals:
    void closed();
};
Events& events();

enum class Kind {
    Message, // plain message box: the text and an OK button
    Error, // the application's standard error box
    Titled, // a message box with a title of its own and an OK button
    Question, // save / discard / cancel
};

enum class SaveChoice { Save, Discard, Cancel };

// What a hook must answer. Unset members fall back to the real dialogs.
struct Hook {
    std::function<void(Kind kind, const QString& title, const QString& text)> shown;
    // Answers the save-file dialog, given its caption and the name it proposes.
    std::function<QString(const QString& caption, const QString& proposed)> saveFileName;
    // Answers the open-files dialog, given its caption and its filter.
    std::function<QStringList(const QString& caption, const QString& filter)> openFileNames;
    // Answers a question with buttons of its own: the index of the button pressed.
    std::function<int(const QString& text, const QStringList& buttons)> choose;
    std::function<SaveChoice(const QString& text)> question;
    std::function<bool(QTextDocument* document)> print;
    // Answers the print dialog of painted pages: paints them on a device of its own.
    std::function<bool(const std::function<int(QPagedPaintDevice&)>& paint)> printPages;
    // Answers the choice of a range of dates: false cancels.
    std::function<bool(QDate& from, QDate& to)> dateRange;
    // Answers the password question, given its text: an empty answer cancels.
    std::function<QString(const QString& text)> password;
};

// Installs a hook (nullptr restores the real dialogs). Returns the previous one.
Hook* setHook(Hook* hook);

// The plain modal message box: the text and an OK button.
void showMessage(const QString& text);
// The application's standard error box with the error's text.
void errorBox(const QString& text);
// A modal box with its own title and a single OK button.
void titledMessage(const QString& title, const QString& text);
// The save-file dialog, opened on the proposed name (a folder and file name); it asks before
// an existing file is replaced. Returns the chosen name, or an empty text when cancelled.
QString saveFileName(
    QWidget* parent, const QString& caption = QString(), const QString& proposed = QString());
// The dialog that picks existing files to open, of the kinds filter names (as
// "Zips (*.zip)"). Returns the chosen names, or none when cancelled.
QStringList openFileNames(QWidget* parent, const QString& caption, const QString& filter);
// A question with the given buttons, the first the default; returns the index pressed
// (the last button when the box is closed otherwise).
int choose(QWidget* parent, const QString& text, const QStringList& buttons);
// Asks whether to save unsaved work.
SaveChoice askSave(QWidget* parent, const QString& text);
// The print dialog, then the document printed; false when cancelled.
bool printDocument(QWidget* parent, QTextDocument* document);

// The print dialog, then the pages paint() paints on the printer; false when cancelled.
bool printPages(QWidget* parent, const std::function<int(QPagedPaintDevice&)>& paint);
// Asks for a range of dates, starting from the ones given; false when cancelled.
bool dateRange(QWidget* parent, const QString& text, QDate& from, QDate& to);
// Asks for a password, shown as dots; an empty text when cancelled.
QString password(QWidget* parent, const QString& text);

} // namespace Dialogs
