#include "settings/RegFile.h"

#include "text/CodePage.h"

#include <QCoreApplication>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QHash>

#include <algorithm>
#include <optional>

namespace settings::regfile {

namespace {

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
    return texts::fromWindows1252(bytes);
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
            if (i == parts.size() - 1)  // "hex:" with no data, or a trailing comma
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
        return texts::fromWindows1252(raw);
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
        return texts::toWindows1252(text);
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
        value.raw = encoder(texts::fromWindows1252(value.raw));
        value.rawText = Value::RawText::Unicode;
    }
    return value;
}

std::optional<QString> render(const Tree& tree, bool unicode)
{
    QString out = QString::fromUtf16(unicode ? kHeaderUnicode : kHeaderAnsi) + QStringLiteral("\r\n\r\n");
    bool written = true;
    QString pendingHive;  // a bare hive, written only when no key below it follows
    tree.forEachKey([&](const QString& path, const Key& key) {
        if (!written)
            return;
        const bool hive = !path.contains(u'\\');
        if (!pendingHive.isEmpty() && !hive && path.startsWith(pendingHive + u'\\')) {
            // A bare hive needs no section when a key below it names it.
        } else if (!pendingHive.isEmpty()) {
            out += u'[' + pendingHive + QStringLiteral("]\r\n\r\n");
        }
        pendingHive.clear();
        if (hive && key.values.isEmpty()) {
            pendingHive = path;
            return;
        }
        out += u'[' + path + QStringLiteral("]\r\n");
        for (const Value& value : key.values) {
            if (!unicode && value.rawText == Value::RawText::Unicode) {
                written = false;
                return;
            }
            const auto line = renderValue(unicode ? inUnicode(value) : value, unicode);
            if (!line) {
                written = false;
                return;
            }
            out += *line + QStringLiteral("\r\n");
        }
        out += QStringLiteral("\r\n");
    });
    if (!written)
        return std::nullopt;
    if (!pendingHive.isEmpty())
        out += u'[' + pendingHive + QStringLiteral("]\r\n\r\n");
    return out;
}

}  // namespace

// ---- Tree -------------------------------------------------------------------

namespace {

// The components of a key path, in order.
template <typename Visit>
bool forEachComponent(QStringView path, Visit&& visit)
{
    qsizetype start = 0;
    for (;;) {
        const qsizetype end = path.indexOf(u'\\', start);
        if (!visit(path.sliced(start, (end < 0 ? path.size() : end) - start)))
            return false;
        if (end < 0)
            return true;
        start = end + 1;
    }
}

// The form under which a key name is filed; shares the name's text when folding changes nothing.
QString folded(const QString& name)
{
    QString key = name.toCaseFolded();
    return key == name ? name : key;
}

// The folded form of a name into a buffer used again for every name of a
// path, so that walking a deep path does not allocate at each level.
void foldInto(QStringView name, QString& out)
{
    out.resize(name.size());
    QChar* to = out.data();
    for (qsizetype i = 0; i < name.size(); ++i) {
        const char16_t c = name[i].unicode();
        if (c >= 0x80) {
            out = name.toString().toCaseFolded();
            return;
        }
        to[i] = QChar(c >= u'A' && c <= u'Z' ? char16_t(c + (u'a' - u'A')) : c);
    }
}

}  // namespace

bool Tree::isValidPath(const QString& path)
{
    if (path.isEmpty() || path.count(u'\\') > kMaxDepth)
        return false;
    return forEachComponent(path, [](QStringView part) {
        return !part.isEmpty() && part.size() <= kMaxKeyName
               && std::none_of(part.begin(), part.end(), [](QChar c) { return c.unicode() < 0x20; });
    });
}

bool Tree::isValidValueName(const QString& name)
{
    return std::none_of(name.begin(), name.end(), breaksLine);
}

int Tree::findNode(QStringView path) const
{
    int node = -1;
    QString key;
    forEachComponent(path, [&](QStringView part) {
        const Children& children = childrenOf(node);
        foldInto(part, key);
        const auto it = children.find(key);
        node = it == children.end() ? -1 : it->second;
        return node >= 0;
    });
    return node;
}

