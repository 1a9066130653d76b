#pragma once
// Window positions, sizes and column widths are kept in twips (1440 to the
// inch) so that they mean the same size on screens of different density.
// On screen they become pixels at the screen's logical dots per inch.

#include <QString>

#include <optional>

namespace texts {

constexpr double kTwipsPerInch = 1440.0;

int twipsToPixels(double twips, double logicalDpi);
double pixelsToTwips(int pixels, double logicalDpi);

// Stored text of a twips value: whole twips in plain digits ("1440"), so a
// file written under one locale reads the same under another.
QString twipsToText(double twips);

// The number in a stored text: plain decimal notation, or the user's locale's
// own; nothing for text that is not a finite number (a hand-edited value).
std::optional<double> textToNumber(const QString& text);

}  // namespace texts
