#include "VMDL.h"

#include "CFileMDL.h"
#include "ScanPath.h"
#include "functions.h"

#include <QSplitter>
#include <QTreeWidget>

#include <limits>

namespace {

enum class Kind
{
    Unsigned, // stored from an unsigned parse, shown unsigned
    Integer,  // stored from an unsigned parse, shown signed
    Float,
    Byte,
    Vector, // a row of its own with one Float row per component
    Name,
    SurfaceProp
};

struct Field
{
    const char *label;
    Kind kind;
    bool editable;
    qint32 MDLHeader::*integer = nullptr;
    CVector3 MDLHeader::*vector = nullptr;
    float MDLHeader::*real = nullptr;
    qint8 MDLHeader::*byte = nullptr;
};

constexpr Field integer(const char *label, qint32 MDLHeader::*member, bool editable = false)
{
    return {label, Kind::Integer, editable, member};
}

constexpr Field vector(const char *label, CVector3 MDLHeader::*member)
{
    return {label, Kind::Vector, false, nullptr, member};
}

constexpr Field byte(const char *label, qint8 MDLHeader::*member)
{
    return {label, Kind::Byte, true, nullptr, nullptr, nullptr, member};
}

using H = MDLHeader;
const Field Fields[] = {
    {"Version", Kind::Unsigned, true, &H::version},
    {"Checksum", Kind::Unsigned, false, &H::checksum},
    {"Internal Name", Kind::Name, true},
    {"File Length", Kind::Unsigned, false, &H::fileLength},
    vector("Eye Position", &H::eyePosition),
    vector("Illumination Position", &H::illuminationPosition),
    vector("Hull Minimum", &H::hullMinimum),
    vector("Hull Maximum", &H::hullMaximum),
    vector("View Bounding Box Minimum", &H::viewBoundingBoxMinimum),
    vector("View Bounding Box Maximum", &H::viewBoundingBoxMaximum),
    {"Flags", Kind::Unsigned, true, &H::flags},
    integer("Bone Count", &H::boneCount),
    integer("Bone Offset", &H::boneOffset),
    integer("Bone Controller Count", &H::boneControllerCount),
    integer("Bone Controller Offset", &H::boneControllerOffset),
    integer("Hitbox Count", &H::hitboxCount),
    integer("Hitbox Offset", &H::hitboxOffset),
    integer("Local Animation Count", &H::localAnimationCount),
    integer("Local Animation Offset", &H::localAnimationOffset),
    integer("Local Sequence Count", &H::localSequenceCount),
    integer("Local Sequence Offset", &H::localSequenceOffset),
    integer("Activity List Version", &H::activityListVersion, true),
    integer("Events Indexed", &H::eventsIndexed, true),
    integer("Texture Count", &H::textureCount),
    integer("Texture Offset", &H::textureOffset),
    integer("Texture Directory Count", &H::textureDirectoryCount),
    integer("Texture Directory Offset", &H::textureDirectoryOffset),
    integer("Skin Reference Count", &H::skinReferenceCount),
    integer("Skin Family Offset", &H::skinFamilyOffset),
    integer("Skin Reference Offset", &H::skinReferenceOffset),
    integer("Body Part Count", &H::bodyPartCount),
    integer("Body Part Offset", &H::bodyPartOffset),
    integer("Attachment Count", &H::attachmentCount),
    integer("Attachment Offset", &H::attachmentOffset),
    integer("Local Node Count", &H::localNodeCount),
    integer("Local Node Offset", &H::localNodeOffset),
    integer("Local Node Name Offset", &H::localNodeNameOffset),
    integer("Flex Description Count", &H::flexDescriptionCount),
    integer("Flex Description Offset", &H::flexDescriptionOffset),
    integer("Flex Controller Count", &H::flexControllerCount),
    integer("Flex Controller Offset", &H::flexControllerOffset),
    integer("Flex Rule Count", &H::flexRuleCount),
    integer("Flex Rule Offset", &H::flexRuleOffset),
    integer("Inverse Kinematic Chain Count", &H::inverseKinematicChainCount),
    integer("Inverse Kinematic Chain Offset", &H::inverseKinematicChainOffset),
    integer("Mouths Count", &H::mouthsCount),
    integer("Mouths Offset", &H::mouthsOffset),
    integer("Local Pose Parameter Count", &H::localPoseParameterCount),
    integer("Local Pose Parameter Offset", &H::localPoseParameterOffset),
    integer("Surface Prop Offset", &H::surfacePropOffset),
    {"Surface Prop", Kind::SurfaceProp, true},
    integer("Keyvalue Offset", &H::keyvalueOffset),
    integer("Keyvalue Count", &H::keyvalueCount),
    integer("Inverse Kinematic Lock Count", &H::inverseKinematicLockCount),
    integer("Inverse Kinematic Lock Offset", &H::inverseKinematicLockOffset),
    {"Mass", Kind::Float, true, nullptr, nullptr, &H::mass},
    integer("Contents", &H::contents),
    integer("Include Model Count", &H::includeModelCount),
    integer("Include Model Offset", &H::includeModelOffset),
    integer("Virtual Model", &H::virtualModel),
    integer("Animation Block Name Offset", &H::animationBlockNameOffset),
    integer("Animation Block Count", &H::animationBlockCount),
    integer("Animation Block Offset", &H::animationBlockOffset),
    integer("Animation Block Model", &H::animationBlockModel),
    integer("Bone Table Name Offset", &H::boneTableNameOffset),
    integer("Vertex Base", &H::vertexBase),
    integer("Offset Base", &H::offsetBase),
    byte("Directional Dot Product", &H::directionalDotProduct),
    byte("Root LOD", &H::rootLod),
    byte("Allowed Root LODs", &H::allowedRootLods),
    integer("Flex Controller UI Count", &H::flexControllerUiCount),
    integer("Flex Controller UI Offset", &H::flexControllerUiOffset),
    integer("Studio HDR2 Offset", &H::studioHdr2Offset),
};

const char *const Components[] = {"X", "Y", "Z"};
constexpr int NameLength = 64;
// A byte row takes a signed or an unsigned byte's value.
constexpr qint64 ByteMinimum = std::numeric_limits<qint8>::min();
constexpr qint64 ByteMaximum = std::numeric_limits<quint8>::max();

// Which field a row edits: its index in Fields and, for a vector component,
// 0 to 2.
constexpr int FieldRole = Qt::UserRole;
constexpr int ComponentRole = Qt::UserRole + 1;

float &component(CVector3 &v, int index)
{
    return index == 0 ? v.x : index == 1 ? v.y : v.z;
}

} // namespace

