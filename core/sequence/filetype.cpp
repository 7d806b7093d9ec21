#include "core/sequence/filetype.h"

namespace tev {

QString FileTypeExt(TTevFileType FileType)
{
    switch (FileType) {
    case TTevFileType::pftSEQ:
        return QStringLiteral(".seq");
    case TTevFileType::pftMSEQ:
        return QStringLiteral(".mseq");
    case TTevFileType::pftUnknown:
        break;
    }
    return {};
}

TTevFileType FileTypeOfExt(const QString &Ext)
{
    for (TTevFileType t : {TTevFileType::pftUnknown, TTevFileType::pftSEQ, TTevFileType::pftMSEQ}) {
        if (Ext == FileTypeExt(t))
            return t;
    }
    return TTevFileType::pftUnknown;
}

QString FileTypeToText(TTevFileType FileType)
{
    switch (FileType) {
    case TTevFileType::pftSEQ:
        return QStringLiteral("Kelmetra Sequence (*.seq)");
    case TTevFileType::pftMSEQ:
        return QStringLiteral("Sentavo Sequence (*.mseq)");
    case TTevFileType::pftUnknown:
        break;
    }
    return QStringLiteral("Undefined");
}

TTevFileType FileTypeFromInt(int Value)
{
    switch (Value) {
    case 1:
        return TTevFileType::pftSEQ;
    case 2:
        return TTevFileType::pftMSEQ;
    default:
        return TTevFileType::pftUnknown;
    }
}

} // namespace tev
