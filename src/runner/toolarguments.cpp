#include "runner/toolarguments.h"

#include "settings/systementry.h"

namespace {

// The word of the convert button: "convert" for Genesis and SNES, "fixnes" for the first run of
// the NES script ("fixnes script" without " script") and "rename" for its later runs. The stage
// counts on a "[NES" system only: a script paused there must not rename another collection.
QString convertWord(const QString &selectorText, const QString &label, int fixNesStage)
{
    if (fixNesStage > 1 && selectorText.startsWith(QLatin1String("[NES")))
        return QStringLiteral("rename");
    return QString(label).remove(QLatin1String(" script"));
}

void appendLabel(QStringList &arguments, const QString &label)
{
    if (!label.isEmpty())
        arguments.append(label);
}

} // namespace

QStringList ToolArguments::list() const
{
    QStringList arguments;
    appendLabel(arguments, command);
    if (auditLevel)
        arguments.append(QLatin1String("audit") + *auditLevel);
    if (custom)
        arguments.append(*custom);
    if (convertLabel)
        arguments.append(convertWord(selectorText, *convertLabel, fixNesStage));

    appendLabel(arguments, folders);
    appendLabel(arguments, noSeparator);
    if (separator)
        arguments.append(QLatin1String("sep") + *separator);
    arguments.append(general);
    appendLabel(arguments, changes);
    appendLabel(arguments, force);
    // The tools name their config sections after the key without its brackets: "[Gen" -> "Gen".
    if (configKey)
        arguments << QStringLiteral("config") << keyWithoutBrackets(*configKey);
    return arguments;
}