int Tree::ensureNode(QStringView path)
{
    // Parents first: every key's parents exist.
    int node = -1;
    QString key;
    forEachComponent(path, [&](QStringView part) {
        Children& children = childrenOf(node);
        foldInto(part, key);
        if (const auto it = children.find(key); it != children.end()) {
            node = it->second;
            return true;
        }
        const QString name = part.toString();
        key = folded(name);
        const int parent = node;
        node = static_cast<int>(m_nodes.size());
        const qsizetype parentLength = parent < 0 ? -1 : m_nodes[size_t(parent)].pathLength;
        m_nodes.push_back(Node{Key{name, {}}, parent, parentLength + 1 + name.size(), {}});
        childrenOf(parent).emplace(key, node);
        ++m_count;
        m_pathCharacters += m_nodes.back().pathLength;
        return true;
    });
    return node;
}

const Key* Tree::find(const QString& path) const
{
    const int node = findNode(path);
    return node < 0 ? nullptr : &m_nodes[size_t(node)].key;
}

Key& Tree::ensure(const QString& path)
{
    return m_nodes[size_t(ensureNode(path))].key;
}

void Tree::removeSubtree(const QString& path)
{
    const int top = findNode(path);
    if (top < 0)
        return;
    Children& siblings = childrenOf(m_nodes[size_t(top)].parent);
    siblings.erase(folded(m_nodes[size_t(top)].key.name));
    std::vector<int> pending{top};
    while (!pending.empty()) {
        Node& node = m_nodes[size_t(pending.back())];
        pending.pop_back();
        for (const auto& child : node.children)
            pending.push_back(child.second);
        node = Node{};
        --m_count;
    }
}

QStringList Tree::children(const QString& path) const
{
    QStringList names;
    const int node = findNode(path);
    if (node < 0)
        return names;
    for (const auto& child : m_nodes[size_t(node)].children)
        names.append(m_nodes[size_t(child.second)].key.name);
    return names;
}

void Tree::visit(int node, QString& path, const std::function<void(const QString&, const Key&)>& visitKey) const
{
    const qsizetype length = path.size();
    for (const auto& child : childrenOf(node)) {
        const Node& each = m_nodes[size_t(child.second)];
        if (node >= 0)
            path += u'\\';
        path += each.key.name;
        visitKey(path, each.key);
        visit(child.second, path, visitKey);
        path.truncate(length);
    }
}

void Tree::forEachKey(const std::function<void(const QString& path, const Key& key)>& visitKey) const
{
    QString path;
    visit(-1, path, visitKey);
}

bool Tree::sameBelow(const Tree& a, int nodeA, const Tree& b, int nodeB)
{
    const Children& left = a.childrenOf(nodeA);
    const Children& right = b.childrenOf(nodeB);
    if (left.size() != right.size())
        return false;
    for (auto l = left.begin(), r = right.begin(); l != left.end(); ++l, ++r) {
        if (l->first != r->first || !(a.m_nodes[size_t(l->second)].key == b.m_nodes[size_t(r->second)].key)
            || !sameBelow(a, l->second, b, r->second))
            return false;
    }
    return true;
}

bool operator==(const Tree& a, const Tree& b)
{
    return a.m_count == b.m_count && Tree::sameBelow(a, -1, b, -1);
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

// The lines of a text, one after another, without copying them.
class Lines {
public:
    explicit Lines(QStringView text) : m_text(text) {}
    bool next(QStringView& line)
    {
        if (m_position > m_text.size())
            return false;
        qsizetype end = m_text.indexOf(u'\n', m_position);
        if (end < 0)
            end = m_text.size();
        line = m_text.sliced(m_position, end - m_position);
        m_position = end + 1;
        ++m_number;
        return true;
    }
    bool atEnd() const { return m_position > m_text.size(); }
    int number() const { return m_number; }  // of the line read last, from 1

private:
    QStringView m_text;
    qsizetype m_position = 0;
    int m_number = 0;
};

}  // namespace

QString fileSizeProblem(qint64 bytes)
{
    if (bytes <= kMaxFileBytes)
        return {};
    return tr("the file is larger than %1 MB").arg(kMaxFileBytes >> 20);
}

// Reads a file into a tree. Values are gathered by key and by case-folded
// name, so that a key with many values is read in linear time, and ordered
// once at the end.
class Reader {
public:
    ParseResult read(const QByteArray& bytes);

private:
    ParseResult fail(const QString& why)
    {
        ParseResult result;
        result.errorLine = m_lines ? m_lines->number() : 0;
        result.error = why;
        return result;
    }
    std::optional<QString> readLine(const QString& line);
    void putValue(Value value);
    void removeValue(const QString& name);
    void removeKey(const QString& path);

