#include "VVTFImageRangeWidget.h"

#include "CFileVTF.h"
#include "NamedWidget.h"
#include "VVTFRules.h"

#include <QComboBox>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>

VVTFImageRangeWidget::VVTFImageRangeWidget(CFileVTF *document, quint8 mipmapStart, quint8 mipmapEnd,
                                           quint16 frameStartIn, quint16 frameEndIn,
                                           quint8 faceStartIn, quint8 faceEndIn,
                                           quint16 sliceStartIn, quint16 sliceEndIn)
    : m_document(document)
{
    int mips[2] = {mipmapStart, mipmapEnd};
    int frames[2] = {frameStartIn, frameEndIn};
    int faces[2] = {faceStartIn, faceEndIn};
    int slices[2] = {sliceStartIn, sliceEndIn};
    if (m_document)
        m_document->clampImageRange(mips[0], mips[1], frames[0], frames[1], faces[0], faces[1],
                                    slices[0], slices[1]);
    frameStart = quint16(frames[0]);
    frameEnd = quint16(frames[1]);
    faceStart = quint8(faces[0]);
    faceEnd = quint8(faces[1]);
    sliceStart = quint16(slices[0]);
    sliceEnd = quint16(slices[1]);

    mipmapStartBox = new QComboBox;
    mipmapStartBox->setObjectName(QStringLiteral("mipmapStartBox"));
    mipmapEndBox = new QComboBox;
    mipmapEndBox->setObjectName(QStringLiteral("mipmapEndBox"));
    for (int mip = 0; m_document && mip < m_document->mipmapCount(); ++mip) {
        const QString size = QStringLiteral("%1 x %2")
                                 .arg(m_document->mipmapWidth(mip))
                                 .arg(m_document->mipmapHeight(mip));
        mipmapStartBox->addItem(size);
        mipmapEndBox->addItem(size);
    }
    mipmapStartBox->setCurrentIndex(mips[0]);
    mipmapEndBox->setCurrentIndex(mips[1]);
    frameStartEdit = namedWidget<QLineEdit>("frameStartEdit", QString::number(frameStart));
    frameEndEdit = namedWidget<QLineEdit>("frameEndEdit", QString::number(frameEnd));
    faceStartEdit = namedWidget<QLineEdit>("faceStartEdit", QString::number(faceStart));
    faceEndEdit = namedWidget<QLineEdit>("faceEndEdit", QString::number(faceEnd));
    sliceStartEdit = namedWidget<QLineEdit>("sliceStartEdit", QString::number(sliceStart));
    sliceEndEdit = namedWidget<QLineEdit>("sliceEndEdit", QString::number(sliceEnd));

    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(1, 1, 1, 1);
    const char *labels[4] = {"Mipmap(s):", "Frame(s):", "Face(s):", "Slice(s):"};
    QWidget *starts[4] = {mipmapStartBox, frameStartEdit, faceStartEdit, sliceStartEdit};
    m_ends[0] = mipmapEndBox;
    m_ends[1] = frameEndEdit;
    m_ends[2] = faceEndEdit;
    m_ends[3] = sliceEndEdit;
    for (int row = 0; row < 4; ++row) {
        m_rowLabels[row] = new QLabel(tr(labels[row]));
        m_rowLabels[row]->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        m_toLabels[row] = new QLabel(tr("to"));
        grid->addWidget(m_rowLabels[row], row, 0);
        grid->addWidget(starts[row], row, 1);
        grid->addWidget(m_toLabels[row], row, 2);
        grid->addWidget(m_ends[row], row, 3);
    }

    if (m_document && m_document->hasImage(0, 0, 0, 0)) {
        frameStartEdit->setEnabled(m_document->frameCount() != 1);
        frameEndEdit->setEnabled(m_document->frameCount() != 1);
        faceStartEdit->setEnabled(m_document->faceCount() != 1);
        faceEndEdit->setEnabled(m_document->faceCount() != 1);
        sliceStartEdit->setEnabled(m_document->sliceCount() != 1);
        sliceEndEdit->setEnabled(m_document->sliceCount() != 1);
    }
    adjustSize();

    connect(mipmapStartBox, qOverload<int>(&QComboBox::activated), this,
            &VVTFImageRangeWidget::mipmapStartChanged);
    connect(mipmapEndBox, qOverload<int>(&QComboBox::activated), this,
            &VVTFImageRangeWidget::mipmapEndChanged);
    connect(frameStartEdit, &QLineEdit::editingFinished, this,
            &VVTFImageRangeWidget::frameStartChanged);
    connect(frameEndEdit, &QLineEdit::editingFinished, this,
            &VVTFImageRangeWidget::frameEndChanged);
    connect(faceStartEdit, &QLineEdit::editingFinished, this,
            &VVTFImageRangeWidget::faceStartChanged);
    connect(faceEndEdit, &QLineEdit::editingFinished, this, &VVTFImageRangeWidget::faceEndChanged);
    connect(sliceStartEdit, &QLineEdit::editingFinished, this,
            &VVTFImageRangeWidget::sliceStartChanged);
    connect(sliceEndEdit, &QLineEdit::editingFinished, this,
            &VVTFImageRangeWidget::sliceEndChanged);
}

