#pragma once
// Small interfaces over what the desktop provides: message boxes, file dialogs,
// the clipboard, starting programs and opening web pages. The program uses
// desktop implementations, veskaro-report answers messages on stderr, and tests
// script every answer so that nothing ever blocks.

#include <QString>
#include <QStringList>

namespace platform {

enum class Buttons { Ok, YesNo, OkCancel };
enum class Icon { None, Information, Question, Warning, Critical };
enum class Answer { Ok, Cancel, Yes, No };

struct Message {
    QString title;
    QString text;
    Buttons buttons = Buttons::Ok;
    Icon icon = Icon::None;
    Answer defaultAnswer = Answer::Ok;
};

class MessageService {
public:
    virtual ~MessageService() = default;
    // Shows a modal message and returns the button chosen.
    virtual Answer show(const Message& message) = 0;

    // An OK-only message; an empty title means the application title.
    Answer inform(const QString& text, const QString& title = {}, Icon icon = Icon::None)
    {
        return show({title, text, Buttons::Ok, icon, Answer::Ok});
    }
};

struct SaveDialogRequest {
    QString title;
    QString proposedName;
    QString filter;  // Qt filter text, e.g. "CSV File(*.csv);;All Files(*.*)"
    bool overwritePrompt = true;
};

class FileDialogService {
public:
    virtual ~FileDialogService() = default;
    // The chosen file, or an empty text when the user cancelled.
    virtual QString getSaveFileName(const SaveDialogRequest& request) = 0;
};

class ClipboardService {
public:
    virtual ~ClipboardService() = default;
    // Places plain text on the clipboard; false when the clipboard cannot be opened.
    virtual bool setText(const QString& text) = 0;
    virtual QString text() const = 0;
};

class ProcessLauncher {
public:
    virtual ~ProcessLauncher() = default;
    // Starts a program without waiting for it; false when it cannot be started.
    virtual bool startDetached(const QString& program, const QStringList& arguments,
                               const QString& workingDirectory = {}) = 0;
    // Opens a web page in the default browser.
    virtual bool openUrl(const QString& url) = 0;
};

}  // namespace platform
