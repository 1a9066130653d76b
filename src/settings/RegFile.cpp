#include "settings/RegFile.h"

#include "settings/AnsiText.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QHash>

#include <algorithm>
#include <optional>

namespace settings::regfile {

namespace {

constexpr QChar kFoldSeparator = QChar(0x01);   // sorts below every name character
constexpr auto kHeaderAnsi = u"REGEDIT4";
constexpr auto kHeaderUnicode = u"Windows Registry Editor Version 5.00";
constexpr qsizetype kHexLineWidth = 78;

QString tr(const char* text)
{
    return QCoreApplication::translate("settings::regfile", text);
}

bool breaksLine(QChar c)
{
    return c == u'\r' || c == u'\n' || c == u'\0';
}

// ---- reading --------------------------------------------------------------


bool isUtf8(const QByteArray& bytes)
{
    QStringDecoder decoder(QStringDecoder::Utf8);
    const QString ignored = decoder(bytes);
    return !decoder.hasError();
}

bool hasHighBytes(const QByteArray& bytes)
{
    return std::any_of(bytes.begin(), bytes.end(), [](char c) { return (c & 0x80) != 0; });
}

QString decodeFile(const QByteArray& bytes)
{
    // The byte-order mark is taken off before decoding; a second one is text.
    auto decodeWith = [](QStringConverter::Encoding encoding, QByteArrayView data) {
        QStringDecoder decoder(encoding, QStringConverter::Flag::ConvertInitialBom);
        return QString(decoder(data));
    };
    if (bytes.startsWith("\xFF\xFE"))
        return decodeWith(QStringConverter::Utf16LE, QByteArrayView(bytes).sliced(2));
    if (bytes.startsWith("\xFE\xFF"))
        return decodeWith(QStringConverter::Utf16BE, QByteArrayView(bytes).sliced(2));
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return decodeWith(QStringConverter::Utf8, QByteArrayView(bytes).sliced(3));
    // UTF-16 without a byte-order mark still shows itself by the zero high byte of "R" or "W".
    if (bytes.size() >= 2 && bytes.at(0) != 0 && bytes.at(1) == 0)
        return decodeWith(QStringConverter::Utf16LE, bytes);
    // A file edited by hand on a UTF-8 desktop; Veskaro never writes ANSI text
    // that would pass as UTF-8 (see serialize), so this cannot misread our own files.
    if (hasHighBytes(bytes) && isUtf8(bytes))
        return decodeWith(QStringConverter::Utf8, bytes);
    return fromWindows1252(bytes);
}

std::optional<std::pair<QString, qsizetype>> readQuoted(const QString& line, qsizetype start)
{
    QString out;
    for (qsizetype p = start + 1; p < line.size(); ++p) {
        const QChar c = line.at(p);
        if (c == u'\\' && p + 1 < line.size() && (line.at(p + 1) == u'\\' || line.at(p + 1) == u'"')) {
            out.append(line.at(++p));
            continue;
        }
        if (c == u'"')
            return std::pair{out, p + 1};
        out.append(c);
    }
    return std::nullopt;
}

qsizetype skipSpaces(const QString& line, qsizetype p)
{
    while (p < line.size() && line.at(p).isSpace())
        ++p;
    return p;
}

bool restIsBlank(const QString& line, qsizetype p)
{
    p = skipSpaces(line, p);
    return p >= line.size() || line.at(p) == u';';
}

std::optional<QByteArray> parseHexBytes(const QString& body)
{
    QByteArray bytes;
    const QStringList parts = body.split(u',');
    for (qsizetype i = 0; i < parts.size(); ++i) {
        const QString part = parts.at(i).trimmed();
        if (part.isEmpty()) {
            if (i == parts.size() - 1)   // "hex:" with no data, or a trailing comma
                break;
            return std::nullopt;
        }
        bool ok = false;
        const uint b = part.toUInt(&ok, 16);
        if (!ok || part.size() > 2 || b > 0xFF)
            return std::nullopt;
        bytes.append(static_cast<char>(b));
    }
    return bytes;
}

std::optional<QString> decodeText(const QByteArray& raw, bool unicode)
{
    if (!unicode)
        return fromWindows1252(raw);
    if (raw.size() % 2 != 0)
        return std::nullopt;
    // A value that begins with U+FEFF keeps it: it is the value's text, no mark.
    QStringDecoder decoder(QStringDecoder::Utf16LE, QStringConverter::Flag::ConvertInitialBom);
    QString text = decoder(raw);
    if (decoder.hasError())
        return std::nullopt;
    return text;
}

Value binaryValue(QString name, quint32 type, const QByteArray& raw, bool unicode)
{
    Value value{std::move(name), type, false, {}, raw};
    if (type != kTypeString && type != kTypeExpandString && type != kTypeMultiString)
        return value;
    const auto text = decodeText(raw, unicode);
    // REG_SZ text is read without its one terminator; a REG_SZ that has none is
    // kept as bytes so that it is written back as it was.
    const bool terminated = type != kTypeString || (text && text->endsWith(QChar(u'\0')));
    if (!text || !terminated) {
        value.rawText = unicode ? Value::RawText::Unicode : Value::RawText::Ansi;
        return value;
    }
    value.textual = true;
    value.raw.clear();
    value.text = *text;
    if (type == kTypeString)
        value.text.chop(1);
    return value;
}

// ---- writing ----------------------------------------------------------------

QString escaped(const QString& text)
{
    QString out;
    out.reserve(text.size() + 2);
    out.append(u'"');
    for (const QChar c : text) {
        if (c == u'\\' || c == u'"')
            out.append(u'\\');
        out.append(c);
    }
    out.append(u'"');
    return out;
}

std::optional<QByteArray> encodeText(const QString& text, bool unicode)
{
    if (!unicode)
        return toWindows1252(text);
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return QByteArray(encoder(text));
}

QString hexData(QString line, const QByteArray& bytes)
{
    qsizetype width = line.size();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        QString piece = QStringLiteral("%1").arg(static_cast<uchar>(bytes.at(i)), 2, 16, QLatin1Char('0'));
        if (i + 1 < bytes.size())
            piece.append(u',');
        if (width + piece.size() > kHexLineWidth) {
            line.append(QStringLiteral("\\\r\n  "));
            width = 2;
        }
        line.append(piece);
        width += piece.size();
    }
    return line;
}

std::optional<QString> renderValue(const Value& value, bool unicode)
{
    const QString prefix = (value.name.isEmpty() ? QStringLiteral("@") : escaped(value.name)) + u'=';
    if (value.textual) {
        if (value.type == kTypeString && std::none_of(value.text.begin(), value.text.end(), breaksLine))
            return prefix + escaped(value.text);
        QString text = value.text;
        if (value.type == kTypeString)
            text.append(QChar(u'\0'));
        const auto bytes = encodeText(text, unicode);
        if (!bytes)
            return std::nullopt;
        return hexData(prefix + QStringLiteral("hex(%1):").arg(value.type, 0, 16), *bytes);
    }
    if (value.type == kTypeDword && value.raw.size() == 4) {
        quint32 number = 0;
        for (int i = 3; i >= 0; --i)
            number = (number << 8) | static_cast<uchar>(value.raw.at(i));
        return prefix + QStringLiteral("dword:%1").arg(number, 8, 16, QLatin1Char('0'));
    }
    if (value.type == kTypeBinary)
        return hexData(prefix + QStringLiteral("hex:"), value.raw);
    return hexData(prefix + QStringLiteral("hex(%1):").arg(value.type, 0, 16), value.raw);
}

// Raw text bytes of an ANSI file in the UTF-16 a Unicode file keeps them in.
Value inUnicode(Value value)
{
    if (value.rawText == Value::RawText::Ansi) {
        QStringEncoder encoder(QStringEncoder::Utf16LE);
        value.raw = encoder(fromWindows1252(value.raw));
        value.rawText = Value::RawText::Unicode;
    }
    return value;
}

std::optional<QString> render(const Tree& tree, bool unicode)
{
    QString out = QString::fromUtf16(unicode ? kHeaderUnicode : kHeaderAnsi) + QStringLiteral("\r\n\r\n");
    const auto& keys = tree.keys();
    for (auto it = keys.begin(); it != keys.end(); ++it) {
        const Key& key = *it;
        // A bare hive needs no section when a key below it names it.
        if (!key.path.contains(u'\\') && key.values.isEmpty()) {
            const auto next = std::next(it);
            // Only when that key names the hive in the same case, which reading it back keeps.
            if (next != keys.end() && next.key().startsWith(it.key() + kFoldSeparator)
                && next->path.startsWith(key.path + u'\\'))
                continue;
        }
        out += u'[' + key.path + QStringLiteral("]\r\n");
        for (const Value& value : key.values) {
            if (!unicode && value.rawText == Value::RawText::Unicode)
                return std::nullopt;
            const auto line = renderValue(unicode ? inUnicode(value) : value, unicode);
            if (!line)
                return std::nullopt;
            out += *line + QStringLiteral("\r\n");
        }
        out += QStringLiteral("\r\n");
    }
    return out;
}

}  // namespace

