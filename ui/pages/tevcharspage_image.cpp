// The characteristics page's details: the picture with its measuring point and the parameters.

#include "ui/pages/tevcharspage.h"

#include "core/app/tevapp.h"
#include "core/lib/paths.h"
#include "core/picture/graphictobitmap.h"
#include "core/picture/kelpicture.h"
#include "core/project/tevproject.h"
#include "platform/error.h"
#include "platform/text/tstringlist.h"
#include "ui/kit/speedbutton.h"
#include "ui/models/datasetmodel.h"
#include "ui/pages/captionpanel.h"
#include "ui/pages/picturebox.h"
#include "ui/pages/picturefit.h"
#include "ui/previewdlg/tevpreviewdlg.h"

#include <QTableWidget>

namespace tev {

namespace {

const QString kUnableToLoad = QStringLiteral("Unable to load image file");

} // namespace

void TTevCharsPage::DatSrcCharsDataChange()
{
    if (Updating())
        return;
    UpdateCharImage();
    ShowCharParams();
    DataSet *ds = FDatSrcChars ? FDatSrcChars->dataSet() : nullptr;
    const bool inDB = InDatabase();
    BtnCharUp->setEnabled(inDB && ds && !ds->bof());
    BtnCharDown->setEnabled(inDB && ds && !ds->eof());
}

void TTevCharsPage::ShowCharParams()
{
    TStringList params;
    params.SetText(CharField(QStringLiteral("PARAMS")));
    CharParamsEditor->setRowCount(0);
    for (int i = 0; i < params.Count(); ++i) {
        const int row = CharParamsEditor->rowCount();
        CharParamsEditor->insertRow(row);
        CharParamsEditor->setItem(row, 0, new QTableWidgetItem(params.Names(i)));
        CharParamsEditor->setItem(row, 1, new QTableWidgetItem(params.ValueFromIndex(i)));
    }
}

void TTevCharsPage::ClearRecentCharImage()
{
    FRecentCharImage.clear();
}

void TTevCharsPage::UpdateCharImage()
{
    TTevProject *project = Project();
    const QString image = CharField(QStringLiteral("IMAGE"));
    const QColor editColor = palette().color(QPalette::Base);
    if (image.isEmpty()) {
        PnlCharImage->SetColor(editColor);
        CharImage->Clear();
        FRecentCharImage.clear();
    } else if (image != FRecentCharImage) {
        CharImage->Clear();
        FRecentCharImage = image;
        bool loaded = false;
        try {
            TKelPicture picture;
            if (project && picture.LoadKELBFromFile(AddBackSlash(project->ProjectDir()) + image)) {
                GraphicToBitmap(picture);
                CharImage->SetPicture(picture.Image());
                loaded = true;
            }
        } catch (const Error &) {
            // Shown on the panel below.
        }
        if (loaded) {
            PnlCharDetails->SetCaption(QString());
            PnlCharImage->SetColor(InDatabase() ? QColor(Qt::white) : editColor);
        } else {
            PnlCharDetails->SetCaption(kUnableToLoad);
        }
    }
    if (FPreviewDlg) {
        TPicture shown;
        if (CharImage->HasPicture())
            shown.SetBitmap(CharImage->Picture());
        FPreviewDlg->UpdatePicture(CharImage->HasPicture() ? &shown : nullptr);
    }
    UpdateCharBullet();
}

void TTevCharsPage::UpdateCharBullet()
{
    const QString imageX = CharField(QStringLiteral("IMAGEX"));
    if (!CharImage->HasPicture() || imageX.isEmpty()) {
        Bullet->hide();
        return;
    }
    const std::optional<QRect> rect =
        BulletRect(CharImage->Picture().size(), CharImage->geometry(), imageX.toInt(),
                   CharField(QStringLiteral("IMAGEY")).toInt());
    if (!rect) {
        Bullet->hide();
        return;
    }
    Bullet->setGeometry(*rect);
    Bullet->raise();
    Bullet->show();
}

void TTevCharsPage::CharImageClick()
{
    if (FPreviewDlg && !FPreviewDlg->isVisible())
        FPreviewDlg->Execute();
}

void TTevCharsPage::PnlCharDetailsResize()
{
    if (Updating())
        return;
    PnlCharImage->setFixedHeight(std::max(PnlCharDetails->width(), 10));
    // The marker follows again when the picture control has taken its new size.
    UpdateCharImage();
}

} // namespace tev
