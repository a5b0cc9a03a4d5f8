#include "banner.h"

namespace tolvex {

const std::array<QString, 10> &telnetBannerTexts()
{
    // The letters are cut out of a solid block: blanks draw T O L V E X.
    static const std::array<QString, 10> texts = {
        QStringLiteral("#####################################################################"),
        QStringLiteral("##          ###      ###  #########  ######  #          #  ######  ##"),
        QStringLiteral("######  #####  ######  #  #########  ######  #  ###########  ##  ####"),
        QStringLiteral("######  #####  ######  #  #########  ######  #        #######  ######"),
        QStringLiteral("######  #####  ######  #  ###########  ##  ###  ###########  ##  ####"),
        QStringLiteral("######  #######      ###          #####  #####          #  ######  ##"),
        QStringLiteral("#####################################################################"),
        QString(),
        QStringLiteral("            F O R   M I C R O S O F T   W I N D O W S   9 5"),
        QStringLiteral("                  V E R S I O N   2 . 0 0   B E T A"),
    };
    return texts;
}

void fillTelnetBanner(AppState &state)
{
    const auto &texts = telnetBannerTexts();
    for (std::size_t i = 0; i < texts.size(); ++i)
        state.TelnetBanner[i] = texts[i];
}

} // namespace tolvex
