#pragma once
// The key tree of a registry export file (.reg), as regedit writes and reads
// it. Veskaro keeps its settings in such a file where there is no registry,
// so that a Windows user can import the same file with regedit.
//
// Reading accepts what regedit exports: "REGEDIT4" (ANSI) and "Windows
// Registry Editor Version 5.00" (UTF-16LE with byte-order mark, or UTF-8),
// comments, "@" default values, hex values continued over several lines, and
// deletions ("[-key]", "name"=-). Values of types Veskaro does not use (dword,
// binary, expandable and multi strings) are kept as they are and written
// back, so a hand-merged file loses nothing.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <deque>
#include <functional>
#include <map>

namespace settings::regfile {

constexpr quint32 kTypeString = 1;        // REG_SZ
constexpr quint32 kTypeExpandString = 2;  // REG_EXPAND_SZ
constexpr quint32 kTypeBinary = 3;        // REG_BINARY
constexpr quint32 kTypeDword = 4;         // REG_DWORD
constexpr quint32 kTypeMultiString = 7;   // REG_MULTI_SZ

struct Value {
    QString name;  // empty for the key's default value ("@")
    quint32 type = kTypeString;
    bool textual = true;  // text holds the data; otherwise raw does
    QString text;         // REG_SZ without its terminator; other text types exactly as stored
    QByteArray raw;
    // For a text type kept as raw bytes (odd-length UTF-16, a REG_SZ without
    // terminator): the encoding the bytes are in, so that the file is written
    // back in that encoding and the bytes keep their meaning.
    enum class RawText : quint8 { None, Ansi, Unicode };
    RawText rawText = RawText::None;
    friend bool operator==(const Value&, const Value&) = default;
};

struct Key {
    QString name;         // the key's own name (a hive's for a top key), in the case first written
    QList<Value> values;  // ordered by name, case-insensitively
    friend bool operator==(const Key&, const Key&) = default;
};

class Reader;

// Keys by full path ("HKEY_CURRENT_USER\Software\Korvanel"). Like the
// registry, names of keys and values compare case-insensitively and keep the
// case in which they were first written. Each key holds only its own name and
// its place below its parent, so a deep key costs no more than its path.
class Tree {
public:
    // The registry's own limits: levels below the hive, and characters of one key name.
    static constexpr int kMaxDepth = 512;
    static constexpr int kMaxKeyName = 255;

    // A path is usable when it has no empty component, no line break or NUL,
    // which a .reg file could not hold, at most kMaxDepth levels below the
    // hive and no name longer than kMaxKeyName.
    static bool isValidPath(const QString& path);
    static bool isValidValueName(const QString& name);

    const Key* find(const QString& path) const;
    // Adds the key and its missing parents; the path must be valid.
    Key& ensure(const QString& path);
    void removeSubtree(const QString& path);
    // Names of the direct sub-keys, ordered case-insensitively.
    QStringList children(const QString& path) const;

    static const Value* findValue(const Key& key, const QString& name);
    // Replaces the value of the same name (keeping its written name) or adds it.
    static void putValue(Key& key, Value value);
    static bool removeValue(Key& key, const QString& name);

    // Every key with its full path, each before its sub-keys and sub-keys
    // ordered case-insensitively: the order of a file.
    void forEachKey(const std::function<void(const QString& path, const Key& key)>& visit) const;
    qsizetype keyCount() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    // The same keys with the same values (names compared as written).
    friend bool operator==(const Tree& a, const Tree& b);

private:
    friend class Reader;
    struct Node {
        Key key;
        int parent = -1;                  // -1: a hive
        qsizetype pathLength = 0;         // characters of the full path
        std::map<QString, int> children;  // case-folded name -> node
    };
    using Children = std::map<QString, int>;

    // The node of a path, or -1.
    int findNode(QStringView path) const;
    int ensureNode(QStringView path);
    const Children& childrenOf(int node) const { return node < 0 ? m_hives : m_nodes[size_t(node)].children; }
    Children& childrenOf(int node) { return node < 0 ? m_hives : m_nodes[size_t(node)].children; }
    void visit(int node, QString& path, const std::function<void(const QString&, const Key&)>& visit) const;
    static bool sameBelow(const Tree& a, int nodeA, const Tree& b, int nodeB);

    std::deque<Node> m_nodes;  // removed nodes stay, without name, values or children
    Children m_hives;
    qsizetype m_count = 0;
    qsizetype m_pathCharacters = 0;  // of every key made, removed or not
};

// What a settings file may hold. Larger files are not read: the registry
// keeps far less for one program, and a file is read whole into memory.
constexpr qint64 kMaxFileBytes = qint64(16) << 20;
constexpr qsizetype kMaxKeys = 100000;
constexpr qsizetype kMaxValues = 250000;
// Every key is written with its full path; a file whose keys would take more
// than this to write back (deep keys named only by their deepest sub-keys) is
// refused like a file that is too large.
constexpr qsizetype kMaxPathCharacters = kMaxFileBytes;

struct ParseResult {
    bool ok = false;
    Tree tree;
    int errorLine = 0;  // 1-based line of the first fault; 0 for a fault of the whole file
    QString error;      // what is wrong there, for the user
};

ParseResult parse(const QByteArray& bytes);
// The fault of a file of this many bytes, or an empty text when its size is readable.
QString fileSizeProblem(qint64 bytes);

// REGEDIT4 in Windows-1252 when every name and text has a Windows-1252 byte,
// otherwise the whole file as "Windows Registry Editor Version 5.00" in
// UTF-16LE with byte-order mark, as regedit itself exports Unicode text.
QByteArray serialize(const Tree& tree);

}  // namespace settings::regfile
