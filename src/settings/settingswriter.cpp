#include "settings/settingswriter.h"

namespace {

QString line(QLatin1String key, const QString &value)
{
    return key + u'=' + value + u'\n';
}

QString flag(bool value)
{
    return value ? QStringLiteral("true") : QStringLiteral("false");
}

} // namespace

QString settingsFileText(const GlobalSettings &settings, const QList<SystemEntry> &systems)
{
    QString text =
        line(QLatin1String("Good*.exe Directory"), settings.configuredGoodExeDir) +
        line(QLatin1String("Same as Rom Path"), flag(settings.sameAsRomPath)) +
        line(QLatin1String("Check Version At Startup"), flag(settings.checkVersionAtStartup)) +
        line(QLatin1String("Load Summary At Startup"), flag(settings.loadSummaryAtStartup)) + u'\n';
    for (const SystemEntry &system : systems)
        text += system.key + u'=' + system.systemName + u'\n' +
                line(QLatin1String("Rom Path"), system.configuredRomPath) +
                line(QLatin1String("File Name"), system.toolFile) + u'\n';
    return text;
}
