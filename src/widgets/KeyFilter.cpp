#include "widgets/KeyFilter.h"

namespace widgets {

int fnNumericKeyFilter(int keyCode)
{
    constexpr int backspace = 8;
    constexpr int decimalPoint = 46;
    if (keyCode == backspace || keyCode == decimalPoint || (keyCode >= '0' && keyCode <= '9'))
        return keyCode;
    return 0;
}

}  // namespace widgets
