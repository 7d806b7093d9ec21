#pragma once

#include "core/picture/picture.h"

#include <QString>

namespace tev {

// The program's picture class: it also reads the gauges' own bitmap format (".kelb"), used for
// cover and characteristic images.
class TKelPicture : public TPicture
{
public:
    TKelPicture() = default;

    // The file of the last successful LoadKELBFromFile; empty after creation.
    QString FileName() const { return m_fileName; }
    void SetFileName(const QString &fileName) { m_fileName = fileName; }

    // Loads `fileName` into the picture: a ".kelb" file (extension compared in lower case)
    // through the KELB decoder, any other file through the image readers. Returns false, with the
    // picture unchanged, when the file does not exist. A file that cannot be read or decoded
    // throws tev::Error and leaves FileName as it was; a malformed KELB file leaves the picture
    // holding the bitmap as far as it was decoded.
    bool LoadKELBFromFile(const QString &fileName);

private:
    void LoadKelb(const QString &fileName);

    QString m_fileName;
};

} // namespace tev