// ---- Tree -------------------------------------------------------------------

bool Tree::isValidPath(const QString& path)
{
    if (path.isEmpty())
        return false;
    const QStringList parts = path.split(u'\\');
    if (parts.size() > kMaxDepth + 1)
        return false;
    return std::none_of(parts.begin(), parts.end(), [](const QString& part) {
        return part.isEmpty()
               || std::any_of(part.begin(), part.end(), [](QChar c) { return c.unicode() < 0x20; });
    });
}

bool Tree::isValidValueName(const QString& name)
{
    return std::none_of(name.begin(), name.end(), breaksLine);
}

QString Tree::fold(const QString& path)
{
    QString folded = path.toCaseFolded();
    folded.replace(u'\\', kFoldSeparator);
    return folded;
}

const Key* Tree::find(const QString& path) const
{
    const auto it = m_keys.constFind(fold(path));
    return it == m_keys.constEnd() ? nullptr : &*it;
}

Key* Tree::findMutable(const QString& path)
{
    const auto it = m_keys.find(fold(path));
    return it == m_keys.end() ? nullptr : &*it;
}

Key& Tree::ensure(const QString& path)
{
    const QString folded = fold(path);
    if (const auto it = m_keys.find(folded); it != m_keys.end())
        return *it;
    // Parents first, from the nearest one that exists; every key's parents exist.
    qsizetype end = path.size();
    QList<qsizetype> missing;
    for (;;) {
        missing.append(end);
        end = path.lastIndexOf(u'\\', end - 1);
        if (end <= 0 || m_keys.contains(fold(path.left(end))))
            break;
    }
    for (auto n = missing.size() - 1; n >= 0; --n) {
        const QString partial = path.left(missing.at(n));
        m_keys.insert(fold(partial), Key{partial, {}});
    }
    return *findMutable(path);
}

