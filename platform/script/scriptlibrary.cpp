#include "platform/script/scriptlibrary.h"

#include <QMutex>
#include <vector>

namespace tev::script {

namespace {
struct Registry
{
    QMutex mutex;
    std::vector<LibraryList::Item> items;
};
Registry &registry()
{
    static Registry r;
    return r;
}
} // namespace

void LibraryList::Add(const QString &name, LibraryFactory factory, bool explicitLoad)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    for (Item &i : r.items) {
        if (i.name.compare(name, Qt::CaseInsensitive) == 0) {
            i.factory = std::move(factory);
            i.explicitLoad = explicitLoad;
            return;
        }
    }
    r.items.push_back({name, std::move(factory), explicitLoad});
}

const LibraryList::Item *LibraryList::Find(const QString &name)
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    for (const Item &i : r.items)
        if (i.name.compare(name, Qt::CaseInsensitive) == 0)
            return &i;
    return nullptr;
}

std::vector<LibraryList::Item> LibraryList::Items()
{
    Registry &r = registry();
    QMutexLocker lock(&r.mutex);
    return r.items;
}

} // namespace tev::script
