#include "ui/kit/mainform.h"

#include <QPointer>
#include <QWidget>

namespace tev {

namespace {
QPointer<QWidget> &mainFormRef()
{
    static QPointer<QWidget> form;
    return form;
}
} // namespace

QWidget *mainForm()
{
    return mainFormRef();
}

void setMainForm(QWidget *form)
{
    mainFormRef() = form;
}

} // namespace tev

namespace tev {

namespace {
QString &titleRef()
{
    static QString title = QStringLiteral("Tevora");
    return title;
}
} // namespace

QString applicationTitle()
{
    return titleRef();
}

void setApplicationTitle(const QString &title)
{
    titleRef() = title;
}

} // namespace tev
