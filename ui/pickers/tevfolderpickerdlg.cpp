#include "ui/pickers/tevfolderpickerdlg.h"

#include "ui/controls/vyxdirectorytreeview.h"
#include "ui/dialogs/kelmsgdlg.h"
#include "ui/dialogs/vyxinputdlg.h"
#include "ui/kit/buttonpanel.h"
#include "ui/kit/colors.h"
#include "ui/kit/fonts.h"
#include "ui/kit/keypreview.h"
#include "ui/kit/speedbutton.h"

#include <QDir>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QVBoxLayout>

namespace tev {

namespace {

constexpr int kPanelHeight = 45;
constexpr int kMaxFolderNameLength = 255;

// The directory tree makes its root the current folder, as the main window's tree must; a picker
// must not move it under the program's feet.
class CurrentFolderGuard
{
public:
    CurrentFolderGuard()
        : m_saved(QDir::currentPath())
    {}
    ~CurrentFolderGuard() { QDir::setCurrent(m_saved); }
    CurrentFolderGuard(const CurrentFolderGuard &) = delete;
    CurrentFolderGuard &operator=(const CurrentFolderGuard &) = delete;

private:
    QString m_saved;
};

QString withoutTrailingDelimiter(QString path)
{
    while (path.size() > 1 && path.endsWith(QLatin1Char('/')))
        path.chop(1);
    return path;
}

bool liesInside(const QString &path, const QString &root)
{
    const QString r = withoutTrailingDelimiter(root);
    const QString p = withoutTrailingDelimiter(path);
    return p == r || p.startsWith(r == QLatin1String("/") ? r : r + QLatin1Char('/'));
}

} // namespace

bool TTevFolderPickerDlg::IsValidFolderName(const QString &name)
{
    return !name.trimmed().isEmpty() && name != QLatin1String(".") && name != QLatin1String("..") &&
           !name.contains(QLatin1Char('/')) && !name.contains(QChar(0)) &&
           name.size() <= kMaxFolderNameLength;
}

TTevFolderPickerDlg::TTevFolderPickerDlg(QWidget *parent, const QString &caption,
                                         const QString &rootFolder, const QString &startFolder)
    : KelForm(parent, Qt::Dialog)
    , m_root(withoutTrailingDelimiter(rootFolder))
    , m_caption(new QLabel(caption, this))
    , m_tree(new TvyxDirectoryTreeView(this))
    , m_panel(new ButtonPanel(this))
{
    setObjectName(QStringLiteral("FolderPickerDlg"));
    setWindowTitle(QStringLiteral("Select Folder"));
    m_caption->setObjectName(QStringLiteral("LblCaption"));
    m_caption->setWordWrap(true);
    m_caption->setContentsMargins(10, 8, 10, 8);
    m_caption->setVisible(!caption.isEmpty());
    setFont(dialogFont(FontFace::SegoeUI, 13));
    m_tree->setObjectName(QStringLiteral("Tree"));
    m_tree->setShowFiles(false);

    m_panel->setObjectName(QStringLiteral("Panel"));
    m_panel->setFixedHeight(kPanelHeight);
    m_panel->setColor(colorFromValue(kColorButtonPanel));
    const QFont buttonFont = dialogFont(FontFace::SegoeUI, 13);
    m_cancelBtn =
        makePanelButton(QStringLiteral("CancelBtn"), QStringLiteral("Cancel"), buttonFont, m_panel);
    m_okBtn = makePanelButton(QStringLiteral("OKBtn"), QStringLiteral("OK"), buttonFont, m_panel);
    m_newFolderBtn = makePanelButton(QStringLiteral("NewFolderBtn"), QStringLiteral("New Folder"),
                                     buttonFont, m_panel);
    m_panel->addRightAligned(m_cancelBtn, 80, QMargins(0, 5, 10, 5), 35);
    m_panel->addRightAligned(m_okBtn, 75, QMargins(5, 5, 5, 5), 35);
    // The panel stacks its own buttons at the right; the new-folder button stands at the left.
    auto *panelLayout = new QHBoxLayout(m_panel);
    panelLayout->setContentsMargins(10, 5, 0, 5);
    m_newFolderBtn->setFixedSize(100, 35);
    panelLayout->addWidget(m_newFolderBtn);
    panelLayout->addStretch();

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(m_caption);
    layout->addWidget(m_tree, 1);
    layout->addWidget(m_panel);
    resize(380, 440);

    connect(m_okBtn, &SpeedButton::clicked, this, &TTevFolderPickerDlg::OKBtnClick);
    connect(m_cancelBtn, &SpeedButton::clicked, this, &TTevFolderPickerDlg::CancelBtnClick);
    connect(m_newFolderBtn, &SpeedButton::clicked, this, &TTevFolderPickerDlg::NewFolderBtnClick);
    connect(m_tree, &QTreeWidget::currentItemChanged, this, &TTevFolderPickerDlg::UpdateButtons);
    new KeyPreviewFilter(this, [this](QKeyEvent &e) { FormKeyDown(e); });

    {
        const CurrentFolderGuard keepCurrentFolder;
        m_tree->setRoot(m_root);
    }
    if (QTreeWidgetItem *top = m_tree->topNode())
        top->setExpanded(true);
    SelectFolder(startFolder);
    UpdateButtons();
}

QString TTevFolderPickerDlg::SelectedFolder() const
{
    const QTreeWidgetItem *node = m_tree->currentItem();
    return node ? withoutTrailingDelimiter(TvyxDirectoryTreeView::GetFullPath(node)) : QString();
}

void TTevFolderPickerDlg::SelectFolder(const QString &path)
{
    QTreeWidgetItem *node = nullptr;
    if (!path.isEmpty() && liesInside(path, m_root)) {
        // FindNode gives nothing for a name that is missing below an existing folder; walk back
        // to the nearest folder that exists.
        QString candidate = withoutTrailingDelimiter(path);
        while (!node && liesInside(candidate, m_root)) {
            node = m_tree->FindNode(candidate);
            if (candidate == m_root)
                break;
            candidate = withoutTrailingDelimiter(QFileInfo(candidate).path());
        }
    }
    if (!node)
        node = m_tree->topNode();
    if (node) {
        m_tree->setCurrentItem(node);
        m_tree->scrollToItem(node);
    }
}

void TTevFolderPickerDlg::NewFolderBtnClick()
{
    QTreeWidgetItem *parentNode = m_tree->currentItem();
    if (!parentNode)
        parentNode = m_tree->topNode();
    if (!parentNode)
        return;
    const QString parentPath = TvyxDirectoryTreeView::GetFullPath(parentNode);
    QString name = QStringLiteral("New Folder");
    if (!VyxInputQuery(QStringLiteral("New Folder"), QStringLiteral("Name of the new folder"), name,
                       100))
        return;
    name = name.trimmed();
    if (!IsValidFolderName(name)) {
        KelShowMessage(QStringLiteral("\"%1\" cannot be the name of a folder.").arg(name));
        return;
    }
    QDir parentDir(parentPath);
    if (parentDir.exists(name)) {
        KelShowMessage(QStringLiteral("\"%1\" already exists in \"%2\".").arg(name, parentPath));
        return;
    }
    if (!parentDir.mkdir(name)) {
        KelShowMessage(
            QStringLiteral("The folder \"%1\" cannot be created in \"%2\".").arg(name, parentPath));
        return;
    }
    m_tree->AddSubDirectories(parentNode, m_tree->SubLevels());
    parentNode->setExpanded(true);
    if (QTreeWidgetItem *created = TvyxDirectoryTreeView::FindChildNode(parentNode, name)) {
        m_tree->setCurrentItem(created);
        m_tree->scrollToItem(created);
    }
    UpdateButtons();
}

void TTevFolderPickerDlg::OKBtnClick()
{
    if (m_tree->currentItem())
        setModalResult(mrOk);
}

void TTevFolderPickerDlg::CancelBtnClick()
{
    setModalResult(mrCancel);
}

void TTevFolderPickerDlg::UpdateButtons()
{
    m_okBtn->setEnabled(m_tree->currentItem() != nullptr);
    m_newFolderBtn->setEnabled(m_tree->topNode() != nullptr && QDir(m_root).exists());
}

void TTevFolderPickerDlg::FormKeyDown(QKeyEvent &event)
{
    switch (classifyKey(event)) {
    case DialogKey::Enter:
        OKBtnClick();
        break;
    case DialogKey::Escape:
    case DialogKey::Cancel:
        setModalResult(mrCancel);
        break;
    case DialogKey::Other:
        break;
    }
}

} // namespace tev
