#include "models/RowNameIndex.h"

#include <QChar>

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace models {

namespace {

constexpr std::uint64_t kHighBits = 0xFF80FF80FF80FF80ULL;  // anything beyond ASCII in four UTF-16 units
constexpr std::uint64_t kLanes = 0x0001000100010001ULL;

// Four UTF-16 units of plain ASCII with A..Z made small, all four at once:
// in each unit, bit 7 of unit + 0x3F is set from 'A' on and bit 7 of unit +
// 0x25 from '[' on.
std::uint64_t foldAsciiWord(std::uint64_t word)
{
    const std::uint64_t fromA = word + 0x3F * kLanes;
    const std::uint64_t pastZ = word + 0x25 * kLanes;
    const std::uint64_t upper = fromA & ~pastZ & (0x80 * kLanes);
    return word | (upper >> 2);
}

std::uint64_t mix(std::uint64_t hash, std::uint64_t word)
{
    hash ^= word;
    hash *= 0x9E3779B97F4A7C15ULL;
    return hash ^ (hash >> 29);
}

// Hashes UTF-16 units four at a time, the last word padded with zeros and
// the length part of the seed. With foldAscii, A..Z count as a..z; false
// when a unit beyond ASCII comes, which needs the folding of foldUnits.
bool hashUnits(const char16_t* units, size_t count, bool foldAscii, size_t* result)
{
    std::uint64_t hash = mix(0x2545F4914F6CDD1DULL, count);
    size_t i = 0;
    for (; i + 4 <= count; i += 4) {
        std::uint64_t word = 0;
        std::memcpy(&word, units + i, sizeof word);
        if (foldAscii) {
            if (word & kHighBits)
                return false;
            word = foldAsciiWord(word);
        }
        hash = mix(hash, word);
    }
    if (i < count) {
        std::uint64_t word = 0;
        for (size_t k = 0; i + k < count; ++k)
            word |= std::uint64_t(units[i + k]) << (16 * k);
        if (foldAscii) {
            if (word & kHighBits)
                return false;
            word = foldAsciiWord(word);
        }
        hash = mix(hash, word);
    }
    *result = static_cast<size_t>(hash);
    return true;
}

// Case folded as QString::compare folds without regard to case: code point
// by code point, surrogate pairs as one.
void foldUnits(QStringView name, std::vector<char16_t>& out)
{
    out.clear();
    out.reserve(static_cast<size_t>(name.size()));
    const qsizetype n = name.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t u = name[i].unicode();
        if (QChar::isHighSurrogate(u) && i + 1 < n && QChar::isLowSurrogate(name[i + 1].unicode())) {
            const char32_t folded = QChar::toCaseFolded(QChar::surrogateToUcs4(u, name[i + 1].unicode()));
            if (QChar::requiresSurrogates(folded)) {
                out.push_back(QChar::highSurrogate(folded));
                out.push_back(QChar::lowSurrogate(folded));
            } else {
                out.push_back(static_cast<char16_t>(folded));
            }
            ++i;
        } else {
            out.push_back(static_cast<char16_t>(QChar::toCaseFolded(char32_t(u))));
        }
    }
}

}  // namespace

size_t RowNameIndex::hashName(QStringView name, Qt::CaseSensitivity sensitivity)
{
    const auto count = static_cast<size_t>(name.size());
    size_t hash = 0;
    if (hashUnits(name.utf16(), count, sensitivity == Qt::CaseInsensitive, &hash))
        return hash;
    // Rare: a name beyond ASCII is folded into a buffer first. ASCII folds
    // the same either way, so "Überlauf" and "üBERLAUF" meet.
    thread_local std::vector<char16_t> folded;
    foldUnits(name, folded);
    hashUnits(folded.data(), folded.size(), false, &hash);
    return hash;
}

bool RowNameIndex::matches(const Slot& slot, QStringView name, size_t hash) const
{
    if (slot.hash != hash)
        return false;
    // Most look-ups find the very spelling they were filed under.
    if (slot.name.size() == name.size() && QStringView(slot.name) == name)
        return true;
    return m_sensitivity == Qt::CaseInsensitive && QStringView(slot.name).compare(name, Qt::CaseInsensitive) == 0;
}

size_t RowNameIndex::slotOf(QStringView name, size_t hash) const
{
    const size_t mask = m_slots.size() - 1;
    size_t i = hash & mask;
    while (m_slots[i].row >= 0 && !matches(m_slots[i], name, hash))
        i = (i + 1) & mask;
    return i;
}

int RowNameIndex::find(QStringView name) const
{
    if (m_count == 0)
        return -1;
    return m_slots[slotOf(name, hashName(name, m_sensitivity))].row;
}

int RowNameIndex::add(const QString& name, int row)
{
    // At most half full, so that probes stay short.
    if (static_cast<size_t>(m_count + 1) * 2 > m_slots.size())
        grow();
    const size_t hash = hashName(name, m_sensitivity);
    Slot& slot = m_slots[slotOf(name, hash)];
    if (slot.row >= 0)
        return slot.row;
    slot.hash = hash;
    slot.row = row;
    slot.name = name;
    ++m_count;
    return row;
}

void RowNameIndex::grow()
{
    std::vector<Slot> old = std::move(m_slots);
    m_slots.assign(std::max<size_t>(16, old.size() * 2), Slot{});
    const size_t mask = m_slots.size() - 1;
    for (Slot& slot : old) {
        if (slot.row < 0)
            continue;
        size_t i = slot.hash & mask;
        while (m_slots[i].row >= 0)
            i = (i + 1) & mask;
        m_slots[i] = std::move(slot);
    }
}

void RowNameIndex::clear()
{
    m_slots.clear();
    m_count = 0;
}

void RowNameIndex::rebuild(const GridData& grid, int firstRow)
{
    clear();
    firstRow = std::max(0, firstRow);
    const int names = std::max(0, grid.rows() - firstRow);
    size_t capacity = 16;
    while (capacity < static_cast<size_t>(names) * 2)
        capacity *= 2;
    m_slots.assign(capacity, Slot{});
    for (int row = firstRow; row < grid.rows(); ++row)
        add(grid.text(row, 0), row);
}

}  // namespace models
