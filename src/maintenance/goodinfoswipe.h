#pragma once

#include "maintenance/romflagfilter.h"

#include <QByteArray>
#include <QSet>
#include <QString>
#include <QStringList>

#include <functional>

// The exclusion marker of a Goodinfo.cfg flag line: a line ending in ";n" (or ";;n") is marked.
bool isExcludedLine(QStringView line);
// The line with the marker added: ";;n" without any ";", "n" after a trailing ";", ";n" otherwise.
// A marked line comes back unchanged.
QString withExclusionMarker(const QString &line);
// The line without a trailing ";;n" or, failing that, ";n".
QString withoutExclusionMarker(const QString &line);

// The first entry of the swipe window's section list, which processes the whole file.
QString swipeAllText();

// Rewrites Goodinfo.cfg line by line: marks the lines of the selected section (or of the whole
// file) that carry a chosen flag, or with "Exclude None" takes the marker off every such line.
// A section starts at a line equal to the selection and ends before the next line equal to any
// item text, so headers of systems the user has not configured do not end it.
class GoodinfoSwipe
{
public:
    GoodinfoSwipe(const QString &selection, const QStringList &itemTexts,
                  const RomFlagFilter &filter, bool excludeNone);

    // The text written for the next line of the file, without its line end.
    QString nextLine(const QString &line);

    // The whole new file for `content`. Every line ends with the platform's line end. Bytes that
    // the swipe leaves alone survive it: a line that is not valid UTF-8 is taken as Latin-1.
    QByteArray swipe(QByteArrayView content);

private:
    QString processed(const QString &line) const;

    QString m_selection;
    QSet<QString> m_itemTexts;
    RomFlagFilter m_filter;
    bool m_excludeNone;
    bool m_swipeAll;
    bool m_inSection = false;
};

struct SwipeOutcome
{
    enum Status { Swiped, Missing, ReadFailed, WriteFailed };
    Status status = Swiped;
    QString error; // the reason, for ReadFailed and WriteFailed
};

// Swipes the file at `path` in place. The new text goes to a uniquely named file beside it, which
// then replaces it in one step; on any failure the file stays as it was. `beforeReplace` runs
// between writing and replacing (tests use it to make the replace fail).
SwipeOutcome swipeGoodinfoFile(const QString &path, GoodinfoSwipe swipe,
                               const std::function<void()> &beforeReplace = {});
