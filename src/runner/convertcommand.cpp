#include "runner/convertcommand.h"

#include <QCoreApplication>

namespace {

QString tr(const char *text)
{
    return QCoreApplication::translate("MainWindow", text);
}

} // namespace

ConvertCommand convertCommandFor(const QString &selectorText)
{
    if (selectorText.startsWith(QLatin1String("[Gen")))
        return {true, tr("convert"), tr("Convert SMD/MD format to BIN format")};
    if (selectorText.startsWith(QLatin1String("[SNES")))
        return {true, tr("convert"), tr("Convert SNES interleave to non-interleave")};
    if (selectorText.startsWith(QLatin1String("[NES")))
        return {true, tr("fixnes script"),
                tr("Fix iNES header information using the script in Good.doc")};
    return {};
}
