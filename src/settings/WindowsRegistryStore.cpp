#include "settings/WindowsRegistryStore.h"

#include <QByteArray>

#include <windows.h>

#include <vector>

namespace settings {

namespace {

HKEY hiveHandle(Hive hive)
{
    return hive == Hive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// Registry text is in the ANSI code page, which is what local 8-bit means on Windows.
QByteArray ansi(const QString& text)
{
    return text.toLocal8Bit();
}

// A key handle closed when it goes out of scope, so no path leaves one open.
class KeyHandle {
public:
    KeyHandle() = default;
    KeyHandle(const KeyHandle&) = delete;
    KeyHandle& operator=(const KeyHandle&) = delete;
    ~KeyHandle()
    {
        if (m_key)
            RegCloseKey(m_key);
    }
    HKEY* out() { return &m_key; }
    HKEY get() const { return m_key; }

private:
    HKEY m_key = nullptr;
};

bool openKey(Hive hive, const QString& path, REGSAM access, KeyHandle& key)
{
    return RegOpenKeyExA(hiveHandle(hive), ansi(path).constData(), 0, access, key.out()) == ERROR_SUCCESS;
}

}  // namespace

bool WindowsRegistryStore::keyExists(Hive hive, const QString& path) const
{
    KeyHandle key;
    return openKey(hive, path, KEY_READ, key);
}

bool WindowsRegistryStore::createKey(Hive hive, const QString& path)
{
    KeyHandle key;
    return RegCreateKeyA(hiveHandle(hive), ansi(path).constData(), key.out()) == ERROR_SUCCESS;
}

std::optional<QString> WindowsRegistryStore::queryValue(Hive hive, const QString& path, const QString& name) const
{
    KeyHandle key;
    if (!openKey(hive, path, KEY_QUERY_VALUE, key))
        return std::nullopt;
    const QByteArray valueName = ansi(name);
    // The value may change between asking its size and reading it; ask again then.
    for (int attempt = 0; attempt < 3; ++attempt) {
        DWORD type = 0;
        DWORD size = 0;
        LONG rc = RegQueryValueExA(key.get(), valueName.constData(), nullptr, &type, nullptr, &size);
        if (rc != ERROR_SUCCESS || type != REG_SZ)
            return std::nullopt;
        std::vector<BYTE> data(size + 1, 0);
        DWORD got = size;
        rc = RegQueryValueExA(key.get(), valueName.constData(), nullptr, &type, data.data(), &got);
        if (rc == ERROR_MORE_DATA)
            continue;
        if (rc != ERROR_SUCCESS || type != REG_SZ)
            return std::nullopt;
        // Our own values carry no terminator, values from elsewhere do.
        QByteArray text(reinterpret_cast<const char*>(data.data()), static_cast<qsizetype>(got));
        const qsizetype nul = text.indexOf('\0');
        if (nul >= 0)
            text.truncate(nul);
        return QString::fromLocal8Bit(text);
    }
    return std::nullopt;
}

bool WindowsRegistryStore::setValue(Hive hive, const QString& path, const QString& name, const QString& data)
{
    KeyHandle key;
    if (!openKey(hive, path, KEY_SET_VALUE, key))
        return false;
    const QByteArray text = ansi(data);
    // Written with the text's length as the byte count, as the program always has.
    return RegSetValueExA(key.get(), ansi(name).constData(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.constData()),
                          static_cast<DWORD>(text.size()))
           == ERROR_SUCCESS;
}

bool WindowsRegistryStore::deleteValue(Hive hive, const QString& path, const QString& name)
{
    KeyHandle key;
    if (!openKey(hive, path, KEY_SET_VALUE, key))
        return false;
    return RegDeleteValueA(key.get(), ansi(name).constData()) == ERROR_SUCCESS;
}

std::optional<QString> WindowsRegistryStore::enumKey(Hive hive, const QString& path, int index) const
{
    if (index < 0)
        return std::nullopt;
    KeyHandle key;
    if (!openKey(hive, path, KEY_ENUMERATE_SUB_KEYS, key))
        return std::nullopt;
    char name[MAX_PATH + 1] = {};
    if (RegEnumKeyA(key.get(), static_cast<DWORD>(index), name, static_cast<DWORD>(sizeof name)) != ERROR_SUCCESS)
        return std::nullopt;
    return QString::fromLocal8Bit(name);
}

}  // namespace settings
