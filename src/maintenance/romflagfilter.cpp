#include "maintenance/romflagfilter.h"

#include <QtGlobal>

const std::array<RomFlag, RomFlagCount> RomFlags{{
    {"checkBox", QT_TRANSLATE_NOOP("RomFlagFilter", "Bad Dumps"), "[b", 8, 24},
    {"checkBox_2", QT_TRANSLATE_NOOP("RomFlagFilter", "Over Dumps"), "[o", 8, 48},
    {"checkBox_3", QT_TRANSLATE_NOOP("RomFlagFilter", "Hacked"), "[h", 8, 72},
    {"checkBox_4", QT_TRANSLATE_NOOP("RomFlagFilter", "Trained"), "[t", 8, 96},
    {"checkBox_5", QT_TRANSLATE_NOOP("RomFlagFilter", "Game Hacks"), "Hack)", 8, 120},
    {"checkBox_6", QT_TRANSLATE_NOOP("RomFlagFilter", "Pirate"), "[p", 120, 48},
    {"checkBox_8", QT_TRANSLATE_NOOP("RomFlagFilter", "PD"), "(PD)", 120, 72},
    {"checkBox_9", QT_TRANSLATE_NOOP("RomFlagFilter", "Translations"), "[T", 120, 24},
    {"checkBox_10", QT_TRANSLATE_NOOP("RomFlagFilter", "Copier Fixes"), "[f", 120, 96},
    {"checkBox_11", QT_TRANSLATE_NOOP("RomFlagFilter", "Custom Filter"), nullptr, 8, 144},
}};

int RomFlagFilter::firstMatch(QStringView subject) const
{
    for (int row = 0; row < RomFlagCount; ++row) {
        if (!checked[row])
            continue;
        const char *pattern = RomFlags[row].pattern;
        bool found;
        if (pattern)
            found = subject.contains(QLatin1String(pattern), Qt::CaseSensitive);
        else if (customText.isEmpty())
            found = emptyCustomMatchesAll;
        else
            found = subject.contains(customText, Qt::CaseSensitive);
        if (found)
            return row + 1;
    }
    return NoMatch;
}
