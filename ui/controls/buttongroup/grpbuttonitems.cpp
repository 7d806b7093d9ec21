#include "ui/controls/buttongroup/grpbuttonitems.h"

#include "ui/controls/buttongroup/vyxbuttongroup.h"

#include <algorithm>

namespace tev {

// ---- TvyxGrpButtonItem ----

TvyxGrpButtonItem::TvyxGrpButtonItem(TvyxGrpButtonItems *collection)
    : m_collection(collection)
{}

void TvyxGrpButtonItem::Assign(const TvyxGrpButtonItem &source)
{
    m_caption = source.m_caption;
    m_hint = source.m_hint;
    m_imageIndex = source.m_imageIndex;
    m_action = source.m_action;
    m_onClick = source.m_onClick;
    Changed();
}

void TvyxGrpButtonItem::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    Changed();
}

void TvyxGrpButtonItem::setHint(const QString &hint)
{
    m_hint = hint;
}

void TvyxGrpButtonItem::setImageIndex(int index)
{
    if (index == m_imageIndex)
        return;
    m_imageIndex = index;
    Changed();
}

void TvyxGrpButtonItem::setAction(QAction *action)
{
    m_action = action;
    Changed();
}

int TvyxGrpButtonItem::Index() const
{
    if (!m_collection)
        return -1;
    for (int i = 0; i < m_collection->Count(); ++i)
        if (m_collection->Items(i) == this)
            return i;
    return -1;
}

void TvyxGrpButtonItem::setIndex(int index)
{
    if (m_collection)
        m_collection->Move(Index(), index);
}

TvyxButtonGroup *TvyxGrpButtonItem::ButtonGroup() const
{
    return m_collection ? m_collection->ButtonGroup() : nullptr;
}

void TvyxGrpButtonItem::ScrollIntoView()
{
    if (TvyxButtonGroup *group = ButtonGroup())
        group->ScrollIntoView(Index());
}

void TvyxGrpButtonItem::Changed()
{
    if (m_collection)
        m_collection->Changed(this);
}

// ---- TvyxGrpButtonItems ----

TvyxGrpButtonItems::TvyxGrpButtonItems(TvyxButtonGroup *buttonGroup)
    : m_buttonGroup(buttonGroup)
{}

TvyxGrpButtonItems::~TvyxGrpButtonItems() = default;

TvyxGrpButtonItem *TvyxGrpButtonItems::Items(int index) const
{
    if (index < 0 || index >= Count())
        return nullptr;
    return m_items[std::size_t(index)].get();
}

void TvyxGrpButtonItems::setItems(int index, const TvyxGrpButtonItem &source)
{
    if (TvyxGrpButtonItem *item = Items(index))
        item->Assign(source);
}

std::unique_ptr<TvyxGrpButtonItem> TvyxGrpButtonItems::NewItem()
{
    if (m_buttonGroup)
        return m_buttonGroup->ButtonItemClass(this);
    return std::make_unique<TvyxGrpButtonItem>(this);
}

TvyxGrpButtonItem *TvyxGrpButtonItems::Add()
{
    auto item = NewItem();
    item->m_collection = this;
    item->m_id = m_nextID++;
    m_items.push_back(std::move(item));
    TvyxGrpButtonItem *added = m_items.back().get();
    Changed(nullptr);
    return added;
}

TvyxGrpButtonItem *TvyxGrpButtonItems::AddItem(std::unique_ptr<TvyxGrpButtonItem> item, int index)
{
    TvyxGrpButtonItem *added = nullptr;
    if (item) {
        item->m_collection = this;
        item->m_id = m_nextID++;
        m_items.push_back(std::move(item));
        added = m_items.back().get();
        Changed(nullptr);
    } else if (m_buttonGroup) {
        added = m_buttonGroup->MakeButtonItem();
    }
    if (!added)
        return nullptr;
    added->setIndex(index < 0 ? Count() - 1 : index);
    return added;
}

TvyxGrpButtonItem *TvyxGrpButtonItems::Insert(int index)
{
    return AddItem(nullptr, index);
}

void TvyxGrpButtonItems::Delete(int index)
{
    if (index < 0 || index >= Count())
        return;
    m_items.erase(m_items.begin() + index);
    Changed(nullptr);
}

void TvyxGrpButtonItems::Clear()
{
    if (m_items.empty())
        return;
    BeginUpdate();
    m_items.clear();
    EndUpdate();
}

void TvyxGrpButtonItems::Move(int from, int to)
{
    if (from < 0 || from >= Count())
        return;
    to = std::clamp(to, 0, Count() - 1);
    if (from == to)
        return;
    auto item = std::move(m_items[std::size_t(from)]);
    m_items.erase(m_items.begin() + from);
    m_items.insert(m_items.begin() + to, std::move(item));
    Changed(nullptr);
}

void TvyxGrpButtonItems::Assign(const TvyxGrpButtonItems &source)
{
    if (&source == this)
        return;
    BeginUpdate();
    m_items.clear();
    for (int i = 0; i < source.Count(); ++i)
        Add()->Assign(*source.Items(i));
    EndUpdate();
}

int TvyxGrpButtonItems::IndexOfID(int id) const
{
    for (int i = 0; i < Count(); ++i)
        if (m_items[std::size_t(i)]->ID() == id)
            return i;
    return -1;
}

void TvyxGrpButtonItems::BeginUpdate()
{
    if (m_updateCount == 0) {
        m_originalID = -1;
        if (m_buttonGroup) {
            if (TvyxGrpButtonItem *selected = Items(m_buttonGroup->ItemIndex()))
                m_originalID = selected->ID();
        }
    }
    ++m_updateCount;
}

void TvyxGrpButtonItems::EndUpdate()
{
    if (m_updateCount == 0)
        return;
    if (--m_updateCount == 0)
        Changed(nullptr);
}

void TvyxGrpButtonItems::Changed(TvyxGrpButtonItem *item)
{
    if (m_updateCount == 0)
        Update(item);
}

void TvyxGrpButtonItems::Update(TvyxGrpButtonItem *item)
{
    if (m_updateCount > 0 || !m_buttonGroup || m_buttonGroup->m_ignoreUpdate)
        return;
    if (item)
        m_buttonGroup->InvalidateButton(item->Index());
    else
        m_buttonGroup->ItemsChanged(m_originalID);
}

} // namespace tev
