#include "ui/appdialogs/kelaboutbox.h"

#include "core/app/tevapp.h"
#include "core/lib/versions.h"
#include "core/shell/shellexec.h"
#include "ui/appdialogs/kelvendorsdlg.h"
#include "ui/appdialogs/linklabel.h"
#include "ui/kit/keypreview.h"
#include "ui/kit/mainform.h"
#include "ui/kit/speedbutton.h"

#include <QCoreApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QPainter>
#include <QSvgRenderer>
#include <memory>

static void initAboutPictures()
{
    Q_INIT_RESOURCE(appdialogs);
}

namespace tev {

namespace {

const QString kWebAddress = QStringLiteral("https://www.vyx-tevora.example");
const QColor kPanel2Colour(20, 20, 20);
const QColor kSilver(192, 192, 192);
const QColor kGrey(128, 128, 128);
constexpr int kShowNormal = 1;

QPixmap renderSvg(const QString &resource, const QSize &size)
{
    QSvgRenderer renderer(resource);
    QSize target = renderer.defaultSize();
    target.scale(size, Qt::KeepAspectRatio);
    QPixmap pixmap(target);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    renderer.render(&painter);
    return pixmap;
}

QFont pixelFont(const QFont &base, int pixels, bool bold = false, bool underline = false)
{
    QFont font = base;
    font.setPixelSize(pixels);
    font.setBold(bold);
    font.setUnderline(underline);
    return font;
}

template <typename Label>
Label *makeLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new Label(text, parent);
    label->setObjectName(name);
    QPalette p = label->palette();
    p.setColor(QPalette::WindowText, kSilver);
    label->setPalette(p);
    label->setFont(pixelFont(label->font(), 13));
    return label;
}

} // namespace

