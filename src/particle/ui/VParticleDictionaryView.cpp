#include "VParticleDictionaryView.h"

#include "PCFEditing.h"

#include <QAbstractItemView>
#include <QFontDatabase>
#include <QListWidget>
#include <QScrollBar>

namespace {

// Widest the list grows for long strings; longer ones are elided.
constexpr int MaxListWidth = 640;

} // namespace

VParticleDictionaryView::VParticleDictionaryView(QWidget *parent, const CFilePCF *document)
    : QListDialog(parent, QDialogButtonBox::Ok)
{
    const QStringList lines = PCFEditing::dictionaryLines(document);
    // The positions are padded with spaces, which line up only in a
    // fixed-pitch font.
    list->setFont(QFontDatabase::systemFont(QFontDatabase::FixedFont));
    int widest = 0;
    for (const QString &line : lines)
        widest = qMax(widest, list->fontMetrics().horizontalAdvance(line));
    const int frame = 2 * list->frameWidth() + list->verticalScrollBar()->sizeHint().width() + 12;
    list->setMinimumWidth(qBound(list->minimumWidth(), widest + frame, MaxListWidth));
    setItems(lines);
    setSelectionMode(QAbstractItemView::NoSelection);
    setWindowTitle(tr("String Dictionary"));
    requireSelection = false;
}
