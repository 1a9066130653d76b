#pragma once
// A registry held in memory, for tests of code that only reads and writes
// values and does not care how they are kept.

#include "settings/RegistryStore.h"

#include <QMap>

namespace testing {

class MemoryRegistry : public settings::RegistryStore {
public:
    bool keyExists(settings::Hive hive, const QString& path) const override { return m_keys.contains(id(hive, path)); }
    bool createKey(settings::Hive hive, const QString& path) override
    {
        QString partial;
        for (const QString& part : path.split(QLatin1Char('\\'))) {
            partial = partial.isEmpty() ? part : partial + QLatin1Char('\\') + part;
            m_keys.insert(id(hive, partial), m_keys.value(id(hive, partial)));
            // Keys are found without regard to case and listed as first written.
            if (!m_names.contains(id(hive, partial)))
                m_names.insert(id(hive, partial), part);
        }
        return true;
    }
    std::optional<QString> queryValue(settings::Hive hive, const QString& path, const QString& name) const override
    {
        const auto key = m_keys.constFind(id(hive, path));
        if (key == m_keys.cend() || !key->contains(name.toLower()))
            return std::nullopt;
        return key->value(name.toLower());
    }
    bool setValue(settings::Hive hive, const QString& path, const QString& name, const QString& data) override
    {
        auto key = m_keys.find(id(hive, path));
        if (key == m_keys.end())
            return false;
        key->insert(name.toLower(), data);
        return true;
    }
    bool deleteValue(settings::Hive hive, const QString& path, const QString& name) override
    {
        auto key = m_keys.find(id(hive, path));
        return key != m_keys.end() && key->remove(name.toLower()) > 0;
    }
    std::optional<QString> enumKey(settings::Hive hive, const QString& path, int index) const override
    {
        const QString prefix = id(hive, path) + QLatin1Char('\\');
        QStringList children;
        for (auto it = m_keys.cbegin(); it != m_keys.cend(); ++it) {
            if (it.key().startsWith(prefix) && !it.key().mid(prefix.size()).contains(QLatin1Char('\\')))
                children.append(m_names.value(it.key(), it.key().mid(prefix.size())));
        }
        if (index < 0 || index >= children.size())
            return std::nullopt;
        return children.at(index);
    }

private:
    static QString id(settings::Hive hive, const QString& path)
    {
        return (hive == settings::Hive::CurrentUser ? QStringLiteral("HKCU\\") : QStringLiteral("HKLM\\"))
               + path.toLower();
    }
    QMap<QString, QMap<QString, QString>> m_keys;
    QMap<QString, QString> m_names;
};

}  // namespace testing
