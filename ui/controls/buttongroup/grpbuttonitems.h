#pragma once

#include <QAction>
#include <QPointer>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

namespace tev {

class TvyxButtonGroup;
class TvyxGrpButtonItems;

// One button of a group: caption, hint, image, and what a click does. A caption of "-" makes the
// item a separator. Items are identified across moves by their ID, unique in their collection.
class TvyxGrpButtonItem
{
public:
    using TClickEvent = std::function<void(QObject *Sender)>;

    explicit TvyxGrpButtonItem(TvyxGrpButtonItems *collection);
    virtual ~TvyxGrpButtonItem() = default;
    TvyxGrpButtonItem(const TvyxGrpButtonItem &) = delete;
    TvyxGrpButtonItem &operator=(const TvyxGrpButtonItem &) = delete;

    // Copies caption, hint, image index, action and click handler.
    virtual void Assign(const TvyxGrpButtonItem &source);

    QString Caption() const { return m_caption; }
    void setCaption(const QString &caption);
    QString Hint() const { return m_hint; }
    void setHint(const QString &hint);
    int ImageIndex() const { return m_imageIndex; }
    void setImageIndex(int index);
    QAction *Action() const { return m_action; }
    void setAction(QAction *action);
    const TClickEvent &OnClick() const { return m_onClick; }
    void setOnClick(TClickEvent handler) { m_onClick = std::move(handler); }

    bool Separator() const { return m_caption == QLatin1String("-"); }
    int ID() const { return m_id; }
    int Index() const;
    // Moves the item to another position of its collection.
    void setIndex(int index);
    TvyxGrpButtonItems *Collection() const { return m_collection; }
    TvyxButtonGroup *ButtonGroup() const;
    void ScrollIntoView();

private:
    friend class TvyxGrpButtonItems;
    void Changed();

    TvyxGrpButtonItems *m_collection;
    int m_id = -1;
    QString m_caption;
    QString m_hint;
    int m_imageIndex = -1;
    QPointer<QAction> m_action;
    TClickEvent m_onClick;
};

// The items of one group. Item changes reach the group through Update: one item repaints its
// button, a change of the whole collection re-finds the selected item by the ID remembered at the
// start of the outermost update and recomputes the scroll range.
class TvyxGrpButtonItems
{
public:
    explicit TvyxGrpButtonItems(TvyxButtonGroup *buttonGroup = nullptr);
    virtual ~TvyxGrpButtonItems();
    TvyxGrpButtonItems(const TvyxGrpButtonItems &) = delete;
    TvyxGrpButtonItems &operator=(const TvyxGrpButtonItems &) = delete;

    TvyxButtonGroup *ButtonGroup() const { return m_buttonGroup; }
    int Count() const { return int(m_items.size()); }
    TvyxGrpButtonItem *Items(int index) const;
    // Assigns into the existing item.
    void setItems(int index, const TvyxGrpButtonItem &source);

    TvyxGrpButtonItem *Add();
    // Puts item (or, without one, an item the group makes) at index; a negative index means the
    // last place. Returns the item, or nullptr when there is neither an item nor a group.
    TvyxGrpButtonItem *AddItem(std::unique_ptr<TvyxGrpButtonItem> item, int index);
    TvyxGrpButtonItem *Insert(int index);
    void Delete(int index);
    void Clear();
    void Move(int from, int to);
    // Replaces the items by copies of source's.
    void Assign(const TvyxGrpButtonItems &source);
    int IndexOfID(int id) const;

    virtual void BeginUpdate();
    void EndUpdate();
    int UpdateCount() const { return m_updateCount; }
    int OriginalID() const { return m_originalID; }

protected:
    // item: one item changed; nullptr: the collection as a whole changed.
    virtual void Update(TvyxGrpButtonItem *item);

private:
    friend class TvyxGrpButtonItem;
    void Changed(TvyxGrpButtonItem *item);
    std::unique_ptr<TvyxGrpButtonItem> NewItem();

    TvyxButtonGroup *m_buttonGroup;
    std::vector<std::unique_ptr<TvyxGrpButtonItem>> m_items;
    int m_nextID = 0;
    int m_updateCount = 0;
    int m_originalID = -1;
};

} // namespace tev
