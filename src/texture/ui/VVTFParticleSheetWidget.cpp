#include "VVTFParticleSheetWidget.h"

#include "CFileVTF.h"
#include "CPrompt.h"
#include "QWidgetDialog.h"
#include "functions.h"

#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include <cfloat>
#include <cmath>

namespace {
QString number(float value)
{
    return formatFloat(double(value), 6);
}

// The text as a number limited to minimum..maximum; false for text that is
// no number (NaN included).
bool parseLimited(const QString &text, double minimum, double maximum, float &value)
{
    bool ok = false;
    const double parsed = text.toDouble(&ok);
    if (!ok || std::isnan(parsed))
        return false;
    value = float(qBound(minimum, parsed, maximum));
    return true;
}

// A label fixed to the size the widest text needs, then showing `text`.
QLabel *counterLabel(const QString &widest, const QString &text)
{
    auto *label = new QLabel(widest);
    label->setAlignment(Qt::AlignCenter);
    label->setFixedSize(label->sizeHint());
    label->setText(text);
    return label;
}
} // namespace

VVTFParticleSheetWidget::VVTFParticleSheetWidget(const QByteArray &payload, QWidget *parent)
    : QWidget(parent)
    , m_sheet(VTFSheet::parse(payload))
{
    buildLayout();
    selectSequence(0);
    refresh();
}

VVTFParticleSheetWidget::~VVTFParticleSheetWidget() = default;

QPushButton *VVTFParticleSheetWidget::arrowButton(const char *icon, const char *name)
{
    auto *button = new QPushButton(QIcon(QString::fromLatin1(icon)), QString());
    button->setObjectName(QString::fromLatin1(name));
    return button;
}

void VVTFParticleSheetWidget::buildLayout()
{
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(1, 1, 1, 1);
    const char *left = ":/resources/icons/arrow_left.png";
    const char *right = ":/resources/icons/arrow_right.png";
    m_previousSequence = arrowButton(left, "previousSequence");
    m_nextSequence = arrowButton(right, "nextSequence");
    m_previousFrame = arrowButton(left, "previousFrame");
    m_nextFrame = arrowButton(right, "nextFrame");
    const int side = m_previousSequence->sizeHint().height();
    for (QPushButton *button : {m_previousSequence, m_nextSequence, m_previousFrame, m_nextFrame})
        button->setFixedSize(side, side);
    m_sequenceLabel =
        counterLabel(QStringLiteral("Sequence: 65536/65536"), QStringLiteral("Sequence: 0/0"));
    m_frameLabel = counterLabel(QStringLiteral("Frame: 65536/65536"), QStringLiteral("Frame: 0/0"));
    m_sequenceLabel->setObjectName(QStringLiteral("sequenceLabel"));
    m_frameLabel->setObjectName(QStringLiteral("frameLabel"));
    m_loop = new QCheckBox(QStringLiteral("Loop"));
    m_loop->setObjectName(QStringLiteral("loop"));
    m_loop->setFixedSize(m_loop->sizeHint());
    grid->addWidget(m_previousSequence, 0, 0);
    grid->addWidget(m_sequenceLabel, 0, 1);
    grid->addWidget(m_nextSequence, 0, 2);
    grid->addWidget(m_previousFrame, 0, 3);
    grid->addWidget(m_frameLabel, 0, 4);
    grid->addWidget(m_nextFrame, 0, 5);
    grid->addWidget(m_loop, 0, 6);

    auto *durations = new QHBoxLayout;
    auto *sequenceDurationLabel = new QLabel(QStringLiteral("Duration Scalar:"));
    sequenceDurationLabel->setFixedSize(sequenceDurationLabel->sizeHint());
    auto *frameDurationLabel = new QLabel(QStringLiteral("Duration Scalar:"));
    frameDurationLabel->setFixedSize(sequenceDurationLabel->size());
    m_sequenceDuration = new QLineEdit;
    m_sequenceDuration->setObjectName(QStringLiteral("sequenceDuration"));
    m_frameDuration = new QLineEdit;
    m_frameDuration->setObjectName(QStringLiteral("frameDuration"));
    durations->addWidget(sequenceDurationLabel);
    durations->addWidget(m_sequenceDuration);
    durations->addWidget(frameDurationLabel);
    durations->addWidget(m_frameDuration);
    grid->addLayout(durations, 1, 0, 1, 7);

    auto *firstSet = new QGridLayout;
    const char *headings[4] = {"Start X", "Start Y", "End X", "End Y"};
    for (int column = 0; column < 4; ++column)
        firstSet->addWidget(new QLabel(QString::fromLatin1(headings[column])), 0, column,
                            Qt::AlignHCenter);
    m_extraSets = new QGroupBox;
    m_extraSets->setObjectName(QStringLiteral("extraSets"));
    m_extraSets->setCheckable(true);
    m_extraSets->setChecked(m_sheet.fourSets);
    auto *extraGrid = new QGridLayout(m_extraSets);
    for (int i = 0; i < VTFSheetLayout::MaxCoordinates; ++i) {
        auto *edit = new QLineEdit;
        edit->setObjectName(QStringLiteral("coordinate%1").arg(i));
        m_coordinates[size_t(i)] = edit;
        if (i < VTFSheetLayout::CoordinatesPerSet)
            firstSet->addWidget(edit, 1, i);
        else
            extraGrid->addWidget(edit, i / 4, i % 4);
        connect(edit, &QLineEdit::editingFinished, this,
                &VVTFParticleSheetWidget::normalLineChanged);
    }
    grid->addLayout(firstSet, 2, 0, 1, 7);
    grid->addWidget(m_extraSets, 3, 0, 1, 7);

    connect(m_previousSequence, &QPushButton::clicked, this,
            &VVTFParticleSheetWidget::previousSequence);
    connect(m_nextSequence, &QPushButton::clicked, this, &VVTFParticleSheetWidget::nextSequence);
    connect(m_previousFrame, &QPushButton::clicked, this, &VVTFParticleSheetWidget::previousFrame);
    connect(m_nextFrame, &QPushButton::clicked, this, &VVTFParticleSheetWidget::nextFrame);
    connect(m_loop, &QCheckBox::clicked, this, &VVTFParticleSheetWidget::loopToggled);
    for (QLineEdit *edit : {m_sequenceDuration, m_frameDuration})
        connect(edit, &QLineEdit::editingFinished, this,
                &VVTFParticleSheetWidget::durationScalarLineChanged);
    connect(m_extraSets, &QGroupBox::toggled, this, &VVTFParticleSheetWidget::extraNormalsToggled);
}

