#include "runner/busyindicator.h"

#include <QRandomGenerator>

int busyIndicatorNumber(const QTime &now)
{
    QRandomGenerator generator(quint32(now.msecsSinceStartOfDay() / 1000));
    return int(generator.generate() % BusyIndicatorCount);
}

QString busyIndicatorPath(int number)
{
    return QStringLiteral(":/animatedGif/images/%1.gif").arg(number);
}