VMDL::VMDL(QWidget *parent)
    : QMainWindow(parent)
{
    m_modelTree = new QTreeWidget;
    m_modelTree->setObjectName(QStringLiteral("modelTree"));
    m_modelTree->setColumnCount(2);
    m_modelTree->setEnabled(false);
    connect(m_modelTree, &QTreeWidget::currentItemChanged, this, &VMDL::mdlFieldChanged);
    connect(m_modelTree, &QTreeWidget::itemChanged, this, &VMDL::mdlFieldModified);

    const auto makeRow = [this](QTreeWidgetItem *above, const char *label, int field, int part,
                                bool editable) {
        auto *row = above ? new QTreeWidgetItem(above) : new QTreeWidgetItem(m_modelTree);
        row->setText(0, tr(label));
        row->setData(0, FieldRole, field);
        row->setData(0, ComponentRole, part);
        if (editable)
            row->setFlags(row->flags() | Qt::ItemIsEditable);
        else
            row->setFlags(row->flags() & ~Qt::ItemIsEnabled);
        m_rows.append(row);
        return row;
    };
    for (int f = 0; f < int(std::size(Fields)); ++f) {
        const Field &field = Fields[f];
        QTreeWidgetItem *row = makeRow(nullptr, field.label, f, -1, field.editable);
        if (field.kind != Kind::Vector)
            continue;
        // Read-only, but a disabled parent would disable its component rows.
        row->setFlags(row->flags() | Qt::ItemIsEnabled);
        for (int part = 0; part < 3; ++part)
            makeRow(row, Components[part], f, part, true);
        row->setExpanded(true);
    }

    m_collisionTree = new QTreeWidget;
    m_collisionTree->setObjectName(QStringLiteral("collisionTree"));
    m_collisionTree->setColumnCount(2);
    m_collisionTree->setEnabled(false);
    connect(m_collisionTree, &QTreeWidget::currentItemChanged, this, &VMDL::phyFieldChanged);
    connect(m_collisionTree, &QTreeWidget::itemChanged, this, &VMDL::phyFieldModified);

    m_splitter = new QSplitter(Qt::Horizontal);
    m_splitter->addWidget(m_modelTree);
    m_splitter->addWidget(m_collisionTree);
    setCentralWidget(m_splitter);
    setWindowTitle(tr("Model Data Editor"));
}