void Tree::removeSubtree(const QString& path)
{
    const QString folded = fold(path);
    const QString below = folded + kFoldSeparator;
    m_keys.remove(folded);
    auto it = m_keys.lowerBound(below);
    while (it != m_keys.end() && it.key().startsWith(below))
        it = m_keys.erase(it);
}

QStringList Tree::children(const QString& path) const
{
    QStringList names;
    const QString below = fold(path) + kFoldSeparator;
    for (auto it = m_keys.lowerBound(below); it != m_keys.end() && it.key().startsWith(below); ++it) {
        if (!QStringView(it.key()).mid(below.size()).contains(kFoldSeparator))
            names.append(it->path.section(u'\\', -1));
    }
    return names;
}

const Value* Tree::findValue(const Key& key, const QString& name)
{
    for (const Value& value : key.values) {
        if (value.name.compare(name, Qt::CaseInsensitive) == 0)
            return &value;
    }
    return nullptr;
}

void Tree::putValue(Key& key, Value value)
{
    for (Value& existing : key.values) {
        if (existing.name.compare(value.name, Qt::CaseInsensitive) == 0) {
            value.name = existing.name;
            existing = std::move(value);
            return;
        }
    }
    const auto before = std::find_if(key.values.begin(), key.values.end(), [&](const Value& v) {
        const int order = v.name.compare(value.name, Qt::CaseInsensitive);
        return order > 0 || (order == 0 && v.name > value.name);
    });
    key.values.insert(before, std::move(value));
}

