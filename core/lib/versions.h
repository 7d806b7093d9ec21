#pragma once

#include <QString>
#include <QtGlobal>

// Product versions: four numbers, written "1.2.3" or "1.2.3.4".
//
// Linux executables carry no version resource. The version of this program is compiled in from
// the build and stored in the executable as a marker text, "TevoraFileVersion=" followed by the
// four numbers, so GetAppVersion can read it from our own executable and from any other program
// built with this library. A file without the marker has no version information.
namespace tev {

struct TProductVersion
{
    quint32 Major = 0;
    quint32 Minor = 0;
    quint32 Release = 0;
    quint32 Build = 0;

    friend bool operator==(const TProductVersion &, const TProductVersion &) = default;
};

TProductVersion EncodeProdVersion(quint32 Major, quint32 Minor, quint32 Release, quint32 Build);
// "Major.Minor.Release", with ".Build" when IncludeBuild is true.
QString ProdVersionToStr(const TProductVersion &Version, bool IncludeBuild = false);
// The parts of S separated by "." fill Major, Minor, Release and Build in this order (all text
// after the third "." is the Build part); a part that is not integer text, or is missing, is 0.
TProductVersion StrToProdVersion(const QString &S);
// The version this program was built as.
TProductVersion CompiledVersion();
// The version stored in the executable ExeName; 0.0.0.0 when ExeName is empty or names no
// file. Throws tev::Error when the file carries no version information.
TProductVersion GetAppVersion(const QString &ExeName);

} // namespace tev