void VMDL::setModel(CFileMDL *model, CFilePHY *collisionModel)
{
    m_model = model;
    m_collisionModel = collisionModel;
    // Filling the value column must not read back as edits.
    QTreeWidgetItem *current = m_currentModelRow;
    m_currentModelRow = nullptr;
    for (QTreeWidgetItem *row : qAsConst(m_rows))
        showField(row);
    m_currentModelRow = current;
    m_modelTree->setEnabled(model != nullptr);
    m_collisionTree->setEnabled(model != nullptr);
}

void VMDL::mdlFieldChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    m_currentModelRow = current;
}

void VMDL::mdlFieldModified(QTreeWidgetItem *item, int column)
{
    if (!item || item != m_currentModelRow || column != 1 || !m_model)
        return;
    // Showing the stored value changes the item again.
    m_currentModelRow = nullptr;
    storeField(item);
    showField(item);
    m_currentModelRow = item;
}

void VMDL::phyFieldChanged(QTreeWidgetItem *current, QTreeWidgetItem *)
{
    m_currentCollisionRow = current;
}

// The collision pane has no fields to store into.
void VMDL::phyFieldModified(QTreeWidgetItem *, int) {}

void VMDL::storeField(QTreeWidgetItem *row)
{
    const Field &field = Fields[row->data(0, FieldRole).toInt()];
    const int part = row->data(0, ComponentRole).toInt();
    MDLHeader &header = m_model->header;
    const QString text = row->text(1);
    // A vector's component rows hold floats.
    const Kind kind = part >= 0 ? Kind::Float : field.kind;
    bool signedOk = false, unsignedOk = false, floatOk = false;
    const qint64 signedValue = text.toLongLong(&signedOk, 10);
    const quint32 unsignedValue = text.toUInt(&unsignedOk, 10);
    const float floatValue = text.toFloat(&floatOk);

    switch (kind) {
    case Kind::Unsigned:
    case Kind::Integer:
        if (unsignedOk)
            header.*field.integer = qint32(unsignedValue);
        break;
    case Kind::Float:
        if (floatOk)
            (field.vector ? component(header.*field.vector, part) : header.*field.real) =
                floatValue;
        break;
    case Kind::Byte:
        if (signedOk && signedValue >= ByteMinimum && signedValue <= ByteMaximum)
            header.*field.byte = qint8(quint8(signedValue));
        break;
    case Kind::Name:
        if (!text.isEmpty()) {
            QByteArray name = text.toLatin1().left(NameLength);
            name.append(QByteArray(NameLength - name.size(), '\0'));
            header.name = name;
        }
        break;
    case Kind::SurfaceProp:
        if (!text.isEmpty())
            m_model->surfaceProp = text.toLatin1();
        break;
    case Kind::Vector:
        break;
    }
}

void VMDL::showField(QTreeWidgetItem *row)
{
    const Field &field = Fields[row->data(0, FieldRole).toInt()];
    const int part = row->data(0, ComponentRole).toInt();
    if (!m_model) {
        row->setText(1, QString());
        return;
    }
    MDLHeader &header = m_model->header;
    QString value;
    switch (part >= 0 ? Kind::Float : field.kind) {
    case Kind::Unsigned:
        value = QString::number(quint32(header.*field.integer));
        break;
    case Kind::Integer:
        value = QString::number(header.*field.integer);
        break;
    case Kind::Float:
        value =
            formatFloat(field.vector ? component(header.*field.vector, part) : header.*field.real);
        break;
    case Kind::Byte:
        value = QString::number(int(header.*field.byte));
        break;
    case Kind::Name:
        value = ScanPath::textBeforeNul(header.name.left(NameLength));
        break;
    case Kind::SurfaceProp:
        value = ScanPath::textBeforeNul(m_model->surfaceProp);
        break;
    case Kind::Vector:
        break;
    }
    row->setText(1, value);
}
