#pragma once
// What the fuzz targets share: the input taken in order, desktop services
// that answer without showing anything, and the heap an input took at most.

#include "platform/Services.h"

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <span>

namespace fuzzing {

// Takes bytes from the input in order; zeros (and empty texts) once it runs out.
class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}

    template <typename T>
    T take()
    {
        T value{};
        fill(&value, sizeof(T));
        return value;
    }
    void fill(void* out, size_t bytes)
    {
        const size_t n = std::min(bytes, left());
        std::memset(out, 0, bytes);
        if (n > 0)
            std::memcpy(out, m_data + m_pos, n);
        m_pos += n;
    }
    // A run of bytes whose length (at most `most`) comes first, in one byte.
    QByteArray bytes(size_t most = 255)
    {
        const size_t n = std::min<size_t>({take<quint8>(), most, left()});
        QByteArray run(reinterpret_cast<const char*>(m_data + m_pos), static_cast<qsizetype>(n));
        m_pos += n;
        return run;
    }
    // Text of such a run, one character a byte.
    QString text(size_t most = 255) { return QString::fromLatin1(bytes(most)); }
    // Up to `most` texts, their number first.
    QStringList texts(size_t most, size_t longest = 255)
    {
        QStringList list;
        const size_t count = std::min<size_t>(take<quint8>(), most);
        for (size_t i = 0; i < count && !done(); ++i)
            list.append(text(longest));
        return list;
    }
    QByteArray rest()
    {
        QByteArray all(reinterpret_cast<const char*>(m_data + m_pos), static_cast<qsizetype>(left()));
        m_pos = m_size;
        return all;
    }
    std::span<const uint8_t> restSpan() const { return {m_data + m_pos, left()}; }
    size_t left() const { return m_size - m_pos; }
    bool done() const { return m_pos >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// Messages are answered with their default button, dialogs cancelled, nothing started.
class QuietServices : public platform::MessageService,
                      public platform::FileDialogService,
                      public platform::ClipboardService,
                      public platform::ProcessLauncher {
public:
    platform::Answer show(const platform::Message& message) override
    {
        ++shown;
        return message.defaultAnswer;
    }
    QString getSaveFileName(const platform::SaveDialogRequest&) override { return {}; }
    bool setText(const QString&) override { return false; }
    QString text() const override { return {}; }
    bool startDetached(const QString&, const QStringList&, const QString&) override { return false; }
    bool openUrl(const QString&) override { return false; }

    int shown = 0;
};

// The most heap in use since start(), above what was in use then: every
// allocation and release is counted by the sanitizer's hooks. Installed once
// per process by the targets that hold an input to a memory budget.
class HeapPeak {
public:
    static void install();
    static void start();
    static size_t peak();
};

// Aborts with the figures when an input took more heap than its budget.
void requireWithinBudget(size_t input, size_t used, size_t budget, const char* what);

}  // namespace fuzzing
