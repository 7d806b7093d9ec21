#include "core/constants/tevconst.h"

#include <array>

namespace tev {

namespace {

constexpr QChar kPathDelimiter = u'/';

// Whether Inner lies inside Outer: Outer is a proper prefix of Inner that ends at a delimiter.
bool liesInside(const QString &Inner, const QString &Outer)
{
    if (Outer.isEmpty() || !Inner.startsWith(Outer) || Inner.size() == Outer.size())
        return false;
    return Outer.endsWith(kPathDelimiter) || Inner.at(Outer.size()) == kPathDelimiter;
}

constexpr std::array<int, 17> kColumnChangeFlags = {0,  0,  128, 128, 128, 128, 128, 16, 16,
                                                    16, 16, 16,  64,  0,   0,   16,  32};

} // namespace

TDirectoryChangeMode GetDirectoryChangeMode(const QString &OldDir, const QString &NewDir,
                                            QString &SubDir)
{
    if (OldDir == NewDir)
        return TDirectoryChangeMode::dcmNoChange;
    if (liesInside(OldDir, NewDir)) {
        SubDir = OldDir.mid(NewDir.size());
        return TDirectoryChangeMode::dcmSubDirRemoved;
    }
    if (liesInside(NewDir, OldDir)) {
        SubDir = NewDir.mid(OldDir.size());
        return TDirectoryChangeMode::dcmSubDirAdded;
    }
    return TDirectoryChangeMode::dcmOther;
}

int ColumnChangeFlag(int Code)
{
    return Code >= 0 && Code < int(kColumnChangeFlags.size()) ? kColumnChangeFlags[size_t(Code)]
                                                              : 0;
}

} // namespace tev
