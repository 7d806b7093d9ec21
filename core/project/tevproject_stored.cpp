// The open project against what the database stores: the stale check of every write, the
// question it asks, and the copy of what was stored at the last open or save that the user's
// "No" to saving writes back.

#include "core/project/projectdatasets.h"
#include "core/project/projectscopes.h"

#include <QMetaMethod>

namespace tev {

TTevProject::StoredCopy::StoredCopy()
{
    CreateProjectDataSet(Header);
    CreateCharDataSet(Chars);
}

bool TTevProject::WrittenSinceSaved() const
{
    return FSavedStamp && !(FStoredStamp == *FSavedStamp);
}

TStaleAnswer TTevProject::AskStale()
{
    TStaleAnswer answer = TStaleAnswer::NotAsked;
    if (isSignalConnected(QMetaMethod::fromSignal(&TTevProject::OnStaleWrite)))
        Q_EMIT OnStaleWrite(&answer);
    return answer;
}

bool TTevProject::WriteStored(WriteKind Kind, const std::function<void(TStoredStamp *)> &Write)
{
    if (Kind == WriteKind::Automatic) {
        // The user kept another user's save: writing would only be refused again.
        if (FStaleKept)
            return false;
        KeepStoredCopy();
    }
    try {
        Write(&FStoredStamp);
        FStaleKept = false;
        return true;
    } catch (const StaleWriteError &) {
        switch (AskStale()) {
        case TStaleAnswer::Overwrite:
            break;
        case TStaleAnswer::Keep:
            FStaleKept = true;
            if (Kind == WriteKind::Automatic) {
                qCInfo(lcProject) << "A change of" << FRelativeFileName
                                  << "stays in memory: another user saved the project.";
                return false;
            }
            throw StaleWriteError(
                QStringLiteral("Another user saved this project after you opened it, and it was "
                               "not overwritten: nothing of this save was stored, and the changes "
                               "stay on screen."),
                true);
        case TStaleAnswer::NotAsked:
            throw;
        }
    }
    // The user chose to overwrite what the other user stored.
    FStoredStamp = TStoredStamp();
    Write(&FStoredStamp);
    FStaleKept = false;
    return true;
}

void TTevProject::KeepStoredCopy()
{
    if (!FData || FSavedCopy || !FSavedStamp || WrittenSinceSaved())
        return;
    // Read before the first write since the last open or save: what the database holds now.
    auto copy = std::make_unique<StoredCopy>();
    TStoredStamp read;
    if (FData->ReadProject(FRelativeFileName, copy->Header, copy->Chars, &read))
        FSavedCopy = std::move(copy);
}

void TTevProject::MarkSaved()
{
    FSavedStamp = FStoredStamp;
    FSavedCopy.reset();
    FStaleKept = false;
}

void TTevProject::ForgetStored()
{
    FStoredStamp = TStoredStamp();
    FSavedStamp.reset();
    FSavedCopy.reset();
    FStaleKept = false;
}

bool TTevProject::RevertStored()
{
    if (!FData || !WrittenSinceSaved() || !FSavedCopy)
        return false;
    const std::unique_ptr<StoredCopy> copy = std::move(FSavedCopy);
    try {
        FData->WriteProject(FRelativeFileName, copy->Header, copy->Chars,
                            TTevDBUpdateMode::dbumSaveAll, &FStoredStamp);
    } catch (const StaleWriteError &) {
        // Another user saved after this client's last write: their save stays as it is.
        qCInfo(lcProject) << "Not written back:" << FRelativeFileName
                          << "was saved by another user since.";
        return false;
    }
    FSavedStamp = FStoredStamp;
    return true;
}

} // namespace tev
