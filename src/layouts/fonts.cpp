#include "fonts.h"

namespace tolvex {

QFont dialogFont()
{
    QFont font(QStringLiteral("Liberation Sans Narrow"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    return font;
}

} // namespace tolvex
