#include "settings/WindowState.h"

#include "settings/ColumnScale.h"

#include "core/AppContext.h"
#include "settings/Registry.h"
#include "text/Twips.h"

#include <cmath>
#include <QAbstractItemModel>
#include <QHeaderView>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QVariant>
#include <QWidget>

namespace settings {

namespace {

// Where an arrangement put a window, and where it was before.
constexpr char kArrangedProperty[] = "veskaroArrangedGeometry";
constexpr char kUnarrangedProperty[] = "veskaroUnarrangedGeometry";

QString headerText(const QHeaderView* header, int section)
{
    return header->model() ? header->model()->headerData(section, header->orientation()).toString() : QString();
}

}  // namespace

WindowState::WindowState(RegistryStore& store, QString keyPath, WindowGeometry defaults, bool saveEnabled)
    : m_store(store)
    , m_keyPath(std::move(keyPath))
    , m_defaults(defaults)
    , m_saveEnabled(saveEnabled)
{
}

WindowState::WindowState(core::AppContext& context, QString keyPath, WindowGeometry defaults)
    : WindowState(context.registry(), std::move(keyPath), defaults, context.saveWindowState)
{
}

QWidget* WindowState::frameOf(QWidget* view)
{
    for (QWidget* w = view; w; w = w->parentWidget()) {
        if (qobject_cast<QMdiSubWindow*>(w) || w->isWindow())
            return w;
    }
    return view;
}

void WindowState::restore(QWidget* view)
{
    QWidget* frame = frameOf(view);
    const WindowGeometry g = loadWindowGeometry(m_store, m_keyPath, m_defaults);
    // move() places the outer frame of a top-level window; resize() its inside.
    // save() reads pos() and size(), the same pair, so sizes do not creep.
    QRect placed = m_applied.apply(g, frame->logicalDpiX(), frame->logicalDpiY());
    if (auto* child = qobject_cast<QMdiSubWindow*>(frame); child && child->mdiArea() && child->mdiArea()->isVisible()) {
        const QWidget* documents = child->mdiArea()->viewport();
        placed = keepInside(placed, QRect(QPoint(0, 0), documents->size()));
    }
    frame->move(placed.topLeft());
    frame->resize(placed.size());
}

void WindowState::noteArranged(QWidget* frame, const QRect& before)
{
    // Arranged again while still where the last arrangement put it: its own
    // place is still the one noted then.
    const QVariant arranged = frame->property(kArrangedProperty);
    if (!arranged.isValid() || arranged.toRect() != before)
        frame->setProperty(kUnarrangedProperty, before);
    frame->setProperty(kArrangedProperty, QRect(frame->pos(), frame->size()));
}

void WindowState::save(QWidget* view) const
{
    QWidget* frame = frameOf(view);
    if (!m_saveEnabled || frame->isMinimized() || frame->isMaximized())
        return;
    QRect now(frame->pos(), frame->size());
    const QVariant arranged = frame->property(kArrangedProperty);
    if (arranged.isValid() && arranged.toRect() == now)
        now = frame->property(kUnarrangedProperty).toRect();
    saveWindowGeometry(m_store, m_keyPath, m_applied.toStore(now, frame->logicalDpiX(), frame->logicalDpiY()));
}

int WindowState::listColumnWidth(const QWidget* reference, const QString& header) const
{
    const double twips = readTwipsSetting(m_store, m_keyPath, kColWidthHeadingPrefix + header);
    return qMax(0, texts::twipsToPixels(twips, columnDotsPerInch(reference)));
}

void WindowState::restoreListColumns(QHeaderView* header) const
{
    for (int i = 0; i < header->count(); ++i)
        header->resizeSection(i, listColumnWidth(header, headerText(header, i)));
}

void WindowState::saveListColumns(const QHeaderView* header) const
{
    if (!m_saveEnabled)
        return;
    for (int i = 0; i < header->count(); ++i)
        saveColumnWidth(header, kColWidthHeadingPrefix + headerText(header, i), header->sectionSize(i));
}

void WindowState::saveColumnWidth(const QWidget* reference, const QString& name, int pixels) const
{
    // A pixel is more than a twip: a column the user left as it was keeps its
    // stored width to the twip instead of creeping by rounding on every run.
    const double dpi = columnDotsPerInch(reference);
    const auto stored = texts::textToNumber(readSetting(m_store, m_keyPath, name));
    const double twips =
        stored && texts::twipsToPixels(*stored, dpi) == pixels ? *stored : texts::pixelsToTwips(pixels, dpi);
    saveSetting(m_store, m_keyPath, name, texts::twipsToText(twips));
}

std::optional<int> WindowState::gridColumnWidth(const QWidget* reference, int column) const
{
    const double twips = readTwipsSetting(m_store, m_keyPath, kColWidthPrefix + QString::number(column));
    const int pixels = texts::twipsToPixels(twips, columnDotsPerInch(reference));
    if (pixels <= 0)
        return std::nullopt;
    return pixels;
}

std::optional<int> WindowState::gridColumnTwips(int column) const
{
    const double twips = readTwipsSetting(m_store, m_keyPath, kColWidthPrefix + QString::number(column));
    if (!(twips >= 1.0))
        return std::nullopt;
    return static_cast<int>(std::lround(twips));
}

void WindowState::saveGridColumnTwips(int column, int twips) const
{
    if (m_saveEnabled)
        saveSetting(m_store, m_keyPath, kColWidthPrefix + QString::number(column), texts::twipsToText(twips));
}

void WindowState::restoreGridColumns(QHeaderView* header) const
{
    for (int i = 0; i < header->count(); ++i) {
        if (const auto width = gridColumnWidth(header, i))
            header->resizeSection(i, *width);
    }
}

void WindowState::saveGridColumns(const QHeaderView* header) const
{
    if (!m_saveEnabled)
        return;
    for (int i = 0; i < header->count(); ++i)
        saveColumnWidth(header, kColWidthPrefix + QString::number(i), header->sectionSize(i));
}

}  // namespace settings
