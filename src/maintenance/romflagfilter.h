#pragma once

#include <QString>
#include <QtGlobal>

#include <array>

// One ROM flag as both maintenance windows offer it: the check box that chooses it, where that
// box sits in the flag group box, and the text that marks a ROM name as carrying the flag.
struct RomFlag
{
    const char *objectName;
    const char *label;   // translated in the window's context
    const char *pattern; // nullptr for the custom filter, whose text comes from `lineEdit`
    int x;
    int y;
};

// The flags in the order they are tested; the last row is the custom filter.
inline constexpr int RomFlagCount = 10;
extern const std::array<RomFlag, RomFlagCount> RomFlags;

// The flag boxes' state at the moment a window runs, and the test of a ROM name or a
// Goodinfo.cfg line against it. Patterns are plain case-sensitive substrings, never trimmed.
class RomFlagFilter
{
public:
    static constexpr int NoMatch = 0;

    std::array<bool, RomFlagCount> checked{};
    QString customText;
    // Delete Roms never matches an empty custom text; the swipe matches every subject with it.
    bool emptyCustomMatchesAll = false;

    // The number (1 to 10) of the first checked row whose pattern occurs in `subject`, or NoMatch.
    int firstMatch(QStringView subject) const;
    bool matches(QStringView subject) const { return firstMatch(subject) != NoMatch; }
};
