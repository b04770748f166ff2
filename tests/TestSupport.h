#pragma once
// Shared helpers for page tests: a dialog recorder, finding widgets by name, clicking.
#include "controls/Dialogs.h"

#include <QApplication>
#include <QStringList>
#include <QTest>
#include <QWidget>
#include <gtest/gtest.h>

#include <deque>

// Records every box the program shows and answers dialogs from queues, for as long
// as it lives.
class RecordingDialogs {
public:
    struct Shown {
        Dialogs::Kind kind;
        QString title;
        QString text;
    };

    RecordingDialogs()
    {
        hook.shown = [this](Dialogs::Kind kind, const QString& title, const QString& text) {
            shown.push_back({ kind, title, text });
        };
        hook.saveFileName = [this](const QString&, const QString& proposed) {
            ++saveDialogs;
            proposedNames << proposed;
            if (fileNames.empty())
                return QString();
            QString name = fileNames.front();
            fileNames.pop_front();
            return name;
        };
        hook.openFileNames = [this](const QString&, const QString&) {
            ++openDialogs;
            if (openNames.empty())
                return QStringList();
            QStringList names = openNames.front();
            openNames.pop_front();
            return names;
        };
        hook.question = [this](const QString& text) {
            questions << text;
            if (answers.empty())
                return Dialogs::SaveChoice::Cancel;
            auto a = answers.front();
            answers.pop_front();
            return a;
        };
        hook.choose = [this](const QString& text, const QStringList& buttons) {
            choices << text;
            choiceButtons = buttons;
            if (chosen.empty())
                return int(buttons.size()) - 1;
            const int a = chosen.front();
            chosen.pop_front();
            return a;
        };
        hook.password = [this](const QString& text) {
            passwordQuestions << text;
            if (passwords.empty())
                return QString();
            QString answer = passwords.front();
            passwords.pop_front();
            return answer;
        };
        previous = Dialogs::setHook(&hook);
    }
    ~RecordingDialogs() { Dialogs::setHook(previous); }
    RecordingDialogs(const RecordingDialogs&) = delete;
    RecordingDialogs& operator=(const RecordingDialogs&) = delete;

    QStringList texts() const
    {
        QStringList out;
        for (const auto& s : shown)
            out << s.text;
        return out;
    }

    std::vector<Shown> shown;
    std::deque<QString> fileNames; // answers to the save-file dialog ("" cancels)
    std::deque<Dialogs::SaveChoice> answers; // answers to save/discard/cancel questions
    QStringList questions;
    QStringList proposedNames; // what the save-file dialog proposed each time
    std::deque<int> chosen; // answers to questions with buttons of their own (index)
    QStringList choices; // the texts of those questions
    QStringList choiceButtons; // the buttons of the last one
    int saveDialogs = 0;
    std::deque<QStringList> openNames; // answers to the open-files dialog (none cancels)
    int openDialogs = 0;
    std::deque<QString> passwords; // answers to password questions (none cancels)
    QStringList passwordQuestions;

private:
    Dialogs::Hook hook;
    Dialogs::Hook* previous = nullptr;
};

// The widget called name inside root; fails the test when there is none.
template <typename T = QWidget> T* child(QWidget* root, const char* name)
{
    T* w = root ? root->findChild<T*>(QString::fromLatin1(name)) : nullptr;
    if (!w)
        ADD_FAILURE() << "no widget " << name << " of the expected kind";
    return w;
}

inline void click(QWidget* w)
{
    if (w)
        QTest::mouseClick(w, Qt::LeftButton, Qt::NoModifier, w->rect().center());
}

// Source and build folders of this build, for fixtures.
inline QString sourceDir()
{
    return QStringLiteral(VELMORA_SOURCE_DIR);
}
inline QString binaryDir()
{
    return QStringLiteral(VELMORA_BINARY_DIR);
}
