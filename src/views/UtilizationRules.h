#pragma once
// How the utilization monitor judges a reading: the level of a percentage
// against the two thresholds of the view's settings, and the words for a
// poll that gave no reading.

#include "models/CellTrouble.h"

#include <QString>

#include <optional>

namespace views {

// A level kept as a whole percentage: nothing for a missing text, or one
// that is not a whole number from 0 to 100 (a hand-edited value).
std::optional<int> storedPercent(const std::optional<QString>& text);

struct UtilizationThresholds {
    int warning = 70;   // at or above: warning
    int critical = 90;  // at or above: critical
};

// The thresholds from the stored texts (`UtilWarning`, `UtilCritical`); a
// missing, non-numeric or out-of-range text, or a warning level above the
// critical one, gives the default of that value (both defaults when they
// cross). *problem receives a message for the user when a stored text was
// not usable.
UtilizationThresholds readUtilizationThresholds(const std::optional<QString>& warning,
                                                const std::optional<QString>& critical, QString* problem = nullptr);

enum class UtilizationLevel { Unknown, Normal, Warning, Critical };
// The level of a "Util %" cell ("?" and other non-numbers are Unknown).
UtilizationLevel utilizationLevel(const QString& cellText, const UtilizationThresholds& thresholds);
// The trouble level the shared tables draw for a utilization level.
models::TroubleLevel troubleLevelOf(UtilizationLevel level);
// The percentage of a cell, clamped to 0 .. 100; nothing for "?".
std::optional<int> utilizationPercent(const QString& cellText);

// A NetWare status as the client's documentation writes it: "0x8801".
QString netwareStatusText(quint32 status);

// Why a poll of a server gave "?".
enum class PollFailure { CannotConnect, NotAuthenticated, RequestFailed };
QString pollFailureText(PollFailure failure, quint32 status);

}  // namespace views