bool Tree::removeValue(Key& key, const QString& name)
{
    return key.values.removeIf([&](const Value& v) { return v.name.compare(name, Qt::CaseInsensitive) == 0; }) > 0;
}

// ---- parse / serialize ----------------------------------------------------------

namespace {

// Values read so far, by key and by case-folded name, so that a key with many
// values is read in linear time; they are ordered once at the end.
class PendingValues {
public:
    void put(const QString& path, Value value)
    {
        Pending& key = m_keys[Tree::fold(path)];
        if (key.path.isEmpty())
            key.path = path;
        const QString name = value.name.toCaseFolded();
        if (const auto it = key.values.find(name); it != key.values.end()) {
            value.name = it->name;
            *it = std::move(value);
        } else {
            key.values.insert(name, std::move(value));
        }
    }
    void remove(const QString& path, const QString& name)
    {
        const auto it = m_keys.find(Tree::fold(path));
        if (it != m_keys.end())
            it->values.remove(name.toCaseFolded());
    }
    void removeSubtree(const QString& path)
    {
        const QString folded = Tree::fold(path);
        const QString below = folded + kFoldSeparator;
        m_keys.remove(folded);
        auto it = m_keys.lowerBound(below);
        while (it != m_keys.end() && it.key().startsWith(below))
            it = m_keys.erase(it);
    }
    void moveInto(Tree& tree);

private:
    struct Pending {
        QString path;
        QHash<QString, Value> values;
    };
    QMap<QString, Pending> m_keys;
};

bool valueOrder(const Value& a, const Value& b)
{
    const int order = a.name.compare(b.name, Qt::CaseInsensitive);
    return order != 0 ? order < 0 : a.name < b.name;
}

void PendingValues::moveInto(Tree& tree)
{
    for (Pending& pending : m_keys) {
        QList<Value> values;
        values.reserve(pending.values.size());
        for (Value& value : pending.values)
            values.append(std::move(value));
        std::sort(values.begin(), values.end(), valueOrder);
        tree.ensure(pending.path).values = std::move(values);
    }
    m_keys.clear();
}


}  // namespace

