// The readers of what a server sends: SET parameter records, loaded-module
// lists and module names, directory component paths and fixed byte arrays.
// The first byte picks the reader, the rest is the record.

#include "netware/NovellCalls.h"
#include "support/StubClient.h"
#include "views/ServerFormats.h"
#include "views/ServerReaders.h"

#include <QLocale>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace {

// Takes bytes from the input in order; zeros once it runs out.
class Input {
public:
    Input(const uint8_t* data, size_t size) : m_data(data), m_size(size) {}
    template <typename T>
    T take()
    {
        T value{};
        const size_t n = std::min(sizeof(T), m_size - m_pos);
        std::memcpy(&value, m_data + m_pos, n);
        m_pos += n;
        return value;
    }
    void fill(void* out, size_t bytes)
    {
        const size_t n = std::min(bytes, m_size - m_pos);
        std::memset(out, 0, bytes);
        std::memcpy(out, m_data + m_pos, n);
        m_pos += n;
    }
    std::span<const uint8_t> rest() const { return {m_data + m_pos, m_size - m_pos}; }
    bool done() const { return m_pos >= m_size; }

private:
    const uint8_t* m_data;
    size_t m_size;
    size_t m_pos = 0;
};

// A server whose module list and module facts come from the input.
class ModuleServer : public testing::StubClient {
public:
    explicit ModuleServer(Input& input) : m_input(input) {}

    NWRCODE NWGetNLMLoadedList(nw::NWCONN_HANDLE, quint32, nw::NLMLoadedList& list) override
    {
        if (m_input.done() || ++m_requests > 64)
            return 0x8801;
        list = nw::NLMLoadedList{};
        list.numberLoaded = m_input.take<quint32>();
        list.numbersInList = m_input.take<quint8>();  // may claim more than the array holds
        m_input.fill(list.numbers.data(), std::min<size_t>(list.numbersInList, list.numbers.size()) * sizeof(quint32));
        return m_input.take<quint8>() & 1 ? 0x8801 : 0;
    }
    NWRCODE NWGetNLMInfo(nw::NWCONN_HANDLE, quint32, std::span<char> fileName, std::span<char> descriptiveName,
                         std::span<char> copyright, nw::NLMInfo& info) override
    {
        for (std::span<char> text : {fileName, descriptiveName, copyright})
            m_input.fill(text.data(), std::min<size_t>(text.size(), m_input.take<quint8>()));
        m_input.fill(&info, sizeof info);
        return m_input.take<quint8>() == 0xFF ? 0x8801 : 0;
    }

private:
    Input& m_input;
    int m_requests = 0;
};

// A server whose SET parameter records come from the input.
class ParameterServer : public testing::StubClient {
public:
    explicit ParameterServer(Input& input) : m_input(input) {}

    NWRCODE NWGetServerSetCommandsInfo(nw::NWCONN_HANDLE, quint32, nw::SetCommandRecord& record) override
    {
        if (m_input.done() || ++m_requests > 64)
            return 0x89FF;
        record = nw::SetCommandRecord{};
        record.nextSequence = m_input.take<quint8>();
        record.type = m_input.take<quint8>();
        record.category = m_input.take<quint8>();
        record.valueLength = m_input.take<quint16>();
        m_input.fill(record.nameAndValue.data(), std::min<size_t>(m_input.take<quint16>(), record.nameAndValue.size()));
        return 0;
    }

private:
    Input& m_input;
    int m_requests = 0;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    Input input(data + 1, size - 1);
    switch (data[0] % 4) {
    case 0: {
        ParameterServer server(input);
        views::readSetParameters(server, 1, [](const views::SetParameter& p) {
            views::parameterValueText(p.type, p.value, QLocale::c());
            views::parameterCategoryText(p.category);
        });
        break;
    }
    case 1: {
        ModuleServer server(input);
        views::readLoadedModules(server, 1, [](const std::vector<views::LoadedModule>& modules) {
            for (const views::LoadedModule& m : modules) {
                views::nlmVersionText(m.info.majorVersion, m.info.minorVersion, m.info.revision);
                views::nlmDateText(m.info.year, m.info.month, m.info.day, QLocale::c());
            }
        });
        break;
    }
    case 2: {
        const quint8 total = input.take<quint8>();
        nw::componentsToPath(input.rest(), total);
        break;
    }
    default: {
        const auto rest = input.rest();
        nw::bytesToString(rest);
        nw::bytesToString(std::span<const char>(reinterpret_cast<const char*>(rest.data()), rest.size()));
        break;
    }
    }
    return 0;
}
