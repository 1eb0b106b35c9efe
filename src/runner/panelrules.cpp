#include "runner/panelrules.h"

#include <QHash>

QString toggledVariantLabel(const QString &objectName, const QString &label)
{
    // Each variant button: its base word and the mark its second form ends with.
    struct Variant
    {
        QLatin1String word;
        QLatin1Char mark;
    };
    static const QHash<QString, Variant> variants{
        {QStringLiteral("changes"), {QLatin1String("changes"), QLatin1Char('-')}},
        {QStringLiteral("changesnew"), {QLatin1String("changesnew"), QLatin1Char('-')}},
        {QStringLiteral("scan"), {QLatin1String("scan"), QLatin1Char('d')}},
        {QStringLiteral("scannew"), {QLatin1String("scannew"), QLatin1Char('d')}},
        {QStringLiteral("list"), {QLatin1String("list"), QLatin1Char('d')}},
    };
    const auto variant = variants.constFind(objectName);
    if (variant == variants.constEnd())
        return {};
    if (label.endsWith(variant->mark))
        return variant->word;
    return variant->word + variant->mark;
}

bool OptionVisibility::operator==(const OptionVisibility &other) const
{
    return folders == other.folders && general == other.general && separator == other.separator &&
           changes == other.changes && force == other.force && auditSort == other.auditSort &&
           deep == other.deep;
}

OptionVisibility optionVisibilityFor(PanelCommand command, int auditLevelIndex)
{
    switch (command) {
    case PanelCommand::Custom:
        return {true, true, true, true, true, true, true};
    case PanelCommand::Rename:
        return {true, true, true, true, true, false, false};
    case PanelCommand::Move:
        return {true, true, false, true, false, false, false};
    case PanelCommand::Scan:
        return {false, true, false, false, false, false, true};
    case PanelCommand::Audit: {
        // Only the levels "3" and "4" report lines worth sorting and de-duplicating.
        const bool sortable = auditLevelIndex == 3 || auditLevelIndex == 4;
        return {false, true, false, false, false, sortable, false};
    }
    case PanelCommand::List:
    case PanelCommand::Convert:
    case PanelCommand::None:
        break;
    }
    return {false, true, false, false, false, false, false};
}