TKelAboutBox::TKelAboutBox(QWidget *owner, TTevApp *App)
    : KelForm(owner, Qt::Dialog | Qt::FramelessWindowHint)
    , FApp(App)
{
    initAboutPictures();
    setObjectName(QStringLiteral("KelAboutBox"));
    setWindowTitle(QStringLiteral("Info"));
    setAttribute(Qt::WA_DeleteOnClose);
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(11); // 8 points of the designed face at 96 dots per inch
    setFont(font);
    setFixedSize(kClientWidth, kClientHeight);
    OpenLink = [](const QString &url) {
        ShellExec(0, QStringLiteral("OPEN"), url, QString(), QString(), kShowNormal);
    };

    Panel1 = new QWidget(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setGeometry(rect());
    Panel1->setAutoFillBackground(true);
    QPalette grey = Panel1->palette();
    grey.setColor(QPalette::Window, kGrey);
    Panel1->setPalette(grey);

    ProgramIcon = new QLabel(Panel1);
    ProgramIcon->setObjectName(QStringLiteral("ProgramIcon"));
    ProgramIcon->setGeometry(Panel1->rect());
    ProgramIcon->setAlignment(Qt::AlignCenter);
    ProgramIcon->setPixmap(
        renderSvg(QStringLiteral(":/tevora/appdialogs/about-background.svg"), size()));

    Image1 = new QLabel(Panel1);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setGeometry(20, 20, 208, 46);
    Image1->setPixmap(renderSvg(QStringLiteral(":/tevora/appdialogs/vyx-logo.svg"), {208, 46}));

    Panel2 = new QWidget(Panel1);
    Panel2->setObjectName(QStringLiteral("Panel2"));
    Panel2->setGeometry(15, 80, 426, 230);
    Panel2->setAutoFillBackground(true);
    QPalette dark = Panel2->palette();
    dark.setColor(QPalette::Window, kPanel2Colour);
    Panel2->setPalette(dark);

    LProductName =
        makeLabel<QLabel>(QStringLiteral("LProductName"), QStringLiteral("Product Name:"), Panel2);
    LProductNameText =
        makeLabel<QLabel>(QStringLiteral("LProductNameText"), QStringLiteral("Tevora"), Panel2);
    LVersion = makeLabel<QLabel>(QStringLiteral("LVersion"), QStringLiteral("Version:"), Panel2);
    LVersionText = makeLabel<QLabel>(QStringLiteral("LVersionText"), QString(), Panel2);
    LCopyright =
        makeLabel<QLabel>(QStringLiteral("LCopyright"), QStringLiteral("Copyright:"), Panel2);
    LblVYX = makeLabel<QLabel>(QStringLiteral("LblVYX"),
                               QStringLiteral("\u00A9 Vyx. All rights reserved."), Panel2);
    for (QLabel *value : {LProductNameText, LVersionText, LblVYX})
        value->setFont(pixelFont(value->font(), 13, true));
    LinkVYX = makeLabel<TLinkLabel>(QStringLiteral("LinkVYX"), kWebAddress, Panel2);
    LinkVYX->setFont(pixelFont(LinkVYX->font(), 15, false, true));
    LSupport = makeLabel<TLinkLabel>(QStringLiteral("LSupport"), QStringLiteral("Support"), Panel2);
    LSupport->setFont(pixelFont(LSupport->font(), 13, false, true));
    LSupport->setWordWrap(true);

    const int valueLeft = 130;
    LProductName->setGeometry(15, 20, 110, 18);
    LProductNameText->setGeometry(valueLeft, 20, 280, 18);
    LVersion->setGeometry(15, 45, 110, 18);
    LVersionText->setGeometry(valueLeft, 45, 280, 18);
    LCopyright->setGeometry(15, 70, 110, 18);
    LblVYX->setGeometry(valueLeft, 70, 280, 18);
    LinkVYX->setGeometry(15, 120, 396, 22);
    LSupport->adjustSize();
    LSupport->move(15, 160);

    CloseBtn = new SpeedButton(QStringLiteral("Close"), Panel1);
    CloseBtn->setObjectName(QStringLiteral("CloseBtn"));
    CloseBtn->setGeometry(184, 315, 90, 22);
    CloseBtn->setCursor(Qt::PointingHandCursor);
    CloseBtn->setFont(pixelFont(CloseBtn->font(), 11, false, true));
    QPalette white = CloseBtn->palette();
    white.setColor(QPalette::ButtonText, Qt::white);
    white.setColor(QPalette::WindowText, Qt::white);
    CloseBtn->setPalette(white);

    connect(CloseBtn, &SpeedButton::clicked, this, &TKelAboutBox::CloseClick);
    connect(LinkVYX, &TLinkLabel::Clicked, this, &TKelAboutBox::LinkVYXClick);
    connect(LSupport, &TLinkLabel::Clicked, this, &TKelAboutBox::LSupportClick);
    new KeyPreviewFilter(this, [this](QKeyEvent &e) { FormKeyDown(e); });
}

void TKelAboutBox::showEvent(QShowEvent *event)
{
    if (!FCentred) {
        centerOn(*this, mainForm());
        FCentred = true;
    }
    KelForm::showEvent(event);
}

void TKelAboutBox::CloseClick()
{
    close();
}

void TKelAboutBox::LinkVYXClick()
{
    // Whether a browser started is not examined.
    if (OpenLink)
        OpenLink(LinkVYX->text());
}

void TKelAboutBox::LSupportClick()
{
    if (FApp)
        ShowSupportContacts(FApp->VendorFileName());
}

void TKelAboutBox::FormKeyDown(QKeyEvent &event)
{
    if (classifyKey(event) == DialogKey::Escape)
        close();
}

TKelAboutBox *ShowAboutBox(TTevApp *App)
{
    auto box = std::make_unique<TKelAboutBox>(mainForm(), App);
    box->LVersionText->setText(
        ProdVersionToStr(GetAppVersion(QCoreApplication::applicationFilePath())));
    box->show();
    return box.release();
}

} // namespace tev
