#pragma once
// Messages of a run without windows (veskaro-report): each is written as
// "Title: text" to the error stream and answered with its default button.

#include "platform/Services.h"

class QTextStream;

namespace platform {

class StderrMessageService : public MessageService {
public:
    explicit StderrMessageService(QTextStream& err) : m_err(err) {}
    Answer show(const Message& message) override;

private:
    QTextStream& m_err;
};

}  // namespace platform
