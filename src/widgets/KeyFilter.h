#pragma once
// Key filter of the refresh-interval boxes: the box takes whole or decimal
// seconds, so only digits, the decimal point and Backspace may reach it.

namespace widgets {

// The character code to use for a pressed key: the code itself for Backspace
// (8), "." (46) and "0".."9" (48..57); 0, meaning the key is dropped, for
// every other key.
int fnNumericKeyFilter(int keyCode);

}  // namespace widgets
