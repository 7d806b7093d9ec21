// The characteristics grid: its hand-drawn cells, the Down arrow at the end, the ACTIVE click;
// and the drawing of the filter lists.

#include "ui/pages/tevcharspage.h"

#include "core/app/tevapp.h"
#include "core/project/tevproject.h"
#include "ui/controls/dbgrid/vyxdbgrid.h"
#include "ui/kit/colors.h"
#include "ui/models/datasetmodel.h"

#include <QKeyEvent>
#include <QListWidget>
#include <QPainter>

namespace tev {

namespace {

constexpr TColor kGridColor = 0x625A4B;
// Where the nominal value ends and the limits begin in the "Specs" cell.
constexpr int kSpecsNominalEnd = 40;

QColor StateColor(int State, const QColor &Default)
{
    switch (State) {
    case 4:
    case 16:
        return colorFromValue(clVYXOrange);
    case 8:
        return colorFromValue(clVYXCorpRed);
    default:
        return Default;
    }
}

// Text ending at x = Right, its top at Top, clipped to Box.
void TextEndingAt(QPainter &Canvas, const QRect &Box, int Right, int Top, const QString &Text)
{
    const int width = Canvas.fontMetrics().horizontalAdvance(Text);
    Canvas.save();
    Canvas.setClipRect(Box, Qt::IntersectClip);
    Canvas.drawText(QRect(Right - width, Top, width + 1, Box.bottom() + 1 - Top),
                    Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, Text);
    Canvas.restore();
}

void TextAt(QPainter &Canvas, const QRect &Box, int Left, int Top, const QString &Text,
            Qt::Alignment Alignment = Qt::AlignLeft)
{
    Canvas.save();
    Canvas.setClipRect(Box, Qt::IntersectClip);
    const QRect area(Left, Top, Box.right() + 1 - Left - (Alignment & Qt::AlignRight ? 2 : 0),
                     Box.bottom() + 1 - Top);
    Canvas.drawText(area, Alignment | Qt::AlignTop | Qt::TextSingleLine, Text);
    Canvas.restore();
}

} // namespace

void TTevCharsPage::GridDrawColumnCell(QPainter &Canvas, const QRect &Rect, int Row,
                                       TColumn *Column, bool Selected)
{
    // W: the cell less its right-most pixel column, which the grid line takes.
    const QRect W(Rect.left(), Rect.top(), Rect.width() - 1, Rect.height());
    const QColor brush = Selected ? colorFromValue(clVYXSelected) : colorFromValue(kGridColor);
    Canvas.fillRect(Rect, brush);
    DataSetModel *source = FDatSrcChars;
    if (!Column || !source || source->rowCount() == 0 || Row < 0 || Row >= source->rowCount())
        return;
    const auto value = [&](const QString &FieldName, int Role) {
        const int column = source->fieldColumn(FieldName);
        return column < 0 ? QVariant() : source->index(Row, column).data(Role);
    };
    const QColor gridFont = FGridChars->palette().color(QPalette::Text);
    const bool inDB = InDatabase();
    const QString fieldName = Column->FieldName();

    if (fieldName.compare(QLatin1String("STATE"), Qt::CaseInsensitive) == 0 && inDB) {
        const QString stored = value(fieldName, Qt::EditRole).toString();
        if (!stored.isEmpty()) {
            Canvas.setPen(StateColor(stored.toInt(), gridFont));
            TextAt(Canvas, W, W.left() + 2, W.top() + 1,
                   value(fieldName, Qt::DisplayRole).toString());
            return;
        }
    }

    Canvas.fillRect(W, brush);
    const QColor font = FGridChars->ReadOnly() ? colorFromValue(kColorDimmedText) : gridFont;
    Canvas.setPen(font);

    if (Column->Title().toUpper() == QLatin1String("SPECS")) {
        const int right = W.left() + kSpecsNominalEnd;
        TextEndingAt(Canvas, W, right, W.top() + 1,
                     value(QStringLiteral("NOMINAL"), Qt::DisplayRole).toString());
        QFont small = Canvas.font();
        const int points =
            qRound(small.pixelSize() > 0 ? small.pixelSize() * 72.0 / 96.0 : small.pointSizeF());
        small.setPixelSize(qMax(1, qRound((points / 2 + 1) * 96.0 / 72.0)));
        Canvas.setFont(small);
        const int centre = (W.top() + W.top() + W.height()) / 2;
        const QRect upper(QPoint(right, W.top()), QPoint(W.right(), centre - 1));
        const QRect lower(QPoint(right, centre), QPoint(W.right(), W.bottom()));
        TextEndingAt(Canvas, upper, upper.right() + 1 - 4, upper.top(),
                     value(QStringLiteral("USL"), Qt::DisplayRole).toString());
        TextEndingAt(Canvas, lower, lower.right() + 1 - 4, lower.top(),
                     value(QStringLiteral("LSL"), Qt::DisplayRole).toString());
        return;
    }

    if (fieldName.compare(QLatin1String("ACTIVE"), Qt::CaseInsensitive) == 0) {
        // W shrunk by 2 on every side and moved by (2, 1), then made a square of its height
        // around the same centre.
        const int left = W.left() + 4;
        const int top = W.top() + 3;
        const int right = W.left() + W.width();
        const int bottom = W.top() + W.height() - 1;
        const int side = bottom - top;
        const int centreX = (left + right) / 2;
        const QRect box(centreX - side / 2, top, side, side);
        QPen pen(font, 2, Qt::SolidLine);
        Canvas.save();
        Canvas.setClipRect(W, Qt::IntersectClip);
        Canvas.setPen(pen);
        Canvas.setBrush(Qt::NoBrush);
        Canvas.drawRect(box.adjusted(1, 1, -1, -1));
        if (value(fieldName, Qt::EditRole).toString() == QLatin1String("1")) {
            const int boxRight = box.left() + box.width();
            const int boxBottom = box.top() + box.height();
            const QPoint tick[] = {{box.left() + 4, box.center().y()},
                                   {(box.left() + boxRight) / 2, boxBottom - 4},
                                   {boxRight - 4, box.top() + 4}};
            Canvas.drawPolyline(tick, 3);
        }
        Canvas.restore();
        return;
    }

    const int column = source->fieldColumn(fieldName);
    const Qt::Alignment alignment =
        column < 0 ? Qt::AlignLeft
                   : Qt::Alignment(source->index(Row, column).data(Qt::TextAlignmentRole).toInt() &
                                   Qt::AlignHorizontal_Mask);
    TextAt(Canvas, W, W.left() + 2, W.top() + 2, value(fieldName, Qt::DisplayRole).toString(),
           alignment & Qt::AlignRight ? Qt::AlignRight : Qt::AlignLeft);
}

QString TTevCharsPage::GridCellTip(int Row, TColumn *Column, const QRect &Rect) const
{
    DataSetModel *source = FDatSrcChars;
    if (!Column || !source || Row < 0 || Row >= source->rowCount())
        return {};
    const QString fieldName = Column->FieldName();
    const int column = source->fieldColumn(fieldName);
    // The ACTIVE box and the "Specs" cell draw no text of their own field.
    if (column < 0 || fieldName.compare(QLatin1String("ACTIVE"), Qt::CaseInsensitive) == 0)
        return {};
    const QString text = source->index(Row, column).data(Qt::DisplayRole).toString();
    // The text starts 2 pixels in and the grid line takes the cell's last pixel column.
    const int room = Rect.width() - 1 - 2;
    return FGridChars->fontMetrics().horizontalAdvance(text) > room ? text : QString();
}

void TTevCharsPage::FilterBoxDrawItem(QListWidget *Control, QPainter &Canvas, int Index,
                                      const QRect &Rect, bool Selected)
{
    Canvas.fillRect(Rect, Selected ? colorFromValue(clVYXSelected)
                                   : Control->palette().color(QPalette::Base));
    Canvas.setPen(Control->palette().color(Selected ? QPalette::HighlightedText : QPalette::Text));
    const QListWidgetItem *item = Control->item(Index);
    const int indent = Index == 0 ? 3 : 23;
    Canvas.drawText(Rect.adjusted(indent, 1, 0, 0), Qt::AlignLeft | Qt::AlignTop,
                    item ? item->text() : QString());
}

bool TTevCharsPage::GridCharsKeyDown(QKeyEvent *Key)
{
    DataSet *ds = FDatSrcChars ? FDatSrcChars->dataSet() : nullptr;
    if (Key->key() != Qt::Key_Down || !ds || !ds->active())
        return false;
    const DisableControlsGuard quiet(*ds);
    ds->next();
    if (ds->eof())
        return true; // the last characteristic: no new row below it
    ds->prior();
    return false;
}

void TTevCharsPage::GridCharsMouseUp(QPoint Pos)
{
    TTevProject *project = Project();
    if (!project || !project->ExistsInDatabase())
        return;
    const QModelIndex cell = FGridChars->indexAt(Pos);
    if (!cell.isValid())
        return;
    const TColumn *column = FGridChars->Columns()->Items(cell.column());
    if (!column || column->FieldName().compare(QLatin1String("ACTIVE"), Qt::CaseInsensitive) != 0)
        return;
    if (!BeginDatabaseWrite())
        return;
    project->ToggleSelectedChar();
    EndDatabaseWrite();
    if (QWidget *editor = FGridChars->indexWidget(FGridChars->currentIndex()))
        Q_EMIT FGridChars->itemDelegate()->closeEditor(editor);
    FGridChars->viewport()->update();
}

void TTevCharsPage::GridCharsTopLeftChanged()
{
    FGridChars->viewport()->update();
}

} // namespace tev
