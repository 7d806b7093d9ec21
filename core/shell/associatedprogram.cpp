#include "core/shell/associatedprogram.h"

#include "core/shell/desktopassociations.h"

namespace tev {

QString GetAssociatedProgram(const QString &FileExt)
{
    const QString extension =
        FileExt.startsWith(QLatin1Char('.')) ? FileExt : QLatin1Char('.') + FileExt;
    // Any base name will do: the MIME data is asked by the name's extension alone.
    const QString program =
        AssociatedProgramForMimeTypes(MimeTypesForFileName(QStringLiteral("file") + extension));
    return program.size() > kMaxAssociatedProgramLength ? QString() : program;
}

} // namespace tev
