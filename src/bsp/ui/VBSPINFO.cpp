#include "VBSPINFO.h"

#include "BspRecords.h"
#include "CDelegateBSP.h"
#include "CPath.h"
#include "CPrompt.h"
#include "LumpFile.h"
#include "VBSPInfoLumpOptionDialog.h"
#include "uifunctions.h"

#include <QAction>
#include <QClipboard>
#include <QCursor>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QIcon>
#include <QMenu>
#include <QStyle>
#include <QTableWidget>

namespace {

constexpr int RowHeight = 20;
constexpr int ColumnCount = 4;

// A ten-digit number in the three number columns; four bytes of the
// four-character code in the last.
int columnWidth(int column)
{
    return column < 3 ? textWidth(QStringLiteral("0000000000")) + 6
                      : 4 * textWidth(QStringLiteral("'w' (000) , "));
}

} // namespace

VBSPINFO::VBSPINFO(CDelegateBSP *delegate, QWidget *parent)
    : QWidget(parent)
{
    initialize();
    loadDelegate(delegate);
}

VBSPINFO::VBSPINFO(const QString &path, QWidget *parent)
    : QWidget(parent)
{
    initialize();
    openFile(path);
}

VBSPINFO::~VBSPINFO()
{
    delete m_contextMenu;
}

void VBSPINFO::initialize()
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(QStringLiteral("BSP Info"));
    setWindowIcon(QIcon(QStringLiteral(":/resources/icons/vbspinfo")));

    m_layout = new QHBoxLayout(this);
    m_layout->setContentsMargins(0, 0, 0, 0);
    m_table = new QTableWidget(BspFormat::LumpCount, ColumnCount, this);
    m_table->setObjectName(QStringLiteral("lumpTable"));
    m_layout->addWidget(m_table);

    m_table->setHorizontalHeaderLabels({QStringLiteral("Offset"), QStringLiteral("Length"),
                                        QStringLiteral("Version"), QStringLiteral("Four CC")});
    QStringList rowLabels;
    for (int i = 0; i < BspFormat::LumpCount; ++i)
        rowLabels << QStringLiteral("LUMP %1").arg(i);
    m_table->setVerticalHeaderLabels(rowLabels);

    QHeaderView *columns = m_table->horizontalHeader();
    columns->setSectionsClickable(false);
    columns->setSectionResizeMode(QHeaderView::Fixed);
    columns->setStretchLastSection(true);
    QHeaderView *rows = m_table->verticalHeader();
    rows->setSectionResizeMode(QHeaderView::Fixed);
    connect(rows, &QHeaderView::sectionClicked, this, &VBSPINFO::lumpHeaderSectionClicked);

    m_table->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Ignored);
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setDragDropMode(QAbstractItemView::NoDragDrop);
    m_table->setTextElideMode(Qt::ElideNone);
    m_table->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_table, &QWidget::customContextMenuRequested, this, &VBSPINFO::tableContextMenu);

    for (int column = 0; column < ColumnCount; ++column)
        m_table->setColumnWidth(column, columnWidth(column));
    for (int row = 0; row < BspFormat::LumpCount; ++row) {
        m_table->setRowHeight(row, RowHeight);
        for (int column = 0; column < ColumnCount; ++column) {
            auto *item = new QTableWidgetItem(QString());
            if (column < 3)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
    }
    const int rowHeaderWidth = rows->sizeHint().width();
    m_table->setMinimumWidth(rowHeaderWidth + columns->length());
    m_table->setEnabled(false);
    setMinimumSize(rowHeaderWidth + 508, columns->sizeHint().height() + 288);

    m_contextMenu = new QMenu(QStringLiteral("Copy"));
    m_copyAction = m_contextMenu->addAction(QIcon(QStringLiteral(":/resources/icons/page_copy")),
                                            QStringLiteral("Copy"));
    connect(m_copyAction, &QAction::triggered, this, &VBSPINFO::tableItemCopy);
}

QSize VBSPINFO::sizeHint() const
{
    // The whole table: every column, and every row (the document area gives
    // a new window no more than its own room), with the frame and the scroll
    // bar the rows need where they do not all fit.
    const int frame = 2 * m_table->frameWidth();
    int width = m_table->verticalHeader()->sizeHint().width() + frame +
                m_table->style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, m_table);
    for (int column = 0; column < ColumnCount; ++column)
        width += columnWidth(column);
    const int height =
        m_table->horizontalHeader()->sizeHint().height() + m_table->verticalHeader()->length();
    return QSize(width, height + frame).expandedTo(minimumSize());
}

bool VBSPINFO::loadDelegate(CDelegateBSP *delegate)
{
    if (!delegate || delegate->fileName().isEmpty())
        return false;
    const int version = delegate->version();
    for (int i = 0; i < BspFormat::LumpCount; ++i) {
        m_table->verticalHeaderItem(i)->setText(bspLumpName(version, i));
        m_table->setRowHeight(i, RowHeight);
        // Directory fields are shown as the unsigned numbers they stand for.
        for (int field = 1; field <= 3; ++field)
            m_table->item(i, field - 1)
                ->setText(QString::number(quint32(delegate->lumpInfo(i, field))));
        m_table->item(i, 3)->setText(LumpFile::fourCCText(delegate->lumpInfo(i, 4)));
    }
    m_mapPath = delegate->fileName();
    setWindowTitle(CPath(m_mapPath, true).fileName(false));
    m_table->setEnabled(true);
    return true;
}

bool VBSPINFO::openFile(const QString &path)
{
    if (path.isEmpty())
        return false;
    CDelegateBSP map;
    if (!map.open(path, true)) {
        warn(map.lastError());
        return false;
    }
    return loadDelegate(&map);
}

QString VBSPINFO::lumpName(int index) const
{
    const QTableWidgetItem *header = m_table->verticalHeaderItem(index);
    return header ? header->text() : QString();
}

void VBSPINFO::warn(const QString &text)
{
    CPrompt::warning(this, windowTitle(), text, QMessageBox::Ok);
}

void VBSPINFO::tableContextMenu(const QPoint &position)
{
    QTableWidgetItem *item = m_table->itemAt(position);
    // Only numbers worth pasting elsewhere: offsets and lengths.
    if (!item || item->column() > 1)
        return;
    m_contextItem = item;
    m_contextMenu->popup(QCursor::pos());
}

void VBSPINFO::tableItemCopy()
{
    if (m_contextItem)
        QGuiApplication::clipboard()->setText(m_contextItem->text());
}

void VBSPINFO::lumpHeaderSectionClicked(int index)
{
    if (!m_table->isEnabled() || index < 0 || index >= BspFormat::LumpCount)
        return;
    VBSPInfoLumpOptionDialog dialog(lumpName(index), this);
    if (CPrompt::exec(&dialog) != QDialog::Accepted)
        return;
    if (dialog.option() == VBSPInfoLumpOptionDialog::Replace)
        replaceLump(index);
    else if (dialog.option() == VBSPInfoLumpOptionDialog::Extract)
        extractLump(index);
}