    ParseResult m_result;
    Lines* m_lines = nullptr;
    bool m_headerSeen = false;
    bool m_unicode = false;
    int m_section = -1;       // the key values go to; -1 before the first section
    bool m_deleting = false;  // inside a "[-key]" section: its values are dropped
    // The values of one key in the order read, found by case-folded name.
    struct Entry {
        QString folded;
        Value value;
        bool removed = false;
    };
    struct KeyValues {
        std::vector<Entry> entries;
        QHash<QString, qsizetype> byName;  // case-folded name -> entry
    };
    QHash<int, KeyValues> m_values;  // by node
    qsizetype m_valueCount = 0;
};

void Reader::putValue(Value value)
{
    KeyValues& values = m_values[m_section];
    QString folded = value.name.toCaseFolded();
    if (const auto it = values.byName.constFind(folded); it != values.byName.cend()) {
        Entry& entry = values.entries[size_t(*it)];
        value.name = entry.value.name;
        entry.value = std::move(value);
        return;
    }
    values.byName.insert(folded, qsizetype(values.entries.size()));
    values.entries.push_back(Entry{std::move(folded), std::move(value)});
    ++m_valueCount;
}

void Reader::removeValue(const QString& name)
{
    const auto key = m_values.find(m_section);
    if (key == m_values.end())
        return;
    const auto it = key->byName.find(name.toCaseFolded());
    if (it == key->byName.end())
        return;
    key->entries[size_t(*it)].removed = true;
    key->byName.erase(it);
    --m_valueCount;
}

void Reader::removeKey(const QString& path)
{
    Tree& tree = m_result.tree;
    const int top = tree.findNode(path);
    if (top < 0)
        return;
    std::vector<int> pending{top};
    while (!pending.empty()) {
        const int node = pending.back();
        pending.pop_back();
        for (const auto& child : tree.m_nodes[size_t(node)].children)
            pending.push_back(child.second);
        if (const auto values = m_values.find(node); values != m_values.end()) {
            m_valueCount -= values->byName.size();
            m_values.erase(values);
        }
    }
    tree.removeSubtree(path);
}

ParseResult Reader::read(const QByteArray& bytes)
{
    if (const QString problem = fileSizeProblem(bytes.size()); !problem.isEmpty())
        return fail(problem);
    QString text = decodeFile(bytes);
    // Some editors and exports end a file with NULs or a DOS end-of-file mark
    // (Ctrl-Z); they end the text, they are no line of it.
    while (!text.isEmpty() && (text.back() == QChar(0) || text.back() == QChar(0x1A)))
        text.chop(1);
    Lines lines(text);
    m_lines = &lines;
    QStringView line;
    while (lines.next(line)) {
        if (const auto problem = readLine(line.trimmed().toString()))
            return fail(*problem);
    }
    Tree& tree = m_result.tree;
    for (auto it = m_values.begin(); it != m_values.end(); ++it) {
        // Case-folded names are unique within a key and order as the names do
        // compared without case (both compare folded UTF-16).
        std::vector<Entry>& entries = it->entries;
        std::erase_if(entries, [](const Entry& entry) { return entry.removed; });
        std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) { return a.folded < b.folded; });
        QList<Value> values;
        values.reserve(qsizetype(entries.size()));
        for (Entry& entry : entries)
            values.append(std::move(entry.value));
        tree.m_nodes[size_t(it.key())].key.values = std::move(values);
        it->byName.clear();
        std::vector<Entry>().swap(entries);
    }
    m_values.clear();
    m_result.ok = true;
    return std::move(m_result);
}

