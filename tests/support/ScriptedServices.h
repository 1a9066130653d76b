#pragma once
// Stand-ins for the desktop services in tests: message boxes answer from a
// queue (or with their default button) and record what they showed; the save
// dialog returns scripted names; the clipboard and process starts are recorded.

#include "platform/Services.h"

#include <QList>
#include <QQueue>
#include <QString>
#include <QStringList>

#include <functional>

namespace testing {

class ScriptedMessages : public platform::MessageService {
public:
    platform::Answer show(const platform::Message& message) override;

    // Answers used by the next messages, in order; when none is queued the
    // message's default button is taken.
    void queueAnswer(platform::Answer answer) { m_answers.enqueue(answer); }

    QList<platform::Message> shown;
    QStringList texts() const;
    QStringList titles() const;
    void clear() { shown.clear(); }
    // Runs while a message is "on screen", as a modal box would let events run.
    std::function<void(const platform::Message&)> whileShown;

private:
    QQueue<platform::Answer> m_answers;
};

class ScriptedFileDialogs : public platform::FileDialogService {
public:
    QString getSaveFileName(const platform::SaveDialogRequest& request) override;
    // Next names returned; an empty name (or none queued) is a cancelled dialog.
    void queueFileName(const QString& name) { m_names.enqueue(name); }
    QList<platform::SaveDialogRequest> requests;

private:
    QQueue<QString> m_names;
};

class MemoryClipboard : public platform::ClipboardService {
public:
    bool setText(const QString& text) override;
    QString text() const override { return m_text; }
    bool available = true;  // false: the clipboard cannot be opened
    int writes = 0;

private:
    QString m_text;
};

class RecordingLauncher : public platform::ProcessLauncher {
public:
    struct Start {
        QString program;
        QStringList arguments;
        QString workingDirectory;
    };
    bool startDetached(const QString& program, const QStringList& arguments,
                       const QString& workingDirectory = {}) override;
    bool openUrl(const QString& url) override;
    QList<Start> started;
    QStringList urls;
    bool succeed = true;
};

}  // namespace testing