ParseResult parse(const QByteArray& bytes)
{
    ParseResult result;
    PendingValues pending;
    QString text = decodeFile(bytes);
    // Some editors and exports end a file with NULs or a DOS end-of-file mark
    // (Ctrl-Z); they end the text, they are no line of it.
    while (!text.isEmpty() && (text.back() == QChar(0) || text.back() == QChar(0x1A)))
        text.chop(1);
    const QStringList lines = text.split(u'\n');
    bool headerSeen = false;
    bool unicode = false;
    QString section;          // the key values go to; empty before the first section
    bool deleting = false;    // inside a "[-key]" section: its values are dropped

    auto fail = [&](qsizetype index, const QString& why) {
        result.ok = false;
        result.tree = {};
        result.errorLine = static_cast<int>(index + 1);
        result.error = why;
        return result;
    };

    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i).trimmed();
        if (line.isEmpty())
            continue;
        if (!headerSeen) {
            if (line == QStringView(kHeaderAnsi))
                unicode = false;
            else if (line == QStringView(kHeaderUnicode))
                unicode = true;
            else
                return fail(i, tr("the file does not begin with REGEDIT4 or \"Windows Registry Editor Version 5.00\""));
            headerSeen = true;
            continue;
        }
        if (line.startsWith(u';'))
            continue;

        if (line.startsWith(u'[')) {
            if (!line.endsWith(u']'))
                return fail(i, tr("a key name is not closed by \"]\""));
            QString path = line.mid(1, line.size() - 2);
            deleting = path.startsWith(u'-');
            if (deleting)
                path.remove(0, 1);
            if (path.count(u'\\') > Tree::kMaxDepth)
                return fail(i, tr("a key is nested deeper than %1 levels").arg(Tree::kMaxDepth));
            if (!Tree::isValidPath(path))
                return fail(i, tr("\"%1\" is not a key name").arg(path));
            if (deleting) {
                result.tree.removeSubtree(path);
                pending.removeSubtree(path);
                section.clear();
            } else {
                result.tree.ensure(path);
                section = path;
            }
            continue;
        }

        if (!line.startsWith(u'"') && !line.startsWith(u'@'))
            return fail(i, tr("the line is neither a key nor a value"));
        if (section.isEmpty() && !deleting)
            return fail(i, tr("a value stands before the first key"));

        QString name;
        qsizetype p = 1;
        if (line.startsWith(u'"')) {
            const auto quoted = readQuoted(line, 0);
            if (!quoted)
                return fail(i, tr("a value name is not closed by a quotation mark"));
            name = quoted->first;
            p = quoted->second;
        }
        p = skipSpaces(line, p);
        if (p >= line.size() || line.at(p) != u'=')
            return fail(i, tr("\"=\" is missing after the value name"));
        p = skipSpaces(line, p + 1);
        QString data = line.mid(p);

        std::optional<Value> value;
        if (data == u"-") {
            if (!deleting)
                pending.remove(section, name);
            continue;
        }
        if (data.startsWith(u'"')) {
            const auto quoted = readQuoted(data, 0);
            if (!quoted || !restIsBlank(data, quoted->second))
                return fail(i, tr("a text value is not closed by a quotation mark"));
            value = Value{name, kTypeString, true, quoted->first, {}};
        } else if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
            const QString digits = data.mid(6).section(u';', 0, 0).trimmed();
            bool ok = false;
            const quint32 number = digits.toUInt(&ok, 16);
            if (!ok || digits.size() > 8)
                return fail(i, tr("a dword value is not a hexadecimal number"));
            QByteArray raw;
            for (int b = 0; b < 4; ++b)
                raw.append(static_cast<char>((number >> (8 * b)) & 0xFF));
            value = Value{name, kTypeDword, false, {}, raw};
        } else if (data.startsWith(u"hex", Qt::CaseInsensitive)) {
            const qsizetype colon = data.indexOf(u':');
            if (colon < 0)
                return fail(i, tr("\":\" is missing after the value type"));
            const QString kind = data.left(colon).mid(3);
            quint32 type = kTypeBinary;
            if (!kind.isEmpty()) {
                bool ok = false;
                type = kind.startsWith(u'(') && kind.endsWith(u')') ? kind.mid(1, kind.size() - 2).toUInt(&ok, 16) : 0;
                if (!ok)
                    return fail(i, tr("\"%1\" is not a value type").arg(data.left(colon)));
            }
            // A long value continues on the next lines, each ending in a backslash.
            QString body = data.mid(colon + 1).trimmed();
            while (body.endsWith(u'\\') && i + 1 < lines.size()) {
                body.chop(1);
                body += lines.at(++i).trimmed();
            }
            const auto raw = parseHexBytes(body);
            if (!raw)
                return fail(i, tr("a hexadecimal value holds something other than bytes"));
            value = binaryValue(name, type, *raw, unicode);
        } else {
            return fail(i, tr("the value's type is not known"));
        }
        if (!deleting)
            pending.put(section, std::move(*value));
    }
    pending.moveInto(result.tree);
    result.ok = true;
    return result;
}

QByteArray serialize(const Tree& tree)
{
    if (const auto text = render(tree, false)) {
        if (const auto bytes = toWindows1252(*text)) {
            // ANSI text that would also read as UTF-8 is written as Unicode
            // instead, so that reading it back cannot take it for UTF-8.
            if (!hasHighBytes(*bytes) || !isUtf8(*bytes))
                return *bytes;
        }
    }
    QStringEncoder encoder(QStringEncoder::Utf16LE);
    return QByteArray("\xFF\xFE") + QByteArray(encoder(*render(tree, true)));
}

}  // namespace settings::regfile
