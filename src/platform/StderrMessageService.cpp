#include "platform/StderrMessageService.h"

#include <QTextStream>

namespace platform {

Answer StderrMessageService::show(const Message& message)
{
    const QString title = message.title.isEmpty() ? QStringLiteral("Veskaro") : message.title;
    m_err << title << ": " << message.text << Qt::endl;
    return message.defaultAnswer;
}

}  // namespace platform
