#include "ui/pages/projectops.h"

#include "core/project/tevproject.h"

#include <QMetaObject>

namespace tev::ProjectOps {

QString GetDistinctCharFieldValues(TTevProject &Project, const QString &AFieldName)
{
    QString values;
    QMetaObject::invokeMethod(&Project, "GetDistinctCharFieldValues", Qt::DirectConnection,
                              Q_RETURN_ARG(QString, values), Q_ARG(QString, AFieldName));
    return values;
}

void SetCharFilter(TTevProject &Project, const QString &AFilter)
{
    QMetaObject::invokeMethod(&Project, "SetCharFilter", Qt::DirectConnection,
                              Q_ARG(QString, AFilter));
}

void MoveCharacteristic(TTevProject &Project, bool Up)
{
    QMetaObject::invokeMethod(&Project, "MoveCharacteristic", Qt::DirectConnection,
                              Q_ARG(bool, Up));
}

void MoveGroup(TTevProject &Project, bool Up)
{
    QMetaObject::invokeMethod(&Project, "MoveGroup", Qt::DirectConnection, Q_ARG(bool, Up));
}

void RenameGroup(TTevProject &Project, const QString &OldGroup, const QString &NewGroup)
{
    QMetaObject::invokeMethod(&Project, "RenameGroup", Qt::DirectConnection,
                              Q_ARG(QString, OldGroup), Q_ARG(QString, NewGroup));
}

quint32 ChangeGroupImage(TTevProject &Project, const QString &AGroupName, const QString &AFileName)
{
    quint32 result = 1;
    QMetaObject::invokeMethod(&Project, "ChangeGroupImage", Qt::DirectConnection,
                              Q_RETURN_ARG(quint32, result), Q_ARG(QString, AGroupName),
                              Q_ARG(QString, AFileName));
    return result;
}

void ToggleSelectedChar(TTevProject &Project)
{
    QMetaObject::invokeMethod(&Project, "ToggleSelectedChar", Qt::DirectConnection);
}

bool ValidDependsFileName(TTevProject &Project, const QString &AFileName)
{
    bool valid = false;
    QMetaObject::invokeMethod(&Project, "ValidDependsFileName", Qt::DirectConnection,
                              Q_RETURN_ARG(bool, valid), Q_ARG(QString, AFileName));
    return valid;
}

void Save(TTevProject &Project)
{
    QMetaObject::invokeMethod(&Project, "Save", Qt::DirectConnection);
}

} // namespace tev::ProjectOps
