#include "support/ScriptedServices.h"

namespace testing {

platform::Answer ScriptedMessages::show(const platform::Message& message)
{
    shown.append(message);
    if (whileShown)
        whileShown(message);
    return m_answers.isEmpty() ? message.defaultAnswer : m_answers.dequeue();
}

QStringList ScriptedMessages::texts() const
{
    QStringList result;
    for (const auto& message : shown)
        result.append(message.text);
    return result;
}

QStringList ScriptedMessages::titles() const
{
    QStringList result;
    for (const auto& message : shown)
        result.append(message.title);
    return result;
}

QString ScriptedFileDialogs::getSaveFileName(const platform::SaveDialogRequest& request)
{
    requests.append(request);
    return m_names.isEmpty() ? QString() : m_names.dequeue();
}

bool MemoryClipboard::setText(const QString& text)
{
    if (!available)
        return false;
    m_text = text;
    ++writes;
    return true;
}

bool RecordingLauncher::startDetached(const QString& program, const QStringList& arguments,
                                      const QString& workingDirectory)
{
    started.append({program, arguments, workingDirectory});
    return succeed;
}

bool RecordingLauncher::openUrl(const QString& url)
{
    urls.append(url);
    return succeed;
}

}  // namespace testing