void VVTFParticleSheetWidget::write(QByteArray &payload) const
{
    VTFSheet edited = m_sheet;
    edited.fourSets = m_extraSets->isChecked();
    payload = edited.write();
}

VTFSheetSequence *VVTFParticleSheetWidget::sequence()
{
    return m_sequence < m_sheet.sequences.size() ? &m_sheet.sequences[m_sequence] : nullptr;
}

VTFSheetFrame *VVTFParticleSheetWidget::frame()
{
    VTFSheetSequence *current = sequence();
    return current && m_frame < current->frames.size() ? &current->frames[m_frame] : nullptr;
}

void VVTFParticleSheetWidget::selectSequence(unsigned index)
{
    if (index >= unsigned(m_sheet.sequences.size()))
        return;
    m_sequence = int(index);
    m_frame = 0;
    refresh();
}

void VVTFParticleSheetWidget::selectFrame(unsigned index)
{
    const VTFSheetSequence *current = sequence();
    if (!current || index >= unsigned(current->frames.size()))
        return;
    m_frame = int(index);
    refresh();
}

void VVTFParticleSheetWidget::previousSequence()
{
    selectSequence(unsigned(m_sequence - 1));
}

void VVTFParticleSheetWidget::nextSequence()
{
    selectSequence(unsigned(m_sequence + 1));
}

void VVTFParticleSheetWidget::previousFrame()
{
    selectFrame(unsigned(m_frame - 1));
}

void VVTFParticleSheetWidget::nextFrame()
{
    selectFrame(unsigned(m_frame + 1));
}

void VVTFParticleSheetWidget::refresh()
{
    const VTFSheetSequence *current = sequence();
    const VTFSheetFrame *shown = frame();
    const int sequences = m_sheet.sequences.size();
    const int frames = current ? current->frames.size() : 0;
    // Without a sequence (or, for the frame row, a frame) nothing steps.
    m_previousSequence->setEnabled(current && m_sequence > 0);
    m_nextSequence->setEnabled(current && m_sequence < sequences - 1);
    m_previousFrame->setEnabled(shown && m_frame > 0);
    m_nextFrame->setEnabled(shown && m_frame < frames - 1);
    if (!current)
        return;
    m_sequenceLabel->setText(QStringLiteral("Sequence: %1/%2").arg(m_sequence).arg(sequences - 1));
    m_frameLabel->setText(QStringLiteral("Frame: %1/%2").arg(m_frame).arg(qMax(frames - 1, 0)));
    m_loop->setChecked(current->clamp == 0);
    m_sequenceDuration->setText(number(current->duration));
    // A sequence without frames shows no frame values rather than another's.
    m_frameDuration->setText(shown ? number(shown->duration) : QString());
    for (size_t i = 0; i < m_coordinates.size(); ++i)
        m_coordinates[i]->setText(shown ? number(shown->coordinates[i]) : QString());
}

void VVTFParticleSheetWidget::loopToggled()
{
    if (VTFSheetSequence *current = sequence())
        current->clamp = m_loop->isChecked() ? 0 : 1;
}

void VVTFParticleSheetWidget::durationScalarLineChanged()
{
    auto *edit = qobject_cast<QLineEdit *>(sender());
    float *stored = nullptr;
    if (edit == m_sequenceDuration && sequence())
        stored = &sequence()->duration;
    else if (edit == m_frameDuration && frame())
        stored = &frame()->duration;
    if (!stored) {
        if (edit)
            edit->clear();
        return;
    }
    parseLimited(edit->text(), 0.0, double(FLT_MAX), *stored);
    edit->setText(number(*stored));
}

void VVTFParticleSheetWidget::normalLineChanged()
{
    auto *edit = qobject_cast<QLineEdit *>(sender());
    const auto found = std::find(m_coordinates.begin(), m_coordinates.end(), edit);
    if (!edit || found == m_coordinates.end())
        return;
    VTFSheetFrame *current = frame();
    if (!current) {
        edit->clear();
        return;
    }
    float &stored = current->coordinates[size_t(found - m_coordinates.begin())];
    parseLimited(edit->text(), 0.0, 1.0, stored);
    edit->setText(number(stored));
}

void VVTFParticleSheetWidget::extraNormalsToggled(bool checked)
{
    // The group's state is read when the payload is written.
    Q_UNUSED(checked)
}

bool VVTFParticleSheetWidget::editSheet(CFileVTF &document, QWidget *parent)
{
    VTFResource *resource = document.findResource(VTFResourceTag::Sheet);
    if (!resource)
        return false;
    auto *editor = new VVTFParticleSheetWidget(resource->payload);
    QWidgetDialog dialog(editor, parent, QDialogButtonBox::Ok | QDialogButtonBox::Cancel);
    if (CPrompt::exec(&dialog) != QDialog::Accepted)
        return false;
    editor->write(resource->payload);
    return true;
}