// Takes in one line; the fault that makes the file unreadable, if any.
std::optional<QString> Reader::readLine(const QString& line)
{
    if (line.isEmpty())
        return std::nullopt;
    if (!m_headerSeen) {
        if (line == QStringView(kHeaderAnsi))
            m_unicode = false;
        else if (line == QStringView(kHeaderUnicode))
            m_unicode = true;
        else
            return tr("the file does not begin with REGEDIT4 or \"Windows Registry Editor Version 5.00\"");
        m_headerSeen = true;
        return std::nullopt;
    }
    if (line.startsWith(u';'))
        return std::nullopt;

    if (line.startsWith(u'[')) {
        if (!line.endsWith(u']'))
            return tr("a key name is not closed by \"]\"");
        QString path = line.mid(1, line.size() - 2);
        m_deleting = path.startsWith(u'-');
        if (m_deleting)
            path.remove(0, 1);
        if (path.count(u'\\') > Tree::kMaxDepth)
            return tr("a key is nested deeper than %1 levels").arg(Tree::kMaxDepth);
        const bool longName =
            !forEachComponent(path, [](QStringView part) { return part.size() <= Tree::kMaxKeyName; });
        if (longName)
            return tr("a key name is longer than %1 characters").arg(Tree::kMaxKeyName);
        if (!Tree::isValidPath(path))
            return tr("\"%1\" is not a key name").arg(path);
        if (m_deleting) {
            removeKey(path);
            m_section = -1;
            return std::nullopt;
        }
        Tree& tree = m_result.tree;
        m_section = tree.ensureNode(path);
        if (tree.keyCount() > kMaxKeys)
            return tr("the file holds more than %1 keys").arg(kMaxKeys);
        if (tree.m_pathCharacters > kMaxPathCharacters)
            return tr("the keys' full names would take more than %1 MB to write back").arg(kMaxFileBytes >> 20);
        return std::nullopt;
    }

    if (!line.startsWith(u'"') && !line.startsWith(u'@'))
        return tr("the line is neither a key nor a value");
    if (m_section < 0 && !m_deleting)
        return tr("a value stands before the first key");

    QString name;
    qsizetype p = 1;
    if (line.startsWith(u'"')) {
        const auto quoted = readQuoted(line, 0);
        if (!quoted)
            return tr("a value name is not closed by a quotation mark");
        name = quoted->first;
        p = quoted->second;
    }
    p = skipSpaces(line, p);
    if (p >= line.size() || line.at(p) != u'=')
        return tr("\"=\" is missing after the value name");
    p = skipSpaces(line, p + 1);
    QString data = line.mid(p);

    std::optional<Value> value;
    if (data == u"-") {
        if (!m_deleting)
            removeValue(name);
        return std::nullopt;
    }
    if (data.startsWith(u'"')) {
        const auto quoted = readQuoted(data, 0);
        if (!quoted || !restIsBlank(data, quoted->second))
            return tr("a text value is not closed by a quotation mark");
        value = Value{name, kTypeString, true, quoted->first, {}};
    } else if (data.startsWith(u"dword:", Qt::CaseInsensitive)) {
        const QString digits = data.mid(6).section(u';', 0, 0).trimmed();
        bool ok = false;
        const quint32 number = digits.toUInt(&ok, 16);
        if (!ok || digits.size() > 8)
            return tr("a dword value is not a hexadecimal number");
        QByteArray raw;
        for (int b = 0; b < 4; ++b)
            raw.append(static_cast<char>((number >> (8 * b)) & 0xFF));
        value = Value{name, kTypeDword, false, {}, raw};
    } else if (data.startsWith(u"hex", Qt::CaseInsensitive)) {
        const qsizetype colon = data.indexOf(u':');
        if (colon < 0)
            return tr("\":\" is missing after the value type");
        const QString kind = data.left(colon).mid(3);
        quint32 type = kTypeBinary;
        if (!kind.isEmpty()) {
            bool ok = false;
            type = kind.startsWith(u'(') && kind.endsWith(u')') ? kind.mid(1, kind.size() - 2).toUInt(&ok, 16) : 0;
            if (!ok)
                return tr("\"%1\" is not a value type").arg(data.left(colon));
        }
        // A long value continues on the next lines, each ending in a backslash.
        QString body = data.mid(colon + 1).trimmed();
        QStringView next;
        while (body.endsWith(u'\\') && m_lines->next(next)) {
            body.chop(1);
            body += next.trimmed();
        }
        const auto raw = parseHexBytes(body);
        if (!raw)
            return tr("a hexadecimal value holds something other than bytes");
        value = binaryValue(name, type, *raw, m_unicode);
    } else {
        return tr("the value's type is not known");
    }
    if (!m_deleting) {
        putValue(std::move(*value));
        if (m_valueCount > kMaxValues)
            return tr("the file holds more than %1 values").arg(kMaxValues);
    }
    return std::nullopt;
}

ParseResult parse(const QByteArray& bytes)
{
    return Reader().read(bytes);
}

QByteArray serialize(const Tree& tree)
{
    if (const auto text = render(tree, false)) {
        if (const auto bytes = texts::toWindows1252(*text)) {
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