void VVTFImageRangeWidget::lockRangeEnd()
{
    const char *labels[4] = {"Mipmap:", "Frame:", "Face:", "Slice:"};
    for (int row = 0; row < 4; ++row)
        m_rowLabels[row]->setText(tr(labels[row]));
    for (QWidget *end : m_ends)
        end->setEnabled(false);
}

void VVTFImageRangeWidget::hideRangeEnd()
{
    for (QLabel *to : m_toLabels)
        to->hide();
    for (QWidget *end : m_ends)
        end->hide();
    lockRangeEnd();
}

int VVTFImageRangeWidget::mipmapStart() const
{
    return mipmapStartBox->currentIndex();
}

int VVTFImageRangeWidget::mipmapEnd() const
{
    return mipmapEndBox->currentIndex();
}

// The callers read the boxes' current items.
void VVTFImageRangeWidget::mipmapStartChanged(int) {}

void VVTFImageRangeWidget::mipmapEndChanged(int) {}

void VVTFImageRangeWidget::editBound(QLineEdit *edit, int &bound, int limit)
{
    bool ok = false;
    const quint16 value = edit->text().toUShort(&ok, 10);
    if (ok)
        bound = limit >= 0 ? qMin<int>(value, limit) : value;
    edit->setText(QString::number(bound));
}

void VVTFImageRangeWidget::editFrame(QLineEdit *edit, quint16 &bound)
{
    const VVTFRules::Counts counts = VVTFRules::counts(m_document);
    int value = bound;
    editBound(edit, value, counts.treeEmpty() ? -1 : counts.frames - 1);
    bound = quint16(value);
}

void VVTFImageRangeWidget::editFace(QLineEdit *edit, quint8 &bound)
{
    const VVTFRules::Counts counts = VVTFRules::counts(m_document);
    int value = bound;
    // Without images there is no face count to keep to, but a face index
    // still holds 8 bits.
    editBound(edit, value, counts.treeEmpty() ? 0xFF : counts.faces - 1);
    bound = quint8(value);
}

void VVTFImageRangeWidget::editSlice(QLineEdit *edit, quint16 &bound)
{
    int value = bound;
    editBound(edit, value, -1);
    bound = quint16(value);
}

void VVTFImageRangeWidget::frameStartChanged()
{
    editFrame(frameStartEdit, frameStart);
}

void VVTFImageRangeWidget::frameEndChanged()
{
    editFrame(frameEndEdit, frameEnd);
}

void VVTFImageRangeWidget::faceStartChanged()
{
    editFace(faceStartEdit, faceStart);
}

void VVTFImageRangeWidget::faceEndChanged()
{
    editFace(faceEndEdit, faceEnd);
}

void VVTFImageRangeWidget::sliceStartChanged()
{
    editSlice(sliceStartEdit, sliceStart);
}

void VVTFImageRangeWidget::sliceEndChanged()
{
    editSlice(sliceEndEdit, sliceEnd);
}
