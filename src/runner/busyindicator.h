#pragma once

#include <QString>
#include <QTime>

// The busy indicator shows one of 21 animated pictures, picked at random. The generator is
// seeded with the seconds since midnight, so starts within the same second show the same one.
constexpr int BusyIndicatorCount = 21;

int busyIndicatorNumber(const QTime &now);

// The compiled-in picture of that number, ":/animatedGif/images/<n>.gif".
QString busyIndicatorPath(int number);
