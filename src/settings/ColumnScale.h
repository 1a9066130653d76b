#pragma once
// Column widths are kept in twips chosen for the 8-point system font of the
// desktops the program was designed on (about six pixels a character at 96
// dots per inch). Today's desktop fonts are wider, so widths are converted at
// a resolution raised by the ratio of the two fonts: a column keeps room for
// the same text. Stored widths round-trip through the same scale.

class QWidget;

namespace settings {

// Dots per inch to convert a table's column twips at: the widget's logical
// resolution, raised (never lowered) by the width of the application's font.
double columnDotsPerInch(const QWidget* table);

}  // namespace settings
